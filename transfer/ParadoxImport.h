#pragma once

#include <QString>
#include <QStringList>

// Brings the tables an older installation kept in its data folder
// (figures, add_pictures, producers, genres, scales: a table file .db, its
// blob file .mb and maybe an index .px, names in any letter case) into the
// catalog of a named connection, in one transaction: all of it or nothing.
//
// Values move as they are, keys and relations included; memo text is
// decoded from the table's code page. Pictures are recognised by their
// content (JPEG or BMP); the 8-byte header some graphic blobs carry before
// the picture is dropped, and a blob that is no picture is kept as it is
// and reported. A figure or additional picture whose JPEG picture came
// without a thumbnail gets the automatic one; stored thumbnails stay.
class ParadoxImport {
public:
    // The catalog's tables whose table file the folder holds, in import
    // order.
    static QStringList TablesIn(const QString& folder);
    // Whether names (bare file names) hold a table file of the catalog.
    static bool HoldsTables(const QStringList& names);

    explicit ParadoxImport(const QString& databaseName = QStringLiteral("ADB"));

    // False, with Error(), when nothing was imported: no tables in the
    // folder, a damaged table, a failure of the catalog.
    bool Run(const QString& folder);

    QString Error() const { return error_; }
    int Added() const { return added_; }
    // A line per table read, and what was skipped or noted, indented.
    QStringList SummaryLines() const { return lines_; }

    // The picture bytes of a graphic blob: without the graphic header when
    // it has one.
    static QByteArray PictureBytes(const QByteArray& blob);
    static bool IsPicture(const QByteArray& bytes);

private:
    QString databaseName_;
    QString error_;
    QStringList lines_;
    int added_ = 0;
};
