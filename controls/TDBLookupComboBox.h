#pragma once

#include "TFieldLink.h"

#include <QComboBox>
#include <QString>

#include "TDataSource.h"
class TQuery;

// A drop-down list that shows a key column of the current record of a data
// source's dataset by the name another query gives that key: the list
// query's rows offer (key, name) pairs, and choosing one stores its key in
// the record at once. A key the list does not hold shows nothing.
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT

public:
    TDBLookupComboBox(TDataSource* source, const QString& fieldName, QWidget* parent = nullptr);

    // The query whose rows are offered and its key and name columns.
    void SetListSource(TQuery* list, const QString& keyField, const QString& listField);
    // Takes the rows of the list query again (after it was reopened).
    void ReloadList();

    // Shows the column's value again.
    void Refresh();

private:
    TFieldLink link_{this, [this] { Refresh(); }};
    TQuery* list_ = nullptr;
    QString keyField_;
    QString listField_;
};
