// Image buffers and the image file readers and writer, against good,
// truncated, oversized and corrupt files.
#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/log.h"
#include "support/image_files.h"
#include "support/peak_memory.h"
#include "support/temp_dir.h"
#include "support/zip_files.h"

VEKTEST_COUNT_ALLOCATIONS()

using vek::cDataManager;
using vek::cImage;
using vek::filename;

namespace {

constexpr size_t kMiB = size_t(1) << 20;

void PutBE32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

// One PNG chunk with its checksum.
std::string PngChunk(const std::string& type, const std::string& data)
{
    std::string out;
    PutBE32(out, static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    out += body;
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    PutBE32(out, static_cast<uint32_t>(crc));
    return out;
}

// The start of an 8-bit RGBA PNG of w x h whose image data holds only the
// first `rows` rows (none: a few bytes) and then ends with the file.
std::string PngCutAfterRows(uint32_t w, uint32_t h, uint32_t rows)
{
    std::string ihdr;
    PutBE32(ihdr, w);
    PutBE32(ihdr, h);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    const std::string raw(static_cast<size_t>(rows) * (1 + 4 * static_cast<size_t>(w)), '\0');
    z_stream z{};
    deflateInit(&z, 9);
    std::string idat(deflateBound(&z, raw.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = reinterpret_cast<Bytef*>(idat.data());
    z.avail_out = static_cast<uInt>(idat.size());
    deflate(&z, Z_SYNC_FLUSH);  // the stream goes on, but the file does not
    idat.resize(z.total_out);
    deflateEnd(&z);
    return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", ihdr) + PngChunk("IDAT", idat);
}

// A JPEG whose frame header claims w x h while its data is that of 16 x 16.
std::string JpegClaiming(uint16_t w, uint16_t h, bool progressive)
{
    std::string jpeg =
        vektest::MakeJPEG(16, 16, 3, vektest::Solid(16, 16, {90, 60, 30}), 95, progressive);
    const size_t sof = jpeg.find(progressive ? "\xFF\xC2" : "\xFF\xC0");
    if (sof == std::string::npos) return std::string();
    jpeg[sof + 5] = static_cast<char>(h >> 8), jpeg[sof + 6] = static_cast<char>(h & 0xFF);
    jpeg[sof + 7] = static_cast<char>(w >> 8), jpeg[sof + 8] = static_cast<char>(w & 0xFF);
    return jpeg;
}

TEST(ImageBuffer, SizesPitchesAndMipCounts)
{
    EXPECT_EQ(cImage::GetImageSize(7, 1, 1), 8);
    EXPECT_EQ(cImage::GetImageSize(9, 8, 8), 64);
    EXPECT_EQ(cImage::GetImageSize(7, 6, 6), 32) << "a partial block still takes a whole block";
    EXPECT_EQ(cImage::GetImageSize(4, 5, 3), 45);
    EXPECT_EQ(cImage::GetPitch(4, 5), 15);
    EXPECT_EQ(cImage::GetPitch(8, 2), 16);
    EXPECT_EQ(cImage::GetMipCount(256, 1), 9);
    EXPECT_EQ(cImage::GetMipCount(0, 0), 1);
    EXPECT_EQ(cImage::GetMipCount(1, 1), 1);
    EXPECT_EQ(vek::cPixelFormat::Get(12).id, 0);
    EXPECT_EQ(vek::cPixelFormat::Get(8).flags, 0x20003);
    EXPECT_TRUE(vek::cPixelFormat::Get(7).IsBlock());
    EXPECT_FALSE(vek::cPixelFormat::Get(6).IsBlock());
}

TEST(ImageBuffer, CreateClampsLevelsAndRefusesEmptyOrHugeSizes)
{
    cImage img;
    EXPECT_EQ(img.GetLevelCount(), 1);
    EXPECT_EQ(img.GetLevelSize(0), 0);
    img.Create(20, 256, 6, 64);
    EXPECT_EQ(img.GetLevelCount(), 9);
    EXPECT_EQ(img.GetLevelSize(0), 256 * 64 * 4);
    EXPECT_EQ(img.GetLevelSize(8), 4);  // 1 x 1
    img.Create(0, 3, 4, 2);
    EXPECT_EQ(img.GetLevelCount(), 1);
    img.Create(1, 0, 4, 2);
    EXPECT_EQ(img.GetLevelCount(), 0);
    img.Create(1, 20000, 4, 2);
    EXPECT_EQ(img.GetLevelCount(), 0);
    img.Create(1, 16384, 6, 16384);
    EXPECT_EQ(img.GetLevelCount(), 0) << "more pixels than any reader accepts";
}

TEST(ImageBuffer, CloneSwapAndConvertTouchEveryLevel)
{
    cImage img(4, 2, 2, 2);
    ASSERT_EQ(img.GetLevelCount(), 2);
    uint8_t* l0 = img.GetLevel(0);
    for (int i = 0; i < 12; ++i) l0[i] = static_cast<uint8_t>(i);
    uint8_t* l1 = img.GetLevel(1);
    l1[0] = 10, l1[1] = 20, l1[2] = 30;
    auto copy = img.Clone();
    img.SwapRB();
    EXPECT_EQ(img.GetLevel(0)[0], 2);
    EXPECT_EQ(img.GetLevel(0)[2], 0);
    EXPECT_EQ(img.GetLevel(1)[0], 30);
    img.ConvertToRGBA();
    EXPECT_EQ(img.GetFormatId(), 6);
    ASSERT_EQ(img.GetLevelSize(1), 4);
    EXPECT_EQ(img.GetLevel(1)[3], 255);
    EXPECT_EQ(img.GetLevel(0)[4], 5);
    EXPECT_EQ(img.GetLevel(0)[7], 255);
    // The clone kept its own bytes.
    EXPECT_EQ(copy->GetFormatId(), 4);
    EXPECT_EQ(copy->GetLevel(0)[0], 0);
    EXPECT_EQ(copy->GetLevel(1)[2], 30);
}

class ImageFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Image");
        ASSERT_FALSE(m_strRoot.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/App");
        vek::SetPathMacro(vek::e_macroUserPath, m_strRoot + "/User");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override { m_pLog.reset(); }

    filename Put(const std::string& name, const std::string& bytes)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strRoot + "/User/" + name, bytes));
        return filename("{UserPath}/" + name);
    }
    // Reads into a marked image; a failed read must leave the mark.
    int Read(const std::string& name, const std::string& bytes, cImage& img)
    {
        return cDataManager::ReadImage(Put(name, bytes), &img);
    }
    int Logged(const std::string& text) const
    {
        const std::string log = vektest::ReadFile(m_strRoot + "/App/_log.html");
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }
    static void Mark(cImage& img) { img.Create(1, 3, 1, 3); }
    static bool Marked(const cImage& img)
    {
        return img.GetFormatId() == 1 && img.GetWidth() == 3 && img.GetHeight() == 3;
    }

    std::string m_strRoot;
    std::unique_ptr<vek::cLog> m_pLog;
};

TEST_F(ImageFiles, DispatchByExtension)
{
    cImage img;
    EXPECT_EQ(cDataManager::ReadImage(filename("{UserPath}/x.gif"), &img), 3);
    EXPECT_EQ(Logged("x.gif"), 0) << "another extension is no fault worth a line";
    EXPECT_EQ(cDataManager::ReadImage(filename("{UserPath}/x.png"), nullptr), 4);
    EXPECT_EQ(cDataManager::ReadImage(filename("{UserPath}/missing.png"), &img), 2);
    EXPECT_EQ(cDataManager::ReadImage(filename("{UserPath}/missing.dds"), &img), 2);
}

TEST_F(ImageFiles, DdsLevelsFormatsAndBlockOrder)
{
    cImage img;
    // Cube maps are not supported.
    EXPECT_EQ(Read("cube.dds", vektest::MakeDDSHeader(4, 4, 0, "DXT1", 0, 0, 0x200) + std::string(8, 0), img), 5);
    // A mip count above the chain is cut to it; 0 means one level.
    std::string body;
    for (int w = 256, h = 128; w >= 1; w = std::max(1, w / 2), h = std::max(1, h / 2)) {
        body += std::string(static_cast<size_t>(cImage::GetImageSize(8, w, h)), '\x11');
        if (w == 1 && h == 1) break;
    }
    ASSERT_EQ(Read("mips.dds", vektest::MakeDDSHeader(256, 128, 12, "DXT3") + body, img), 0);
    EXPECT_EQ(img.GetFormatId(), 8);
    EXPECT_EQ(img.GetLevelCount(), 9);
    ASSERT_EQ(Read("one.dds", vektest::MakeDDSHeader(256, 128, 0, "DXT3") + body, img), 0);
    EXPECT_EQ(img.GetLevelCount(), 1);

    // DXT1 2 x 2: one block, its rows of indices reversed.
    const std::string block = {'\x01', '\x02', '\x03', '\x04', '\x0A', '\x0B', '\x0C', '\x0D'};
    ASSERT_EQ(Read("small.dds", vektest::MakeDDSHeader(2, 2, 1, "DXT1") + block, img), 0);
    ASSERT_EQ(img.GetLevelSize(0), 8);
    const uint8_t want1[8] = {1, 2, 3, 4, 0x0D, 0x0C, 0x0B, 0x0A};
    EXPECT_EQ(std::memcmp(img.GetLevel(0), want1, 8), 0);

    // DXT1 4 x 8: the file's first block row becomes the last.
    std::string two = block + std::string(8, '\x55');
    ASSERT_EQ(Read("rows.dds", vektest::MakeDDSHeader(4, 8, 1, "DXT1") + two, img), 0);
    EXPECT_EQ(img.GetLevel(0)[0], 0x55);
    EXPECT_EQ(img.GetLevel(0)[8], 1);

    // DXT3 and DXT5 turn their alpha rows over as well.
    std::string dxt3 = {'\x10', '\x11', '\x20', '\x21', '\x30', '\x31', '\x40', '\x41'};
    dxt3 += block;
    ASSERT_EQ(Read("a3.dds", vektest::MakeDDSHeader(4, 4, 1, "DXT3") + dxt3, img), 0);
    const uint8_t* p = img.GetLevel(0);
    EXPECT_EQ(p[0], 0x40);
    EXPECT_EQ(p[1], 0x41);
    EXPECT_EQ(p[6], 0x10);
    EXPECT_EQ(p[12], 0x0D);
    // DXT5 alpha indices: rows of 12 bits, 0x123 0x456 0x789 0xABC -> reversed.
    const uint64_t rows = 0x123ull | (0x456ull << 12) | (0x789ull << 24) | (0xABCull << 36);
    std::string dxt5 = {'\x7F', '\x01'};
    for (int i = 0; i < 6; ++i) dxt5 += static_cast<char>((rows >> (8 * i)) & 0xff);
    dxt5 += block;
    ASSERT_EQ(Read("a5.dds", vektest::MakeDDSHeader(4, 4, 1, "DXT5") + dxt5, img), 0);
    p = img.GetLevel(0);
    uint64_t got = 0;
    for (int i = 0; i < 6; ++i) got |= static_cast<uint64_t>(p[2 + i]) << (8 * i);
    EXPECT_EQ(got, 0xABCull | (0x789ull << 12) | (0x456ull << 24) | (0x123ull << 36));
    EXPECT_EQ(p[0], 0x7F);

    // Uncompressed: rows reversed, blue and red exchanged; 32 bits without a
    // full alpha mask is format 5; 16 bits without an alpha byte is refused.
    const std::string bgr = {'\x01', '\x02', '\x03', '\x04', '\x05', '\x06'};  // 1 x 2, top row first
    ASSERT_EQ(Read("rgb.dds", vektest::MakeDDSHeader(1, 2, 0, "", 24) + bgr, img), 0);
    EXPECT_EQ(img.GetFormatId(), 4);
    const uint8_t wantRgb[6] = {6, 5, 4, 3, 2, 1};
    EXPECT_EQ(std::memcmp(img.GetLevel(0), wantRgb, 6), 0);
    ASSERT_EQ(Read("x32.dds", vektest::MakeDDSHeader(1, 1, 0, "", 32, 0) + std::string(4, '\x01'), img), 0);
    EXPECT_EQ(img.GetFormatId(), 5);
    ASSERT_EQ(Read("a32.dds", vektest::MakeDDSHeader(1, 1, 0, "", 32, 0xFF000000u) + std::string(4, '\x01'), img), 0);
    EXPECT_EQ(img.GetFormatId(), 6);
    ASSERT_EQ(Read("l8.dds", vektest::MakeDDSHeader(1, 1, 0, "", 8) + "\x09", img), 0);
    EXPECT_EQ(img.GetFormatId(), 1);
    EXPECT_EQ(Read("565.dds", vektest::MakeDDSHeader(1, 1, 0, "", 16, 0) + "\x01\x02", img), 5);
}

TEST_F(ImageFiles, HostileDdsFilesLeaveTheTargetAlone)
{
    cImage img;
    Mark(img);
    const std::string dxt1 = vektest::MakeDDSHeader(64, 64, 0, "DXT1");
    EXPECT_EQ(Read("short.dds", dxt1 + std::string(100, 0), img), 3);  // needs 2048 bytes
    EXPECT_EQ(Read("head.dds", dxt1.substr(0, 60), img), 3);
    EXPECT_EQ(Read("magic.dds", "DDX " + dxt1.substr(4) + std::string(2048, 0), img), 3);
    EXPECT_EQ(Read("huge.dds", vektest::MakeDDSHeader(20000, 4, 0, "DXT1") + std::string(64, 0), img), 3);
    EXPECT_EQ(Read("zero.dds", vektest::MakeDDSHeader(0, 4, 0, "DXT1") + std::string(64, 0), img), 3);
    EXPECT_EQ(Read("neg.dds", vektest::MakeDDSHeader(-4, 4, 0, "DXT1") + std::string(64, 0), img), 3);
    EXPECT_EQ(Read("empty.dds", "", img), 3);
    // Every mip level must be there, not only the first.
    EXPECT_EQ(Read("mipcut.dds", vektest::MakeDDSHeader(8, 8, 4, "DXT1") + std::string(40, 0), img), 3);
    EXPECT_TRUE(Marked(img));
    EXPECT_GE(Logged("Truncated DDS file"), 2);
    EXPECT_GE(Logged("Invalid DDS"), 3);
}

TEST_F(ImageFiles, BmpRowsPaddingOffsetAndOrientation)
{
    cImage img;
    // 3 x 2, 24 bits: 9 bytes of pixels and 3 of padding per row.
    std::vector<uint8_t> px = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    const std::string bmp = vektest::MakeBMP(3, 2, 24, px);
    ASSERT_EQ(bmp.size(), 54u + 24u);
    ASSERT_EQ(Read("a.bmp", bmp, img), 0);
    EXPECT_EQ(img.GetFormatId(), 4);
    // The buffer is bottom-up: the picture's bottom row (10..18) comes first.
    EXPECT_EQ(img.GetLevel(0)[0], 10);
    EXPECT_EQ(img.GetLevel(0)[9], 1);
    EXPECT_EQ(img.GetLevel(0)[17], 9);
    // A top-down file and a file with a gap before the pixels read the same.
    ASSERT_EQ(Read("b.bmp", vektest::MakeBMP(3, 2, 24, px, true, 7), img), 0);
    EXPECT_EQ(img.GetLevel(0)[0], 10);
    EXPECT_EQ(img.GetLevel(0)[9], 1);
    // 32 bits keeps the fourth byte as alpha.
    ASSERT_EQ(Read("c.bmp", vektest::MakeBMP(1, 1, 32, {1, 2, 3, 4}), img), 0);
    EXPECT_EQ(img.GetFormatId(), 6);
    const uint8_t want[4] = {1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(img.GetLevel(0), want, 4), 0);
    // The last row's padding may be missing.
    ASSERT_EQ(Read("d.bmp", bmp.substr(0, bmp.size() - 3), img), 0);
}

TEST_F(ImageFiles, HostileBmpFilesLeaveTheTargetAlone)
{
    cImage img;
    Mark(img);
    std::string bmp = vektest::MakeBMP(4, 4, 24, vektest::Solid(4, 4, {1, 2, 3}));
    auto with = [&](size_t at, uint32_t value, int bytes) {
        std::string s = bmp;
        for (int i = 0; i < bytes; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
        return s;
    };
    EXPECT_EQ(Read("8bit.bmp", with(28, 8, 2), img), 3);
    EXPECT_EQ(Read("16bit.bmp", with(28, 16, 2), img), 3);
    EXPECT_EQ(Read("rle.bmp", with(30, 1, 4), img), 3);
    EXPECT_EQ(Read("planes.bmp", with(26, 2, 2), img), 3);
    EXPECT_EQ(Read("type.bmp", with(0, 0x4D43, 2), img), 3);
    EXPECT_EQ(Read("short.bmp", bmp.substr(0, 54 + 20), img), 3);
    EXPECT_EQ(Read("head.bmp", bmp.substr(0, 30), img), 3);
    EXPECT_EQ(Read("wide.bmp", with(18, 100000, 4), img), 3);
    EXPECT_EQ(Read("zero.bmp", with(18, 0, 4), img), 3);
    EXPECT_EQ(Read("minh.bmp", with(22, 0x80000000u, 4), img), 3);
    EXPECT_EQ(Read("offset.bmp", with(10, 20, 4), img), 3) << "pixels inside the headers";
    EXPECT_EQ(Read("far.bmp", with(10, 0x7FFFFFFF, 4), img), 3) << "pixels beyond the end";
    EXPECT_TRUE(Marked(img));
    EXPECT_GE(Logged("Unsupported BMP format"), 4);
    EXPECT_GE(Logged("Truncated BMP file"), 2);
}

TEST_F(ImageFiles, PngFormatsAndTransformations)
{
    cImage img;
    ASSERT_EQ(Read("grey.png", vektest::MakePNG(2, 1, PNG_COLOR_TYPE_GRAY, 8, {10, 200}), img), 0);
    EXPECT_EQ(img.GetFormatId(), 1);
    // Grey below 8 bits is widened.
    ASSERT_EQ(Read("grey1.png", vektest::MakePNG(8, 1, PNG_COLOR_TYPE_GRAY, 1, {0xAA}), img), 0);
    EXPECT_EQ(img.GetFormatId(), 1);
    EXPECT_EQ(img.GetWidth(), 8);
    EXPECT_EQ(img.GetLevel(0)[0], 255);
    EXPECT_EQ(img.GetLevel(0)[1], 0);
    // A palette with transparency becomes RGBA.
    ASSERT_EQ(Read("pal.png",
                   vektest::MakePNG(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {255, 0, 0, 0, 0, 255}, {0, 255}),
                   img),
              0);
    EXPECT_EQ(img.GetFormatId(), 6);
    const uint8_t wantPal[8] = {255, 0, 0, 0, 0, 0, 255, 255};
    EXPECT_EQ(std::memcmp(img.GetLevel(0), wantPal, 8), 0);
    // 16-bit samples are cut to 8.
    ASSERT_EQ(Read("deep.png", vektest::MakePNG(1, 1, PNG_COLOR_TYPE_RGB, 16, {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}), img), 0);
    EXPECT_EQ(img.GetFormatId(), 4);
    EXPECT_EQ(img.GetLevelSize(0), 3);
    EXPECT_EQ(img.GetLevel(0)[0], 255);
    EXPECT_NEAR(img.GetLevel(0)[1], 128, 1);
    ASSERT_EQ(Read("ga.png", vektest::MakePNG(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {7, 9}), img), 0);
    EXPECT_EQ(img.GetFormatId(), 2);
    // Interlaced files read like any other, bottom row first.
    std::vector<uint8_t> px;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) px.insert(px.end(), {static_cast<uint8_t>(y * 20), 0, 0, 255});
    ASSERT_EQ(Read("lace.png", vektest::MakePNG(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, 8, px, {}, {}, true), img), 0);
    EXPECT_EQ(img.GetFormatId(), 6);
    EXPECT_EQ(img.GetLevel(0)[0], 160);
    EXPECT_EQ(img.GetLevel(0)[8 * 9 * 4], 0);
}

TEST_F(ImageFiles, HostilePngFilesLeaveTheTargetAlone)
{
    cImage img;
    Mark(img);
    const std::string good = vektest::MakePNG(16, 16, PNG_COLOR_TYPE_RGB, 8, vektest::Solid(16, 16, {1, 2, 3}));
    ASSERT_FALSE(good.empty());
    EXPECT_EQ(Read("sig.png", "\x89PNX" + good.substr(4), img), 3);
    EXPECT_GE(Logged("Invalid PNG format: Unknown signature in file"), 1);
    EXPECT_EQ(Read("short.png", good.substr(0, good.size() / 2), img), 4);
    EXPECT_EQ(Read("sigonly.png", good.substr(0, 8), img), 4);
    std::string bad = good;
    bad[good.size() / 2] ^= 0x5A;  // breaks the image data's checksum
    EXPECT_EQ(Read("crc.png", bad, img), 4);
    // A header claiming a huge picture is refused before anything is decoded.
    std::string huge = vektest::MakePNG(1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3});
    huge[16] = 0x00, huge[17] = 0x00, huge[18] = 0x50, huge[19] = 0x00;  // width 20480
    EXPECT_EQ(Read("huge.png", huge, img), 4) << "bad checksum of the header";
    EXPECT_TRUE(Marked(img));
    EXPECT_GE(Logged("Internal error in PNG file"), 4);
}

TEST_F(ImageFiles, PngWriterRoundTripsAndNeverLeavesPartialFiles)
{
    for (int format : {1, 2, 4, 6}) {
        cImage src(format, 5, 3, 1);
        uint8_t* p = src.GetLevel(0);
        for (int i = 0; i < src.GetLevelSize(0); ++i) p[i] = static_cast<uint8_t>(i * 11);
        const filename out("{UserPath}/shots/w" + std::to_string(format) + ".png");
        vektest::WriteFile(m_strRoot + "/User/shots/keep", "");
        ASSERT_EQ(cDataManager::WritePNG(&src, out), 0) << format;
        cImage back;
        ASSERT_EQ(cDataManager::ReadPNG(&back, out), 0) << format;
        EXPECT_EQ(back.GetFormatId(), format);
        ASSERT_EQ(back.GetLevelSize(0), src.GetLevelSize(0));
        EXPECT_EQ(std::memcmp(back.GetLevel(0), src.GetLevel(0), static_cast<size_t>(src.GetLevelSize(0))), 0);
    }
    // The picture's top is the file's first row.
    cImage two(1, 1, 2, 1);
    two.GetLevel(0)[0] = 10;  // bottom
    two.GetLevel(0)[1] = 99;  // top
    ASSERT_EQ(cDataManager::WritePNG(&two, filename("{UserPath}/shots/two.png")), 0);
    const std::string file = vektest::ReadFile(m_strRoot + "/User/shots/two.png");
    EXPECT_EQ(file.substr(0, 8), "\x89PNG\r\n\x1a\n");

    cImage dxt(9, 4, 4, 1);
    EXPECT_EQ(cDataManager::WritePNG(&dxt, filename("{UserPath}/shots/dxt.png")), 3);
    EXPECT_TRUE(vektest::ReadFile(m_strRoot + "/User/shots/dxt.png").empty());
    cImage empty(6, 0, 0, 1);
    EXPECT_EQ(cDataManager::WritePNG(&empty, filename("{UserPath}/shots/e.png")), 3);
    EXPECT_EQ(cDataManager::WritePNG(nullptr, filename("{UserPath}/shots/n.png")), 3);
    cImage rgb(4, 2, 2, 1);
    EXPECT_EQ(cDataManager::WritePNG(&rgb, filename("{UserPath}/no/such/folder/x.png")), 5);
}

TEST_F(ImageFiles, JpegReadsGreyAndColourBottomUp)
{
    cImage img;
    // Top half white, bottom half black.
    std::vector<uint8_t> grey(16 * 16, 0);
    std::fill(grey.begin(), grey.begin() + 16 * 8, 255);
    ASSERT_EQ(Read("g.jpg", vektest::MakeJPEG(16, 16, 1, grey), img), 0);
    EXPECT_EQ(img.GetFormatId(), 1);
    EXPECT_EQ(img.GetWidth(), 16);
    EXPECT_LT(img.GetLevel(0)[0], 20);
    EXPECT_GT(img.GetLevel(0)[15 * 16], 235);
    ASSERT_EQ(Read("c.jpg", vektest::MakeJPEG(8, 8, 3, vektest::Solid(8, 8, {250, 10, 10})), img), 0);
    EXPECT_EQ(img.GetFormatId(), 4);
    EXPECT_NEAR(img.GetLevel(0)[0], 250, 8);
    EXPECT_NEAR(img.GetLevel(0)[1], 10, 8);
    // A file cut inside the picture still yields a picture (the end is supplied).
    std::vector<uint8_t> noise(64 * 64 * 3);
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<uint8_t>((i * 7919) >> 3);
    const std::string big = vektest::MakeJPEG(64, 64, 3, noise);
    ASSERT_EQ(Read("cut.jpg", big.substr(0, big.size() * 4 / 5), img), 0);
    EXPECT_EQ(img.GetWidth(), 64);
}

TEST_F(ImageFiles, HostileJpegFilesLeaveTheTargetAlone)
{
    cImage img;
    Mark(img);
    const std::string good = vektest::MakeJPEG(16, 16, 3, vektest::Solid(16, 16, {1, 2, 3}));
    EXPECT_EQ(Read("empty.jpg", "", img), 4);
    EXPECT_EQ(Read("junk.jpg", std::string(500, '\x42'), img), 4);
    EXPECT_EQ(Read("head.jpg", good.substr(0, 20), img), 4);
    // A frame header claiming 60000 x 60000.
    std::string huge = good;
    size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge[sof + 5] = '\xEA', huge[sof + 6] = '\x60', huge[sof + 7] = '\xEA', huge[sof + 8] = '\x60';
    EXPECT_EQ(Read("huge.jpg", huge, img), 3);
    EXPECT_TRUE(Marked(img));
    EXPECT_GE(Logged("Internal error in JPEG file"), 3);
    EXPECT_EQ(Logged("Invalid JPEG size"), 1);
}

TEST_F(ImageFiles, PicturesCostWhatTheFileHolds)
{
    cImage img;
    Mark(img);
    int result = -1;
    auto peakOf = [&](const std::string& name, const std::string& bytes) {
        const filename file = Put(name, bytes);
        return vektest::PeakMemoryOf([&] { result = cDataManager::ReadImage(file, &img); });
    };
    // 16384 x 4096 pixels promised, a few bytes (or rows) delivered.
    EXPECT_LT(peakOf("empty.png", PngCutAfterRows(16384, 4096, 0)), kMiB);
    EXPECT_EQ(result, 4);
    EXPECT_LT(peakOf("rows.png", PngCutAfterRows(16384, 4096, 16)), 4 * kMiB);
    EXPECT_EQ(result, 4);
    EXPECT_LT(peakOf("rows.jpg", JpegClaiming(16384, 4096, false)), 8 * kMiB);
    EXPECT_EQ(result, 4);
    EXPECT_EQ(Logged("JPEG: data ended early"), 1);
    EXPECT_LT(peakOf("steps.jpg", JpegClaiming(16384, 4096, true)), 8 * kMiB);
    EXPECT_EQ(result, 4);
    EXPECT_TRUE(Marked(img));

    // Archive entries that declare far more than they hold, so that the
    // pixels promised seem to be there.
    const std::string fill = vektest::Noise(64 * 1024);
    const std::string bmp = vektest::MakeBMP(1, 1, 32, {1, 2, 3, 4});
    std::string bigBmp = bmp.substr(0, 54) + fill;
    bigBmp[18] = 0x00, bigBmp[19] = 0x40;  // width 16384
    bigBmp[22] = static_cast<char>(900 & 0xFF), bigBmp[23] = static_cast<char>(900 >> 8);
    const std::string dds = vektest::MakeDDSHeader(4096, 3584, 1, "", 32, 0xFF000000u) + fill;
    Put("lies.zip",
        vektest::MakeZip({{"big.bmp", bigBmp, true, 60 * kMiB}, {"big.dds", dds, true, 60 * kMiB}}));
    for (const char* name : {"big.bmp", "big.dds"}) {
        const filename entry(std::string("{UserPath}/lies.zip/") + name);
        EXPECT_LT(vektest::PeakMemoryOf([&] { result = cDataManager::ReadImage(entry, &img); }), kMiB)
            << name;
        EXPECT_EQ(result, 3) << name;
    }
    EXPECT_EQ(Logged("Truncated BMP file"), 1);
    EXPECT_EQ(Logged("Truncated DDS file"), 1);

    // Image files above the whole-file limit are not read at all.
    const std::string path = m_strRoot + "/User/huge.bmp";
    ASSERT_TRUE(vektest::WriteFile(path, bmp));
    std::filesystem::resize_file(path, cDataManager::kMaxWholeFile + 1);
    const filename huge("{UserPath}/huge.bmp");
    EXPECT_LT(vektest::PeakMemoryOf([&] { result = cDataManager::ReadImage(huge, &img); }), kMiB);
    EXPECT_EQ(result, 3);
    EXPECT_EQ(Logged("huge.bmp is too large to read whole"), 1);
    EXPECT_TRUE(Marked(img));
}

}  // namespace
