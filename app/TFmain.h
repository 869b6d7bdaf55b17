#pragma once

#include "TPageDialogs.h"
#include "TPmain.h"
#include "TStatisticsPage.h"

class QAction;
class QMenu;
class QShortcut;
class QTabWidget;
class QToolBar;
class TChangeListener;
class TAtlasPage;
class TDatabasePage;
class TFiguresPage;
class TGenresPage;
class TListPage;
class TO_Figures;
class TO_ci;
class TO_genres;
class TO_producers;
class TProducersPage;

// The program's main window: the toolbar, the context menu and the keys
// of the lists, and the pages "Figures", "Manufacturers", "Genres",
// "Statistics", "Atlas" and "Database management", each with its own commands.
class TFmain : public TPmain {
    Q_OBJECT

public:
    explicit TFmain(QWidget* parent = nullptr);
    ~TFmain() override;

    bool InitApplication() override;
    void PageControl1Change();
    // A bar of the statistics page clicked: the figures page filtered by
    // its value.
    void ShowStatisticFigures(TStatisticsPage::Group group, const QString& key);
    // Reads every list again and the figure filter's lookups with them.
    void RefreshAll();
    void UpdateToolbar();
    void CloseDatabase();

    // The toolbar's commands act on the page in front.
    void TB_addClick();
    void TB_editClick();
    void TB_delClick();
    void TB_firstClick();
    void TB_lastClick();
    void TB_shemeClick();
    void TB_html_exportClick();
    void TB_sheetClick();
    void TB_aboutClick();
    void TB_exitClick();
    void FormMouseWheel(int delta);

    // The page in front when it is a list's; nullptr on "Database
    // management".
    TListPage* ListPage() const;
    // The list of the page in front; nullptr on "Database management".
    TO_ci* PageList() const;
    // The lists' context menu at a place on the screen.
    void ShowListMenu(const QPoint& globalPos);
    // Where the keyboard opens the context menu: over the list's current
    // panel (the grid's top left corner when the list is empty).
    QPoint ListMenuPosition(const TO_ci* list) const;
    // Another start of the program asked for this window: it comes to the
    // front, restored when it was minimised.
    void BringToFront();

    // Reads the lists again when another client of a server catalog saves.
    TChangeListener* ChangeListener = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QAction* TB_add = nullptr;
    QAction* TB_edit = nullptr;
    QAction* TB_sheme = nullptr;
    QAction* TB_html_export = nullptr;
    // The current figure's sheet, for printing.
    QAction* TB_sheet = nullptr;
    QAction* TB_first = nullptr;
    QAction* TB_last = nullptr;
    QAction* TB_del = nullptr;
    QAction* TB_about = nullptr;
    QAction* TB_exit = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QTabWidget* PageControl1 = nullptr;
    TFiguresPage* TabSheet_figures = nullptr;
    TProducersPage* TabSheet_producers = nullptr;
    TGenresPage* TabSheet_genres = nullptr;
    TStatisticsPage* TabSheet_statistics = nullptr;
    TAtlasPage* TabSheet_atlas = nullptr;
    TDatabasePage* TabSheet_BD_mgm = nullptr;

    // The pages' lists.
    TO_Figures* O_Figures1 = nullptr;
    TO_producers* O_producers1 = nullptr;
    TO_genres* O_genres1 = nullptr;

    // The program's editors and dialogs; made here when the program did not
    // hand them over.
    TPageDialogs Dialogs{this};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolbar();
    void BuildPages();
    // The context menu, and Insert, Enter/F2, Delete and the context-menu
    // key on the page's list, Ctrl+F and F3 on the page.
    void AddListKeys(TListPage* page);

    QAction* menuEdit_ = nullptr;
    QAction* menuAdd_ = nullptr;
    QAction* menuDelete_ = nullptr;
    QAction* menuFirst_ = nullptr;
    QAction* menuLast_ = nullptr;
    const void* lastWheel_ = nullptr;
    quint64 lastWheelTime_ = 0;
};
