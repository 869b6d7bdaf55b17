#include "CollectionColumns.h"

#include "CsvImportMapping.h"
#include "TFigureCollection.h"

#include <QDate>

#include <cmath>

namespace {

constexpr const char* DateFormat = "yyyy-MM-dd";

QString Text(const CsvField& field) {
    return field ? QString::fromUtf8(*field) : QString();
}

CsvField Cell(const QString& text) {
    return text.toUtf8();
}

QString Invalid(int column, const QString& what, const QString& text) {
    return QStringLiteral("%1 is not %2: \"%3\"")
        .arg(CollectionColumns::Names()[column], what, text);
}

// The statuses as an import names them, ignoring case.
QVariant KnownStatus(const QString& text) {
    for (const QString& status : TFigureCollection::Statuses())
        if (status.compare(text, Qt::CaseInsensitive) == 0)
            return status;
    return {};
}

} // namespace

const QStringList& CollectionColumns::Names() {
    static const QStringList names = {
        "collection_status", "collection_quantity", "collection_acquired", "collection_price",
        "collection_value",  "collection_place",    "collection_note"};
    return names;
}

std::optional<double> CollectionColumns::Number(QString text) {
    text = text.trimmed();
    if (!text.contains(QLatin1Char('.')))
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QList<CsvField> CollectionColumns::Cells(const QVariantList& stored) {
    QList<CsvField> cells(Count);
    for (int column = 0; column < Count && column < stored.size(); ++column) {
        const QVariant& value = stored[column];
        if (value.isNull())
            continue;
        bool ok = false;
        if (column == Quantity) {
            const qlonglong quantity = value.toLongLong(&ok);
            cells[column] = Cell(ok ? QString::number(quantity) : value.toString());
        } else if (column == Acquired) {
            const QDate date = value.typeId() == QMetaType::QDate
                                   ? value.toDate()
                                   : QDate::fromString(value.toString().left(10), Qt::ISODate);
            cells[column] =
                Cell(date.isValid() ? date.toString(QLatin1String(DateFormat)) : value.toString());
        } else if (column == Price || column == Value) {
            const double amount = value.toDouble(&ok);
            cells[column] = Cell(ok ? QString::number(amount, 'f', 2) : value.toString());
        } else {
            cells[column] = Cell(value.toString());
        }
    }
    return cells;
}

CollectionColumns::Row CollectionColumns::Read(const QList<CsvField>& cells) {
    Row row;
    bool empty = true;
    for (const CsvField& cell : cells)
        empty = empty && (!cell || cell->trimmed().isEmpty());
    if (empty)
        return row;

    row.values = QVariantList(Count);
    for (int column = 0; column < Count; ++column) {
        const CsvField cell = cells.value(column);
        const QString text = Text(cell);
        const QString trimmed = text.trimmed();
        QVariant& value = row.values[column];
        if (column == Place || column == Note) {
            const int width = CsvImportMapping::FieldWidth(Names()[column]);
            if (text.toUcs4().size() > width) {
                row.error = QStringLiteral("%1 is longer than %2 characters")
                                .arg(Names()[column])
                                .arg(width);
                break;
            }
            if (cell)
                value = text;
            continue;
        }
        if (trimmed.isEmpty()) {
            if (column == Quantity)
                value = 1;
            continue;
        }
        if (column == Status) {
            value = KnownStatus(trimmed);
            if (value.isNull())
                row.error = Invalid(column,
                                    QStringLiteral("one of ") +
                                        TFigureCollection::Statuses().join(QStringLiteral(", ")),
                                    text);
        } else if (column == Quantity) {
            bool ok = false;
            value = trimmed.toInt(&ok);
            if (!ok)
                row.error = Invalid(column, QStringLiteral("a whole number"), text);
        } else if (column == Acquired) {
            const QDate date = QDate::fromString(trimmed, QLatin1String(DateFormat));
            if (date.isValid())
                value = date.toString(QLatin1String(DateFormat));
            else
                row.error = Invalid(column, QStringLiteral("a date (YYYY-MM-DD)"), text);
        } else if (const std::optional<double> amount = Number(trimmed);
                   amount && std::isfinite(*amount)) {
            // Money is kept to the cent.
            value = std::round(*amount * 100.0) / 100.0;
        } else {
            row.error = Invalid(column, QStringLiteral("a number"), text);
        }
        if (!row.error.isEmpty())
            break;
    }
    if (!row.error.isEmpty())
        row.values.clear();
    return row;
}
