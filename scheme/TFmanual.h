#pragma once

#include "TQuery.h"
#include "TUpdateSQL.h"

#include <QDialog>

class QAction;
class QPushButton;
class QToolBar;
class TO_manual;

// The window in which a figure's assembling and painting manual is drawn:
// the scheme editor with its own toolbar, import from and export to scheme
// files and bitmaps, and the scheme written back to the figure on "Ok".
class TFmanual : public QDialog {
    Q_OBJECT

public:
    explicit TFmanual(QWidget* parent = nullptr);
    ~TFmanual() override;

    // Loads the figure's scheme, shows the window modally and, when it was
    // confirmed, has written the scheme back: true then.
    bool EditManual(const QString& figureId);

    void UpdateButtons();
    void btn_importClick();
    void btn_exportClick();
    void btn_okClick();
    // Escape and the close box: with changes to the manual (its undo history
    // is not empty) ask whether to save them first; Yes saves as "Ok" does,
    // No closes without saving, Cancel stays.
    void reject() override;

    QToolBar* ToolBar1 = nullptr;
    QAction* TB_add_node = nullptr;
    QAction* TB_add_line = nullptr;
    QAction* TB_edit_node = nullptr;
    QAction* TB_edit_line = nullptr;
    QAction* TB_delete = nullptr;
    QAction* TB_edit_sheme = nullptr;
    QAction* TB_import = nullptr;
    QAction* TB_export = nullptr;
    QAction* TB_undo = nullptr;
    QAction* TB_redo = nullptr;
    TO_manual* O_manual1 = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    TQuery Q1;
    QString FigureId;
    bool Confirmed = false;

private:
    void OpenQuery();
    // False when the stored scheme could not be read and the user chose not
    // to open the window.
    bool LoadScheme();
    // The stored scheme cannot be read: says why and offers an empty manual
    // or an imported one in its place. False when neither was chosen.
    bool OfferReplacement(const QString& why);
    // Writes the scheme to the figure's row; raises when it cannot.
    void WriteScheme();

    TUpdateSQL update_;
};
