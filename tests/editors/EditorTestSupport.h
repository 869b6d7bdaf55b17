#pragma once

#include "ModalScript.h"
#include "QueryTestFixture.h"

// Two manufacturers and the manufacturers list over them as the catalog
// keeps it: changes cached, and every post applied to the table at once.
class ProducerListFixture : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Exec("insert into producers (producer_id, producer_name, producer_website) values "
             "('P1', 'Airfix', 'www.airfix.example'), ('P2', 'Italeri', null)");
        list_.SQL = {"select producer_id, producer_name, producer_website, producer_dsc,",
                     "  insert_time from producers order by producer_name"};
        list_.KeyField = QStringLiteral("producer_id");
        list_.UpdateObject = &update_;
        list_.CachedUpdates = true;
        list_.AfterPost = [](TQuery& q) { q.ApplyUpdates(); };
        list_.Open();
    }

    QString Stored(const QString& column, const QString& id) {
        return Scalar("select " + column + " from producers where producer_id = '" + id + "'")
            .toString();
    }
    QString StoredName(const QString& id) { return Stored("producer_name", id); }

    TUpdateSQL update_{{"insert into producers (producer_id) values (:producer_id)"},
                       {"update producers set producer_name = :producer_name,",
                        "  producer_website = :producer_website, producer_dsc = :producer_dsc",
                        "where producer_id = :OLD_producer_id"},
                       {"delete from producers where producer_id = :OLD_producer_id"}};
    TQuery list_;
};
