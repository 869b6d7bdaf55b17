#include "TDBEdit.h"

#include "CommandGuard.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <algorithm>
#include <exception>

namespace {

// QLineEdit's own limit.
constexpr int UnlimitedLength = 32767;

} // namespace

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, CommandGuard::Slot([this](const QString& text) {
                link_.Write([&text](TField& field) { field.SetAsString(text); });
            }));
    Refresh();
}

TDBEdit::TDBEdit(TDataSource* source, const QString& fieldName, QWidget* parent) : TDBEdit(parent) {
    link_.SetDataField(fieldName);
    link_.SetDataSource(source);
}

void TDBEdit::Refresh() {
    if (link_.Busy())
        return;
    TQuery* dataSet = link_.OpenDataSet();
    QString value;
    int maxLength = UnlimitedLength;
    if (dataSet) {
        try {
            const TField field = dataSet->FieldByName(link_.DataField());
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
