#pragma once

// Reaches SQLite itself: tests and benchmarks that set up what the program
// never does (failing functions, statement traces, lock holders, catalogs
// written at full speed) call the engine's C interface on the connection
// the toolkit's driver opened.

#include "TDatabase.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

// The SQLite connection beneath an open database; nullptr while closed.
inline sqlite3* RawSqlite(const TDatabase& database) {
    const QVariant handle = database.Connection().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}
