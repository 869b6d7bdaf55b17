#include "TDBMemo.h"

#include "CommandGuard.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <exception>

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {
    connect(this, &QPlainTextEdit::textChanged, this, CommandGuard::Slot([this] { UserEdited(); }));
    Refresh();
}

TDBMemo::TDBMemo(TDataSource* source, const QString& fieldName, QWidget* parent) : TDBMemo(parent) {
    link_.SetDataField(fieldName);
    link_.SetDataSource(source);
}

void TDBMemo::Refresh() {
    if (link_.Busy())
        return;
    // The text changes made here are not the user's.
    const auto held = link_.Hold();
    TQuery* dataSet = link_.OpenDataSet();
    QString value;
    if (dataSet) {
        try {
            value = dataSet->FieldByName(link_.DataField()).AsString();
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
    if (link_.Busy())
        return;
    const QByteArray text = toPlainText().toUtf8();
    link_.Write([&text](TField& field) { field.SetAsBytes(text); });
}
