// The additional pictures of a figure, hosted in a plain window: buttons,
// the cache that reaches the table only when applied, the image dialog.

#include "AutoThumbnail.h"
#include "BmpWriter.h"
#include "JpegEncoder.h"
#include "ModalScript.h"
#include "PictureTestSupport.h"
#include "QueryTestFixture.h"
#include "TD_scale_image.h"
#include "TF_picture_mgm.h"
#include "TImageView.h"
#include "TO_pictures.h"
#include "TRecordGrid.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

using namespace picturetest;

namespace {

class PictureListTest : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        Exec("create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
             "figure_id char(32), picture_th blob(1,5), picture blob(1,5), "
             "primary key (add_picture_id))");
        AddFigure("F1", "Hussar");
        AddFigure("F2", "Knight");
        dialog_.ScaleView = &scale_;
        list_ = new TO_pictures(&host_);
        list_->PictureDialog = &dialog_;
        host_.resize(500, 300);
        list_->setGeometry(host_.rect());
        host_.show();
    }

    void Open(const QString& figure) {
        list_->KeyField = "add_picture_id";
        list_->NameField = "add_picture_name";
        list_->CloseList();
        list_->Q1.SetParam("FID", figure);
        list_->OpenList();
    }

    int Stored(const QString& figure) {
        return Scalar("select count(*) from add_pictures where figure_id = '" + figure + "'")
            .toInt();
    }

    QWidget host_;
    TO_pictures* list_ = nullptr;
    TD_scale_image scale_;
    TF_picture_mgm dialog_;
    ModalScript script_;
};

TEST_F(PictureListTest, NewPictureStaysInTheCacheUntilApplied) {
    Open("F1");
    EXPECT_EQ(list_->CGrid1->ColCount(), 2);
    EXPECT_EQ(list_->RowHeight(), 125);
    EXPECT_TRUE(list_->Q1.IsEmpty());
    EXPECT_FALSE(list_->btn_edit->isEnabled());
    EXPECT_FALSE(list_->btn_delete->isEnabled());

    // "New " opens the image dialog at once; cancelling it keeps the row.
    script_.Then([&](QDialog&) { QTest::mouseClick(dialog_.btn_cancel, Qt::LeftButton); });
    QTest::mouseClick(list_->btn_new, Qt::LeftButton);
    EXPECT_TRUE(script_.Done());
    ASSERT_EQ(list_->Q1.RecordCount(), 1);
    EXPECT_EQ(list_->FieldValue("figure_id"), "F1");
    EXPECT_TRUE(list_->NameValue().startsWith("New record;"));
    EXPECT_TRUE(list_->btn_edit->isEnabled());
    EXPECT_EQ(Stored("F1"), 0);

    // Editing puts a picture and a thumbnail into the row.
    const QImage picture = Pattern(64, 48);
    const QImage thumbnail = Pattern(123, 123);
    script_.Then([&](QDialog&) {
        dialog_.Image1->SetPicture(picture);
        dialog_.Image2->SetPicture(thumbnail);
        dialog_.PictureChanged = true;
        QTest::mouseClick(dialog_.btn_ok, Qt::LeftButton);
    });
    QTest::mouseClick(list_->btn_edit, Qt::LeftButton);
    EXPECT_EQ(Stored("F1"), 0);
    list_->Q1.ApplyUpdates();
    EXPECT_EQ(Stored("F1"), 1);
    EXPECT_EQ(Scalar("select picture from add_pictures").toByteArray(),
              PictureToJpegBytes(picture));
    EXPECT_EQ(Scalar("select picture_th from add_pictures").toByteArray(),
              BitmapToBmpBytes(thumbnail));
    EXPECT_EQ(Scalar("select figure_id from add_pictures").toString(), "F1");
}

TEST_F(PictureListTest, EditShowsTheRowsPicturesAndDeleteAsksFirst) {
    const QImage picture = Pattern(40, 30);
    const QImage thumbnail = Pattern(123, 123);
    Exec("insert into add_pictures values ('A1', 'front', 'F2', ?, ?)",
         {BitmapToBmpBytes(thumbnail), PictureToJpegBytes(picture)});
    Exec("insert into add_pictures values ('A2', 'other figure', 'F1', null, null)");
    Open("F2");
    ASSERT_EQ(list_->Q1.RecordCount(), 1);
    EXPECT_TRUE(list_->btn_edit->isEnabled());

    // A double click on the thumbnail edits; Ok without changes writes nothing.
    script_.Then([&](QDialog&) {
        EXPECT_EQ(dialog_.Image1->Picture().size(), QSize(40, 30));
        EXPECT_EQ(dialog_.Image2->Picture(), thumbnail);
        QTest::mouseClick(dialog_.btn_ok, Qt::LeftButton);
    });
    const QPoint panel = list_->CGrid1->PanelRect(0).center();
    QTest::mouseDClick(list_->CGrid1->viewport(), Qt::LeftButton, {}, panel);
    EXPECT_TRUE(script_.Done());
    EXPECT_FALSE(list_->Q1.UpdatesPending());

    script_.Then(ModalScript::No);
    QTest::mouseClick(list_->btn_delete, Qt::LeftButton);
    EXPECT_EQ(list_->Q1.RecordCount(), 1);
    script_.Then(ModalScript::Yes);
    QTest::mouseClick(list_->btn_delete, Qt::LeftButton);
    EXPECT_TRUE(script_.Shown.last().endsWith("Delete current?"));
    EXPECT_TRUE(list_->Q1.IsEmpty());
    EXPECT_FALSE(list_->btn_edit->isEnabled());
    EXPECT_FALSE(list_->btn_delete->isEnabled());
    EXPECT_EQ(Stored("F2"), 1);

    // Closing without applying drops the cached delete.
    Open("F2");
    EXPECT_EQ(list_->Q1.RecordCount(), 1);
    EXPECT_EQ(Stored("F1"), 1);
}

TEST_F(PictureListTest, CorruptPictureEndsEditWithTheErrorShown) {
    Exec("insert into add_pictures values ('A1', 'broken', 'F1', null, ?)",
         {QByteArray("\xFF\xD8 not really a picture")});
    Open("F1");
    QStringList shown;
    DialogRunner::ScopedMessageHook messages([&](const QString& text) { shown << text; });
    QTest::mouseClick(list_->btn_edit, Qt::LeftButton);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_FALSE(list_->Q1.UpdatesPending());
    EXPECT_EQ(list_->Q1.State(), TDataSetState::Browse);
}

TEST_F(PictureListTest, DroppedFilesBecomePicturesNamedAfterThemAndUnreadableOnesAddNothing) {
    QTemporaryDir files;
    const QImage picture = Pattern(80, 60);
    ASSERT_TRUE(picture.save(files.filePath("Side view.png")));
    WriteFile(files.filePath("broken.bmp"), "BM not a bitmap");
    Open("F1");
    const auto drop = [&](const QString& name) {
        QMimeData data;
        data.setUrls(
            {QUrl("https://example.org/Top.bmp"), QUrl::fromLocalFile(files.filePath(name))});
        QWidget* target = list_->CGrid1->viewport();
        // Drops reach the widget a drag entered.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &event);
        QApplication::processEvents();
    };

    script_.Then(ModalScript::Ok);
    drop("broken.bmp");
    EXPECT_TRUE(script_.Done());
    EXPECT_TRUE(script_.Shown.last().contains("Cannot load the picture from"));
    EXPECT_TRUE(list_->Q1.IsEmpty());
    EXPECT_FALSE(list_->Q1.UpdatesPending());

    drop("Side view.png");
    ASSERT_EQ(list_->Q1.RecordCount(), 1);
    EXPECT_EQ(list_->NameValue(), "Side view");
    list_->Q1.ApplyUpdates();
    EXPECT_EQ(Scalar("select picture from add_pictures").toByteArray(),
              PictureToJpegBytes(picture));
    EXPECT_EQ(Scalar("select picture_th from add_pictures").toByteArray(),
              AutoThumbnailBytes(picture));
}

TEST_F(PictureListTest, NewPictureLoadedFromAFileIsNamedAfterIt) {
    QTemporaryDir files;
    WriteFile(files.filePath("Front.bmp"), BitmapToBmpBytes(Pattern(30, 20)));
    Open("F1");
    script_.Then([&](QDialog&) {
        script_.Then([&](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(files.filePath("Front.bmp"));
            d.accept();
        });
        QTest::mouseClick(dialog_.btn_load_from_file, Qt::LeftButton);
        QTest::mouseClick(dialog_.btn_ok, Qt::LeftButton);
    });
    QTest::mouseClick(list_->btn_new, Qt::LeftButton);
    EXPECT_TRUE(script_.Done());
    EXPECT_EQ(list_->NameValue(), "Front");
}

} // namespace
