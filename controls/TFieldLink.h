#pragma once

#include <QPointer>
#include <QScopedValueRollback>
#include <QString>

#include <functional>

class QObject;
class TDataSource;
class TField;
class TQuery;

// What a data-aware control shares with every other: its data source and
// column, the refresh whenever the source reports a change, and writing the
// user's input into the current record.
class TFieldLink {
public:
    // refresh shows the column's value again; it runs in the control's
    // context, so it stops with the control.
    TFieldLink(QObject* control, std::function<void()> refresh);

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    void SetDataField(const QString& fieldName);
    QString DataField() const { return fieldName_; }

    // The source's dataset when it is open and has the column; else nullptr.
    TQuery* OpenDataSet() const;

    // What a text box shows of the column: its value as text (empty for a
    // value that cannot be read), the most characters it takes (the width
    // of a "char(n)" column, or a longer value already stored, whole;
    // otherwise QLineEdit's own limit), and whether there is an open
    // dataset with the column at all.
    struct TextValue {
        QString value;
        int maxLength = 32767;
        bool open = false;
    };
    TextValue ReadText() const;

    // Puts the record into edit state and lets store set the column, then
    // refreshes the control (also when the record could not be changed).
    void Write(const std::function<void(TField&)>& store);

    // Set while the control changes its own text or writes into the record:
    // the changes it hears of then are its own.
    bool Busy() const { return busy_; }
    QScopedValueRollback<bool> Hold() { return QScopedValueRollback<bool>(busy_, true); }

private:
    QObject* control_;
    std::function<void()> refresh_;
    QPointer<TDataSource> source_;
    QString fieldName_;
    bool busy_ = false;
};
