// Feeds arbitrary bytes to the BMP file reader.

#include "BmpReader.h"
#include "PictureFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return picturefuzz::ReadAndCheck(data, size, ReadBmp);
}
