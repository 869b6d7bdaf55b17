#include "TGenresPage.h"

#include "CommandGuard.h"
#include "TE_genre.h"
#include "TO_genres.h"
#include "TPageDialogs.h"

TGenresPage::TGenresPage(TPageDialogs& dialogs)
    : TListPage(new TO_genres, dialogs, QStringLiteral("genre_id"), QStringLiteral("genre_name")),
      O_genres1(static_cast<TO_genres*>(List)) {
    O_genres1->setObjectName(QStringLiteral("O_genres1"));
    AddSearch({"genre_name"});
    Btn_gente_filter = AddFilterButton(QStringLiteral("No genre selected"));
    FinishPage({"Add new genre", "Edit current genre", "Delete current genre"}, 20);

    connect(O_genres1, &TO_ci::PanelDoubleClicked, this,
            CommandGuard::Slot([this] { EditClick(); }));
}

void TGenresPage::AddClick() {
    AddRecord(Dialogs.GenreEditor());
}

void TGenresPage::EditClick() {
    if (ReadOnlyForYou())
        return;
    Dialogs.GenreEditor().EditRecord(O_genres1->Q1);
}

void TGenresPage::DeleteClick() {
    DeleteUnreferenced(QStringLiteral("genre_id"));
}
