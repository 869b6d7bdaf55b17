#include "TDchoice.h"

#include "DialogRunner.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

TDchoice::TDchoice(QWidget* parent)
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

    // Right-aligned like Yes and No of the confirmation dialog.
    for (int i = 0; i < MaxButtons; ++i) {
        Buttons[i] = new QPushButton(this);
        Buttons[i]->setGeometry(70 + 80 * i, 138, 75, 25);
        connect(Buttons[i], &QPushButton::clicked, this, [this, i] {
            Answer = i;
            accept();
        });
    }
}

int TDchoice::Choose(const QString& question, const QStringList& buttons) {
    TDchoice dialog;
    return dialog.Ask(question, buttons);
}

int TDchoice::Ask(const QString& question, const QStringList& buttons) {
    Answer = -1;
    Question->setText(question);
    const int count = std::clamp(static_cast<int>(buttons.size()), 1, MaxButtons);
    const int first = MaxButtons - count;
    for (int i = 0; i < MaxButtons; ++i) {
        // The buttons given sit at the right end.
        const int slot = i - first;
        Buttons[i]->setVisible(slot >= 0);
        Buttons[i]->setDefault(slot == 0);
        Buttons[i]->setText(slot >= 0 && slot < buttons.size() ? buttons.at(slot) : QString());
    }
    Buttons[first]->setFocus();
    DialogRunner::Exec(*this);
    return Answer < 0 ? -1 : Answer - first;
}

void TDchoice::showEvent(QShowEvent* event) {
    if (QScreen* shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
