#include "TDBEdit.h"

#include "CommandGuard.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <exception>

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
    const TFieldLink::TextValue shown = link_.ReadText();
    // Setting the limit or the text, even unchanged, puts the cursor at the
    // end; so they are set only when they change.
    setReadOnly(!shown.open);
    if (maxLength() != shown.maxLength)
        setMaxLength(shown.maxLength);
    if (text() != shown.value)
        setText(shown.value);
    const int width = ColumnWidth();
    setToolTip(width > 0 ? QStringLiteral("At most %1 characters").arg(width) : QString());
}

int TDBEdit::ColumnWidth() const {
    TQuery* dataSet = link_.OpenDataSet();
    if (!dataSet)
        return 0;
    try {
        return dataSet->FieldByName(link_.DataField()).Size();
    } catch (const std::exception&) {
        return 0;
    }
}
