#include "TF_picture_mgm.h"

#include "AutoThumbnail.h"
#include "Bitmap24.h"
#include "BusyCursor.h"
#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "EPictureError.h"
#include "FolderKeeper.h"
#include "JpegEncoder.h"
#include "Msg.h"
#include "PictureGeometry.h"
#include "PictureLoader.h"
#include "TCatchShape.h"
#include "TD_scale_image.h"
#include "TImageView.h"
#include "TJpegPicture.h"
#include "WholeFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <optional>

namespace {

const QColor WorkspaceColor(171, 171, 171);
constexpr int ThumbnailBoxWidth = 127;
constexpr int ThumbnailBoxHeight = 123;
// How far the catch rectangle's right or bottom edge may go to the left or
// top: it stops with that edge at 6.
constexpr int DragLimit = 5;
constexpr int DragStop = 6;

QImage OnePixel() {
    QImage pixel(1, 1, QImage::Format_RGB888);
    pixel.fill(Qt::white);
    return pixel;
}

// A quarter-turn arrow for the rotate buttons.
QIcon RotateGlyph(bool clockwise) {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    // Drawn counter-clockwise; mirrored for the clockwise turn.
    if (clockwise) {
        painter.translate(20, 0);
        painter.scale(-1, 1);
    }
    painter.drawArc(QRect(3, 4, 13, 13), 180 * 16, -270 * 16);
    QPainterPath head;
    head.moveTo(2, 8);
    head.lineTo(10, 8);
    head.lineTo(6, 13);
    head.closeSubpath();
    painter.fillPath(head.translated(0, 0), QColor(0, 0, 128));
    return QIcon(pixmap);
}

QToolButton* ToolButton(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

} // namespace

TF_picture_mgm::TF_picture_mgm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Image"));
    resize(820, 600);

    // The work area: the picture at (14, 14) on the workspace colour.
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setWidgetResizable(false);
    QPalette workspace = ScrollBox1->palette();
    workspace.setColor(QPalette::Window, WorkspaceColor);
    ScrollBox1->viewport()->setPalette(workspace);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    WorkArea = new QWidget;
    WorkArea->setPalette(workspace);
    WorkArea->setAutoFillBackground(true);
    Image1 = new TImageView(WorkArea);
    Image1->move(PictureMargin, PictureMargin);
    Image1->SetAutoSize(true);
    Image1->installEventFilter(this);
    Shape_catch = new TCatchShape(WorkArea);
    Shape_catch->move(PictureMargin, PictureMargin);
    Shape_catch->hide();
    ScrollBox1->setWidget(WorkArea);

    btn_load_from_file = new QPushButton(QStringLiteral("Load from file"), this);
    btn_paste = new QPushButton(QStringLiteral("Paste from clipboard"), this);
    btn_scale = new QPushButton(QStringLiteral("Scale image"), this);
    btn_export = new QPushButton(QStringLiteral("Export as JPEG"), this);
    SB_r_l = ToolButton(QStringLiteral("Rotate"), this);
    SB_r_l->setIcon(RotateGlyph(false));
    SB_r_l->setToolTip(QStringLiteral("Rotate CCW"));
    SB_r_r = ToolButton(QStringLiteral("Rotate"), this);
    SB_r_r->setIcon(RotateGlyph(true));
    SB_r_r->setToolTip(QStringLiteral("Rotate CW"));
    SB_make_tn = ToolButton(QStringLiteral("Make thumbnail"), this);
    SB_make_tn->setCheckable(true);
    SB_apply_th = ToolButton(QStringLiteral("Apply"), this);
    SB_apply_th->setEnabled(false);

    Panel_th = new QFrame(this);
    Panel_th->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Panel_th->setLineWidth(1);
    const int frame = Panel_th->frameWidth();
    Panel_th->setFixedSize(ThumbnailBoxWidth + 2 * frame, ThumbnailBoxHeight + 2 * frame);
    Image2 = new TImageView(Panel_th);
    Image2->setGeometry(frame, frame, ThumbnailBoxWidth, ThumbnailBoxHeight);
    Image2->SetCenter(true);
    Image2->SetPicture(OnePixel());

    btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* rotations = new QHBoxLayout;
    rotations->addWidget(SB_r_l);
    rotations->addWidget(SB_r_r);
    auto* thumbnailButtons = new QHBoxLayout;
    thumbnailButtons->addWidget(SB_make_tn);
    thumbnailButtons->addWidget(SB_apply_th);
    auto* column = new QVBoxLayout;
    for (QWidget* button : {btn_load_from_file, btn_paste, btn_scale, btn_export})
        column->addWidget(button);
    column->addSpacing(8);
    column->addLayout(rotations);
    column->addSpacing(8);
    column->addLayout(thumbnailButtons);
    column->addWidget(Panel_th, 0, Qt::AlignHCenter);
    column->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(ScrollBox1, 1);
    top->addLayout(column);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btn_ok);
    bottom->addWidget(btn_cancel);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top, 1);
    outer->addLayout(bottom);

    PopupMenu1 = new QMenu(this);
    N_load = PopupMenu1->addAction(QStringLiteral("Load from file"));
    N_paste = PopupMenu1->addAction(QStringLiteral("Paste from clipboard"));
    PopupMenu1->addSeparator();
    N_save_jpeg = PopupMenu1->addAction(QStringLiteral("Save as JPEG"));
    N_copy = PopupMenu1->addAction(QStringLiteral("Copy to clipboard"));
    PopupMenu1->addSeparator();
    N_rotate_ccw = PopupMenu1->addAction(QStringLiteral("Rotate CCW"));
    N_rotate_cw = PopupMenu1->addAction(QStringLiteral("Rotate CW"));
    PopupMenu1->addSeparator();
    N_grab = PopupMenu1->addAction(QStringLiteral("Grab area as thumbnail"));

    const auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, CommandGuard::Slot([this, handler] { (this->*handler)(); }));
    };
    on(btn_load_from_file, &QPushButton::clicked, &TF_picture_mgm::btn_load_from_fileClick);
    on(btn_paste, &QPushButton::clicked, &TF_picture_mgm::btn_pasteClick);
    on(btn_scale, &QPushButton::clicked, &TF_picture_mgm::btn_scaleClick);
    on(btn_export, &QPushButton::clicked, &TF_picture_mgm::btn_exportClick);
    on(SB_r_l, &QToolButton::clicked, &TF_picture_mgm::SB_r_lClick);
    on(SB_r_r, &QToolButton::clicked, &TF_picture_mgm::SB_r_rClick);
    on(SB_make_tn, &QToolButton::clicked, &TF_picture_mgm::SB_make_tnClick);
    on(SB_apply_th, &QToolButton::clicked, &TF_picture_mgm::SB_apply_thClick);
    on(btn_ok, &QPushButton::clicked, &TF_picture_mgm::btn_okClick);
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    on(N_load, &QAction::triggered, &TF_picture_mgm::btn_load_from_fileClick);
    on(N_paste, &QAction::triggered, &TF_picture_mgm::btn_pasteClick);
    on(N_save_jpeg, &QAction::triggered, &TF_picture_mgm::btn_exportClick);
    on(N_copy, &QAction::triggered, &TF_picture_mgm::CopyToClipboard);
    on(N_rotate_ccw, &QAction::triggered, &TF_picture_mgm::SB_r_lClick);
    on(N_rotate_cw, &QAction::triggered, &TF_picture_mgm::SB_r_rClick);
    on(N_grab, &QAction::triggered, &TF_picture_mgm::SB_apply_thClick);
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    copy->setContext(Qt::WindowShortcut);
    on(copy, &QShortcut::activated, &TF_picture_mgm::CopyToClipboard);

    for (QWidget* area : {static_cast<QWidget*>(WorkArea), ScrollBox1->viewport()}) {
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(area, &QWidget::customContextMenuRequested, this,
                CommandGuard::Slot(
                    [this, area](const QPoint& pos) { ShowContextMenu(area->mapToGlobal(pos)); }));
    }
    connect(Shape_catch, &TCatchShape::MouseDown, this,
            CommandGuard::Slot([this](int x, int y) { Shape_catchMouseDown(x, y); }));
    connect(Shape_catch, &TCatchShape::MouseMove, this,
            CommandGuard::Slot([this](int x, int y) { Shape_catchMouseMove(x, y); }));
    connect(Shape_catch, &TCatchShape::MouseUp, this,
            CommandGuard::Slot([this] { Shape_catchMouseUp(); }));

    ShowRealSize(OnePixel());
}

bool TF_picture_mgm::EditPicture(TJpegPicture* picture, QImage* thumbnail) {
    ShowRealSize(OnePixel());
    Image2->SetPicture(OnePixel());
    // A picture that cannot be decoded (an empty one among them) leaves
    // the one pixel, standing in for it until another picture replaces it.
    standIn_ = true;
    QString unreadable;
    if (picture != nullptr && !picture->Empty()) {
        try {
            Image1->SetPicture(picture->ToBitmap());
            standIn_ = false;
        } catch (const std::exception& error) {
            unreadable = QString::fromStdString(error.what());
        }
    }
    startPicture_ = Image1->Picture().cacheKey();
    if (thumbnail != nullptr)
        Image2->SetPicture(ToBitmap24(*thumbnail));
    PictureChanged = false;
    Accepted = false;
    pictureLoaded_ = false;
    thumbnailCut_ = false;
    pictureFile_.clear();
    ViewScale = 100;
    Dragging = false;
    UpdateWorkAreaSize();

    if (!unreadable.isEmpty())
        ShowMsg(QStringLiteral("The picture cannot be read (%1).\nIt is kept as it is unless you "
                               "load or paste another picture.")
                    .arg(unreadable));
    DialogRunner::Exec(*this);

    if (Accepted) {
        // Only a picture the user replaced or changed goes back: one that
        // was not touched keeps its bytes, and the stand-in for a picture
        // that could not be read never takes its place.
        if (picture != nullptr && WorkingPictureReplaced()) {
            try {
                picture->Assign(Image1->Picture());
            } catch (const std::exception&) {
            }
        }
        // A new picture without a thumbnail cut for it gets its middle
        // square, as if that had been cut.
        if (thumbnail != nullptr)
            *thumbnail = pictureLoaded_ && !thumbnailCut_ ? AutoThumbnail(Image1->Picture())
                                                          : Image2->Picture().copy();
    }
    if (ScaleView != nullptr)
        ScaleView->ResetScaleView();
    return Accepted && PictureChanged;
}

// --- the working picture --------------------------------------------------------

void TF_picture_mgm::ShowRealSize(const QImage& picture) {
    Image1->SetStretch(false);
    Image1->SetAutoSize(true);
    Image1->SetPicture(picture);
    // An empty picture leaves nothing to show.
    if (picture.isNull())
        Image1->resize(0, 0);
}

void TF_picture_mgm::btn_load_from_fileClick() {
    const FolderKeeper keeper;
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Pictures));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("All supporetd (*.jpg *.jpeg *.gif *.bmp *.dib *.png "
                                          "*.webp *.tif *.tiff *.heic *.heif *.avif)"),
                           QStringLiteral("JPG, JPEG (*.jpg *.jpeg)"),
                           QStringLiteral("GIF (*.gif)"), QStringLiteral("BMP,DIB (*.bmp *.dib)"),
                           QStringLiteral("PNG (*.png)"), QStringLiteral("WebP (*.webp)"),
                           QStringLiteral("TIFF (*.tif *.tiff)"),
                           QStringLiteral("HEIC, AVIF (*.heic *.heif *.avif)")});
    if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    DialogFolders::Remember(DialogFolders::Kind::Pictures, dialog.selectedFiles().constFirst());
    const QString fileName = dialog.selectedFiles().constFirst();
    // A file that cannot be read changes nothing: the picture shown stays.
    QString failure;
    const std::optional<QImage> loaded = LoadPictureFile(fileName, &failure);
    if (!loaded) {
        ShowMsg(QStringLiteral("Cannot load the picture from %1:\n%2")
                    .arg(QDir::toNativeSeparators(fileName), failure));
        return;
    }
    ReplacePicture(*loaded);
    pictureFile_ = fileName;
}

void TF_picture_mgm::btn_pasteClick() {
    const QMimeData* content = QApplication::clipboard()->mimeData();
    if (content == nullptr || !content->hasImage()) {
        ShowMsg(QStringLiteral("Sorry, can't paste clipboard content as a picture."));
        return;
    }
    if (!Ask(QStringLiteral("Paste from clipboard ?")))
        return;
    const QImage pasted = ToBitmap24(QApplication::clipboard()->image());
    if (pasted.isNull()) {
        ShowMsg(QStringLiteral("Sorry, can't paste clipboard content as a picture."));
        return;
    }
    const QString sizeFailure = PictureSizeFailure(pasted.size());
    if (!sizeFailure.isEmpty()) {
        ShowMsg(sizeFailure);
        return;
    }
    ReplacePicture(pasted);
}

void TF_picture_mgm::ReplacePicture(const QImage& picture) {
    ShowRealSize(picture);
    ViewScale = 100;
    PictureChanged = true;
    pictureLoaded_ = true;
    pictureFile_.clear();
}

bool TF_picture_mgm::WorkingPictureReplaced() const {
    // Every change makes a new bitmap; the one shown at the start is shared
    // with what it was made from and never written to.
    return Image1->Picture().cacheKey() != startPicture_;
}

bool TF_picture_mgm::ShowsStandIn() const {
    return standIn_ && !WorkingPictureReplaced();
}

void TF_picture_mgm::btn_scaleClick() {
    if (ScaleView == nullptr)
        return;
    // The stand-in for a picture that could not be read is only shown.
    const bool resampling = !ShowsStandIn();
    ScaleView->ShowScaleView(Image1, resampling);
    ViewScale = ScaleView->CurrentScale();
    if (resampling && ScaleView->Resampled())
        PictureChanged = true;
    UpdateWorkAreaSize();
}

void TF_picture_mgm::btn_exportClick() {
    const FolderKeeper keeper;
    QFileDialog dialog(this, QStringLiteral("Save As"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("JPEG (*.jpg *.jpeg)"));
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Pictures));
    if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    DialogFolders::Remember(DialogFolders::Kind::Pictures, fileName);
    QByteArray bytes;
    {
        const BusyCursor busy;
        bytes = PictureToJpegBytes(Image1->Picture());
    }
    if (!WriteWholeFile(fileName, bytes))
        throw EPictureError("Cannot create file " + fileName.toStdString());
}

void TF_picture_mgm::CopyToClipboard() {
    QApplication::clipboard()->setImage(Image1->Picture());
}

void TF_picture_mgm::Rotate(bool clockwise) {
    // Turning the stand-in for a picture that could not be read would
    // change nothing the caller keeps.
    if (ShowsStandIn())
        return;
    PictureChanged = true;
    const BusyCursor busy;
    const QImage copy = Image1->Picture();
    QImage turned;
    if (clockwise)
        RotateRight(copy, turned);
    else
        RotateLeft(copy, turned);
    Image1->SetPicture(turned);
    // A scaled view stays at its scale.
    if (Image1->Stretch())
        Image1->resize(ScaledSize(turned.size(), ViewScale));
}

void TF_picture_mgm::SB_r_lClick() {
    Rotate(false);
}

void TF_picture_mgm::SB_r_rClick() {
    Rotate(true);
}

// --- the thumbnail ----------------------------------------------------------------

void TF_picture_mgm::SB_make_tnClick() {
    // The button is down exactly while the rectangle shows.
    const bool show = !Shape_catch->isVisible();
    Shape_catch->setVisible(show);
    SB_make_tn->setChecked(show);
    SB_apply_th->setEnabled(show);
    if (show) {
        Shape_catch->raise();
        UpdateWorkAreaSize();
        ScrollBox1->ensureWidgetVisible(Shape_catch, 0, 0);
    }
}

void TF_picture_mgm::SB_apply_thClick() {
    if (!SB_apply_th->isEnabled())
        return;
    const std::int64_t scale = ViewScale > 0 ? ViewScale : 100;
    const std::int64_t left =
        RoundHalfEven((Shape_catch->x() - Image1->x()) * std::int64_t{100}, scale);
    const std::int64_t top =
        RoundHalfEven((Shape_catch->y() - Image1->y()) * std::int64_t{100}, scale);
    const std::int64_t right =
        RoundHalfEven(Shape_catch->width() * std::int64_t{100}, scale) + left;
    const std::int64_t bottom =
        RoundHalfEven(Shape_catch->height() * std::int64_t{100}, scale) + top;
    // Parts of the area beyond the picture's edges come out white.
    const QImage grab =
        CopyArea(Image1->Picture(),
                 QRect(static_cast<int>(left), static_cast<int>(top),
                       static_cast<int>(right - left), static_cast<int>(bottom - top)),
                 Qt::white);
    Image2->SetPicture(StretchDraw(grab, Shape_catch->size()));
    PictureChanged = true;
    thumbnailCut_ = true;
    SB_make_tnClick();
}

void TF_picture_mgm::Shape_catchMouseDown(int x, int y) {
    DragX = x;
    DragY = y;
    Dragging = true;
}

void TF_picture_mgm::Shape_catchMouseMove(int x, int y) {
    if (!Dragging)
        return;
    int left = Shape_catch->x() + x - DragX;
    int top = Shape_catch->y() + y - DragY;
    if (left + Shape_catch->width() < DragLimit)
        left = DragStop - Shape_catch->width();
    if (top + Shape_catch->height() < DragLimit)
        top = DragStop - Shape_catch->height();
    Shape_catch->move(left, top);
    UpdateWorkAreaSize();
}

void TF_picture_mgm::Shape_catchMouseUp() {
    Dragging = false;
}

// --- Ok, the menu, the work area -------------------------------------------------

void TF_picture_mgm::btn_okClick() {
    // Resampling can make a picture larger than a JPEG file holds; it is
    // refused here, before the caller stores its thumbnail.
    const QString sizeFailure =
        WorkingPictureReplaced() ? PictureSizeFailure(Image1->Picture().size()) : QString();
    if (!sizeFailure.isEmpty()) {
        ShowMsg(sizeFailure);
        return;
    }
    Accepted = true;
    accept();
}

void TF_picture_mgm::PopupMenu1Popup() {
    N_grab->setEnabled(SB_apply_th->isEnabled());
}

void TF_picture_mgm::ShowContextMenu(const QPoint& globalPos) {
    PopupMenu1Popup();
    PopupMenu1->popup(globalPos);
}

void TF_picture_mgm::UpdateWorkAreaSize() {
    QRect used = Image1->geometry().adjusted(0, 0, PictureMargin, PictureMargin);
    if (Shape_catch->isVisible())
        used = used.united(Shape_catch->geometry());
    WorkArea->resize(std::max(used.right() + 1, 0), std::max(used.bottom() + 1, 0));
}

bool TF_picture_mgm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::Resize)
        UpdateWorkAreaSize();
    return QDialog::eventFilter(watched, event);
}
