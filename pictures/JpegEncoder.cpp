#include "JpegEncoder.h"

#include "Bitmap24.h"
#include "EPictureError.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void ExitOnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// The compression itself, with nothing in this frame that needs a
// destructor, so that an error can leave libjpeg by longjmp. Returns false
// on an encoder error.
bool Compress(const QImage& bitmap, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ExitOnError;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = static_cast<JDIMENSION>(bitmap.width());
    info.image_height = static_cast<JDIMENSION>(bitmap.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(bitmap.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray PictureToJpegBytes(const QImage& picture) {
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        return QByteArray();
    const QImage bitmap = ToBitmap24(picture);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool done = Compress(bitmap, &buffer, &size);
    QByteArray bytes;
    if (done)
        bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    if (!done)
        throw EPictureError("Cannot write the picture as JPEG");
    return bytes;
}
