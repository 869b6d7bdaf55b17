// The figure editor on the figures list as the catalog keeps it, driven
// through its real controls; the image dialog is answered from inside its
// modal run.

#include "BmpWriter.h"
#include "EditorTestSupport.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "TDBComboBox.h"
#include "TDBLookupComboBox.h"
#include "TD_scale_image.h"
#include "TE_figure.h"
#include "TF_picture_mgm.h"
#include "TField.h"
#include "TO_filelist.h"
#include "TO_pictures.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class FigureEditorTest : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        Exec("create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
             "figure_id char(32), picture_th blob(1,5), picture blob(1,5), "
             "primary key (add_picture_id))");
        Exec("insert into producers (producer_id, producer_name) values ('P1', 'Alpha'), "
             "('P2', 'Beta')");
        Exec("insert into genres (genre_id, genre_name) values ('G1', 'Napoleonic')");
        QImage thumbnail(123, 123, QImage::Format_RGB888);
        thumbnail.fill(Qt::red);
        QImage picture(60, 40, QImage::Format_RGB888);
        picture.fill(Qt::blue);
        thumbnail_ = BitmapToBmpBytes(thumbnail);
        picture_ = PictureToJpegBytes(picture);
        AddFigure("F1", "Hussar", thumbnail_, "P1");
        SetPicture(picture_);
        UseFiguresList(list_);
        list_.AfterPost = [](TQuery& q) { q.ApplyUpdates(); };
        list_.Open();
        dialog_.ScaleView = &scale_;
        editor_.SetPictureDialog(&dialog_);
    }

    void SetPicture(const QByteArray& bytes) {
        Exec("update figures set picture = ? where figure_id = 'F1'", {bytes});
    }
    QByteArray Stored(const QString& column) {
        return Scalar("select " + column + " from figures where figure_id = 'F1'").toByteArray();
    }
    // Runs the editor; act works in it, then "Ok" or "Cancel" closes it.
    bool Edit(const std::function<void()>& act, bool ok) {
        script_.Then([&, act, ok](QDialog&) {
            act();
            QTest::mouseClick(ok ? editor_.btn_ok : editor_.btn_cancel, Qt::LeftButton);
        });
        return editor_.EditRecord(list_);
    }
    // "Edit main image": the picture turned clockwise, then "Ok".
    void TurnMainImage() {
        script_.Then([&](QDialog&) {
            QTest::mouseClick(dialog_.SB_r_r, Qt::LeftButton);
            QTest::mouseClick(dialog_.btn_ok, Qt::LeftButton);
        });
        QTest::mouseClick(editor_.Btn_picture, Qt::LeftButton);
    }

    QByteArray thumbnail_;
    QByteArray picture_;
    TQuery list_;
    TD_scale_image scale_;
    TF_picture_mgm dialog_;
    TE_figure editor_;
    ModalScript script_;
};

TEST_F(FigureEditorTest, MainImageIsWrittenOnlyWhenChangedAndSaved) {
    // Cancel: both columns as stored.
    EXPECT_FALSE(Edit([&] { TurnMainImage(); }, false));
    EXPECT_EQ(Stored("picture"), picture_);
    EXPECT_EQ(Stored("picture_th"), thumbnail_);

    // Ok without touching the picture writes none, even bytes that are no
    // picture, and the editor opens on them without a word.
    SetPicture("not a picture");
    EXPECT_TRUE(Edit([] {}, true));
    EXPECT_EQ(Stored("picture"), QByteArray("not a picture"));

    // Ok after a change: the turned picture as JPEG, the thumbnail as BMP.
    SetPicture(picture_);
    EXPECT_TRUE(Edit([&] { TurnMainImage(); }, true));
    EXPECT_EQ(ReadJpegSize(Stored("picture")), QSize(40, 60));
    EXPECT_TRUE(Stored("picture_th").startsWith("BM"));
    EXPECT_TRUE(script_.Done());
    EXPECT_EQ(script_.Shown.size(), 5) << script_.Shown.join('|').toStdString();
}

TEST_F(FigureEditorTest, MainPageStoresWhatWasChosenAndTypedAndTheListShowsIt) {
    EXPECT_TRUE(Edit(
        [&] {
            EXPECT_EQ(editor_.DBL_producer->currentText(), "Alpha");
            EXPECT_EQ(editor_.DBL_genre->currentText(), "") << "no genre yet";
            editor_.DBL_producer->setFocus();
            QTest::keyClick(editor_.DBL_producer, Qt::Key_Down);
            editor_.DBL_genre->setFocus();
            QTest::keyClick(editor_.DBL_genre, Qt::Key_Down);
            editor_.DBCmB_scale->lineEdit()->selectAll();
            QTest::keyClicks(editor_.DBCmB_scale->lineEdit(), "1:35 resin kit by hand");
        },
        true));
    EXPECT_EQ(Stored("producer_id"), "P2");
    EXPECT_EQ(Stored("genre_id"), "G1");
    EXPECT_EQ(Stored("scale"), "1:35 resin kit b") << "free text up to the column's 16";
    EXPECT_EQ(list_.FieldByName("producer_name").AsString(), "Beta");
    EXPECT_EQ(list_.FieldByName("genre_name").AsString(), "Napoleonic");
    EXPECT_FALSE(list_.UpdatesPending());
}

TEST_F(FigureEditorTest, RelatedFilesOfFilesThatAreGoneAreDroppedOnSave) {
    QTemporaryDir folder;
    QStringList paths;
    for (const char* name : {"a.txt", "b.pdf", "c.doc"}) {
        paths << folder.filePath(QString::fromLatin1(name));
        QFile file(paths.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Exec("update figures set figure_files = ? where figure_id = 'F1'",
         {paths.join("\r\n") + "\r\n"});
    QFile::remove(paths[1]);
    list_.Close();
    list_.Open();
    EXPECT_TRUE(Edit([] {}, true));
    EXPECT_EQ(QString::fromUtf8(Stored("figure_files")), paths[0] + "\r\n" + paths[2] + "\r\n");

    Exec("update figures set figure_files = ? where figure_id = 'F1'", {paths[1] + "\r\n"});
    list_.Close();
    list_.Open();
    EXPECT_TRUE(Edit([] {}, true));
    EXPECT_EQ(Stored("figure_files"), QByteArray());
}

TEST_F(FigureEditorTest, AdditionalImagesAreStoredWithTheFigureAndAFailureIsSaid) {
    const auto addOne = [&] {
        script_.Then([&](QDialog&) { QTest::mouseClick(dialog_.btn_cancel, Qt::LeftButton); });
        QTest::mouseClick(editor_.O_pictures1->btn_new, Qt::LeftButton);
    };
    const auto stored = [&] { return Scalar("select count(*) from add_pictures").toInt(); };
    EXPECT_FALSE(Edit(addOne, false));
    EXPECT_EQ(stored(), 0) << "dropped with the cancelled figure";
    EXPECT_TRUE(Edit(addOne, true));
    EXPECT_EQ(stored(), 1);

    Exec("create trigger refuse before insert on add_pictures "
         "begin select raise(abort, 'disk full'); end");
    EXPECT_TRUE(Edit(
        [&] {
            addOne();
            script_.Then(ModalScript::Ok);
        },
        true));
    EXPECT_EQ(stored(), 1);
    ASSERT_FALSE(script_.Shown.isEmpty());
    EXPECT_TRUE(script_.Shown.last().contains("The additional images were not saved"))
        << script_.Shown.last().toStdString();
}

TEST_F(FigureEditorTest, ARefusedSaveKeepsTheEditorOpenAndWorking) {
    Exec("create trigger refuse before update on figures "
         "begin select raise(abort, 'refused by a trigger'); end");
    script_
        .Then([&](QDialog&) {
            editor_.DBL_producer->setFocus();
            QTest::keyClick(editor_.DBL_producer, Qt::Key_Down);
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton); // refused
            EXPECT_TRUE(editor_.isVisible());
            EXPECT_EQ(editor_.DBL_producer->currentText(), "Beta");
            EXPECT_EQ(list_.State(), TDataSetState::Edit);
            EXPECT_FALSE(list_.UpdatesPending());
            // Its lists are still open: the lookups and the additional
            // pictures.
            EXPECT_TRUE(editor_.QFproducers.Active());
            EXPECT_TRUE(editor_.QFgenres.Active());
            EXPECT_TRUE(editor_.O_pictures1->Q1.Active());
            EXPECT_EQ(Stored("producer_id"), "P1");

            Exec("drop trigger refuse");
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton);
        })
        .Then([&](QDialog& message) {
            EXPECT_EQ(script_.Shown.last(),
                      "Message: The record was not saved:\n\nrefused by a trigger");
            ModalScript::Ok(message);
        });
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_TRUE(script_.Done());
    EXPECT_EQ(Stored("producer_id"), "P2");
    EXPECT_EQ(list_.FieldByName("producer_name").AsString(), "Beta");
    EXPECT_FALSE(editor_.O_pictures1->Q1.Active()) << "closed after saving";
}

} // namespace
