#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

class QAction;
class QFrame;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;
class TCatchShape;
class TD_scale_image;
class TImageView;
class TJpegPicture;

// The image dialog: a picture and its thumbnail are edited here. The
// picture can be replaced from a file or the clipboard, shown at another
// scale or resampled, turned, exported as JPEG and copied; a thumbnail is
// cut out of it with a movable catch rectangle. One instance serves the
// program; EditPicture runs it for the caller's picture and thumbnail.
class TF_picture_mgm : public QDialog {
    Q_OBJECT

public:
    // Where the working picture stands in the work area.
    static constexpr int PictureMargin = 14;

    explicit TF_picture_mgm(QWidget* parent = nullptr);

    // The scale view the dialog opens; set by the owner.
    TD_scale_image* ScaleView = nullptr;

    QScrollArea* ScrollBox1 = nullptr;
    QWidget* WorkArea = nullptr;
    // The working picture and the catch rectangle in the work area.
    TImageView* Image1 = nullptr;
    TCatchShape* Shape_catch = nullptr;
    QPushButton* btn_load_from_file = nullptr;
    QPushButton* btn_paste = nullptr;
    QPushButton* btn_scale = nullptr;
    QPushButton* btn_export = nullptr;
    QToolButton* SB_r_l = nullptr;
    QToolButton* SB_r_r = nullptr;
    QToolButton* SB_make_tn = nullptr;
    QToolButton* SB_apply_th = nullptr;
    QFrame* Panel_th = nullptr;
    // The thumbnail view.
    TImageView* Image2 = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* N_load = nullptr;
    QAction* N_paste = nullptr;
    QAction* N_save_jpeg = nullptr;
    QAction* N_copy = nullptr;
    QAction* N_rotate_ccw = nullptr;
    QAction* N_rotate_cw = nullptr;
    QAction* N_grab = nullptr;

    bool Accepted = false;
    bool PictureChanged = false;
    // The percentage the working picture is shown at; 100 is real size.
    int ViewScale = 100;
    bool Dragging = false;
    int DragX = 0;
    int DragY = 0;

    // Shows the dialog for the picture and the thumbnail (either may be
    // nullptr); on Ok the thumbnail takes what the dialog shows, and the
    // picture too when the user replaced, turned or resampled it. A picture
    // that cannot be decoded is said so and kept as it is. True when the
    // user pressed Ok and something changed. A picture loaded or pasted in
    // the run gets the automatic thumbnail (AutoThumbnail) on Ok unless a
    // thumbnail was cut in the same run.
    bool EditPicture(TJpegPicture* picture, QImage* thumbnail);

    // The file the working picture was loaded from in this run; empty when
    // it was not loaded from a file.
    QString PictureFileName() const { return pictureFile_; }

    void btn_load_from_fileClick();
    void btn_pasteClick();
    void btn_scaleClick();
    void btn_exportClick();
    void CopyToClipboard();
    void SB_r_lClick();
    void SB_r_rClick();
    void SB_make_tnClick();
    void SB_apply_thClick();
    void btn_okClick();
    // Brings the context menu's items up to date, as before it opens.
    void PopupMenu1Popup();

    void Shape_catchMouseDown(int x, int y);
    void Shape_catchMouseMove(int x, int y);
    void Shape_catchMouseUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Rotate(bool clockwise);
    // The working picture becomes a picture from a file or the clipboard.
    void ReplacePicture(const QImage& picture);
    // The working picture is no longer the one EditPicture began with: it
    // was replaced, turned or resampled, and goes back to the caller on Ok.
    bool WorkingPictureReplaced() const;
    // The working picture is still the one pixel that stands for an empty
    // picture or one that could not be decoded; it is never handed back.
    bool ShowsStandIn() const;
    // The working picture at real size, unstretched.
    void ShowRealSize(const QImage& picture);
    void UpdateWorkAreaSize();
    void ShowContextMenu(const QPoint& globalPos);

    // EditPicture began with a stand-in for the caller's picture.
    bool standIn_ = true;
    // The QImage::cacheKey of the working picture EditPicture began with.
    qint64 startPicture_ = 0;
    // In this run: a picture was loaded or pasted; a thumbnail was cut.
    bool pictureLoaded_ = false;
    bool thumbnailCut_ = false;
    QString pictureFile_;
};
