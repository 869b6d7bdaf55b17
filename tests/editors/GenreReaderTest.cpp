// The genre read operations of the HTML export, against a real table.

#include "QueryTestFixture.h"
#include "TGenreReader.h"
#include "TJpegPicture.h"
#include "TWorldMap.h"

namespace {

class GenreReaderTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Exec("insert into genres values ('R', 'Rome', 170, 90, 50, 50, -44, 2100, 'RR'), "
             "('E', 'Egypt', 170, 90, 50, 50, -1000, 14, null)");
    }

    static bool Black(const QImage& map, int x, int y) { return map.pixel(x, y) == qRgb(0, 0, 0); }
};

TEST_P(GenreReaderTest, NameAndYearsOfAGenreAndOfNone) {
    EXPECT_EQ(TGenreReader::GenreNameOf("R"), "Rome");
    EXPECT_EQ(TGenreReader::GenreYearsText("R"), "44 B.C. - future");
    EXPECT_EQ(TGenreReader::GenreYearsText("E"), "ancient - 14");
    EXPECT_EQ(TGenreReader::GenreNameOf(""), "");
    EXPECT_EQ(TGenreReader::GenreYearsText("missing"), "0 - 0");
}

// The editor's defaults: the epoch 1100 - 1500 and a 29 x 29 ellipse at
// (168, 112).
TEST_P(GenreReaderTest, AGenreWithoutYearsOrPlaceReadsWithTheEditorsDefaults) {
    Exec("insert into genres values ('N', 'Nowhere', null, null, null, null, null, null, null), "
         "('D', 'Default', 168, 112, 29, 29, 1100, 1500, null)");
    EXPECT_EQ(TGenreReader::GenreYearsText("N"), "1100 - 1500");
    EXPECT_EQ(TGenreReader::GenreMapPicture("N")->ToBitmap(),
              TGenreReader::GenreMapPicture("D")->ToBitmap());
}

TEST_P(GenreReaderTest, MapPictureHasTheHatchedLocationWithinItsRectangle) {
    const QImage plain = TWorldMap::Picture();
    ASSERT_EQ(plain.size(), QSize(355, 184)) << "the map comes from the program's resources";
    EXPECT_EQ(plain.format(), QImage::Format_RGB888);
    EXPECT_EQ(plain.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_NE(plain.pixel(180, 183), qRgb(255, 255, 255)) << "Antarctica";
    EXPECT_EQ(TGenreReader::GenreMapPicture("missing")->ToBitmap(), plain);

    for (const char* key : {"R", "E"}) {
        const std::unique_ptr<TJpegPicture> picture = TGenreReader::GenreMapPicture(key);
        EXPECT_TRUE(picture->SaveToBytes().startsWith("\xFF\xD8"));
        const QImage map = picture->ToBitmap();
        // The outline spans x 156..205 and y 34..83.
        for (const auto& [inside, outside] : {std::pair{QPoint(181, 34), QPoint(181, 33)},
                                              {QPoint(181, 83), QPoint(181, 84)},
                                              {QPoint(156, 59), QPoint(155, 59)},
                                              {QPoint(205, 59), QPoint(206, 59)}}) {
            EXPECT_TRUE(Black(map, inside.x(), inside.y())) << key;
            EXPECT_EQ(map.pixel(outside), plain.pixel(outside)) << key;
        }
        EXPECT_FALSE(Black(map, 156, 34)) << "rounded corner";
        int black = 0;
        for (int y = 40; y < 78; ++y)
            black += Black(map, 181, y);
        EXPECT_GT(black, 2) << "hatched";
        EXPECT_LT(black, 20) << "the map shows between the lines";
        EXPECT_EQ(map.copy(0, 0, 150, 184), plain.copy(0, 0, 150, 184)) << "nothing else drawn";
    }
    const QImage round = TGenreReader::GenreMapPicture("R")->ToBitmap();
    const QImage ellipse = TGenreReader::GenreMapPicture("E")->ToBitmap();
    EXPECT_TRUE(Black(round, 170, 34)) << "the rounded rectangle's top edge";
    EXPECT_FALSE(Black(ellipse, 170, 34)) << "lies above the ellipse";
}

} // namespace

VELMORA_ON_EVERY_ENGINE(GenreReaderTest);
