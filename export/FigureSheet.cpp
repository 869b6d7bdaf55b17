#include "FigureSheet.h"

#include "BmpReader.h"
#include "EFileError.h"
#include "JpegDecoder.h"
#include "PaperText.h"
#include "SchemeDocument.h"
#include "SchemePainter.h"
#include "TDatabase.h"
#include "TGenreReader.h"
#include "TSqlStatement.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>

#include <exception>

namespace {

// The main picture, or the thumbnail when there is none that can be read.
QImage PictureOf(const QByteArray& picture, const QByteArray& thumbnail) {
    using Reader = QImage (*)(const QByteArray&);
    const std::pair<const QByteArray*, Reader> kinds[] = {{&picture, &ReadJpeg},
                                                          {&thumbnail, &ReadBmp}};
    for (const auto& [bytes, read] : kinds) {
        if (bytes->isEmpty())
            continue;
        try {
            return read(*bytes);
        } catch (const std::exception&) {
        }
    }
    return {};
}

// The attached files by their names, without their folders.
QString FileNames(const QString& stored) {
    QStringList names;
    for (const QString& path :
         stored.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts))
        names << QFileInfo(path).fileName();
    return names.join(QStringLiteral(", "));
}

} // namespace

bool FigureSheet::Read(const QString& figureId) {
    TSqlStatement statement(
        TDatabase::Connected(QStringLiteral("ADB")).Handle(),
        QStringLiteral(
            "select f.figure_name, f.genre_id, g.genre_name, p.producer_name, f.type_ci, f.scale, "
            "f.sculpter_name, f.painter_name, f.figure_dsc, f.figure_files, f.picture, "
            "f.picture_th, f.manual_sheme from figures f "
            "left outer join producers p on (f.producer_id = p.producer_id) "
            "left outer join genres g on (f.genre_id = g.genre_id) where f.figure_id = :id"));
    statement.BindAll([&figureId](const QString&) { return QVariant(figureId); });
    if (!statement.Step())
        return false;
    auto text = [&statement](int column) {
        return QString::fromUtf8(statement.ColumnBytes(column).toByteArray());
    };
    name_ = text(0);
    genre_ = text(2);
    genreYears_ = genre_.isEmpty() ? QString() : TGenreReader::GenreYearsText(text(1));
    manufacturer_ = text(3);
    type_ = text(4);
    scale_ = text(5);
    sculptor_ = text(6);
    painter_ = text(7);
    description_ = text(8);
    files_ = FileNames(text(9));
    picture_ = statement.ColumnBytes(10).toByteArray();
    thumbnail_ = statement.ColumnBytes(11).toByteArray();
    manual_ = statement.ColumnBytes(12).toByteArray();
    return true;
}

void FigureSheet::Print(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device))
        throw EFileError("The page cannot be drawn");
    const double width = device.width();
    const double gap = PaperText::MmY(device, 4);
    const QFont title = PaperText::Font(18, true);
    PaperText::DrawLine(painter, QRectF(0, 0, width, PaperText::LineHeight(painter, title)), name_,
                        title);
    double top = PaperText::LineHeight(painter, title) + gap;

    // The picture on the left and the fields beside it.
    const double upper = (device.height() - top) * 0.42;
    const QRectF pictureBox(0, top, width / 2 - gap / 2, upper);
    const QImage picture = PictureOf(picture_, thumbnail_);
    if (picture.isNull())
        PaperText::DrawMissing(painter, pictureBox, QStringLiteral("No picture"));
    else
        PaperText::DrawPicture(painter, pictureBox, picture);
    const QRectF fieldsBox(width / 2 + gap / 2, top, width / 2 - gap / 2, upper);
    DrawFields(painter, fieldsBox);
    top += upper + gap;

    const QFont heading = PaperText::Font(11, true);
    const QFont body = PaperText::Font(10);
    const double headingHeight = PaperText::LineHeight(painter, heading);
    if (!description_.trimmed().isEmpty()) {
        PaperText::DrawLine(painter, QRectF(0, top, width, headingHeight),
                            QStringLiteral("Description:"), heading);
        top += headingHeight;
        top += PaperText::DrawWrapped(painter, QRectF(0, top, width, (device.height() - top) * 0.3),
                                      description_, body) +
               gap;
    }
    PaperText::DrawLine(painter, QRectF(0, top, width, headingHeight), QStringLiteral("Manual:"),
                        heading);
    top += headingHeight;
    DrawManual(painter, QRectF(0, top, width, device.height() - top));
    painter.end();
}

void FigureSheet::DrawFields(QPainter& painter, const QRectF& area) const {
    const QFont font = PaperText::Font(10);
    const double line = PaperText::LineHeight(painter, font) * 1.3;
    const QString genre =
        genreYears_.isEmpty() ? genre_ : genre_ + QStringLiteral(", ") + genreYears_;
    const std::pair<const char*, QString> fields[] = {
        {"Genre:", genre},          {"Manufacturer:", manufacturer_}, {"Type:", type_},
        {"Scale:", scale_},         {"Sculptor:", sculptor_},         {"Painter:", painter_},
        {"Attached files:", files_}};
    double y = area.top();
    painter.setPen(Qt::black);
    for (const auto& [label, value] : fields) {
        if (y + line > area.bottom())
            break;
        PaperText::DrawField(painter, QRectF(area.left(), y, area.width(), line),
                             QString::fromLatin1(label), value, font);
        y += line;
    }
}

void FigureSheet::DrawManual(QPainter& painter, const QRectF& area) const {
    SchemeDocument scheme;
    try {
        scheme.LoadText(std::string_view(manual_.constData(), manual_.size()));
    } catch (const std::exception&) {
        PaperText::DrawLine(painter, area, QStringLiteral("The manual cannot be read."),
                            PaperText::Font(10));
        return;
    }
    if (scheme.NodeCount() + scheme.LineCount() == 0 || scheme.Width() <= 0 ||
        scheme.Height() <= 0) {
        PaperText::DrawLine(painter, area, QStringLiteral("No manual."), PaperText::Font(10));
        return;
    }
    const double scale = qMin(area.width() / scheme.Width(), area.height() / scheme.Height());
    const QRectF sheet(area.left(), area.top(), scheme.Width() * scale, scheme.Height() * scale);
    painter.save();
    painter.setPen(QPen(Qt::lightGray, 0));
    painter.drawRect(sheet);
    painter.setClipRect(sheet);
    painter.translate(sheet.topLeft());
    painter.scale(scale, scale);
    // Sheet pixels with the program's font, as the manual window shows it.
    QFont font = QGuiApplication::font();
    font.setPixelSize(QFontInfo(QGuiApplication::font()).pixelSize());
    painter.setFont(font);
    SchemePainter::Paint(painter, scheme.Root, SchemeSelection{});
    painter.restore();
}
