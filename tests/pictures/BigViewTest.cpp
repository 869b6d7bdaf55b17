// The full-size viewer: what it returns, the picture at real size, fitted,
// zoomed and scaled for viewing, releasing it, and figures without a usable
// picture.

#include "EPictureError.h"
#include "JpegEncoder.h"
#include "ModalScript.h"
#include "PictureTestSupport.h"
#include "QueryTestFixture.h"
#include "TD_scale_image.h"
#include "TF_big_view.h"
#include "TImageView.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>

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

TEST_F(BigViewTest, LargePictureOpensFittedAndKeysWheelAndDoubleClickChangeTheScale) {
    AddFigure("F3", "Lancer");
    Exec("update figures set picture = ? where figure_id = 'F3'",
         {PictureToJpegBytes(Pattern(4000, 3000))});
    script_.Then([&](QDialog&) {
        QWidget* viewport = view_.ScrollBox1->viewport();
        const QSize fitted = view_.Image1->size();
        EXPECT_TRUE(view_.Zoom().Fitted());
        EXPECT_LE(fitted.width() + 20, viewport->width());
        EXPECT_LE(fitted.height() + 20, viewport->height());
        EXPECT_TRUE(fitted.width() + 21 >= viewport->width() ||
                    fitted.height() + 21 >= viewport->height());
        EXPECT_NEAR(fitted.width() * 3.0 / fitted.height(), 4.0, 0.02);
        EXPECT_EQ(view_.ScrollBox1->horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(view_.Label_hint->text(), "Esc closes");
        EXPECT_EQ(view_.Label_zoom->text(), QString("%1%").arg(view_.Zoom().Percent()));

        // Each step acts on the scale the one before left.
        const struct {
            const char* step;
            std::function<void()> act;
            QSize size;
        } steps[] = {
            {"1", [&] { QTest::keyClick(viewport, Qt::Key_1); }, QSize(4000, 3000)},
            {"-", [&] { QTest::keyClick(viewport, Qt::Key_Minus); }, QSize(3000, 2250)},
            {"+", [&] { QTest::keyClick(viewport, Qt::Key_Plus); }, QSize(4000, 3000)},
            {"keypad +", [&] { QTest::keyClick(viewport, Qt::Key_Plus, Qt::KeypadModifier); },
             QSize(5000, 3750)},
            {"double click", [&] { QTest::mouseDClick(view_.Image1, Qt::LeftButton); }, fitted},
            {"double click", [&] { QTest::mouseDClick(view_.Image1, Qt::LeftButton); },
             QSize(4000, 3000)},
            {"Ctrl+wheel down",
             [&] {
                 QWheelEvent wheel(QPointF(50, 50), viewport->mapToGlobal(QPointF(50, 50)),
                                   QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                                   Qt::NoScrollPhase, false);
                 QApplication::sendEvent(viewport, &wheel);
             },
             QSize(3000, 2250)},
        };
        for (const auto& step : steps) {
            step.act();
            EXPECT_EQ(view_.Image1->size(), step.size) << step.step;
        }
        EXPECT_GT(view_.ScrollBox1->horizontalScrollBar()->maximum(), 0);
        QTest::keyClick(viewport, Qt::Key_Escape);
    });
    EXPECT_EQ(view_.ShowFullPicture("F3"), 0);
    EXPECT_TRUE(script_.Done());
    EXPECT_EQ(view_.Image1->Picture().size(), QSize(1, 1));
}

} // namespace
