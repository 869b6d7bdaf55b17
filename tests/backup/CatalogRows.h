#pragma once

#include "DatabaseStructure.h"
#include "EngineConnection.h"
#include "EngineSql.h"
#include "TZunPigger.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>
#include <QStringList>

#include <memory>

// Catalogs with a few rows of every kind of column, and their rows read back
// in a form that compares across engines.
namespace catalogrows {

inline void MakeTables(EngineConnection& db) {
    TZunPigger root;
    DatabaseStructure::Build(root);
    DatabaseStructure::Check(root, db, {});
}

// A figure with a picture of pictureBytes random bytes (zeros among them),
// its producer, genre and collection row; name tells the rows apart.
inline QString AddFigure(EngineConnection& db, const QString& name, int pictureBytes = 200000) {
    QByteArray picture(pictureBytes, '\0');
    for (int i = 0; i < pictureBytes; i += 3)
        picture[i] = static_cast<char>(QRandomGenerator::global()->generate());
    const QString id = name + QStringLiteral("-id");
    QString error =
        RunSql(&db,
               QStringLiteral("insert into figures (figure_id, figure_name, genre_id, "
                              "figure_dsc, picture, prc_kit) values (?, ?, ?, ?, ?, ?)"),
               {id, name, id, QStringLiteral("Ünïcode memo\nline"), picture, 12.5});
    error += RunSql(&db,
                    QStringLiteral("insert into producers (producer_id, producer_name, "
                                   "insert_time) values (?, ?, ?)"),
                    {id, name, QStringLiteral("2024-05-01")});
    error += RunSql(&db,
                    QStringLiteral("insert into genres (genre_id, genre_name, RX, TE) values "
                                   "(?, ?, ?, ?)"),
                    {id, name, 7, -1200});
    error += RunSql(&db,
                    QStringLiteral("insert into figure_collection (figure_id, collection_quantity, "
                                   "collection_price) values (?, ?, ?)"),
                    {id, 3, 9.75});
    return error;
}

// Every table's rows in key order, a value per column: numbers as numbers,
// bytes as their digest, NULL as "NULL".
inline QStringList Rows(EngineConnection& db) {
    TZunPigger root;
    DatabaseStructure::Build(root);
    QStringList rows;
    for (int t = 0; t < root.ChildCount(); ++t) {
        const TZunPigger& table = *root.Child(t);
        const QString name = QString::fromStdString(table.GetAttribute("name"));
        const QString key = QString::fromStdString(table.GetAttribute("primary_key"));
        for (const QVariantList& row :
             SqlRows(&db, QStringLiteral("select * from %1 order by %2").arg(name, key))) {
            QStringList values{name};
            for (const QVariant& value : row) {
                bool number = false;
                const double asNumber = value.toString().toDouble(&number);
                if (value.isNull())
                    values << QStringLiteral("NULL");
                else if (value.typeId() == QMetaType::QByteArray)
                    values << QString::fromLatin1(
                        QCryptographicHash::hash(value.toByteArray(), QCryptographicHash::Sha1)
                            .toHex());
                else
                    values << (number ? QString::number(asNumber) : value.toString());
            }
            rows << values.join(QLatin1Char('|'));
        }
    }
    return rows;
}

// The catalog file of a data folder, opened read-write; both made when
// missing.
inline std::unique_ptr<EngineConnection> OpenFolder(const QString& folder) {
    QDir().mkpath(folder);
    QString error;
    return EngineConnection::OpenFile(folder + QStringLiteral("/velmora.db"),
                                      EngineConnection::OpenMode::ReadWriteCreate, &error);
}

} // namespace catalogrows
