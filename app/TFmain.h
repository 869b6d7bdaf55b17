#pragma once

#include "TPmain.h"

// The program's main window.
class TFmain : public TPmain {
    Q_OBJECT

public:
    explicit TFmain(QWidget* parent = nullptr);

    bool InitApplication() override;
    // Reopens the catalog lists.
    void RefreshAll();
};
