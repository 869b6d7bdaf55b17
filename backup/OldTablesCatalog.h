#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// An archive an older installation made holds its tables (figures.db,
// producers.db, ... with their blob files) where a catalog archive holds
// velmora.db. A restore of such an archive makes the catalog from them in
// its scratch folder, and only that catalog goes on into the data folder.
namespace OldTablesCatalog {

constexpr const char* CatalogFile = "velmora.db";

// Whether the files of an archive (bare names) hold an older version's
// tables and no catalog file.
bool Holds(const QStringList& names);

// Brings the tables among names in folder into a new catalog file there,
// then deletes the archive's files, leaving the catalog alone. Returns the
// catalog file's size; -1 when the tables could not be imported, with the
// reason in fault (lower case, no full stop) and folder as it was.
std::int64_t Make(const QString& folder, const QStringList& names, QString& fault);
// Whether the archive's files in folder give a catalog to restore: empty
// when they hold one that passes CatalogCheck, or an older version's tables
// that importOld agrees to bring into one (names and sizes then tell that
// catalog alone); otherwise why not (lower case, no full stop).
QString Restorable(const QString& folder, QStringList& names, std::vector<std::int64_t>& sizes,
                   const std::function<bool()>& importOld);

} // namespace OldTablesCatalog
