#include "ByteReader.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Refused : std::runtime_error {
    Refused() : std::runtime_error("refused") {}
};

[[noreturn]] void Refuse() {
    throw Refused();
}

const char Sample[] = "\x01\x02\x03\x04\x05\x06\x07\x88";
const QByteArrayView SampleBytes(Sample, 8);

struct NumberCase {
    ByteReader::Order order;
    qsizetype offset;
    int length;
    std::uint64_t expected;
};

TEST(ByteReaderTest, ReadsNumbersInItsByteOrder) {
    const NumberCase cases[] = {
        {ByteReader::LittleEndian, 0, 1, 0x01},
        {ByteReader::LittleEndian, 1, 2, 0x0302},
        {ByteReader::LittleEndian, 4, 4, 0x88070605},
        {ByteReader::LittleEndian, 0, 8, 0x8807060504030201},
        {ByteReader::BigEndian, 1, 2, 0x0203},
        {ByteReader::BigEndian, 4, 4, 0x05060788},
        {ByteReader::BigEndian, 0, 8, 0x0102030405060788},
        {ByteReader::BigEndian, 5, 3, 0x060788},
    };
    for (const NumberCase& c : cases) {
        const ByteReader reader(SampleBytes, Refuse, c.order);
        EXPECT_EQ(c.expected, reader.Unsigned(c.offset, c.length))
            << c.order << " " << c.offset << " " << c.length;
    }
}

TEST(ByteReaderTest, SignedReadsKeepTheSign) {
    const ByteReader reader(QByteArrayView("\xFE\xFF\xFF\xFF", 4));
    EXPECT_EQ(-2, reader.Int16(0));
    EXPECT_EQ(-2, reader.Int32(0));
    EXPECT_EQ(0xFFFFu, reader.UInt16(2));
}

struct RangeCase {
    qsizetype offset;
    qsizetype length;
};

TEST(ByteReaderTest, RefusesEveryReadReachingPastTheEnd) {
    const ByteReader reader(SampleBytes, Refuse);
    const RangeCase outside[] = {{-1, 1}, {7, 2}, {8, 1}, {9, 0}, {0, 9}, {4, -1}};
    for (const RangeCase& c : outside) {
        EXPECT_FALSE(reader.Holds(c.offset, c.length)) << c.offset << " " << c.length;
        EXPECT_THROW(reader.Bytes(c.offset, c.length), Refused) << c.offset;
        EXPECT_THROW(reader.Slice(c.offset, c.length), Refused) << c.offset;
    }
    EXPECT_THROW(reader.UInt32(5), Refused);
    EXPECT_THROW(reader.UInt64(1), Refused);
    EXPECT_THROW(ByteReader(QByteArrayView()).UInt8(0), std::out_of_range);
    EXPECT_EQ(0x88u, reader.UInt8(7));
    EXPECT_TRUE(reader.Holds(8, 0));
}

TEST(ByteReaderTest, SliceReadsFromItsOwnStartAndEnd) {
    const ByteReader slice = ByteReader(SampleBytes, Refuse, ByteReader::BigEndian).Slice(2, 3);
    EXPECT_EQ(3, slice.Size());
    EXPECT_EQ(0x0304u, slice.UInt16(0));
    EXPECT_THROW(slice.UInt16(2), Refused);
    EXPECT_EQ(0x05u, slice.From(2).UInt8(0));
    EXPECT_THROW(slice.From(4), Refused);
}

} // namespace
