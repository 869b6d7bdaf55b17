#pragma once

#include <QString>
#include <QStringList>

// Whether the files a restore is about to put into the data folder hold the
// catalog: the program's database file (velmora.db) among them, one that
// SQLite opens and reads, whose quick check answers "ok" and which has
// every table of the built-in structure description (db/DatabaseStructure).
// The file is opened read-only and never changed.
namespace CatalogCheck {

// Empty when folder holds the catalog under one of names; otherwise why
// not, in words for the user (lower case, no full stop).
QString Problem(const QString& folder, const QStringList& names);

} // namespace CatalogCheck
