#include "TF_big_view.h"

#include "CommandGuard.h"
#include "DialogRunner.h"
#include "PictureFields.h"
#include "TD_scale_image.h"
#include "TImageView.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <exception>

namespace {

const QColor ViewerGrey(128, 128, 128);

} // namespace

TF_big_view::TF_big_view(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Full size image"));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, ViewerGrey);
    setPalette(grey);
    setAutoFillBackground(true);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setPalette(grey);
    ScrollBox1->viewport()->setPalette(grey);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    ScrollBox1->setWidgetResizable(false);
    // A picture smaller than the window stands in its middle.
    ScrollBox1->setAlignment(Qt::AlignCenter);
    // The picture at (10, 10) on a grey ground that grows with it.
    auto* ground = new QWidget;
    ground->setPalette(grey);
    ground->setAutoFillBackground(true);
    Image1 = new TImageView(ground);
    Image1->move(Margin, Margin);
    Image1->SetCenter(true);
    ScrollBox1->setWidget(ground);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->addWidget(ScrollBox1);
    QPalette light = grey;
    light.setColor(QPalette::WindowText, Qt::white);
    Label_hint = new QLabel(QStringLiteral("Esc closes"), this);
    Label_zoom = new QLabel(this);
    auto* status = new QHBoxLayout;
    for (QLabel* label : {Label_hint, Label_zoom}) {
        label->setPalette(light);
        status->addWidget(label);
    }
    status->insertStretch(1);
    layout->addLayout(status);

    PopupMenu1 = new QMenu(this);
    N_close = PopupMenu1->addAction(QStringLiteral("Close"));
    PopupMenu1->addSeparator();
    N_scale_view = PopupMenu1->addAction(QStringLiteral("Scale view"));
    N_edit_record = PopupMenu1->addAction(QStringLiteral("Edit record"));
    connect(N_close, &QAction::triggered, this, &QDialog::reject);
    connect(N_scale_view, &QAction::triggered, this,
            CommandGuard::Slot([this] { N_scale_viewClick(); }));
    connect(N_edit_record, &QAction::triggered, this,
            CommandGuard::Slot([this] { N_edit_recordClick(); }));
    for (QWidget* area : {static_cast<QWidget*>(Image1), ground, ScrollBox1->viewport()}) {
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(area, &QWidget::customContextMenuRequested, this,
                [this, area](const QPoint& pos) { PopupMenu1->popup(area->mapToGlobal(pos)); });
    }
    // The ground follows the picture's size, also while the scale view
    // stretches it.
    Image1->installEventFilter(this);
    // The fitted scale follows the window; Ctrl+wheel zooms.
    ScrollBox1->installEventFilter(this);
    ScrollBox1->viewport()->installEventFilter(this);
    connect(Image1, &TImageView::DoubleClicked, this,
            [this] { ChangeZoomAtCentre(&ViewZoom::ToggleFitAndRealSize); });

    Q1.SQL = {QStringLiteral("select picture from figures "),
              QStringLiteral("where figure_id=:_id")};
    Image1->SetPicture(QImage(1, 1, QImage::Format_RGB888));
}

int TF_big_view::ShowFullPicture(const QString& figureKey) {
    FigureKey = figureKey;
    try {
        LoadPicture();
    } catch (...) {
        ReleasePicture();
        throw;
    }
    EditRequested = 0;
    setWindowState(windowState() | Qt::WindowMaximized);
    DialogRunner::Exec(*this);
    const int result = EditRequested;
    ReleasePicture();
    return result;
}

void TF_big_view::LoadPicture() {
    Q1.Close();
    Q1.SetParam(QStringLiteral("_id"), FigureKey);
    Q1.Open();
    ReadStoredPicture(Q1, jpeg_);
    // The empty picture and corrupt bytes throw here.
    const QImage bitmap = jpeg_.ToBitmap();
    Image1->SetPicture(bitmap);
    Image1->SetStretch(false);
    Image1->SetAutoSize(true);
    if (ScaleView != nullptr)
        ScaleView->ResetScaleView();
    zoom_.SetPicture(bitmap.size());
    // The window's area is known once it shows.
    zoom_.SetArea(QSize());
    zoom_.Fit();
    ShowZoom();
}

void TF_big_view::ReleasePicture() {
    try {
        Q1.Close();
        // Only a one-pixel picture stays between uses.
        const QImage tiny(1, 1, QImage::Format_RGB888);
        Image1->SetPicture(tiny);
        jpeg_.Assign(tiny);
        zoom_.SetPicture(tiny.size());
    } catch (const std::exception&) {
    }
}

void TF_big_view::N_scale_viewClick() {
    if (ScaleView == nullptr)
        return;
    // The scale view shows its own scale pixel for pixel.
    Image1->SetSmooth(false);
    ScaleView->ShowScaleView(Image1, false);
    const int pictureWidth = Image1->Picture().width();
    if (pictureWidth > 0)
        zoom_.SetFactor(static_cast<double>(Image1->width()) / pictureWidth);
    Label_zoom->setText(QStringLiteral("%1%").arg(zoom_.Percent()));
}

void TF_big_view::N_edit_recordClick() {
    EditRequested = 1;
    reject();
}

bool TF_big_view::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::Resize)
        Image1->parentWidget()->resize(Image1->width() + 2 * Margin, Image1->height() + 2 * Margin);
    if (watched == ScrollBox1 && event->type() == QEvent::Resize && zoom_.Fitted() && isVisible()) {
        zoom_.SetArea(FitArea());
        ShowZoom();
    }
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers().testFlag(Qt::ControlModifier)) {
            const int turn = wheel->angleDelta().y();
            if (turn != 0)
                ChangeZoom(turn > 0 ? &ViewZoom::ZoomIn : &ViewZoom::ZoomOut,
                           wheel->position().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TF_big_view::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (zoom_.Fitted()) {
        zoom_.SetArea(FitArea());
        ShowZoom();
    }
}

void TF_big_view::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_1:
        ChangeZoomAtCentre(&ViewZoom::RealSize);
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ChangeZoomAtCentre(&ViewZoom::ZoomIn);
        return;
    case Qt::Key_Minus:
        ChangeZoomAtCentre(&ViewZoom::ZoomOut);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TF_big_view::ChangeZoomAtCentre(void (ViewZoom::*change)()) {
    ChangeZoom(change, ScrollBox1->viewport()->rect().center());
}

void TF_big_view::ChangeZoom(void (ViewZoom::*change)(), QPoint anchor) {
    QWidget* viewport = ScrollBox1->viewport();
    const double before = zoom_.Factor();
    const QPoint under = Image1->mapFrom(viewport, anchor);
    zoom_.SetArea(FitArea());
    (zoom_.*change)();
    ShowZoom();
    // The same picture point, at the new scale, goes back under the anchor.
    const double ratio = zoom_.Factor() / before;
    const QPoint moved(static_cast<int>(under.x() * ratio), static_cast<int>(under.y() * ratio));
    const QPoint shift = Image1->mapTo(viewport, moved) - anchor;
    QScrollBar* across = ScrollBox1->horizontalScrollBar();
    QScrollBar* down = ScrollBox1->verticalScrollBar();
    across->setValue(across->value() + shift.x());
    down->setValue(down->value() + shift.y());
}

void TF_big_view::ShowZoom() {
    Image1->SetSmooth(true);
    if (zoom_.ScaledSize() == Image1->Picture().size()) {
        // Real size: the view takes the picture's own size.
        Image1->SetStretch(false);
        Image1->SetAutoSize(true);
    } else {
        Image1->SetAutoSize(false);
        Image1->SetStretch(true);
        Image1->resize(zoom_.ScaledSize());
    }
    Label_zoom->setText(QStringLiteral("%1%").arg(zoom_.Percent()));
}

QSize TF_big_view::FitArea() const {
    const QSize area = ScrollBox1->maximumViewportSize();
    return {area.width() - 2 * Margin, area.height() - 2 * Margin};
}
