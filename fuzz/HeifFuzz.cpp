// Feeds arbitrary bytes to the HEIC/HEIF and AVIF reader.

#include "HeifReader.h"
#include "PictureFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return picturefuzz::ReadAndCheck(data, size, ReadHeif);
}
