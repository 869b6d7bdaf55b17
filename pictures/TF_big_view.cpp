#include "TF_big_view.h"

#include "CommandGuard.h"
#include "DialogRunner.h"
#include "PictureFields.h"
#include "TD_scale_image.h"
#include "TImageView.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QScrollArea>
#include <QVBoxLayout>

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
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
}

void TF_big_view::ReleasePicture() {
    try {
        Q1.Close();
        // Only a one-pixel picture stays between uses.
        const QImage tiny(1, 1, QImage::Format_RGB888);
        Image1->SetPicture(tiny);
        jpeg_.Assign(tiny);
    } catch (const std::exception&) {
    }
}

void TF_big_view::N_scale_viewClick() {
    if (ScaleView == nullptr)
        return;
    ScaleView->ShowScaleView(Image1, false);
}

void TF_big_view::N_edit_recordClick() {
    EditRequested = 1;
    reject();
}

bool TF_big_view::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::Resize)
        Image1->parentWidget()->resize(Image1->width() + 2 * Margin, Image1->height() + 2 * Margin);
    return QDialog::eventFilter(watched, event);
}
