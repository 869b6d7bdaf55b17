#pragma once

#include <QString>

// The version of the database engine library the program runs.
class EngineVersion {
public:
    QString Text;   // "3.40.1"
    int Number = 0; // 3040001
    QString SourceId;

    // The library the program is linked with.
    static EngineVersion Linked();

    // "3.40.1" as SQLite numbers its versions (3040001); 0 for a text that
    // is no version.
    static int NumberOf(const QString& text);
};
