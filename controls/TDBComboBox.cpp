#include "TDBComboBox.h"

#include "CommandGuard.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <QLineEdit>

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
    const TFieldLink::TextValue shown = link_.ReadText();
    lineEdit()->setReadOnly(!shown.open);
    if (lineEdit()->maxLength() != shown.maxLength)
        lineEdit()->setMaxLength(shown.maxLength);
    if (currentText() != shown.value) {
        setCurrentIndex(findText(shown.value));
        setEditText(shown.value);
    }
}
