// The pending changes of a live query, undone the last first.

#include "TChangeCache.h"

#include <gtest/gtest.h>

namespace {

QStringList Values(const TQueryRows& rows) {
    QStringList values;
    for (int i = 0; i < rows.Count(); ++i)
        values << rows[i].values[0].toString();
    return values;
}

TEST(ChangeCache, UndoPutsTheRowsBackAsTheyWereBeforeEveryChange) {
    using Kind = TChangeCache::Kind;
    TQueryRows rows;
    rows.Append({QStringLiteral("a")}, 0);
    rows.Append({QStringLiteral("b")}, 0);
    TChangeCache cache;

    // b is changed twice, then deleted; a new row c is added.
    cache.Push(cache.Make(Kind::Modify, rows[1]));
    rows[1].values = {QStringLiteral("b2")};
    cache.Push(cache.Make(Kind::Modify, rows[1]));
    rows[1].values = {QStringLiteral("b3")};
    cache.Push(cache.Make(Kind::Delete, rows[1]));
    rows.Erase(1);
    cache.Push(cache.Make(Kind::Insert, rows.Append({QStringLiteral("c")}, -1)));
    EXPECT_EQ((QStringList{"a", "c"}), Values(rows));
    EXPECT_TRUE(cache.Holds(rows[1].bookmark));
    ASSERT_EQ(4, cache.Count());

    cache.Undo(rows);
    EXPECT_EQ((QStringList{"a", "b"}), Values(rows));
    EXPECT_EQ("b", rows[1].tableKey.toString());
    EXPECT_TRUE(cache.Empty());
}

} // namespace
