#include "ByteWriter.h"

#include <stdexcept>

ByteWriter& ByteWriter::Seek(qsizetype position) {
    if (position < 0 || position > size_)
        throw std::out_of_range("a position outside the bytes");
    position_ = position;
    return *this;
}

ByteWriter& ByteWriter::Unsigned(std::uint64_t value, int length) {
    if (length < 1 || length > 8)
        throw std::invalid_argument("a number of 1 to 8 bytes");
    if (length > size_ - position_)
        throw std::out_of_range("the bytes end before the number");
    for (int i = 0; i < length; ++i, value >>= 8)
        data_[position_ + i] = static_cast<char>(value & 0xFF);
    position_ += length;
    return *this;
}
