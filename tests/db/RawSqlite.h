#pragma once

// Reaches SQLite itself: tests and benchmarks that set up what the program
// never does (failing functions, statement traces, lock holders, catalogs
// written at full speed) call the engine's C interface on the connection
// the program opened.

#include "SqliteConnection.h"
#include "TDatabase.h"

#include <sqlite3.h>

// The SQLite connection beneath an open database; nullptr while closed.
inline sqlite3* RawSqlite(const TDatabase& database) {
    const auto* connection = dynamic_cast<const SqliteConnection*>(database.Handle());
    return connection ? connection->Raw() : nullptr;
}
