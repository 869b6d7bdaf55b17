#include "EmfReader.h"

#include "DrawingChild.h"
#include "EPictureError.h"
#include "EmfConverter.h"
#include "MetafileBytes.h"
#include "PictureLimits.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QRectF>
#include <QSize>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

constexpr std::uint32_t EmrHeader = 1;
constexpr std::uint32_t EmrEof = 14;
// A record type no writer uses; the converter passes over it unchecked.
constexpr std::uint32_t EmrSkipped = 69;
// Marks a record the converter checks as its type without the mark and
// then passes over.
constexpr std::uint32_t LeftOutMark = 0x80000000U;
constexpr std::uint32_t EmfSignature = 0x464D4520;
constexpr qsizetype SignatureField = 40;
constexpr qsizetype BoundsField = 8;
constexpr qsizetype MinHeaderSize = 88;
constexpr qsizetype RecordHeaderSize = 8;
constexpr int ScreenPixelsPerInch = 96;
constexpr int HundredthsMmPerInch = 2540;

constexpr std::uint32_t CompressionRle8 = 1;
constexpr std::uint32_t CompressionRle4 = 2;

// Where records keep the offset and size of a bitmap they draw: the offset
// of the pair (offset, size) of its header.
struct BitmapField {
    std::uint32_t type;
    qsizetype at;
};
constexpr BitmapField BitmapFields[] = {
    {76, 84},  // EMR_BITBLT
    {77, 84},  // EMR_STRETCHBLT
    {78, 84},  // EMR_MASKBLT: the source
    {78, 112}, // EMR_MASKBLT: the mask
    {79, 96},  // EMR_PLGBLT: the source
    {79, 124}, // EMR_PLGBLT: the mask
    {80, 48},  // EMR_SETDIBITSTODEVICE
    {81, 48},  // EMR_STRETCHDIBITS
    {93, 16},  // EMR_CREATEMONOBRUSH
    {94, 16},  // EMR_CREATEDIBPATTERNBRUSHPT
    {95, 12},  // EMR_EXTCREATEPEN
    {114, 84}, // EMR_ALPHABLEND
    {116, 84}, // EMR_TRANSPARENTBLT
};

// EMR_EXTTEXTOUTA, EMR_EXTTEXTOUTW, EMR_POLYTEXTOUTA, EMR_POLYTEXTOUTW,
// EMR_SMALLTEXTOUT.
constexpr std::uint32_t TextRecords[] = {83, 84, 96, 97, 108};

struct DeviceRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// What the checks of the header and the records found.
struct EmfLayout {
    QSize size;                     // the picture, in pixels
    DeviceRect frame;               // the header's frame in pixels of the reference device
    QSize frameSize;                // its width and height
    qsizetype length = 0;           // the records up to the end record
    std::vector<qsizetype> skipped; // records left out of the drawing unchecked
    std::vector<qsizetype> leftOut; // records checked, then left out of the drawing
};

// Pixels at 96 per inch for a length in hundredths of a millimetre; a
// length that is not zero gives at least one pixel.
std::int64_t Pixels(std::int64_t hundredthsMm) {
    if (hundredthsMm == 0)
        return 0;
    return std::max<std::int64_t>(
        1, (hundredthsMm * ScreenPixelsPerInch + HundredthsMmPerInch / 2) / HundredthsMmPerInch);
}

// Whether the record draws a bitmap libemf2svg cannot be trusted with: its
// decoders of run-length compressed bitmaps read past their data. Throws
// for a bitmap of a size the program does not take.
bool DrawsUnsafeBitmap(const ByteReader& record, std::uint32_t type) {
    bool unsafe = false;
    for (const BitmapField& field : BitmapFields) {
        if (field.type != type || record.Size() < field.at + 8)
            continue;
        const std::uint32_t offset = record.UInt32(field.at);
        const std::uint32_t size = record.UInt32(field.at + 4);
        if (size == 0)
            continue;
        const std::uint32_t compression = BitmapCompression(record.Slice(offset, size));
        unsafe = unsafe || compression == CompressionRle8 || compression == CompressionRle4;
    }
    return unsafe;
}

// Record types libUEMF has no check for (it passes them with a warning on
// standard output): the converter gets them as skipped records, left out of
// the drawing unchecked, as are types beyond the last one.
constexpr std::uint32_t UncheckedRecords[] = {0,   69,  96,  97,  102, 103, 105, 106, 107,
                                              109, 110, 111, 112, 113, 117, 119, 120, 121};
constexpr std::uint32_t LastRecordType = 122;

bool IsUnchecked(std::uint32_t type) {
    return type > LastRecordType ||
           std::find(std::begin(UncheckedRecords), std::end(UncheckedRecords), type) !=
               std::end(UncheckedRecords);
}

bool IsText(std::uint32_t type) {
    return std::find(std::begin(TextRecords), std::end(TextRecords), type) != std::end(TextRecords);
}

// Qt draws the SVG's text with the fonts of a GUI application, and stops
// the process when there is none (a command-line program): text records are
// left out then.
bool CanDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

EmfLayout ReadLayout(const QByteArray& bytes) {
    const ByteReader file = MetafileBytes(bytes);
    if (file.UInt32(0) != EmrHeader || file.UInt32(SignatureField) != EmfSignature)
        throw EPictureError("Not an enhanced metafile");
    if (file.UInt32(4) < MinHeaderSize)
        throw EPictureError("Metafile header is corrupt");
    const std::int64_t frameLeft = file.Int32(24);
    const std::int64_t frameTop = file.Int32(28);
    const std::int64_t frameRight = file.Int32(32);
    const std::int64_t frameBottom = file.Int32(36);
    const std::int64_t devicePixelsX = file.Int32(72);
    const std::int64_t devicePixelsY = file.Int32(76);
    const std::int64_t deviceMmX = file.Int32(80);
    const std::int64_t deviceMmY = file.Int32(84);
    if (devicePixelsX <= 0 || devicePixelsY <= 0 || deviceMmX <= 0 || deviceMmY <= 0)
        throw EPictureError("Metafile header is corrupt");

    EmfLayout layout;
    const std::int64_t width = Pixels(std::abs(frameRight - frameLeft));
    const std::int64_t height = Pixels(std::abs(frameBottom - frameTop));
    CheckPictureSize(width, height);
    layout.size = QSize(static_cast<int>(width), static_cast<int>(height));

    // The frame on the reference device, whose pixels the records draw in.
    const auto onDeviceX = [&](std::int64_t x) {
        return std::llround(static_cast<double>(x) * devicePixelsX / (deviceMmX * 100.0));
    };
    const auto onDeviceY = [&](std::int64_t y) {
        return std::llround(static_cast<double>(y) * devicePixelsY / (deviceMmY * 100.0));
    };
    const long long left = onDeviceX(std::min(frameLeft, frameRight));
    const long long top = onDeviceY(std::min(frameTop, frameBottom));
    const long long right = std::max(left + 1, onDeviceX(std::max(frameLeft, frameRight)));
    const long long bottom = std::max(top + 1, onDeviceY(std::max(frameTop, frameBottom)));
    // Corners and sides alike must fit an int with room to spare: the
    // drawing and libemf2svg take the frame's width and height as ints.
    constexpr long long Limit = 1LL << 30;
    if (left < -Limit || top < -Limit || right > Limit || bottom > Limit || right - left > Limit ||
        bottom - top > Limit)
        throw EPictureError("Metafile frame is too large");
    layout.frame = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                    static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    layout.frameSize = QSize(static_cast<int>(right - left), static_cast<int>(bottom - top));

    qsizetype at = 0;
    for (;;) {
        const std::uint32_t type = file.UInt32(at);
        const std::uint32_t size = file.UInt32(at + 4);
        if (size < RecordHeaderSize || size % 4 != 0 ||
            size > static_cast<std::uint64_t>(file.Size() - at))
            throw EPictureError("Metafile is truncated");
        if (at > 0 && type == EmrHeader)
            throw EPictureError("Metafile has a second header");
        const ByteReader record = file.Slice(at, size);
        if (IsUnchecked(type))
            layout.skipped.push_back(at);
        else if (DrawsUnsafeBitmap(record, type) || (IsText(type) && !CanDrawText()))
            layout.leftOut.push_back(at);
        at += size;
        if (type == EmrEof)
            break;
    }
    layout.length = at;
    return layout;
}

void WriteS32(QByteArray& bytes, qsizetype at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

// The records for the converter: libemf2svg stretches the header's bounds
// (the drawn part, in device pixels) over the picture; the copy has the
// frame there instead, so that the picture shows the frame and nothing is
// stretched. The converter checks each record's insides with libUEMF.
QByteArray ConverterRecords(const QByteArray& bytes, const EmfLayout& layout) {
    QByteArray copy = bytes.left(layout.length);
    WriteS32(copy, BoundsField, layout.frame.left);
    WriteS32(copy, BoundsField + 4, layout.frame.top);
    WriteS32(copy, BoundsField + 8, layout.frame.right);
    WriteS32(copy, BoundsField + 12, layout.frame.bottom);
    for (const qsizetype at : layout.skipped)
        WriteS32(copy, at, static_cast<std::int32_t>(EmrSkipped));
    for (const qsizetype at : layout.leftOut) {
        const auto type = static_cast<std::uint32_t>(MetafileBytes(copy).UInt32(at));
        WriteS32(copy, at, static_cast<std::int32_t>(type | LeftOutMark));
    }
    return copy;
}

// Draws the SVG into the pixels (the picture's size, transparent to begin
// with). Runs in DrawingChild's child process: Qt SVG may crash or take
// minutes on what hostile records make of it.
bool Draw(const QByteArray& svg, const EmfLayout& layout, uchar* pixels) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return false;
    // The frame, which the SVG's own size may miss by a rounding.
    renderer.setViewBox(QRectF(QPointF(0, 0), QSizeF(layout.frameSize)));
    QImage image(pixels, layout.size.width(), layout.size.height(),
                 layout.size.width() * qsizetype{4}, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(layout.size)));
    return painter.end();
}

} // namespace

QImage ReadEmf(const QByteArray& bytes, const EmfToSvg& toSvg) {
    const auto start = std::chrono::steady_clock::now();
    const EmfLayout layout = ReadLayout(bytes);
    // At the frame's own size in device pixels, the SVG's units are the
    // device's pixels.
    const QByteArray svg =
        toSvg(ConverterRecords(bytes, layout), layout.frameSize, DrawingChild::MetafileTimeLimit);
    // The conversion and the drawing share the time limit.
    const auto left =
        DrawingChild::MetafileTimeLimit - std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start);
    if (left.count() <= 0)
        throw EPictureError(DrawingChild::TooLongMessage);
    return DrawingChild::Draw(
        layout.size, QImage::Format_ARGB32_Premultiplied,
        [&](uchar* pixels) { return Draw(svg, layout, pixels); }, left);
}

QImage ReadEmf(const QByteArray& bytes) {
    return ReadEmf(bytes, &EmfConverter::ToSvg);
}

bool HasEmfSignature(const QByteArray& bytes) {
    if (bytes.size() < SignatureField + 4)
        return false;
    const ByteReader file = MetafileBytes(bytes);
    return file.UInt32(0) == EmrHeader && file.UInt32(SignatureField) == EmfSignature;
}
