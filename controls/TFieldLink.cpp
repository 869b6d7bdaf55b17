#include "TFieldLink.h"

#include "DBactions.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <QObject>

#include <algorithm>
#include <exception>

TFieldLink::TFieldLink(QObject* control, std::function<void()> refresh)
    : control_(control), refresh_(std::move(refresh)) {}

void TFieldLink::SetDataSource(TDataSource* source) {
    if (source_)
        QObject::disconnect(source_, nullptr, control_, nullptr);
    source_ = source;
    if (source_) {
        for (auto signal : {&TDataSource::ActiveChanged, &TDataSource::DataSetChanged,
                            &TDataSource::RecordChanged, &TDataSource::StateChanged})
            QObject::connect(source_, signal, control_, [this] { refresh_(); });
        // A source destroyed first leaves the control unbound.
        QObject::connect(source_, &QObject::destroyed, control_, [this] { refresh_(); });
    }
    refresh_();
}

void TFieldLink::SetDataField(const QString& fieldName) {
    fieldName_ = fieldName;
    refresh_();
}

TQuery* TFieldLink::OpenDataSet() const {
    TQuery* dataSet = source_ ? source_->DataSet() : nullptr;
    if (!dataSet || !dataSet->Active() || dataSet->FieldIndex(fieldName_) < 0)
        return nullptr;
    return dataSet;
}

TFieldLink::TextValue TFieldLink::ReadText() const {
    TextValue text;
    TQuery* dataSet = OpenDataSet();
    text.open = dataSet != nullptr;
    if (!dataSet)
        return text;
    try {
        const TField field = dataSet->FieldByName(fieldName_);
        text.value = field.AsString();
        if (field.Size() > 0)
            text.maxLength = std::max(field.Size(), static_cast<int>(text.value.size()));
    } catch (const std::exception&) {
        text.value.clear();
    }
    return text;
}

void TFieldLink::Write(const std::function<void(TField&)>& store) {
    TQuery* dataSet = OpenDataSet();
    if (!dataSet)
        return;
    {
        const auto held = Hold();
        DataSetEdit(*dataSet);
        if (dataSet->State() == TDataSetState::Edit || dataSet->State() == TDataSetState::Insert) {
            TField field = dataSet->FieldByName(fieldName_);
            store(field);
        }
    }
    refresh_();
}
