#include "engine/core/format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using vek::format_arg;

namespace {

std::string F(const char* fmt, const format_arg& a1 = vek::g_EmptyArg,
              const format_arg& a2 = vek::g_EmptyArg, const format_arg& a3 = vek::g_EmptyArg)
{
    std::string s;
    vek::Format(s, fmt, a1, a2, a3);
    return s;
}

} // namespace

TEST(FormatArg, TypesFollowTheValue)
{
    EXPECT_EQ(format_arg('a').Type(), format_arg::e_argChar);
    EXPECT_EQ(format_arg(5).Type(), format_arg::e_argInt);
    EXPECT_EQ(format_arg(5u).Type(), format_arg::e_argInt);
    EXPECT_EQ(format_arg(2.5f).Type(), format_arg::e_argDouble);
    EXPECT_EQ(format_arg("x").Type(), format_arg::e_argString);
    EXPECT_EQ(format_arg(static_cast<const char*>(nullptr)).Type(), format_arg::e_argNone);
    const vek::string vs("abc");
    EXPECT_EQ(format_arg(vs).Type(), format_arg::e_argString);
    EXPECT_EQ(vek::g_EmptyArg.Type(), format_arg::e_argNone);
}

TEST(Format, IntegerDirectives)
{
    EXPECT_EQ(F("%5d", 42), "   42");
    EXPECT_EQ(F("%-5d|", 42), "42   |");
    EXPECT_EQ(F("%05d", -42), "-0042");
    EXPECT_EQ(F("%x", 255), "ff");
    EXPECT_EQ(F("%#X", 255), "0XFF");
    EXPECT_EQ(F("%#x", 255), "0xff");
    EXPECT_EQ(F("%#o", 8), "010");
    EXPECT_EQ(F("%#d", 5), "5");
    EXPECT_EQ(F("%5.3d", 7), "  7");   // a later number replaces the width
    EXPECT_EQ(F("%2d", 12345), "12345");  // never cut
    EXPECT_EQ(F("%i:0%i", 3, 7), "3:07");
    EXPECT_EQ(F("%d", INT_MIN), "-2147483648");
    EXPECT_EQ(F("%u", -1), "4294967295");
    EXPECT_EQ(F("%x", -1), "ffffffff");
    EXPECT_EQ(F("%#08x", 255), "0x0000ff");
}

TEST(Format, WideIntegersAndPointersKeepAllTheirBits)
{
    const uint64_t address = 0x7f1234567890ULL;
    EXPECT_EQ(F("0x%X", address), "0x7F1234567890");
    EXPECT_EQ(F("%x", static_cast<int64_t>(address)), "7f1234567890");
    EXPECT_EQ(F("%#x", reinterpret_cast<const void*>(static_cast<uintptr_t>(address))), "0x7f1234567890");
    EXPECT_EQ(F("%d|%u", address, address), "139716164221072|139716164221072");
    EXPECT_EQ(F("%P", address), "139716164221072");  // the letter picks no base
    EXPECT_EQ(F("%018X", address), "0000007F1234567890");
    EXPECT_EQ(F("%o", 1ULL << 40), "20000000000000");
    EXPECT_EQ(F("%d", static_cast<int64_t>(-5000000000LL)), "-5000000000");
    EXPECT_EQ(F("%d", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(F("%u", std::numeric_limits<uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(F("%d", std::numeric_limits<uint64_t>::max()), "18446744073709551615")
        << "an unsigned 64-bit value has no sign";
    EXPECT_EQ(F("%x", static_cast<int64_t>(-1)), "ffffffffffffffff");
    EXPECT_EQ(F("%d", static_cast<size_t>(3000000000u)), "3000000000");
    EXPECT_EQ(F("%x", static_cast<const void*>(nullptr)), "0");
    EXPECT_EQ(format_arg(static_cast<const void*>(&address)).Type(), format_arg::e_argInt);

    // 32-bit values print as they always did, and so do small wide ones.
    EXPECT_EQ(F("%d|%u|%x", 4294967295u, 4294967295u, 4294967295u), "-1|4294967295|ffffffff");
    EXPECT_EQ(F("%d|%u|%X", INT_MIN, INT_MIN, INT_MIN), "-2147483648|2147483648|80000000");
    EXPECT_EQ(F("%5d|%-4x|%#o", 42L, 255UL, 8LL), "   42|ff  |010");
    EXPECT_EQ(F("%05d", -42L), "-0042");
}

TEST(Format, TheArgumentTypePicksThePrinter)
{
    EXPECT_EQ(F("%d", 2.5), "2.500000");
    EXPECT_EQ(F("%s", 7), "7");
    EXPECT_EQ(F("%c", 65), "65");
    EXPECT_EQ(F("%d", 'A'), "A");
    EXPECT_EQ(F("%3c|%-3c|", 'a', 'b'), "  a|b  |");
    EXPECT_EQ(F("[%6s][%-6s]", "ab", "cd"), "[    ab][cd    ]");
    EXPECT_EQ(F("%.2s", "abcdef"), "abcdef");  // no precision for strings
    const vek::string name("cGame");
    EXPECT_EQ(F("%s: %s", name, std::string("ok")), "cGame: ok");
}

TEST(Format, FixedStyleTruncatesDigits)
{
    EXPECT_EQ(F("%.1f", 2.96), "2.9");
    EXPECT_EQ(F("%.2f", 2.999), "2.99");
    EXPECT_EQ(F("%8.1f", -3.14159), "    -3.1");
    EXPECT_EQ(F("%-8.1f|", -3.14159), "-3.1    |");
    EXPECT_EQ(F("%08.1f", -3.5), "-00003.5");
    EXPECT_EQ(F("%.3f", 0.0), "0.000");
    EXPECT_EQ(F("%.3f", -0.0), "0.000");
    EXPECT_EQ(F("%.0f", 1.5), "1.500000");  // its 0 is the zero flag
    EXPECT_EQ(F("%f", 1.0), "1.000000");
    EXPECT_EQ(F("%.10f", 1.0), "1.0000000000");
}

TEST(Format, ExponentStyle)
{
    EXPECT_EQ(F("%e", 12345.678), "1.234568e+004");
    EXPECT_EQ(F("%E", 0.05), "0.500000E-001");
    const std::string big = F("%e", 1e150);
    ASSERT_GE(big.size(), 5u);
    EXPECT_EQ(big.substr(big.size() - 5), "e+150");
    EXPECT_EQ(F("%e", 0.0), "0.000000e+000");
    EXPECT_EQ(F("%E", -2.0), "-2.000000E+000");
    // Values at the ends of the double range keep a sane mantissa.
    EXPECT_EQ(F("%.2e", std::numeric_limits<double>::denorm_min()), "0.49e-323");
    EXPECT_EQ(F("%.2e", std::numeric_limits<double>::max()), "1.80e+308");
}

TEST(Format, SpecialDoubles)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(F("%f", inf), "+INF");
    EXPECT_EQ(F("%f", -inf), "-INF");
    EXPECT_EQ(F("%e", -inf), "-INF");
    EXPECT_EQ(F("%f", std::nan("")), "NaN");
    // Beyond a 64-bit integer part the fixed style falls back to exponents.
    EXPECT_EQ(F("%.1f", 1e20), "1.0e+020");
}

TEST(Format, PercentAndUnknownDirectives)
{
    EXPECT_EQ(F("100%%"), "100%");
    EXPECT_EQ(F("%y"), "%y");
    EXPECT_EQ(F("%5%"), "%");
    EXPECT_EQ(F("%-5y!"), "%-5y!");
    EXPECT_EQ(F("a%"), "a%");       // a lone '%' at the end stays
    EXPECT_EQ(F("a%12"), "a%12");
    EXPECT_EQ(F("%y%d", 4), "%y4");  // an unknown directive takes no argument
}

TEST(Format, ArgumentSlots)
{
    EXPECT_EQ(F("[%d][%d][%s]", 1), "[1][][]");
    std::string s;
    vek::AppendFormat(s, "%d%d%d%d%d%d%d%d%d%d%d%d", 1, 2, 3, 4, 5, 6, 7);
    EXPECT_EQ(s, "1234567");
    s = "x=";
    vek::AppendFormat(s, "%d", 3);
    EXPECT_EQ(s, "x=3");
    vek::Format(s, std::string("%s-%s"), "a", "b");
    EXPECT_EQ(s, "a-b");
    vek::Format(s, "%d", 9);
    EXPECT_EQ(s, "9");
    EXPECT_EQ(vek::Formatted("%s", "z"), "z");
}

TEST(Format, HostileDirectivesStayBounded)
{
    EXPECT_EQ(F("%999999d", 1).size(), 255u);
    EXPECT_EQ(F("%-999999d|", 1).size(), 256u);
    const std::string longFraction = F("%.500f", 1.0);
    EXPECT_EQ(longFraction.size(), 2u + 255u);
    // A directive text past 30 characters is not a directive at all.
    const std::string longDirective = "%1234567890123456789012345678901d";
    EXPECT_EQ(F(longDirective.c_str(), 5), longDirective);
    EXPECT_EQ(F("%s", static_cast<const char*>(nullptr)), "");
    std::string s;
    vek::AppendFormat(s, nullptr);
    EXPECT_EQ(s, "");
    EXPECT_EQ(F("\xE9%\xFF%d", 1), "\xE9%\xFF" "1");
}

TEST(StringUtil, SplitAndSplitPair)
{
    EXPECT_EQ(vek::Split("a,,b,", ","), (vek::strlist{"a", "b"}));
    EXPECT_EQ(vek::Split("a::b::::c", "::"), (vek::strlist{"a", "b", "c"}));
    EXPECT_TRUE(vek::Split("", ",").empty());
    EXPECT_TRUE(vek::Split(",,,", ",").empty());
    EXPECT_EQ(vek::Split("abc", ""), (vek::strlist{"abc"}));

    auto p = vek::SplitPair("key:value:x", ":");
    EXPECT_EQ(p.first, "key");
    EXPECT_EQ(p.second, "value:x");
    p = vek::SplitPair("novalue", ":");
    EXPECT_EQ(p.first, "novalue");
    EXPECT_EQ(p.second, "");
    p = vek::SplitPair("a=>b", "=>");
    EXPECT_EQ(p.second, "b");
}

TEST(StringUtil, TrimAndCollapse)
{
    std::string s = " \t\r\n abc \n\t";
    vek::TrimLeft(s);
    EXPECT_EQ(s, "abc \n\t");
    vek::TrimRight(s);
    EXPECT_EQ(s, "abc");
    s = " \t \n";
    vek::TrimRight(s);
    EXPECT_EQ(s, "");
    s = "\xA0x\xA0";  // high bytes are not white space and must not upset isspace
    vek::TrimLeft(s);
    vek::TrimRight(s);
    EXPECT_EQ(s, "\xA0x\xA0");

    s = "  a   b  ";
    vek::CollapseSpaces(s);
    EXPECT_EQ(s, "a b");
    s = "a\t\tb";
    vek::CollapseSpaces(s);
    EXPECT_EQ(s, "a\t\tb");  // only blanks collapse
    s = " ";
    vek::CollapseSpaces(s);
    EXPECT_EQ(s, "");
}

TEST(StringUtil, Numbers)
{
    EXPECT_FLOAT_EQ(vek::StringToFloat(" -1.25x"), -1.25f);
    EXPECT_FLOAT_EQ(vek::StringToFloat("+3"), 0.0f);
    EXPECT_FLOAT_EQ(vek::StringToFloat("1e5"), 1.0f);
    EXPECT_FLOAT_EQ(vek::StringToFloat("\t\n2.5"), 2.5f);
    EXPECT_FLOAT_EQ(vek::StringToFloat(".5"), 0.5f);
    EXPECT_FLOAT_EQ(vek::StringToFloat("-.5"), -0.5f);
    EXPECT_FLOAT_EQ(vek::StringToFloat("abc"), 0.0f);

    EXPECT_EQ(vek::StringToInt("  42abc"), 42);
    EXPECT_EQ(vek::StringToInt("-17"), -17);
    EXPECT_EQ(vek::StringToInt("x"), 0);
    EXPECT_EQ(vek::StringToInt("99999999999"), INT32_MAX);
    EXPECT_EQ(vek::StringToInt("-99999999999"), INT32_MIN);

    EXPECT_TRUE(vek::IsNumber(""));
    EXPECT_TRUE(vek::IsNumber("0123"));
    EXPECT_FALSE(vek::IsNumber("12a"));
    EXPECT_FALSE(vek::IsNumber("-1"));
}

TEST(StringUtil, LowerCasing)
{
    std::string s = "ABC \xC0\xDF\xA8 xyz";
    vek::LowerWithLocale(s, "");
    EXPECT_EQ(s, "abc \xC0\xDF\xA8 xyz");  // ASCII only without a locale
    vek::LowerWithLocale(s, "Russian");
    EXPECT_EQ(s, "abc \xE0\xFF\xB8 xyz");

    s = "A\xC0";
    vek::LowerWithLocale(s, "Klingon_Qo'noS.9999");  // unknown: ASCII, no exception
    EXPECT_EQ(s, "a\xC0");

    // Without an engine object, ToLower works as in the C locale.
    vek::string v("MiXeD \xC9");
    v.ToLower();
    EXPECT_EQ(v, "mixed \xC9");
    EXPECT_EQ(vek::string("start_level12").Left(), "start_level");
}
