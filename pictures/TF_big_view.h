#pragma once

#include "TJpegPicture.h"
#include "TQuery.h"
#include "ViewZoom.h"

#include <QDialog>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class TD_scale_image;
class TImageView;

// The full-size viewer: a figure's main picture, full screen, without a
// border. It opens with the picture fitted to the window when it is larger;
// "1" shows it at real size, Ctrl+wheel and +/- zoom, a double click
// toggles fitted and real size. Escape closes it from any control; its
// context menu closes it, opens the scale view (viewing only) or asks for
// the figure's editor. Between uses it keeps only a one-pixel picture.
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
    // The status line: how to leave, and the scale shown.
    QLabel* Label_hint = nullptr;
    QLabel* Label_zoom = nullptr;

    // The key of the figure shown last.
    QString FigureKey;
    int EditRequested = 0;

    // Shows the main picture of the figure; 1 when the user chose "Edit
    // record", else 0. An error while loading (no picture, corrupt data)
    // passes out before the window is shown.
    int ShowFullPicture(const QString& figureKey);

    void N_scale_viewClick();
    void N_edit_recordClick();

    const ViewZoom& Zoom() const { return zoom_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void LoadPicture();
    void ReleasePicture();
    // Changes the scale, keeping the picture point under anchor (a point of
    // the scrolling area's viewport) where it is.
    void ChangeZoom(void (ViewZoom::*change)(), QPoint anchor);
    void ChangeZoomAtCentre(void (ViewZoom::*change)());
    void ShowZoom();
    QSize FitArea() const;

    ViewZoom zoom_;

    TJpegPicture jpeg_;
};
