#include "PaperText.h"

#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr double MmPerInch = 25.4;
// Finer than any printer shows a picture of this size.
constexpr double PictureDpi = 300;

QString Paragraphs(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

} // namespace

double PaperText::MmX(const QPaintDevice& device, double mm) {
    return mm * device.logicalDpiX() / MmPerInch;
}

double PaperText::MmY(const QPaintDevice& device, double mm) {
    return mm * device.logicalDpiY() / MmPerInch;
}

QFont PaperText::Font(double points, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // Without ligatures the words of a PDF can be searched for as typed.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

double PaperText::LineHeight(QPainter& painter, const QFont& font) {
    return QFontMetricsF(font, painter.device()).lineSpacing();
}

void PaperText::DrawLine(QPainter& painter, const QRectF& rect, const QString& text,
                         const QFont& font, Qt::Alignment alignment) {
    const QFontMetricsF metrics(font, painter.device());
    QString line = Paragraphs(text);
    line.replace(QChar::LineSeparator, QLatin1Char(' '));
    painter.setFont(font);
    painter.drawText(rect, static_cast<int>(alignment | Qt::AlignTop | Qt::TextSingleLine),
                     metrics.elidedText(line, Qt::ElideRight, rect.width()));
}

void PaperText::DrawField(QPainter& painter, const QRectF& rect, const QString& label,
                          const QString& value, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    const double labelWidth =
        QFontMetricsF(bold, painter.device()).horizontalAdvance(label + QLatin1Char(' '));
    DrawLine(painter, rect, label, bold);
    DrawLine(painter, rect.adjusted(labelWidth, 0, 0, 0), value, font);
}

double PaperText::DrawWrapped(QPainter& painter, const QRectF& rect, const QString& text,
                              const QFont& font) {
    const QFontMetricsF metrics(font, painter.device());
    const double lineHeight = metrics.lineSpacing();
    const int fit = static_cast<int>(std::floor(rect.height() / lineHeight));
    if (fit <= 0 || text.isEmpty())
        return 0;
    QTextLayout layout(Paragraphs(text), font, painter.device());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<QTextLine> lines;
    bool more = false;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        if (lines.size() == fit) {
            more = true;
            break;
        }
        line.setLineWidth(rect.width());
        line.setPosition(QPointF(0, lines.size() * lineHeight));
        lines << line;
    }
    layout.endLayout();
    painter.setFont(font);
    const qsizetype whole = more ? lines.size() - 1 : lines.size();
    for (qsizetype i = 0; i < whole; ++i)
        lines[i].draw(&painter, rect.topLeft());
    if (more) {
        const QTextLine& last = lines.constLast();
        QString rest = layout.text().mid(last.textStart());
        rest.replace(QChar::LineSeparator, QLatin1Char(' '));
        // The ellipsis tells that the text goes on, also when the rest would
        // fit the line.
        const QString cut = metrics.elidedText(rest + QChar(0x2026), Qt::ElideRight, rect.width());
        painter.drawText(QPointF(rect.left(), rect.top() + last.y() + metrics.ascent()),
                         cut.endsWith(QChar(0x2026)) ? cut : cut + QChar(0x2026));
    }
    return lines.size() * lineHeight;
}

void PaperText::DrawPicture(QPainter& painter, const QRectF& box, const QImage& picture) {
    if (picture.isNull() || box.isEmpty())
        return;
    const QSizeF shown = QSizeF(picture.size()).scaled(box.size(), Qt::KeepAspectRatio);
    const QRectF target(box.left() + (box.width() - shown.width()) / 2, box.top(), shown.width(),
                        shown.height());
    const QSize most(
        qMax(1, qRound(shown.width() / painter.device()->logicalDpiX() * PictureDpi)),
        qMax(1, qRound(shown.height() / painter.device()->logicalDpiY() * PictureDpi)));
    if (picture.width() > most.width() || picture.height() > most.height())
        painter.drawImage(target,
                          picture.scaled(most, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        painter.drawImage(target, picture);
}

void PaperText::DrawMissing(QPainter& painter, const QRectF& box, const QString& text) {
    painter.save();
    painter.setPen(QPen(Qt::lightGray, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    painter.setPen(Qt::gray);
    painter.setFont(Font(8));
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
}
