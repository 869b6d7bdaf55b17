#pragma once

#include <QVariant>

#include <cstdint>
#include <vector>

// The rows of a live query in bookmark order, with the current row and the
// end flags. A bookmark names a row for as long as the row is in the list;
// rows are only ever appended with a new bookmark or put back with their
// own, so the list stays ordered and a bookmark is found by bisection.
class TQueryRows {
public:
    using TBookmark = std::uint64_t;

    struct Row {
        TBookmark bookmark = 0;
        // One value per column. A lazy blob column holds an invalid
        // QVariant until a value is assigned to it. None while a row of a
        // query that reads its rows' keys first has not been read.
        std::vector<QVariant> values;
        // The key the table holds the row under: its key as read or last
        // written; invalid for a row not yet in the table.
        QVariant tableKey;
        // Values the program gave the row, which the table may not hold
        // as they are: they stay while the row is in the list.
        bool kept = false;
    };

    // Where a move lands: the row (-1 for none) and the end flags.
    struct Position {
        int index = -1;
        bool bof = true;
        bool eof = true;
    };

    // Appends a row with a new bookmark; keyIndex (-1 for none) is the
    // column its table key is read from.
    Row& Append(std::vector<QVariant> values, int keyIndex);
    // Appends a row with a new bookmark whose values are not read yet.
    void AppendUnread(QVariant tableKey);
    // Puts a row back in its place by its bookmark.
    void Insert(Row row);
    void Erase(int index);
    // Drops every row; bookmarks are never given again.
    void Clear();

    int Count() const { return static_cast<int>(rows_.size()); }
    bool Empty() const { return rows_.empty(); }
    Row& operator[](int index) { return rows_[index]; }
    const Row& operator[](int index) const { return rows_[index]; }
    // Index of the row with that bookmark; -1 when it is not in the list.
    int Find(TBookmark bookmark) const;

    int Current() const { return position_.index; }
    bool Bof() const { return position_.bof; }
    bool Eof() const { return position_.eof; }
    TBookmark CurrentBookmark() const;
    void Place(Position position) { position_ = position; }
    void Place(int index, bool bof, bool eof) { position_ = {index, bof, eof}; }

    // Where First, Last and a move by distance land. A move past either
    // end stays on the last or first row and sets that end's flag.
    Position First() const;
    Position Last() const;
    Position By(int distance) const;
    // Back to a remembered row after rows were removed or put back, or to
    // the row nearest to fallback.
    Position Settle(TBookmark preferred, int fallback) const;

private:
    std::vector<Row> rows_;
    TBookmark lastBookmark_ = 0;
    Position position_;
};
