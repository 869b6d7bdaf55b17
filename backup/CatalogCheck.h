#pragma once

#include <QString>
#include <QStringList>

// Whether the files a restore is about to put into the data folder hold the
// catalog: the program's database file (velmora.db) among them, one that
// SQLite opens and reads, whose quick check answers "ok" and which has
// every table of the built-in structure description (db/DatabaseStructure)
// that catalogs have always had.
// The check runs on a copy of the file, with the journal files among names
// beside it, made in a scratch folder inside folder and removed again; the
// copy is opened read-write, so that a journal left by a writer that
// stopped part way is rolled back as it will be when the catalog is used.
// The files themselves are never changed.
namespace CatalogCheck {

// Empty when folder holds the catalog under one of names; otherwise why
// not, in words for the user (lower case, no full stop).
QString Problem(const QString& folder, const QStringList& names);

} // namespace CatalogCheck
