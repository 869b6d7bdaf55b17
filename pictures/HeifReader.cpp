#include "HeifReader.h"

#include "EPictureError.h"
#include "HeifLayout.h"
#include "PictureLimits.h"

#include <libheif/heif.h>

#include <memory>
#include <string>

namespace {

struct ContextFree {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
    void operator()(const heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct OptionsFree {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

void Check(const heif_error& error) {
    if (error.code != heif_error_Ok)
        throw EPictureError(std::string("HEIF error: ") +
                            (error.message != nullptr ? error.message : "unknown"));
}

void ReleaseImage(void* image) {
    heif_image_release(static_cast<heif_image*>(image));
}

} // namespace

QImage ReadHeif(const QByteArray& bytes) {
    // Item locations and the sizes of composed images, which libheif trusts.
    CheckHeifLayout(bytes);
    const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
    if (!context)
        throw EPictureError("HEIF error: no memory");
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(MaxJpegSide));
    Check(heif_context_read_from_memory_without_copy(context.get(), bytes.constData(),
                                                     static_cast<size_t>(bytes.size()), nullptr));
    heif_image_handle* rawHandle = nullptr;
    Check(heif_context_get_primary_image_handle(context.get(), &rawHandle));
    const std::unique_ptr<const heif_image_handle, HandleRelease> handle(rawHandle);

    // The size after the file's rotation: what the picture will be.
    const int width = heif_image_handle_get_width(handle.get());
    const int height = heif_image_handle_get_height(handle.get());
    CheckPictureSize(width, height);
    if (!FitsJpeg(width, height))
        throw EPictureError("Picture is too large");

    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
    const std::unique_ptr<heif_decoding_options, OptionsFree> options(
        heif_decoding_options_alloc());
    if (!options)
        throw EPictureError("HEIF error: no memory");
    options->convert_hdr_to_8bit = 1;
    heif_image* image = nullptr;
    Check(heif_decode_image(handle.get(), &image, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                            options.get()));
    // From here the picture's memory belongs to the image below, which
    // releases it when the last copy of it goes.
    int stride = 0;
    uchar* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const int decodedWidth = heif_image_get_width(image, heif_channel_interleaved);
    const int decodedHeight = heif_image_get_height(image, heif_channel_interleaved);
    if (plane == nullptr || stride <= 0 || stride % 4 != 0 ||
        heif_image_get_bits_per_pixel_range(image, heif_channel_interleaved) != 8 ||
        decodedWidth != width || decodedHeight != height) {
        heif_image_release(image);
        throw EPictureError("HEIF error: unexpected decoded picture");
    }
    const QImage::Format format = !alpha          ? QImage::Format_RGB888
                                  : premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                  : QImage::Format_RGBA8888;
    QImage picture(plane, width, height, stride, format, ReleaseImage, image);
    if (picture.isNull()) {
        heif_image_release(image);
        throw EPictureError("Not enough memory for the picture");
    }
    if (alpha)
        return picture.convertToFormat(QImage::Format_ARGB32);
    return picture;
}
