#pragma once

#include "HtmlPageBuilder.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TQuery;

// "HTML export": proposes where a figure's page, its picture and its genre
// map go and, on Ok, writes them and opens the page with the desktop's
// program for it. One dialog serves the whole run; "Use genre map" keeps the
// last choice, the other boxes are proposed anew for every export.
class TFhtml_record : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* DefaultHtmlPath = "../reports/";
    static constexpr const char* DefaultPicturePath = "../reports/images/";

    explicit TFhtml_record(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet_page = nullptr;
    QLabel* Label_html_path = nullptr;
    QLineEdit* Edit_html_path = nullptr;
    QLabel* Label_html_filename = nullptr;
    QLineEdit* Edit_html_filename = nullptr;
    QLabel* Label_picture_path = nullptr;
    QLineEdit* Edit_picture_path = nullptr;
    QLabel* Label_picture_filename = nullptr;
    QLineEdit* Edit_picture_filename = nullptr;
    QCheckBox* CB_genre_map = nullptr;
    QLabel* Label_genre_map = nullptr;
    QLineEdit* Edit_genre_map = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    // Proposes the files for the current row of the figures list, shows the
    // dialog and on Ok writes the page (WritePage); shows the dialog again
    // when the user would not replace a file.
    void ExportFigure(TQuery& figures);
    // Writes the current figure's page, picture and map as the boxes say and
    // opens the page. Files that exist with other contents are replaced only
    // when the user agrees; false, with nothing written, when not. Nothing
    // happens for an empty list; a file that cannot be written raises
    // EFileError naming it, and no page is written then.
    bool WritePage(TQuery& figures);

    // Where the boxes say the files go.
    HtmlPageOptions Options() const;
    HtmlPageBuilder& Builder() { return builder_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    HtmlPageBuilder builder_;
};
