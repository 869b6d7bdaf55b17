// Feeds arbitrary bytes to the EMF reader, with the converter's code
// (libemf2svg and libUEMF behind it) run in this process so that the
// sanitizers see it, and Qt SVG drawing its SVG in the drawing child; a GUI
// application on the offscreen platform draws text as in the program. The
// converter crashing, or the drawing child crashing or hanging, fails the
// target.

#include "EPictureError.h"
#include "EmfReader.h"
#include "EmfToSvg.h"
#include "PictureFuzzCheck.h"

#include <QGuiApplication>

#include <string>

namespace {

QByteArray ConvertHere(const QByteArray& records, QSize size, std::chrono::milliseconds) {
    std::string svg;
    if (emfconvert::ToSvg(records.toStdString(), size.width(), size.height(), svg) !=
        emfconvert::Converted)
        throw EPictureError("Metafile is corrupt");
    return QByteArray::fromStdString(svg);
}

QImage ReadHere(const QByteArray& bytes) {
    return ReadEmf(bytes, &ConvertHere);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_emf";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return picturefuzz::ReadDrawingAndCheck(data, size, ReadHere);
}
