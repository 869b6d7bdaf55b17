// Feeds arbitrary bytes to the GIF file reader.

#include "GifReader.h"
#include "PictureFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return picturefuzz::ReadAndCheck(data, size, ReadGif);
}
