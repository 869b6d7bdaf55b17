// The edit dialog base: one editing run on the current record of a list,
// shown modally for real and driven by mouse and keyboard.

#include "EditorTestSupport.h"
#include "TDBEdit.h"
#include "TE_producer.h"
#include "TField.h"

#include <QMainWindow>

#include <stdexcept>

namespace {

class EditRecordTest : public OnEveryEngine<ProducerListFixture> {
protected:
    QString ListName() { return list_.FieldByName("producer_name").AsString(); }
    void AppendToName(const QString& text) {
        QTest::keyClick(editor_.DBEdit_name, Qt::Key_End);
        QTest::keyClicks(editor_.DBEdit_name, text);
    }

    TE_producer editor_;
    ModalScript script_;
};

TEST_P(EditRecordTest, AnEmptyOrClosedListIsNotEdited) {
    Exec("delete from producers");
    list_.Close();
    list_.Open();
    EXPECT_FALSE(editor_.EditRecord(list_));
    list_.Close();
    EXPECT_FALSE(editor_.EditRecord(list_));
    EXPECT_TRUE(script_.Shown.isEmpty()) << "nothing is shown";
    EXPECT_EQ(editor_.DS1.DataSet(), nullptr);
}

TEST_P(EditRecordTest, OkOrEnterWritesTheChangeToTheTableBeforeTheRunEnds) {
    list_.Next();
    script_.Then([&](QDialog&) {
        EXPECT_EQ(editor_.focusWidget(), editor_.DBEdit_name) << "the first box has the focus";
        EXPECT_EQ(editor_.DBEdit_name->text(), "Italeri");
        AppendToName(" Spa");
        QTest::mouseClick(editor_.btn_ok, Qt::LeftButton);
    });
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_EQ(StoredName("P2"), "Italeri Spa");
    EXPECT_EQ(list_.State(), TDataSetState::Browse);
    EXPECT_FALSE(list_.UpdatesPending());
    EXPECT_EQ(editor_.DBEdit_name->text(), "") << "unbound after the run";

    list_.First();
    script_.Then([&](QDialog&) {
        EXPECT_EQ(editor_.DBEdit_name->text(), "Airfix") << "the record given this time";
        AppendToName(" Ltd");
        QTest::keyClick(editor_.DBEdit_name, Qt::Key_Return);
    });
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_EQ(StoredName("P1"), "Airfix Ltd");
}

TEST_P(EditRecordTest, CancelDropsTheChangeWithoutAQuestion) {
    script_.Then([&](QDialog&) {
        AppendToName(" changed");
        QTest::mouseClick(editor_.btn_cancel, Qt::LeftButton);
    });
    EXPECT_FALSE(editor_.EditRecord(list_));
    EXPECT_EQ(script_.Shown, QStringList{"Manufacturer"});
    EXPECT_EQ(list_.State(), TDataSetState::Browse);
    EXPECT_EQ(ListName(), "Airfix");
    EXPECT_EQ(StoredName("P1"), "Airfix");
}

// Escape and the close box ask about a change: Yes saves, No drops it,
// Cancel goes back to the editor (closed then with "Cancel").
TEST_P(EditRecordTest, EscapeAndTheCloseBoxAskBeforeDroppingAChange) {
    const std::function<void()> escape = [&] {
        QTest::keyClick(editor_.DBEdit_name, Qt::Key_Escape);
    };
    const std::function<void()> closeBox = [&] { editor_.close(); };
    const struct {
        const std::function<void()>& close;
        const char* change;
        ModalScript::Action reply; // none: no question
        bool staysOpen;
        bool saved;
        const char* stored;
    } cases[] = {
        {escape, "", nullptr, false, false, "Airfix"},
        {closeBox, " Ltd", ModalScript::Yes, false, true, "Airfix Ltd"},
        {escape, " Spa", ModalScript::No, false, false, "Airfix Ltd"},
        {closeBox, " Inc", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, true, false,
         "Airfix Ltd"},
    };
    for (const auto& c : cases) {
        script_.Shown.clear();
        script_.Then([&](QDialog&) {
            AppendToName(c.change);
            c.close();
            EXPECT_EQ(editor_.isVisible(), c.staysOpen) << c.change;
            if (editor_.isVisible())
                QTest::mouseClick(editor_.btn_cancel, Qt::LeftButton);
        });
        if (c.reply)
            script_.Then(c.reply);
        EXPECT_EQ(editor_.EditRecord(list_), c.saved) << c.change;
        EXPECT_EQ(script_.Shown.value(1), c.reply ? "Confirmation: Save changes?" : "");
        EXPECT_EQ(list_.State(), TDataSetState::Browse);
        EXPECT_EQ(StoredName("P1"), c.stored) << c.change;
    }
}

TEST_P(EditRecordTest, FixedSizeButtonsBottomRightCentredOverTheMainWindow) {
    TP_Edit base;
    EXPECT_EQ(base.size(), QSize(379, 303));
    EXPECT_EQ(editor_.windowTitle(), "Manufacturer");
    EXPECT_EQ(editor_.size(), QSize(379, 120));
    EXPECT_EQ(editor_.minimumSize(), editor_.maximumSize());
    EXPECT_EQ(editor_.Panel_buttons->geometry(), QRect(0, 120 - 41, 379, 41));
    EXPECT_LT(editor_.btn_ok->geometry().right(), editor_.btn_cancel->geometry().left());
    EXPECT_GT(editor_.btn_cancel->geometry().right(), 379 - 12);
    EXPECT_TRUE(editor_.btn_ok->isDefault());
    EXPECT_EQ(editor_.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_TRUE(editor_.Label2->font().underline());
    EXPECT_EQ(editor_.Label2->cursor().shape(), Qt::PointingHandCursor);

    QMainWindow main;
    main.setGeometry(40, 60, 700, 500);
    main.show();
    TE_producer child(&main);
    for (TE_producer* dialog : {&editor_, &child}) {
        script_.Then([&](QDialog&) {
            const QPoint offset = dialog->frameGeometry().center() - main.frameGeometry().center();
            EXPECT_LE(offset.manhattanLength(), 2);
            dialog->reject();
        });
        dialog->EditRecord(list_);
    }
}

// Records when the base calls an editor's own steps.
class ProbeEditor : public TP_Edit {
public:
    void PrepareEdit() override {
        Calls << QStringLiteral("prepare bound=%1 shown=%2").arg(!!DS1.DataSet()).arg(isVisible());
        if (FailInPrepare)
            throw std::runtime_error("prepare failed");
    }
    void BeforeSave() override {
        Calls << "save editing=" + QString::number(DS1.DataSet()->State() == TDataSetState::Edit);
        DS1.DataSet()->FieldByName("producer_dsc").SetAsString("stored by BeforeSave");
    }

    TDBEdit* Name = new TDBEdit(&DS1, QStringLiteral("producer_name"), this);
    QStringList Calls;
    bool FailInPrepare = false;
};

TEST_P(EditRecordTest, PrepareRunsBeforeShowingAndBeforeSaveOnlyAfterOk) {
    ProbeEditor probe;
    script_.Then([&](QDialog&) {
        QTest::keyClicks(probe.Name, "x");
        QTest::mouseClick(probe.btn_ok, Qt::LeftButton);
    });
    EXPECT_TRUE(probe.EditRecord(list_));
    script_.Then([&](QDialog&) { QTest::mouseClick(probe.btn_cancel, Qt::LeftButton); });
    EXPECT_FALSE(probe.EditRecord(list_));
    EXPECT_EQ(probe.Calls, (QStringList{"prepare bound=1 shown=0", "save editing=1",
                                        "prepare bound=1 shown=0"}));
    EXPECT_EQ(Stored("producer_dsc", "P1"), "stored by BeforeSave") << "posted with the record";

    // An error leaving the run early still unbinds the controls.
    probe.FailInPrepare = true;
    EXPECT_THROW(probe.EditRecord(list_), std::runtime_error);
    EXPECT_EQ(probe.Name->text(), "");
    EXPECT_TRUE(script_.Done()) << "not shown";
}

} // namespace

VELMORA_ON_EVERY_ENGINE(EditRecordTest);
