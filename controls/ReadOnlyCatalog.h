#pragma once

#include <QString>
#include <QStringList>

// A catalog whose rows the user's role may only read: the commands that
// would change them say so when they start, instead of failing when they
// write.
class ReadOnlyCatalog {
public:
    // "This catalog is read-only for you".
    static QString Message();
    // Whether the connection of that name may not change the rows of every
    // one of tables. A connection that is not open is not judged here.
    static bool Applies(const QString& databaseName, const QStringList& tables);
    // Applies, after showing Message in the program's message dialog.
    static bool Tell(const QString& databaseName, const QStringList& tables);
};
