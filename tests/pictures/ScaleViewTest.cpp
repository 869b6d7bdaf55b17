// The scale view: shown sizes with their rounding, the apply button, and
// resampling through the image dialog.

#include "ModalScript.h"
#include "PictureGeometry.h"
#include "PictureTestSupport.h"
#include "TD_scale_image.h"
#include "TF_picture_mgm.h"
#include "TImageView.h"
#include "TJpegPicture.h"

#include <QLabel>
#include <QSlider>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

TEST(ScaleViewTest, RoundingGoesHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(50 * 301, 100), 150);
    EXPECT_EQ(RoundHalfEven(50 * 201, 100), 100);
    EXPECT_EQ(RoundHalfEven(5, 2), 2);
    EXPECT_EQ(RoundHalfEven(7, 2), 4);
    EXPECT_EQ(RoundHalfEven(-1, 2), 0);
    EXPECT_EQ(RoundHalfEven(-3, 2), -2);
    EXPECT_EQ(RoundHalfEven(-7, 3), -2);
    EXPECT_EQ(RoundHalfEven(12300, 160), 77);
}

TEST(ScaleViewTest, TrackBarShowsTheViewAtItsPercentage) {
    TD_scale_image scale;
    TImageView view;
    view.SetPicture(Pattern(301, 201));
    ModalScript script;
    script.Then([&](QDialog&) {
        EXPECT_FALSE(scale.btn_apply->isHidden());
        EXPECT_FALSE(scale.btn_apply->isEnabled());
        scale.TrB1->setValue(50);
        EXPECT_EQ(view.size(), QSize(150, 100));
        EXPECT_TRUE(view.Stretch());
        EXPECT_EQ(scale.Label_percent->text(), "50");
        EXPECT_TRUE(scale.btn_apply->isEnabled());
        scale.TrB1->setValue(100);
        EXPECT_FALSE(scale.btn_apply->isEnabled());
        EXPECT_EQ(view.size(), QSize(301, 201));
        scale.TrB1->setValue(160);
        QTest::mouseClick(scale.btn_reset, Qt::LeftButton);
        EXPECT_EQ(view.size(), QSize(301, 201));
        EXPECT_EQ(scale.TrB1->value(), 100);
        scale.TrB1->setValue(10);
        QTest::mouseClick(scale.btn_ok, Qt::LeftButton);
    });
    scale.ShowScaleView(&view, true);
    EXPECT_EQ(view.size(), QSize(30, 20));
    EXPECT_EQ(scale.CurrentScale(), 10);
    EXPECT_EQ(view.Picture().size(), QSize(301, 201));

    // Cancel returns the view to real size; viewing only hides the button.
    script.Then([&](QDialog&) {
        EXPECT_TRUE(scale.btn_apply->isHidden());
        scale.TrB1->setValue(40);
        QTest::keyClick(&scale, Qt::Key_Escape);
    });
    scale.ShowScaleView(&view, false);
    EXPECT_EQ(view.size(), QSize(301, 201));
    EXPECT_FALSE(view.Stretch());
    EXPECT_TRUE(script.Done());

    scale.Label_percent->setText("abc");
    EXPECT_EQ(scale.CurrentScale(), 1);
    // Without a view nothing is shown (the script has no dialog to answer).
    scale.ShowScaleView(nullptr, true);
}

TEST(ScaleViewTest, ResamplingMakesTheShownSizeTheRealSize) {
    TD_scale_image scale;
    TF_picture_mgm dialog;
    dialog.ScaleView = &scale;
    TJpegPicture picture;
    picture.Assign(Pattern(500, 300));
    ModalScript script;
    const auto atForty = [&](bool yes) {
        return [&, yes](QDialog&) {
            scale.TrB1->setValue(40);
            script.Then(yes ? ModalScript::Yes : ModalScript::No);
            QTest::mouseClick(scale.btn_apply, Qt::LeftButton);
            if (!yes)
                QTest::mouseClick(scale.btn_cancel, Qt::LeftButton);
        };
    };
    script.Then([&](QDialog&) {
        script.Then(atForty(false));
        QTest::mouseClick(dialog.btn_scale, Qt::LeftButton);
        EXPECT_EQ(dialog.Image1->Picture().size(), QSize(500, 300));
        EXPECT_FALSE(dialog.PictureChanged);
        script.Then(atForty(true));
        QTest::mouseClick(dialog.btn_scale, Qt::LeftButton);
        EXPECT_EQ(dialog.Image1->Picture().size(), QSize(200, 120));
        EXPECT_EQ(dialog.Image1->size(), QSize(200, 120));
        EXPECT_EQ(scale.Label_percent->text(), "100");
        EXPECT_EQ(dialog.ViewScale, 100);
        QTest::mouseClick(dialog.btn_ok, Qt::LeftButton);
    });
    EXPECT_TRUE(dialog.EditPicture(&picture, nullptr));
    EXPECT_EQ(picture.ToBitmap(), StretchDraw(Pattern(500, 300), QSize(200, 120)));
    EXPECT_EQ(script.Shown.filter("Do you reall want to set real image sice 200 x 120?").size(), 2);
    EXPECT_TRUE(script.Done());
}

} // namespace
