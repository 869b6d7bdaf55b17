#pragma once

#include "TChangeWriter.h"
#include "TQueryRows.h"

#include <cstdint>
#include <vector>

// The changes of a live query not yet written, in the order they were made.
class TChangeCache {
public:
    using Change = TChangeWriter::Change;
    using Kind = TChangeWriter::Kind;

    // A new change of row, under a serial of its own: the row's values are
    // its values before the change, unless it is an insert.
    Change Make(Kind kind, const TQueryRows::Row& row);

    void Push(Change change) { changes_.push_back(std::move(change)); }
    // Whether a change of that row is pending.
    bool Holds(std::uint64_t rowId) const;
    // Whether the change of that serial is pending; it is taken out when
    // it is.
    bool TakeBack(std::uint64_t serial);

    const std::vector<Change>& List() const { return changes_; }
    bool Empty() const { return changes_.empty(); }
    int Count() const { return static_cast<int>(changes_.size()); }
    void Clear() { changes_.clear(); }

    // Puts the rows back as they were before the pending changes, the last
    // change first, and drops the changes.
    void Undo(TQueryRows& rows);

private:
    std::vector<Change> changes_;
    std::uint64_t lastSerial_ = 0;
};
