#pragma once

#include <QString>

// A database server's connection string as a person may read it: in the
// status bar, in a message, in the settings kept.
class ConnectionText {
public:
    // The string without its password, in either form ("password=..." or
    // a URI's "user:password@").
    static QString WithoutPassword(const QString& conninfo);
};
