#include "TQueryLinks.h"

#include "TDataLink.h"

#include <algorithm>

void TQueryLinks::Add(TDataLink* link) {
    if (link && std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TQueryLinks::Remove(TDataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TQueryLinks::Notify(TQuery& query, Note note) const {
    if (disableCount_ > 0)
        return;
    const std::vector<TDataLink*> targets = links_;
    for (TDataLink* link : targets) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end())
            continue;
        switch (note) {
        case Note::Active:
            link->ActiveChanged(query);
            break;
        case Note::DataSet:
            link->DataSetChanged(query);
            break;
        case Note::Record:
            link->RecordChanged(query);
            break;
        case Note::State:
            link->StateChanged(query);
            break;
        }
    }
}

void TQueryLinks::Destroyed(TQuery& query) const {
    const std::vector<TDataLink*> targets = links_;
    for (TDataLink* link : targets)
        link->DataSetDestroyed(query);
}

void TQueryLinks::Disable(const TQuery& query) {
    if (disableCount_++ == 0) {
        activeWhenDisabled_ = query.Active();
        stateWhenDisabled_ = query.State();
    }
}

void TQueryLinks::Enable(TQuery& query) {
    if (disableCount_ == 0 || --disableCount_ > 0)
        return;
    if (query.Active() != activeWhenDisabled_)
        Notify(query, Note::Active);
    else if (query.State() != stateWhenDisabled_)
        Notify(query, Note::State);
    Notify(query, Note::DataSet);
}
