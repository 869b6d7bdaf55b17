// Feeds arbitrary bytes to the EMF reader (libemf2svg and Qt SVG behind it),
// with a GUI application on the offscreen platform so that text is drawn as
// in the program. The drawing child crashing or hanging fails the target.

#include "EmfReader.h"
#include "PictureFuzzCheck.h"

#include <QGuiApplication>

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
    return picturefuzz::ReadDrawingAndCheck(data, size, ReadEmf);
}
