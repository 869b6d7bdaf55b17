#pragma once

#include "TDBEdit.h"
#include "TP_Edit.h"

class QLabel;

// The manufacturer editor: name and web address. A click on the "website:"
// label opens the address, offering to add the "http://" prefix first to
// an address that names no scheme.
class TE_producer : public TP_Edit {
    Q_OBJECT

public:
    static constexpr int ClientHeight = 120;

    explicit TE_producer(QWidget* parent = nullptr);

    QLabel* Label1;
    TDBEdit* DBEdit_name;
    QLabel* Label2;
    TDBEdit* DBEdit_website;

    // The click on "website:".
    void Label2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
