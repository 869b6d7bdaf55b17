#pragma once

#include "CsvField.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class EngineConnection;
class TSqlStatement;

// Writes the catalog of a connection into a folder in open forms: one CSV
// file per table (comma, CR LF, UTF-8, a header row of column names), the
// pictures as files in pictures/ named by the figure's key and, for the
// whole catalog, every manual as manuals/<key>.APSH in the form the manual
// window exports.
//
// In the CSV files an empty unquoted field is NULL and "" an empty text. A
// picture, thumbnail or manual column holds the file's path relative to the
// folder, "" for an empty column and nothing for NULL. figures.csv carries
// the manufacturer's and the genre's names beside their keys, the figure's
// row of the collection table (CollectionColumns, empty cells for none)
// and, last, the paths of the figure's additional pictures, each ended by
// CR LF.
class CatalogExport {
public:
    enum class Scope {
        // figures.csv, manufacturers.csv, genres.csv and the pictures.
        Spreadsheets,
        // Also add_pictures.csv, scales.csv and the manuals.
        Everything,
    };

    static constexpr const char* FiguresFile = "figures.csv";
    static constexpr const char* ManufacturersFile = "manufacturers.csv";
    static constexpr const char* GenresFile = "genres.csv";
    static constexpr const char* AddPicturesFile = "add_pictures.csv";
    static constexpr const char* ScalesFile = "scales.csv";
    static constexpr const char* PicturesFolder = "pictures";
    static constexpr const char* ManualsFolder = "manuals";
    // The extra columns of figures.csv.
    static constexpr const char* ProducerNameColumn = "producer_name";
    static constexpr const char* GenreNameColumn = "genre_name";
    static constexpr const char* AddPicturesColumn = "add_pictures";

    // Called after each figure and additional picture.
    using Progress = std::function<void(int done, int total)>;

    CatalogExport(const QString& outFolder, Scope scope,
                  const QString& databaseName = QStringLiteral("ADB"));

    void SetProgress(Progress progress) { progress_ = std::move(progress); }

    // Writes everything; raises EFileError for a file or folder that cannot
    // be written and EDatabaseError for a table that cannot be read.
    void Run();

    // What was written, for a person: a line per CSV file with its rows,
    // then the picture and manual files.
    QStringList SummaryLines() const { return summary_; }

    // The manual window's export form of a stored manual: the scheme with
    // "VERSION" "2" on its root. A manual that already carries it, or that
    // is no scheme text, is kept byte for byte.
    static QByteArray ManualFile(const QByteArray& stored);

private:
    TSqlStatement Prepared(const QString& table, const QString& statement) const;
    TSqlStatement Select(const QString& table, const QString& order) const;
    int Count(const QString& table) const;
    QHash<QString, QString> Names(const QString& table, const QString& key,
                                  const QString& name) const;
    // Figure key -> the cells of its collection row; none for a catalog
    // made before the collection table.
    QHash<QString, QList<CsvField>> CollectionCells() const;
    // Writes one table as it stands into a CSV file; the number of rows.
    int WriteTable(const QString& table, const char* fileName);
    void WriteAddPictures();
    void WriteFigures();
    // A blob column as a file in a folder of the export: the field for the
    // CSV (its path, "" for an empty column, NULL for NULL).
    CsvField WriteBlob(const QVariant& value, const char* folder, const QString& stem,
                       const QString& suffix);
    // A file name in a folder not given out before.
    QString Claim(const QString& folder, const QString& stem, const QString& suffix);
    void Step();

    QString outFolder_;
    Scope scope_;
    QString databaseName_;
    EngineConnection* connection_;
    Progress progress_;
    int done_ = 0;
    int total_ = 0;
    int filesWritten_ = 0;
    int manualsWritten_ = 0;
    QSet<QString> claimed_;
    // Figure key -> the paths of its additional pictures.
    QHash<QString, QByteArray> addPicturePaths_;
    QStringList summary_;
};
