#include "ByteReader.h"

#include <stdexcept>

bool ByteReader::Holds(qsizetype offset, qsizetype length) const {
    return offset >= 0 && length >= 0 && offset <= Size() && length <= Size() - offset;
}

ByteReader ByteReader::Slice(qsizetype offset, qsizetype length) const {
    if (!Holds(offset, length))
        Refuse();
    return ByteReader(bytes_.sliced(offset, length), refuse_, order_);
}

const uchar* ByteReader::Bytes(qsizetype offset, qsizetype length) const {
    if (!Holds(offset, length))
        Refuse();
    return reinterpret_cast<const uchar*>(bytes_.data() + offset);
}

std::uint64_t ByteReader::Unsigned(qsizetype offset, int length) const {
    if (length < 1 || length > 8)
        throw std::invalid_argument("a number of 1 to 8 bytes");
    const uchar* p = Bytes(offset, length);
    std::uint64_t value = 0;
    for (int i = 0; i < length; ++i) {
        const int at = order_ == LittleEndian ? length - 1 - i : i;
        value = value << 8 | p[at];
    }
    return value;
}

void ByteReader::Refuse() const {
    if (refuse_)
        refuse_();
    throw std::out_of_range("the bytes end before the number");
}
