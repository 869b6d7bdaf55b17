#include "TDateBox.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

TDateBox::TDateBox(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setMinimumDate(EmptyDate());
    // Shown instead of the lowest date: a blank, as the special text may
    // not be empty.
    setSpecialValueText(QStringLiteral(" "));
    calendarWidget()->installEventFilter(this);
    SetDate(QDate());
}

QDate TDateBox::EmptyDate() {
    return {1752, 9, 14};
}

QDate TDateBox::Date() const {
    return IsEmpty() ? QDate() : date();
}

void TDateBox::SetDate(const QDate& date) {
    setDate(date.isValid() && date > EmptyDate() ? date : EmptyDate());
}

bool TDateBox::IsEmpty() const {
    return date() <= EmptyDate();
}

void TDateBox::stepBy(int steps) {
    if (IsEmpty()) {
        SetDate(QDate::currentDate());
        return;
    }
    QDateEdit::stepBy(steps);
}

void TDateBox::keyPressEvent(QKeyEvent* event) {
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && lineEdit()->selectedText() == lineEdit()->text()) {
        SetDate(QDate());
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

bool TDateBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == calendarWidget() && event->type() == QEvent::Show && IsEmpty()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
}
