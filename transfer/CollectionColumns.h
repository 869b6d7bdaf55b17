#pragma once

#include "CsvField.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

// The collection columns of figures.csv and of a spreadsheet brought in: a
// figure's row of the collection table as cells of a file, and cells of a
// file as the row to store. Files hold the date as YYYY-MM-DD and money with
// two decimals after a '.'; a figure without a row has empty cells, and
// empty cells make no row.
class CollectionColumns {
public:
    enum Column { Status, Quantity, Acquired, Price, Value, Place, Note, Count };

    // The columns by the table's own names, in the order of Column.
    static const QStringList& Names();

    // The cells of a stored row, its values in the order of Column; an
    // empty list (no row) gives empty cells.
    static QList<CsvField> Cells(const QVariantList& stored);

    // What cells (in the order of Column, no value for a column the file
    // lacks) write: the values in the order of Column, none when every cell
    // is empty; or why a value cannot be stored. An empty quantity is 1.
    struct Row {
        QVariantList values;
        QString error;
    };
    static Row Read(const QList<CsvField>& cells);

    // A number as spreadsheets write it, its decimals after a '.', or after
    // a ',' when there is no '.'.
    static std::optional<double> Number(QString text);
};
