#include "QueryTestFixture.h"
#include "TRowWindow.h"

#include <gtest/gtest.h>

// A list that reads its rows' keys first and their values a page at a time.
class QueryPagedRowsTest : public OnEveryEngine<QueryTestFixture> {
protected:
    static constexpr int Figures = 3000;

    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QString numbered =
            OnServer() ? QStringLiteral("select 'K' || lpad(i::text, 4, '0'), 'figure ' || "
                                        "lpad(i::text, 4, '0'), 'about ' || i "
                                        "from generate_series(0, %1) as n(i)")
                       : QStringLiteral("with recursive n(i) as (select 0 union all select i + 1 "
                                        "from n where i < %1) "
                                        "select printf('K%04d', i), printf('figure %04d', i), "
                                        "'about ' || i from n");
        Exec(QStringLiteral("insert into figures (figure_id, figure_name, figure_dsc) ") +
             numbered.arg(Figures - 1));
        UseFiguresList(query_);
        query_.PagedRows = true;
        query_.Open();
        name_ = query_.FieldIndex(QStringLiteral("figure_name"));
    }

    QString NameAt(int row) { return query_.ValueAt(row, name_).toString(); }

    TQuery query_;
    int name_ = -1;
};

TEST_P(QueryPagedRowsTest, EveryRowShowsItsValuesWhileOnlyAWindowOfRowsIsHeld) {
    ASSERT_EQ(query_.RecordCount(), Figures);
    EXPECT_LE(query_.HeldRowCount(), TRowWindow::PageRows);
    EXPECT_EQ(NameAt(2500), QStringLiteral("figure 2500"));
    EXPECT_EQ(query_.ValueAt(2500, query_.FieldIndex(QStringLiteral("figure_dsc"))).toByteArray(),
              QByteArray("about 2500"));
    for (int row = 0; row < Figures; ++row)
        ASSERT_EQ(NameAt(row), QStringLiteral("figure %1").arg(row, 4, 10, QLatin1Char('0')));
    EXPECT_LE(query_.HeldRowCount(), 2 * TRowWindow::KeptRows + TRowWindow::PageRows);
}

TEST_P(QueryPagedRowsTest, ChangedRowsKeepTheirValuesAsTheWindowMovesOn) {
    query_.MoveTo(10);
    query_.Edit();
    query_.SetValue(name_, QStringLiteral("changed, not yet written"));
    query_.Post();
    for (int row = Figures - 1; row >= 0; --row)
        NameAt(row);
    EXPECT_EQ(NameAt(10), QStringLiteral("changed, not yet written"));
    query_.ApplyUpdates();
    EXPECT_EQ(Scalar("select figure_name from figures where figure_id = 'K0010'").toString(),
              QStringLiteral("changed, not yet written"));
}

TEST_P(QueryPagedRowsTest, UnreadRowsAreFoundByKeyAndDeletedByTheirValues) {
    ASSERT_TRUE(query_.Locate(QStringLiteral("figure_id"), QStringLiteral("K2999")));
    EXPECT_EQ(query_.RecNo(), Figures - 1);
    query_.Delete();
    query_.ApplyUpdates();
    EXPECT_EQ(Scalar("select count(*) from figures where figure_id = 'K2999'").toInt(), 0);
    EXPECT_EQ(query_.RecordCount(), Figures - 1);
}

TEST_P(QueryPagedRowsTest, ARowAnotherProgramDeletedShowsItsKeyAndNothingElse) {
    Exec("delete from figures where figure_id = 'K2000'");
    EXPECT_EQ(query_.ValueAt(2000, query_.FieldIndex(QStringLiteral("figure_id"))).toString(),
              QStringLiteral("K2000"));
    EXPECT_TRUE(NameAt(2000).isEmpty());
    EXPECT_EQ(NameAt(2001), QStringLiteral("figure 2001"));
}

VELMORA_ON_EVERY_ENGINE(QueryPagedRowsTest);
