// Feeds arbitrary bytes to the PNG, WebP and TIFF readers: the first byte
// picks the reader, the rest is the file.

#include "PictureFuzzCheck.h"
#include "QtImageReader.h"

#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QImage (*const readers[])(const QByteArray&) = {ReadPng, ReadWebp, ReadTiff};
    if (size == 0)
        return 0;
    return picturefuzz::ReadAndCheck(data + 1, size - 1, readers[data[0] % std::size(readers)]);
}
