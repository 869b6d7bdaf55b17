#pragma once

#include "DialogRunner.h"
#include "QueryTestFixture.h"
#include "TDmsg.h"
#include "TFsure.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

// Two manufacturers and the manufacturers list over them as the catalog
// keeps it: changes cached, and every post applied to the table at once.
class ProducerListFixture : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
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

// Runs the program's modal dialogs for real and acts on each, in the order
// they are shown, from inside its modal loop. A dialog without an action,
// or still open after the safety timeout, is closed and fails the test.
class ModalScript {
public:
    using Action = std::function<void(QDialog&)>;

    ModalScript& Then(Action action) {
        actions_.push_back(std::move(action));
        return *this;
    }
    bool Done() const { return actions_.empty(); }
    // Captions of the dialogs shown, with the text of a message or question.
    QStringList Shown;

    static void Yes(QDialog& d) {
        QTest::mouseClick(static_cast<TFsure&>(d).btn_yes, Qt::LeftButton);
    }
    static void No(QDialog& d) {
        QTest::mouseClick(static_cast<TFsure&>(d).btn_no, Qt::LeftButton);
    }
    static void Ok(QDialog& d) { QTest::mouseClick(static_cast<TDmsg&>(d).btn_ok, Qt::LeftButton); }

private:
    int Run(QDialog& dialog) {
        QString shown = dialog.windowTitle();
        if (auto* sure = qobject_cast<TFsure*>(&dialog))
            shown += " " + sure->Question->text();
        else if (auto* message = qobject_cast<TDmsg*>(&dialog))
            shown += " " + message->Label->text();
        Shown << shown;
        if (actions_.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << shown.toStdString();
            return QDialog::Rejected;
        }
        QTimer::singleShot(0, &dialog, [&dialog, action = actions_.front()] { action(dialog); });
        actions_.pop_front();
        QTimer safety;
        QObject::connect(&safety, &QTimer::timeout, &dialog, [&dialog, shown] {
            ADD_FAILURE() << "left open: " << shown.toStdString();
            dialog.reject();
        });
        safety.start(5000);
        return dialog.exec();
    }

    std::deque<Action> actions_;
    DialogRunner::ScopedHook hook_{[this](QDialog& dialog) { return Run(dialog); }};
};
