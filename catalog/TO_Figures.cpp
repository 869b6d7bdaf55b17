#include "TO_Figures.h"

#include "DatabaseStructure.h"
#include "TFigureCollection.h"
#include "TRecordGrid.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

const QString ThumbnailElement = QStringLiteral("thumbnail");
const QString TextElement = QStringLiteral("text");
// The joined column of the figure's collection status.
const QString StatusColumn = QStringLiteral("collection_status");

// A filled circle in the status's colour, ringed in white so that it shows
// on any picture; nothing for a figure without a status.
void PaintStatusMark(QPainter& painter, const QRect& mark, const QString& status) {
    const QColor colour = TFigureCollection::StatusColor(status);
    if (!colour.isValid() || mark.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(mark).adjusted(0.75, 0.75, -0.75, -0.75));
    painter.restore();
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
            "  g.genre_name,",
            "  c.collection_status",
            "",
            "from figures f",
            "left outer join producers p on (f.producer_id = p.producer_id)",
            "left outer join genres g      on (f.genre_id = g.genre_id)",
            "left outer join figure_collection c on (f.figure_id = c.figure_id)",
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
            "   g.genre_name,",
            "   c.collection_status",
            "from figures f",
            "left outer join producers p on (f.producer_id = p.producer_id)",
            "left outer join genres g      on (f.genre_id = g.genre_id)",
            "left outer join figure_collection c on (f.figure_id = c.figure_id)",
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
    TableName = QStringLiteral("figures");
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
    DeleteReferencingOrFail(QString::fromLatin1(DatabaseStructure::CollectionTable),
                            QStringLiteral("figure_id"));
    // Events that ran meanwhile must not change the row being deleted.
    if (Q1.GetBookmark() != deleting)
        Q1.GotoBookmark(deleting);
}

// --- the panel --------------------------------------------------------------------

namespace {

struct PanelFonts {
    QFont plain;
    QFont bold;
    QFont italic;
    explicit PanelFonts(const QFont& font) : plain(font), bold(font), italic(font) {
        bold.setBold(true);
        italic.setItalic(true);
    }
};

// A line's text as drawn in width: cut with an ellipsis when it is longer.
QString Elided(const QString& text, const QFont& font, int width) {
    return QFontMetrics(font).elidedText(text, Qt::ElideRight, std::max(0, width));
}

} // namespace

TO_Figures::PanelLayout TO_Figures::Layout(const QRect& panel, const QFont& font) {
    const PanelFonts fonts(font);
    const int charWidth = QFontMetrics(fonts.bold).averageCharWidth();
    const int borders = 2 * TextBorder;
    const int bottomMargin = DesignedPanelHeight - ThumbnailTop - ThumbnailHeight;
    const int thumbnailHeight = std::max(0, panel.height() - ThumbnailTop - bottomMargin);

    // As designed while the texts keep their preferred width; then the
    // thumbnail gives way, and goes when it would be too narrow to show.
    const int narrowed = panel.width() - ThumbnailLeft - borders - PreferredTextChars * charWidth;
    const int squeezed = panel.width() - ThumbnailLeft - borders - MinTextChars * charWidth;
    int thumbnailWidth = std::min(ThumbnailWidth, std::max(narrowed, MinThumbnailWidth));
    if (thumbnailWidth > squeezed)
        thumbnailWidth = std::max(0, std::min(ThumbnailWidth, squeezed));
    if (thumbnailWidth < MinThumbnailWidth)
        thumbnailWidth = 0;

    PanelLayout layout;
    if (thumbnailWidth > 0) {
        const int height =
            thumbnailWidth == ThumbnailWidth
                ? thumbnailHeight
                : std::min(thumbnailHeight, thumbnailWidth * ThumbnailHeight / ThumbnailWidth);
        layout.thumbnail =
            QRect(panel.left() + ThumbnailLeft, panel.top() + ThumbnailTop, thumbnailWidth, height);
        const int textLeft = ThumbnailLeft + thumbnailWidth;
        layout.text = QRect(panel.left() + textLeft, panel.top(),
                            std::max(0, panel.width() - textLeft), panel.height());
    } else {
        layout.thumbnail = QRect(panel.left() + ThumbnailLeft, panel.top() + ThumbnailTop, 0, 0);
        layout.text = panel;
    }

    // From the top the name, the genre and the scale, the manufacturer at
    // the bottom, and the description filling what is left between.
    QRect rest = layout.text.adjusted(TextBorder, TextBorder, -TextBorder, -TextBorder);
    rest.setWidth(std::max(0, rest.width()));
    rest.setHeight(std::max(0, rest.height()));
    const auto takeTop = [&rest](const QFont& lineFont) {
        const int height = std::min(QFontMetrics(lineFont).height(), rest.height());
        const QRect line(rest.left(), rest.top(), rest.width(), height);
        rest.setTop(rest.top() + height);
        return line;
    };
    layout.name = takeTop(fonts.bold);
    layout.genre = takeTop(fonts.bold);
    layout.scale = takeTop(fonts.plain);
    const int bottomHeight = std::min(QFontMetrics(fonts.plain).height(), rest.height());
    layout.producer =
        QRect(rest.left(), rest.top() + rest.height() - bottomHeight, rest.width(), bottomHeight);
    layout.description = QRect(rest.left(), rest.top(), rest.width(), rest.height() - bottomHeight);

    const QSize mark(StatusMarkSize, StatusMarkSize);
    if (!layout.thumbnail.isEmpty()) {
        layout.statusMark =
            QRect(QPoint(layout.thumbnail.right() - StatusMarkInset - StatusMarkSize + 1,
                         layout.thumbnail.top() + StatusMarkInset),
                  mark);
    } else if (layout.scale.width() >= StatusMarkSize) {
        layout.statusMark = QRect(QPoint(layout.scale.right() - StatusMarkSize + 1,
                                         layout.scale.center().y() - StatusMarkSize / 2),
                                  mark);
    }
    return layout;
}

QRect TO_Figures::ThumbnailRect(const QRect& panel) {
    return Layout(panel, QFont()).thumbnail;
}

QRect TO_Figures::TextRect(const QRect& panel) {
    return Layout(panel, QFont()).text;
}

TO_Figures::WrappedText TO_Figures::WrapDescription(const QString& text, const QFont& font,
                                                    const QSize& block) {
    WrappedText wrapped;
    const QFontMetrics metrics(font);
    const int lineCount = std::max(0, block.height()) / std::max(1, metrics.height());
    if (text.isEmpty())
        return wrapped;
    if (lineCount == 0 || block.width() <= 0) {
        wrapped.elided = true;
        return wrapped;
    }
    QString flowing = text;
    flowing.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    flowing.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout textLayout(flowing, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    textLayout.setTextOption(option);
    QList<int> starts;
    QList<int> lengths;
    textLayout.beginLayout();
    for (QTextLine line = textLayout.createLine(); line.isValid(); line = textLayout.createLine()) {
        line.setLineWidth(block.width());
        starts << line.textStart();
        lengths << line.textLength();
    }
    textLayout.endLayout();

    const auto lineText = [&flowing](int start, int length) {
        QString part = flowing.mid(start, length);
        part.replace(QChar::LineSeparator, QLatin1Char(' '));
        return part.trimmed();
    };
    const int shown = std::min<int>(lineCount, starts.size());
    for (int line = 0; line + 1 < shown; ++line)
        wrapped.lines << lineText(starts[line], lengths[line]);
    if (shown == starts.size()) {
        wrapped.lines << lineText(starts[shown - 1], lengths[shown - 1]);
        return wrapped;
    }
    // The last line shown takes the rest of the text, cut.
    const QString rest = lineText(starts[shown - 1], flowing.size() - starts[shown - 1]);
    wrapped.lines << metrics.elidedText(rest + QStringLiteral(" \u2026"), Qt::ElideRight,
                                        block.width());
    wrapped.elided = true;
    return wrapped;
}

void TO_Figures::CGrid1PaintPanel(QPainter&, const QRect&, int) {}

void TO_Figures::PaintPanelContent(QPainter& painter, const QRect& panel, int row) {
    const PanelLayout layout = Layout(panel, font());
    const QImage picture = Thumbnail(row);
    if (!picture.isNull() && !layout.thumbnail.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(layout.thumbnail, picture);
    }
    PaintStatusMark(painter, layout.statusMark, RowText(row, StatusColumn));

    const PanelFonts fonts(font());
    const QColor text = palette().color(QPalette::WindowText);
    auto draw = [&painter](const QRect& line, const QFont& lineFont, const QString& value) {
        if (line.isEmpty())
            return;
        painter.setFont(lineFont);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                         Elided(value, lineFont, line.width()));
    };
    painter.setPen(text);
    draw(layout.name, fonts.bold, RowText(row, QStringLiteral("figure_name")));
    draw(layout.genre, fonts.bold, RowText(row, QStringLiteral("genre_name")));
    draw(layout.scale, fonts.plain, RowText(row, QStringLiteral("scale")));
    if (!layout.description.isEmpty()) {
        painter.fillRect(layout.description, palette().color(QPalette::Button));
        painter.setFont(fonts.italic);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        const WrappedText wrapped = WrapDescription(RowText(row, QStringLiteral("figure_dsc")),
                                                    fonts.italic, layout.description.size());
        const int lineHeight = QFontMetrics(fonts.italic).height();
        QRect line(layout.description.topLeft(), QSize(layout.description.width(), lineHeight));
        for (const QString& value : wrapped.lines) {
            painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, value);
            line.translate(0, lineHeight);
        }
        painter.setPen(text);
    }
    draw(layout.producer, fonts.plain, RowText(row, QStringLiteral("producer_name")));
}

QString TO_Figures::PanelElementAt(int, const QRect& panel, const QPoint& pos) const {
    const PanelLayout layout = Layout(panel, font());
    if (layout.thumbnail.contains(pos))
        return ThumbnailElement;
    if (layout.text.contains(pos))
        return TextElement;
    return {};
}

Qt::CursorShape TO_Figures::PanelElementCursor(const QString& element) const {
    return element == ThumbnailElement ? Qt::PointingHandCursor : Qt::ArrowCursor;
}

QString TO_Figures::PanelToolTip(int row, const QRect& panel, const QPoint& pos) const {
    const PanelLayout layout = Layout(panel, font());
    const PanelFonts fonts(font());
    const auto cut = [&](const QRect& line, const QFont& lineFont, const QString& column) {
        const QString value = RowText(row, column);
        return Elided(value, lineFont, line.width()) == value ? QString() : value;
    };
    const QString status = RowText(row, StatusColumn);
    if (!status.isEmpty() && layout.statusMark.contains(pos))
        return status;
    if (layout.name.contains(pos))
        return cut(layout.name, fonts.bold, QStringLiteral("figure_name"));
    if (layout.genre.contains(pos))
        return cut(layout.genre, fonts.bold, QStringLiteral("genre_name"));
    if (layout.scale.contains(pos))
        return cut(layout.scale, fonts.plain, QStringLiteral("scale"));
    if (layout.producer.contains(pos))
        return cut(layout.producer, fonts.plain, QStringLiteral("producer_name"));
    if (layout.description.contains(pos)) {
        const QString value = RowText(row, QStringLiteral("figure_dsc"));
        return WrapDescription(value, fonts.italic, layout.description.size()).elided ? value
                                                                                      : QString();
    }
    return {};
}
