#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QString>

class TDataSource;
class TQuery;

// A one-line text box showing one column of the current record of a data
// source's dataset. What the user types puts the record into edit state
// and goes into the column at once. A column declared "char(n)" takes at
// most n characters. Read-only while there is no open dataset with that
// column.
class TDBEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TDBEdit(QWidget* parent = nullptr);
    TDBEdit(TDataSource* source, const QString& fieldName, QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    void SetDataField(const QString& fieldName);
    QString DataField() const { return fieldName_; }

    // Shows the column's value again.
    void Refresh();

private:
    void UserEdited(const QString& text);
    TQuery* OpenDataSet() const;

    QPointer<TDataSource> source_;
    QString fieldName_;
    // Set while the box writes its own text into the record, which tells
    // it about the change it is making.
    bool writing_ = false;
};
