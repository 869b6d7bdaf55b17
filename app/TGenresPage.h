#pragma once

#include "TListPage.h"

class TO_genres;

// The page "Genres": the search, the genres list and "Filter figures".
class TGenresPage : public TListPage {
    Q_OBJECT

public:
    explicit TGenresPage(TPageDialogs& dialogs);

    void AddClick() override;
    void EditClick() override;
    // Not while figures refer to the genre.
    void DeleteClick() override;

    TO_genres* O_genres1 = nullptr;
    QPushButton* Btn_gente_filter = nullptr;
};
