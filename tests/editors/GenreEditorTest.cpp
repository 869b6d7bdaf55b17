// The genre editor, shown modally for real on a row of the genres list and
// driven with the mouse; what it stores is read back from the table.

#include "ModalScript.h"
#include "QueryTestFixture.h"
#include "TDBEdit.h"
#include "TD_epoch.h"
#include "TE_genre.h"
#include "TField.h"
#include "THatchShape.h"
#include "THorzUpDown.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QToolButton>

#include <functional>

namespace {

class GenreEditorTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        list_.SQL = {"select * from genres order by genre_name"};
        list_.KeyField = QStringLiteral("genre_id");
        list_.UpdateObject = &update_;
        list_.CachedUpdates = true;
        list_.AfterPost = [](TQuery& q) { q.ApplyUpdates(); };
    }

    // The one genre of the list.
    void Genre(const QVariant& tb, const QVariant& te, const QVariant& rx = 170,
               const QVariant& ry = 90, const QVariant& rw = 50, const QVariant& rh = 50,
               const QVariant& shape = {}) {
        Exec("delete from genres");
        Exec("insert into genres values ('G1', 'Rome', ?, ?, ?, ?, ?, ?, ?)",
             {rx, ry, rh, rw, tb, te, shape});
        list_.Close();
        list_.Open();
    }

    // One editing run: the actions on the shown editor, then Ok or Cancel.
    bool Edit(const std::function<void()>& actions, bool ok = true) {
        script_.Then([&, ok](QDialog&) {
            actions();
            QTest::mouseClick(ok ? editor_.btn_ok : editor_.btn_cancel, Qt::LeftButton);
        });
        return editor_.EditRecord(list_);
    }

    QString Stored(const QString& columns) {
        return Column("select " + columns + " from genres where genre_id = 'G1'");
    }

    void Drag(QWidget* widget, QPoint from, QPoint by) {
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QTest::mouseMove(widget, from + by);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
    }

    // A move with no button down: QTest only moves the cursor for that, which
    // the offscreen platform does not report.
    static void Hover(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    static QRect TimeLine() { return {14, 266, 350, 50}; }

    TUpdateSQL update_{{"insert into genres (genre_id) values (:genre_id)"},
                       {"update genres set genre_name = :genre_name, RX = :RX, RY = :RY,",
                        "  RH = :RH, RW = :RW, TB = :TB, TE = :TE,",
                        "  location_shape = :location_shape where genre_id = :OLD_genre_id"},
                       {"delete from genres where genre_id = :OLD_genre_id"}};
    TQuery list_;
    TE_genre editor_;
    ModalScript script_;
};

TEST_P(GenreEditorTest, EpochIsShownWithItsHandlesOnTheTimeLineAndStoredOnOk) {
    const struct {
        int tb, te;
        const char* text;
        const char* stored;
    } cases[] = {
        {-44, 14, "Epoch:44 B.C. ... 14", "-44|14"},
        {-1000, 2100, "Epoch:ancient ... future", "-1000|2100"},
        {-5000, 5000, "Epoch:ancient ... future", "-5000|5000"},
        // Shown a year apart; the years the user did not move stay as stored.
        {1500, 1500, "Epoch:1499 ... 1500", "1500|1500"},
    };
    for (const auto& c : cases) {
        Genre(c.tb, c.te);
        EXPECT_TRUE(Edit([&] {
            EXPECT_EQ(editor_.Label_epoch->text(), c.text);
            for (QWidget* handle : {editor_.Shape_left, editor_.Shape_right})
                EXPECT_TRUE(TimeLine().contains(handle->pos())) << c.text;
            EXPECT_EQ(editor_.Shape_epoch->geometry(),
                      QRect(editor_.Shape_left->x(), 280,
                            editor_.Shape_right->geometry().right() + 1 - editor_.Shape_left->x(),
                            23));
        }));
        EXPECT_EQ(Stored("TB || '|' || TE"), c.stored);
    }
}

TEST_P(GenreEditorTest, HandleDragsStopAtTheOtherHandleAndGiveYearsInTens) {
    Genre(1066, 1500);
    EXPECT_TRUE(Edit([&] {
        QWidget* left = editor_.Shape_left;
        QWidget* right = editor_.Shape_right;
        EXPECT_EQ(left->cursor().shape(), Qt::SizeHorCursor);
        // A click without a move changes no year.
        QTest::mouseClick(left, Qt::LeftButton, {}, QPoint(1, 5));
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1066 ... 1500");

        QTest::mousePress(left, Qt::LeftButton, {}, QPoint(1, 5));
        QTest::mouseMove(left, QPoint(301, 5));
        EXPECT_EQ(left->geometry().right() + 2, right->x()) << "one pixel before it";
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1420 ... 1500");
        QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(1, 5));
        EXPECT_EQ(editor_.Epoch().YearBegin, 1420);

        Drag(right, QPoint(1, 5), QPoint(-300, 0));
        EXPECT_EQ(right->x(), left->geometry().right() + 2);
        Drag(left, QPoint(1, 5), QPoint(-500, 0));
        EXPECT_EQ(left->x(), 15) << "held inside the picture";
    }));
    EXPECT_EQ(Stored("TB || '|' || TE"), "-1190|1500");
}

TEST_P(GenreEditorTest, UpDownsStepByOneAndTheLastYearPushesTheFirst) {
    Genre(1100, 1102);
    EXPECT_TRUE(Edit([&] {
        QTest::mouseClick(editor_.UpDown_b->Btn_right, Qt::LeftButton);
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1101 ... 1102");
        QTest::mouseClick(editor_.UpDown_b->Btn_right, Qt::LeftButton);
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1101 ... 1102") << "refused";
        QTest::mouseClick(editor_.UpDown_e->Btn_left, Qt::LeftButton);
        QTest::mouseClick(editor_.UpDown_e->Btn_left, Qt::LeftButton);
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1099 ... 1100") << "pushed down";
        QTest::mouseClick(editor_.UpDown_b->Btn_left, Qt::LeftButton);
        QTest::mouseClick(editor_.UpDown_e->Btn_right, Qt::LeftButton);
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1098 ... 1101");
    }));
    EXPECT_EQ(Stored("TB || '|' || TE"), "1098|1101");
}

TEST_P(GenreEditorTest, MarkerMovesOnTheMapAndResizesToSixAtLeast) {
    Genre(1100, 1500, 100, 100, 40, 30);
    EXPECT_TRUE(Edit([&] {
        THatchShape* marker = editor_.Shape_location;
        EXPECT_EQ(marker->geometry(), QRect(100, 100, 40, 30));
        Hover(marker, QPoint(40, 15));
        EXPECT_EQ(marker->cursor().shape(), Qt::SizeHorCursor);
        Hover(marker, QPoint(20, 30));
        EXPECT_EQ(marker->cursor().shape(), Qt::SizeVerCursor);
        Hover(marker, QPoint(10, 10));
        EXPECT_EQ(marker->cursor().shape(), Qt::PointingHandCursor);

        Drag(marker, QPoint(10, 10), QPoint(20, -5));
        EXPECT_EQ(marker->pos(), QPoint(120, 95));
        Drag(marker, QPoint(10, 10), QPoint(400, 0));
        EXPECT_EQ(marker->geometry().right(), 14 + 355 - 2) << "one pixel inside";

        QTest::mousePress(marker, Qt::LeftButton, {}, QPoint(40, 15));
        QTest::mouseMove(marker, QPoint(55, 15));
        EXPECT_EQ(marker->width(), 55);
        QTest::mouseMove(marker, QPoint(3, 15));
        EXPECT_EQ(marker->width(), 6);
        QTest::mouseMove(marker, QPoint(9, 15));
        EXPECT_EQ(marker->width(), 9);
        QTest::mouseRelease(marker, Qt::LeftButton, {}, QPoint(9, 15));
        Drag(marker, QPoint(4, 30), QPoint(0, 20));
        EXPECT_EQ(marker->height(), 50);
    }));
    EXPECT_EQ(Stored("RX || '|' || RY || '|' || RW || '|' || RH"), "328|95|9|50");

    // A stored size of 5 or less becomes 6 at the first move.
    Genre(1100, 1500, 100, 100, 4, 30);
    EXPECT_TRUE(Edit([&] {
        QTest::mousePress(editor_.Shape_location, Qt::LeftButton, {}, QPoint(4, 15));
        QTest::mouseMove(editor_.Shape_location, QPoint(30, 15));
        EXPECT_EQ(editor_.Shape_location->width(), 6);
        QTest::mouseRelease(editor_.Shape_location, Qt::LeftButton, {}, QPoint(30, 15));
    }));
}

TEST_P(GenreEditorTest, ShapeMenuChecksOneItemAndOkStoresTheShape) {
    Genre(1100, 1500, 10, 300, 50, 50, "RR");
    EXPECT_TRUE(Edit([&] {
        EXPECT_EQ(editor_.Shape_location->geometry(), QRect(15, 56 + 184 - 50 - 1, 50, 50))
            << "kept on the map";
        EXPECT_TRUE(editor_.N_roundrect->isChecked());
        EXPECT_FALSE(editor_.N_ellipse->isChecked());
        QTest::mouseClick(editor_.Shape_location, Qt::RightButton, {}, QPoint(10, 10));
        ASSERT_TRUE(editor_.PopupMenu_map->isVisible());
        QMenu* menu = editor_.PopupMenu_map;
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(editor_.N_ellipse).center());
        EXPECT_TRUE(editor_.N_ellipse->isChecked());
        EXPECT_FALSE(editor_.N_roundrect->isChecked());
        EXPECT_EQ(editor_.Shape_location->GetShape(), THatchShape::Shape::Ellipse);
        editor_.N_ellipse->trigger();
        EXPECT_TRUE(editor_.N_ellipse->isChecked()) << "choosing it again keeps it";
    }));
    EXPECT_EQ(Stored("coalesce(location_shape, 'null') || '|' || RX || '|' || RY"), "null|15|189");

    EXPECT_TRUE(Edit([&] { editor_.N_roundrect->trigger(); }));
    EXPECT_EQ(Stored("location_shape"), "RR");
}

TEST_P(GenreEditorTest, AGenreWithoutYearsOrPlaceGetsTheDefaultsNotThePreviousGenres) {
    Genre(1100, 1500, 100, 100, 40, 30);
    EXPECT_TRUE(Edit([] {}));
    Genre({}, {}, {}, {}, {}, {});
    EXPECT_TRUE(Edit([&] {
        EXPECT_EQ(editor_.Shape_location->geometry(), QRect(168, 112, 29, 29));
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:1100 ... 1500");
    }));
    EXPECT_EQ(Stored("RX || '|' || RY || '|' || RW || '|' || RH"), "168|112|29|29");
}

TEST_P(GenreEditorTest, DoubleClickOnTheEpochTypesTheYearsWithinTheTimeLine) {
    Genre(1100, 5000);
    script_.Then([&](QDialog&) {
        QTest::mouseDClick(editor_.Label_epoch, Qt::LeftButton);
        EXPECT_EQ(editor_.Label_epoch->text(), "Epoch:50 B.C. ... future");
        QTest::mouseClick(editor_.UpDown_b->Btn_right, Qt::LeftButton);
        QTest::mouseClick(editor_.btn_ok, Qt::LeftButton);
    });
    script_.Then([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Epoch");
        TD_epoch& epoch = *editor_.Dialog_epoch;
        EXPECT_EQ(epoch.SE_begin->minimum(), -1200);
        EXPECT_EQ(epoch.SE_end->maximum(), 2300);
        EXPECT_EQ(epoch.SE_end->value(), 2300) << "held within the time line";
        epoch.SE_begin->selectAll();
        QTest::keyClicks(epoch.SE_begin, "-50");
        QTest::keyClick(epoch.SE_begin, Qt::Key_Return);
    });
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_EQ(Stored("TB || '|' || TE"), "-49|5000") << "the last year was not changed";
}

TEST_P(GenreEditorTest, EscapeAsksAfterTheMarkerOrTheYearsMovedOnly) {
    const std::function<void()> changes[] = {
        [&] { Drag(editor_.Shape_location, QPoint(10, 10), QPoint(20, 0)); },
        [&] { QTest::mouseClick(editor_.UpDown_e->Btn_right, Qt::LeftButton); },
        [&] { editor_.N_roundrect->trigger(); },
    };
    for (const auto& change : changes) {
        Genre(1100, 1500);
        script_.Then([&](QDialog&) {
            change();
            QTest::keyClick(editor_.DBEdit_name, Qt::Key_Escape);
        });
        script_.Then(ModalScript::No);
        EXPECT_FALSE(editor_.EditRecord(list_));
        EXPECT_TRUE(script_.Done());
    }
    script_.Then([&](QDialog&) { QTest::keyClick(editor_.DBEdit_name, Qt::Key_Escape); });
    EXPECT_FALSE(editor_.EditRecord(list_)) << "no change: closed without a question";
}

TEST_P(GenreEditorTest, CancelStoresNothing) {
    Genre(1100, 1500);
    EXPECT_FALSE(Edit(
        [&] {
            QTest::mouseClick(editor_.UpDown_e->Btn_right, Qt::LeftButton);
            Drag(editor_.Shape_location, QPoint(10, 10), QPoint(30, 30));
            editor_.N_roundrect->trigger();
        },
        false));
    EXPECT_EQ(Stored("TB || '|' || TE || '|' || RX || '|' || RY || '|' || "
                     "coalesce(location_shape, 'null')"),
              "1100|1500|170|90|null");
    EXPECT_EQ(list_.State(), TDataSetState::Browse);
}

} // namespace

VELMORA_ON_EVERY_ENGINE(GenreEditorTest);
