// The viewer's scale: fitting, real size and the zoom steps with their
// limits, without a window.

#include "ViewZoom.h"

#include <gtest/gtest.h>

namespace {

TEST(ViewZoomTest, FitFactorKeepsTheAspectAndNeverEnlarges) {
    const struct {
        QSize picture, area;
        double factor;
    } cases[] = {
        {{4000, 3000}, {1000, 1000}, 0.25}, // width decides
        {{3000, 4000}, {1000, 1000}, 0.25}, // height decides
        {{640, 480}, {1920, 1080}, 1.0},    // smaller: real size
        {{4000, 3000}, {0, 0}, 1.0},        // no area yet
        {{1000, 500}, {500, 500}, 0.5},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ViewZoom::FitFactor(c.picture, c.area), c.factor)
            << c.picture.width() << "x" << c.picture.height();
}

TEST(ViewZoomTest, StepsFromAnyScaleAndStopsAtTheLimits) {
    ViewZoom zoom;
    zoom.SetPicture({4000, 3000});
    zoom.SetArea({1200, 1000});
    EXPECT_TRUE(zoom.Fitted());
    EXPECT_EQ(zoom.ScaledSize(), QSize(1200, 900));
    zoom.ZoomIn(); // 30% lies between the steps 25% and 33%
    EXPECT_EQ(zoom.Percent(), 33);
    EXPECT_FALSE(zoom.Fitted());
    zoom.ZoomOut();
    zoom.ZoomOut();
    EXPECT_EQ(zoom.Percent(), 20);
    for (int i = 0; i < 30; ++i)
        zoom.ZoomIn();
    EXPECT_EQ(zoom.Percent(), 800);
    for (int i = 0; i < 30; ++i)
        zoom.ZoomOut();
    EXPECT_EQ(zoom.Percent(), 5);
}

TEST(ViewZoomTest, AHugePictureZoomsOutToItsFittedScale) {
    ViewZoom zoom;
    zoom.SetPicture({40000, 30000});
    zoom.SetArea({800, 600});
    zoom.RealSize();
    for (int i = 0; i < 30; ++i)
        zoom.ZoomOut();
    EXPECT_EQ(zoom.ScaledSize(), QSize(800, 600));
}

TEST(ViewZoomTest, FittedFollowsTheAreaAndTogglesWithRealSize) {
    ViewZoom zoom;
    zoom.SetPicture({4000, 3000});
    zoom.SetArea({1000, 1000});
    zoom.SetArea({2000, 2000});
    EXPECT_DOUBLE_EQ(zoom.Factor(), 0.5);
    zoom.ToggleFitAndRealSize();
    EXPECT_DOUBLE_EQ(zoom.Factor(), 1.0);
    zoom.SetArea({1000, 1000}); // real size stays real size
    EXPECT_DOUBLE_EQ(zoom.Factor(), 1.0);
    zoom.ToggleFitAndRealSize();
    EXPECT_TRUE(zoom.Fitted());
    EXPECT_DOUBLE_EQ(zoom.Factor(), 0.25);
}

} // namespace
