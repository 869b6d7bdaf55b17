#pragma once

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

// What a collector keeps about a figure: where it stands, how many there
// are, when it came, what it cost and is worth, where it is stored and a
// note. One row of the collection table under the figure's key; a figure
// without a row has the defaults.
class TFigureCollection {
public:
    struct Values {
        // One of Statuses(), or empty while none was chosen.
        QString status;
        int quantity = 1;
        // Null when not known.
        QDate acquired;
        double price = 0;
        double value = 0;
        QString place;
        QString note;

        bool operator==(const Values& other) const = default;
    };

    // The statuses offered, from wanted to sold.
    static QStringList Statuses();
    // The colour of a status's mark on a figure panel; invalid for an
    // empty or unknown status, which shows no mark.
    static QColor StatusColor(const QString& status);

    // The row of the figure whose key is key; none when it has no row.
    // Raises EDatabaseError when the table cannot be read.
    static std::optional<Values> Read(const QString& databaseName, const QString& key);
    // Writes values as the figure's row, made when it has none; money
    // rounded to two decimals. Raises EDatabaseError when it is not
    // written.
    static void Write(const QString& databaseName, const QString& key, const Values& values);
    // The storage places already used, each once, in order.
    static QStringList Places(const QString& databaseName);
};
