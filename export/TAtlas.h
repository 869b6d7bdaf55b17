#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <vector>

class EngineConnection;
class QPainter;

// One genre as the atlas shows it: its epoch, its place on the world map in
// map coordinates, and how many of its figures there are and are finished.
struct TAtlasGenre {
    QString key;
    QString name;
    int yearBegin = 0;
    int yearEnd = 0;
    QRect place;
    bool roundRect = false;
    qint64 figures = 0;
    qint64 finished = 0;
};

// The atlas of the catalog's genres, drawn at any size: the genre editor's
// world map with a marker per genre at its place, its area in proportion
// to the genre's figures and its colour from red to green as their
// finished share grows; below it the genre editor's time line with a bar
// per genre over its epoch, as high as the genre has figures. Answers
// which genre lies at a point and which epochs overlap a span of years.
class TAtlas {
public:
    // The epoch or place a genre lacks is the genre editor's default.
    // Raises EDatabaseError when the catalog cannot be read.
    static std::vector<TAtlasGenre> ReadGenres(EngineConnection* db);

    explicit TAtlas(std::vector<TAtlasGenre> genres = {});

    const std::vector<TAtlasGenre>& Genres() const { return genres_; }
    // Places map, markers, time line and bars in an area of this size.
    void Layout(const QSizeF& size);
    const QSizeF& Size() const { return size_; }

    QRectF MapArea() const { return map_; }
    QRectF LineArea() const { return line_; }
    // Where a genre's marker and its bar lie; empty without figures.
    QRectF Marker(int genre) const { return markers_[genre]; }
    QRectF Bar(int genre) const { return bars_[genre]; }
    // Red for no finished figure, green when all are; grey without figures.
    QColor MarkerColour(int genre) const;

    // The genre whose marker or bar holds the point, the smallest where
    // several do; -1 for none.
    int GenreAt(const QPointF& point) const;
    // The year at a horizontal position of the time line.
    double YearAt(double x) const;
    double XOfYear(double year) const;
    // The genres whose epoch shares a year with the span, in either order.
    std::vector<int> GenresOverlapping(int firstYear, int lastYear) const;

    // "name\nyears\nN figures, M finished" for a tool tip.
    QString Describe(int genre) const;

    // The whole atlas at the laid-out size; highlighted genres get their
    // place on the map hatched and a dark outline.
    void Draw(QPainter& painter, const std::vector<int>& highlighted = {}) const;

private:
    double MapScale() const;
    // The map, the time line's arrow and its years: what every drawing at
    // this size shares.
    void DrawGround(QPainter& painter) const;

    std::vector<TAtlasGenre> genres_;
    // The genres from the most figures down: the order they are drawn in,
    // so that smaller markers and bars lie on top.
    std::vector<int> drawOrder_;
    qint64 mostFigures_ = 0;
    QImage mapPicture_;
    // The ground drawn once at the laid-out size, for drawing on pictures
    // and windows; drawings (SVG) draw it anew, as lines.
    QImage ground_;
    QSizeF size_;
    QRectF map_;
    QRectF line_;
    QRectF arrow_;
    std::vector<QRectF> markers_;
    std::vector<QRectF> bars_;
};
