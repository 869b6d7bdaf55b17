#pragma once

class TQuery;

// Something that shows a dataset (a grid of record panels, a bound text
// box) and follows it. While the dataset's controls are disabled no
// notification is sent; enabling them sends DataSetChanged once.
class TDataLink {
public:
    virtual ~TDataLink() = default;

    // Opened or closed.
    virtual void ActiveChanged(TQuery& dataSet) = 0;
    // Rows added, removed or reordered, or the current row moved.
    virtual void DataSetChanged(TQuery& dataSet) = 0;
    // A value of the current row changed (while editing, or by a post).
    virtual void RecordChanged(TQuery& dataSet) = 0;
    // Browse, edit, insert.
    virtual void StateChanged(TQuery& dataSet) = 0;
    // The dataset is going away: forget it.
    virtual void DataSetDestroyed(TQuery& /*dataSet*/) {}
};
