#pragma once

#include "TCatalogStats.h"

#include <QWidget>

#include <functional>
#include <vector>

class QChartView;
class QLabel;
class QPushButton;

// The page "Statistics": the catalog's totals (figures, pieces, finished
// share, price and value) and a bar chart of its figures by genre,
// manufacturer, scale, type, century of their genre's epoch, status and
// year of acquisition. A click on a bar shows the figures of that value;
// every chart can be saved as a PNG picture or an SVG drawing.
class TStatisticsPage : public QWidget {
    Q_OBJECT

public:
    enum class Group { Genre, Manufacturer, Scale, Type, Century, Status, Acquired };

    explicit TStatisticsPage(QWidget* parent = nullptr);

    // Counts the figures of "ADB" again and redraws every chart.
    void Reload();
    // The figures whose value of group is key (a record key, a type or
    // scale, a century's first year, a status, a year). Bars of figures
    // without the value (an empty key) show nothing.
    std::function<void(Group group, const QString& key)> ShowFigures;

    void BarClicked(Group group, int index);
    // Writes the chart as an SVG drawing when the file name ends in ".svg",
    // else as a PNG picture. False when the file cannot be written.
    bool SaveChart(Group group, const QString& fileName) const;
    // Asks for a file and saves the chart in it.
    void SaveChartClick(Group group);

    QChartView* Chart(Group group) const;
    const std::vector<TStatBar>& Bars(Group group) const;

    QLabel* Label_totals = nullptr;

private:
    struct Panel {
        using Counter = std::vector<TStatBar> (TCatalogStats::*)() const;
        Group group;
        Counter count = nullptr;
        QString title;
        QChartView* view = nullptr;
        QPushButton* save = nullptr;
        std::vector<TStatBar> bars;
    };

    const Panel& PanelOf(Group group) const;
    void Draw(Panel& panel);

    std::vector<Panel> panels_;
};
