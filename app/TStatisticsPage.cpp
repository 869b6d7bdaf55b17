#include "TStatisticsPage.h"

#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "FolderKeeper.h"
#include "TDatabase.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGridLayout>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSvgGenerator>
#include <QVBoxLayout>

#include <QValueAxis>
#include <algorithm>
#include <tuple>

namespace {

constexpr int ChartHeightPerBar = 22;
constexpr int ChartMinimumHeight = 220;

QString BarLabel(const TStatBar& bar) {
    return bar.label.isEmpty() ? QStringLiteral("(none)") : bar.label;
}

QString Money(qint64 cents) {
    return QLocale().toCurrencyString(static_cast<double>(cents) / 100.0);
}

QString Totals(const TCatalogStats& stats) {
    const QLocale locale;
    const std::optional<double> share = stats.FinishedShare();
    return QStringLiteral("Figures: %1    Pieces: %2    Finished: %3    Price: %4    Value: %5")
        .arg(locale.toString(stats.Figures()), locale.toString(stats.Pieces()),
             share ? locale.toString(*share * 100.0, 'f', 1) + QLatin1Char('%')
                   : QStringLiteral("-"),
             Money(stats.PriceTotalCents()), Money(stats.ValueTotalCents()));
}

} // namespace

TStatisticsPage::TStatisticsPage(QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto* inner = new QWidget(scroll);
    scroll->setWidget(inner);
    auto* grid = new QGridLayout(inner);

    Label_totals = new QLabel(inner);
    QFont bold = Label_totals->font();
    bold.setBold(true);
    Label_totals->setFont(bold);
    grid->addWidget(Label_totals, 0, 0, 1, 2);

    const std::tuple<Group, const char*, Panel::Counter> groups[] = {
        {Group::Genre, "Figures by genre", &TCatalogStats::ByGenre},
        {Group::Manufacturer, "Figures by manufacturer", &TCatalogStats::ByManufacturer},
        {Group::Scale, "Figures by scale", &TCatalogStats::ByScale},
        {Group::Type, "Figures by type", &TCatalogStats::ByType},
        {Group::Century, "Figures per century", &TCatalogStats::ByCentury},
        {Group::Status, "Figures by status", &TCatalogStats::ByStatus},
        {Group::Acquired, "Figures acquired per year", &TCatalogStats::AcquiredPerYear}};
    int row = 1;
    for (const auto& [group, title, count] : groups) {
        Panel panel;
        panel.group = group;
        panel.title = QString::fromLatin1(title);
        panel.count = count;
        panel.view = new QChartView(inner);
        panel.view->setRenderHint(QPainter::Antialiasing);
        panel.view->setMinimumHeight(ChartMinimumHeight);
        panel.save = new QPushButton(QStringLiteral("Save chart..."), inner);
        const Group which = group;
        connect(panel.save, &QPushButton::clicked, this,
                CommandGuard::Slot([this, which] { SaveChartClick(which); }));
        grid->addWidget(panel.view, row, 0, 1, 2);
        grid->addWidget(panel.save, row + 1, 1, Qt::AlignRight);
        row += 2;
        panels_.push_back(std::move(panel));
    }
    for (Panel& panel : panels_)
        Draw(panel);
}

const TStatisticsPage::Panel& TStatisticsPage::PanelOf(Group group) const {
    return panels_.at(static_cast<std::size_t>(group));
}

QChartView* TStatisticsPage::Chart(Group group) const {
    return PanelOf(group).view;
}

const std::vector<TStatBar>& TStatisticsPage::Bars(Group group) const {
    return PanelOf(group).bars;
}

void TStatisticsPage::Reload() {
    const TCatalogStats stats(TDatabase::Connected(QStringLiteral("ADB")).Handle());
    Label_totals->setText(Totals(stats));
    for (Panel& panel : panels_) {
        panel.bars = (stats.*panel.count)();
        Draw(panel);
    }
}

void TStatisticsPage::Draw(Panel& panel) {
    // Bars run from the top down in the order of the rows.
    auto* set = new QBarSet(panel.title);
    QStringList categories;
    qint64 most = 0;
    for (auto bar = panel.bars.rbegin(); bar != panel.bars.rend(); ++bar) {
        *set << static_cast<qreal>(bar->figures);
        categories << BarLabel(*bar);
        most = std::max(most, bar->figures);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    const Group group = panel.group;
    const int count = static_cast<int>(panel.bars.size());
    connect(series, &QAbstractBarSeries::clicked, this,
            CommandGuard::Slot([this, group, count](int index, QBarSet*) {
                BarClicked(group, count - 1 - index);
            }));

    auto* chart = new QChart;
    chart->setTitle(panel.title);
    chart->legend()->hide();
    chart->addSeries(series);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%d"));
    values->setRange(0, static_cast<qreal>(std::max<qint64>(most, 1)));
    values->setTickType(QValueAxis::TicksDynamic);
    values->setTickInterval(std::max<qint64>(1, most / 5));
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);
    auto* names = new QBarCategoryAxis;
    names->append(categories);
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);

    QChart* old = panel.view->chart();
    panel.view->setChart(chart);
    delete old;
    panel.view->setMinimumHeight(
        std::max(ChartMinimumHeight, ChartMinimumHeight / 2 + count * ChartHeightPerBar));
}

void TStatisticsPage::BarClicked(Group group, int index) {
    const std::vector<TStatBar>& bars = Bars(group);
    // Figures without the value have no filter to show them by.
    if (index >= 0 && index < static_cast<int>(bars.size()) && ShowFigures &&
        !bars[static_cast<std::size_t>(index)].key.isEmpty())
        ShowFigures(group, bars[static_cast<std::size_t>(index)].key);
}

bool TStatisticsPage::SaveChart(Group group, const QString& fileName) const {
    QChartView* view = Chart(group);
    if (fileName.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(fileName);
        svg.setSize(view->size());
        svg.setViewBox(view->rect());
        svg.setTitle(PanelOf(group).title);
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        view->render(&painter);
        return painter.end();
    }
    return view->grab().save(fileName, "PNG");
}

void TStatisticsPage::SaveChartClick(Group group) {
    QString fileName;
    {
        FolderKeeper keeper;
        QFileDialog dialog(this, QStringLiteral("Save chart"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(
            {QStringLiteral("PNG picture (*.png)"), QStringLiteral("SVG drawing (*.svg)")});
        dialog.setDefaultSuffix(QStringLiteral("png"));
        dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Exports));
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            dialog.setDefaultSuffix(filter.contains(QStringLiteral("svg")) ? QStringLiteral("svg")
                                                                           : QStringLiteral("png"));
        });
        if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        fileName = dialog.selectedFiles().constFirst();
        DialogFolders::Remember(DialogFolders::Kind::Exports, fileName);
    }
    if (!SaveChart(group, fileName))
        DialogRunner::ShowStandardMessage(QStringLiteral("Cannot write %1").arg(fileName));
}
