// The figure panel's layout at the sizes the main window gives it, and the
// tool tips that show the whole of a cut text.

#include "CatalogTestFixture.h"
#include "TFigureCollection.h"
#include "TO_Figures.h"
#include "TRecordGrid.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <memory>

namespace {

QFont Bold(QFont font) {
    font.setBold(true);
    return font;
}

// A panel size and whether the panel is wide enough to look as designed.
struct PanelCase {
    const char* name;
    QSize size;
    bool designed;
};

const PanelCase PanelCases[] = {
    {"one column as designed", {378, 125}, true},
    {"two columns, main window maximised", {528, 139}, true},
    {"two columns, main window at its designed size", {190, 138}, false},
    {"two columns, main window at its minimum size", {86, 153}, false},
};

TEST(FigurePanelLayoutTest, TextsStayReadableAndTheThumbnailWithinThePanel) {
    const QFont plain;
    const QFont bold = Bold(plain);
    for (const PanelCase& test : PanelCases) {
        SCOPED_TRACE(test.name);
        const QRect panel(QPoint(10, 20), test.size);
        const TO_Figures::PanelLayout layout = TO_Figures::Layout(panel, plain);

        EXPECT_TRUE(layout.thumbnail.isEmpty() || panel.contains(layout.thumbnail));
        EXPECT_LE(layout.thumbnail.width(), TO_Figures::ThumbnailWidth);
        if (!layout.thumbnail.isEmpty()) {
            EXPECT_LE(layout.thumbnail.right(), layout.text.left());
        }
        const std::pair<QRect, QFont> lines[] = {{layout.name, bold},
                                                 {layout.genre, bold},
                                                 {layout.scale, plain},
                                                 {layout.description, plain},
                                                 {layout.producer, plain}};
        for (const auto& line : lines) {
            EXPECT_TRUE(panel.contains(line.first)) << line.first.x() << "," << line.first.y();
            EXPECT_GE(line.first.width(),
                      TO_Figures::MinTextChars * QFontMetrics(line.second).averageCharWidth());
        }
        for (const QRect& line : {layout.name, layout.genre, layout.scale, layout.producer})
            EXPECT_EQ(QFontMetrics(bold).height(), line.height());
        EXPECT_LT(layout.scale.bottom(), layout.description.top());
        EXPECT_LT(layout.description.bottom(), layout.producer.top());

        if (test.designed) {
            const int bottomMargin = TO_Figures::DesignedPanelHeight - TO_Figures::ThumbnailTop -
                                     TO_Figures::ThumbnailHeight;
            EXPECT_EQ(
                QRect(panel.left() + 4, panel.top() + 4, 129, panel.height() - 4 - bottomMargin),
                layout.thumbnail);
            EXPECT_EQ(panel.left() + TO_Figures::TextLeft, layout.text.left());
            EXPECT_EQ(panel.left() + TO_Figures::TextLeft + TO_Figures::TextBorder,
                      layout.name.left());
        }
    }
}

TEST(FigurePanelLayoutTest, ANarrowedThumbnailKeepsItsProportions) {
    const TO_Figures::PanelLayout layout = TO_Figures::Layout(QRect(0, 0, 190, 138), QFont());
    ASSERT_FALSE(layout.thumbnail.isEmpty());
    EXPECT_LT(layout.thumbnail.width(), TO_Figures::ThumbnailWidth);
    EXPECT_NEAR(double(TO_Figures::ThumbnailHeight) / TO_Figures::ThumbnailWidth,
                double(layout.thumbnail.height()) / layout.thumbnail.width(), 0.02);
}

TEST(FigurePanelLayoutTest, ADescriptionTooLongForItsBlockEndsInAnEllipsis) {
    const QFont font;
    const int lineHeight = QFontMetrics(font).height();
    const QString text = "A mounted officer in full parade dress with a red dolman, a blue "
                         "pelisse trimmed with fur and a sabretache.";

    const TO_Figures::WrappedText cut =
        TO_Figures::WrapDescription(text, font, QSize(120, lineHeight * 3 + 2));
    EXPECT_TRUE(cut.elided);
    ASSERT_EQ(3, cut.lines.size());
    EXPECT_TRUE(cut.lines.last().endsWith(QChar(0x2026))) << cut.lines.last().toStdString();
    for (const QString& line : cut.lines)
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(line), 120) << line.toStdString();

    const TO_Figures::WrappedText whole =
        TO_Figures::WrapDescription(text, font, QSize(120, lineHeight * 20));
    EXPECT_FALSE(whole.elided);
    EXPECT_EQ(text, whole.lines.join(' '));
    EXPECT_TRUE(TO_Figures::WrapDescription(text, font, QSize(120, lineHeight - 1)).elided);
    EXPECT_FALSE(TO_Figures::WrapDescription({}, font, QSize(120, 0)).elided);
}

class FigurePanelToolTipTest : public OnEveryEngine<CatalogTestFixture> {
protected:
    void TearDown() override {
        host_.reset();
        CatalogTestFixture::TearDown();
    }

    // The figures list in two columns 400 pixels wide, open and shown.
    TO_Figures& Shown() {
        host_ = std::make_unique<QWidget>();
        auto* list = new TO_Figures(host_.get());
        list->setGeometry(0, 0, 400, 300);
        host_->resize(400, 300);
        list->CGrid1->SetColCount(2);
        Open(*list, "figure_id", "figure_name");
        host_->show();
        QTest::qWait(1);
        return *list;
    }

    // A tool tip event at pos on the grid's viewport; whether it was taken.
    static bool AskToolTip(TRecordGrid& grid, const QPoint& pos) {
        QHelpEvent event(QEvent::ToolTip, pos, grid.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(grid.viewport(), &event);
        return event.isAccepted();
    }

    std::unique_ptr<QWidget> host_;
};

TEST_P(FigurePanelToolTipTest, ACutLineShowsItsWholeTextUnderTheMouse) {
    if (OnServer())
        GTEST_SKIP() << "the name is longer than its column, which only the embedded engine keeps";
    const QString longName = "Officer of the Life Guard Hussar Regiment, 1812";
    const QString longDescription = QString("Full parade dress with a red dolman. ").repeated(12);
    AddFigure("F1", longName, {{"figure_dsc", longDescription}});
    AddFigure("F2", "Ney", {{"figure_dsc", "short"}});
    TO_Figures& list = Shown();
    TRecordGrid& grid = *list.CGrid1;
    const TO_Figures::PanelLayout cut = TO_Figures::Layout(grid.PanelRect(1), list.font());
    const TO_Figures::PanelLayout whole = TO_Figures::Layout(grid.PanelRect(0), list.font());
    ASSERT_EQ(QStringList({"Ney", longName}), Names(list));

    struct Case {
        const char* name;
        QPoint pos;
        QString expected;
    };
    const Case cases[] = {
        {"cut name", cut.name.center(), longName},
        {"cut description", cut.description.center(), longDescription},
        {"whole name", whole.name.center(), {}},
        {"whole description", whole.description.center(), {}},
        {"scale that fits", cut.scale.center(), {}},
        {"thumbnail", cut.thumbnail.center(), {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const bool shown = AskToolTip(grid, test.pos);
        EXPECT_EQ(!test.expected.isEmpty(), shown);
        if (shown) {
            EXPECT_EQ(test.expected, QToolTip::text());
        }
    }
    QToolTip::hideText();
}

// The status joined to every figure shows as a mark in the thumbnail's
// corner, its text in the mark's tool tip; a figure without one has none.
TEST_P(FigurePanelToolTipTest, TheStatusShowsAsAMarkInTheThumbnailsCorner) {
    const QByteArray red = Thumbnail(Qt::red);
    AddFigure("F1", "Archer", {{"picture_th", red}});
    AddFigure("F2", "Hussar", {{"picture_th", red}});
    Exec("insert into figure_collection (figure_id, collection_status) values "
         "('F2', 'finished')");
    TO_Figures& list = Shown();
    TRecordGrid& grid = *list.CGrid1;
    const QRect none = TO_Figures::Layout(grid.PanelRect(0), list.font()).statusMark;
    const QRect finished = TO_Figures::Layout(grid.PanelRect(1), list.font()).statusMark;
    ASSERT_EQ("finished", list.RowText(1, "collection_status"));

    QImage image(list.size(), QImage::Format_RGB32);
    list.render(&image);
    EXPECT_EQ(QColor(Qt::red), image.pixelColor(grid.viewport()->mapTo(&list, none.center())));
    EXPECT_EQ(TFigureCollection::StatusColor("finished"),
              image.pixelColor(grid.viewport()->mapTo(&list, finished.center())));
    EXPECT_FALSE(AskToolTip(grid, none.center()));
    ASSERT_TRUE(AskToolTip(grid, finished.center()));
    EXPECT_EQ("finished", QToolTip::text());
    QToolTip::hideText();
}

} // namespace

VELMORA_ON_EVERY_ENGINE(FigurePanelToolTipTest);
