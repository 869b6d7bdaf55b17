// An editor whose record cannot be written: "Ok" shows why, and the editor
// stays open with what the user typed; nothing looks saved.

#include "EditorTestSupport.h"
#include "TDBEdit.h"
#include "TE_producer.h"
#include "TField.h"

namespace {

const QString Refusal = "Message: The record was not saved:\n\nrefused by a trigger";

class EditSaveFailureTest : public OnEveryEngine<ProducerListFixture> {
protected:
    void SetUp() override {
        ProducerListFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Exec("create trigger refuse before update on producers "
             "begin select raise(abort, 'refused by a trigger'); end");
    }

    void AppendToName(const QString& text) {
        QTest::keyClick(editor_.DBEdit_name, Qt::Key_End);
        QTest::keyClicks(editor_.DBEdit_name, text);
    }
    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    TE_producer editor_;
    ModalScript script_;
};

TEST_P(EditSaveFailureTest, OkShowsTheErrorAndKeepsTheEditorOpenUntilTheWriteSucceeds) {
    script_
        .Then([&](QDialog&) {
            AppendToName(" Ltd");
            Click(editor_.btn_ok); // refused: the message, and the editor stays
            EXPECT_TRUE(editor_.isVisible());
            EXPECT_EQ(editor_.DBEdit_name->text(), "Airfix Ltd");
            EXPECT_EQ(list_.State(), TDataSetState::Edit);
            EXPECT_FALSE(list_.UpdatesPending());
            EXPECT_EQ(StoredName("P1"), "Airfix");

            Exec("drop trigger refuse");
            Click(editor_.btn_ok);
        })
        .Then(ModalScript::Ok);
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_TRUE(script_.Done());
    EXPECT_EQ(script_.Shown, (QStringList{"Manufacturer", Refusal}));
    EXPECT_EQ(StoredName("P1"), "Airfix Ltd");
    EXPECT_EQ(list_.State(), TDataSetState::Browse);
    EXPECT_FALSE(list_.UpdatesPending());
}

TEST_P(EditSaveFailureTest, CancelAfterARefusedOkLeavesListAndTableAsTheyWere) {
    script_
        .Then([&](QDialog&) {
            AppendToName(" Ltd");
            QTest::keyClick(editor_.DBEdit_name, Qt::Key_Return); // refused
            EXPECT_TRUE(editor_.isVisible());
            Click(editor_.btn_cancel);
        })
        .Then(ModalScript::Ok);
    EXPECT_FALSE(editor_.EditRecord(list_));
    EXPECT_EQ(script_.Shown, (QStringList{"Manufacturer", Refusal}));
    EXPECT_EQ(list_.State(), TDataSetState::Browse);
    EXPECT_EQ(list_.FieldByName("producer_name").AsString(), "Airfix");
    EXPECT_FALSE(list_.UpdatesPending());
    EXPECT_EQ(StoredName("P1"), "Airfix");

    // The next run of the editor saves what it is given, and only that.
    Exec("drop trigger refuse");
    script_.Then([&](QDialog&) {
        EXPECT_EQ(editor_.DBEdit_name->text(), "Airfix");
        QTest::keyClick(editor_.DBEdit_website, Qt::Key_End);
        QTest::keyClicks(editor_.DBEdit_website, "/kits");
        Click(editor_.btn_ok);
    });
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_EQ(StoredName("P1"), "Airfix");
    EXPECT_EQ(Stored("producer_website", "P1"), "www.airfix.example/kits");
}

TEST_P(EditSaveFailureTest, ARecordAnotherProgramDeletedIsNotSaved) {
    Exec("drop trigger refuse");
    script_
        .Then([&](QDialog&) {
            AppendToName(" Ltd");
            Exec("delete from producers where producer_id = 'P1'");
            Click(editor_.btn_ok);
            EXPECT_TRUE(editor_.isVisible());
            Click(editor_.btn_cancel);
        })
        .Then([&](QDialog& message) {
            EXPECT_TRUE(script_.Shown.last().contains("another program"))
                << script_.Shown.last().toStdString();
            ModalScript::Ok(message);
        });
    EXPECT_FALSE(editor_.EditRecord(list_));
    EXPECT_EQ(script_.Shown.size(), 2);
    EXPECT_EQ(Scalar("select count(*) from producers").toInt(), 1);
}

} // namespace

VELMORA_ON_EVERY_ENGINE(EditSaveFailureTest);
