#include "TFmain.h"

#include "BusyCursor.h"
#include "CommandGuard.h"
#include "DialogRunner.h"
#include "Msg.h"
#include "RecoverDataFolder.h"
#include "ShellOpen.h"
#include "TD_scale_image.h"
#include "TDatabasePage.h"
#include "TE_figure.h"
#include "TE_genre.h"
#include "TE_producer.h"
#include "TFBackUpRestore.h"
#include "TF_big_view.h"
#include "TF_picture_mgm.h"
#include "TFabout.h"
#include "TFhtml_record.h"
#include "TFilterGroup.h"
#include "TFmanual.h"
#include "TO_Figures.h"
#include "TO_genres.h"
#include "TO_producers.h"
#include "TRecordGrid.h"
#include "TSearchGroup.h"
#include "TablePacker.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <functional>
#include <utility>

namespace {

using Handler = std::function<void()>;

QString Quoted(const char* pattern, const QString& value) {
    return QString::fromUtf8(pattern).arg(value);
}

bool HasRecord(const TO_ci* list) {
    return list->Q1.Active() && !list->Q1.IsEmpty();
}

bool InsideGrid(const QWidget* widget) {
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget())
        if (qobject_cast<const TRecordGrid*>(w))
            return true;
    return false;
}

// Whether the wheel over widget belongs to a control that turns it into a
// change of its own (a drop-down list, a spin box, a text area, the page
// tabs, a slider) rather than to the window. Over a list's grid, its
// scroll bar included, the wheel is the window's: it steps the list.
bool UsesWheel(const QWidget* widget) {
    if (InsideGrid(widget))
        return false;
    for (const QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        if (w->isEnabled() &&
            (qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
             qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QTabBar*>(w) ||
             qobject_cast<const QAbstractSlider*>(w)))
            return true;
    }
    return false;
}

} // namespace

TFmain::TFmain(QWidget* parent) : TPmain(parent) {
    setObjectName(QStringLiteral("Fmain"));
    setWindowTitle(QStringLiteral("--- VELMORA ---"));
    resize(599, 548);
    BuildToolbar();
    BuildPages();
    // The base's creation step ran in its constructor; the figures page
    // comes to the front.
    PageControl1->setCurrentIndex(0);
    connect(PageControl1, &QTabWidget::currentChanged, this,
            CommandGuard::Slot([this] { PageControl1Change(); }));
    qApp->installEventFilter(this);
    UpdateToolbar();
}

TFmain::~TFmain() {
    qApp->removeEventFilter(this);
}

void TFmain::BuildToolbar() {
    ToolBar1 = addToolBar(QStringLiteral("Tools"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto add = [this](QAction*& action, QStyle::StandardPixmap icon, const QString& caption,
                      Handler handler) {
        action = ToolBar1->addAction(style()->standardIcon(icon), caption);
        connect(action, &QAction::triggered, this, CommandGuard::Slot(std::move(handler)));
    };
    add(TB_add, QStyle::SP_FileDialogNewFolder, QStringLiteral("Add"), [this] { TB_addClick(); });
    add(TB_edit, QStyle::SP_FileDialogDetailedView, QStringLiteral("Edit/Details"),
        [this] { TB_editClick(); });
    add(TB_sheme, QStyle::SP_FileDialogContentsView, QStringLiteral("Sheme"),
        [this] { TB_shemeClick(); });
    add(TB_html_export, QStyle::SP_DriveNetIcon, QStringLiteral("HTML"),
        [this] { TB_html_exportClick(); });
    ToolBar1->addSeparator();
    add(TB_first, QStyle::SP_MediaSkipBackward, QStringLiteral("First record"),
        [this] { TB_firstClick(); });
    add(TB_last, QStyle::SP_MediaSkipForward, QStringLiteral("Last record"),
        [this] { TB_lastClick(); });
    ToolBar1->addSeparator();
    add(TB_del, QStyle::SP_TrashIcon, QStringLiteral("Delete"), [this] { TB_delClick(); });
    ToolBar1->addSeparator();
    add(TB_about, QStyle::SP_MessageBoxInformation, QStringLiteral("About..."),
        [this] { TB_aboutClick(); });
    add(TB_exit, QStyle::SP_DialogCloseButton, QStringLiteral("Exit"), [this] { TB_exitClick(); });
    // A tool button shows the icon text, which drops a trailing "...".
    TB_about->setIconText(TB_about->text());
    // The keys of the lists (see AddListKeys), named where the mouse user
    // looks for them.
    TB_add->setToolTip(QStringLiteral("Add (Ins)"));
    TB_edit->setToolTip(QStringLiteral("Edit/Details (Enter, F2)"));
    TB_first->setToolTip(QStringLiteral("First record (Home)"));
    TB_last->setToolTip(QStringLiteral("Last record (End)"));
    TB_del->setToolTip(QStringLiteral("Delete (Del)"));

    PopupMenu1 = new QMenu(this);
    auto item = [this](const QString& caption, Handler handler) {
        QAction* action = PopupMenu1->addAction(caption);
        connect(action, &QAction::triggered, this, CommandGuard::Slot(std::move(handler)));
        return action;
    };
    menuEdit_ = item(QStringLiteral("Edit"), [this] { TB_editClick(); });
    menuAdd_ = item(QStringLiteral("Add new record"), [this] { TB_addClick(); });
    PopupMenu1->addSeparator();
    menuDelete_ = item(QStringLiteral("Delete"), [this] { TB_delClick(); });
    PopupMenu1->addSeparator();
    menuFirst_ = item(QStringLiteral("Go top"), [this] { TB_firstClick(); });
    menuLast_ = item(QStringLiteral("Go bottom"), [this] { TB_lastClick(); });
}

QWidget* TFmain::BuildCatalogPage(TO_ci* list, TSearchGroup*& search, QPushButton** filterButton,
                                  const QStringList& dataButtons, int margin) {
    auto* page = new QWidget;
    auto* left = new QWidget(page);
    left->setFixedWidth(204);
    auto* leftColumn = new QVBoxLayout(left);
    leftColumn->setContentsMargins(4, 4, 4, 4);
    if (list == static_cast<TO_ci*>(O_Figures1)) {
        FilterGroup = new TFilterGroup(left);
        leftColumn->addWidget(FilterGroup);
    }
    search = new TSearchGroup(left);
    leftColumn->addWidget(search);
    if (filterButton) {
        *filterButton = new QPushButton(QStringLiteral("Filter figures"), left);
        leftColumn->addWidget(*filterButton);
    }
    // The per-page commands, kept out of sight: the toolbar runs them.
    auto* dataControls = new QGroupBox(QStringLiteral("Data controls"), left);
    auto* dataColumn = new QVBoxLayout(dataControls);
    for (const QString& caption : dataButtons)
        dataColumn->addWidget(new QPushButton(caption, dataControls));
    dataControls->hide();
    leftColumn->addWidget(dataControls);
    leftColumn->addStretch();

    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(left);
    auto* listHolder = new QWidget(page);
    auto* holderLayout = new QVBoxLayout(listHolder);
    holderLayout->setContentsMargins(margin, margin, margin, margin);
    list->setParent(listHolder);
    holderLayout->addWidget(list);
    row->addWidget(listHolder, 1);

    list->CGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list->CGrid1, &QWidget::customContextMenuRequested, this,
            CommandGuard::Slot(
                [this, list](const QPoint& pos) { ShowListMenu(list->CGrid1->mapToGlobal(pos)); }));
    AddListKeys(page, list, search);
    return page;
}

void TFmain::AddListKeys(QWidget* page, TO_ci* list, TSearchGroup* search) {
    // The record keys act while the list has the focus (Delete in the
    // search box still deletes text); the search keys anywhere on the page.
    auto keys = [this](QWidget* owner, std::initializer_list<QKeySequence> sequences,
                       Handler handler) {
        for (const QKeySequence& sequence : sequences) {
            auto* shortcut = new QShortcut(sequence, owner);
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, CommandGuard::Slot(handler));
        }
    };
    // Through the toolbar's actions, which are disabled where they do not apply.
    keys(list, {QKeySequence(Qt::Key_Insert)}, [this] { TB_add->trigger(); });
    keys(list,
         {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_F2)},
         [this] { TB_edit->trigger(); });
    keys(list, {QKeySequence(Qt::Key_Delete)}, [this] { TB_del->trigger(); });
    keys(list, {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)},
         [this, list] { ShowListMenu(ListMenuPosition(list)); });
    keys(page, {QKeySequence(Qt::CTRL | Qt::Key_F)}, [search] { search->FocusText(); });
    keys(page, {QKeySequence(Qt::Key_F3)}, [search] { search->Btn_go->click(); });
}

QPoint TFmain::ListMenuPosition(const TO_ci* list) const {
    const TRecordGrid* grid = list->CGrid1;
    const int index = grid->PanelIndex();
    return grid->viewport()->mapToGlobal(index >= 0 ? grid->PanelRect(index).center() : QPoint());
}

void TFmain::ShowListMenu(const QPoint& globalPos) {
    UpdateToolbar();
    PopupMenu1->popup(globalPos);
}

void TFmain::BuildPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    setCentralWidget(PageControl1);

    O_Figures1 = new TO_Figures;
    O_Figures1->setObjectName(QStringLiteral("O_Figures1"));
    O_Figures1->CGrid1->SetColCount(2);
    O_producers1 = new TO_producers;
    O_producers1->setObjectName(QStringLiteral("O_producers1"));
    O_producers1->ShowLabelStrip = false;
    O_genres1 = new TO_genres;
    O_genres1->setObjectName(QStringLiteral("O_genres1"));

    TabSheet_figures =
        BuildCatalogPage(O_Figures1, SearchFigures, nullptr,
                         {"Add new figure", "Edit current figure", "Delete current figure"}, 0);
    TabSheet_producers = BuildCatalogPage(
        O_producers1, SearchProducers, &Btn_producer_filter,
        {"Add new producer", "Edit current producer", "Go To URL", "Delete current producer"}, 20);
    TabSheet_genres =
        BuildCatalogPage(O_genres1, SearchGenres, &Btn_gente_filter,
                         {"Add new genre", "Edit current genre", "Delete current genre"}, 20);
    TabSheet_BD_mgm = new TDatabasePage;
    PageControl1->addTab(TabSheet_figures, QStringLiteral("Figures"));
    PageControl1->addTab(TabSheet_producers, QStringLiteral("Manufacturers"));
    PageControl1->addTab(TabSheet_genres, QStringLiteral("Genres"));
    PageControl1->addTab(TabSheet_BD_mgm, QStringLiteral("Database management"));

    connect(FilterGroup->btn_apply_filter, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_apply_filterClick(); }));
    connect(SearchFigures->Btn_go, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { BitBtn3Click(); }));
    connect(SearchProducers->Btn_go, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { Btn_search_producerClick(); }));
    connect(SearchGenres->Btn_go, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { Btn_search_genreClick(); }));
    connect(Btn_producer_filter, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { Btn_producer_filterClick(); }));
    connect(Btn_gente_filter, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { Btn_gente_filterClick(); }));
    connect(TabSheet_BD_mgm->btn_backup, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_backupClick(); }));
    connect(TabSheet_BD_mgm->btn_restore, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_restoreClick(); }));
    connect(TabSheet_BD_mgm->btn_pack, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_packClick(); }));
    connect(O_producers1, &TO_ci::PanelClicked, this,
            CommandGuard::Slot([this](const QString& element) {
                if (element == QLatin1String("url"))
                    Btn_URL_producerClick();
            }));
    connect(O_Figures1, &TO_ci::PanelClicked, this,
            CommandGuard::Slot([this](const QString& element) {
                if (element == QLatin1String("thumbnail"))
                    Show_big_img();
            }));
    connect(O_Figures1, &TO_ci::PanelDoubleClicked, this,
            CommandGuard::Slot([this](const QString& element) {
                if (element == QLatin1String("text"))
                    EditFigure();
            }));
    connect(O_producers1, &TO_ci::PanelDoubleClicked, this,
            CommandGuard::Slot([this] { Btn_edit_producerClick(); }));
    connect(O_genres1, &TO_ci::PanelDoubleClicked, this,
            CommandGuard::Slot([this] { Btn_edit_genreClick(); }));
}

bool TFmain::InitApplication() {
    const bool started = TPmain::InitApplication();
    if (started)
        RefreshAll();
    return started;
}

void TFmain::PageControl1Change() {
    RefreshFilterLookups();
    // The filter boxes show what the figures list is filtered by: when
    // reloading the lookups changed what they show (a manufacturer or genre
    // gone), or a choice was left unapplied, the list follows the boxes.
    if (O_Figures1->Q1.Active() &&
        TO_Figures::FilteredQuery(FilterGroup->FilterClause()) != O_Figures1->Q1.SQL)
        btn_apply_filterClick();
    // The list has the keys: Insert, Enter and F2 act at once.
    if (TO_ci* list = PageList())
        list->CGrid1->setFocus();
    UpdateToolbar();
}

void TFmain::RefreshAll() {
    RefreshFilterLookups();
    BuildFiguresQuery();
    O_producers1->KeyField = QStringLiteral("producer_id");
    O_producers1->NameField = QStringLiteral("producer_name");
    O_producers1->Reopen();
    O_genres1->KeyField = QStringLiteral("genre_id");
    O_genres1->NameField = QStringLiteral("genre_name");
    O_genres1->Reopen();
    update();
    O_Figures1->KeyField = QStringLiteral("figure_id");
    O_Figures1->NameField = QStringLiteral("figure_name");
    O_Figures1->Reopen();
    ShowRecordCount();
    UpdateToolbar();
}

void TFmain::RefreshFilterLookups() {
    FilterGroup->RefreshLookups();
}

void TFmain::BuildFiguresQuery() {
    O_Figures1->Q1.SQL = TO_Figures::FilteredQuery(FilterGroup->FilterClause());
}

void TFmain::ShowRecordCount() {
    FilterGroup->ShowRecordCount(O_Figures1->Q1.Active() ? O_Figures1->Q1.RecordCount() : 0);
}

TO_ci* TFmain::PageList() const {
    switch (PageControl1->currentIndex()) {
    case 0:
        return O_Figures1;
    case 1:
        return O_producers1;
    case 2:
        return O_genres1;
    default:
        return nullptr;
    }
}

void TFmain::UpdateToolbar() {
    TO_ci* list = PageList();
    const bool filled = list && list->Q1.Active() && !list->Q1.IsEmpty();
    TB_add->setEnabled(list != nullptr);
    TB_del->setEnabled(filled);
    const bool figure = list == static_cast<TO_ci*>(O_Figures1) && filled;
    TB_html_export->setEnabled(figure);
    TB_sheme->setEnabled(figure);
    TB_edit->setEnabled(TB_del->isEnabled());
    TB_first->setEnabled(TB_del->isEnabled());
    TB_last->setEnabled(TB_del->isEnabled());
    menuEdit_->setEnabled(TB_edit->isEnabled());
    menuAdd_->setEnabled(TB_add->isEnabled());
    menuDelete_->setEnabled(TB_del->isEnabled());
    menuFirst_->setEnabled(TB_first->isEnabled());
    menuLast_->setEnabled(TB_last->isEnabled());
}

void TFmain::CloseDatabase() {
    DB1.Close();
}

void TFmain::TB_addClick() {
    TO_ci* list = PageList();
    if (list == static_cast<TO_ci*>(O_Figures1))
        btn_add_figureClick();
    else if (list == static_cast<TO_ci*>(O_producers1))
        Btn_add_producerClick();
    else if (list == static_cast<TO_ci*>(O_genres1))
        Btn_add_genreClick();
    ShowRecordCount();
    UpdateToolbar();
}

void TFmain::TB_editClick() {
    TO_ci* list = PageList();
    if (list == static_cast<TO_ci*>(O_Figures1))
        EditFigure();
    else if (list == static_cast<TO_ci*>(O_producers1))
        Btn_edit_producerClick();
    else if (list == static_cast<TO_ci*>(O_genres1))
        Btn_edit_genreClick();
}

void TFmain::TB_delClick() {
    TO_ci* list = PageList();
    if (list == static_cast<TO_ci*>(O_Figures1))
        btn_delete_figureClick();
    else if (list == static_cast<TO_ci*>(O_producers1))
        Btn_del_producerClick();
    else if (list == static_cast<TO_ci*>(O_genres1))
        Btn_del_genreClick();
    ShowRecordCount();
    UpdateToolbar();
}

void TFmain::TB_firstClick() {
    if (TO_ci* list = PageList(); list && list->Q1.Active())
        list->Q1.First();
}

void TFmain::TB_lastClick() {
    if (TO_ci* list = PageList(); list && list->Q1.Active())
        list->Q1.Last();
}

TFmanual& TFmain::Manual() {
    if (!Fmanual)
        Fmanual = new TFmanual(this);
    return *Fmanual;
}

void TFmain::TB_shemeClick() {
    if (TB_sheme->isEnabled())
        Manual().EditManual(O_Figures1->KeyValue());
}

TFhtml_record& TFmain::HtmlExport() {
    if (!Fhtml_record)
        Fhtml_record = new TFhtml_record(this);
    return *Fhtml_record;
}

void TFmain::TB_html_exportClick() {
    if (TB_html_export->isEnabled())
        HtmlExport().ExportFigure(O_Figures1->Q1);
}

void TFmain::TB_aboutClick() {
    if (!Fabout)
        Fabout = new TFabout(this);
    DialogRunner::Exec(*Fabout);
}

void TFmain::TB_exitClick() {
    close();
}

void TFmain::btn_apply_filterClick() {
    O_Figures1->CloseList();
    BuildFiguresQuery();
    O_Figures1->OpenList();
    ShowRecordCount();
    UpdateToolbar();
}

TE_producer& TFmain::ProducerEditor() {
    if (!E_producer)
        E_producer = new TE_producer(this);
    return *E_producer;
}

TD_scale_image& TFmain::ScaleView() {
    if (!D_scale_image)
        D_scale_image = new TD_scale_image(this);
    return *D_scale_image;
}

TE_figure& TFmain::FigureEditor() {
    if (!E_figure)
        E_figure = new TE_figure(this);
    if (!F_picture_mgm) {
        F_picture_mgm = new TF_picture_mgm(this);
        F_picture_mgm->ScaleView = &ScaleView();
    }
    E_figure->SetPictureDialog(F_picture_mgm);
    return *E_figure;
}

TE_genre& TFmain::GenreEditor() {
    if (!E_genre)
        E_genre = new TE_genre(this);
    return *E_genre;
}

// Add: a new record, its editor, and on Cancel the new record deleted again
// by its key, whichever record is current by then (none when it was never
// written). A record kept is read again with the list, so that it takes its
// place in the list's order, and stays current.
void TFmain::AddRecord(TO_ci* list, TP_Edit& editor) {
    const QString key = list->AppendRecord();
    if (!editor.EditRecord(list->Q1)) {
        list->DeleteRecord(key);
        return;
    }
    list->Reopen();
    list->LocateKey(key);
}

void TFmain::btn_add_figureClick() {
    AddRecord(O_Figures1, FigureEditor());
}

void TFmain::Btn_add_genreClick() {
    AddRecord(O_genres1, GenreEditor());
}

void TFmain::Btn_edit_genreClick() {
    GenreEditor().EditRecord(O_genres1->Q1);
}

void TFmain::Btn_add_producerClick() {
    AddRecord(O_producers1, ProducerEditor());
}

void TFmain::Btn_edit_producerClick() {
    ProducerEditor().EditRecord(O_producers1->Q1);
}

// A record without a name is asked about as "" and deleted like any other;
// only an empty list has nothing to delete.
void TFmain::btn_delete_figureClick() {
    if (!HasRecord(O_Figures1))
        return;
    if (Ask(Quoted("Delete \n\"%1\"?", O_Figures1->NameValue())))
        O_Figures1->DeleteCurrent();
}

void TFmain::DeleteUnreferenced(TO_ci* list, const QString& column) {
    if (!HasRecord(list))
        return;
    const QString name = list->NameValue();
    if (list->IsReferenced(QStringLiteral("figures"), column)) {
        ShowMsg(Quoted("Can't delete \nthe \"%1\";\nit's reffered by other table(s)", name) +
                QStringLiteral("\n") + QStringLiteral("(Figures)."));
        return;
    }
    if (Ask(Quoted("Delete \n\"%1\"?", name)))
        list->DeleteCurrent();
}

void TFmain::Btn_del_producerClick() {
    DeleteUnreferenced(O_producers1, QStringLiteral("producer_id"));
}

void TFmain::Btn_del_genreClick() {
    DeleteUnreferenced(O_genres1, QStringLiteral("genre_id"));
}

void TFmain::SearchList(TO_ci* list, TSearchGroup* group, const QStringList& columns) {
    const QString text = group->SearchText();
    if (text.isEmpty())
        return;
    if (!list->Search(group->SearchDown(), columns, text))
        ShowMsg(Quoted("Context\n\"%1\"\nnot found.", text));
}

void TFmain::BitBtn3Click() {
    SearchList(O_Figures1, SearchFigures,
               {"figure_name", "figure_dsc", "sculpter_name", "painter_name"});
}

void TFmain::Btn_search_producerClick() {
    SearchList(O_producers1, SearchProducers, {"producer_name", "producer_website"});
}

void TFmain::Btn_search_genreClick() {
    SearchList(O_genres1, SearchGenres, {"genre_name"});
}

void TFmain::FormMouseWheel(int delta) {
    if (TO_ci* list = PageList())
        list->StartScroll(delta > 0);
}

bool TFmain::eventFilter(QObject* watched, QEvent* event) {
    // A wheel turn over this window steps the list in front, unless the
    // control under the mouse uses the wheel itself: then it is that
    // control's alone. The same event passes here once for every widget it
    // propagates to, first for the one under the mouse: decide once.
    if (event->type() == QEvent::Wheel && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (wheel != lastWheel_ || wheel->timestamp() != lastWheelTime_) {
            lastWheel_ = wheel;
            lastWheelTime_ = wheel->timestamp();
            if (!UsesWheel(widget))
                CommandGuard::Run([this, wheel] { FormMouseWheel(wheel->angleDelta().y()); });
        }
        // The grid's scroll bar would scroll the panels on top of the step.
        if (qobject_cast<QScrollBar*>(widget) && InsideGrid(widget))
            return true;
    }
    return TPmain::eventFilter(watched, event);
}

void TFmain::BringToFront() {
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TFmain::Btn_URL_producerClick() {
    ShellOpen::Open(O_producers1->FieldValue(QStringLiteral("producer_website")));
}

void TFmain::FilterFiguresBy(TO_ci* list, const QString& missingMessage, bool producer) {
    const QString key = list->KeyValue();
    if (key.isEmpty()) {
        ShowMsg(missingMessage);
        return;
    }
    // A clean filter: only this manufacturer or genre, the other boxes
    // unticked. Applied before the page comes to the front, which then
    // finds the list filtered as its boxes show.
    RefreshFilterLookups();
    FilterGroup->ClearFilter();
    QCheckBox* box = producer ? FilterGroup->CBFproducer : FilterGroup->CBFgenre;
    QComboBox* lookup = producer ? FilterGroup->DBLproducers : FilterGroup->DBLgenres;
    box->setChecked(true);
    TFilterGroup::SelectKey(lookup, key);
    btn_apply_filterClick();
    PageControl1->setCurrentWidget(TabSheet_figures);
}

void TFmain::Btn_producer_filterClick() {
    FilterFiguresBy(O_producers1, QStringLiteral("No manufacturer selected"), true);
}

void TFmain::Btn_gente_filterClick() {
    FilterFiguresBy(O_genres1, QStringLiteral("No genre selected"), false);
}

TFBackUpRestore& TFmain::BackUpRestore() {
    if (!FBackUpRestore)
        FBackUpRestore = new TFBackUpRestore(this);
    return *FBackUpRestore;
}

TF_big_view& TFmain::BigView() {
    if (!F_big_view) {
        F_big_view = new TF_big_view(this);
        F_big_view->ScaleView = &ScaleView();
    }
    return *F_big_view;
}

void TFmain::Show_big_img() {
    const QString key = O_Figures1->KeyValue();
    int result = 0;
    try {
        result = BigView().ShowFullPicture(key);
    } catch (const std::exception&) {
        // No picture or one that cannot be read: the figure's editor is
        // the place to give it one.
        if (Ask(QStringLiteral("Full size image is not avaliable. Edit the record now?")))
            EditFigure();
        return;
    }
    if (result == 1)
        EditFigure();
}

void TFmain::EditFigure() {
    TE_figure& editor = FigureEditor();
    editor.PageControl1->setCurrentWidget(editor.Tab_sheetGeneral);
    editor.EditRecord(O_Figures1->Q1);
    O_Figures1->main_focus();
}

void TFmain::btn_backupClick() {
    CloseDatabase();
    // The data folder as an absolute path: the working folder's parent and
    // the data folder's name.
    const QString dataFolder = QDir::cleanPath(QDir::current().absoluteFilePath(DataPath));
    BackUpRestore().OpenBackup(dataFolder);
    RefreshAll();
}

void TFmain::btn_restoreClick() {
    CloseDatabase();
    BackUpRestore().OpenRestore(DataPath, false);
    // A swap that could be neither finished nor undone leaves files outside
    // the data folder: opening the database there would make an empty one,
    // so the program ends and the next start tries again.
    if (!RecoverDataFolder(DataPath)) {
        close();
        return;
    }
    CheckDatabaseStructure();
    RefreshAll();
}

void TFmain::btn_packClick() {
    if (!Ask(QStringLiteral("Pack database now?")))
        return;
    // What failed is told in the history.
    ShowMsg(PackDatabase() ? QStringLiteral("Packing OK")
                           : QStringLiteral("Packing finished with errors. See the history."));
}

bool TFmain::PackDatabase() {
    const BusyCursor busy;
    CloseDatabase();
    const bool packed = TablePacker(DB1.DatabaseName()).Pack([this](const QString& line) {
        TabSheet_BD_mgm->AddHistoryLine(line);
    });
    RefreshFilterLookups();
    RefreshAll();
    TabSheet_BD_mgm->AddHistoryLine(QStringLiteral("Done"));
    return packed;
}
