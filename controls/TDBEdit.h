#pragma once

#include "TFieldLink.h"

#include <QLineEdit>
#include <QString>

class TDataSource;
class TQuery;

// A one-line text box showing one column of the current record of a data
// source's dataset. What the user types puts the record into edit state
// and goes into the column at once. A column declared "char(n)" takes at
// most n characters, which the box's tool tip tells. Read-only while there
// is no open dataset with that column.
class TDBEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TDBEdit(QWidget* parent = nullptr);
    TDBEdit(TDataSource* source, const QString& fieldName, QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataField(const QString& fieldName) { link_.SetDataField(fieldName); }
    QString DataField() const { return link_.DataField(); }

    // Shows the column's value again.
    void Refresh();

private:
    // n for a "char(n)" column of the open dataset, else 0.
    int ColumnWidth() const;

    TFieldLink link_{this, [this] { Refresh(); }};
};
