#pragma once

#include "TPmain.h"

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolBar;
class TDatabasePage;
class TD_scale_image;
class TE_figure;
class TE_genre;
class TE_producer;
class TF_big_view;
class TF_picture_mgm;
class TFBackUpRestore;
class TFabout;
class TFhtml_record;
class TFmanual;
class TFilterGroup;
class TO_Figures;
class TO_ci;
class TO_genres;
class TO_producers;
class TP_Edit;
class TSearchGroup;

// The program's main window: the toolbar, the pages "Figures",
// "Manufacturers", "Genres" and "Database management" with the catalog
// lists, the figure filter and the searches.
class TFmain : public TPmain {
    Q_OBJECT

public:
    explicit TFmain(QWidget* parent = nullptr);
    ~TFmain() override;

    bool InitApplication() override;
    void PageControl1Change();
    void RefreshAll();
    void RefreshFilterLookups();
    void BuildFiguresQuery();
    void ShowRecordCount();
    void UpdateToolbar();
    void CloseDatabase();

    void TB_addClick();
    void TB_editClick();
    void TB_delClick();
    void TB_firstClick();
    void TB_lastClick();
    void TB_shemeClick();
    void TB_html_exportClick();
    void TB_aboutClick();
    void TB_exitClick();
    void btn_apply_filterClick();
    void BitBtn3Click();
    void Btn_search_producerClick();
    void Btn_search_genreClick();
    void FormMouseWheel(int delta);
    void Btn_URL_producerClick();
    void Btn_producer_filterClick();
    void Btn_gente_filterClick();
    void btn_backupClick();
    void btn_restoreClick();
    // Asks, packs the catalog's tables with their history on the
    // "Database management" page, and reports.
    void btn_packClick();
    // Closes the lists, packs, and opens them again. False when a table or
    // the compaction failed (told in the history).
    bool PackDatabase();
    // A click on a figure's thumbnail: its picture at full size.
    void Show_big_img();
    // Edits the current figure, as "Edit/Details" does on the figures page.
    void EditFigure();

    void btn_add_figureClick();
    void Btn_add_producerClick();
    void Btn_edit_producerClick();
    void Btn_add_genreClick();
    void Btn_edit_genreClick();
    void btn_delete_figureClick();
    void Btn_del_producerClick();
    void Btn_del_genreClick();

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

    QToolBar* ToolBar1 = nullptr;
    QAction* TB_add = nullptr;
    QAction* TB_edit = nullptr;
    QAction* TB_sheme = nullptr;
    QAction* TB_html_export = nullptr;
    QAction* TB_first = nullptr;
    QAction* TB_last = nullptr;
    QAction* TB_del = nullptr;
    QAction* TB_about = nullptr;
    QAction* TB_exit = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet_figures = nullptr;
    QWidget* TabSheet_producers = nullptr;
    QWidget* TabSheet_genres = nullptr;
    TDatabasePage* TabSheet_BD_mgm = nullptr;

    TO_Figures* O_Figures1 = nullptr;
    TO_producers* O_producers1 = nullptr;
    TO_genres* O_genres1 = nullptr;
    TFilterGroup* FilterGroup = nullptr;
    TSearchGroup* SearchFigures = nullptr;
    TSearchGroup* SearchProducers = nullptr;
    TSearchGroup* SearchGenres = nullptr;
    QPushButton* Btn_producer_filter = nullptr;
    QPushButton* Btn_gente_filter = nullptr;

    // The program's editors, the backup/restore dialog and the About box;
    // made here when the program did not hand them over.
    TE_producer* E_producer = nullptr;
    TE_figure* E_figure = nullptr;
    TE_genre* E_genre = nullptr;
    TF_picture_mgm* F_picture_mgm = nullptr;
    TFBackUpRestore* FBackUpRestore = nullptr;
    TFabout* Fabout = nullptr;
    TF_big_view* F_big_view = nullptr;
    TD_scale_image* D_scale_image = nullptr;
    TFmanual* Fmanual = nullptr;
    TFhtml_record* Fhtml_record = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolbar();
    QWidget* BuildCatalogPage(TO_ci* list, TSearchGroup*& search, QPushButton** filterButton,
                              const QStringList& dataButtons, int margin);
    void BuildPages();
    // Insert, Enter/F2, Delete and the context-menu key on the list, Ctrl+F
    // and F3 on its page.
    void AddListKeys(QWidget* page, TO_ci* list, TSearchGroup* search);
    void AddRecord(TO_ci* list, TP_Edit& editor);
    void DeleteUnreferenced(TO_ci* list, const QString& column);
    void SearchList(TO_ci* list, TSearchGroup* group, const QStringList& columns);
    void FilterFiguresBy(TO_ci* list, const QString& missingMessage, bool producer);
    TE_producer& ProducerEditor();
    TE_figure& FigureEditor();
    TE_genre& GenreEditor();
    TD_scale_image& ScaleView();
    TFBackUpRestore& BackUpRestore();
    TF_big_view& BigView();
    TFmanual& Manual();
    TFhtml_record& HtmlExport();

    QAction* menuEdit_ = nullptr;
    QAction* menuAdd_ = nullptr;
    QAction* menuDelete_ = nullptr;
    QAction* menuFirst_ = nullptr;
    QAction* menuLast_ = nullptr;
    const void* lastWheel_ = nullptr;
    quint64 lastWheelTime_ = 0;
};
