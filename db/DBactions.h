#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class EngineConnection;
class TQuery;
class TTable;

// Routines the whole program uses for its database work.

// A new record key: the 32 upper-case hexadecimal digits of a new GUID.
QString NewRecordKey();
// count new keys of the same form, as Latin-1 bytes, in ascending order:
// rows that take them in turn go to the end of a key index. Made much
// faster than one NewRecordKey() at a time.
QList<QByteArray> NewRecordKeys(qsizetype count);

// A value as it is written between single quotes in SQL text: every single
// quote doubled, so the value can neither end the literal nor change the
// statement.
QString SqlLiteralText(const QString& value);

// A table or column name as SQL text names it: in double quotes, every
// double quote inside doubled.
QString SqlQuotedName(const QString& name);

// Runs a statement to its end on the connection; raises EDatabaseError with
// the engine's message when it fails.
void ExecOrRaise(EngineConnection* db, const QString& statement);

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

// Checks the rows and keys of an open, exclusively opened table and
// rebuilds its keys, holding the database for this program alone meanwhile;
// raises EDatabaseError otherwise, when another program holds the database,
// or when the check finds damage. The space of deleted rows is given back
// by CompactDatabase, for the whole file at once.
void PackTable(TTable& table);

// Compacts the database file in place, keeping data, structure and keys;
// raises EDatabaseError when the engine fails (another program using the
// file, the disk full). Nothing may be open on the connection.
void CompactDatabase(const QString& databaseName);
