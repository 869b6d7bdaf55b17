#pragma once

#include "TFieldLink.h"

#include <QPlainTextEdit>
#include <QString>

class TDataSource;
class TQuery;

// A multi-line text box showing a memo column (text kept as UTF-8 bytes)
// of the current record of a data source's dataset. What the user types
// puts the record into edit state and goes into the column at once.
// Read-only while there is no open dataset with that column.
class TDBMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TDBMemo(QWidget* parent = nullptr);
    TDBMemo(TDataSource* source, const QString& fieldName, QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataField(const QString& fieldName) { link_.SetDataField(fieldName); }
    QString DataField() const { return link_.DataField(); }

    // Shows the column's value again.
    void Refresh();

private:
    void UserEdited();

    TFieldLink link_{this, [this] { Refresh(); }};
};
