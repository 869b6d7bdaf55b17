#pragma once

#include <QObject>

#include <memory>

class TQuery;

// The link between a dataset and the data-aware controls of a window: the
// controls bind to the source, and the source is pointed at a dataset (or
// at none) as the window needs. It passes the dataset's notifications on
// as signals.
//
// The binding follows the dataset through closing and reopening. Destroying
// the source unbinds it; a dataset destroyed while bound unbinds itself.
class TDataSource : public QObject {
    Q_OBJECT

public:
    explicit TDataSource(QObject* parent = nullptr);
    ~TDataSource() override;

    // nullptr unbinds. Binding or unbinding emits ActiveChanged.
    void SetDataSet(TQuery* dataSet);
    TQuery* DataSet() const { return dataSet_; }

signals:
    // The dataset was opened or closed, or another one (or none) bound.
    void ActiveChanged();
    // Rows added, removed or reordered, or the current row moved.
    void DataSetChanged();
    // A value of the current row changed.
    void RecordChanged();
    // Browse, edit, insert.
    void StateChanged();

private:
    // The bound dataset was destroyed.
    void Forget();
    class Link;

    TQuery* dataSet_ = nullptr;
    std::unique_ptr<Link> link_;
};
