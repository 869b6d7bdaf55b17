#include "TD_epoch.h"

#include "DialogRunner.h"
#include "TEpochLine.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

QSpinBox* YearBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(TEpochLine::FirstYear, TEpochLine::LastYear);
    box->setAccelerated(true);
    return box;
}

} // namespace

TD_epoch::TD_epoch(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Epoch"));
    setFixedSize(232, 130);

    Label_begin = new QLabel(QStringLiteral("First year:"), this);
    Label_begin->setGeometry(12, 15, 90, 16);
    SE_begin = YearBox(this);
    SE_begin->setGeometry(110, 12, 110, 22);
    Label_begin->setBuddy(SE_begin);
    Label_end = new QLabel(QStringLiteral("Last year:"), this);
    Label_end->setGeometry(12, 45, 90, 16);
    SE_end = YearBox(this);
    SE_end->setGeometry(110, 42, 110, 22);
    Label_end->setBuddy(SE_end);
    Label_hint = new QLabel(QStringLiteral("Years B.C. are negative."), this);
    Label_hint->setGeometry(12, 70, 208, 16);

    btn_ok = new QPushButton(QStringLiteral("Ok"), this);
    btn_ok->setGeometry(62, 96, 75, 25);
    btn_ok->setDefault(true);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_cancel->setGeometry(145, 96, 75, 25);
    connect(btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TD_epoch::Execute(int& begin, int& end) {
    SE_begin->setValue(begin);
    SE_end->setValue(end);
    const int shownBegin = SE_begin->value();
    const int shownEnd = SE_end->value();
    SE_begin->setFocus();
    SE_begin->selectAll();
    if (DialogRunner::Exec(*this) != QDialog::Accepted)
        return false;
    if (SE_begin->value() != shownBegin)
        begin = SE_begin->value();
    if (SE_end->value() != shownEnd)
        end = SE_end->value();
    return true;
}
