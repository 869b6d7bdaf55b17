#include "TD_scale_image.h"

#include "CommandGuard.h"
#include "DialogRunner.h"
#include "Msg.h"
#include "PictureGeometry.h"
#include "TImageView.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

constexpr int MinimumScale = 10;
constexpr int MaximumScale = 160;
constexpr int TickSpacing = 25;

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

TD_scale_image::TD_scale_image(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Scale view"));
    setFixedSize(374, 170);

    TrB1 = new QSlider(Qt::Horizontal, this);
    TrB1->setGeometry(8, 8, 358, 45);
    TrB1->setRange(MinimumScale, MaximumScale);
    TrB1->setTickInterval(TickSpacing);
    TrB1->setTickPosition(QSlider::TicksBothSides);
    TrB1->setValue(100);

    Label1 = new QLabel(QStringLiteral("Shown size:"), this);
    Label1->setFont(Bold(Label1->font()));
    Label1->setGeometry(8, 64, 90, 20);
    Label_percent = new QLabel(QStringLiteral("100"), this);
    Label_percent->setAlignment(Qt::AlignCenter);
    Label_percent->setFont(Bold(Label_percent->font()));
    QPalette red = Label_percent->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label_percent->setPalette(red);
    Label_percent->setGeometry(100, 64, 40, 20);
    Label2 = new QLabel(QStringLiteral("% of real image size"), this);
    Label2->setFont(Bold(Label2->font()));
    Label2->setGeometry(142, 64, 224, 20);

    btn_apply = new QPushButton(QStringLiteral("Set real image size by the shown size"), this);
    btn_apply->setGeometry(8, 96, 358, 27);
    btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    btn_ok->setGeometry(8, 135, 110, 27);
    btn_ok->setDefault(true);
    btn_reset = new QPushButton(QStringLiteral("Reset"), this);
    btn_reset->setGeometry(132, 135, 110, 27);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_cancel->setGeometry(256, 135, 110, 27);

    connect(TrB1, &QSlider::valueChanged, this, CommandGuard::Slot([this] { TrB1Change(); }));
    connect(btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_cancel, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_cancelClick(); }));
    connect(btn_reset, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_resetClick(); }));
    connect(btn_apply, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_applyClick(); }));
    btn_apply->setEnabled(false);
}

void TD_scale_image::ShowScaleView(TImageView* target, bool allowResampling) {
    if (target == nullptr)
        return;
    target_ = target;
    resampled_ = false;
    ResetScaleView();
    btn_apply->setVisible(allowResampling);
    DialogRunner::Exec(*this);
}

void TD_scale_image::ResetScaleView() {
    Label_percent->setText(QStringLiteral("100"));
    {
        const QSignalBlocker quiet(TrB1);
        TrB1->setValue(100);
    }
    btn_apply->setEnabled(false);
    if (target_ == nullptr)
        return;
    target_->SetStretch(false);
    target_->SetAutoSize(true);
    BaseWidth = target_->width();
    BaseHeight = target_->height();
}

int TD_scale_image::CurrentScale() const {
    bool number = false;
    const int scale = Label_percent->text().toInt(&number);
    return number ? scale : 1;
}

void TD_scale_image::TrB1Change() {
    if (!TrB1->isEnabled())
        return;
    const int p = TrB1->value();
    Label_percent->setText(QString::number(p));
    btn_apply->setEnabled(p != 100);
    if (target_ == nullptr)
        return;
    if (target_->AutoSize()) {
        target_->SetAutoSize(false);
        target_->SetStretch(true);
    }
    target_->resize(ScaledSize(QSize(BaseWidth, BaseHeight), p));
}

void TD_scale_image::btn_applyClick() {
    if (target_ == nullptr || !btn_apply->isVisible() || !btn_apply->isEnabled())
        return;
    const QSize shown = target_->size();
    if (!Ask(QStringLiteral("Do you reall want to set real image sice %1 x %2?")
                 .arg(shown.width())
                 .arg(shown.height())))
        return;
    const QImage resampled = StretchDraw(target_->Picture(), shown);
    ResetScaleView();
    target_->SetPicture(resampled);
    ResetScaleView();
    resampled_ = true;
    accept();
}

void TD_scale_image::btn_cancelClick() {
    ResetScaleView();
    QDialog::reject();
}

void TD_scale_image::btn_resetClick() {
    ResetScaleView();
}

void TD_scale_image::reject() {
    // Escape and the close box cancel.
    btn_cancelClick();
}
