#include "TSearchGroup.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSearchGroup::TSearchGroup(QWidget* parent) : QGroupBox(QStringLiteral("Search:"), parent) {
    Edit_search = new QLineEdit(this);
    RB_up = new QRadioButton(QStringLiteral("search up"), this);
    RB_down = new QRadioButton(QStringLiteral("search down"), this);
    RB_down->setChecked(true);
    Btn_go = new QPushButton(QStringLiteral("Go!"), this);

    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(Btn_go);
    auto* column = new QVBoxLayout(this);
    column->addWidget(Edit_search);
    column->addWidget(RB_up);
    column->addWidget(RB_down);
    column->addLayout(row);
    connect(Edit_search, &QLineEdit::returnPressed, Btn_go, &QPushButton::click);
}

QString TSearchGroup::SearchText() const {
    return QLocale::system().toUpper(Edit_search->text().trimmed());
}

bool TSearchGroup::SearchDown() const {
    return RB_down->isChecked();
}

void TSearchGroup::FocusText() {
    Edit_search->setFocus(Qt::ShortcutFocusReason);
    Edit_search->selectAll();
}
