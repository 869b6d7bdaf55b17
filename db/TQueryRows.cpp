#include "TQueryRows.h"

#include <algorithm>

namespace {

bool Before(const TQueryRows::Row& row, TQueryRows::TBookmark bookmark) {
    return row.bookmark < bookmark;
}

} // namespace

TQueryRows::Row& TQueryRows::Append(std::vector<QVariant> values, int keyIndex) {
    Row row;
    row.bookmark = ++lastBookmark_;
    row.values = std::move(values);
    if (keyIndex >= 0)
        row.tableKey = row.values[keyIndex];
    rows_.push_back(std::move(row));
    return rows_.back();
}

void TQueryRows::AppendUnread(QVariant tableKey) {
    Row row;
    row.bookmark = ++lastBookmark_;
    row.tableKey = std::move(tableKey);
    rows_.push_back(std::move(row));
}

void TQueryRows::Insert(Row row) {
    const auto at = std::lower_bound(rows_.begin(), rows_.end(), row.bookmark, Before);
    rows_.insert(at, std::move(row));
}

void TQueryRows::Erase(int index) {
    rows_.erase(rows_.begin() + index);
}

void TQueryRows::Clear() {
    rows_.clear();
    rows_.shrink_to_fit();
    position_ = Position();
}

int TQueryRows::Find(TBookmark bookmark) const {
    const auto found = std::lower_bound(rows_.begin(), rows_.end(), bookmark, Before);
    if (found == rows_.end() || found->bookmark != bookmark)
        return -1;
    return static_cast<int>(found - rows_.begin());
}

TQueryRows::TBookmark TQueryRows::CurrentBookmark() const {
    return position_.index >= 0 ? rows_[position_.index].bookmark : 0;
}

TQueryRows::Position TQueryRows::First() const {
    return {Empty() ? -1 : 0, true, Empty()};
}

TQueryRows::Position TQueryRows::Last() const {
    return {Count() - 1, Empty(), true};
}

TQueryRows::Position TQueryRows::By(int distance) const {
    if (Empty())
        return {-1, true, true};
    if (distance == 0)
        return position_;
    const long long target = static_cast<long long>(position_.index) + distance;
    if (target >= Count())
        return {Count() - 1, false, true};
    if (target < 0)
        return {0, true, false};
    return {static_cast<int>(target), false, false};
}

TQueryRows::Position TQueryRows::Settle(TBookmark preferred, int fallback) const {
    int index = Find(preferred);
    if (index < 0)
        index = Empty() ? -1 : std::clamp(fallback, 0, Count() - 1);
    return {index, Empty(), Empty()};
}
