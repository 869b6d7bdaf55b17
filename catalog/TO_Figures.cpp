#include "TO_Figures.h"

#include "TRecordGrid.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

const QString ThumbnailElement = QStringLiteral("thumbnail");
const QString TextElement = QStringLiteral("text");

// One line of text at the top of rest, taken off it.
QRect TakeLine(QRect& rest, const QFont& font) {
    const int height = std::min(QFontMetrics(font).height(), std::max(0, rest.height()));
    const QRect line(rest.left(), rest.top(), rest.width(), height);
    rest.setTop(rest.top() + height);
    return line;
}

} // namespace

QStringList TO_Figures::ListQuery() {
    return {"select ",
            "  f.figure_id, ",
            "  f.figure_name, ",
            "  f.producer_id, ",
            "  f.genre_id, ",
            "  f.type_ci,",
            "  f.scale,",
            "  f.figure_dsc,",
            "  f.figure_files,",
            "  f.picture_th,",
            "  f.sculpter_name,",
            "  f.painter_name,",
            "",
            "  p.producer_name,",
            "  g.genre_name",
            "",
            "from figures f",
            "left outer join producers p on (f.producer_id = p.producer_id)",
            "left outer join genres g      on (f.genre_id = g.genre_id)",
            "order by f.figure_name"};
}

QStringList TO_Figures::FilteredQuery(const QString& filterLine) {
    return {"select",
            "   f.figure_id,",
            "   f.figure_name,",
            "   f.producer_id,",
            "   f.genre_id,",
            "   f.type_ci,",
            "   f.scale,",
            "   f.figure_dsc,",
            "   f.figure_files,",
            "   f.picture_th,",
            "   f.sculpter_name,",
            "   f.painter_name,",
            "   p.producer_name,",
            "   g.genre_name",
            "from figures f",
            "left outer join producers p on (f.producer_id = p.producer_id)",
            "left outer join genres g      on (f.genre_id = g.genre_id)",
            filterLine,
            "order by f.figure_name"};
}

TO_Figures::TO_Figures(QWidget* parent) : TO_ci(parent) {
    Q1.SQL = ListQuery();
    UpdateSQL1.ModifySQL = QStringList{"update figures",
                                       "set",
                                       "  figure_id = :figure_id,",
                                       "  figure_name = :figure_name,",
                                       "  producer_id = :producer_id,",
                                       "  genre_id = :genre_id,",
                                       "  type_ci = :type_ci,",
                                       "  scale = :scale,",
                                       "  figure_dsc = :figure_dsc,",
                                       "  figure_files = :figure_files,",
                                       "  picture_th = :picture_th,",
                                       "  sculpter_name = :sculpter_name,",
                                       "  painter_name = :painter_name",
                                       "where",
                                       "  figure_id = :OLD_figure_id"};
    UpdateSQL1.InsertSQL = QStringList{
        "insert into figures",
        "  (figure_id, figure_name, producer_id, genre_id, type_ci, scale, figure_dsc, ",
        "   figure_files, picture_th, sculpter_name, painter_name)",
        "values",
        "  (:figure_id, :figure_name, :producer_id, :genre_id, :type_ci, :scale, ",
        "   :figure_dsc, :figure_files, :picture_th, :sculpter_name, :painter_name)"};
    UpdateSQL1.DeleteSQL =
        QStringList{"delete from figures", "where", "  figure_id = :OLD_figure_id"};

    CGrid1->SelectedColor = QColor(0, 128, 255);
    Q1.BeforeDelete = [this](TQuery&) { Q1BeforeDelete(); };
}

int TO_Figures::RowHeight() const {
    return 125;
}

void TO_Figures::main_focus() {
    CGrid1->setFocus(Qt::OtherFocusReason);
}

void TO_Figures::Q1BeforeDelete() {
    const TQuery::TBookmark deleting = Q1.GetBookmark();
    // In the delete's transaction: when the pictures cannot be deleted the
    // figure stays, and when the figure cannot be its pictures stay.
    DeleteReferencingOrFail(QStringLiteral("add_pictures"), QStringLiteral("figure_id"));
    // Events that ran meanwhile must not change the row being deleted.
    if (Q1.GetBookmark() != deleting)
        Q1.GotoBookmark(deleting);
}

// --- the panel --------------------------------------------------------------------

QRect TO_Figures::ThumbnailRect(const QRect& panel) {
    const int bottomMargin = DesignedPanelHeight - ThumbnailTop - ThumbnailHeight;
    return {panel.left() + ThumbnailLeft, panel.top() + ThumbnailTop,
            std::min(ThumbnailWidth, std::max(0, panel.width() - ThumbnailLeft)),
            std::max(0, panel.height() - ThumbnailTop - bottomMargin)};
}

QRect TO_Figures::TextRect(const QRect& panel) {
    return QRect(panel.left() + TextLeft, panel.top(), std::max(0, panel.width() - TextLeft),
                 panel.height());
}

void TO_Figures::CGrid1PaintPanel(QPainter&, const QRect&, int) {}

void TO_Figures::PaintPanelContent(QPainter& painter, const QRect& panel, int row) {
    const QImage picture = Thumbnail(row);
    if (!picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(ThumbnailRect(panel), picture);
    }

    QFont plain = font();
    QFont bold = plain;
    bold.setBold(true);
    QFont italic = plain;
    italic.setItalic(true);
    const QColor text = palette().color(QPalette::WindowText);
    auto draw = [&](const QRect& line, const QFont& lineFont, const QString& value) {
        painter.setFont(lineFont);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(value, Qt::ElideRight, line.width()));
    };

    QRect rest = TextRect(panel).adjusted(TextBorder, TextBorder, -TextBorder, -TextBorder);
    if (rest.width() <= 0 || rest.height() <= 0)
        return;
    painter.setPen(text);
    draw(TakeLine(rest, bold), bold, RowText(row, QStringLiteral("figure_name")));
    draw(TakeLine(rest, bold), bold, RowText(row, QStringLiteral("genre_name")));
    draw(TakeLine(rest, plain), plain, RowText(row, QStringLiteral("scale")));
    // The manufacturer at the bottom, the description filling the middle.
    const int bottomHeight = std::min(QFontMetrics(plain).height(), std::max(0, rest.height()));
    const QRect bottom(rest.left(), rest.bottom() - bottomHeight + 1, rest.width(), bottomHeight);
    const QRect middle(rest.left(), rest.top(), rest.width(), rest.height() - bottomHeight);
    if (middle.height() > 0) {
        painter.fillRect(middle, palette().color(QPalette::Button));
        painter.setFont(italic);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(middle, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         RowText(row, QStringLiteral("figure_dsc")));
        painter.setPen(text);
    }
    draw(bottom, plain, RowText(row, QStringLiteral("producer_name")));
}

QString TO_Figures::PanelElementAt(int, const QRect& panel, const QPoint& pos) const {
    if (ThumbnailRect(panel).contains(pos))
        return ThumbnailElement;
    if (TextRect(panel).contains(pos))
        return TextElement;
    return {};
}

Qt::CursorShape TO_Figures::PanelElementCursor(const QString& element) const {
    return element == ThumbnailElement ? Qt::PointingHandCursor : Qt::ArrowCursor;
}
