#include "CommandGuard.h"
#include "DialogRunner.h"
#include "EDatabaseError.h"
#include "Msg.h"
#include "TDmsg.h"
#include "TFsure.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

// Answers the next modal dialog from inside its modal loop, as a person
// would. A modal dialog still open after the safety timeout is rejected and
// the test fails, so no test waits for a person.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QDialog&)> action) {
        QObject::connect(&poll_, &QTimer::timeout, [this, action] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && !Acted) {
                Acted = true;
                action(*dialog);
            }
        });
        QObject::connect(&safety_, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "left open: " << dialog->windowTitle().toStdString();
                dialog->reject();
            }
        });
        poll_.start(5);
        safety_.start(5000);
    }
    bool Acted = false;

private:
    QTimer poll_, safety_;
};

void Press(QDialog& dialog, Qt::Key key) {
    QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, key);
}

bool Centred(const QWidget& window) {
    const QPoint centre = window.screen()->availableGeometry().center();
    return (window.frameGeometry().center() - centre).manhattanLength() <= 2;
}

bool AskAnswered(TFsure& sure, const QString& question, std::function<void(TFsure&)> answer) {
    ModalDriver driver([&](QDialog&) {
        EXPECT_EQ(sure.Question->text(), question);
        EXPECT_TRUE(Centred(sure));
        answer(sure);
    });
    const bool result = sure.Ask(question);
    EXPECT_TRUE(driver.Acted);
    return result;
}

} // namespace

// Each refusal follows a Yes, so an answer that is not reset shows as true.
TEST(DialogConfirmation, EnterAnswersYesWhileEscapeNoAndTheCloseBoxAnswerNo) {
    TFsure sure;
    const std::function<void(TFsure&)> refusals[] = {
        [](TFsure& d) { Press(d, Qt::Key_Escape); },
        [](TFsure& d) { QTest::mouseClick(d.btn_no, Qt::LeftButton); },
        [](TFsure& d) { d.close(); },
    };
    for (const auto& refuse : refusals) {
        EXPECT_TRUE(AskAnswered(sure, "Delete?", [](TFsure& d) { Press(d, Qt::Key_Return); }));
        EXPECT_FALSE(AskAnswered(sure, "Really?", refuse));
        EXPECT_FALSE(sure.Answer);
    }
    // No pressed from the keyboard leaves the focus on it; the next Enter is Yes again.
    EXPECT_FALSE(AskAnswered(sure, "Tab", [](TFsure& d) {
        Press(d, Qt::Key_Tab);
        Press(d, Qt::Key_Space);
    }));
    EXPECT_TRUE(AskAnswered(sure, "Enter", [](TFsure& d) { Press(d, Qt::Key_Enter); }));
}

TEST(DialogMessage, ShowsTheTextUntilOkOrEnter) {
    TDmsg message;
    const std::function<void(QDialog&)> closers[] = {
        [&](QDialog&) { QTest::mouseClick(message.btn_ok, Qt::LeftButton); },
        [](QDialog& d) { Press(d, Qt::Key_Return); },
    };
    for (const auto& close : closers) {
        ModalDriver driver([&](QDialog& d) {
            EXPECT_EQ(message.Label->text(), "Packing OK");
            EXPECT_TRUE(Centred(message));
            close(d);
        });
        message.ShowText("Packing OK");
        EXPECT_TRUE(driver.Acted);
        EXPECT_FALSE(message.isVisible());
    }
}

TEST(DialogLayout, CaptionsSizesAndButtons) {
    TDmsg message;
    EXPECT_EQ(message.windowTitle(), "Message:");
    EXPECT_EQ(message.size(), QSize(338, 167));
    EXPECT_EQ(message.minimumSize(), message.maximumSize());
    EXPECT_EQ(message.Label->size(), QSize(309, 99));
    EXPECT_TRUE(message.Label->wordWrap());
    EXPECT_NE(message.Bevel->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(message.btn_ok->text(), "OK");
    EXPECT_TRUE(message.btn_ok->isDefault());

    TFsure sure;
    EXPECT_EQ(sure.windowTitle(), "Confirmation:");
    EXPECT_EQ(sure.size(), QSize(313, 172));
    EXPECT_EQ(sure.minimumSize(), sure.maximumSize());
    EXPECT_TRUE(sure.Question->wordWrap());
    EXPECT_EQ(sure.btn_yes->text(), "Yes");
    EXPECT_EQ(sure.btn_no->text(), "No");
    EXPECT_TRUE(sure.btn_yes->isDefault());
}

TEST(MsgFunctions, ShowMsgAndAskUseTheFirstRegisteredDialogs) {
    delete &TDmsg::Instance(); // whatever earlier tests registered
    delete &TFsure::Instance();
    {
        TDmsg message;
        TFsure sure;
        TDmsg second;
        std::vector<QDialog*> run;
        DialogRunner::ScopedHook hook([&](QDialog& dialog) {
            run.push_back(&dialog);
            if (&dialog == &sure)
                sure.btn_yes->click();
            return 0;
        });
        ShowMsg("Can not init the application");
        EXPECT_TRUE(Ask("Paste from clipboard ?"));
        EXPECT_EQ(run, (std::vector<QDialog*>{&message, &sure}));
        EXPECT_EQ(message.Label->text(), "Can not init the application");
    }
    // Made on first use once the registered ones are gone.
    ModalDriver driver([](QDialog& d) { Press(d, Qt::Key_Escape); });
    EXPECT_FALSE(Ask("Delete?"));
    EXPECT_TRUE(driver.Acted);
}

TEST(DialogRunner, HooksReplaceTheRunAndTheMessageBoxUntilTheirScopeEnds) {
    QDialog dialog;
    QStringList texts;
    QString boxText;
    {
        DialogRunner::ScopedHook outer([&](QDialog& d) {
            auto& box = dynamic_cast<QMessageBox&>(d);
            boxText = box.text();
            EXPECT_EQ(box.windowTitle(), QApplication::applicationDisplayName());
            EXPECT_EQ(box.icon(), QMessageBox::Warning);
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
            return 7;
        });
        {
            DialogRunner::ScopedHook inner([](QDialog&) { return 42; });
            EXPECT_EQ(DialogRunner::Exec(dialog), 42);
            DialogRunner::ScopedMessageHook messages([&](const QString& t) { texts << t; });
            DialogRunner::ShowStandardMessage("recorded\r\n");
        }
        DialogRunner::ShowStandardMessage("Prefix:\r\nno such table");
    }
    EXPECT_EQ(texts, QStringList{"recorded\r\n"});
    EXPECT_EQ(boxText, "Prefix:\r\nno such table");

    ModalDriver driver([](QDialog& d) {
        QTest::mouseClick(static_cast<QMessageBox&>(d).button(QMessageBox::Ok), Qt::LeftButton);
    });
    DialogRunner::ShowStandardMessage("shown for real");
    EXPECT_TRUE(driver.Acted);
}

TEST(Guard, ShowsWhatEscapesACommandAndReturnsWhetherItCompleted) {
    QStringList shown;
    DialogRunner::ScopedMessageHook hook([&](const QString& text) { shown << text; });
    EXPECT_TRUE(CommandGuard::Run([] {}));
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(CommandGuard::Run([] { throw std::runtime_error("Помилка ✓"); }));
    EXPECT_FALSE(CommandGuard::Run([] { throw EDatabaseError("Table must be opened to pack"); }));
    EXPECT_FALSE(CommandGuard::Run([] { throw 42; }));
    EXPECT_EQ(shown, (QStringList{QString::fromUtf8("Помилка ✓"), "Table must be opened to pack",
                                  "Unknown error"}));
}

TEST(Guard, SlotsRunSignalHandlersInsideTheGuard) {
    QStringList shown;
    DialogRunner::ScopedMessageHook hook([&](const QString& text) { shown << text; });
    QPushButton button("Delete");
    QObject::connect(&button, &QPushButton::clicked,
                     CommandGuard::Slot([] { throw std::logic_error("no record"); }));
    QSpinBox spin;
    QObject::connect(&spin, &QSpinBox::valueChanged, CommandGuard::Slot([](int value) {
        if (value == 3)
            throw std::runtime_error("three");
    }));
    QTest::mouseClick(&button, Qt::LeftButton);
    spin.setValue(2);
    spin.setValue(3);
    EXPECT_EQ(shown, (QStringList{"no record", "three"}));
}
