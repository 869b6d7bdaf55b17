#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

BusyCursor::BusyCursor() {
    // Without a GUI application there is no cursor to change.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        shown_ = true;
    }
}

BusyCursor::~BusyCursor() {
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
}
