#include "TDBMemo.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <QScopedValueRollback>

#include <exception>

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, CommandGuard::Slot([this] { UserEdited(); }));
    Refresh();
}

TDBMemo::TDBMemo(TDataSource* source, const QString& fieldName, QWidget* parent) : TDBMemo(parent) {
    fieldName_ = fieldName;
    SetDataSource(source);
}

void TDBMemo::SetDataSource(TDataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        for (auto signal : {&TDataSource::ActiveChanged, &TDataSource::DataSetChanged,
                            &TDataSource::RecordChanged, &TDataSource::StateChanged})
            connect(source_, signal, this, &TDBMemo::Refresh);
        // A source destroyed first leaves the box unbound.
        connect(source_, &QObject::destroyed, this, &TDBMemo::Refresh);
    }
    Refresh();
}

void TDBMemo::SetDataField(const QString& fieldName) {
    fieldName_ = fieldName;
    Refresh();
}

TQuery* TDBMemo::OpenDataSet() const {
    TQuery* dataSet = source_ ? source_->DataSet() : nullptr;
    if (!dataSet || !dataSet->Active() || dataSet->FieldIndex(fieldName_) < 0)
        return nullptr;
    return dataSet;
}

void TDBMemo::Refresh() {
    if (updating_)
        return;
    const QScopedValueRollback<bool> updating(updating_, true);
    TQuery* dataSet = OpenDataSet();
    QString value;
    if (dataSet) {
        try {
            value = dataSet->FieldByName(fieldName_).AsString();
        } catch (const std::exception&) {
            // A value that cannot be read shows as empty.
            value.clear();
        }
    }
    setReadOnly(dataSet == nullptr);
    // Setting the same text again would lose the cursor and the undo steps.
    if (toPlainText() != value)
        setPlainText(value);
}

void TDBMemo::UserEdited() {
    if (updating_)
        return;
    TQuery* dataSet = OpenDataSet();
    if (!dataSet)
        return;
    {
        const QScopedValueRollback<bool> updating(updating_, true);
        DataSetEdit(*dataSet);
        if (dataSet->State() == TDataSetState::Edit || dataSet->State() == TDataSetState::Insert)
            dataSet->FieldByName(fieldName_).SetAsBytes(toPlainText().toUtf8());
    }
    Refresh();
}
