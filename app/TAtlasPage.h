#pragma once

#include "TAtlas.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

// The page "Atlas": the catalog's genres on the world map and the time line,
// drawn at the page's size. Hovering a marker or bar tells the genre, its
// years and its counts; a click on one shows the genre's figures; dragging
// over the time line selects the genres whose epoch overlaps the span and
// marks them on the map.
class TAtlasPage : public QWidget {
    Q_OBJECT

public:
    explicit TAtlasPage(QWidget* parent = nullptr);

    // Counts the figures of "ADB" again and redraws.
    void Reload();
    // The figures of the genre whose key is given.
    std::function<void(const QString& key)> ShowFigures;

    const TAtlas& Atlas() const { return atlas_; }
    // The genres the last drag over the time line selected.
    const std::vector<int>& Selected() const { return selected_; }
    // The tool tip at a point of the page; empty away from every genre.
    QString ToolTipAt(const QPoint& at) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TAtlas atlas_;
    std::vector<int> selected_;
    std::optional<QPoint> pressedAt_;
    // The span dragged over the time line since the last press, as x
    // positions.
    std::optional<std::pair<double, double>> span_;
};
