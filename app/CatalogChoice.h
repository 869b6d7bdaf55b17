#pragma once

#include <QString>

// Which catalog the program opens: the file in this computer's data folder
// (an empty server), or a catalog on a database server named by a libpq
// connection string. The choice made in the program is kept in the user's
// settings; a password is never part of what is kept or shown.
class CatalogChoice {
public:
    // The catalog chosen last; empty for the data folder's.
    static QString Stored();
    static void Store(const QString& server);
    // The status bar's line naming the catalog that is open.
    static QString StatusText(const QString& server);
};
