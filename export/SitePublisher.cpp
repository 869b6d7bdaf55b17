#include "SitePublisher.h"

#include "BmpReader.h"
#include "EPictureError.h"
#include "HtmlPageBuilder.h"
#include "HtmlRecordReader.h"
#include "JpegEncoder.h"
#include "SiteAssets.h"
#include "SiteFileWriter.h"
#include "SiteIndex.h"
#include "SiteManifest.h"
#include "SiteNames.h"
#include "SitePages.h"
#include "TDatabase.h"
#include "TGenreReader.h"
#include "TSqlStatement.h"

#include <QBuffer>
#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QScopeGuard>

#include <optional>

namespace {

TSqlStatement Run(const QString& statement, const QString& key = {}) {
    TSqlStatement query(TDatabase::Connected(QStringLiteral("ADB")).Handle(), statement);
    if (!key.isNull())
        query.Bind(1, key);
    return query;
}

QString Text(const TSqlStatement& query, int column) {
    return query.ColumnValue(column).toString();
}

// The size a JPEG file declares, read from its header alone; empty for
// bytes that are no JPEG picture.
QSize PictureSize(const QByteArray& bytes) {
    if (!bytes.startsWith("\xFF\xD8"))
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    return reader.size();
}

// Thumbnails shown at most this wide or high when the stored one is
// missing and the picture stands in.
constexpr int GallerySide = 160;

QSize Fitted(QSize size) {
    return size.width() > GallerySide || size.height() > GallerySide
               ? size.scaled(GallerySide, GallerySide, Qt::KeepAspectRatio)
               : size;
}

} // namespace

SitePublisher::SitePublisher(QString outFolder, Options options)
    : outFolder_(std::move(outFolder)), options_(std::move(options)) {}

SitePublisher::~SitePublisher() = default;

void SitePublisher::Read() {
    for (TSqlStatement genres =
             Run(QStringLiteral("select genre_id, genre_name, TB, TE from genres"));
         genres.Step();) {
        const QString key = Text(genres, 0);
        genres_.append({key, Text(genres, 1), TGenreReader::GenreYearsText(key),
                        genres.ColumnValue(2).toInt(), genres.ColumnValue(3).toInt()});
    }
    for (TSqlStatement makers = Run(
             QStringLiteral("select producer_id, producer_name, producer_website from producers"));
         makers.Step();)
        makers_.append({Text(makers, 0), Text(makers, 1), Text(makers, 2)});
    // Sculptor and painter are stored after the pictures: reading them here
    // would walk every picture's pages, so they come with the pictures.
    for (TSqlStatement figures =
             Run(QStringLiteral("select figure_id, figure_name, genre_id, producer_id, scale, "
                                "type_ci, figure_dsc from figures"));
         figures.Step();) {
        SiteFigure figure;
        figure.key = Text(figures, 0);
        figure.name = Text(figures, 1);
        figure.genreKey = Text(figures, 2);
        figure.makerKey = Text(figures, 3);
        figure.scale = Text(figures, 4);
        figure.type = Text(figures, 5);
        figure.description = Text(figures, 6);
        figures_.append(figure);
    }
}

void SitePublisher::Write(const QString& path, const QByteArray& bytes) {
    writer_->Add(path, bytes);
    written_ << path;
}

QSize SitePublisher::WriteThumbnail(const QString& path, const QByteArray& stored) {
    if (stored.isEmpty())
        return {};
    QImage image;
    try {
        image = ReadBmp(stored);
    } catch (const EPictureError&) {
        return {};
    }
    if (image.isNull())
        return {};
    Write(path, PictureToJpegBytes(image));
    return image.size();
}

bool SitePublisher::Step() {
    ++done_;
    return !options_.progress || options_.progress(done_, total_);
}

bool SitePublisher::Publish() {
    const QStringList earlier = SiteManifest::Read(outFolder_);
    Read();
    // The first file in this thread: a folder that takes no files is told
    // before anything else is made.
    const QString stylesheet = QStringLiteral("site.css");
    HtmlPageBuilder::WriteFile(QDir(outFolder_).filePath(stylesheet), SiteAssets::Stylesheet());
    written_ << stylesheet;
    writer_ = std::make_unique<SiteFileWriter>(outFolder_);
    const auto noWriter = qScopeGuard([this] { writer_.reset(); });
    SiteNames figureNames(QStringLiteral("figure"));
    for (const SiteFigure& figure : figures_)
        figureNames.Add(figure.key, figure.name);
    SiteNames genreNames(QStringLiteral("genre"));
    for (const SiteGenre& genre : genres_)
        genreNames.Add(genre.key, genre.name);
    SiteNames makerNames(QStringLiteral("maker"));
    for (const SiteMaker& maker : makers_)
        makerNames.Add(maker.key, maker.name);

    // Without a language of its own the system's "C" sorts as English does.
    const QLocale locale =
        options_.locale.language() == QLocale::C ? QLocale(QLocale::English) : options_.locale;
    const SiteIndex index(figures_, genres_, makers_, locale);
    const QString lang = locale.bcp47Name();
    const SitePages pages(figures_, index,
                          {lang, options_.title, options_.introduction,
                           [&figureNames](const QString& key) { return figureNames.Stem(key); },
                           [&genreNames](const QString& key) { return genreNames.Stem(key); },
                           [&makerNames](const QString& key) { return makerNames.Stem(key); }});
    const QList<SiteGroup> byMaker = index.ByMaker();
    total_ = static_cast<int>(figures_.size() + index.ByGenre().size() + byMaker.size()) + 1;
    done_ = 0;

    auto stopped = [&] {
        writer_->Finish();
        SiteManifest::Write(outFolder_, earlier + written_);
        return false;
    };

    Write(QStringLiteral("site.js"), SiteAssets::Script());

    // Thumbnails first: every page that lists a figure shows its size.
    QHash<QString, SiteImage> maps;
    auto mapOf = [&](const QString& genreKey) -> std::optional<SiteImage> {
        const SiteGenre* genre = index.Genre(genreKey);
        if (!options_.useMap || !genre)
            return std::nullopt;
        auto found = maps.find(genreKey);
        if (found == maps.end()) {
            const QString file =
                QStringLiteral("maps/") + genreNames.Stem(genreKey) + QStringLiteral(".jpg");
            const QByteArray bytes = HtmlRecordReader::GenreMapBytes(genreKey);
            Write(file, bytes);
            ++mapsWritten_;
            found = maps.insert(
                genreKey,
                {file, PictureSize(bytes), QStringLiteral("Map: %1").arg(genre->name), {}});
        }
        return *found;
    };

    TSqlStatement stored = Run(QStringLiteral("select picture, picture_th, sculpter_name, "
                                              "painter_name from figures where figure_id = ?"));
    TSqlStatement more = Run(QStringLiteral("select add_picture_id, add_picture_name, picture, "
                                            "picture_th from add_pictures where figure_id = ? "
                                            "order by add_picture_id"));
    const QList<int>& order = index.Order();
    for (int place = 0; place < order.size(); ++place) {
        SiteFigure& figure = figures_[order[place]];
        const QString stem = figureNames.Stem(figure.key);
        std::optional<SiteImage> picture;
        {
            stored.Reset();
            stored.Bind(1, figure.key);
            if (stored.Step()) {
                const QByteArrayView view = stored.ColumnView(0);
                const QByteArray bytes(view.data(), view.size());
                const QSize size = PictureSize(bytes);
                if (size.isValid()) {
                    const QString file =
                        QStringLiteral("pictures/") + stem + QStringLiteral(".jpg");
                    Write(file, bytes);
                    picture = SiteImage{file, size, figure.name, file};
                }
                figure.thumbnail =
                    WriteThumbnail(SitePages::Thumbnail(stem), stored.ColumnValue(1).toByteArray());
                figure.sculptor = Text(stored, 2);
                figure.painter = Text(stored, 3);
            }
            stored.Reset();
        }
        QList<SiteImage> gallery;
        more.Reset();
        more.Bind(1, figure.key);
        while (more.Step()) {
            const QByteArray bytes = more.ColumnValue(2).toByteArray();
            const QSize size = PictureSize(bytes);
            if (!size.isValid())
                continue;
            const QString moreStem =
                stem + QLatin1Char('-') + SiteNames::KeyPiece(Text(more, 0), SiteNames::ShortPiece);
            const QString file = QStringLiteral("pictures/") + moreStem + QStringLiteral(".jpg");
            Write(file, bytes);
            QString alt = Text(more, 1).trimmed();
            if (alt.isEmpty())
                alt = QStringLiteral("%1, picture %2").arg(figure.name).arg(gallery.size() + 2);
            const QString thumbnail = SitePages::Thumbnail(moreStem);
            const QSize thumbnailSize =
                WriteThumbnail(thumbnail, more.ColumnValue(3).toByteArray());
            gallery.append(thumbnailSize.isValid() ? SiteImage{thumbnail, thumbnailSize, alt, file}
                                                   : SiteImage{file, Fitted(size), alt, file});
        }
        Write(SitePages::FigurePage(stem),
              pages.Figure(place, picture, gallery, mapOf(figure.genreKey)));
        ++figurePages_;
        if (!Step())
            return stopped();
    }
    for (const SiteGroup& group : index.ByGenre()) {
        if (!group.key.isEmpty())
            Write(SitePages::GenrePage(genreNames.Stem(group.key)),
                  pages.Genre(group, mapOf(group.key)));
        if (!Step())
            return stopped();
    }
    for (const SiteGroup& group : byMaker) {
        if (!group.key.isEmpty())
            Write(SitePages::MakerPage(makerNames.Stem(group.key)), pages.Maker(group));
        if (!Step())
            return stopped();
    }
    Write(QStringLiteral("by-maker.html"), pages.ByMaker());
    Write(QStringLiteral("by-scale.html"), pages.ByScale());
    Write(QStringLiteral("site-index.js"), index.Script());
    Write(QString::fromLatin1(IndexFile), pages.Index());
    writer_->Finish();
    removed_ = SiteManifest::RemoveStale(outFolder_, earlier, written_);
    SiteManifest::Write(outFolder_, written_);
    Step();
    return true;
}
