#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// The first statement of a text as the program writes it, with named
// parameters (":name", the same name being one parameter however often it
// appears) and positional ones ("?"), rewritten with the numbered
// parameters of the PostgreSQL server ($1, $2, ...). Quoted text and
// identifiers, dollar quotes, comments and "::" casts are left as they are.
class PgSqlText {
public:
    static PgSqlText FirstStatement(QByteArrayView utf8);

    // The statement with numbered parameters, without its ';'.
    QByteArray Text;
    // The name of each parameter in number order, without its ':'; empty for
    // a positional one.
    QStringList Names;
    // How many bytes of the input the statement took, its ';' included.
    qsizetype Used = 0;
    // Nothing but blanks and comments.
    bool Empty = true;
};
