#pragma once

#include "TDataLink.h"

#include <QAbstractScrollArea>
#include <QColor>

class TO_ci;

// The grid of record panels of a list frame: ColCount columns by RowCount
// rows of panels over the frame's query, a record to a panel, the records
// in order left to right and top to bottom. The panels share the grid's
// width and height among them. The vertical scroll bar runs over the
// record lines; the current record is always on a visible panel.
//
// Only the visible panels are painted, each first in the grid's own panel
// colour (the selection colour for the current record), then through the
// frame's CGrid1PaintPanel and PaintPanelContent. A click on a panel makes
// its record current; the keys move through the records. The mouse wheel
// is left to the window, which steps the list through the frame's timer.
class TRecordGrid : public QAbstractScrollArea, public TDataLink {
    Q_OBJECT

public:
    static constexpr int MaxRowCount = 100;

    explicit TRecordGrid(TO_ci& frame, QWidget* parent = nullptr);
    ~TRecordGrid() override;

    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    // Held within 1..MaxRowCount.
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    int PanelCount() const { return colCount_ * rowCount_; }
    int PanelWidth() const;
    int PanelHeight() const;

    // The record on the first visible panel (0-based).
    int TopRecord() const { return topLine_ * colCount_; }
    // The current record's place among the visible panels; -1 when there
    // is no current record.
    int PanelIndex() const;
    // The panel at a place among the visible panels, in the coordinates of
    // the viewport (where the panels are painted).
    QRect PanelRect(int index) const;
    // The record on the panel under pos (viewport coordinates); -1 when
    // there is none.
    int RecordAt(const QPoint& pos) const;

    QColor PanelColor;
    QColor SelectedColor;

    // Panels painted so far.
    long long PanelsPainted() const { return panelsPainted_; }

    void ActiveChanged(TQuery& dataSet) override;
    void DataSetChanged(TQuery& dataSet) override;
    void RecordChanged(TQuery& dataSet) override;
    void StateChanged(TQuery& dataSet) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // Tool tips come from the frame's panel under the mouse.
    bool viewportEvent(QEvent* event) override;

private:
    // Takes the dataset's record count and current record, scrolls so that
    // the current record shows, and repaints.
    void Sync();
    void UpdateScrollBar();
    int LineCount() const;
    // The visible place of a record; -1 when it is not shown.
    int IndexOf(int record) const;
    // The control of the frame's panel under pos; "" when there is none.
    QString ElementAt(int record, const QPoint& pos) const;
    // Makes a record current; false when the move failed (and was shown).
    bool MakeCurrent(int record);
    void Move(int distance);

    TO_ci& frame_;
    int colCount_ = 1;
    int rowCount_ = 3;
    // As the dataset last told: while its controls are disabled the grid
    // keeps showing what it showed.
    int recordCount_ = 0;
    int current_ = -1;
    int topLine_ = 0;
    bool syncing_ = false;
    int pressedRecord_ = -1;
    long long panelsPainted_ = 0;
};
