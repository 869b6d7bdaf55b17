// Draws arbitrary text, loaded as a scheme, into the bitmap the scheme
// export writes, with a GUI application on the offscreen platform so that
// names are drawn as in the program, and encodes it as a BMP file. The first
// node and the last line are drawn selected. Nothing may crash, overflow or
// hang; a bitmap is made for every positive size within the limit.

#include "BmpWriter.h"
#include "EZunPiggerError.h"
#include "SchemeDocument.h"
#include "SchemePainter.h"

#include <QFont>
#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// Sides are cut to this for the drawing: what is drawn does not depend on
// the size of the bitmap, only the time spent filling it does.
constexpr int Side = 640;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_scheme_bitmap: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_scheme_bitmap";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SchemeDocument scheme;
    try {
        scheme.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const EZunPiggerError&) {
        return 0;
    }
    SchemeSelection selected;
    for (int i = 0; i < scheme.Root.ChildCount(); ++i) {
        TZunPigger* child = scheme.Root.Child(i);
        if (child->Name() == "NODE" && !selected.Node)
            selected.Node = child;
        else if (child->Name() == "LINE")
            selected.LineEnd = child;
    }
    const int width = scheme.Width();
    const int height = scheme.Height();
    const QFont font;
    if (width <= 0 || height <= 0 ||
        static_cast<long long>(width) * height > SchemePainter::MaxBitmapPixels) {
        if (!SchemePainter::Bitmap(scheme.Root, selected, width, height, font).isNull())
            Fail("a bitmap of no size or beyond the limit was made");
        return 0;
    }
    const QImage bitmap = SchemePainter::Bitmap(scheme.Root, selected, std::min(width, Side),
                                                std::min(height, Side), font);
    if (bitmap.isNull())
        Fail("no bitmap for a size within the limit");
    if (BitmapToBmpBytes(bitmap).isEmpty())
        Fail("the bitmap could not be encoded");
    return 0;
}
