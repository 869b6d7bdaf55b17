#include "TDataSource.h"

#include "TDataLink.h"
#include "TQuery.h"

class TDataSource::Link : public TDataLink {
public:
    explicit Link(TDataSource& source) : source_(source) {}

    void ActiveChanged(TQuery&) override { emit source_.ActiveChanged(); }
    void DataSetChanged(TQuery&) override { emit source_.DataSetChanged(); }
    void RecordChanged(TQuery&) override { emit source_.RecordChanged(); }
    void StateChanged(TQuery&) override { emit source_.StateChanged(); }
    void DataSetDestroyed(TQuery&) override { source_.Forget(); }

private:
    TDataSource& source_;
};

TDataSource::TDataSource(QObject* parent) : QObject(parent), link_(std::make_unique<Link>(*this)) {}

TDataSource::~TDataSource() {
    if (dataSet_)
        dataSet_->RemoveLink(link_.get());
}

void TDataSource::Forget() {
    dataSet_ = nullptr;
    emit ActiveChanged();
}

void TDataSource::SetDataSet(TQuery* dataSet) {
    if (dataSet == dataSet_)
        return;
    if (dataSet_)
        dataSet_->RemoveLink(link_.get());
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddLink(link_.get());
    emit ActiveChanged();
}
