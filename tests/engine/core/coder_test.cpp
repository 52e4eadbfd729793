#include "engine/core/coder.h"

#include <gtest/gtest.h>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "support/temp_dir.h"

namespace {

using vek::cCoder;
using vek::string;

cCoder::bytes Bytes(const std::string& s)
{
    return cCoder::bytes(s.begin(), s.end());
}

std::string Text(const cCoder::bytes& b)
{
    return std::string(b.begin(), b.end());
}

std::string EncodedBase64(const std::string& s)
{
    cCoder::bytes b = Bytes(s);
    cCoder::EncodeBase64(b);
    return Text(b);
}

TEST(CoderBase64, EncodesTheRfcVectors)
{
    EXPECT_EQ(EncodedBase64(""), "");
    EXPECT_EQ(EncodedBase64("f"), "Zg==");
    EXPECT_EQ(EncodedBase64("fo"), "Zm8=");
    EXPECT_EQ(EncodedBase64("foo"), "Zm9v");
    EXPECT_EQ(EncodedBase64("foob"), "Zm9vYg==");
    EXPECT_EQ(EncodedBase64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(EncodedBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(EncodedBase64(std::string("\xff\xfe\x00", 3)), "//4A");
}

TEST(CoderBase64, BreaksLinesAfterEverySixtyFourCharacters)
{
    const std::string line(64, 'A');   // 48 zero bytes encode to 64 'A'
    EXPECT_EQ(EncodedBase64(std::string(48, '\0')), line + "\r\n");
    // A 16th group that is padded still completes the line.
    EXPECT_EQ(EncodedBase64(std::string(46, '\0')), std::string(62, 'A') + "==\r\n");
    EXPECT_EQ(EncodedBase64(std::string(49, '\0')), line + "\r\nAA==");
    EXPECT_EQ(EncodedBase64(std::string(96, '\0')), line + "\r\n" + line + "\r\n");
}

TEST(CoderBase64, DecodesSkippingLineBreaksAndFillCharacters)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Zm9vYmFy", "foobar"}, {"Zm9vYg==", "foob"}, {"Zm9vYg", "foob"},
        {"Zm9v\r\nYmFy", "foobar"}, {"Zm=9v", "foo"}, {"Zm8=", "fo"}, {"", ""},
    };
    for (const auto& c : cases) {
        cCoder::bytes b = Bytes(c.in);
        EXPECT_TRUE(cCoder::DecodeBase64(b)) << c.in;
        EXPECT_EQ(Text(b), c.out) << c.in;
    }
}

TEST(CoderBase64, RejectsACountOfCharactersBase64CannotProduce)
{
    for (const char* in : {"Z", "Zm9vY", "Zm9v\r\nY===", "!Z!"}) {
        cCoder::bytes b = Bytes(in);
        EXPECT_FALSE(cCoder::DecodeBase64(b)) << in;
        EXPECT_EQ(Text(b), in) << "left as it was";
    }
}

TEST(CoderBase64, RoundTripsEveryByteValueAcrossLines)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (size_t len : {size_t(0), size_t(1), size_t(2), size_t(47), size_t(48), size_t(100), size_t(256)}) {
        cCoder::bytes b = Bytes(all.substr(0, len));
        cCoder::EncodeBase64(b);
        ASSERT_TRUE(cCoder::DecodeBase64(b));
        EXPECT_EQ(Text(b), all.substr(0, len));
    }
}

TEST(CoderAlgorithms, AcceptsOnlyBase64AndXorWithAByteValue)
{
    for (const char* ok : {"base64", "xor(1)", "xor(51)", "xor(255)", "xor(007)", "xor(0005)",
                           "xor(00000000000000000000255)"})
        EXPECT_TRUE(cCoder::IsValidAlgorithm(ok)) << ok;
    // 4294967297 is 2^32 + 1: a count that wraps would take it for 1.
    for (const char* bad : {"", "Base64", "base64 ", "xor(0)", "xor(256)", "xor( 5)", "xor(+5)",
                            "xor(-5)", "XOR(5)", "xor(5", "xor5)", "(5)", "xor()", "xor(5)x",
                            "xor)5(", "xor(0000)", "xor(0256)", "xor(99999999999)",
                            "xor(4294967297)", "rot(13)"})
        EXPECT_FALSE(cCoder::IsValidAlgorithm(bad)) << bad;
}

TEST(CoderChain, LeadingZerosKeepTheListAndTheValue)
{
    cCoder padded("xor(0005) base64");
    ASSERT_EQ(padded.GetAlgorithms().size(), 2u);
    cCoder plain("xor(5) base64");
    string a = "garden", b = "garden";
    ASSERT_TRUE(padded.Encode(a));
    ASSERT_TRUE(plain.Encode(b));
    EXPECT_EQ(a, b);
    ASSERT_TRUE(padded.Decode(a));
    EXPECT_EQ(a, "garden");
}

TEST(CoderAlgorithms, ParsesNameAndArgument)
{
    string name = "old", arg = "old";
    EXPECT_TRUE(cCoder::ParseAlgorithm("xor(12)", name, arg));
    EXPECT_EQ(name, "xor");
    EXPECT_EQ(arg, "12");
    EXPECT_TRUE(cCoder::ParseAlgorithm("f()", name, arg));
    EXPECT_EQ(name, "f");
    EXPECT_EQ(arg, "");
    EXPECT_FALSE(cCoder::ParseAlgorithm("(1)", name, arg));
    EXPECT_TRUE(name.empty() && arg.empty()) << "cleared on failure";
    EXPECT_FALSE(cCoder::ParseAlgorithm("a)b(", name, arg));
    EXPECT_FALSE(cCoder::ParseAlgorithm("a(b)c", name, arg));
    EXPECT_FALSE(cCoder::ParseAlgorithm("abc", name, arg));
}

TEST(CoderChain, Base64ThenXorSevenAndBack)
{
    cCoder coder("base64 xor(7)");
    ASSERT_EQ(coder.GetAlgorithms().size(), 2u);
    string text = "foo";
    ASSERT_TRUE(coder.Encode(text));
    // "Zm9v" with every character XOR 7.
    EXPECT_EQ(text, "]j>q");
    ASSERT_TRUE(coder.Decode(text));
    EXPECT_EQ(text, "foo");
}

TEST(CoderChain, RunsForwardsToEncodeAndBackwardsToDecode)
{
    cCoder coder("xor(1) base64");
    string text = "a";   // 'a' ^ 1 = '`' (0x60) -> "YA=="
    ASSERT_TRUE(coder.Encode(text));
    EXPECT_EQ(text, "YA==");
    ASSERT_TRUE(coder.Decode(text));
    EXPECT_EQ(text, "a");

    // Extra blanks between entries are no entries.
    cCoder spaced("  base64   xor(3) ");
    EXPECT_EQ(spaced.GetAlgorithms().size(), 2u);

    // A long chain still inverts itself, text of every byte value included.
    cCoder chain("base64 xor(255) base64 xor(1)");
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    string coded = all;
    ASSERT_TRUE(chain.Encode(coded));
    ASSERT_TRUE(chain.Decode(coded));
    EXPECT_EQ(coded, all);

    string empty;
    EXPECT_TRUE(chain.Encode(empty));
    EXPECT_TRUE(chain.Decode(empty));
    EXPECT_EQ(empty, "");
}

TEST(CoderChain, EmptyOrInvalidSettingsFailAndChangeNothing)
{
    for (const char* settings : {"", "   ", "base64 xor(0)", "xor(7) XOR(7)", "base64 xor(256)"}) {
        cCoder coder(settings);
        EXPECT_TRUE(coder.GetAlgorithms().empty()) << settings;
        string text = "keep";
        EXPECT_FALSE(coder.Encode(text)) << settings;
        EXPECT_FALSE(coder.Decode(text)) << settings;
        EXPECT_EQ(text, "keep");
    }
}

TEST(CoderChain, UndecodableBase64FailsTheWholeDecoding)
{
    cCoder coder("base64 xor(7)");
    // After the xor step this is a single Base64 character: no decoding possible.
    string text = "]";
    EXPECT_FALSE(coder.Decode(text));
    EXPECT_EQ(text, "]");
}

TEST(CoderChain, WarnsOnceAboutMissingOrInvalidSettings)
{
    const std::string app = vektest::MakeTempDir("CoderLog");
    vek::SetPathMacro(vek::e_macroAppPath, app);
    {
        vek::cLog log(1024.0f, 768.0f);
        cCoder none("");
        cCoder bad("xor(1) xor(0) xor(256)");
        cCoder good("base64");
    }
    const std::string text = vektest::ReadFile(app + "/_log.html");
    EXPECT_NE(text.find("<span class='sender'>cCoder: </span><span class='warning'>"
                        "constructor: algorithms not assigned<br />"),
              std::string::npos)
        << text;
    const size_t invalid = text.find("constructor: algorithms are not valid<br />");
    ASSERT_NE(invalid, std::string::npos) << text;
    EXPECT_EQ(text.find("are not valid", invalid + 40), std::string::npos) << "one warning per coder";
}

} // namespace
