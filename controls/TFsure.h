#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The program's modal confirmation dialog "Confirmation:": a question and
// the buttons Yes (Enter) and No (Escape). The program makes one at start-up
// and reuses it.
class TFsure : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 313;
    static constexpr int ClientHeight = 172;

    explicit TFsure(QWidget* parent = nullptr);
    ~TFsure() override;

    // The instance the program made first; made here when there is none.
    static TFsure& Instance();

    // Shows the question modally; true only when Yes was pressed. No,
    // Escape and the close box leave the answer false.
    bool Ask(const QString& question);

    // Set by Yes; Ask resets it before every showing.
    bool Answer = false;

    QFrame* Panel;
    QLabel* Question;
    QPushButton* btn_yes;
    QPushButton* btn_no;

protected:
    // For a derived dialog: laid out the same, but never the instance Ask
    // and Instance use.
    TFsure(QWidget* parent, bool shared);

    void showEvent(QShowEvent* event) override;
};
