#include "TRecordGrid.h"

#include "CommandGuard.h"
#include "TO_ci.h"
#include "TQuery.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <exception>

TRecordGrid::TRecordGrid(TO_ci& frame, QWidget* parent)
    : QAbstractScrollArea(parent), frame_(frame) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    PanelColor = palette().color(QPalette::Button);
    SelectedColor = palette().color(QPalette::Highlight);
    frame_.Q1.AddLink(this);
    Sync();
}

TRecordGrid::~TRecordGrid() {
    frame_.Q1.RemoveLink(this);
}

void TRecordGrid::SetColCount(int count) {
    colCount_ = std::max(1, count);
    Sync();
}

void TRecordGrid::SetRowCount(int count) {
    rowCount_ = std::clamp(count, 1, MaxRowCount);
    Sync();
}

int TRecordGrid::PanelWidth() const {
    return std::max(1, viewport()->width() / colCount_);
}

int TRecordGrid::PanelHeight() const {
    return std::max(1, viewport()->height() / rowCount_);
}

int TRecordGrid::PanelIndex() const {
    return IndexOf(current_);
}

QRect TRecordGrid::PanelRect(int index) const {
    const int width = PanelWidth();
    const int height = PanelHeight();
    return {index % colCount_ * width, index / colCount_ * height, width, height};
}

int TRecordGrid::RecordAt(const QPoint& pos) const {
    if (pos.x() < 0 || pos.y() < 0)
        return -1;
    const int column = pos.x() / PanelWidth();
    const int line = pos.y() / PanelHeight();
    if (column >= colCount_ || line >= rowCount_)
        return -1;
    const int record = TopRecord() + line * colCount_ + column;
    return record < recordCount_ ? record : -1;
}

int TRecordGrid::LineCount() const {
    return (recordCount_ + colCount_ - 1) / colCount_;
}

int TRecordGrid::IndexOf(int record) const {
    const int index = record - TopRecord();
    return record >= 0 && index >= 0 && index < PanelCount() ? index : -1;
}

// --- following the dataset ---------------------------------------------------

void TRecordGrid::ActiveChanged(TQuery&) {
    topLine_ = 0;
    Sync();
}

void TRecordGrid::DataSetChanged(TQuery&) {
    Sync();
}

void TRecordGrid::RecordChanged(TQuery&) {
    viewport()->update();
}

void TRecordGrid::StateChanged(TQuery&) {
    viewport()->update();
}

void TRecordGrid::Sync() {
    const TQuery& query = frame_.Q1;
    recordCount_ = query.Active() ? query.RecordCount() : 0;
    current_ = query.Active() ? query.RecNo() : -1;
    if (current_ >= 0) {
        const int line = current_ / colCount_;
        if (line < topLine_)
            topLine_ = line;
        else if (line >= topLine_ + rowCount_)
            topLine_ = line - rowCount_ + 1;
    }
    topLine_ = std::clamp(topLine_, 0, std::max(0, LineCount() - rowCount_));
    UpdateScrollBar();
    viewport()->update();
}

void TRecordGrid::UpdateScrollBar() {
    syncing_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, LineCount() - rowCount_));
    bar->setPageStep(rowCount_);
    bar->setSingleStep(1);
    bar->setValue(topLine_);
    syncing_ = false;
}

void TRecordGrid::scrollContentsBy(int, int) {
    if (syncing_)
        return;
    // The user moved the scroll bar: the current record goes along when it
    // would leave the visible lines.
    topLine_ = verticalScrollBar()->value();
    if (current_ >= 0) {
        const int line = std::clamp(current_ / colCount_, topLine_, topLine_ + rowCount_ - 1);
        const int record = std::min(line * colCount_ + current_ % colCount_, recordCount_ - 1);
        if (record != current_)
            MakeCurrent(record);
    }
    viewport()->update();
}

// --- painting ------------------------------------------------------------------

void TRecordGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), PanelColor);
    const TQuery& query = frame_.Q1;
    if (!query.Active())
        return;
    const int records = std::min(recordCount_, query.RecordCount());
    for (int index = 0; index < PanelCount(); ++index) {
        const int record = TopRecord() + index;
        if (record >= records)
            break;
        const QRect panel = PanelRect(index);
        if (!panel.intersects(event->rect()))
            continue;
        painter.save();
        painter.setClipRect(panel, Qt::IntersectClip);
        painter.fillRect(panel, record == current_ ? SelectedColor : PanelColor);
        try {
            frame_.CGrid1PaintPanel(painter, panel, index);
            frame_.PaintPanelContent(painter, panel, record);
        } catch (const std::exception&) {
            // A record that cannot be read shows as an empty panel; a
            // message box from within painting would only paint again.
        }
        painter.restore();
        ++panelsPainted_;
    }
}

void TRecordGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    viewport()->update();
}

// --- mouse and keys -------------------------------------------------------------

QString TRecordGrid::ElementAt(int record, const QPoint& pos) const {
    const int index = IndexOf(record);
    if (index < 0)
        return {};
    return frame_.PanelElementAt(record, PanelRect(index), pos);
}

bool TRecordGrid::MakeCurrent(int record) {
    return CommandGuard::Run([this, record] {
        TQuery& query = frame_.Q1;
        if (query.Active() && query.RecNo() != record)
            query.MoveTo(record);
    });
}

void TRecordGrid::Move(int distance) {
    CommandGuard::Run([this, distance] {
        if (frame_.Q1.Active())
            frame_.Q1.MoveBy(distance);
    });
}

void TRecordGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    pressedRecord_ = RecordAt(event->position().toPoint());
    if (pressedRecord_ >= 0 && !MakeCurrent(pressedRecord_))
        pressedRecord_ = -1;
    event->accept();
}

void TRecordGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int record = RecordAt(pos);
    const bool click = event->button() == Qt::LeftButton && record >= 0 && record == pressedRecord_;
    pressedRecord_ = -1;
    event->accept();
    if (click)
        emit frame_.PanelClicked(ElementAt(record, pos));
}

void TRecordGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int record = RecordAt(pos);
    event->accept();
    // The release that ends a double click is no click of its own.
    pressedRecord_ = -1;
    if (event->button() != Qt::LeftButton || record < 0 || !MakeCurrent(record))
        return;
    emit frame_.PanelDoubleClicked(ElementAt(record, pos));
}

void TRecordGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int record = RecordAt(pos);
    viewport()->setCursor(record >= 0 ? frame_.PanelElementCursor(ElementAt(record, pos))
                                      : Qt::ArrowCursor);
    QAbstractScrollArea::mouseMoveEvent(event);
}

void TRecordGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        Move(-1);
        break;
    case Qt::Key_Right:
        Move(1);
        break;
    case Qt::Key_Up:
        Move(-colCount_);
        break;
    case Qt::Key_Down:
        Move(colCount_);
        break;
    case Qt::Key_PageUp:
        Move(-PanelCount());
        break;
    case Qt::Key_PageDown:
        Move(PanelCount());
        break;
    case Qt::Key_Home:
        CommandGuard::Run([this] {
            if (frame_.Q1.Active())
                frame_.Q1.First();
        });
        break;
    case Qt::Key_End:
        CommandGuard::Run([this] {
            if (frame_.Q1.Active())
                frame_.Q1.Last();
        });
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TRecordGrid::wheelEvent(QWheelEvent* event) {
    // The window steps the list on the wheel (through the frame's timer).
    event->ignore();
}

bool TRecordGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int record = RecordAt(help->pos());
    const int index = IndexOf(record);
    QString text;
    if (index >= 0) {
        try {
            text = frame_.PanelToolTip(record, PanelRect(index), help->pos());
        } catch (const std::exception&) {
            // A record that cannot be read has no tool tip.
        }
    }
    if (text.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), text, viewport(), PanelRect(index));
    event->accept();
    return true;
}
