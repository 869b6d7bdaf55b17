// The rows of a live query: where a move lands, and finding a row again
// after rows were removed or put back.

#include "TQueryRows.h"

#include <gtest/gtest.h>

namespace {

TQueryRows RowsOf(int count, int current) {
    TQueryRows rows;
    for (int i = 0; i < count; ++i)
        rows.Append({QVariant(i)}, 0);
    rows.Place(current, false, false);
    return rows;
}

TEST(QueryRows, MovesStopAtEitherEndWithThatEndsFlag) {
    struct Case {
        int count;
        int current;
        int distance;
        int index;
        bool bof;
        bool eof;
    };
    const Case cases[] = {
        {3, 0, 1, 1, false, false}, {3, 1, 1, 2, false, false}, {3, 2, 1, 2, false, true},
        {3, 1, -5, 0, true, false}, {3, 1, 0, 1, false, false}, {0, -1, 1, -1, true, true},
    };
    for (const Case& c : cases) {
        const TQueryRows::Position at = RowsOf(c.count, c.current).By(c.distance);
        EXPECT_EQ(c.index, at.index)
            << c.count << " rows, from " << c.current << " by " << c.distance;
        EXPECT_EQ(c.bof, at.bof) << c.count << " rows, from " << c.current << " by " << c.distance;
        EXPECT_EQ(c.eof, at.eof) << c.count << " rows, from " << c.current << " by " << c.distance;
    }
    const TQueryRows empty;
    EXPECT_EQ(-1, empty.First().index);
    EXPECT_TRUE(empty.Last().bof && empty.Last().eof);
    EXPECT_EQ(2, RowsOf(3, 0).Last().index);
}

TEST(QueryRows, ARowPutBackKeepsItsBookmarkAndPlace) {
    TQueryRows rows = RowsOf(4, 0);
    const TQueryRows::Row second = rows[1];
    rows.Erase(1);
    EXPECT_EQ(-1, rows.Find(second.bookmark));
    EXPECT_EQ(2, rows.Settle(second.bookmark, 7).index) << "the nearest row when it is gone";

    rows.Insert(second);
    EXPECT_EQ(1, rows.Find(second.bookmark));
    EXPECT_EQ(1, rows.Settle(second.bookmark, 3).index);
    EXPECT_EQ(1, rows[1].tableKey.toInt()) << "the key was read from the key column";
    const TQueryRows::TBookmark last = rows[3].bookmark;
    EXPECT_GT(rows.Append({}, -1).bookmark, last) << "bookmarks are never given again";
}

} // namespace
