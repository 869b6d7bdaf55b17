// The atlas of a hand-made catalog: marker sizes and colours, time-line
// bars, hit testing, and velmora-tool atlas as a process.

#include "../catalog/CatalogTestFixture.h"
#include "TAtlas.h"
#include "TEpochLine.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>

namespace {

class AtlasTest : public CatalogTestFixture {
protected:
    void SetUp() override {
        CatalogTestFixture::SetUp();
        // Rome: 2 figures, 1 finished; Gaul: 8, all finished; Egypt: 4, none.
        Batch([this] {
            AddGenreAt("R", "Rome", -100, 200, 100, 100);
            AddGenreAt("G", "Gaul", -50, 50, 40, 80);
            AddGenreAt("E", "Egypt", -1000, -30, 200, 150);
            int figure = 0;
            const auto add = [&](const char* genre, int count, int finished) {
                for (int i = 0; i < count; ++i) {
                    const QString key = QString("F%1").arg(++figure);
                    AddFigure(key, key, {{"genre_id", genre}});
                    Exec("insert into figure_collection (figure_id, collection_status) "
                         "values (?, ?)",
                         {key, i < finished ? "finished" : "primed"});
                }
            };
            add("R", 2, 1);
            add("G", 8, 8);
            add("E", 4, 0);
        });
        atlas_ = TAtlas(TAtlas::ReadGenres(database_.Handle()));
        atlas_.Layout(QSizeF(1600, 900));
    }

    // A genre whose place's top-left corner lies at (x, y) of the map.
    void AddGenreAt(const QString& id, const QString& name, int tb, int te, int x, int y) {
        Exec("insert into genres (genre_id, genre_name, TB, TE, RX, RY, RW, RH) "
             "values (?, ?, ?, ?, ?, ?, 20, 10)",
             {id, name, tb, te, x + 14, y + 56});
    }

    int Index(const QString& key) const {
        for (int i = 0; i < static_cast<int>(atlas_.Genres().size()); ++i)
            if (atlas_.Genres()[i].key == key)
                return i;
        return -1;
    }

    TAtlas atlas_;
};

TEST_F(AtlasTest, MarkersAndBarsFollowTheFiguresOfEachGenre) {
    const QRectF map = atlas_.MapArea();
    const double scale = map.width() / 355;
    const QRectF largest = atlas_.Marker(Index("G"));
    const double tallest = atlas_.Bar(Index("G")).height();
    struct Case {
        const char* key;
        qint64 figures;
        qint64 finished;
        QPointF place;
        int tb;
        int te;
        int hue;
    };
    const Case cases[] = {{"R", 2, 1, {110, 105}, -100, 200, 60},
                          {"G", 8, 8, {50, 85}, -50, 50, 120},
                          {"E", 4, 0, {210, 155}, -1000, -30, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const int i = Index(c.key);
        ASSERT_GE(i, 0);
        EXPECT_EQ(atlas_.Genres()[i].figures, c.figures);
        EXPECT_EQ(atlas_.Genres()[i].finished, c.finished);
        const QRectF marker = atlas_.Marker(i);
        // The area, not the radius, in proportion to the figures.
        EXPECT_NEAR(marker.width() * marker.height() / (largest.width() * largest.height()),
                    c.figures / 8.0, 1e-9);
        EXPECT_NEAR(marker.center().x(), map.left() + c.place.x() * scale, 1e-6);
        EXPECT_NEAR(marker.center().y(), map.top() + c.place.y() * scale, 1e-6);
        EXPECT_EQ(atlas_.MarkerColour(i).hue(), c.hue);

        const QRectF bar = atlas_.Bar(i);
        EXPECT_NEAR(bar.height() / tallest, c.figures / 8.0, 1e-9);
        EXPECT_NEAR(bar.left(), atlas_.XOfYear(c.tb), 1e-6);
        EXPECT_NEAR(bar.right(), atlas_.XOfYear(c.te), 1e-6);
        EXPECT_NEAR(bar.bottom(), atlas_.Bar(Index("G")).bottom(), 1e-9);
    }
    // The time line spans the genre editor's years.
    EXPECT_NEAR(atlas_.XOfYear(TEpochLine::FirstYear), atlas_.LineArea().left(), 1e-9);
    EXPECT_NEAR(atlas_.XOfYear(TEpochLine::LastYear), atlas_.LineArea().right(), 1e-9);
    EXPECT_GT(atlas_.LineArea().top(), map.bottom());
}

TEST_F(AtlasTest, FindsTheGenreAtAPointAndTheEpochsOverASpan) {
    // Rome's bar lies over Gaul's and is smaller; only Rome's reaches 200.
    const QRectF gaul = atlas_.Bar(Index("G"));
    const QPointF bothBars(atlas_.XOfYear(0), atlas_.Bar(Index("R")).bottom() - 1);
    const QPointF gaulOnly(atlas_.XOfYear(0), gaul.top() + 1);
    EXPECT_EQ(atlas_.GenreAt(atlas_.Marker(Index("E")).center()), Index("E"));
    EXPECT_EQ(atlas_.GenreAt(bothBars), Index("R"));
    EXPECT_EQ(atlas_.GenreAt(gaulOnly), Index("G"));
    EXPECT_EQ(atlas_.GenreAt(atlas_.Marker(Index("E")).topLeft()), -1);
    EXPECT_EQ(atlas_.GenreAt(QPointF(1, 1)), -1);

    struct Span {
        int first;
        int last;
        std::vector<QString> keys;
    };
    const Span spans[] = {{-2000, -1500, {}},
                          {-40, -30, {"E", "G", "R"}},
                          {-29, 60, {"G", "R"}},
                          {400, 100, {"R"}},
                          {301, 1000, {}}};
    for (const Span& span : spans) {
        std::vector<QString> found;
        for (const int i : atlas_.GenresOverlapping(span.first, span.last))
            found.push_back(atlas_.Genres()[i].key);
        EXPECT_EQ(found, span.keys) << span.first << " to " << span.last;
    }
    EXPECT_NEAR(atlas_.YearAt(atlas_.XOfYear(1234)), 1234, 1e-6);
}

TEST_F(AtlasTest, ACatalogWithoutCollectionTableHasNoFinishedFigure) {
    Exec("drop table figure_collection");
    const TAtlas older(TAtlas::ReadGenres(database_.Handle()));
    ASSERT_EQ(older.Genres().size(), 3u);
    for (const TAtlasGenre& genre : older.Genres())
        EXPECT_EQ(genre.finished, 0) << genre.key.toStdString();
    EXPECT_EQ(older.Genres()[1].figures, 8);
}

class AtlasToolTest : public CatalogTestFixture {
protected:
    int Tool(const QString& arguments) {
        const int status =
            std::system(QString("'%1' atlas %2 >/dev/null 2>'%3'")
                            .arg(VELMORA_TOOL_PATH, arguments, folder_.filePath("stderr"))
                            .toLocal8Bit());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(AtlasToolTest, WritesAPngAndAnSvgOfTheSizeAsked) {
    Exec("insert into genres (genre_id, genre_name, TB, TE, RX, RY, RW, RH) "
         "values ('G', 'Rome', 1, 120, 170, 90, 50, 50)");
    AddFigure("A", "Legionary", {{"genre_id", "G"}});
    const QString png = folder_.filePath("atlas.png");
    const QString svg = folder_.filePath("atlas.svg");

    ASSERT_EQ(Tool(QString("'%1' '%2' --size 640x360").arg(folder_.path(), png)), 0);
    EXPECT_EQ(QImage(png).size(), QSize(640, 360));
    ASSERT_EQ(Tool(QString("'%1' '%2' --size 320x200").arg(folder_.path(), svg)), 0);
    QFile drawing(svg);
    ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
    const QByteArray text = drawing.readAll();
    EXPECT_TRUE(text.contains("viewBox=\"0 0 320 200\"")) << text.left(400).toStdString();

    EXPECT_EQ(Tool(QString("'%1' '%2' --size 0x10").arg(folder_.path(), png)), 64);
    EXPECT_EQ(Tool(QString("'%1' '%2'").arg(folder_.path(), folder_.filePath("atlas.jpg"))), 64);
    EXPECT_EQ(Tool(QString("'%1/none' '%2'").arg(folder_.path(), png)), 1);
    EXPECT_EQ(Tool(QString("'%1' '%2/none/atlas.png'").arg(folder_.path(), folder_.path())), 2);
}

} // namespace
