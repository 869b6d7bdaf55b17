#include "PaperCatalog.h"

#include "BmpReader.h"
#include "EFileError.h"
#include "EPictureError.h"
#include "PaperFigureReader.h"
#include "PaperText.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

QString Particulars(const PaperFigure& figure) {
    QStringList parts;
    auto add = [&parts](const char* label, const QString& value) {
        if (!value.trimmed().isEmpty())
            parts << QString::fromLatin1(label) + value.trimmed();
    };
    add("Genre: ", figure.genre);
    add("Manufacturer: ", figure.manufacturer);
    add("Scale: ", figure.scale);
    return parts.join(QStringLiteral("    "));
}

QImage Thumbnail(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {};
    try {
        return ReadBmp(bytes);
    } catch (const EPictureError&) {
        return {};
    }
}

} // namespace

PaperCatalog::PaperCatalog(QString title) : title_(std::move(title)) {}

int PaperCatalog::BlocksPerPage(const QPagedPaintDevice& device) {
    const double free = device.height() - PaperText::MmY(device, HeaderMm + FooterMm);
    return qMax(1, static_cast<int>(std::floor(free / PaperText::MmY(device, BlockMm))));
}

int PaperCatalog::Print(QPagedPaintDevice& device, PaperFigureReader& figures, int firstPage,
                        int lastPage) const {
    const int perPage = BlocksPerPage(device);
    const int count = figures.Count();
    const int pages = qMax(1, (count + perPage - 1) / perPage);
    const int first = qBound(1, firstPage, pages);
    const int last = lastPage <= 0 ? pages : qBound(first, lastPage, pages);
    figures.Skip((first - 1) * perPage);

    QPainter painter;
    if (!painter.begin(&device))
        throw EFileError("The pages cannot be drawn");
    const double top = PaperText::MmY(device, HeaderMm);
    const double height = PaperText::MmY(device, BlockMm);
    int page = first;
    int slot = 0;
    DrawPage(painter, page, pages);
    if (count == 0)
        PaperText::DrawLine(painter, QRectF(0, top, device.width(), height),
                            QStringLiteral("No figures."), PaperText::Font(10));
    while (page <= last) {
        const std::optional<PaperFigure> figure = figures.Next();
        if (!figure)
            break;
        if (slot == perPage) {
            if (page == last)
                break;
            device.newPage();
            DrawPage(painter, ++page, pages);
            slot = 0;
        }
        DrawBlock(painter, QRectF(0, top + slot++ * height, device.width(), height), *figure);
    }
    painter.end();
    return page - first + 1;
}

void PaperCatalog::DrawPage(QPainter& painter, int page, int pages) const {
    const QPaintDevice& device = *painter.device();
    const double width = device.width();
    const QFont title = PaperText::Font(14, true);
    PaperText::DrawLine(painter, QRectF(0, 0, width, PaperText::LineHeight(painter, title)), title_,
                        title);
    const double rule = PaperText::MmY(device, HeaderMm - 3);
    painter.setPen(QPen(Qt::black, PaperText::MmY(device, 0.3)));
    painter.drawLine(QPointF(0, rule), QPointF(width, rule));
    const QFont small = PaperText::Font(8);
    const double footer = device.height() - PaperText::LineHeight(painter, small);
    PaperText::DrawLine(painter, QRectF(0, footer, width, device.height() - footer),
                        QStringLiteral("Page %1 of %2").arg(page).arg(pages), small,
                        Qt::AlignHCenter);
}

void PaperCatalog::DrawBlock(QPainter& painter, const QRectF& block,
                             const PaperFigure& figure) const {
    const QPaintDevice& device = *painter.device();
    const double padX = PaperText::MmX(device, 2);
    const double padY = PaperText::MmY(device, 2);
    const double side = block.height() - 2 * padY;
    const QRectF box(block.left(), block.top() + padY, side, side);
    const QImage thumbnail = Thumbnail(figure.thumbnail);
    if (thumbnail.isNull())
        PaperText::DrawMissing(painter, box, QStringLiteral("No picture"));
    else
        PaperText::DrawPicture(painter, box, thumbnail);

    const double left = box.right() + 2 * padX;
    QRectF text(left, box.top(), block.right() - left, box.height());
    painter.setPen(Qt::black);
    const QFont name = PaperText::Font(12, true);
    PaperText::DrawLine(painter, text, figure.name, name);
    text.setTop(text.top() + PaperText::LineHeight(painter, name));
    const QFont small = PaperText::Font(9);
    painter.setPen(Qt::darkGray);
    PaperText::DrawLine(painter, text, Particulars(figure), small);
    text.setTop(text.top() + PaperText::LineHeight(painter, small) + padY / 2);
    painter.setPen(Qt::black);
    PaperText::DrawWrapped(painter, text, figure.description, small);

    painter.setPen(QPen(Qt::lightGray, 0));
    painter.drawLine(QPointF(block.left(), block.bottom()), QPointF(block.right(), block.bottom()));
}
