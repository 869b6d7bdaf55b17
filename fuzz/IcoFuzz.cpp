// Feeds arbitrary bytes to the icon file reader (bitmap and PNG entries).

#include "IcoReader.h"
#include "PictureFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return picturefuzz::ReadAndCheck(data, size, ReadIco);
}
