#include "TFigureCollection.h"

#include "DatabaseStructure.h"
#include "TField.h"
#include "TQuery.h"

#include <QVariant>

#include <cmath>

namespace {

const QString Table = QString::fromLatin1(DatabaseStructure::CollectionTable);

// Money as stored: two decimals.
double Cents(double amount) {
    return std::round(amount * 100.0) / 100.0;
}

QVariant DateValue(const QDate& date) {
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

} // namespace

QStringList TFigureCollection::Statuses() {
    return {"wanted", "unbuilt", "assembled", "primed", "painting", "finished", "sold"};
}

QColor TFigureCollection::StatusColor(const QString& status) {
    static const QColor colours[] = {
        QColor(52, 152, 219),  // wanted: blue
        QColor(149, 165, 166), // unbuilt: grey
        QColor(211, 84, 0),    // assembled: brown
        QColor(44, 62, 80),    // primed: near black
        QColor(241, 196, 15),  // painting: yellow
        QColor(39, 174, 96),   // finished: green
        QColor(192, 57, 43),   // sold: red
    };
    const int index = Statuses().indexOf(status);
    return index < 0 ? QColor() : colours[index];
}

std::optional<TFigureCollection::Values> TFigureCollection::Read(const QString& databaseName,
                                                                 const QString& key) {
    TQuery query(databaseName);
    query.SQL = {"select collection_status, collection_quantity, collection_acquired,",
                 "  collection_price, collection_value, collection_place, collection_note",
                 "from " + Table, "where figure_id = :figure_id"};
    query.SetParam(QStringLiteral("figure_id"), key);
    query.Open();
    if (query.IsEmpty())
        return std::nullopt;
    Values values;
    values.status = TField(query, 0).AsString();
    values.quantity = TField(query, 1).IsNull() ? 1 : TField(query, 1).AsInteger();
    values.acquired = QDate::fromString(TField(query, 2).AsString().left(10), Qt::ISODate);
    values.price = TField(query, 3).AsFloat();
    values.value = TField(query, 4).AsFloat();
    values.place = TField(query, 5).AsString();
    values.note = TField(query, 6).AsString();
    return values;
}

void TFigureCollection::Write(const QString& databaseName, const QString& key,
                              const Values& values) {
    TQuery statement(databaseName);
    const auto bind = [&] {
        statement.SetParam(QStringLiteral("figure_id"), key);
        statement.SetParam(QStringLiteral("status"),
                           values.status.isEmpty() ? QVariant() : QVariant(values.status));
        statement.SetParam(QStringLiteral("quantity"), values.quantity);
        statement.SetParam(QStringLiteral("acquired"), DateValue(values.acquired));
        statement.SetParam(QStringLiteral("price"), Cents(values.price));
        statement.SetParam(QStringLiteral("value"), Cents(values.value));
        statement.SetParam(QStringLiteral("place"), values.place);
        statement.SetParam(QStringLiteral("note"), values.note);
    };
    statement.SQL = {"update " + Table,
                     "set collection_status = :status, collection_quantity = :quantity,",
                     "  collection_acquired = :acquired, collection_price = :price,",
                     "  collection_value = :value, collection_place = :place,",
                     "  collection_note = :note",
                     "where figure_id = :figure_id"};
    bind();
    if (statement.ExecSQL() > 0)
        return;
    statement.SQL = {"insert into " + Table,
                     "  (figure_id, collection_status, collection_quantity, collection_acquired,",
                     "   collection_price, collection_value, collection_place, collection_note)",
                     "values (:figure_id, :status, :quantity, :acquired, :price, :value, :place,",
                     "  :note)"};
    statement.ClearParams();
    bind();
    statement.ExecSQL();
}

QStringList TFigureCollection::Places(const QString& databaseName) {
    TQuery query(databaseName);
    query.SQL = {"select distinct collection_place from " + Table, "where collection_place <> ''",
                 "order by collection_place"};
    query.Open();
    QStringList places;
    for (query.First(); !query.Eof(); query.Next())
        places << TField(query, 0).AsString();
    return places;
}
