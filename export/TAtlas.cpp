#include "TAtlas.h"

#include "EDatabaseError.h"
#include "TEpochLine.h"
#include "THatchShape.h"
#include "TLocationMarker.h"
#include "TSqlStatement.h"
#include "TTimeLinePicture.h"
#include "TWorldMap.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Margin = 8;
// The time line's share of the height, and the largest marker's radius in
// map pixels.
constexpr double LineShare = 0.3;
constexpr double LargestRadius = TWorldMap::Height / 8.0;
// Years shown under the time line.
constexpr int LabelledYears[] = {-500, 0, 500, 1000, 1500, 2000};

int IntegerOr(const QVariant& stored, int fallback) {
    bool ok = false;
    const int number = stored.toInt(&ok);
    return !stored.isNull() && ok ? number : fallback;
}

} // namespace

std::vector<TAtlasGenre> TAtlas::ReadGenres(EngineConnection* db) {
    // Every genre, with or without figures, and its counts in one pass. A
    // catalog the structure check has not upgraded yet has no collection
    // table: none of its figures is finished.
    const auto select = [db](bool collection) {
        // The figures are counted per genre first, then joined to the
        // genres: one pass over the figures, whatever the number of genres.
        return TSqlStatement(
            db,
            QStringLiteral("select g.genre_id, g.genre_name, g.TB, g.TE, g.RX, g.RY, g.RW, g.RH, "
                           "g.location_shape, coalesce(n.figures, 0), coalesce(n.finished, 0) "
                           "from genres g left outer join ("
                           " select f.genre_id, count(*) as figures, %1 as finished"
                           " from figures f %2"
                           " group by f.genre_id) n on (n.genre_id = g.genre_id) "
                           "order by g.genre_name, g.genre_id")
                .arg(collection ? QStringLiteral("sum(case when c.collection_status = "
                                                 "'finished' then 1 else 0 end)")
                                : QStringLiteral("0"),
                     collection ? QStringLiteral("left outer join figure_collection c on "
                                                 "(c.figure_id = f.figure_id)")
                                : QString()));
    };
    TSqlStatement statement;
    try {
        statement = select(true);
    } catch (const EDatabaseError&) {
        statement = select(false);
    }
    const TEpochLine epoch;
    const TLocationMarker marker;
    std::vector<TAtlasGenre> genres;
    while (statement.Step()) {
        TAtlasGenre genre;
        genre.key = statement.ColumnValue(0).toString();
        genre.name = statement.ColumnValue(1).toString();
        genre.yearBegin = IntegerOr(statement.ColumnValue(2), epoch.YearBegin);
        genre.yearEnd = IntegerOr(statement.ColumnValue(3), epoch.YearEnd);
        // The stored place is in the editor's client coordinates.
        genre.place =
            QRect(IntegerOr(statement.ColumnValue(4), marker.Left) - TLocationMarker::MapLeft,
                  IntegerOr(statement.ColumnValue(5), marker.Top) - TLocationMarker::MapTop,
                  IntegerOr(statement.ColumnValue(6), marker.Width),
                  IntegerOr(statement.ColumnValue(7), marker.Height));
        genre.roundRect = statement.ColumnValue(8).toString() == QLatin1String("RR");
        genre.figures = statement.ColumnValue(9).toLongLong();
        genre.finished = statement.ColumnValue(10).toLongLong();
        genres.push_back(genre);
    }
    return genres;
}

TAtlas::TAtlas(std::vector<TAtlasGenre> genres)
    : genres_(std::move(genres)),
      // Drawn on a 32-bit copy, which the painter scales fastest.
      mapPicture_(TWorldMap::Picture().convertToFormat(QImage::Format_RGB32)) {
    for (int i = 0; i < static_cast<int>(genres_.size()); ++i) {
        drawOrder_.push_back(i);
        mostFigures_ = std::max(mostFigures_, genres_[i].figures);
    }
    std::stable_sort(drawOrder_.begin(), drawOrder_.end(),
                     [this](int a, int b) { return genres_[a].figures > genres_[b].figures; });
    Layout(QSizeF(TWorldMap::Width + 2 * Margin, TWorldMap::Height / (1 - LineShare)));
}

double TAtlas::MapScale() const {
    return map_.width() / TWorldMap::Width;
}

void TAtlas::Layout(const QSizeF& size) {
    size_ = size;
    const double lineHeight = std::max(0.0, size.height() * LineShare - Margin);
    const double width = std::max(0.0, size.width() - 2 * Margin);
    const double mapRoom = std::max(0.0, size.height() - lineHeight - 3 * Margin);
    const double scale = std::min(width / TWorldMap::Width, mapRoom / TWorldMap::Height);
    map_ = QRectF(0, Margin, TWorldMap::Width * scale, TWorldMap::Height * scale);
    map_.moveLeft((size.width() - map_.width()) / 2);
    line_ = QRectF(Margin, size.height() - Margin - lineHeight, width, lineHeight);
    // The arrow above a row of year labels; bars stand on its middle.
    const double labels = std::min(16.0, lineHeight * 0.2);
    const double arrowHeight = lineHeight * 0.3;
    arrow_ =
        QRectF(line_.left(), line_.bottom() - labels - arrowHeight, line_.width(), arrowHeight);
    const double baseline = arrow_.center().y();
    const double tallest = baseline - line_.top();

    markers_.assign(genres_.size(), QRectF());
    bars_.assign(genres_.size(), QRectF());
    for (size_t i = 0; i < genres_.size(); ++i) {
        const TAtlasGenre& genre = genres_[i];
        if (genre.figures <= 0 || mostFigures_ <= 0)
            continue;
        const double share = static_cast<double>(genre.figures) / mostFigures_;
        // The marker's area, not its radius, follows the figures.
        const double radius = LargestRadius * scale * std::sqrt(share);
        const QPointF centre =
            map_.topLeft() + QPointF(genre.place.x() + genre.place.width() / 2.0,
                                     genre.place.y() + genre.place.height() / 2.0) *
                                 scale;
        markers_[i] = QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        const int first = std::clamp(std::min(genre.yearBegin, genre.yearEnd),
                                     TEpochLine::FirstYear, TEpochLine::LastYear);
        const int last = std::clamp(std::max(genre.yearBegin, genre.yearEnd), TEpochLine::FirstYear,
                                    TEpochLine::LastYear);
        const double left = XOfYear(first);
        // At least a pixel wide, so that a short epoch shows.
        const double right = std::max(XOfYear(last), left + 1);
        const double height = tallest * share;
        bars_[i] = QRectF(left, baseline - height, right - left, height);
    }
    // Redrawn only when the size changed.
    const QSize pixels = size.toSize();
    if (ground_.size() != pixels) {
        ground_ = QImage();
        if (!pixels.isEmpty()) {
            ground_ = QImage(pixels, QImage::Format_RGB32);
            QPainter painter(&ground_);
            DrawGround(painter);
        }
    }
}

double TAtlas::XOfYear(double year) const {
    return line_.left() + (year - TEpochLine::FirstYear) * line_.width() /
                              (TEpochLine::LastYear - TEpochLine::FirstYear);
}

double TAtlas::YearAt(double x) const {
    if (line_.width() <= 0)
        return TEpochLine::FirstYear;
    return TEpochLine::FirstYear +
           (x - line_.left()) * (TEpochLine::LastYear - TEpochLine::FirstYear) / line_.width();
}

QColor TAtlas::MarkerColour(int genre) const {
    const TAtlasGenre& g = genres_[genre];
    if (g.figures <= 0)
        return QColor(160, 160, 160, 200);
    const double finished = std::clamp(static_cast<double>(g.finished) / g.figures, 0.0, 1.0);
    // Hue from red (0) to green (1/3).
    return QColor::fromHsvF(static_cast<float>(finished / 3), 0.8f, 0.85f, 0.8f);
}

int TAtlas::GenreAt(const QPointF& point) const {
    int found = -1;
    double smallest = 0;
    const auto consider = [&](int genre, const QRectF& area, bool ellipse) {
        if (area.isEmpty() || !area.contains(point))
            return;
        if (ellipse) {
            const double dx = (point.x() - area.center().x()) / (area.width() / 2);
            const double dy = (point.y() - area.center().y()) / (area.height() / 2);
            if (dx * dx + dy * dy > 1)
                return;
        }
        const double size = area.width() * area.height();
        if (found < 0 || size < smallest) {
            found = genre;
            smallest = size;
        }
    };
    for (int i = 0; i < static_cast<int>(genres_.size()); ++i) {
        consider(i, markers_[i], true);
        consider(i, bars_[i], false);
    }
    return found;
}

std::vector<int> TAtlas::GenresOverlapping(int firstYear, int lastYear) const {
    if (firstYear > lastYear)
        std::swap(firstYear, lastYear);
    std::vector<int> found;
    for (int i = 0; i < static_cast<int>(genres_.size()); ++i) {
        const TAtlasGenre& genre = genres_[i];
        if (std::min(genre.yearBegin, genre.yearEnd) <= lastYear &&
            std::max(genre.yearBegin, genre.yearEnd) >= firstYear)
            found.push_back(i);
    }
    return found;
}

QString TAtlas::Describe(int genre) const {
    const TAtlasGenre& g = genres_[genre];
    return QStringLiteral("%1\n%2 - %3\n%4 figures, %5 finished")
        .arg(g.name, TEpochLine::YearText(g.yearBegin), TEpochLine::YearText(g.yearEnd))
        .arg(g.figures)
        .arg(g.finished);
}

void TAtlas::DrawGround(QPainter& painter) const {
    painter.save();
    painter.fillRect(QRectF(QPointF(0, 0), size_), Qt::white);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(map_, mapPicture_);
    TTimeLinePicture::Draw(painter, arrow_);
    QFont font = painter.font();
    font.setPixelSize(std::max(6, static_cast<int>(std::min(12.0, line_.height() * 0.15))));
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const int year : LabelledYears) {
        const QRectF label(XOfYear(year) - 50, arrow_.bottom(), 100,
                           line_.bottom() - arrow_.bottom());
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, TEpochLine::YearText(year));
    }
    painter.restore();
}

void TAtlas::Draw(QPainter& painter, const std::vector<int>& highlighted) const {
    painter.save();
    const QPaintEngine* engine = painter.paintEngine();
    if (engine && engine->type() == QPaintEngine::Raster && !ground_.isNull())
        painter.drawImage(QPointF(0, 0), ground_);
    else
        DrawGround(painter);

    const double scale = MapScale();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(60, 60, 60), 1);
    const QPen marked(QColor(0, 40, 140), 3);
    for (const int i : highlighted) {
        // The place as the genre editor shows it.
        const QRect& place = genres_[i].place;
        painter.save();
        painter.translate(map_.topLeft());
        painter.scale(scale, scale);
        THatchShape::Draw(
            painter,
            genres_[i].roundRect ? THatchShape::Shape::RoundRect : THatchShape::Shape::Ellipse,
            place.left(), place.top(), place.left() + place.width(), place.top() + place.height());
        painter.restore();
    }
    std::vector<bool> isMarked(genres_.size(), false);
    for (const int i : highlighted)
        isMarked[i] = true;
    for (const int i : drawOrder_) {
        if (markers_[i].isEmpty())
            continue;
        painter.setPen(isMarked[i] ? marked : outline);
        painter.setBrush(MarkerColour(i));
        painter.drawRect(bars_[i]);
        painter.drawEllipse(markers_[i]);
    }
    painter.restore();
}
