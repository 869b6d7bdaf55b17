#include "TGenreReader.h"

#include "TEpochLine.h"
#include "TField.h"
#include "TJpegPicture.h"
#include "TLocationMarker.h"
#include "TQuery.h"
#include "TWorldMap.h"

#include <exception>

namespace {

// One genre row as the export reads it; no row reads as 0 and empty.
struct GenreRow {
    QString name;
    int tb = 0;
    int te = 0;
    int rx = 0;
    int ry = 0;
    int rw = 0;
    int rh = 0;
    QString shape;
};

GenreRow ReadGenre(const QString& key) {
    // The query closes when it goes out of scope, also on an error.
    TQuery query(QStringLiteral("ADB"));
    query.SQL = {QStringLiteral("select * from genres"), QStringLiteral("where genre_id= :_id")};
    query.SetParam(QStringLiteral("_id"), key);
    query.Open();
    GenreRow row;
    if (!query.IsEmpty()) {
        const TEpochLine epoch;
        const TLocationMarker marker;
        row.name = query.FieldByName(QStringLiteral("genre_name")).AsString();
        row.tb = TGenreReader::IntegerOr(query, QStringLiteral("TB"), epoch.YearBegin);
        row.te = TGenreReader::IntegerOr(query, QStringLiteral("TE"), epoch.YearEnd);
        row.rx = TGenreReader::IntegerOr(query, QStringLiteral("RX"), marker.Left);
        row.ry = TGenreReader::IntegerOr(query, QStringLiteral("RY"), marker.Top);
        row.rw = TGenreReader::IntegerOr(query, QStringLiteral("RW"), marker.Width);
        row.rh = TGenreReader::IntegerOr(query, QStringLiteral("RH"), marker.Height);
        row.shape = query.FieldByName(QStringLiteral("location_shape")).AsString();
    }
    query.Close();
    return row;
}

} // namespace

int TGenreReader::IntegerOr(TQuery& record, const QString& column, int fallback) {
    try {
        const QVariant stored = record.FieldByName(column).AsVariant();
        bool ok = false;
        const int number = stored.toInt(&ok);
        return !stored.isNull() && ok ? number : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

QString TGenreReader::GenreNameOf(const QString& key) {
    return ReadGenre(key).name;
}

QString TGenreReader::GenreYearsText(const QString& key) {
    const GenreRow row = ReadGenre(key);
    return TEpochLine::YearText(row.tb) + QStringLiteral(" - ") + TEpochLine::YearText(row.te);
}

std::unique_ptr<TJpegPicture> TGenreReader::GenreMapPicture(const QString& key) {
    const GenreRow row = ReadGenre(key);
    // The stored place is in the editor's client coordinates.
    const int x1 = row.rx - TLocationMarker::MapLeft;
    const int y1 = row.ry - TLocationMarker::MapTop;
    auto picture = std::make_unique<TJpegPicture>();
    picture->Assign(TWorldMap::WithLocation(x1, y1, x1 + row.rw, y1 + row.rh,
                                            row.shape == QLatin1String("RR")));
    return picture;
}
