#include "TFmain.h"

#include <QWidget>

TFmain::TFmain(QWidget* parent) : TPmain(parent) {
    setObjectName(QStringLiteral("Fmain"));
    setWindowTitle(QStringLiteral("--- VELMORA ---"));
    setCentralWidget(new QWidget(this));
}

bool TFmain::InitApplication() {
    if (!TPmain::InitApplication())
        return false;
    RefreshAll();
    return true;
}

void TFmain::RefreshAll() {}
