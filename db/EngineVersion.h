#pragma once

#include <QString>

class QSqlDatabase;

// A SQLite library as one side of the program sees it. The program calls
// SQLite itself on the handle of a connection that the toolkit's SQLite
// driver opened, which is only sound when both are one and the same
// library: the same version and the same source.
class EngineVersion {
public:
    QString Text;   // "3.40.1"
    int Number = 0; // 3040001
    QString SourceId;

    // The library the program is linked with.
    static EngineVersion Linked();
    // The library behind the driver, read through an open connection;
    // raises EDatabaseError when it cannot be asked.
    static EngineVersion OfDriver(const QSqlDatabase& connection);

    // "3.40.1" as SQLite numbers its versions (3040001); 0 for a text that
    // is no version.
    static int NumberOf(const QString& text);

    // Empty when driver and linked are the same library; otherwise the
    // message that names both.
    static QString Mismatch(const EngineVersion& driver, const EngineVersion& linked);
};
