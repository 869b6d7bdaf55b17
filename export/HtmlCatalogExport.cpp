#include "HtmlCatalogExport.h"

#include "BmpReader.h"
#include "EDatabaseError.h"
#include "EPictureError.h"
#include "FileNameFromName.h"
#include "HtmlPageWriter.h"
#include "HtmlRecordReader.h"
#include "TDatabase.h"
#include "TGenreReader.h"
#include "TSqlStatement.h"

#include <QVariant>

namespace {

TSqlStatement Run(const QString& statement, const QVariantList& values = {}) {
    TSqlStatement query(TDatabase::Connected(QStringLiteral("ADB")).Handle(), statement);
    for (int i = 0; i < values.size(); ++i)
        query.Bind(i + 1, values[i]);
    return query;
}

// The thumbnail's stored BMP bytes, written as they are (browsers show
// BMP); none for no thumbnail or one that is not a bitmap.
QByteArray ThumbnailBytes(const QByteArray& bmp) {
    if (bmp.isEmpty())
        return {};
    try {
        (void)ReadBmp(bmp);
    } catch (const EPictureError&) {
        return {};
    }
    return bmp;
}

} // namespace

HtmlCatalogExport::HtmlCatalogExport(const QString& outFolder, bool useMap)
    : outFolder_(outFolder), imagesFolder_(HtmlPageBuilder::JoinPath(outFolder, ImagesFolder)),
      useMap_(useMap) {
    // The index page keeps its name.
    pageStems_.insert(QStringLiteral("index"));
}

QList<HtmlCatalogExport::Figure>
HtmlCatalogExport::ReadFigures(const std::optional<QString>& onlyId) const {
    QString statement = QStringLiteral(
        "select f.figure_id, f.figure_name, f.scale, p.producer_name, f.figure_dsc, f.genre_id, "
        "g.genre_name from figures f "
        "left outer join producers p on (f.producer_id = p.producer_id) "
        "left outer join genres g on (f.genre_id = g.genre_id) ");
    QVariantList values;
    if (onlyId) {
        statement += QStringLiteral("where f.figure_id = ? ");
        values << *onlyId;
    }
    statement += QStringLiteral("order by f.figure_name, f.figure_id");
    TSqlStatement query = Run(statement, values);
    QList<Figure> figures;
    while (query.Step()) {
        auto text = [&query](int column) { return query.ColumnValue(column).toString(); };
        figures.append({text(0), text(1), text(2), text(3), text(4), text(5), text(6)});
    }
    return figures;
}

QString HtmlCatalogExport::UniqueStem(const QString& name, const QString& fallback,
                                      QSet<QString>& used) {
    const QString base = FileNameFromName(name, fallback);
    QString stem = base;
    for (int n = 2; used.contains(stem); ++n)
        stem = base + QLatin1Char('-') + QString::number(n);
    used.insert(stem);
    return stem;
}

HtmlCatalogExport::Genre& HtmlCatalogExport::GenreOf(const Figure& figure,
                                                     HtmlPageOptions& options) {
    auto found = genres_.find(figure.genreId);
    if (found == genres_.end()) {
        Genre genre{TGenreReader::GenreNameOf(figure.genreId),
                    TGenreReader::GenreYearsText(figure.genreId), QString()};
        found = genres_.insert(figure.genreId, genre);
    }
    Genre& genre = *found;
    if (useMap_ && genre.mapFile.isEmpty()) {
        genre.mapFile = UniqueStem(figure.genreName, QStringLiteral("genre"), imageStems_) +
                        QStringLiteral(".jpg");
        const QString key = figure.genreId;
        options.mapBytes = [key] { return HtmlRecordReader::GenreMapBytes(key); };
        ++mapsWritten_;
    }
    options.mapFile = genre.mapFile;
    return genre;
}

HtmlCatalogExport::Listed HtmlCatalogExport::Export(const Figure& figure) {
    const QString stem = UniqueStem(figure.name, QStringLiteral("figure"), pageStems_);
    HtmlPageOptions options;
    options.pagePath = outFolder_;
    options.pageFile = stem + QStringLiteral(".html");
    options.picturePath = imagesFolder_;
    options.useMap = useMap_;

    HtmlRecord record;
    record.figureName = figure.name;
    record.scale = figure.scale;
    record.producerName = figure.producerName;
    record.description = figure.description;
    const Genre& genre = GenreOf(figure, options);
    record.genreName = genre.name;
    record.genreYears = genre.years;
    // The picture shares the images folder with the maps.
    options.pictureFile = UniqueStem(stem, stem, imageStems_) + QStringLiteral(".jpg");

    QByteArray thumbnail;
    try {
        TSqlStatement pictures =
            Run(QStringLiteral("select picture, picture_th from figures where figure_id = ?"),
                {figure.id});
        if (pictures.Step()) {
            record.picture = pictures.ColumnValue(0).toByteArray();
            thumbnail = pictures.ColumnValue(1).toByteArray();
        }
    } catch (const EDatabaseError&) {
        record.picture.reset();
    }
    builder_.Export(record, options);
    pages_ << options.pageFile;

    Listed listed{figure, options.pageFile, QString()};
    const QByteArray bmp = ThumbnailBytes(thumbnail);
    if (!bmp.isEmpty()) {
        listed.thumbnail = QString::fromLatin1(ImagesFolder) + QLatin1Char('/') +
                           options.pictureFile.chopped(4) + QStringLiteral(".bmp");
        HtmlPageBuilder::WriteFile(HtmlPageBuilder::JoinPath(outFolder_, listed.thumbnail), bmp);
    }
    return listed;
}

bool HtmlCatalogExport::ExportFigure(const QString& figureId) {
    const QList<Figure> figures = ReadFigures(figureId);
    if (figures.isEmpty())
        return false;
    Export(figures.first());
    return true;
}
