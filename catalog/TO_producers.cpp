#include "TO_producers.h"

#include "TField.h"
#include "TRecordGrid.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>

namespace {

const QString NameColumn = QStringLiteral("producer_name");
const QString UrlColumn = QStringLiteral("producer_website");
const QString UrlElement = QStringLiteral("url");

} // namespace

TO_producers::TO_producers(QWidget* parent) : TO_ci(parent) {
    Q1.SQL = QStringList{"select *", "from producers", "order by producer_name"};
    UpdateSQL1.ModifySQL = QStringList{"update producers",
                                       "set",
                                       "  producer_id = :producer_id,",
                                       "  producer_name = :producer_name,",
                                       "  producer_dsc = :producer_dsc,",
                                       "  producer_website = :producer_website",
                                       "where",
                                       "  producer_id = :OLD_producer_id"};
    UpdateSQL1.InsertSQL = QStringList{
        "insert into producers", "  (producer_id, producer_name, producer_dsc, producer_website)",
        "values", "  (:producer_id, :producer_name, :producer_dsc, :producer_website)"};
    TableName = QStringLiteral("producers");
    UpdateSQL1.DeleteSQL =
        QStringList{"delete from producers", "where", "  producer_id = :OLD_producer_id"};
    CGrid1->SelectedColor = Qt::white;
}

void TO_producers::InitNewRecord() {
    TO_ci::InitNewRecord();
    // Kept with the new row; the insert statement does not write it.
    Q1.FieldByName(QStringLiteral("insert_time")).SetValue(QDateTime::currentDateTime());
}

QFont TO_producers::NameFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

QFont TO_producers::UrlFont() const {
    QFont underlined = font();
    underlined.setUnderline(true);
    return underlined;
}

TO_producers::Layout TO_producers::PanelLayout(const QRect& panel) const {
    // From the top: the strip, the name, the address.
    const int top = panel.top() + (ShowLabelStrip ? LabelStripHeight : 0) + 2;
    const int nameHeight = QFontMetrics(NameFont()).height();
    const int urlHeight = QFontMetrics(UrlFont()).height();
    Layout layout;
    layout.name = QRect(panel.left() + 4, top, panel.width() - 8, nameHeight);
    layout.url = QRect(panel.left() + 4, top + nameHeight + 2, panel.width() - 8, urlHeight);
    return layout;
}

QString TO_producers::ShownUrl(int row, int width) const {
    return QFontMetrics(UrlFont()).elidedText(RowText(row, UrlColumn), Qt::ElideRight, width);
}

QRect TO_producers::UrlTextRect(const QRect& line, const QString& shown) const {
    const int width = QFontMetrics(UrlFont()).horizontalAdvance(shown);
    return {line.left() + (line.width() - width) / 2, line.top(), width, line.height()};
}

void TO_producers::PaintPanelContent(QPainter& painter, const QRect& panel, int row) {
    const Layout layout = PanelLayout(panel);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(NameFont());
    painter.drawText(layout.name, Qt::AlignCenter,
                     painter.fontMetrics().elidedText(RowText(row, NameColumn), Qt::ElideRight,
                                                      layout.name.width()));
    painter.setFont(UrlFont());
    painter.drawText(layout.url, Qt::AlignCenter, ShownUrl(row, layout.url.width()));
}

QString TO_producers::PanelElementAt(int row, const QRect& panel, const QPoint& pos) const {
    const QRect line = PanelLayout(panel).url;
    const QString shown = ShownUrl(row, line.width());
    return !shown.isEmpty() && UrlTextRect(line, shown).contains(pos) ? UrlElement : QString();
}

Qt::CursorShape TO_producers::PanelElementCursor(const QString& element) const {
    return element == UrlElement ? Qt::PointingHandCursor : Qt::ArrowCursor;
}
