// Feeds arbitrary bytes to the placeable WMF reader (libwmf behind it); the
// drawing child crashing or hanging fails the target.

#include "PictureFuzzCheck.h"
#include "WmfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return picturefuzz::ReadDrawingAndCheck(data, size, ReadWmf);
}
