#include "ByteWriter.h"
#include "ByteReader.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <stdexcept>

namespace {

TEST(ByteWriterTest, WritesLittleEndianNumbersOneAfterAnother) {
    QByteArray bytes(15, '\0');
    ByteWriter writer(bytes.data(), bytes.size());
    writer.UInt8(0x01).Int16(-2).UInt32(0x05040302).UInt64(0x0D0C0B0A09080706);
    EXPECT_EQ(15, writer.Position());
    EXPECT_EQ(QByteArray("\x01\xFE\xFF\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D", 15),
              bytes);
    writer.Seek(1).Int32(-3);
    EXPECT_EQ(-3, ByteReader(bytes).Int32(1));
}

TEST(ByteWriterTest, WritesNothingPastTheEnd) {
    QByteArray bytes(5, 'x');
    ByteWriter writer(bytes.data(), bytes.size());
    writer.Seek(2);
    EXPECT_THROW(writer.UInt32(0), std::out_of_range);
    EXPECT_THROW(writer.Seek(6), std::out_of_range);
    EXPECT_EQ(QByteArray("xxxxx"), bytes);
    EXPECT_EQ(2, writer.Position());
}

} // namespace
