// The full-size viewer: what it returns, the picture at real size and
// scaled for viewing, releasing it, and figures without a usable picture.

#include "EPictureError.h"
#include "JpegEncoder.h"
#include "ModalScript.h"
#include "PictureTestSupport.h"
#include "QueryTestFixture.h"
#include "TD_scale_image.h"
#include "TF_big_view.h"
#include "TImageView.h"

#include <QScrollArea>
#include <QSlider>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

class BigViewTest : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        view_.ScaleView = &scale_;
        AddFigure("F1", "Hussar");
        Exec("update figures set picture = ? where figure_id = 'F1'",
             {PictureToJpegBytes(Pattern(64, 48))});
    }

    TD_scale_image scale_;
    TF_big_view view_;
    ModalScript script_;
};

TEST_F(BigViewTest, EditRecordGivesOneAndEscapeGivesZero) {
    script_.Then([&](QDialog&) {
        EXPECT_TRUE(view_.windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(view_.windowState().testFlag(Qt::WindowMaximized));
        EXPECT_EQ(view_.Image1->size(), QSize(64, 48));
        EXPECT_EQ(view_.Image1->pos(), QPoint(10, 10));
        view_.N_edit_record->trigger();
    });
    EXPECT_EQ(view_.ShowFullPicture("F1"), 1);
    // Only one pixel is kept between uses.
    EXPECT_EQ(view_.Image1->Picture().size(), QSize(1, 1));

    script_.Then([&](QDialog&) {
        script_.Then([&](QDialog&) {
            EXPECT_TRUE(scale_.btn_apply->isHidden());
            scale_.TrB1->setValue(50);
            QTest::mouseClick(scale_.btn_ok, Qt::LeftButton);
        });
        view_.N_scale_view->trigger();
        EXPECT_EQ(view_.Image1->size(), QSize(32, 24));
        EXPECT_EQ(view_.Image1->Picture().size(), QSize(64, 48));
        QTest::keyClick(view_.ScrollBox1->viewport(), Qt::Key_Escape);
    });
    EXPECT_EQ(view_.ShowFullPicture("F1"), 0);
    EXPECT_TRUE(script_.Done());
}

TEST_F(BigViewTest, FigureWithoutAUsablePictureFailsBeforeTheWindowShows) {
    // No dialog may open here: the script has nothing to answer with.
    AddFigure("F2", "Knight");
    EXPECT_THROW(view_.ShowFullPicture("F2"), EPictureError);
    Exec("update figures set picture = ? where figure_id = 'F2'",
         {QByteArray("\xFF\xD8\xFF\xE0 broken")});
    EXPECT_THROW(view_.ShowFullPicture("F2"), EPictureError);
    EXPECT_EQ(view_.Image1->Picture().size(), QSize(1, 1));
}

} // namespace
