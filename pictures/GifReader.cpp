#include "GifReader.h"

#include "EPictureError.h"
#include "PictureLimits.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <gif_lib.h>

namespace {

struct Input {
    const QByteArray* bytes;
    qsizetype at;
};

int ReadInput(GifFileType* file, GifByteType* to, int length) {
    auto* input = static_cast<Input*>(file->UserData);
    const qsizetype left = input->bytes->size() - input->at;
    const int count = static_cast<int>(std::min<qsizetype>(std::max(length, 0), left));
    std::memcpy(to, input->bytes->constData() + input->at, static_cast<size_t>(count));
    input->at += count;
    return count;
}

struct GifCloser {
    void operator()(GifFileType* file) const {
        int error = 0;
        DGifCloseFile(file, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

[[noreturn]] void Fail(const GifFileType* file) {
    const char* text = GifErrorString(file ? file->Error : 0);
    throw EPictureError(std::string("GIF error: ") + (text ? text : "unknown"));
}

// Skips an extension, remembering the transparent colour of a graphic
// control block.
void ReadExtension(GifFileType* file, int* transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(file, &code, &block) == GIF_ERROR)
        Fail(file);
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        GraphicsControlBlock control;
        if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            *transparent = control.TransparentColor;
    }
    while (block != nullptr) {
        if (DGifGetExtensionNext(file, &block) == GIF_ERROR)
            Fail(file);
    }
}

// Reads the frame's rows in file order (interlaced frames in their four
// passes) into indexes, one byte per pixel.
std::vector<GifPixelType> ReadFrameIndexes(GifFileType* file, int width, int height) {
    std::vector<GifPixelType> indexes(static_cast<size_t>(width) * static_cast<size_t>(height));
    std::vector<int> rows;
    if (file->Image.Interlace) {
        static const int Start[] = {0, 4, 2, 1};
        static const int Step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = Start[pass]; y < height; y += Step[pass])
                rows.push_back(y);
    } else {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
    }
    for (int y : rows)
        if (DGifGetLine(file, indexes.data() + static_cast<size_t>(y) * width, width) == GIF_ERROR)
            Fail(file);
    return indexes;
}

} // namespace

QImage ReadGif(const QByteArray& bytes) {
    Input input{&bytes, 0};
    int error = 0;
    GifFile file(DGifOpen(&input, ReadInput, &error));
    if (!file) {
        const char* text = GifErrorString(error);
        throw EPictureError(std::string("GIF error: ") + (text ? text : "unknown"));
    }

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(file.get(), &record) == GIF_ERROR)
            Fail(file.get());
        if (record == TERMINATE_RECORD_TYPE)
            throw EPictureError("GIF file has no image");
        if (record == EXTENSION_RECORD_TYPE) {
            ReadExtension(file.get(), &transparent);
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(file.get()) == GIF_ERROR)
            Fail(file.get());
        break;
    }

    const GifImageDesc& frame = file->Image;
    CheckPictureSize(frame.Width, frame.Height);
    // A logical screen smaller than the frame (or none) grows to hold it.
    const std::int64_t screenWidth =
        std::max<std::int64_t>(file->SWidth, std::int64_t{frame.Left} + frame.Width);
    const std::int64_t screenHeight =
        std::max<std::int64_t>(file->SHeight, std::int64_t{frame.Top} + frame.Height);
    CheckPictureSize(screenWidth, screenHeight);
    // LZW data can stand for only so many pixels: the frame's must lie in
    // what follows its descriptor, and a screen larger than the whole file
    // could fill is no picture either.
    CheckPixelsBackedBy(frame.Width, frame.Height, bytes.size() - input.at, MaxLzwPixelsPerByte);
    CheckPixelsBackedBy(screenWidth, screenHeight, bytes.size(), MaxLzwPixelsPerByte);

    const std::vector<GifPixelType> indexes =
        ReadFrameIndexes(file.get(), frame.Width, frame.Height);
    const ColorMapObject* colours = frame.ColorMap ? frame.ColorMap : file->SColorMap;
    QImage picture(static_cast<int>(screenWidth), static_cast<int>(screenHeight),
                   QImage::Format_ARGB32);
    if (picture.isNull())
        throw EPictureError("Not enough memory for the GIF picture");
    picture.fill(Qt::transparent);
    for (int y = 0; y < frame.Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(frame.Top + y));
        const GifPixelType* from = indexes.data() + static_cast<size_t>(y) * frame.Width;
        for (int x = 0; x < frame.Width; ++x) {
            const int index = from[x];
            if (index == transparent)
                continue;
            QRgb colour = qRgb(0, 0, 0);
            if (colours != nullptr && index < colours->ColorCount) {
                const GifColorType& entry = colours->Colors[index];
                colour = qRgb(entry.Red, entry.Green, entry.Blue);
            }
            row[frame.Left + x] = colour;
        }
    }
    return picture;
}
