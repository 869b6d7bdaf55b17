#include "SyntheticJpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

QByteArray SyntheticJpeg(int width, int height, int quality,
                         const std::function<void(int y, std::uint8_t* row)>& fillRow) {
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &bytes, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        fillRow(static_cast<int>(info.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    QByteArray picture(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    jpeg_destroy_compress(&info);
    std::free(bytes);
    return picture;
}

namespace {

// Centre x, centre y and radius of the discs in the picture.
constexpr int Discs[3][3] = {{1500, 1800, 900}, {3900, 2300, 1300}, {5100, 900, 500}};

} // namespace

QByteArray CameraPicture() {
    std::uint32_t noise = 2463534242u;
    return SyntheticJpeg(CameraWidth, CameraHeight, 92, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < CameraWidth; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            // Shapes: three discs with soft borders, and darker ground below
            // a jagged horizon.
            int shape = 0;
            for (const auto& disc : Discs) {
                const std::int64_t dx = x - disc[0];
                const std::int64_t dy = y - disc[1];
                const std::int64_t inside = std::int64_t{disc[2]} * disc[2] - dx * dx - dy * dy;
                if (inside > 0)
                    shape += static_cast<int>(std::min<std::int64_t>(inside / 4000, 60));
            }
            if (y > 3000 + (x % 1200) / 8)
                shape -= 40;
            // Texture: a fine weave over everything.
            const int weave = ((x / 3 + y / 5) % 7 + (x / 11 - y / 7 + 1000) % 5) * 2;
            const int grain = static_cast<int>(noise % 17) - 8;
            const int base[3] = {60 + y / 25 + x / 90, 90 + y / 40 + (CameraWidth - x) / 120,
                                 200 - y / 24 + x / 200};
            for (int c = 0; c < 3; ++c) {
                const int value = base[c] + shape * (c + 1) / 2 + weave + grain +
                                  static_cast<int>((noise >> (8 + c * 5)) % 7) - 3;
                row[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
            }
        }
    });
}
