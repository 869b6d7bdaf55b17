#include "TDBComboBox.h"

#include "CommandGuard.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <QLineEdit>

#include <algorithm>
#include <exception>

namespace {

// QLineEdit's own limit.
constexpr int UnlimitedLength = 32767;

} // namespace

TDBComboBox::TDBComboBox(TDataSource* source, const QString& fieldName, const QStringList& items,
                         QWidget* parent)
    : QComboBox(parent) {
    setEditable(true);
    // The list stays as given: typed text goes into the record, not the list.
    setInsertPolicy(QComboBox::NoInsert);
    addItems(items);
    connect(lineEdit(), &QLineEdit::textEdited, this,
            CommandGuard::Slot([this](const QString& text) { Store(text); }));
    connect(this, &QComboBox::textActivated, this,
            CommandGuard::Slot([this](const QString& text) { Store(text); }));
    link_.SetDataField(fieldName);
    link_.SetDataSource(source);
}

void TDBComboBox::Store(const QString& text) {
    link_.Write([&text](TField& field) { field.SetAsString(text); });
}

void TDBComboBox::Refresh() {
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
            value.clear();
        }
    }
    lineEdit()->setReadOnly(dataSet == nullptr);
    if (lineEdit()->maxLength() != maxLength)
        lineEdit()->setMaxLength(maxLength);
    if (currentText() != value) {
        const int index = findText(value);
        setCurrentIndex(index);
        setEditText(value);
    }
}
