#include "platform/text.h"

#include <gtest/gtest.h>

namespace vp = vek::platform;

TEST(Cp1251, EveryByteRoundTripsThroughUtf8)
{
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string utf8 = vp::Cp1251ToUtf8(all);
    EXPECT_EQ(vp::Utf8ToCp1251(utf8, '\0'), all);
}

TEST(Cp1251, KnownLettersAndSymbols)
{
    EXPECT_EQ(vp::Cp1251ToUtf8("\xB8"), "\xD1\x91");          // small io
    EXPECT_EQ(vp::Cp1251ToUtf8("\xA8"), "\xD0\x81");          // capital IO
    EXPECT_EQ(vp::Cp1251ToUtf8("\xC0\xFF"), "\xD0\x90\xD1\x8F");
    EXPECT_EQ(vp::Cp1251ToUtf8("\x88"), "\xE2\x82\xAC");      // euro sign
    EXPECT_EQ(vp::Cp1251ToUtf8("\xB9"), "\xE2\x84\x96");      // numero sign
    EXPECT_EQ(vp::Utf8ToCp1251("\xD1\x91"), "\xB8");
    EXPECT_EQ(vp::CodePointToCp1251(0x0451), 0xB8);
    EXPECT_EQ(vp::CodePointToCp1251(0x00E9), -1);
    EXPECT_EQ(vp::Cp1251ToCodePoint(0xC1), 0x0411u);
}

TEST(Cp1251, UnmappableAndMalformedInput)
{
    // e-acute and a CJK character have no windows-1251 byte.
    EXPECT_EQ(vp::Utf8ToCp1251("a\xC3\xA9" "b\xE4\xB8\xAD"), "a?b?");
    EXPECT_EQ(vp::Utf8ToCp1251("a\xC3\xA9" "b", '\0'), "ab");
    // Stray continuation, truncated sequence, overlong form, surrogate.
    EXPECT_EQ(vp::Utf8ToCp1251("\x80x"), "?x");
    EXPECT_EQ(vp::Utf8ToCp1251("x\xD1"), "x?");
    EXPECT_EQ(vp::Utf8ToCp1251("\xC0\xAF"), "??");
    EXPECT_EQ(vp::Utf8ToCp1251("\xED\xA0\x80"), "???");
    EXPECT_EQ(vp::Utf8ToCp1251("\xF4\x90\x80\x80"), "????");
    EXPECT_EQ(vp::Utf8ToCp1251(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(LowerTables, Cp1251Letters)
{
    EXPECT_EQ(vp::LowerCp1251(0xA8), 0xB8);
    EXPECT_EQ(vp::LowerCp1251(0xC0), 0xE0);
    EXPECT_EQ(vp::LowerCp1251(0xDF), 0xFF);
    EXPECT_EQ(vp::LowerCp1251(0x80), 0x90);
    EXPECT_EQ(vp::LowerCp1251(0xA5), 0xB4);
    EXPECT_EQ(vp::LowerCp1251('Q'), 'q');
    // Small letters and non-letters stay.
    EXPECT_EQ(vp::LowerCp1251(0xE0), 0xE0);
    EXPECT_EQ(vp::LowerCp1251(0xB9), 0xB9);
    EXPECT_EQ(vp::LowerCp1251('5'), '5');
    // Every capital maps to a byte that maps to itself.
    for (int c = 0; c < 256; ++c) {
        const unsigned char l = vp::LowerCp1251(static_cast<unsigned char>(c));
        EXPECT_EQ(vp::LowerCp1251(l), l) << c;
    }
}

TEST(LowerTables, LookupByLocaleName)
{
    const unsigned char* t = nullptr;
    EXPECT_TRUE(vp::LookupLowerTable("Russian", t));
    EXPECT_EQ(t[0xC0], 0xE0);
    EXPECT_TRUE(vp::LookupLowerTable("Russian_Russia.1251", t));
    EXPECT_EQ(t[0xA8], 0xB8);
    EXPECT_TRUE(vp::LookupLowerTable("ru_RU.CP1251", t));
    EXPECT_EQ(t[0xDF], 0xFF);

    EXPECT_TRUE(vp::LookupLowerTable("English", t));
    EXPECT_EQ(t[0xC9], 0xE9);
    EXPECT_EQ(t[0xD7], 0xD7);  // multiplication sign
    EXPECT_EQ(t[0xA8], 0xA8);
    EXPECT_TRUE(vp::LookupLowerTable("German_Germany.1252", t));
    EXPECT_EQ(t[0x8A], 0x9A);

    EXPECT_TRUE(vp::LookupLowerTable("C", t));
    EXPECT_EQ(t, vp::AsciiLowerTable());
    EXPECT_FALSE(vp::LookupLowerTable("", t));
    EXPECT_EQ(t, vp::AsciiLowerTable());
    EXPECT_FALSE(vp::LookupLowerTable("xx_unknown", t));
    ASSERT_EQ(t, vp::AsciiLowerTable());
    EXPECT_EQ(t[static_cast<unsigned char>('A')], 'a');
    EXPECT_EQ(t[0xC0], 0xC0);
}
