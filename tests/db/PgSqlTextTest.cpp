// Statements as the program writes them, with :name and ? parameters, in
// the numbered form a PostgreSQL server takes.

#include "PgSqlText.h"

#include <gtest/gtest.h>

namespace {

TEST(PgSqlText, NamesBecomeNumbersOutsideQuotesCommentsAndCasts) {
    struct Case {
        const char* in;
        const char* out;
        QStringList names;
    };
    const Case cases[] = {
        {"select :a, :b, :a", "select $1, $2, $1", {"a", "b"}},
        {"select 'x:y', \"q:z\", a::text, :v", "select 'x:y', \"q:z\", a::text, $1", {"v"}},
        {"select 'it''s :no', :yes", "select 'it''s :no', $1", {"yes"}},
        {"select E'\\' :no', :yes", "select E'\\' :no', $1", {"yes"}},
        {"select ?, :n, ?", "select $1, $2, $3", {"", "n", ""}},
        {"select 1 -- :no\n, :yes", "select 1 -- :no\n, $1", {"yes"}},
        {"select /* /* :no */ :no */ :yes", "select /* /* :no */ :no */ $1", {"yes"}},
        {"select $$ :no $$, $t$ :no $t$, :yes", "select $$ :no $$, $t$ :no $t$, $1", {"yes"}},
        {"update t set Кінь = :Кінь", "update t set Кінь = $1", {"Кінь"}},
    };
    for (const Case& c : cases) {
        const PgSqlText text = PgSqlText::FirstStatement(QByteArray(c.in));
        EXPECT_EQ(QByteArray(c.out), text.Text) << c.in;
        EXPECT_EQ(c.names, text.Names) << c.in;
        EXPECT_FALSE(text.Empty) << c.in;
    }
}

TEST(PgSqlText, TakesTheFirstStatementUpToItsSemicolon) {
    const PgSqlText first = PgSqlText::FirstStatement("select ';'; select :x");
    EXPECT_EQ(QByteArray("select ';'"), first.Text);
    EXPECT_EQ(11, first.Used);
    EXPECT_TRUE(first.Names.isEmpty());

    const PgSqlText blank = PgSqlText::FirstStatement("  -- nothing\n /* here */ ");
    EXPECT_TRUE(blank.Empty);
    EXPECT_EQ(25, blank.Used);
}

} // namespace
