// The statistics page in the main window: its charts, a click on a bar and
// saving a chart.

#include "DialogRunner.h"
#include "EngineSql.h"
#include "MainWindowFixture.h"
#include "TFiguresPage.h"
#include "TFmain.h"
#include "TO_Figures.h"
#include "TStatisticsPage.h"

#include <QBarSet>
#include <QChartView>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class StatisticsPageTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StartWindow({1000, 800});
        if (HasFatalFailure())
            return;
        for (const char* statement :
             {"insert into genres (genre_id, genre_name, TB, TE) values "
              "('G1', 'Napoleonic', 1796, 1815), ('G2', 'Medieval', 1250, 1320)",
              "insert into figures (figure_id, figure_name, genre_id, type_ci, scale) values "
              "('F1', 'Hussar', 'G1', 'cavalry', '54-mm'), "
              "('F2', 'Knight', 'G2', 'cavalry', '90-mm'), "
              "('F3', 'Grenadier', 'G1', 'infantry', '54-mm')",
              "insert into figure_collection (figure_id, collection_status, collection_quantity, "
              "collection_price, collection_value) values ('F1', 'finished', 4, 2.5, 7.25)"}) {
            ASSERT_EQ(RunSql(window_->DB1, QString::fromUtf8(statement)), QString());
        }
        window_->RefreshAll();
        window_->PageControl1->setCurrentWidget(window_->TabSheet_statistics);
        page_ = window_->TabSheet_statistics;
    }

    QStringList FigureNames() {
        QStringList names;
        TQuery& q = window_->O_Figures1->Q1;
        for (int row = 0; row < q.RecordCount(); ++row)
            names << q.ValueAt(row, q.FieldIndex("figure_name")).toString();
        return names;
    }

    DialogRunner::ScopedHook hook_{[](QDialog&) { return int(QDialog::Rejected); }};
    TStatisticsPage* page_ = nullptr;
};

using Group = TStatisticsPage::Group;

TEST_F(StatisticsPageTest, ClickingABarListsTheFiguresOfItsValue) {
    EXPECT_EQ(window_->PageControl1->tabText(3), "Statistics");
    EXPECT_EQ(window_->PageControl1->tabText(5), "Database management");

    // The genre chart's bars, top down: Medieval 1, Napoleonic 2.
    QChartView* view = page_->Chart(Group::Genre);
    auto* series = qobject_cast<QHorizontalBarSeries*>(view->chart()->series().value(0));
    ASSERT_NE(series, nullptr);
    const QBarSet* set = series->barSets().value(0);
    ASSERT_EQ(set->count(), 2);
    EXPECT_EQ(set->at(0), 2.0);
    EXPECT_EQ(set->at(1), 1.0);

    // A real click in the middle of the Medieval bar (the top one, index 1).
    QTest::qWait(20);
    const QPointF middle = view->chart()->mapToPosition(QPointF(0.5, 1), series);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->mapFromScene(view->chart()->mapToScene(middle)));
    EXPECT_EQ(window_->PageControl1->currentWidget(), window_->TabSheet_figures);
    EXPECT_EQ(FigureNames(), QStringList{"Knight"});

    const struct {
        Group group;
        int bar;
        QStringList names;
    } cases[] = {
        {Group::Scale, 0, {"Grenadier", "Hussar"}},
        {Group::Type, 1, {"Grenadier"}},
        // 1200-1299, 1300-1399, 1700-1799, 1800-1899.
        {Group::Century, 1, {"Knight"}},
        {Group::Century, 2, {"Grenadier", "Hussar"}},
        // No status, then the seven from "wanted": "finished" is the seventh.
        {Group::Status, 6, {"Hussar"}},
    };
    for (const auto& c : cases) {
        window_->PageControl1->setCurrentWidget(page_);
        page_->BarClicked(c.group, c.bar);
        EXPECT_EQ(FigureNames().join(','), c.names.join(',')) << int(c.group) << " " << c.bar;
    }
}

TEST_F(StatisticsPageTest, TotalsShowPiecesShareAndMoney) {
    const QString totals = page_->Label_totals->text();
    for (const QString& part : {QString("Pieces: 6"), QString("Finished: 33.3%"),
                                "Price: " + QLocale().toCurrencyString(2.5),
                                "Value: " + QLocale().toCurrencyString(7.25)})
        EXPECT_TRUE(totals.contains(part))
            << totals.toStdString() << " lacks " << part.toStdString();
}

TEST_F(StatisticsPageTest, ChartsAreSavedAsPngAndSvg) {
    const QString png = root_.filePath("genres.png");
    const QString svg = root_.filePath("genres.svg");
    ASSERT_TRUE(page_->SaveChart(Group::Genre, png));
    ASSERT_TRUE(page_->SaveChart(Group::Genre, svg));
    EXPECT_EQ(QImage(png).size(), page_->Chart(Group::Genre)->size());
    QFile drawing(svg);
    ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
    const QByteArray text = drawing.readAll();
    EXPECT_NE(text.indexOf("<svg"), -1);
    EXPECT_NE(text.indexOf("Napoleonic"), -1);
    EXPECT_FALSE(page_->SaveChart(Group::Genre, root_.filePath("none/genres.svg")));
}

} // namespace
