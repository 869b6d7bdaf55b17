#pragma once

#include "TListPage.h"

class TO_producers;

// The page "Manufacturers": the search, the manufacturers list, their web
// sites and "Filter figures".
class TProducersPage : public TListPage {
    Q_OBJECT

public:
    explicit TProducersPage(TPageDialogs& dialogs);

    void AddClick() override;
    void EditClick() override;
    // Not while figures refer to the manufacturer.
    void DeleteClick() override;
    // The current manufacturer's web site in the browser.
    void Btn_URL_producerClick();

    TO_producers* O_producers1 = nullptr;
    QPushButton* Btn_producer_filter = nullptr;
};
