#pragma once

#include "TListPage.h"

#include <functional>

class QCheckBox;
class QPushButton;
class QShortcut;
class TDatabase;
class TFilterGroup;
class TNoFiguresHint;
class TO_Figures;

// The page "Figures": the filter, the search and the figures list, or the
// hint in its place while the catalog holds no figure.
class TFiguresPage : public TListPage {
    Q_OBJECT

public:
    TFiguresPage(TDatabase& database, TPageDialogs& dialogs);

    void AddClick() override;
    // Edits the current figure on its editor's first page.
    void EditClick() override;
    void DeleteClick() override;

    void btn_apply_filterClick();
    void RefreshFilterLookups();
    void BuildFiguresQuery();
    void ShowRecordCount();
    // The filter boxes show what the list is filtered by: when they show
    // something else (a lookup reloaded, a choice left unapplied), the list
    // follows them.
    void FollowFilter();
    // A clean filter: only the figures of this manufacturer (producer) or
    // genre, the other boxes unticked.
    void FilterBy(bool producer, const QString& key);
    // A clean filter on one box: ticked, after choose has set its value.
    void FilterByBox(QCheckBox* box, const std::function<void()>& choose);
    // A click on a figure's thumbnail: its picture at full size.
    void Show_big_img();
    // The current figure's manual, and its HTML page.
    void EditManual();
    void ExportHtml();
    // The figures the list shows, on paper: printed from the print preview,
    // or through the print dialog alone when they are too many to preview
    // ("Print…"), or written to a PDF file ("Export PDF…").
    void PrintClick();
    void ExportPdfClick();
    // The current figure's sheet in the print preview.
    void PrintSheet();
    void UpdateNoFiguresHint();

    TO_Figures* O_Figures1 = nullptr;
    TFilterGroup* FilterGroup = nullptr;
    TNoFiguresHint* NoFiguresHint = nullptr;
    QPushButton* btn_print = nullptr;
    QPushButton* btn_export_pdf = nullptr;
    // Ins anywhere on the page while the list, which has its own, is hidden.
    QShortcut* NoFiguresInsert = nullptr;

private:
    // "Figures", and what the list is filtered by.
    QString ShownTitle() const;

    TDatabase& database_;
    // The filter line of the list's query and the catalog title with it,
    // as the list was last filtered.
    QString shownFilter_;
    QString shownTitle_;
};
