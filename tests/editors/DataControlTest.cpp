// Text boxes bound to a column of a live query through a data source.

#include "EditorTestSupport.h"
#include "TDBEdit.h"
#include "TDBMemo.h"
#include "TDataSource.h"
#include "TField.h"

#include <memory>

namespace {

class DataControlTest : public OnEveryEngine<ProducerListFixture> {
protected:
    void SetUp() override {
        ProducerListFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        name_.show();
    }
    QString ListName() { return list_.FieldByName("producer_name").AsString(); }

    TDataSource source_;
    TDBEdit name_{&source_, QStringLiteral("producer_name")};
};

TEST_P(DataControlTest, BoxFollowsTheBindingTheRowAndItsValues) {
    EXPECT_TRUE(name_.isReadOnly()) << "unbound";
    source_.SetDataSet(&list_);
    EXPECT_EQ(name_.text(), "Airfix");
    EXPECT_FALSE(name_.isReadOnly());
    list_.Next();
    EXPECT_EQ(name_.text(), "Italeri");
    list_.Edit();
    list_.FieldByName("producer_name").SetAsString("Italeri Spa");
    EXPECT_EQ(name_.text(), "Italeri Spa");
    list_.Cancel();
    EXPECT_EQ(name_.text(), "Italeri");

    list_.Close();
    EXPECT_EQ(name_.text(), "");
    EXPECT_TRUE(name_.isReadOnly()) << "closed";
    list_.Open();
    EXPECT_EQ(name_.text(), "Airfix") << "still bound after reopening";

    source_.SetDataSet(nullptr);
    EXPECT_EQ(name_.text(), "");
    QTest::keyClicks(&name_, "typed");
    EXPECT_EQ(name_.text(), "") << "an unbound box takes no input";
    EXPECT_EQ(list_.State(), TDataSetState::Browse);
}

TEST_P(DataControlTest, TypingEditsTheRecordAtOnceAndKeepsTheCursor) {
    source_.SetDataSet(&list_);
    name_.setCursorPosition(3);
    QTest::keyClicks(&name_, "-X");
    EXPECT_EQ(list_.State(), TDataSetState::Edit);
    EXPECT_EQ(ListName(), "Air-Xfix");
    EXPECT_EQ(name_.cursorPosition(), 5);
    list_.Post();
    EXPECT_EQ(StoredName("P1"), "Air-Xfix");

    name_.selectAll();
    QTest::keyClicks(&name_, "Revell");
    list_.Cancel();
    EXPECT_EQ(name_.text(), "Air-Xfix") << "a cancel shows the kept value again";
}

TEST_P(DataControlTest, FixedTextColumnsLimitTheInputToTheirSize) {
    // The embedded engine keeps a longer value than the column's size; the
    // server refuses it.
    const QString longName(40, QLatin1Char('n'));
    if (!OnServer())
        Exec("insert into producers (producer_id, producer_name) values ('P3', ?)", {longName});
    list_.Close();
    list_.Open();
    source_.SetDataSet(&list_);
    name_.selectAll();
    QTest::keyClicks(&name_, QString(40, QLatin1Char('a')));
    EXPECT_EQ(ListName(), QString(32, QLatin1Char('a'))) << "producer_name is char(32)";
    list_.Cancel();
    if (!OnServer()) {
        list_.Last();
        EXPECT_EQ(name_.text(), longName) << "a longer stored value is shown whole";
    }

    TDBEdit date(&source_, QStringLiteral("insert_time"));
    EXPECT_EQ(date.maxLength(), 32767) << "not a fixed text column";
}

TEST_P(DataControlTest, FixedTextColumnsTellTheirWidthInTheToolTip) {
    TDBEdit website(&source_, QStringLiteral("producer_website"));
    TDBEdit date(&source_, QStringLiteral("insert_time"));
    source_.SetDataSet(&list_);
    EXPECT_EQ(name_.toolTip(), "At most 32 characters");
    EXPECT_EQ(website.toolTip(), "At most 64 characters");
    EXPECT_EQ(date.toolTip(), "") << "not a fixed text column";
    source_.SetDataSet(nullptr);
    EXPECT_EQ(name_.toolTip(), "") << "unbound";
}

TEST_P(DataControlTest, DestroyingTheSourceFirstUnbindsItsControls) {
    auto source = std::make_unique<TDataSource>();
    TDBEdit box(source.get(), QStringLiteral("producer_name"));
    source->SetDataSet(&list_);
    EXPECT_EQ(box.text(), "Airfix");
    source.reset();
    EXPECT_EQ(box.text(), "");
    EXPECT_TRUE(box.isReadOnly());
    list_.Next(); // tells no destroyed source
    list_.Close();
}

TEST_P(DataControlTest, MemoShowsAndWritesItsColumnAsUtf8Text) {
    TDBMemo memo(&source_, QStringLiteral("producer_dsc"));
    memo.show();
    Exec("update producers set producer_dsc = 'Kits' where producer_id = 'P2'");
    list_.Close();
    list_.Open();
    source_.SetDataSet(&list_);
    list_.Next();
    EXPECT_EQ(memo.toPlainText(), "Kits");
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return);
    // Letters beyond ASCII arrive as key events that carry only their text.
    QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown,
                        QString::fromUtf8("\xc3\xa9t\xc3\xa9"), Qt::NoModifier);
    QTest::keyClicks(&memo, " 1815");
    EXPECT_EQ(list_.State(), TDataSetState::Edit);
    EXPECT_EQ(memo.textCursor().position(), memo.toPlainText().size()) << "cursor kept";
    list_.Post();
    EXPECT_EQ(Scalar("select producer_dsc from producers where producer_id = 'P2'").toByteArray(),
              "Kits\n\xc3\xa9t\xc3\xa9 1815");
    list_.Prior();
    EXPECT_EQ(memo.toPlainText(), "");
    source_.SetDataSet(nullptr);
    EXPECT_TRUE(memo.isReadOnly());
}

} // namespace

TEST(DataSourceLifetime, ADatasetDestroyedWhileBoundLeavesTheSourceUnbound) {
    TDataSource source;
    TDBEdit edit(&source, QStringLiteral("producer_name"));
    {
        TQuery query;
        source.SetDataSet(&query);
        EXPECT_EQ(&query, source.DataSet());
    }
    EXPECT_EQ(nullptr, source.DataSet());
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ("", edit.text());
}

VELMORA_ON_EVERY_ENGINE(DataControlTest);
