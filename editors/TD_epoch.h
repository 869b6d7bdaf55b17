#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

// Typing the epoch's years: a box for the first year and one for the last,
// negative years before Christ, each held within the time line's years.
class TD_epoch : public QDialog {
    Q_OBJECT

public:
    explicit TD_epoch(QWidget* parent = nullptr);

    // Shows the years modally. On "Ok" a box the user changed gives its
    // year; a box left as shown keeps the year given, which may lie beyond
    // the time line. False, the years untouched, on "Cancel".
    bool Execute(int& begin, int& end);

    QLabel* Label_begin;
    QSpinBox* SE_begin;
    QLabel* Label_end;
    QSpinBox* SE_end;
    QLabel* Label_hint;
    QPushButton* btn_ok;
    QPushButton* btn_cancel;
};
