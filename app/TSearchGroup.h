#pragma once

#include <QGroupBox>

class QLineEdit;
class QPushButton;
class QRadioButton;

// The group "Search:" of a catalog page: the text, the direction and "Go!".
class TSearchGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit TSearchGroup(QWidget* parent = nullptr);

    // The text as the search wants it: trimmed, upper-cased with the
    // locale's rules.
    QString SearchText() const;
    bool SearchDown() const;
    // The cursor in the text box, its text selected for typing over.
    void FocusText();

    QLineEdit* Edit_search = nullptr;
    QRadioButton* RB_up = nullptr;
    QRadioButton* RB_down = nullptr;
    QPushButton* Btn_go = nullptr;
};
