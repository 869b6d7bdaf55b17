// The figure editor on the figures list as the catalog keeps it, driven
// through its real controls; the image dialog is answered from inside its
// modal run.

#include "AutoThumbnail.h"
#include "BmpWriter.h"
#include "DatabaseStructure.h"
#include "EditorTestSupport.h"
#include "JpegDecoder.h"
#include "JpegEncoder.h"
#include "TDBComboBox.h"
#include "TDBEdit.h"
#include "TDBLookupComboBox.h"
#include "TDBMemo.h"
#include "TD_scale_image.h"
#include "TDateBox.h"
#include "TE_figure.h"
#include "TF_picture_mgm.h"
#include "TField.h"
#include "TFigureCollection.h"
#include "TO_Figures.h"
#include "TO_collection.h"
#include "TO_filelist.h"
#include "TO_pictures.h"
#include "TZunPigger.h"

#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

namespace {

class FigureEditorTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CreateTable(
            "create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
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
        // The collection table as the structure check makes it.
        TZunPigger structure;
        DatabaseStructure::Build(structure);
        for (int i = 0; i < structure.ChildCount(); ++i) {
            if (structure.Child(i)->GetAttribute("name") == DatabaseStructure::CollectionTable)
                CreateTable(DatabaseStructure::CreateTableLines(*structure.Child(i)).join(' '));
        }
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
    // "New " on the additional images, the image dialog cancelled: a new
    // row without a picture.
    void AddImage() {
        script_.Then([&](QDialog&) { QTest::mouseClick(dialog_.btn_cancel, Qt::LeftButton); });
        QTest::mouseClick(editor_.O_pictures1->btn_new, Qt::LeftButton);
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

TEST_P(FigureEditorTest, MainImageIsWrittenOnlyWhenChangedAndSaved) {
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

TEST_P(FigureEditorTest, MainPageStoresWhatWasChosenAndTypedAndTheListShowsIt) {
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

TEST_P(FigureEditorTest, RelatedFilesAreKeptAsStoredUntilTheListIsChanged) {
    QTemporaryDir folder;
    QStringList paths;
    for (const char* name : {"a.txt", "b.pdf", "c.doc"}) {
        paths << folder.filePath(QString::fromLatin1(name));
        QFile file(paths.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // Stored by another hand: bare line feeds, no break after the last.
    const QByteArray stored = (paths.join("\n")).toUtf8();
    Exec("update figures set figure_files = ? where figure_id = 'F1'", {stored});
    QFile::remove(paths[1]);
    list_.Close();
    list_.Open();
    EXPECT_TRUE(Edit([] {}, true));
    EXPECT_EQ(Stored("figure_files"), stored) << "a plain Ok leaves the text as it is";

    // A row removed: every other path is written, the missing one too.
    EXPECT_TRUE(Edit(
        [&] {
            editor_.O_filelist1->LV1->setCurrentItem(editor_.O_filelist1->LV1->topLevelItem(0));
            script_.Then(ModalScript::Yes);
            QTest::mouseClick(editor_.O_filelist1->btn_remove, Qt::LeftButton);
        },
        true));
    EXPECT_EQ(QString::fromUtf8(Stored("figure_files")), paths[1] + "\r\n" + paths[2] + "\r\n");
}

TEST_P(FigureEditorTest, AdditionalImagesAreStoredWithTheFigure) {
    const auto stored = [&] { return Scalar("select count(*) from add_pictures").toInt(); };
    EXPECT_FALSE(Edit([&] { AddImage(); }, false));
    EXPECT_EQ(stored(), 0) << "dropped with the cancelled figure";
    EXPECT_TRUE(Edit([&] { AddImage(); }, true));
    EXPECT_EQ(stored(), 1);
}

TEST_P(FigureEditorTest, EscapeAsksAfterAChangeOutsideTheRecordsFields) {
    Exec("update figures set figure_files = 'gone.txt' where figure_id = 'F1'");
    list_.Close();
    list_.Open();
    const struct {
        const char* change;
        std::function<void()> act;
    } cases[] = {
        {"related file removed",
         [&] {
             editor_.O_filelist1->LV1->setCurrentItem(editor_.O_filelist1->LV1->topLevelItem(0));
             script_.Then(ModalScript::Yes);
             QTest::mouseClick(editor_.O_filelist1->btn_remove, Qt::LeftButton);
         }},
        {"main image turned", [&] { TurnMainImage(); }},
        {"additional image added", [&] { AddImage(); }},
    };
    for (const auto& c : cases) {
        script_.Shown.clear();
        script_.Then([&](QDialog&) {
            c.act();
            script_.Then(ModalScript::No);
            QTest::keyClick(editor_.DBEdit_name, Qt::Key_Escape);
        });
        EXPECT_FALSE(editor_.EditRecord(list_)) << c.change;
        EXPECT_TRUE(script_.Shown.contains("Confirmation: Save changes?")) << c.change;
        EXPECT_EQ(Stored("figure_files"), "gone.txt") << c.change;
        EXPECT_EQ(Stored("picture"), picture_) << c.change;
        EXPECT_EQ(Scalar("select count(*) from add_pictures").toInt(), 0) << c.change;
    }
}

TEST_P(FigureEditorTest, AFigureIsSavedWholeOrNotAtAllAndARefusalKeepsWhatWasDone) {
    // Additional pictures of figures that another table lists, checked
    // when the transaction commits.
    CreateTable("create table kept (id char(32), primary key (id))");
    Exec("drop table add_pictures");
    CreateTable("create table add_pictures (add_picture_id char(32), add_picture_name char(32), "
                "figure_id char(32) references kept (id) deferrable initially deferred, "
                "picture_th blob(1,5), picture blob(1,5), primary key (add_picture_id))");
    struct Case {
        const char* refuse;
        const char* allow;
        const char* reason;
    };
    const Case cases[] = {
        {"create trigger refuse before update of picture on figures "
         "begin select raise(abort, 'disk full'); end",
         "drop trigger refuse", "The main image was not saved: disk full"},
        {"create trigger refuse before insert on add_pictures "
         "begin select raise(abort, 'disk full'); end",
         "drop trigger refuse", "The additional images were not saved: disk full"},
        // The server checks foreign keys always, the embedded engine when
        // asked.
        OnServer() ? Case{"select 1", "select 1",
                          "insert or update on table \"add_pictures\" violates foreign key"}
                   : Case{"pragma foreign_keys = on", "pragma foreign_keys = off",
                          "FOREIGN KEY constraint failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        Exec("delete from add_pictures");
        Exec("delete from kept");
        // A thumbnail that is no bitmap: any bitmap there is one written.
        Exec("update figures set figure_dsc = 'about Hussar', picture_th = 'none' "
             "where figure_id = 'F1'");
        SetPicture(picture_);
        list_.Close();
        list_.Open();
        Exec(c.refuse);
        script_.Then([&](QDialog&) {
            TurnMainImage();
            AddImage();
            QTest::keyClick(editor_.DBMemo_dsc, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(editor_.DBMemo_dsc, ", resin");
            script_.Then(ModalScript::Ok);
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton); // refused
            EXPECT_TRUE(script_.Shown.last().startsWith("Message: The record was not saved:\n\n" +
                                                        QString::fromUtf8(c.reason)))
                << script_.Shown.last().toStdString();
            EXPECT_TRUE(editor_.isVisible());
            EXPECT_EQ(Stored("picture"), picture_);
            EXPECT_EQ(Stored("picture_th"), "none");
            EXPECT_EQ(Stored("figure_dsc"), "about Hussar");
            EXPECT_EQ(Scalar("select count(*) from add_pictures").toInt(), 0);

            Exec(c.allow);
            Exec("insert into kept (id) values ('F1')");
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton);
        });
        EXPECT_TRUE(editor_.EditRecord(list_));
        EXPECT_EQ(ReadJpegSize(Stored("picture")), QSize(40, 60));
        EXPECT_NE(Stored("picture_th"), QByteArray("none")) << "the thumbnail is written too";
        EXPECT_EQ(Stored("figure_dsc"), "about Hussar, resin");
        EXPECT_EQ(Scalar("select count(*) from add_pictures").toInt(), 1);
    }
    EXPECT_TRUE(script_.Done());
}

// A save refused after the row was written is rolled back whole; the next
// Ok writes everything the user gave, for a new figure as for one edited.
TEST_P(FigureEditorTest, ASaveRefusedMidwayIsWrittenWholeByTheNextOk) {
    for (const bool added : {false, true}) {
        SCOPED_TRACE(added ? "new figure" : "figure edited");
        Exec("delete from figure_collection");
        Exec("create trigger keep_out before insert on figure_collection "
             "begin select raise(abort, 'collection kept'); end");
        if (added) {
            list_.Append();
            list_.FieldByName("figure_id").SetAsString("F2");
        }
        TO_collection& page = *editor_.O_collection1;
        script_.Then([&](QDialog&) {
            editor_.DBEdit_name->selectAll();
            QTest::keyClicks(editor_.DBEdit_name, "Lancer");
            page.CmB_status->setCurrentText("primed");
            script_.Then(ModalScript::Ok);
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton); // refused
            EXPECT_EQ(Scalar("select count(*) from figure_collection").toInt(), 0);
            Exec("drop trigger keep_out");
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton);
        });
        EXPECT_TRUE(editor_.EditRecord(list_));
        EXPECT_TRUE(script_.Done());
        EXPECT_TRUE(script_.Shown.last().endsWith("collection kept"))
            << script_.Shown.join('|').toStdString();
        const QString key = added ? "F2" : "F1";
        EXPECT_EQ(Column("select figure_name from figures where figure_id = '" + key + "'"),
                  "Lancer");
        EXPECT_EQ(Column("select collection_status from figure_collection where figure_id = '" +
                         key + "'"),
                  "primed");
    }
    EXPECT_EQ(Scalar("select count(*) from figures").toInt(), 2);
}

TEST_P(FigureEditorTest, EveryRunStartsOnMainWithTheCursorInTheName) {
    editor_.PageControl1->setCurrentWidget(editor_.TabSheet_files);
    EXPECT_FALSE(Edit(
        [&] {
            EXPECT_EQ(editor_.PageControl1->currentWidget(), editor_.Tab_sheetGeneral);
            EXPECT_EQ(editor_.focusWidget(), static_cast<QWidget*>(editor_.DBEdit_name));
        },
        false));
}

TEST_P(FigureEditorTest, ARefusedSaveKeepsTheEditorOpenAndWorking) {
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

TEST_P(FigureEditorTest, PictureDroppedOnTheThumbnailIsSavedWithTheFigureOnly) {
    QTemporaryDir files;
    QImage picture(90, 50, QImage::Format_RGB888);
    picture.fill(Qt::green);
    const QString readable = files.filePath("front.bmp");
    const QString unreadable = files.filePath("broken.bmp");
    for (const auto& [name, bytes] : {std::pair{readable, BitmapToBmpBytes(picture)},
                                      std::pair{unreadable, QByteArray("BM not a bitmap")}}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    const struct {
        QString file;
        bool ok;
        bool stored;
    } cases[] = {{readable, false, false}, {unreadable, true, false}, {readable, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString() + (c.ok ? " Ok" : " Cancel"));
        script_.Shown.clear();
        const bool said = c.file == unreadable;
        Edit(
            [&] {
                if (said)
                    script_.Then(ModalScript::Ok);
                editor_.DropMainPicture({c.file});
            },
            c.ok);
        EXPECT_TRUE(script_.Done());
        EXPECT_EQ(script_.Shown.join('|').contains("Cannot load the picture from"), said);
        EXPECT_EQ(Stored("picture"), c.stored ? PictureToJpegBytes(picture) : picture_);
        EXPECT_EQ(Stored("picture_th"), c.stored ? AutoThumbnailBytes(picture) : thumbnail_);
    }
}

// Every field of the page "Collection" is stored as entered and shown
// again; a figure without a row gets one only when something was changed,
// and in the figure's transaction.
TEST_P(FigureEditorTest, CollectionDataAreStoredWithTheFigureAndShownAgain) {
    Exec("insert into figure_collection (figure_id, collection_place) values ('F9', 'Shelf A')");
    list_.Close();
    list_.SQL = TO_Figures::ListQuery();
    list_.Open();
    TO_collection& page = *editor_.O_collection1;
    const auto row = [&] {
        return Column(
            "select collection_status || '|' || collection_quantity || '|' || "
            "coalesce(collection_acquired || '', '-') || '|' || cast(collection_price as real) || "
            "'|' || cast(collection_value as real) || '|' || collection_place || '|' || "
            "collection_note "
            "from figure_collection where figure_id = 'F1'");
    };

    EXPECT_TRUE(Edit(
        [&] {
            EXPECT_EQ(-1, page.CmB_status->currentIndex());
            EXPECT_EQ(TFigureCollection::Statuses(),
                      QStringList({"wanted", "unbuilt", "assembled", "primed", "painting",
                                   "finished", "sold"}));
            EXPECT_EQ(1, page.SE_quantity->value());
            EXPECT_FALSE(page.DE_acquired->Date().isValid());
            EXPECT_EQ(
                QStringList{"Shelf A"},
                static_cast<QStringListModel*>(page.E_place->completer()->model())->stringList());
        },
        true));
    EXPECT_EQ("", row()) << "nothing changed, no row";

    // Refused with the figure's changes: neither is written.
    {
        Exec("create trigger keep_out before insert on figure_collection "
             "begin select raise(abort, 'collection kept'); end");
        script_.Then([&](QDialog&) {
            editor_.DBEdit_name->selectAll();
            QTest::keyClicks(editor_.DBEdit_name, "Renamed");
            page.CmB_status->setCurrentText("primed");
            script_.Then(ModalScript::Ok);
            QTest::mouseClick(editor_.btn_ok, Qt::LeftButton);
            QTest::mouseClick(editor_.btn_cancel, Qt::LeftButton);
        });
        EXPECT_FALSE(editor_.EditRecord(list_));
        EXPECT_TRUE(script_.Shown.join('|').contains("collection kept"))
            << script_.Shown.join('|').toStdString();
        EXPECT_EQ(Stored("figure_name"), "Hussar");
        EXPECT_EQ("", row());
        Exec("drop trigger keep_out");
    }

    const TFigureCollection::Values entered{"finished", 3,           QDate(2024, 5, 17), 1234.5,
                                            40.25,      "Cabinet 2", "gift from Anna"};
    EXPECT_TRUE(Edit(
        [&] {
            page.CmB_status->setCurrentText(entered.status);
            page.SE_quantity->setValue(entered.quantity);
            page.DE_acquired->SetDate(entered.acquired);
            page.SE_price->setValue(entered.price);
            page.SE_value->setValue(entered.value);
            EXPECT_EQ(QLocale().toString(1234.5, 'f', 2), page.SE_price->text());
            QTest::keyClicks(page.E_place, entered.place);
            QTest::keyClicks(page.E_note, entered.note);
        },
        true));
    EXPECT_EQ("finished|3|2024-05-17|1234.5|40.25|Cabinet 2|gift from Anna", row());
    EXPECT_EQ("finished", list_.FieldByName("collection_status").AsString());

    // Shown again; a cancelled change is not written, a cleared date is.
    EXPECT_FALSE(Edit(
        [&] {
            EXPECT_TRUE(page.Entered() == entered);
            page.SE_quantity->setValue(7);
        },
        false));
    EXPECT_EQ("finished|3|2024-05-17|1234.5|40.25|Cabinet 2|gift from Anna", row());
    EXPECT_TRUE(Edit(
        [&] {
            page.DE_acquired->setFocus();
            page.DE_acquired->selectAll();
            QTest::keyClick(page.DE_acquired, Qt::Key_Delete);
        },
        true));
    EXPECT_EQ("finished|3|-|1234.5|40.25|Cabinet 2|gift from Anna", row());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(FigureEditorTest);
