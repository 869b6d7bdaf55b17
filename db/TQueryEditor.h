#pragma once

class TQuery;
struct TQueryCore;

// The editing side of a live query: Edit, Append, Post, Cancel and Delete,
// and writing or dropping the pending changes, as TQuery describes them.
class TQueryEditor {
public:
    explicit TQueryEditor(TQueryCore& core);

    void Edit();
    void Append();
    void Post();
    void Cancel();
    void Delete();

    bool WriteUpdates();
    void UpdatesWritten();
    void CancelUpdates();

private:
    TQueryCore& core_;
    TQuery& query_;
};
