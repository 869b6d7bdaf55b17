#include "TChangeCache.h"

#include <algorithm>

TChangeCache::Change TChangeCache::Make(Kind kind, const TQueryRows::Row& row) {
    Change change;
    change.kind = kind;
    change.serial = ++lastSerial_;
    change.rowId = row.bookmark;
    change.tableKey = row.tableKey;
    if (kind != Kind::Insert)
        change.before = row.values;
    return change;
}

bool TChangeCache::Holds(std::uint64_t rowId) const {
    return std::any_of(changes_.begin(), changes_.end(),
                       [&](const Change& c) { return c.rowId == rowId; });
}

bool TChangeCache::TakeBack(std::uint64_t serial) {
    const auto found = std::find_if(changes_.begin(), changes_.end(),
                                    [&](const Change& c) { return c.serial == serial; });
    if (found == changes_.end())
        return false;
    changes_.erase(found);
    return true;
}

void TChangeCache::Undo(TQueryRows& rows) {
    for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
        const int index = rows.Find(change->rowId);
        switch (change->kind) {
        case Kind::Insert:
            if (index >= 0)
                rows.Erase(index);
            break;
        case Kind::Modify:
            if (index >= 0)
                rows[index].values = std::move(change->before);
            break;
        case Kind::Delete:
            rows.Insert({change->rowId, std::move(change->before), change->tableKey});
            break;
        }
    }
    changes_.clear();
}
