#include "TDmsg.h"

#include "DialogRunner.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

TDmsg* registered = nullptr;

} // namespace

TDmsg::TDmsg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Message:"));
    setFixedSize(ClientWidth, ClientHeight);

    Bevel = new QFrame(this);
    Bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel->setGeometry(8, 8, 322, 115);

    Label = new QLabel(Bevel);
    Label->setGeometry(6, 8, 309, 99);
    Label->setTextFormat(Qt::PlainText);
    Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label->setWordWrap(true);
    Label->setAutoFillBackground(false);

    btn_ok = new QPushButton(QStringLiteral("OK"), this);
    btn_ok->setGeometry(255, 132, 75, 25);
    btn_ok->setDefault(true);
    connect(btn_ok, &QPushButton::clicked, this, &QDialog::accept);

    if (!registered)
        registered = this;
}

TDmsg::~TDmsg() {
    if (registered == this)
        registered = nullptr;
}

TDmsg& TDmsg::Instance() {
    if (!registered)
        new TDmsg(); // registers itself and lives for the rest of the run
    return *registered;
}

void TDmsg::ShowText(const QString& text) {
    Label->setText(text);
    btn_ok->setFocus();
    DialogRunner::Exec(*this);
}

void TDmsg::showEvent(QShowEvent* event) {
    // Centred on the screen at every showing.
    if (QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
