// The genre editor's arithmetic without a window: year positions and texts,
// and the marker's hit zones.

#include "TEpochLine.h"
#include "TLocationMarker.h"

#include <gtest/gtest.h>

namespace {

TEST(EpochLineTest, YearToXRoundsHalvesToEvenFromYearZeroAt134) {
    const struct {
        int year;
        int x;
    } cases[] = {{0, 134},   {14, 135},  {15, 136},  {25, 136},   {26, 137},
                 {-15, 132}, {-25, 132}, {-26, 131}, {1500, 284}, {-1200, 14}};
    for (const auto& c : cases)
        EXPECT_EQ(TEpochLine::YearToX(c.year), c.x) << c.year;
    EXPECT_EQ(TEpochLine::XToYear(284), 1500);
    EXPECT_EQ(TEpochLine::XToYear(14), -1200);
}

TEST(EpochLineTest, YearTextBounds) {
    const struct {
        int year;
        const char* text;
    } cases[] = {{-961, "ancient"}, {-960, "960 B.C."}, {-1, "1 B.C."},
                 {0, "0"},          {2060, "2060"},     {2061, "future"}};
    for (const auto& c : cases)
        EXPECT_EQ(TEpochLine::YearText(c.year), c.text) << c.year;
    EXPECT_EQ(TEpochLine::EpochText(-1000, -50), "Epoch:ancient ... 50 B.C.");
}

TEST(EpochLineTest, MarkerHitZonesPreferTheHeightThenTheWidth) {
    using Mode = TLocationMarker::Mode;
    const struct {
        int x, y, w, h;
        Mode zone;
    } cases[] = {
        {20, 30, 40, 30, Mode::ResizeHeight}, {24, 26, 40, 30, Mode::ResizeHeight},
        {25, 30, 40, 30, Mode::Move},         {20, 25, 40, 30, Mode::Move},
        {40, 15, 40, 30, Mode::ResizeWidth},  {36, 19, 40, 30, Mode::ResizeWidth},
        {40, 20, 40, 30, Mode::Move},         {35, 15, 40, 30, Mode::Move},
        {26, 31, 43, 31, Mode::Move},         {3, 6, 6, 6, Mode::ResizeHeight},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TLocationMarker::HitZone(c.x, c.y, c.w, c.h), c.zone)
            << c.x << "," << c.y << " in " << c.w << "x" << c.h;
}

} // namespace
