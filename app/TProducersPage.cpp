#include "TProducersPage.h"

#include "CommandGuard.h"
#include "ShellOpen.h"
#include "TE_producer.h"
#include "TO_producers.h"
#include "TPageDialogs.h"

TProducersPage::TProducersPage(TPageDialogs& dialogs)
    : TListPage(new TO_producers, dialogs, QStringLiteral("producer_id"),
                QStringLiteral("producer_name")),
      O_producers1(static_cast<TO_producers*>(List)) {
    O_producers1->setObjectName(QStringLiteral("O_producers1"));
    O_producers1->ShowLabelStrip = false;
    AddSearch({"producer_name", "producer_website"});
    Btn_producer_filter = AddFilterButton(QStringLiteral("No manufacturer selected"));
    FinishPage(
        {"Add new producer", "Edit current producer", "Go To URL", "Delete current producer"}, 20);

    connect(O_producers1, &TO_ci::PanelClicked, this,
            CommandGuard::Slot([this](const QString& element) {
                if (element == QLatin1String("url"))
                    Btn_URL_producerClick();
            }));
    connect(O_producers1, &TO_ci::PanelDoubleClicked, this,
            CommandGuard::Slot([this] { EditClick(); }));
}

void TProducersPage::AddClick() {
    AddRecord(Dialogs.ProducerEditor());
}

void TProducersPage::EditClick() {
    if (ReadOnlyForYou())
        return;
    Dialogs.ProducerEditor().EditRecord(O_producers1->Q1);
}

void TProducersPage::DeleteClick() {
    DeleteUnreferenced(QStringLiteral("producer_id"));
}

void TProducersPage::Btn_URL_producerClick() {
    ShellOpen::Open(O_producers1->FieldValue(QStringLiteral("producer_website")));
}
