#pragma once

#include "TJpegPicture.h"
#include "TQuery.h"

#include <QDialog>

class QAction;
class QMenu;
class QScrollArea;
class TD_scale_image;
class TImageView;

// The full-size viewer: a figure's main picture at real size, full screen,
// without a border. Escape closes it from any control; its context menu
// closes it, opens the scale view (viewing only) or asks for the figure's
// editor. Between uses it keeps only a one-pixel picture.
class TF_big_view : public QDialog {
    Q_OBJECT

public:
    static constexpr int Margin = 10;

    explicit TF_big_view(QWidget* parent = nullptr);

    // The scale view the context menu opens; set by the owner.
    TD_scale_image* ScaleView = nullptr;

    TQuery Q1;
    QScrollArea* ScrollBox1 = nullptr;
    TImageView* Image1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N_close = nullptr;
    QAction* N_scale_view = nullptr;
    QAction* N_edit_record = nullptr;

    // The key of the figure shown last.
    QString FigureKey;
    int EditRequested = 0;

    // Shows the main picture of the figure; 1 when the user chose "Edit
    // record", else 0. An error while loading (no picture, corrupt data)
    // passes out before the window is shown.
    int ShowFullPicture(const QString& figureKey);

    void N_scale_viewClick();
    void N_edit_recordClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadPicture();
    void ReleasePicture();

    TJpegPicture jpeg_;
};
