#pragma once

#include <QPlainTextEdit>
#include <QPointer>
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

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    void SetDataField(const QString& fieldName);
    QString DataField() const { return fieldName_; }

    // Shows the column's value again.
    void Refresh();

private:
    void UserEdited();
    TQuery* OpenDataSet() const;

    QPointer<TDataSource> source_;
    QString fieldName_;
    // Set while the box changes its own text or writes it into the record;
    // text changes then are not the user's.
    bool updating_ = false;
};
