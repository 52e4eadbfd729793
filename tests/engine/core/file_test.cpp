#include "engine/core/file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "engine/core/log.h"
#include "support/temp_dir.h"

namespace {

using vek::cFile;
using vek::filename;

// A small ZIP writer whose directory can be made to lie.
struct ZipEntry {
    std::string name;
    std::string data;
    bool deflate = false;
    // Overrides of what the central directory declares (-1: the truth).
    int64_t declaredSize = -1;
    int64_t declaredCompressed = -1;
    uint16_t flags = 0;
};

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& in)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, in.size()) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string MakeZip(const std::vector<ZipEntry>& entries)
{
    std::string file;
    std::string central;
    for (const ZipEntry& e : entries) {
        const std::string body = e.deflate ? RawDeflate(e.data) : e.data;
        const uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const uint32_t usize = e.declaredSize >= 0 ? static_cast<uint32_t>(e.declaredSize)
                                                   : static_cast<uint32_t>(e.data.size());
        const uint32_t csize = e.declaredCompressed >= 0 ? static_cast<uint32_t>(e.declaredCompressed)
                                                         : static_cast<uint32_t>(body.size());
        const uint32_t offset = static_cast<uint32_t>(file.size());
        auto common = [&](std::string& out) {
            Put16(out, 20);
            Put16(out, e.flags);
            Put16(out, e.deflate ? 8 : 0);
            Put16(out, 0);
            Put16(out, 0x21);
            Put32(out, crc);
            Put32(out, csize);
            Put32(out, usize);
            Put16(out, static_cast<uint32_t>(e.name.size()));
            Put16(out, 0);
        };
        Put32(file, 0x04034b50);
        common(file);
        file += e.name;
        file += body;

        Put32(central, 0x02014b50);
        Put16(central, 20);
        common(central);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, 0);
        Put32(central, offset);
        central += e.name;
    }
    const uint32_t cdOffset = static_cast<uint32_t>(file.size());
    file += central;
    Put32(file, 0x06054b50);
    Put16(file, 0);
    Put16(file, 0);
    Put16(file, static_cast<uint32_t>(entries.size()));
    Put16(file, static_cast<uint32_t>(entries.size()));
    Put32(file, static_cast<uint32_t>(central.size()));
    Put32(file, cdOffset);
    Put16(file, 0);
    return file;
}

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string root = vektest::MakeTempDir("File");
        m_strData = root + "/Data";
        vek::SetPathMacro(vek::e_macroStaticPath, m_strData);
        vek::SetPathMacro(vek::e_macroAppPath, root + "/App");
        m_pLog = new vek::cLog(1024.0f, 768.0f);
        ASSERT_TRUE(vektest::WriteFile(m_strData + "/ten.bin", "0123456789"));
        ASSERT_TRUE(vektest::WriteFile(
            m_strData + "/pack.zip",
            MakeZip({{"A.TXT", "0123456789"},
                     {"gui\\main.lua", std::string(3000, 'x') + "end", true},
                     {"gfx/Back.png", "png!"}})));
    }
    void TearDown() override
    {
        delete m_pLog;
        vek::SetPathMacro(vek::e_macroStaticPath, "data");
    }
    // The HTML log so far.
    std::string Log() const { return vektest::ReadFile(m_strApp() + "/_log.html"); }
    std::string m_strApp() const { return vek::GetPathMacro(vek::e_macroAppPath); }
    static std::string ReadAll(cFile& f)
    {
        std::string out(f.GetSize() + 8, '\0');
        out.resize(f.Read(out.data(), 1, out.size()));
        return out;
    }

    std::string m_strData;
    vek::cLog* m_pLog = nullptr;
};

TEST_F(FileTest, OpenCodesOnDisk)
{
    cFile f;
    EXPECT_EQ(f.Open(filename(), "rb"), 1);
    EXPECT_EQ(Log().find("File: "), std::string::npos);  // no warning for an empty name

    EXPECT_EQ(f.Open("{StaticPath}/missing.txt", "rb"), 1);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_NE(Log().find("missing.txt not found on disk"), std::string::npos);
    EXPECT_EQ(f.Open("{StaticPath}/ten.bin", "x"), 3);
    EXPECT_FALSE(f.IsOpen());

    ASSERT_EQ(f.Open("{StaticPath}/Ten.BIN", "rb"), 0);
    EXPECT_EQ(f.Open("{StaticPath}/pack.zip/a.txt", "rb"), 5);
    EXPECT_EQ(f.GetSize(), 10u);  // the open file is untouched
    char buf[16];
    EXPECT_EQ(f.Read(buf, 4, 4), 2u);
    EXPECT_EQ(f.Write("x", 1, 1), 0u);  // opened for reading
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(f.Read(buf, 1, 4), 0u);
    EXPECT_EQ(f.GetSize(), 0u);
    EXPECT_EQ(f.Write("x", 1, 1), 0u);

    ASSERT_EQ(f.Open("{StaticPath}/New/../new.txt", "wb"), 1);  // the folder is missing
    ASSERT_EQ(f.Open("{StaticPath}/new.txt", "wb"), 0);
    EXPECT_EQ(f.Write("abc", 1, 3), 3u);
    EXPECT_EQ(f.GetSize(), 3u);
    f.Close();
    EXPECT_EQ(vektest::ReadFile(m_strData + "/new.txt"), "abc");
    EXPECT_EQ(Log().find("security info not changed"), std::string::npos);
}

TEST_F(FileTest, ArchiveEntriesByName)
{
    cFile f;
    // Letters without regard to case, "\" and "/" alike, archive name in any case.
    ASSERT_EQ(f.Open("{StaticPath}/Pack.ZIP/a.txt", "rb"), 0);
    EXPECT_EQ(f.GetSize(), 10u);
    char buf[16];
    EXPECT_EQ(f.Read(buf, 4, 4), 2u);  // 10 bytes are two whole 4-byte elements
    EXPECT_EQ(f.Write("x", 1, 1), 0u);  // archives are read-only
    f.Close();
    ASSERT_EQ(f.Open("{StaticPath}/pack.zip/gui/main.lua", "rt"), 0);
    EXPECT_EQ(ReadAll(f), std::string(3000, 'x') + "end");
    f.Close();
    ASSERT_EQ(f.Open("{StaticPath}/pack.zip/gfx/back.png", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "png!");
    f.Close();

    EXPECT_EQ(f.Open("{StaticPath}/pack.zip/gui/none.lua", "rb"), 1);
    EXPECT_NE(Log().find("File gui\\none.lua not found in ZIP file"), std::string::npos);
    EXPECT_EQ(f.Open("{StaticPath}/sub/nothere.zip/a.txt", "rb"), 2);
    EXPECT_NE(Log().find("sub\\nothere.zip not found<br />"), std::string::npos);
    EXPECT_EQ(f.Open("{StaticPath}/pack.zip/a.txt", "wb"), 3);
    EXPECT_EQ(f.Open("{StaticPath}/pack.zip/a.txt", "a"), 3);
    EXPECT_FALSE(f.IsOpen());

    // No fallback to the disk: a folder named like an archive is not one.
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/folder.zip/x.txt", "disk"));
    EXPECT_EQ(f.Open("{StaticPath}/folder.zip/x.txt", "rb"), 2);
    // An entry stored in a sub-folder is not found by its bare name.
    EXPECT_EQ(f.Open("{StaticPath}/pack.zip/main.lua", "rb"), 1);
    EXPECT_FALSE(vek::cFileSystem().Exist("{StaticPath}/pack.zip/a.txt"));
}

TEST_F(FileTest, DamagedArchivesAreRefused)
{
    const std::string good = vektest::ReadFile(m_strData + "/pack.zip");
    struct Case {
        const char* name;
        std::string bytes;
        int code;
    };
    const std::string text(4000, 'y');
    const Case cases[] = {
        {"half", good.substr(0, good.size() / 2), 4},
        {"noise", std::string("PK\x03\x04 this is not really an archive at all"), 4},
        {"empty", std::string(), 4},
        {"nothing", MakeZip({}), 4},  // minizip cannot open an archive without entries
        {"stored_lies", MakeZip({{"a.txt", "abc", false, 1000}}), 4},
        {"beyond_end", MakeZip({{"a.txt", "abc", false, 100000, 100000}}), 4},
        {"ratio_lies", MakeZip({{"a.txt", text, true, 0x7FFFFFFF}}), 4},
        {"encrypted", MakeZip({{"a.txt", "abc", false, -1, -1, 1}}), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_strData + "/" + c.name + ".zip";
        ASSERT_TRUE(vektest::WriteFile(path, c.bytes));
        cFile f;
        EXPECT_EQ(f.Open(std::string("{StaticPath}/") + c.name + ".zip/a.txt", "rb"), c.code);
        EXPECT_FALSE(f.IsOpen());
    }
    EXPECT_NE(Log().find("Internal error in ZIP file"), std::string::npos);
}

TEST_F(FileTest, ReadsStopAtTheRealEndOfAnEntry)
{
    std::string broken = RawDeflate(std::string(500, 'z'));
    for (size_t i = 2; i < broken.size(); ++i) broken[i] = static_cast<char>(0xFF);
    ZipEntry shortEntry{"short.txt", "only this", true, 5000};  // declares more than it holds
    ZipEntry badData{"bad.txt", std::string(500, 'z'), true};
    std::string zip = MakeZip({shortEntry, badData});
    // Overwrite the deflated data of bad.txt with garbage.
    const size_t at = zip.find("bad.txt") + 7;
    for (size_t i = at + 2; i < at + 8 && i < zip.size(); ++i) zip[i] = static_cast<char>(0xFF);
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/odd.zip", zip));

    cFile f;
    ASSERT_EQ(f.Open("{StaticPath}/odd.zip/short.txt", "rb"), 0);
    EXPECT_EQ(f.GetSize(), 5000u);
    EXPECT_EQ(ReadAll(f), "only this");
    f.Close();
    ASSERT_EQ(f.Open("{StaticPath}/odd.zip/bad.txt", "rb"), 0);
    char buf[600];
    EXPECT_EQ(f.Read(buf, 1, sizeof buf), 0u);
    EXPECT_NE(Log().find("couldn&#39;t read file"), std::string::npos);
}

}  // namespace
