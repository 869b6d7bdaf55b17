// The grid of record panels, through real widgets offscreen: painting into
// an image, mouse clicks and keys.

#include "CatalogTestFixture.h"
#include "TO_Figures.h"
#include "TO_genres.h"
#include "TO_producers.h"
#include "TRecordGrid.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

class RecordGridTest : public OnEveryEngine<CatalogTestFixture> {
protected:
    template <class List> List& Shown(int width, int height) {
        host_ = std::make_unique<QWidget>();
        auto* list = new List(host_.get());
        list->setGeometry(0, 0, width, height);
        host_->resize(width, height);
        return *list;
    }

    // Opens the list and shows it.
    void Show(TO_ci& list, const char* key, const char* name) {
        Open(list, key, name);
        host_->show();
        QTest::qWait(1);
    }

    static QImage Render(QWidget& widget) {
        QImage image(widget.size(), QImage::Format_RGB32);
        widget.render(&image);
        return image;
    }

    void AddGenres(int count) {
        Batch([&] {
            for (int i = 0; i < count; ++i)
                AddGenre(QString("G%1").arg(i, 3, 10, QChar('0')),
                         QString("Genre %1").arg(i, 3, 10, QChar('0')));
        });
    }

    // The centre of the panel showing a record.
    static QPoint Centre(const TRecordGrid& grid, int record) {
        return grid.PanelRect(record - grid.TopRecord()).center();
    }

    std::unique_ptr<QWidget> host_;
};

TEST_P(RecordGridTest, OnlyTheVisiblePanelsArePainted) {
    AddGenres(200);
    TO_genres& list = Shown<TO_genres>(300, 350);
    Show(list, "genre_id", "genre_name");
    TRecordGrid& grid = *list.CGrid1;
    ASSERT_EQ(10, grid.RowCount());

    long long before = grid.PanelsPainted();
    Render(list);
    EXPECT_EQ(10, grid.PanelsPainted() - before);

    list.Q1.Last();
    EXPECT_EQ(190, grid.TopRecord());
    EXPECT_EQ(9, grid.PanelIndex());
    before = grid.PanelsPainted();
    Render(list);
    EXPECT_EQ(10, grid.PanelsPainted() - before);
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), grid.verticalScrollBar()->value());
}

TEST_P(RecordGridTest, PanelsAlternateColoursAndTheCurrentOneIsFramedInWhite) {
    AddGenres(4);
    TO_genres& list = Shown<TO_genres>(300, 140);
    Show(list, "genre_id", "genre_name");
    const int height = list.CGrid1->PanelHeight();
    const QColor blue(51, 204, 255), grey(207, 207, 207), white(Qt::white);

    QImage image = Render(list);
    EXPECT_EQ(white, image.pixelColor(0, 0));
    EXPECT_EQ(blue, image.pixelColor(1, 1));
    EXPECT_EQ(white, image.pixelColor(2, 2));
    EXPECT_EQ(blue, image.pixelColor(3, 3));
    EXPECT_EQ(white, image.pixelColor(2, height - 3));
    EXPECT_EQ(blue, image.pixelColor(2, height - 2));
    EXPECT_EQ(grey, image.pixelColor(0, height));
    EXPECT_EQ(blue, image.pixelColor(0, 2 * height));

    list.Q1.Next();
    image = Render(list);
    EXPECT_EQ(blue, image.pixelColor(0, 0));
    EXPECT_EQ(white, image.pixelColor(0, height));
    EXPECT_EQ(grey, image.pixelColor(1, height + 1));
    EXPECT_EQ(white, image.pixelColor(2, height + 2));
}

TEST_P(RecordGridTest, FigurePanelsShowTheirThumbnailOverTheGridsColours) {
    AddFigure("F1", "Archer", {{"picture_th", Thumbnail(Qt::red)}});
    AddFigure("F2", "Hussar");
    TO_Figures& list = Shown<TO_Figures>(600, 300);
    Show(list, "figure_id", "figure_name");
    TRecordGrid& grid = *list.CGrid1;
    grid.SetColCount(2);
    const QRect first = grid.PanelRect(0);
    const QRect second = grid.PanelRect(1);

    QImage image = Render(list);
    EXPECT_EQ(QColor(Qt::red), image.pixelColor(TO_Figures::ThumbnailRect(first).center()));
    EXPECT_EQ(QColor(0, 128, 255), image.pixelColor(first.topRight() + QPoint(-1, 1)));
    EXPECT_EQ(grid.PanelColor, image.pixelColor(second.topRight() + QPoint(-1, 1)));
    EXPECT_EQ(grid.PanelColor, image.pixelColor(TO_Figures::ThumbnailRect(second).center()))
        << "no thumbnail, nothing drawn";

    // A new thumbnail posted through the list shows at once.
    list.Q1.Edit();
    list.Q1.FieldByName("picture_th").SetAsBytes(Thumbnail(Qt::green));
    list.Q1.Post();
    image = Render(list);
    EXPECT_EQ(QColor(Qt::green), image.pixelColor(TO_Figures::ThumbnailRect(first).center()));
    EXPECT_EQ(Thumbnail(Qt::green),
              Scalar("select picture_th from figures where figure_id = 'F1'").toByteArray());
}

TEST_P(RecordGridTest, ThumbnailsAreDecodedForTheVisiblePanelsOnly) {
    Batch([&] {
        for (int i = 0; i < 150; ++i)
            AddFigure(QString("F%1").arg(i, 3, 10, QChar('0')),
                      QString("Figure %1").arg(i, 3, 10, QChar('0')),
                      {{"picture_th", Thumbnail(QColor(i, 0, 0), 8)}});
    });
    TO_Figures& list = Shown<TO_Figures>(500, 625);
    Show(list, "figure_id", "figure_name");
    list.CGrid1->SetColCount(2);
    ASSERT_EQ(5, list.CGrid1->RowCount());
    Render(list);
    EXPECT_EQ(10, list.Thumbnails.Size());

    // Paging through the whole list keeps no more than the cache holds.
    while (!list.Q1.Eof()) {
        list.Q1.MoveBy(list.CGrid1->PanelCount());
        Render(list);
    }
    EXPECT_EQ(list.Thumbnails.Capacity(), list.Thumbnails.Size());
    const QImage last = Render(list);
    EXPECT_EQ(
        QColor(149, 0, 0),
        last.pixelColor(
            TO_Figures::ThumbnailRect(list.CGrid1->PanelRect(list.CGrid1->PanelIndex())).center()));
    list.Reopen();
    EXPECT_EQ(0, list.Thumbnails.Size());
}

TEST_P(RecordGridTest, AClickMakesThePanelsRecordCurrentAndNamesItsControl) {
    AddProducer("P1", "Alpha", "http://alpha.example");
    AddProducer("P2", "Beta", "http://beta.example");
    AddProducer("P3", "Gamma");
    TO_producers& list = Shown<TO_producers>(400, 210);
    list.ShowLabelStrip = false;
    Show(list, "producer_id", "producer_name");
    TRecordGrid& grid = *list.CGrid1;
    QSignalSpy clicks(&list, &TO_ci::PanelClicked);
    QSignalSpy doubleClicks(&list, &TO_ci::PanelDoubleClicked);

    // The web address line is below the name; its middle holds the text.
    const QRect second = grid.PanelRect(1);
    QPoint url;
    for (int y = second.top(); y <= second.bottom() && url.isNull(); ++y) {
        if (list.PanelElementAt(1, second, QPoint(second.center().x(), y)) == "url")
            url = QPoint(second.center().x(), y);
    }
    ASSERT_FALSE(url.isNull());
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, url);
    EXPECT_EQ("P2", list.KeyValue());
    ASSERT_EQ(1, clicks.size());
    EXPECT_EQ("url", clicks[0][0].toString());

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(2, second.top() + 2));
    EXPECT_EQ("", clicks[1][0].toString()) << "beside the address";
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, Centre(grid, 2));
    EXPECT_EQ("P3", list.KeyValue());
    EXPECT_EQ(1, doubleClicks.size());

    // Below the last record: nothing.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(10, grid.PanelHeight() * 3 + 5));
    EXPECT_EQ("P3", list.KeyValue());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_P(RecordGridTest, FigurePanelsTellThumbnailFromText) {
    AddFigure("F1", "Archer");
    AddFigure("F2", "Hussar");
    TO_Figures& list = Shown<TO_Figures>(600, 260);
    Show(list, "figure_id", "figure_name");
    TRecordGrid& grid = *list.CGrid1;
    grid.SetColCount(2);
    QSignalSpy clicks(&list, &TO_ci::PanelClicked);
    QSignalSpy doubleClicks(&list, &TO_ci::PanelDoubleClicked);
    const QRect second = grid.PanelRect(1);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      TO_Figures::ThumbnailRect(second).center());
    EXPECT_EQ("F2", list.KeyValue());
    ASSERT_EQ(1, clicks.size());
    EXPECT_EQ("thumbnail", clicks[0][0].toString());
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {},
                       TO_Figures::TextRect(grid.PanelRect(0)).center());
    EXPECT_EQ("F1", list.KeyValue());
    ASSERT_EQ(1, doubleClicks.size());
    EXPECT_EQ("text", doubleClicks[0][0].toString());
    EXPECT_GE(2, clicks.size()) << "a double click is at most one click before it";
}

TEST_P(RecordGridTest, KeysMoveTheRecordAndTheGridFollows) {
    AddGenres(50);
    TO_genres& list = Shown<TO_genres>(300, 350);
    Show(list, "genre_id", "genre_name");
    TRecordGrid& grid = *list.CGrid1;
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(1, list.Q1.RecNo());
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(11, list.Q1.RecNo());
    EXPECT_EQ(9, grid.PanelIndex());
    QTest::keyClick(&grid, Qt::Key_End);
    EXPECT_EQ(49, list.Q1.RecNo());
    EXPECT_EQ(40, grid.TopRecord());
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(48, list.Q1.RecNo());
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(0, list.Q1.RecNo());
    EXPECT_EQ(0, grid.TopRecord());

    // Two columns: up and down move by a line.
    grid.SetColCount(2);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(2, list.Q1.RecNo());
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(3, list.Q1.RecNo());
    EXPECT_EQ(3, grid.PanelIndex());

    // Dragging the scroll bar takes the current record along.
    grid.verticalScrollBar()->setValue(10);
    EXPECT_EQ(20, grid.TopRecord());
    EXPECT_EQ(21, list.Q1.RecNo());
}

TEST_P(RecordGridTest, TheWheelIsLeftToTheWindow) {
    AddGenres(20);
    TO_genres& list = Shown<TO_genres>(300, 350);
    Show(list, "genre_id", "genre_name");
    QWidget* viewport = list.CGrid1->viewport();
    const QPointF at(10, 10);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    EXPECT_FALSE(wheel.isAccepted()) << "an ignored wheel event goes on to the window";
    EXPECT_EQ(0, list.Q1.RecNo());
    EXPECT_EQ(0, list.CGrid1->TopRecord());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(RecordGridTest);
