#include "TFiguresPage.h"

#include "BusyCursor.h"
#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "EDatabaseError.h"
#include "FigureSheet.h"
#include "FileNameFromName.h"
#include "FolderKeeper.h"
#include "Msg.h"
#include "PaperCatalog.h"
#include "PaperFigureReader.h"
#include "PaperPrint.h"
#include "PdfFile.h"
#include "TDatabase.h"
#include "TE_figure.h"
#include "TF_big_view.h"
#include "TFhtml_record.h"
#include "TFilterGroup.h"
#include "TFmanual.h"
#include "TNoFiguresHint.h"
#include "TO_Figures.h"
#include "TPageDialogs.h"
#include "TRecordGrid.h"
#include "TSqlStatement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLayout>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>

TFiguresPage::TFiguresPage(TDatabase& database, TPageDialogs& dialogs)
    : TListPage(new TO_Figures, dialogs, QStringLiteral("figure_id"),
                QStringLiteral("figure_name")),
      O_Figures1(static_cast<TO_Figures*>(List)), database_(database) {
    O_Figures1->setObjectName(QStringLiteral("O_Figures1"));
    O_Figures1->CGrid1->SetColCount(2);
    FilterGroup = new TFilterGroup(Left);
    LeftColumn->addWidget(FilterGroup);
    AddSearch({"figure_name", "figure_dsc", "sculpter_name", "painter_name"});
    btn_print = new QPushButton(QStringLiteral("Print\u2026"), Left);
    btn_export_pdf = new QPushButton(QStringLiteral("Export PDF\u2026"), Left);
    LeftColumn->addWidget(btn_print);
    LeftColumn->addWidget(btn_export_pdf);
    connect(btn_print, &QPushButton::clicked, this, CommandGuard::Slot([this] { PrintClick(); }));
    connect(btn_export_pdf, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { ExportPdfClick(); }));
    FinishPage({"Add new figure", "Edit current figure", "Delete current figure"}, 0);

    QWidget* figuresHolder = O_Figures1->parentWidget();
    NoFiguresHint = new TNoFiguresHint(figuresHolder);
    NoFiguresHint->hide();
    figuresHolder->layout()->addWidget(NoFiguresHint);
    NoFiguresInsert = new QShortcut(QKeySequence(Qt::Key_Insert), this);
    NoFiguresInsert->setContext(Qt::WidgetWithChildrenShortcut);
    NoFiguresInsert->setEnabled(false);

    connect(FilterGroup->btn_apply_filter, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_apply_filterClick(); }));
    connect(O_Figures1, &TO_ci::PanelClicked, this,
            CommandGuard::Slot([this](const QString& element) {
                if (element == QLatin1String("thumbnail"))
                    Show_big_img();
            }));
    connect(O_Figures1, &TO_ci::PanelDoubleClicked, this,
            CommandGuard::Slot([this](const QString& element) {
                if (element == QLatin1String("text"))
                    EditClick();
            }));
}

void TFiguresPage::AddClick() {
    AddRecord(Dialogs.FigureEditor());
}

void TFiguresPage::EditClick() {
    if (ReadOnlyForYou())
        return;
    TE_figure& editor = Dialogs.FigureEditor();
    editor.PageControl1->setCurrentWidget(editor.Tab_sheetGeneral);
    editor.EditRecord(O_Figures1->Q1);
    O_Figures1->main_focus();
}

void TFiguresPage::DeleteClick() {
    DeleteUnreferenced({});
}

void TFiguresPage::btn_apply_filterClick() {
    O_Figures1->CloseList();
    BuildFiguresQuery();
    O_Figures1->OpenList();
    ShowRecordCount();
    if (ListChanged)
        ListChanged();
}

void TFiguresPage::RefreshFilterLookups() {
    FilterGroup->RefreshLookups();
}

void TFiguresPage::BuildFiguresQuery() {
    shownFilter_ = FilterGroup->FilterClause();
    shownTitle_ = ShownTitle();
    O_Figures1->Q1.SQL = TO_Figures::FilteredQuery(shownFilter_);
}

QString TFiguresPage::ShownTitle() const {
    QStringList shown;
    const std::pair<QCheckBox*, QComboBox*> filters[] = {
        {FilterGroup->CBFproducer, FilterGroup->DBLproducers},
        {FilterGroup->CBFgenre, FilterGroup->DBLgenres},
        {FilterGroup->CBFcavalry, FilterGroup->CmBFcavalry},
        {FilterGroup->CBFscale, FilterGroup->CmBFScale}};
    for (const auto& [box, choice] : filters)
        if (box->isChecked())
            shown << choice->currentText();
    return shown.isEmpty() ? QStringLiteral("Figures")
                           : QStringLiteral("Figures: ") + shown.join(QStringLiteral(", "));
}

void TFiguresPage::ShowRecordCount() {
    FilterGroup->ShowRecordCount(O_Figures1->Q1.Active() ? O_Figures1->Q1.RecordCount() : 0);
}

void TFiguresPage::FollowFilter() {
    if (O_Figures1->Q1.Active() &&
        TO_Figures::FilteredQuery(FilterGroup->FilterClause()) != O_Figures1->Q1.SQL)
        btn_apply_filterClick();
}

void TFiguresPage::FilterBy(bool producer, const QString& key) {
    QCheckBox* box = producer ? FilterGroup->CBFproducer : FilterGroup->CBFgenre;
    QComboBox* lookup = producer ? FilterGroup->DBLproducers : FilterGroup->DBLgenres;
    FilterByBox(box, [lookup, &key] { TFilterGroup::SelectKey(lookup, key); });
}

void TFiguresPage::FilterByBox(QCheckBox* box, const std::function<void()>& choose) {
    RefreshFilterLookups();
    FilterGroup->ClearFilter();
    box->setChecked(true);
    choose();
    btn_apply_filterClick();
}

void TFiguresPage::Show_big_img() {
    const QString key = O_Figures1->KeyValue();
    int result = 0;
    try {
        result = Dialogs.BigView().ShowFullPicture(key);
    } catch (const std::exception&) {
        // No picture or one that cannot be read: the figure's editor is
        // the place to give it one.
        if (Ask(QStringLiteral("Full size image is not avaliable. Edit the record now?")))
            EditClick();
        return;
    }
    if (result == 1)
        EditClick();
}

void TFiguresPage::EditManual() {
    Dialogs.Manual().EditManual(O_Figures1->KeyValue());
}

void TFiguresPage::ExportHtml() {
    Dialogs.HtmlExport().ExportFigure(O_Figures1->Q1);
}

void TFiguresPage::PrintClick() {
    const int count = PaperFigureReader(shownFilter_).Count();
    const QPrinter sample(QPrinter::HighResolution);
    const bool preview = count <= PaperPrint::MostPreviewed * PaperCatalog::BlocksPerPage(sample);
    PaperPrint::Print(this, shownTitle_, preview, [this](QPrinter& printer) {
        PaperFigureReader figures(shownFilter_);
        PaperCatalog(shownTitle_).Print(printer, figures, printer.fromPage(), printer.toPage());
    });
}

void TFiguresPage::ExportPdfClick() {
    QString fileName;
    {
        const FolderKeeper keeper;
        QFileDialog dialog(this, QStringLiteral("Export PDF"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Exports));
        dialog.selectFile(FileNameFromName(shownTitle_) + QStringLiteral(".pdf"));
        if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        fileName = dialog.selectedFiles().constFirst();
        DialogFolders::Remember(DialogFolders::Kind::Exports, fileName);
    }
    const BusyCursor busy;
    PdfFile file(fileName, shownTitle_);
    PaperFigureReader figures(shownFilter_);
    PaperCatalog(shownTitle_).Print(file.Writer(), figures);
    file.Commit();
}

void TFiguresPage::PrintSheet() {
    FigureSheet sheet;
    if (!sheet.Read(O_Figures1->KeyValue()))
        return;
    PaperPrint::Print(this, sheet.Name(), true,
                      [&sheet](QPrinter& printer) { sheet.Print(printer); });
}

void TFiguresPage::UpdateNoFiguresHint() {
    bool empty = false;
    if (database_.IsConnected()) {
        try {
            TSqlStatement any(database_.Handle(), QStringLiteral("select 1 from figures limit 1"));
            empty = !any.Step();
        } catch (const EDatabaseError&) {
        }
    }
    if (empty == NoFiguresHint->isVisible())
        return;
    const bool listHadFocus = O_Figures1->isAncestorOf(QApplication::focusWidget());
    NoFiguresHint->setVisible(empty);
    O_Figures1->setVisible(!empty);
    NoFiguresInsert->setEnabled(empty);
    if (empty && listHadFocus)
        NoFiguresHint->btn_add->setFocus();
}
