#include "WmfReader.h"

#include "ByteWriter.h"
#include "DrawingChild.h"
#include "EPictureError.h"
#include "MetafileBytes.h"
#include "PictureLimits.h"

#include <QPointF>
#include <QRectF>
#include <QRgb>
#include <QSize>
#include <QSizeF>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include <libwmf/api.h>
#include <libwmf/gd.h>

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype PlaceableHeaderSize = 22;
constexpr qsizetype MetaHeaderSize = 18;
constexpr qsizetype MaxRecordField = PlaceableHeaderSize + 12;
constexpr qsizetype RecordHeaderSize = 6;
constexpr int ScreenPixelsPerInch = 96;
// libwmf draws a placeable metafile in points, whatever its units per inch.
constexpr double PointsPerInch = 72;

constexpr std::uint16_t MetaEof = 0x0000;
constexpr std::uint16_t MetaSetWindowOrg = 0x020B;
constexpr std::uint16_t MetaSetWindowExt = 0x020C;
constexpr std::uint16_t MetaDibBitBlt = 0x0940;
constexpr std::uint16_t MetaDibStretchBlt = 0x0B41;
constexpr std::uint16_t MetaStretchDib = 0x0F43;
constexpr std::uint16_t MetaSetDibToDev = 0x0D33;
constexpr std::uint16_t MetaDibCreatePatternBrush = 0x0142;
constexpr std::uint16_t MetaCreateFontIndirect = 0x02FB;
constexpr std::uint16_t MetaTextOut = 0x0521;
constexpr std::uint16_t MetaExtTextOut = 0x0A32;
constexpr std::uint16_t MetaRectangle = 0x041B;
constexpr std::uint16_t MetaEllipse = 0x0418;
constexpr std::uint16_t MetaRoundRect = 0x061C;
constexpr std::uint16_t MetaArc = 0x0817;
constexpr std::uint16_t MetaPie = 0x081A;
constexpr std::uint16_t MetaChord = 0x0830;
constexpr std::uint16_t MetaPolygon = 0x0324;
constexpr std::uint16_t MetaPolyPolygon = 0x0538;

// libwmf draws text with FreeType and does not check that a glyph was made:
// a font of height 0 makes it loop for ever, and glyphs of thousands of
// pixels, or much wider than high or the reverse, make it read a glyph
// bitmap that is not there. Fonts are therefore drawn within these bounds
// (height 0, the default, at 16 pixels); no real picture needs more. Text
// before any font is selected has libwmf's own font, 12 logical units high
// and wide; a metafile with text whose scale puts that font beyond the
// bounds is refused.
constexpr double MaxGlyphPixels = 1024;
constexpr double MaxGlyphStretch = 16;
constexpr double DefaultGlyphPixels = 16;
constexpr double LibraryFontUnits = 12;

// What libwmf may allocate for one metafile through its allocator (gd's
// raster is not among it: its size is checked before libwmf starts);
// its drawing time is DrawingChild's.
constexpr std::size_t LibraryMemoryLimit = std::size_t{1} << 30;

// What the checks of the header and the records found.
struct WmfLayout {
    QSize size;            // the picture, in pixels
    int unitsPerInch = 0;  // of the logical coordinates
    QRectF window;         // logical: the part of the drawing the picture shows
    QPointF libraryOrigin; // logical: the point libwmf draws at device (0, 0)
    qsizetype length = 0;  // the header and the records up to the end record
    std::uint32_t maxRecordWords = 0;
    std::vector<qsizetype> fonts; // the font records
    bool text = false;            // whether any record draws text
    // Logical: the width and height of each area a record fills.
    std::vector<QSizeF> drawn;
};

// A 16-bit field of a record and the value libwmf gets there instead.
struct FieldChange {
    qsizetype at;
    std::int16_t value;
};

// Pixels at 96 per inch for a length in logical units; a length that is not
// zero gives at least one pixel.
std::int64_t Pixels(std::int64_t units, int unitsPerInch) {
    if (units == 0)
        return 0;
    return std::max<std::int64_t>(1,
                                  (units * ScreenPixelsPerInch + unitsPerInch / 2) / unitsPerInch);
}

// The offset in a record of the device-independent bitmap it draws, or none
// for a record without one. The two blit records leave the bitmap out when
// they are no longer than their fixed parameters.
std::optional<qsizetype> BitmapOffset(std::uint16_t function, std::uint32_t words) {
    switch (function) {
    case MetaDibBitBlt:
        if (words <= 12)
            return std::nullopt;
        return RecordHeaderSize + 16;
    case MetaDibStretchBlt:
        if (words <= 14)
            return std::nullopt;
        return RecordHeaderSize + 20;
    case MetaStretchDib:
        return RecordHeaderSize + 22;
    case MetaSetDibToDev:
        return RecordHeaderSize + 18;
    case MetaDibCreatePatternBrush:
        return RecordHeaderSize + 4;
    default:
        return std::nullopt;
    }
}

// The logical width and height of the area a record fills, or none for a
// record that fills none. libwmf's gd device fills shapes and stretches
// bitmaps pixel by pixel over their whole area, most of it perhaps outside
// the picture, so that area bounds the time the record takes.
std::optional<QSizeF> DrawnArea(const ByteReader& record, std::uint16_t function,
                                std::uint32_t words) {
    // A bitmap's destination size, which libwmf reads unsigned.
    const auto destination = [&](qsizetype widthAt, qsizetype heightAt) {
        return QSizeF(record.UInt16(widthAt), record.UInt16(heightAt));
    };
    // A shape's bounding box: bottom, right, top, left from the offset on.
    const auto box = [&](qsizetype at) {
        const int bottom = record.Int16(at);
        const int right = record.Int16(at + 2);
        const int top = record.Int16(at + 4);
        const int left = record.Int16(at + 6);
        return QSizeF(std::abs(right - left), std::abs(bottom - top));
    };
    // The box around points (x, y) from the offset on.
    const auto points = [&](qsizetype at, qsizetype count) {
        if (count == 0)
            return QSizeF(0, 0);
        int left = record.Int16(at);
        int top = record.Int16(at + 2);
        int right = left;
        int bottom = top;
        for (qsizetype i = 1; i < count; ++i) {
            const int x = record.Int16(at + 4 * i);
            const int y = record.Int16(at + 4 * i + 2);
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        return QSizeF(right - left, bottom - top);
    };
    switch (function) {
    case MetaStretchDib:
        return destination(RecordHeaderSize + 16, RecordHeaderSize + 14);
    case MetaDibStretchBlt:
        return destination(RecordHeaderSize + 14, RecordHeaderSize + 12);
    case MetaDibBitBlt:
        // Without a bitmap it fills nothing on libwmf's gd device.
        if (words <= 12)
            return std::nullopt;
        return destination(RecordHeaderSize + 10, RecordHeaderSize + 8);
    case MetaSetDibToDev:
        return destination(RecordHeaderSize + 12, RecordHeaderSize + 10);
    case MetaRectangle:
    case MetaEllipse:
        return box(RecordHeaderSize);
    case MetaRoundRect:
        return box(RecordHeaderSize + 4);
    case MetaArc:
    case MetaPie:
    case MetaChord:
        return box(RecordHeaderSize + 8);
    case MetaExtTextOut: {
        // The rectangle it fills or clips to, left, top, right, bottom.
        constexpr std::uint16_t Opaque = 0x0002;
        constexpr std::uint16_t Clipped = 0x0004;
        if ((record.UInt16(RecordHeaderSize + 6) & (Opaque | Clipped)) == 0)
            return std::nullopt;
        const int left = record.Int16(RecordHeaderSize + 8);
        const int top = record.Int16(RecordHeaderSize + 10);
        const int right = record.Int16(RecordHeaderSize + 12);
        const int bottom = record.Int16(RecordHeaderSize + 14);
        return QSizeF(std::abs(right - left), std::abs(bottom - top));
    }
    case MetaPolygon:
        return points(RecordHeaderSize + 2, record.UInt16(RecordHeaderSize));
    case MetaPolyPolygon: {
        const qsizetype polygons = record.UInt16(RecordHeaderSize);
        qsizetype count = 0;
        for (qsizetype i = 0; i < polygons; ++i)
            count += record.UInt16(RecordHeaderSize + 2 + 2 * i);
        return points(RecordHeaderSize + 2 + 2 * polygons, count);
    }
    default:
        return std::nullopt;
    }
}

WmfLayout ReadLayout(const QByteArray& bytes) {
    const ByteReader file = MetafileBytes(bytes);
    if (file.UInt32(0) != PlaceableKey)
        throw EPictureError("Not a placeable Windows metafile");
    const std::int16_t left = file.Int16(6);
    const std::int16_t top = file.Int16(8);
    const std::int16_t right = file.Int16(10);
    const std::int16_t bottom = file.Int16(12);
    WmfLayout layout;
    layout.unitsPerInch = file.UInt16(14);
    if (layout.unitsPerInch == 0)
        throw EPictureError("Metafile has no units per inch");
    const std::int64_t boxWidth = std::abs(std::int64_t{right} - left);
    const std::int64_t boxHeight = std::abs(std::int64_t{bottom} - top);
    const std::int64_t width = Pixels(boxWidth, layout.unitsPerInch);
    const std::int64_t height = Pixels(boxHeight, layout.unitsPerInch);
    CheckPictureSize(width, height);
    layout.size = QSize(static_cast<int>(width), static_cast<int>(height));

    const std::uint16_t type = file.UInt16(PlaceableHeaderSize);
    const std::uint16_t headerWords = file.UInt16(PlaceableHeaderSize + 2);
    const std::uint16_t version = file.UInt16(PlaceableHeaderSize + 4);
    if ((type != 1 && type != 2) || headerWords != MetaHeaderSize / 2 ||
        (version != 0x0100 && version != 0x0300))
        throw EPictureError("Metafile header is corrupt");

    std::optional<QPointF> origin;
    std::optional<QSizeF> extent;
    qsizetype at = PlaceableHeaderSize + MetaHeaderSize;
    for (;;) {
        const std::uint32_t words = file.UInt32(at);
        const std::uint16_t function = file.UInt16(at + 4);
        if (words < RecordHeaderSize / 2 ||
            words > static_cast<std::uint64_t>(file.Size() - at) / 2)
            throw EPictureError("Metafile is truncated");
        const ByteReader record = file.Slice(at, static_cast<qsizetype>(words) * 2);
        layout.maxRecordWords = std::max(layout.maxRecordWords, words);
        at += record.Size();
        if (function == MetaEof)
            break;
        // Both records give y before x.
        if (function == MetaSetWindowOrg && !origin && words >= 5)
            origin = QPointF(record.Int16(8), record.Int16(6));
        if (function == MetaSetWindowExt && !extent && words >= 5 && record.Int16(6) != 0 &&
            record.Int16(8) != 0)
            extent = QSizeF(record.Int16(8), record.Int16(6));
        if (const std::optional<qsizetype> bitmap = BitmapOffset(function, words))
            BitmapCompression(record.From(*bitmap));
        // Height and width are the first two parameters.
        if (function == MetaCreateFontIndirect && words >= 5)
            layout.fonts.push_back(record.Data() - file.Data());
        layout.text = layout.text || function == MetaTextOut || function == MetaExtTextOut;
        if (const std::optional<QSizeF> area = DrawnArea(record, function, words))
            layout.drawn.push_back(*area);
    }
    layout.length = at;

    const QPointF boxOrigin(std::min(left, right), std::min(top, bottom));
    layout.libraryOrigin = origin.value_or(QPointF(0, 0));
    layout.window =
        QRectF(origin.value_or(boxOrigin), extent.value_or(QSizeF(static_cast<double>(boxWidth),
                                                                  static_cast<double>(boxHeight))))
            .normalized();

    // An area of more pixels than a picture may have, at the picture's
    // scale, would keep libwmf drawing until the time limit: such a
    // metafile is given up before drawing.
    const double scaleX = layout.size.width() / layout.window.width();
    const double scaleY = layout.size.height() / layout.window.height();
    for (const QSizeF& area : layout.drawn) {
        if (!FitsDrawing(area.width() * scaleX, area.height() * scaleY))
            throw EPictureError(DrawingChild::TooLongMessage);
    }
    return layout;
}

// libwmf allocates through these, within LibraryMemoryLimit: a metafile
// whose records ask for more than any picture needs fails with the
// library's out-of-memory error instead of taking the machine's memory.
// Every block starts with its size.
struct MemoryBudget {
    std::size_t left = LibraryMemoryLimit;
};
constexpr std::size_t BlockHeader = alignof(std::max_align_t);

std::size_t BlockSize(void* memory) {
    std::size_t size = 0;
    std::memcpy(&size, static_cast<char*>(memory) - BlockHeader, sizeof size);
    return size;
}

void* BudgetAllocate(void* context, std::size_t size) {
    auto* budget = static_cast<MemoryBudget*>(context);
    if (size > budget->left)
        return nullptr;
    auto* block = static_cast<char*>(std::malloc(size + BlockHeader));
    if (block == nullptr)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->left -= size;
    return block + BlockHeader;
}

void BudgetFree(void* context, void* memory) {
    if (memory == nullptr)
        return;
    static_cast<MemoryBudget*>(context)->left += BlockSize(memory);
    std::free(static_cast<char*>(memory) - BlockHeader);
}

void* BudgetReallocate(void* context, void* memory, std::size_t size) {
    if (memory == nullptr)
        return BudgetAllocate(context, size);
    auto* budget = static_cast<MemoryBudget*>(context);
    const std::size_t old = BlockSize(memory);
    if (size > old && size - old > budget->left)
        return nullptr;
    auto* block = static_cast<char*>(
        std::realloc(static_cast<char*>(memory) - BlockHeader, size + BlockHeader));
    if (block == nullptr)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->left = budget->left + old - size;
    return block + BlockHeader;
}

bool WithinGlyphBounds(double widthPixels, double heightPixels) {
    return widthPixels <= MaxGlyphPixels && heightPixels <= MaxGlyphPixels &&
           widthPixels <= heightPixels * MaxGlyphStretch &&
           heightPixels <= widthPixels * MaxGlyphStretch;
}

// The heights and widths of the fonts within the glyph bounds, for the
// picture's scale (pixels per logical unit).
std::vector<FieldChange> FontChanges(const QByteArray& bytes, const WmfLayout& layout) {
    const ByteReader file = MetafileBytes(bytes);
    const double scaleX = layout.size.width() / layout.window.width();
    const double scaleY = layout.size.height() / layout.window.height();
    if (layout.text && !WithinGlyphBounds(LibraryFontUnits * scaleX, LibraryFontUnits * scaleY))
        throw EPictureError("Metafile text cannot be drawn at its scale");
    std::vector<FieldChange> changes;
    for (const qsizetype at : layout.fonts) {
        const std::int16_t givenHeight = file.Int16(at + 6);
        const int height = std::abs(int{givenHeight});
        const int width = std::abs(int{file.Int16(at + 8)});
        // Whole logical units: the height at most MaxGlyphPixels (at least
        // one unit), then the width as near to its own (libwmf takes 0 as
        // the height) as the bounds allow.
        const double wantedHeight = height == 0 ? DefaultGlyphPixels : height * scaleY;
        const double newHeight =
            std::max(1.0, std::floor(std::min(wantedHeight, MaxGlyphPixels) / scaleY));
        const double heightPixels = newHeight * scaleY;
        const double fewest = std::max(1.0, std::ceil(heightPixels / MaxGlyphStretch / scaleX));
        const double most =
            std::floor(std::min(MaxGlyphPixels, heightPixels * MaxGlyphStretch) / scaleX);
        if (heightPixels > MaxGlyphPixels || fewest > most || newHeight > 32767 || most < 1)
            throw EPictureError("Metafile text cannot be drawn at its scale");
        const double wantedWidth = width == 0 ? newHeight : width;
        const double newWidth = std::min(std::max(wantedWidth, fewest), std::min(most, 32767.0));
        // The sign says cell or character height; 0 becomes a character height.
        const double sign = givenHeight > 0 ? 1 : -1;
        changes.push_back({at + 6, static_cast<std::int16_t>(sign * newHeight)});
        changes.push_back({at + 8, static_cast<std::int16_t>(newWidth)});
    }
    return changes;
}

struct ApiCloser {
    void operator()(wmfAPI* api) const { wmf_api_destroy(api); }
};

// Copies the gd device's pixels (colour with a 7-bit transparency, 0 opaque,
// 127 clear) into a row of the 24-bit bitmap, laid over white as the
// painter lays a picture over white.
void CopyOverWhite(const int* from, int width, uchar* to) {
    for (int x = 0; x < width; ++x, to += 3) {
        const auto value = static_cast<std::uint32_t>(from[x]);
        const std::uint32_t clear = (value >> 24) & 0x7F;
        if (clear == 0) {
            to[0] = static_cast<uchar>(value >> 16);
            to[1] = static_cast<uchar>(value >> 8);
            to[2] = static_cast<uchar>(value);
            continue;
        }
        const std::uint32_t alpha = ((127 - clear) * 255 + 63) / 127;
        const QRgb pixel = qPremultiply((alpha << 24) | (value & 0xFFFFFF));
        const int white = 255 - static_cast<int>(alpha);
        to[0] = static_cast<uchar>(qRed(pixel) + white);
        to[1] = static_cast<uchar>(qGreen(pixel) + white);
        to[2] = static_cast<uchar>(qBlue(pixel) + white);
    }
}

// Plays the metafile with libwmf's gd device into the pixels (the picture's
// size, 24-bit rows of the given length). Runs in the child process: it
// throws nothing and keeps to libwmf and arithmetic.
bool Play(QByteArray& copy, const WmfLayout& layout, uchar* pixels,
          qsizetype bytesPerLine) noexcept {
    MemoryBudget budget;
    wmfAPI_Options options{};
    options.context = &budget;
    options.malloc = BudgetAllocate;
    options.realloc = BudgetReallocate;
    options.free = BudgetFree;
    options.function = wmf_gd_function;
    // No messages on standard error or output: a bad file is reported by
    // the exception alone.
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL |
                                WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* created = nullptr;
    if (wmf_api_create(&created, flags, &options) != wmf_E_None || created == nullptr)
        return false;
    const std::unique_ptr<wmfAPI, ApiCloser> api(created);

    wmf_gd_t* device = WMF_GD_GetData(api.get());
    device->type = wmf_gd_image;
    wmfD_Rect drawn;
    if (wmf_mem_open(api.get(), reinterpret_cast<unsigned char*>(copy.data()), copy.size()) !=
            wmf_E_None ||
        wmf_scan(api.get(), 0, &drawn) != wmf_E_None)
        return false;

    // The window in libwmf's device points, which the gd device stretches
    // over the picture.
    const double scale = PointsPerInch / layout.unitsPerInch;
    const QRectF window = layout.window.translated(-layout.libraryOrigin);
    device->bbox.TL.x = static_cast<float>(window.left() * scale);
    device->bbox.TL.y = static_cast<float>(window.top() * scale);
    device->bbox.BR.x = static_cast<float>(window.right() * scale);
    device->bbox.BR.y = static_cast<float>(window.bottom() * scale);
    device->width = static_cast<unsigned int>(layout.size.width());
    device->height = static_cast<unsigned int>(layout.size.height());
    if (wmf_play(api.get(), 0, &drawn) != wmf_E_None || device->gd_image == nullptr)
        return false;
    // The gd image is the caller's, and gd's function that frees it is not
    // exported; it goes with the child process.
    const int* played = wmf_gd_image_pixels(device->gd_image);
    if (played == nullptr)
        return false;
    // Row by row: the copy of a picture of a hundred megapixels stays a small
    // part of the time the drawing may take.
    const int width = layout.size.width();
    for (int y = 0; y < layout.size.height(); ++y)
        CopyOverWhite(played + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width,
                      pixels + y * bytesPerLine);
    return true;
}

QImage Draw(const QByteArray& bytes, const WmfLayout& layout) {
    // libwmf reads its copy: the records up to the end record, the header's
    // largest record as the records really are (libwmf sizes its record
    // buffer by it), and the fonts within the glyph bounds.
    QByteArray copy = bytes.left(layout.length);
    ByteWriter fields(copy.data(), copy.size());
    fields.Seek(MaxRecordField).UInt32(layout.maxRecordWords);
    for (const FieldChange& change : FontChanges(bytes, layout))
        fields.Seek(change.at).Int16(change.value);

    // libwmf loops for a very long time, or crashes, on some metafiles that
    // no check here foresees (it fills a shape of millions of pixels pixel
    // by pixel, clipped or not): it draws in a child process.
    // The child draws straight into the 24-bit bitmap the loader hands on.
    constexpr QImage::Format Format = QImage::Format_RGB888;
    const qsizetype bytesPerLine = DrawingChild::BytesPerLine(layout.size, Format);
    return DrawingChild::Draw(layout.size, Format, [&](uchar* pixels) {
        return Play(copy, layout, pixels, bytesPerLine);
    });
}

} // namespace

QImage ReadWmf(const QByteArray& bytes) {
    return Draw(bytes, ReadLayout(bytes));
}

bool HasWmfSignature(const QByteArray& bytes) {
    return bytes.size() >= 4 && MetafileBytes(bytes).UInt32(0) == PlaceableKey;
}
