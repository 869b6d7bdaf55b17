#pragma once

#include "TQuery.h"

#include <vector>

class TDataLink;

// The links a live query tells what changed, and the nesting of
// DisableControls: while disabled, nothing is told.
class TQueryLinks {
public:
    enum class Note { Active, DataSet, Record, State };

    void Add(TDataLink* link);
    void Remove(TDataLink* link);
    // Tells every link, unless disabled. A link may remove another one
    // while it is told; that one is not told.
    void Notify(TQuery& query, Note note) const;
    // The query is going away.
    void Destroyed(TQuery& query) const;

    // The first of nested calls remembers what the links were last told
    // of; the last of their counterparts tells what changed meanwhile.
    void Disable(const TQuery& query);
    void Enable(TQuery& query);
    bool Disabled() const { return disableCount_ > 0; }

private:
    std::vector<TDataLink*> links_;
    int disableCount_ = 0;
    bool activeWhenDisabled_ = false;
    TDataSetState stateWhenDisabled_ = TDataSetState::Inactive;
};
