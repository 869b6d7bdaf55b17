#pragma once

#include "DialogRunner.h"
#include "TDmsg.h"
#include "TFsure.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

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
        else if (auto* box = qobject_cast<QMessageBox*>(&dialog))
            shown += " " + box->text();
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
