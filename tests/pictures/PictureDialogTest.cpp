// The image dialog through its real buttons: what it hands back, turning,
// the catch rectangle and the thumbnail it cuts, the clipboard and files.

#include "BmpWriter.h"
#include "EPictureError.h"
#include "JpegEncoder.h"
#include "ModalScript.h"
#include "PictureGeometry.h"
#include "PictureTestSupport.h"
#include "TCatchShape.h"
#include "TD_scale_image.h"
#include "TF_picture_mgm.h"
#include "TImageView.h"
#include "TJpegPicture.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QScrollArea>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

class PictureDialogTest : public ::testing::Test {
protected:
    PictureDialogTest() { dialog_.ScaleView = &scale_; }

    // Runs the dialog on the objects; inside acts in it, then Ok is pressed
    // (or Cancel).
    bool Edit(TJpegPicture* picture, QImage* thumbnail,
              const std::function<void(TF_picture_mgm&)>& inside, bool ok = true) {
        script_.Then([&, inside, ok](QDialog&) {
            inside(dialog_);
            QTest::mouseClick(ok ? dialog_.btn_ok : dialog_.btn_cancel, Qt::LeftButton);
        });
        const bool changed = dialog_.EditPicture(picture, thumbnail);
        EXPECT_TRUE(script_.Done());
        return changed;
    }

    static TJpegPicture PictureOf(const QImage& bitmap) {
        TJpegPicture picture;
        picture.Assign(bitmap);
        return picture;
    }

    // Answers the file dialog that opens next with a file name.
    void ChooseFile(const QString& fileName) {
        script_.Then([fileName](QDialog& d) {
            auto& files = static_cast<QFileDialog&>(d);
            files.selectFile(fileName);
            static_cast<QDialog&>(files).accept();
        });
    }

    TD_scale_image scale_;
    TF_picture_mgm dialog_;
    ModalScript script_;
};

TEST_F(PictureDialogTest, OkWithoutChangesIsFalseAndCancelKeepsTheCallersObjects) {
    const QImage original = Pattern(40, 30);
    TJpegPicture picture;
    picture.LoadFromBytes(PictureToJpegBytes(original));
    QImage thumbnail = Pattern(123, 123);
    const QImage thumbnailBefore = thumbnail;

    EXPECT_FALSE(Edit(&picture, &thumbnail, [](TF_picture_mgm& d) {
        EXPECT_EQ(d.Image1->Picture().size(), QSize(40, 30));
        EXPECT_EQ(d.Image2->Picture(), Pattern(123, 123));
        EXPECT_EQ(d.ViewScale, 100);
    }));
    // Ok without changes leaves the picture's bytes as they were: nothing
    // is decoded and encoded again.
    const QByteArray handedBack = picture.SaveToBytes();
    EXPECT_EQ(handedBack, PictureToJpegBytes(original));

    EXPECT_FALSE(Edit(
        &picture, &thumbnail,
        [](TF_picture_mgm& d) {
            QTest::mouseClick(d.SB_r_r, Qt::LeftButton);
            EXPECT_TRUE(d.PictureChanged);
        },
        false));
    EXPECT_EQ(picture.SaveToBytes(), handedBack);
    EXPECT_EQ(thumbnail, thumbnailBefore);

    // An empty stored picture cannot be decoded: one pixel is shown, and
    // the picture stays empty.
    TJpegPicture empty;
    EXPECT_FALSE(Edit(&empty, nullptr, [](TF_picture_mgm& d) {
        EXPECT_EQ(d.Image1->Picture().size(), QSize(1, 1));
    }));
    EXPECT_TRUE(empty.Empty());
}

TEST_F(PictureDialogTest, PictureThatCannotBeDecodedIsSaidSoAndNeverWrittenBack) {
    // A good header up to the start of the scan, then garbage with a marker
    // the decoder does not know in it.
    const QByteArray good = PictureToJpegBytes(Pattern(64, 48));
    const qsizetype scan = good.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(scan, 0);
    const qsizetype body = scan + 2 + (static_cast<std::uint8_t>(good[scan + 2]) << 8) +
                           static_cast<std::uint8_t>(good[scan + 3]);
    QByteArray garbage;
    for (int i = 0; i < 400; ++i)
        garbage += static_cast<char>((i * 37 + 11) % 255);
    const QByteArray damaged = good.left(body) + garbage.insert(200, "\xFF\x02");
    TJpegPicture picture;
    picture.LoadFromBytes(damaged);
    ASSERT_EQ(QSize(64, 48), QSize(picture.Width(), picture.Height()));
    ASSERT_THROW(picture.ToBitmap(), EPictureError);
    QImage thumbnail = Pattern(123, 123);

    // Turning the one pixel shown in its place changes nothing.
    script_.Then(ModalScript::Ok);
    EXPECT_FALSE(Edit(&picture, &thumbnail, [](TF_picture_mgm& d) {
        EXPECT_EQ(d.Image1->Picture().size(), QSize(1, 1));
        QTest::mouseClick(d.SB_r_r, Qt::LeftButton);
        EXPECT_FALSE(d.PictureChanged);
    }));
    ASSERT_FALSE(script_.Shown.isEmpty());
    EXPECT_TRUE(script_.Shown.first().contains("The picture cannot be read"))
        << script_.Shown.first().toStdString();
    EXPECT_EQ(picture.SaveToBytes(), damaged);

    // A new thumbnail is handed back; the picture keeps its bytes.
    script_.Then(ModalScript::Ok);
    EXPECT_TRUE(Edit(&picture, &thumbnail, [](TF_picture_mgm& d) {
        QTest::mouseClick(d.SB_make_tn, Qt::LeftButton);
        QTest::mouseClick(d.SB_apply_th, Qt::LeftButton);
    }));
    EXPECT_NE(thumbnail, Pattern(123, 123));
    EXPECT_EQ(picture.SaveToBytes(), damaged);

    // A pasted picture replaces it.
    QApplication::clipboard()->setImage(Pattern(20, 10));
    script_.Then(ModalScript::Ok);
    EXPECT_TRUE(Edit(&picture, nullptr, [&](TF_picture_mgm& d) {
        script_.Then(ModalScript::Yes);
        d.N_paste->trigger();
    }));
    EXPECT_EQ(picture.ToBitmap(), Pattern(20, 10));
}

TEST_F(PictureDialogTest, TurningRightThenLeftGivesBackTheSamePixels) {
    const QImage original = Pattern(300, 200);
    TJpegPicture picture = PictureOf(original);
    EXPECT_TRUE(Edit(&picture, nullptr, [&](TF_picture_mgm& d) {
        QTest::mouseClick(d.SB_r_r, Qt::LeftButton);
        QImage right;
        RotateRight(original, right);
        EXPECT_EQ(d.Image1->Picture(), right);
        EXPECT_EQ(d.Image1->size(), QSize(200, 300));
        d.N_rotate_ccw->trigger();
        EXPECT_EQ(d.Image1->Picture(), original);
    }));
    EXPECT_EQ(picture.ToBitmap(), original);
}

TEST_F(PictureDialogTest, CatchRectangleAtHalfScaleCutsTheRealSizeArea) {
    const QImage original = Pattern(600, 500);
    TJpegPicture picture = PictureOf(original);
    QImage thumbnail;
    EXPECT_TRUE(Edit(&picture, &thumbnail, [&](TF_picture_mgm& d) {
        script_.Then([](QDialog& s) {
            auto& view = static_cast<TD_scale_image&>(s);
            view.TrB1->setValue(50);
            QTest::mouseClick(view.btn_ok, Qt::LeftButton);
        });
        QTest::mouseClick(d.btn_scale, Qt::LeftButton);
        EXPECT_EQ(d.ViewScale, 50);
        EXPECT_EQ(d.Image1->size(), QSize(300, 250));

        d.PopupMenu1Popup();
        EXPECT_FALSE(d.N_grab->isEnabled());
        QTest::mouseClick(d.SB_make_tn, Qt::LeftButton);
        EXPECT_TRUE(d.Shape_catch->isVisible());
        EXPECT_TRUE(d.SB_make_tn->isChecked());
        EXPECT_TRUE(d.SB_apply_th->isEnabled());
        d.PopupMenu1Popup();
        EXPECT_TRUE(d.N_grab->isEnabled());

        d.Shape_catch->move(d.Image1->pos() + QPoint(20, 40));
        d.N_grab->trigger();
        EXPECT_FALSE(d.Shape_catch->isVisible());
        EXPECT_FALSE(d.SB_apply_th->isEnabled());
        // Apply does nothing while it is disabled.
        const QImage cut = d.Image2->Picture();
        d.SB_apply_thClick();
        EXPECT_EQ(d.Image2->Picture(), cut);
    }));
    const QImage expected =
        StretchDraw(CopyArea(original, QRect(40, 80, 246, 246), Qt::white), QSize(123, 123));
    EXPECT_EQ(thumbnail, expected);
}

TEST_F(PictureDialogTest, CatchRectangleDragsWithTheMouseAndStopsAtTheLeftAndTop) {
    TJpegPicture picture = PictureOf(Pattern(200, 200));
    Edit(&picture, nullptr, [](TF_picture_mgm& d) {
        QTest::mouseClick(d.SB_make_tn, Qt::LeftButton);
        TCatchShape* shape = d.Shape_catch;
        const QPoint start = shape->pos();
        QTest::mousePress(shape, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(shape, QPoint(30, 25));
        EXPECT_EQ(shape->pos(), start + QPoint(20, 15));
        QTest::mouseMove(shape, QPoint(-600, 10));
        EXPECT_EQ(shape->x() + shape->width(), 6);
        QTest::mouseMove(shape, QPoint(10, -600));
        EXPECT_EQ(shape->y() + shape->height(), 6);
        QTest::mouseRelease(shape, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_FALSE(d.Dragging);
        // Hanging over the edge, the cut takes white for what lies outside.
        shape->move(d.Image1->x() - 60, d.Image1->y());
        QTest::mouseClick(d.SB_apply_th, Qt::LeftButton);
        EXPECT_EQ(d.Image2->Picture().pixel(0, 60), qRgb(255, 255, 255));
    });
}

TEST_F(PictureDialogTest, ClipboardPastesOnlyPicturesAndCopiesTheWorkingPicture) {
    TJpegPicture picture = PictureOf(Pattern(30, 20));
    QApplication::clipboard()->setText(QStringLiteral("not a picture"));
    EXPECT_FALSE(Edit(&picture, nullptr, [&](TF_picture_mgm& d) {
        script_.Then(ModalScript::Ok);
        QTest::mouseClick(d.btn_paste, Qt::LeftButton);
        EXPECT_EQ(d.Image1->Picture(), Pattern(30, 20));
        EXPECT_FALSE(d.PictureChanged);
    }));
    EXPECT_TRUE(
        script_.Shown.last().endsWith("Sorry, can't paste clipboard content as a picture."));

    const QImage pasted = Pattern(17, 9);
    QApplication::clipboard()->setImage(pasted);
    EXPECT_TRUE(Edit(&picture, nullptr, [&](TF_picture_mgm& d) {
        script_.Then(ModalScript::No);
        d.N_paste->trigger();
        EXPECT_FALSE(d.PictureChanged);
        script_.Then(ModalScript::Yes);
        d.N_paste->trigger();
        EXPECT_EQ(d.Image1->Picture(), pasted);
        EXPECT_EQ(d.ViewScale, 100);
        QTest::mouseClick(d.SB_r_l, Qt::LeftButton);
        // Ctrl+C works from any control of the dialog.
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(d.ScrollBox1->viewport(), Qt::Key_C, Qt::ControlModifier);
    }));
    EXPECT_TRUE(script_.Shown.last().endsWith("Paste from clipboard ?"));
    QImage turned;
    RotateLeft(pasted, turned);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB888), turned);
}

TEST_F(PictureDialogTest, FilesLoadAndExportWithoutMovingTheCurrentFolder) {
    QTemporaryDir files;
    QTemporaryDir working;
    const QString before = QDir::currentPath();
    QDir::setCurrent(working.path());
    const QImage loaded = Pattern(50, 40);
    WriteFile(files.filePath("in.BMP"), BitmapToBmpBytes(loaded));
    WriteFile(files.filePath("in.png"), BitmapToBmpBytes(loaded));
    TJpegPicture picture = PictureOf(Pattern(10, 10));

    EXPECT_TRUE(Edit(&picture, nullptr, [&](TF_picture_mgm& d) {
        ChooseFile(files.filePath("in.BMP"));
        QTest::mouseClick(d.btn_load_from_file, Qt::LeftButton);
        EXPECT_EQ(d.Image1->Picture(), loaded);
        EXPECT_EQ(QDir::currentPath(), QDir(working.path()).canonicalPath());
        ChooseFile(files.filePath("out"));
        d.N_save_jpeg->trigger();
        EXPECT_EQ(QDir::currentPath(), QDir(working.path()).canonicalPath());
    }));
    EXPECT_EQ(picture.ToBitmap(), loaded);
    // The default extension is added; the bytes are the stored form.
    EXPECT_EQ(ReadFile(files.filePath("out.jpg")), PictureToJpegBytes(loaded));

    // A file the loader does not take, or a picture wider than a JPEG file
    // holds, is said so and changes nothing.
    WriteFile(files.filePath("wide.bmp"),
              BmpFile(65501, 1, 24, 0, {}, QByteArray((65501 * 3 + 3) / 4 * 4, '\x40')));
    const QByteArray stored = picture.SaveToBytes();
    EXPECT_FALSE(Edit(&picture, nullptr, [&](TF_picture_mgm& d) {
        for (const QString name : {"in.png", "wide.bmp"}) {
            ChooseFile(files.filePath(name));
            script_.Then(ModalScript::Ok);
            QTest::mouseClick(d.btn_load_from_file, Qt::LeftButton);
            EXPECT_EQ(d.Image1->Picture(), loaded) << name.toStdString();
        }
        EXPECT_FALSE(d.PictureChanged);
    }));
    // The image dialog, then a file dialog and a message for each file.
    EXPECT_TRUE(script_.Shown.at(script_.Shown.size() - 3).contains("in.png"));
    EXPECT_TRUE(script_.Shown.last().contains("65500")) << script_.Shown.last().toStdString();
    EXPECT_EQ(picture.SaveToBytes(), stored);
    QDir::setCurrent(before);
}

TEST_F(PictureDialogTest, NewPictureGetsItsMiddleSquareUnlessAThumbnailIsCut) {
    QTemporaryDir files;
    // The middle square is 246 pixels from row 26: at half scale the catch
    // rectangle covers it exactly.
    const QImage loaded = Pattern(246, 298);
    WriteFile(files.filePath("tall.bmp"), BitmapToBmpBytes(loaded));
    TJpegPicture picture = PictureOf(Pattern(10, 10));
    const auto load = [&](TF_picture_mgm& d) {
        ChooseFile(files.filePath("tall.bmp"));
        QTest::mouseClick(d.btn_load_from_file, Qt::LeftButton);
    };
    const auto cut = [&](TF_picture_mgm& d, int scale, QPoint at) {
        if (scale != 100) {
            script_.Then([scale](QDialog& s) {
                auto& view = static_cast<TD_scale_image&>(s);
                view.TrB1->setValue(scale);
                QTest::mouseClick(view.btn_ok, Qt::LeftButton);
            });
            QTest::mouseClick(d.btn_scale, Qt::LeftButton);
        }
        QTest::mouseClick(d.SB_make_tn, Qt::LeftButton);
        d.Shape_catch->move(d.Image1->pos() + at);
        QTest::mouseClick(d.SB_apply_th, Qt::LeftButton);
    };

    QImage automatic = Pattern(123, 123);
    EXPECT_TRUE(Edit(&picture, &automatic, load));
    QImage byHand;
    EXPECT_TRUE(Edit(&picture, &byHand, [&](TF_picture_mgm& d) {
        load(d);
        cut(d, 50, QPoint(0, 13));
    }));
    EXPECT_EQ(BitmapToBmpBytes(automatic), BitmapToBmpBytes(byHand));

    // A thumbnail cut elsewhere stays what was cut.
    QImage elsewhere;
    EXPECT_TRUE(Edit(&picture, &elsewhere, [&](TF_picture_mgm& d) {
        load(d);
        cut(d, 100, QPoint(20, 40));
    }));
    EXPECT_EQ(elsewhere, CopyArea(loaded, QRect(20, 40, 123, 123), Qt::white));
}

} // namespace
