#include "TDBEdit.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <exception>

namespace {

// QLineEdit's own limit.
constexpr int UnlimitedLength = 32767;

} // namespace

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this,
            CommandGuard::Slot([this](const QString& text) { UserEdited(text); }));
    Refresh();
}

TDBEdit::TDBEdit(TDataSource* source, const QString& fieldName, QWidget* parent) : TDBEdit(parent) {
    fieldName_ = fieldName;
    SetDataSource(source);
}

void TDBEdit::SetDataSource(TDataSource* source) {
    if (source_)
        disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        for (auto signal : {&TDataSource::ActiveChanged, &TDataSource::DataSetChanged,
                            &TDataSource::RecordChanged, &TDataSource::StateChanged})
            connect(source_, signal, this, &TDBEdit::Refresh);
        // A source destroyed first leaves the box unbound.
        connect(source_, &QObject::destroyed, this, &TDBEdit::Refresh);
    }
    Refresh();
}

void TDBEdit::SetDataField(const QString& fieldName) {
    fieldName_ = fieldName;
    Refresh();
}

TQuery* TDBEdit::OpenDataSet() const {
    TQuery* dataSet = source_ ? source_->DataSet() : nullptr;
    if (!dataSet || !dataSet->Active() || dataSet->FieldIndex(fieldName_) < 0)
        return nullptr;
    return dataSet;
}

void TDBEdit::Refresh() {
    if (writing_)
        return;
    TQuery* dataSet = OpenDataSet();
    QString value;
    int maxLength = UnlimitedLength;
    if (dataSet) {
        try {
            const TField field = dataSet->FieldByName(fieldName_);
            value = field.AsString();
            // A longer value already stored is shown whole, never cut.
            if (field.Size() > 0)
                maxLength = std::max(field.Size(), static_cast<int>(value.size()));
        } catch (const std::exception&) {
            // A value that cannot be read shows as empty.
            value.clear();
        }
    }
    // Setting the limit or the text, even unchanged, puts the cursor at the
    // end; so they are set only when they change.
    setReadOnly(dataSet == nullptr);
    if (QLineEdit::maxLength() != maxLength)
        setMaxLength(maxLength);
    if (text() != value)
        setText(value);
}

void TDBEdit::UserEdited(const QString& text) {
    TQuery* dataSet = OpenDataSet();
    if (!dataSet)
        return;
    {
        const QScopedValueRollback<bool> writing(writing_, true);
        DataSetEdit(*dataSet);
        if (dataSet->State() == TDataSetState::Edit || dataSet->State() == TDataSetState::Insert)
            dataSet->FieldByName(fieldName_).SetAsString(text);
    }
    // Shows what the record holds now, also when it could not be changed.
    Refresh();
}
