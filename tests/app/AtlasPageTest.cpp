// The atlas page in the main window: a click on a genre and a drag over the
// time line, with real mouse events.

#include "DialogRunner.h"
#include "EngineSql.h"
#include "MainWindowFixture.h"
#include "TAtlasPage.h"
#include "TFiguresPage.h"
#include "TFmain.h"
#include "TO_Figures.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class AtlasPageTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StartWindow({1000, 800});
        if (HasFatalFailure())
            return;
        for (const char* statement :
             {"insert into genres (genre_id, genre_name, TB, TE, RX, RY, RW, RH) values "
              "('G1', 'Napoleonic', 1796, 1815, 150, 80, 30, 30), "
              "('G2', 'Medieval', 1250, 1320, 250, 150, 30, 30)",
              "insert into figures (figure_id, figure_name, genre_id) values "
              "('F1', 'Hussar', 'G1'), ('F2', 'Knight', 'G2'), ('F3', 'Grenadier', 'G1')"}) {
            ASSERT_EQ(RunSql(window_->DB1, QString::fromUtf8(statement)), QString());
        }
        window_->RefreshAll();
        window_->PageControl1->setCurrentWidget(window_->TabSheet_atlas);
        page_ = window_->TabSheet_atlas;
    }

    int Index(const QString& key) const {
        const auto& genres = page_->Atlas().Genres();
        for (size_t i = 0; i < genres.size(); ++i)
            if (genres[i].key == key)
                return static_cast<int>(i);
        return -1;
    }

    QStringList FigureNames() {
        QStringList names;
        TQuery& q = window_->O_Figures1->Q1;
        for (int row = 0; row < q.RecordCount(); ++row)
            names << q.ValueAt(row, q.FieldIndex("figure_name")).toString();
        return names;
    }

    DialogRunner::ScopedHook hook_{[](QDialog&) { return int(QDialog::Rejected); }};
    TAtlasPage* page_ = nullptr;
};

TEST_F(AtlasPageTest, ClickingAGenreListsItsFigures) {
    EXPECT_EQ(window_->PageControl1->tabText(4), "Atlas");
    const QPoint marker = page_->Atlas().Marker(Index("G2")).center().toPoint();
    EXPECT_TRUE(page_->ToolTipAt(marker).startsWith("Medieval\n1250 - 1320\n1 figures"))
        << page_->ToolTipAt(marker).toStdString();

    QTest::mouseClick(page_, Qt::LeftButton, {}, marker);
    EXPECT_EQ(window_->PageControl1->currentWidget(), window_->TabSheet_figures);
    EXPECT_EQ(FigureNames(), QStringList{"Knight"});
}

TEST_F(AtlasPageTest, DraggingOverTheTimeLineSelectsTheEpochsOfTheSpan) {
    const TAtlas& atlas = page_->Atlas();
    const int y = static_cast<int>(atlas.LineArea().center().y());
    const auto drag = [&](int firstYear, int lastYear) {
        QTest::mousePress(page_, Qt::LeftButton, {}, QPoint(atlas.XOfYear(firstYear), y));
        QMouseEvent move(QEvent::MouseMove, QPointF(atlas.XOfYear(lastYear), y),
                         page_->mapToGlobal(QPointF(atlas.XOfYear(lastYear), y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(page_, &move);
        QTest::mouseRelease(page_, Qt::LeftButton, {}, QPoint(atlas.XOfYear(lastYear), y));
        return page_->Selected();
    };
    EXPECT_EQ(drag(1700, 1900), std::vector<int>{Index("G1")});
    EXPECT_EQ(drag(1900, 1000), (std::vector<int>{Index("G2"), Index("G1")}));
    EXPECT_EQ(drag(0, 1000), std::vector<int>{});
    EXPECT_EQ(window_->PageControl1->currentWidget(), page_);
}

} // namespace
