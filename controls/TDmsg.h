#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The program's modal message dialog "Message:": a text in a bevelled frame
// and one OK button. The program makes one at start-up and reuses it.
class TDmsg : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 338;
    static constexpr int ClientHeight = 167;

    explicit TDmsg(QWidget* parent = nullptr);
    ~TDmsg() override;

    // The instance the program made first; made here when there is none.
    static TDmsg& Instance();

    // Puts the text into the label and shows the dialog modally until OK
    // is pressed or the dialog is closed.
    void ShowText(const QString& text);

    QFrame* Bevel;
    QLabel* Label;
    QPushButton* btn_ok;

protected:
    void showEvent(QShowEvent* event) override;
};
