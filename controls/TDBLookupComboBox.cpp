#include "TDBLookupComboBox.h"

#include "CommandGuard.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <QScopedValueRollback>

#include <exception>

TDBLookupComboBox::TDBLookupComboBox(TDataSource* source, const QString& fieldName, QWidget* parent)
    : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, CommandGuard::Slot([this](int index) {
                const QString key = itemData(index).toString();
                link_.Write([&key](TField& field) { field.SetAsString(key); });
            }));
    link_.SetDataField(fieldName);
    link_.SetDataSource(source);
}

void TDBLookupComboBox::SetListSource(TQuery* list, const QString& keyField,
                                      const QString& listField) {
    list_ = list;
    keyField_ = keyField;
    listField_ = listField;
    ReloadList();
}

void TDBLookupComboBox::ReloadList() {
    {
        const auto held = link_.Hold();
        clear();
        if (list_ && list_->Active()) {
            const TQuery::TBookmark at = list_->GetBookmark();
            for (list_->First(); !list_->Eof(); list_->Next())
                addItem(list_->FieldByName(listField_).AsString(),
                        list_->FieldByName(keyField_).AsString());
            list_->GotoBookmark(at);
        }
    }
    Refresh();
}

void TDBLookupComboBox::Refresh() {
    if (link_.Busy())
        return;
    TQuery* dataSet = link_.OpenDataSet();
    QString key;
    if (dataSet) {
        try {
            key = dataSet->FieldByName(link_.DataField()).AsString();
        } catch (const std::exception&) {
            key.clear();
        }
    }
    setEnabled(dataSet != nullptr);
    setCurrentIndex(key.isEmpty() ? -1 : findData(key));
}
