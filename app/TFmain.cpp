#include "TFmain.h"

#include "CommandGuard.h"
#include "DialogRunner.h"
#include "TAtlasPage.h"
#include "TChangeListener.h"
#include "TDatabasePage.h"
#include "TFabout.h"
#include "TFiguresPage.h"
#include "TFilterGroup.h"
#include "TGenresPage.h"
#include "TNoFiguresHint.h"
#include "TO_Figures.h"
#include "TO_genres.h"
#include "TO_producers.h"
#include "TProducersPage.h"
#include "TRecordGrid.h"
#include "TSearchGroup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QWheelEvent>

#include <functional>
#include <utility>

namespace {

using Handler = std::function<void()>;

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
    add(TB_sheet, QStyle::SP_FileIcon, QStringLiteral("Sheet"), [this] { TB_sheetClick(); });
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

void TFmain::AddListKeys(TListPage* page) {
    TO_ci* list = page->List;
    TSearchGroup* search = page->Search;
    list->CGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list->CGrid1, &QWidget::customContextMenuRequested, this,
            CommandGuard::Slot(
                [this, list](const QPoint& pos) { ShowListMenu(list->CGrid1->mapToGlobal(pos)); }));
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

    TabSheet_figures = new TFiguresPage(DB1, Dialogs);
    TabSheet_producers = new TProducersPage(Dialogs);
    TabSheet_genres = new TGenresPage(Dialogs);
    TabSheet_statistics = new TStatisticsPage;
    TabSheet_atlas = new TAtlasPage;
    TabSheet_BD_mgm = new TDatabasePage;
    O_Figures1 = TabSheet_figures->O_Figures1;
    O_producers1 = TabSheet_producers->O_producers1;
    O_genres1 = TabSheet_genres->O_genres1;
    PageControl1->addTab(TabSheet_figures, QStringLiteral("Figures"));
    PageControl1->addTab(TabSheet_producers, QStringLiteral("Manufacturers"));
    PageControl1->addTab(TabSheet_genres, QStringLiteral("Genres"));
    PageControl1->addTab(TabSheet_statistics, QStringLiteral("Statistics"));
    PageControl1->addTab(TabSheet_atlas, QStringLiteral("Atlas"));
    PageControl1->addTab(TabSheet_BD_mgm, QStringLiteral("Database management"));

    for (TListPage* page :
         std::initializer_list<TListPage*>{TabSheet_figures, TabSheet_producers, TabSheet_genres}) {
        AddListKeys(page);
        page->ListChanged = [this] { UpdateToolbar(); };
    }
    // "Filter figures": applied before the figures page comes to the front,
    // which then finds the list filtered as its boxes show.
    TabSheet_producers->ShowFigures = [this](const QString& key) {
        TabSheet_figures->FilterBy(true, key);
        PageControl1->setCurrentWidget(TabSheet_figures);
    };
    TabSheet_genres->ShowFigures = [this](const QString& key) {
        TabSheet_figures->FilterBy(false, key);
        PageControl1->setCurrentWidget(TabSheet_figures);
    };
    TabSheet_statistics->ShowFigures = [this](TStatisticsPage::Group group, const QString& key) {
        ShowStatisticFigures(group, key);
    };
    TabSheet_atlas->ShowFigures = [this](const QString& key) {
        ShowStatisticFigures(TStatisticsPage::Group::Genre, key);
    };
    TabSheet_BD_mgm->Attach(*this, Dialogs, [this] { RefreshAll(); });

    ChangeListener = new TChangeListener(this);
    for (TO_ci* list : std::initializer_list<TO_ci*>{O_Figures1, O_producers1, O_genres1})
        ChangeListener->Watch(list);
    ChangeListener->Refreshed = [this] {
        TabSheet_figures->ShowRecordCount();
        UpdateToolbar();
    };

    TNoFiguresHint* hint = TabSheet_figures->NoFiguresHint;
    connect(hint->btn_add, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { TB_add->trigger(); }));
    connect(hint->btn_import, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { TabSheet_BD_mgm->btn_importClick(); }));
    connect(TabSheet_figures->NoFiguresInsert, &QShortcut::activated, this,
            CommandGuard::Slot([this] { TB_add->trigger(); }));
}

bool TFmain::InitApplication() {
    const bool started = TPmain::InitApplication();
    if (started)
        RefreshAll();
    return started;
}

void TFmain::ShowStatisticFigures(TStatisticsPage::Group group, const QString& key) {
    TFiguresPage* page = TabSheet_figures;
    TFilterGroup* filter = page->FilterGroup;
    // A type or scale outside the lists is added for the while.
    auto chooseText = [&key](QComboBox* list) {
        if (list->findText(key) < 0)
            list->addItem(key);
        list->setCurrentIndex(list->findText(key));
    };
    switch (group) {
    case TStatisticsPage::Group::Genre:
        page->FilterBy(false, key);
        break;
    case TStatisticsPage::Group::Manufacturer:
        page->FilterBy(true, key);
        break;
    case TStatisticsPage::Group::Scale:
        page->FilterByBox(filter->CBFscale, [&] { chooseText(filter->CmBFScale); });
        break;
    case TStatisticsPage::Group::Type:
        page->FilterByBox(filter->CBFcavalry, [&] { chooseText(filter->CmBFcavalry); });
        break;
    case TStatisticsPage::Group::Century:
        page->FilterByBox(filter->CBFcentury, [&] { filter->SelectCentury(key.toInt()); });
        break;
    case TStatisticsPage::Group::Status:
        page->FilterByBox(filter->CBFstatus, [&] { chooseText(filter->CmBFstatus); });
        break;
    case TStatisticsPage::Group::Acquired:
        // The filter has no acquisition year.
        return;
    }
    PageControl1->setCurrentWidget(page);
}

void TFmain::PageControl1Change() {
    if (PageControl1->currentWidget() == TabSheet_statistics)
        TabSheet_statistics->Reload();
    if (PageControl1->currentWidget() == TabSheet_atlas)
        TabSheet_atlas->Reload();
    TabSheet_figures->RefreshFilterLookups();
    TabSheet_figures->FollowFilter();
    // The list has the keys: Insert, Enter and F2 act at once.
    if (TO_ci* list = PageList())
        list->CGrid1->setFocus();
    UpdateToolbar();
}

void TFmain::RefreshAll() {
    TabSheet_figures->RefreshFilterLookups();
    TabSheet_figures->BuildFiguresQuery();
    TabSheet_producers->Reopen();
    TabSheet_genres->Reopen();
    update();
    TabSheet_figures->Reopen();
    TabSheet_figures->ShowRecordCount();
    UpdateToolbar();
    ChangeListener->Start(DB1.DatabaseName());
}

TListPage* TFmain::ListPage() const {
    return qobject_cast<TListPage*>(PageControl1->currentWidget());
}

TO_ci* TFmain::PageList() const {
    TListPage* page = ListPage();
    return page ? page->List : nullptr;
}

void TFmain::UpdateToolbar() {
    TO_ci* list = PageList();
    const bool filled = list && list->Q1.Active() && !list->Q1.IsEmpty();
    TB_add->setEnabled(list != nullptr);
    TB_del->setEnabled(filled);
    const bool figure = list == static_cast<TO_ci*>(O_Figures1) && filled;
    TB_html_export->setEnabled(figure);
    TB_sheme->setEnabled(figure);
    TB_sheet->setEnabled(figure);
    TB_edit->setEnabled(TB_del->isEnabled());
    TB_first->setEnabled(TB_del->isEnabled());
    TB_last->setEnabled(TB_del->isEnabled());
    menuEdit_->setEnabled(TB_edit->isEnabled());
    menuAdd_->setEnabled(TB_add->isEnabled());
    menuDelete_->setEnabled(TB_del->isEnabled());
    menuFirst_->setEnabled(TB_first->isEnabled());
    menuLast_->setEnabled(TB_last->isEnabled());
    TabSheet_figures->UpdateNoFiguresHint();
}

void TFmain::CloseDatabase() {
    ChangeListener->Stop();
    DB1.Close();
}

void TFmain::TB_addClick() {
    if (TListPage* page = ListPage())
        page->AddClick();
    TabSheet_figures->ShowRecordCount();
    UpdateToolbar();
}

void TFmain::TB_editClick() {
    if (TListPage* page = ListPage())
        page->EditClick();
}

void TFmain::TB_delClick() {
    if (TListPage* page = ListPage())
        page->DeleteClick();
    TabSheet_figures->ShowRecordCount();
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

void TFmain::TB_shemeClick() {
    if (TB_sheme->isEnabled())
        TabSheet_figures->EditManual();
}

void TFmain::TB_html_exportClick() {
    if (TB_html_export->isEnabled())
        TabSheet_figures->ExportHtml();
}

void TFmain::TB_sheetClick() {
    if (TB_sheet->isEnabled())
        TabSheet_figures->PrintSheet();
}

void TFmain::TB_aboutClick() {
    DialogRunner::Exec(Dialogs.About());
}

void TFmain::TB_exitClick() {
    close();
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
