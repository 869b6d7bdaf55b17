#pragma once

#include <QDialog>
#include <QStringList>

class QFrame;
class QLabel;
class QPushButton;

// A question with up to three answers, in the look of the confirmation
// dialog "Confirmation:". The first button is the default (Enter); Escape
// and the close box answer nothing.
class TDchoice : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 313;
    static constexpr int ClientHeight = 172;
    static constexpr int MaxButtons = 3;

    explicit TDchoice(QWidget* parent = nullptr);

    // Asks the question with the given button captions (at most three);
    // the index of the button pressed, or -1 when none was.
    static int Choose(const QString& question, const QStringList& buttons);

    // The same on this dialog.
    int Ask(const QString& question, const QStringList& buttons);

    int Answer = -1;

    QFrame* Panel;
    QLabel* Question;
    QPushButton* Buttons[MaxButtons];

protected:
    void showEvent(QShowEvent* event) override;
};
