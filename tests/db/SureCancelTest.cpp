// The three-button confirmation dialog, shown modally for real.

#include "ModalScript.h"
#include "TFsureCancel.h"

#include <QLabel>
#include <QPushButton>

#include <functional>

TEST(SureCancel, YesNoAndCancelAreThreeAnswersAndEscapeIsCancel) {
    using Reply = TFsureCancel::Reply;
    TFsureCancel sure;
    const struct {
        std::function<void(TFsureCancel&)> answer;
        Reply reply;
    } cases[] = {
        {[](TFsureCancel& d) { QTest::keyClick(&d, Qt::Key_Return); }, Reply::Yes},
        {[](TFsureCancel& d) { QTest::mouseClick(d.btn_no, Qt::LeftButton); }, Reply::No},
        {[](TFsureCancel& d) { QTest::mouseClick(d.btn_cancel, Qt::LeftButton); }, Reply::Cancel},
        {[](TFsureCancel& d) { QTest::keyClick(&d, Qt::Key_Escape); }, Reply::Cancel},
        {[](TFsureCancel& d) { d.close(); }, Reply::Cancel},
    };
    for (const auto& c : cases) {
        ModalScript script;
        // Each answer follows a Yes, so a reply that is not reset shows.
        script.Then(ModalScript::Yes).Then([&](QDialog&) { c.answer(sure); });
        EXPECT_EQ(sure.AskWithCancel("Save changes?"), Reply::Yes);
        EXPECT_EQ(sure.AskWithCancel("Save changes?"), c.reply);
        EXPECT_EQ(script.Shown, QStringList(2, "Confirmation: Save changes?"));
    }
}

TEST(SureCancel, CancelStandsRightOfNoAndTheYesNoDialogStaysItsOwn) {
    delete &TFsure::Instance(); // whatever earlier tests registered
    TFsureCancel sure;
    EXPECT_LT(sure.btn_yes->geometry().right(), sure.btn_no->x());
    EXPECT_LT(sure.btn_no->geometry().right(), sure.btn_cancel->x());
    EXPECT_NE(&TFsure::Instance(), static_cast<TFsure*>(&sure)) << "Ask keeps Yes and No";
    EXPECT_EQ(&TFsureCancel::Instance(), &sure);
}
