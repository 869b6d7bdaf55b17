#include "JpegDecoder.h"

#include "EPictureError.h"
#include "PictureLimits.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include <jerror.h>

namespace {

// libjpeg's own working memory for one picture (coefficient buffers of
// progressive files included); more than this fails instead of swapping.
constexpr long MaxDecoderMemory = 1024L * 1024 * 1024;
// Progressive files can hold any number of scans, each one a pass over the
// whole picture; a real file needs a few dozen at most.
constexpr int MaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // The first warning about the data, empty while there is none.
    char damage[JMSG_LENGTH_MAX];
};

struct ProgressMonitor {
    jpeg_progress_mgr base;
    std::int64_t pixels;
};

void ExitOnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings are about data libjpeg decodes as far as it can and fills in
// after (a truncated file, a damaged stretch of a scan), as other viewers
// show them: the first one is kept for the caller. Stray bytes between
// markers are harmless and not counted as damage.
void EmitMessage(j_common_ptr info, int level) {
    if (level != -1 || info->err->msg_code == JWRN_EXTRANEOUS_DATA)
        return;
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (errors->damage[0] == '\0')
        errors->base.format_message(info, errors->damage);
}

// Refuses a file as soon as a scan starts that takes it beyond MaxScans or
// beyond MaxJpegScanPixels of decoding work.
void LimitScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    const auto* progress = reinterpret_cast<ProgressMonitor*>(decompress->progress);
    const std::int64_t scans = decompress->input_scan_number;
    const char* refusal = nullptr;
    if (scans > MaxScans)
        refusal = "Too many scans in JPEG data";
    else if (scans * progress->pixels > MaxJpegScanPixels)
        refusal = "Too many scans in JPEG data for a picture of its size";
    if (refusal != nullptr) {
        auto* errors = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "%s", refusal);
        std::longjmp(errors->jump, 1);
    }
}

std::uint8_t CmykToChannel(int c, int k, bool inverted) {
    if (inverted)
        return static_cast<std::uint8_t>(c * k / 255);
    return static_cast<std::uint8_t>((255 - c) * (255 - k) / 255);
}

enum class Outcome { Done, LibraryError, TooLarge, UnknownColours };

// The decoding, with nothing in this frame that needs a destructor, so that
// an error can leave libjpeg by longjmp. With headerOnly the size is read and
// checked and no picture is made.
Outcome Decompress(const QByteArray& bytes, bool headerOnly, QImage* picture, QSize* size,
                   char* message, char* damage) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    ProgressMonitor progress;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ExitOnError;
    errors.base.emit_message = EmitMessage;
    errors.message[0] = '\0';
    errors.damage[0] = '\0';
    progress.pixels = 0;
    if (setjmp(errors.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_decompress(&info);
        return Outcome::LibraryError;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = MaxDecoderMemory;
    progress.base.progress_monitor = LimitScans;
    info.progress = &progress.base;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);

    const std::int64_t width = info.image_width;
    const std::int64_t height = info.image_height;
    if (width <= 0 || height <= 0 || width * height > MaxPicturePixels) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    *size = QSize(static_cast<int>(width), static_cast<int>(height));
    progress.pixels = width * height;
    bool cmyk = false;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_RGB:
    case JCS_YCbCr:
        info.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        cmyk = true;
        break;
    default:
        jpeg_destroy_decompress(&info);
        return Outcome::UnknownColours;
    }
    if (headerOnly) {
        jpeg_destroy_decompress(&info);
        return Outcome::Done;
    }
    const bool inverted = info.saw_Adobe_marker;

    jpeg_start_decompress(&info);
    *picture = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    if (picture->isNull()) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    // CMYK rows are read into a scratch row of libjpeg's own and turned into
    // RGB from there.
    JSAMPARRAY scratch = nullptr;
    if (cmyk)
        scratch = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                            static_cast<JDIMENSION>(width * 4), 1);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* row = picture->scanLine(static_cast<int>(info.output_scanline));
        JSAMPROW target = cmyk ? scratch[0] : row;
        jpeg_read_scanlines(&info, &target, 1);
        if (!cmyk)
            continue;
        for (std::int64_t x = 0; x < width; ++x) {
            const int k = target[x * 4 + 3];
            row[x * 3] = CmykToChannel(target[x * 4], k, inverted);
            row[x * 3 + 1] = CmykToChannel(target[x * 4 + 1], k, inverted);
            row[x * 3 + 2] = CmykToChannel(target[x * 4 + 2], k, inverted);
        }
    }
    jpeg_finish_decompress(&info);
    std::snprintf(damage, JMSG_LENGTH_MAX, "%s", errors.damage);
    jpeg_destroy_decompress(&info);
    return Outcome::Done;
}

JpegDecoding Decode(const QByteArray& bytes, bool headerOnly, QSize* size) {
    if (bytes.isEmpty())
        throw EPictureError("No JPEG data");
    JpegDecoding decoding;
    char message[JMSG_LENGTH_MAX];
    char damage[JMSG_LENGTH_MAX] = "";
    switch (Decompress(bytes, headerOnly, &decoding.picture, size, message, damage)) {
    case Outcome::Done:
        decoding.damage = damage;
        return decoding;
    case Outcome::LibraryError:
        throw EPictureError(std::string("JPEG error: ") + message);
    case Outcome::TooLarge:
        throw EPictureError("JPEG picture is too large");
    case Outcome::UnknownColours:
        break;
    }
    throw EPictureError("JPEG colour space is not supported");
}

} // namespace

JpegDecoding DecodeJpeg(const QByteArray& bytes) {
    QSize size;
    return Decode(bytes, false, &size);
}

QImage ReadJpeg(const QByteArray& bytes) {
    return DecodeJpeg(bytes).picture;
}

QSize ReadJpegSize(const QByteArray& bytes) {
    QSize size;
    Decode(bytes, true, &size);
    return size;
}
