#include "TFsure.h"

#include "DialogRunner.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

TFsure* registered = nullptr;

} // namespace

TFsure::TFsure(QWidget* parent) : TFsure(parent, true) {}

TFsure::TFsure(QWidget* parent, bool shared)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Confirmation:"));
    setFixedSize(ClientWidth, ClientHeight);

    Panel = new QFrame(this);
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setGeometry(8, 8, 297, 119);

    Question = new QLabel(Panel);
    Question->setGeometry(8, 8, 281, 103);
    Question->setTextFormat(Qt::PlainText);
    Question->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Question->setWordWrap(true);

    btn_yes = new QPushButton(QStringLiteral("Yes"), this);
    btn_yes->setGeometry(150, 138, 75, 25);
    btn_yes->setDefault(true);
    connect(btn_yes, &QPushButton::clicked, this, [this] {
        Answer = true;
        accept();
    });

    // Escape and the close box reject the dialog as well.
    btn_no = new QPushButton(QStringLiteral("No"), this);
    btn_no->setGeometry(230, 138, 75, 25);
    connect(btn_no, &QPushButton::clicked, this, &QDialog::reject);

    if (shared && !registered)
        registered = this;
}

TFsure::~TFsure() {
    if (registered == this)
        registered = nullptr;
}

TFsure& TFsure::Instance() {
    if (!registered)
        new TFsure(); // registers itself and lives for the rest of the run
    return *registered;
}

bool TFsure::Ask(const QString& question) {
    Answer = false;
    Question->setText(question);
    btn_yes->setFocus();
    DialogRunner::Exec(*this);
    return Answer;
}

void TFsure::showEvent(QShowEvent* event) {
    // Centred on the screen at every showing.
    if (QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
