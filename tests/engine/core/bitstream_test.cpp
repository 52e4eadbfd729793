#include "engine/core/bitstream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using vek::cBitStream;

namespace {

std::vector<uint8_t> Bytes(const cBitStream& s)
{
    return std::vector<uint8_t>(s.GetData().begin(), s.GetData().begin() + s.GetByteCount());
}

cBitStream FromBytes(const std::vector<uint8_t>& b)
{
    cBitStream s;
    s.SetData(b.data(), b.size());
    return s;
}

} // namespace

TEST(BitStream, ByteLayoutOfEveryValue)
{
    cBitStream s;
    s.WriteInt(1);
    s.WriteInt(-2);
    s.WriteFloat(1.0f);
    s.WriteString("abc");
    s.WriteString("");
    EXPECT_EQ(s.WriteByte(0x1FF), 8 * 20);  // only the low 8 bits
    EXPECT_EQ(Bytes(s), (std::vector<uint8_t>{0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,
                                              0x00, 0x00, 0x80, 0x3F, 0x03, 0x00, 0x61, 0x62,
                                              0x63, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(s.GetBitLength(), 8 * 20);
    EXPECT_EQ(s.GetWritePos(), 8 * 20);
}

TEST(BitStream, RoundTrip)
{
    cBitStream out;
    const std::string withHigh("\xC0\xFF\x00z", 4);
    out.WriteInt(INT32_MIN);
    out.WriteInt(INT32_MAX);
    out.WriteFloat(-3.25f);
    out.WriteFloat(std::numeric_limits<float>::infinity());
    out.WriteString(withHigh);
    out.WriteByte(200);

    cBitStream in = FromBytes(Bytes(out));
    EXPECT_EQ(in.ReadInt(), INT32_MIN);
    EXPECT_EQ(in.ReadInt(), INT32_MAX);
    EXPECT_EQ(in.ReadFloat(), -3.25f);
    EXPECT_TRUE(std::isinf(in.ReadFloat()));
    EXPECT_EQ(in.ReadString(), withHigh);
    EXPECT_EQ(in.ReadByte(), 200);
    EXPECT_TRUE(in.AtEnd());
}

TEST(BitStream, LongStrings)
{
    cBitStream out;
    out.WriteString(std::string(40000, 'q'));
    ASSERT_GE(out.GetByteCount(), 2u);
    EXPECT_EQ(out.GetData()[0], 0x40);
    EXPECT_EQ(out.GetData()[1], 0x9C);
    cBitStream in = FromBytes(Bytes(out));
    EXPECT_EQ(in.ReadString(), std::string(40000, 'q'));

    // Too long for the 16-bit length: cut, and the length matches the bytes.
    cBitStream cut;
    cut.WriteString(std::string(70000, 'x'));
    EXPECT_EQ(cut.GetByteCount(), 2u + 65535u);
    cBitStream back = FromBytes(Bytes(cut));
    EXPECT_EQ(back.ReadString().size(), 65535u);
    EXPECT_TRUE(back.AtEnd());
}

TEST(BitStream, ReadingPastTheEndYieldsZeros)
{
    cBitStream two = FromBytes({0x34, 0x12});
    EXPECT_EQ(two.ReadInt(), 4660);
    EXPECT_EQ(two.ReadByte(), 0);
    EXPECT_EQ(two.GetReadPos(), 16);  // missing bytes do not move the position

    cBitStream five = FromBytes({1, 2, 3, 4, 5});
    EXPECT_EQ(five.GetBitLength(), 40);
    EXPECT_EQ(five.ReadInt(), 0x04030201);
    EXPECT_EQ(five.BytesLeft(), 1u);
    EXPECT_EQ(five.ReadInt(), 5);
    EXPECT_EQ(five.ReadFloat(), 0.0f);
    EXPECT_EQ(five.ReadString(), "");

    // A string cut short keeps its stored length, filled with zeros.
    cBitStream cutShort = FromBytes({0x04, 0x00, 'a', 'b'});
    EXPECT_EQ(cutShort.ReadString(), std::string("ab\0\0", 4));

    cBitStream empty;
    EXPECT_EQ(empty.ReadInt(), 0);
    EXPECT_EQ(empty.GetByteCount(), 0u);
    empty.SetData(nullptr, 0);
    EXPECT_TRUE(empty.AtEnd());
}

TEST(BitStream, CountsAreBoundedByTheData)
{
    // A count of two billion in a 12-byte stream.
    cBitStream huge = FromBytes({0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 2, 0, 0, 0});
    EXPECT_EQ(huge.ReadCount(4), 2);
    cBitStream negative = FromBytes({0xFF, 0xFF, 0xFF, 0xFF, 9});
    EXPECT_EQ(negative.ReadCount(1), 0);
    cBitStream exact = FromBytes({3, 0, 0, 0, 1, 2, 3});
    EXPECT_EQ(exact.ReadCount(0), 3);
    cBitStream fewer = FromBytes({1, 0, 0, 0, 1, 2, 3, 4, 5});
    EXPECT_EQ(fewer.ReadCount(2), 1);  // the smaller of the count and what fits
}

TEST(BitStream, SetDataReplacesAndRewinds)
{
    cBitStream s = FromBytes({7, 0, 0, 0});
    EXPECT_EQ(s.ReadInt(), 7);
    const uint8_t other[] = {9, 0, 0, 0, 1};
    s.SetData(other, sizeof other);
    EXPECT_EQ(s.GetReadPos(), 0);
    EXPECT_EQ(s.GetBitLength(), 40);
    EXPECT_EQ(s.ReadInt(), 9);
}
