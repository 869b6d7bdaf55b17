#include "TFmanual.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "EZunPiggerError.h"
#include "FolderKeeper.h"
#include "Msg.h"
#include "ReadOnlyCatalog.h"
#include "TFsureCancel.h"
#include "TO_manual.h"
#include "WholeFile.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <sstream>
#include <stdexcept>

TFmanual::TFmanual(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Fmanual"));
    setWindowTitle(QStringLiteral("Figure assembling/painting manual"));
    resize(541, 375);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    layout->addWidget(ToolBar1);
    O_manual1 = new TO_manual(this);
    O_manual1->ToolBar1->hide();
    layout->addWidget(O_manual1, 1);

    auto add = [this](QAction*& action, QStyle::StandardPixmap icon, const QString& caption,
                      std::function<void()> handler) {
        action = ToolBar1->addAction(style()->standardIcon(icon), caption);
        connect(action, &QAction::triggered, this, CommandGuard::Slot([this, handler] {
                    handler();
                    UpdateButtons();
                }));
    };
    add(TB_add_node, QStyle::SP_FileDialogNewFolder, QStringLiteral("Add node"),
        [this] { O_manual1->TB_new_nodeClick(); });
    add(TB_add_line, QStyle::SP_ArrowRight, QStringLiteral("Add line"),
        [this] { O_manual1->TB_new_relClick(); });
    add(TB_edit_node, QStyle::SP_FileDialogDetailedView, QStringLiteral("Edit node "),
        [this] { O_manual1->EditSelectedObject(); });
    add(TB_edit_line, QStyle::SP_FileDialogListView, QStringLiteral("Edit line "),
        [this] { O_manual1->EditSelectedObject(); });
    add(TB_delete, QStyle::SP_TrashIcon, QStringLiteral("Delete"),
        [this] { O_manual1->TB_delClick(); });
    add(TB_edit_sheme, QStyle::SP_FileDialogInfoView, QStringLiteral("Edit sheme"),
        [this] { O_manual1->TB_propertiesClick(); });
    add(TB_import, QStyle::SP_DialogOpenButton, QStringLiteral("Import"),
        [this] { btn_importClick(); });
    add(TB_export, QStyle::SP_DialogSaveButton, QStringLiteral("Export"),
        [this] { btn_exportClick(); });
    ToolBar1->addSeparator();
    add(TB_undo, QStyle::SP_ArrowBack, QStringLiteral("Undo"), [this] { O_manual1->Undo(); });
    add(TB_redo, QStyle::SP_ArrowForward, QStringLiteral("Redo"), [this] { O_manual1->Redo(); });
    TB_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    TB_undo->setToolTip(QStringLiteral("Undo (Ctrl+Z)"));
    TB_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    TB_redo->setToolTip(QStringLiteral("Redo (Ctrl+Shift+Z)"));

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(8, 6, 8, 6);
    bottom->addStretch(1);
    btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    bottom->addWidget(btn_ok);
    bottom->addWidget(btn_cancel);
    layout->addLayout(bottom);
    connect(btn_ok, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_okClick(); }));
    // "Cancel" closes without a question, whatever was changed.
    connect(btn_cancel, &QPushButton::clicked, this, [this] { QDialog::reject(); });

    Q1.SQL = {"select figure_id, manual_sheme", "from figures", "where figure_id = :_id"};
    Q1.KeyField = QStringLiteral("figure_id");
    update_.ModifySQL = {"update figures set manual_sheme = :manual_sheme",
                         "where figure_id = :OLD_figure_id"};
    Q1.UpdateObject = &update_;

    O_manual1->OnSelectionChanged = [this](TO_sheme&) { UpdateButtons(); };
    O_manual1->OnSchemeChanged = [this](TO_sheme&) { UpdateButtons(); };
}

TFmanual::~TFmanual() = default;

void TFmanual::UpdateButtons() {
    TB_edit_node->setEnabled(O_manual1->SelectedNode != nullptr);
    TB_edit_line->setEnabled(O_manual1->SelectedLineBegin || O_manual1->SelectedLineEnd);
    TB_delete->setEnabled(TB_edit_node->isEnabled() || TB_edit_line->isEnabled());
    TB_undo->setEnabled(O_manual1->CanUndo());
    TB_redo->setEnabled(O_manual1->CanRedo());
}

void TFmanual::OpenQuery() {
    Q1.Close();
    Q1.SetParam(QStringLiteral("_id"), FigureId);
    Q1.Open();
}

bool TFmanual::LoadScheme() {
    O_manual1->ResetScheme();
    O_manual1->ResetView();
    O_manual1->ClearHistory();
    OpenQuery();
    const QByteArray bytes =
        Q1.IsEmpty() ? QByteArray()
                     : Q1.Value(Q1.FieldIndex(QStringLiteral("manual_sheme"))).toByteArray();
    Q1.Close();
    std::istringstream stream(bytes.toStdString());
    try {
        O_manual1->LoadSchemeStream(stream);
    } catch (const EZunPiggerError& error) {
        // What was read up to the fault is no manual; the stored text stays
        // as it is unless the user stores another with "Ok".
        O_manual1->LoadSchemeText({});
        UpdateButtons();
        return OfferReplacement(QStringLiteral("%1 (at character %2)")
                                    .arg(QString::fromUtf8(error.what()))
                                    .arg(error.Position));
    }
    UpdateButtons();
    return true;
}

bool TFmanual::OfferReplacement(const QString& why) {
    const auto choice = AskYesNoCancel(
        QStringLiteral("The stored manual cannot be read:\n%1\n\nStart an empty manual or import "
                       "one? The stored manual stays until you press \"Ok\".")
            .arg(why),
        {QStringLiteral("Empty"), QStringLiteral("Import"), QStringLiteral("Cancel")});
    if (choice == TFsureCancel::Reply::No) {
        CommandGuard::Run([this] { btn_importClick(); });
        UpdateButtons();
    }
    return choice != TFsureCancel::Reply::Cancel;
}

bool TFmanual::EditManual(const QString& figureId) {
    Confirmed = false;
    FigureId = figureId;
    bool loaded = false;
    try {
        loaded = LoadScheme();
    } catch (...) {
        Q1.Close();
        throw;
    }
    if (!loaded)
        return false;
    setWindowState(windowState() | Qt::WindowMaximized);
    DialogRunner::Exec(*this);
    if (!Confirmed)
        return false;
    O_manual1->ResetScheme();
    O_manual1->ClearHistory();
    return true;
}

void TFmanual::WriteScheme() {
    OpenQuery();
    try {
        if (Q1.IsEmpty())
            throw std::runtime_error("The figure is no longer in the catalog");
        DataSetEdit(Q1);
        const std::string text = O_manual1->Scheme.SaveToString();
        Q1.SetValue(Q1.FieldIndex(QStringLiteral("manual_sheme")),
                    QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        QString error;
        if (!DataSetPost(Q1, &error))
            throw std::runtime_error(error.toStdString());
    } catch (...) {
        DataSetCancel(Q1);
        Q1.Close();
        throw;
    }
    Q1.Close();
}

void TFmanual::btn_okClick() {
    if (ReadOnlyCatalog::Tell(Q1.DatabaseName, {QStringLiteral("figures")}))
        return;
    // The window stays open with the drawing when it cannot be written.
    WriteScheme();
    Confirmed = true;
    accept();
}

void TFmanual::reject() {
    if (!O_manual1->CanUndo()) {
        QDialog::reject();
        return;
    }
    switch (AskYesNoCancel(QStringLiteral("Save changes to the manual?"))) {
    case TFsureCancel::Reply::Yes:
        CommandGuard::Run([this] { btn_okClick(); });
        break;
    case TFsureCancel::Reply::No:
        QDialog::reject();
        break;
    case TFsureCancel::Reply::Cancel:
        break;
    }
}

void TFmanual::btn_importClick() {
    const FolderKeeper keeper;
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Sheme XML (*.APSH *.apsh)"));
    dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Exports));
    if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    DialogFolders::Remember(DialogFolders::Kind::Exports, dialog.selectedFiles().constFirst());
    TZunPigger scratch;
    scratch.LoadFromFile(QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString());
    const std::string refusal = SchemeDocument::ImportRefusal(scratch);
    if (!refusal.empty()) {
        ShowMsg(QString::fromStdString(refusal));
        return;
    }
    O_manual1->Change([&] { O_manual1->LoadSchemeText(scratch.SaveToString()); });
}

void TFmanual::btn_exportClick() {
    const FolderKeeper keeper;
    QFileDialog dialog(this, QStringLiteral("Save As"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString schemeFilter = QStringLiteral("Sheme XML (*.APSH *.apsh)");
    dialog.setNameFilters({schemeFilter, QStringLiteral("Bitmap (*.BMP *.bmp)")});
    // The default extension follows the file type chosen.
    auto fileTypeRule = [&dialog, schemeFilter](const QString& filter) {
        dialog.setDefaultSuffix(filter == schemeFilter ? QStringLiteral("APSH")
                                                       : QStringLiteral("BMP"));
    };
    fileTypeRule(schemeFilter);
    connect(&dialog, &QFileDialog::filterSelected, &dialog, fileTypeRule);
    dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Exports));
    if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    DialogFolders::Remember(DialogFolders::Kind::Exports, fileName);
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    const bool scheme = extension == QStringLiteral("APSH");
    if (!scheme && extension != QStringLiteral("BMP"))
        return;
    O_manual1->Change([this] { O_manual1->Doc.SetVersion(); });
    if (!scheme) {
        O_manual1->SaveBitmap(fileName);
        return;
    }
    const std::string text = O_manual1->Scheme.SaveToString();
    if (!WriteWholeFile(fileName, QByteArray(text.data(), static_cast<qsizetype>(text.size()))))
        throw std::runtime_error("Cannot create file " + fileName.toStdString());
}
