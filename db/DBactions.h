#pragma once

#include <QString>
#include <QStringList>

class TQuery;
class TTable;

// Routines the whole program uses for its database work.

// A new record key: the 32 upper-case hexadecimal digits of a new GUID.
QString NewRecordKey();

// Runs a select against "ADB" and returns the first column of the first row
// as text; empty when there is no row. An engine error is shown in the
// standard message box and gives the empty string.
QString QueryValue(const QStringList& lines);

// Runs a statement without result rows against "ADB"; false, after showing
// the error in the standard message box, when it fails.
bool ExecSql(const QStringList& lines);

// A value as it is written between single quotes in SQL text: every single
// quote doubled, so the value can neither end the literal nor change the
// statement.
QString SqlLiteralText(const QString& value);

// The decimal integer the text holds (blanks around it allowed), 0 when it
// holds none.
int StrToIntOrZero(const QString& text);

// Moving a dataset in and out of editing without raising. DataSetPost is
// true only when the dataset was editing and the post happened: a post that
// fails, or that the engine aborted (the dataset still editing), is false,
// and the dataset stays editing; error, when given, then tells why.
void DataSetEdit(TQuery& dataSet);
bool DataSetPost(TQuery& dataSet);
bool DataSetPost(TQuery& dataSet, QString* error);
bool DataSetCancel(TQuery& dataSet);

// Compacts an open, exclusively opened table's database file in place,
// keeping data, structure and keys; raises EDatabaseError otherwise or when
// the engine fails.
void PackTable(TTable& table);
