#include "TAtlasPage.h"

#include "CommandGuard.h"
#include "TDatabase.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// A press moved less than this is a click.
constexpr int DragDistance = 4;

} // namespace

TAtlasPage::TAtlasPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TabSheet_atlas"));
    setMouseTracking(true);
    setMinimumSize(400, 300);
}

void TAtlasPage::Reload() {
    atlas_ = TAtlas(TAtlas::ReadGenres(TDatabase::Connected(QStringLiteral("ADB")).Handle()));
    atlas_.Layout(QSizeF(size()));
    selected_.clear();
    span_.reset();
    update();
}

QString TAtlasPage::ToolTipAt(const QPoint& at) const {
    const int genre = atlas_.GenreAt(QPointF(at));
    return genre < 0 ? QString() : atlas_.Describe(genre);
}

bool TAtlasPage::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void TAtlasPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    atlas_.Draw(painter, selected_);
    if (span_) {
        const QRectF line = atlas_.LineArea();
        const double left = std::min(span_->first, span_->second);
        const double right = std::max(span_->first, span_->second);
        painter.fillRect(QRectF(left, line.top(), right - left, line.height()),
                         QColor(0, 40, 140, 50));
    }
}

void TAtlasPage::resizeEvent(QResizeEvent* event) {
    atlas_.Layout(QSizeF(size()));
    QWidget::resizeEvent(event);
}

void TAtlasPage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressedAt_ = event->position().toPoint();
    span_.reset();
    update();
}

void TAtlasPage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!pressedAt_ || !atlas_.LineArea().contains(QPointF(*pressedAt_)))
        return;
    if (span_ || std::abs(at.x() - pressedAt_->x()) >= DragDistance) {
        span_ = {pressedAt_->x(), at.x()};
        update();
    }
}

void TAtlasPage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_)
        return;
    const QPoint pressed = *pressedAt_;
    pressedAt_.reset();
    if (span_) {
        const int first = static_cast<int>(std::lround(atlas_.YearAt(span_->first)));
        const int last = static_cast<int>(std::lround(atlas_.YearAt(span_->second)));
        // The span stays shown with the genres it selected.
        selected_ = atlas_.GenresOverlapping(first, last);
        update();
        return;
    }
    const int genre = atlas_.GenreAt(QPointF(pressed));
    if (genre >= 0 && ShowFigures) {
        const QString key = atlas_.Genres()[static_cast<size_t>(genre)].key;
        CommandGuard::Run([this, &key] { ShowFigures(key); });
    }
}
