#include "PictureFuzzCheck.h"

#include "DrawingChild.h"
#include "EPictureError.h"
#include "PictureLimits.h"

#include <cstdio>
#include <cstdlib>

namespace picturefuzz {

int ReadAndCheck(const std::uint8_t* data, std::size_t size,
                 QImage (*read)(const QByteArray& bytes)) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QImage picture;
    try {
        picture = read(bytes);
    } catch (const EPictureError&) {
        return 0;
    }
    const std::int64_t pixels = std::int64_t{picture.width()} * picture.height();
    if (picture.isNull() || pixels <= 0 || pixels > MaxPicturePixels)
        Fail("reader returned a picture without pixels or beyond the limit", picture);
    return 0;
}

// The drawing libraries crash or hang on some inputs; the program contains
// that in the child and refuses the picture. With VELMORA_FUZZ_STRICT_CHILD
// set, such an input fails the target so that it can be studied; otherwise
// the first of each kind is reported and the run goes on.
int ReadDrawingAndCheck(const std::uint8_t* data, std::size_t size,
                        QImage (*read)(const QByteArray& bytes)) {
    static const bool strict = std::getenv("VELMORA_FUZZ_STRICT_CHILD") != nullptr;
    static bool crashSeen = false;
    static bool hangSeen = false;
    DrawingChild::ForgetLastEnd();
    ReadAndCheck(data, size, read);
    const std::optional<DrawingChild::End> end = DrawingChild::LastEnd();
    if (end == DrawingChild::End::Crashed && (strict || !crashSeen)) {
        crashSeen = true;
        std::fprintf(stderr, "the drawing child crashed\n");
        if (strict)
            std::abort();
    }
    if (end == DrawingChild::End::TimedOut && (strict || !hangSeen)) {
        hangSeen = true;
        std::fprintf(stderr, "the drawing child hung: still drawing at the time limit\n");
        if (strict)
            std::abort();
    }
    return 0;
}

void Fail(const char* what, const QImage& picture) {
    std::fprintf(stderr, "%s: %d x %d\n", what, picture.width(), picture.height());
    std::abort();
}

} // namespace picturefuzz
