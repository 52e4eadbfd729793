#include "engine/core/file.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <filesystem>

#include "engine/core/log.h"
#include "support/temp_dir.h"
#include "support/zip_files.h"

namespace {

using vek::cFile;
using vek::filename;

using vektest::MakeZip;
using vektest::ZipEntry;

// The archive's end record declares this many entries, whatever it holds.
std::string WithDeclaredCount(std::string zip, uint16_t count)
{
    const size_t end = zip.size() - 22;
    zip[end + 8] = zip[end + 10] = static_cast<char>(count & 0xFF);
    zip[end + 9] = zip[end + 11] = static_cast<char>(count >> 8);
    return zip;
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
    // A name longer than the system allows is said to be that.
    EXPECT_EQ(f.Open("{StaticPath}/" + std::string(300, 'n'), "rb"), 6);
    EXPECT_NE(Log().find(std::string(300, 'n') + " cannot be opened: its name is too long"), std::string::npos);
    EXPECT_EQ(Log().find("exists but cannot be opened"), std::string::npos);

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
        {"count_only", MakeZip({}).replace(8, 4, std::string("\5\0\5\0", 4)), 4},  // entries nowhere
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
    EXPECT_FALSE(f.HasReadError());
    f.Close();
    ASSERT_EQ(f.Open("{StaticPath}/odd.zip/bad.txt", "rb"), 0);
    char buf[600];
    EXPECT_EQ(f.Read(buf, 1, sizeof buf), 0u);
    EXPECT_TRUE(f.HasReadError()) << "damage is not the end of the entry";
    EXPECT_NE(Log().find("couldn&#39;t read file"), std::string::npos);
}

// 10,000 stored entries written by minizip's own writer, half of them with
// "\\" separators and half with "/"; entry i holds the text "#i".
TEST_F(FileTest, ManyEntriesAreFoundByNameInAnyCase)
{
    constexpr int kCount = 10000;
    auto stored = [](int i) {
        const char* sep = i % 2 ? "\\" : "/";
        return "Set" + std::to_string(i % 37) + sep + "Item" + std::to_string(i) + ".Txt";
    };
    const std::string path = m_strData + "/many.zip";
    zipFile zf = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zf, nullptr);
    for (int i = 0; i < kCount; ++i) {
        const std::string body = "#" + std::to_string(i);
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip(zf, stored(i).c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0),
                  ZIP_OK);
        ASSERT_EQ(zipWriteInFileInZip(zf, body.data(), static_cast<unsigned>(body.size())), ZIP_OK);
        ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
    }
    // An entry whose name differs from an earlier one only in case: the
    // earlier one is the one found.
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip(zf, "SET0/ITEM0.TXT", &info, nullptr, 0, nullptr, 0, nullptr, 0, 0), ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(zf, "late", 4), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
    ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);

    for (int i = 0; i < kCount; ++i) {
        // Lower case, upper case or as stored; the other separator every
        // third time.
        std::string name = stored(i);
        for (char& c : name) {
            if (i % 3 == 0 && (c == '/' || c == '\\')) c = c == '/' ? '\\' : '/';
            if (i % 3 == 1) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (i % 3 == 2) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        cFile f;
        ASSERT_EQ(f.Open("{StaticPath}/many.zip/" + name, "rb"), 0) << name;
        ASSERT_EQ(ReadAll(f), "#" + std::to_string(i)) << name;
    }
    cFile f;
    ASSERT_EQ(f.Open("{StaticPath}/many.zip/set0/item0.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "#0");
    f.Close();
    EXPECT_EQ(f.Open("{StaticPath}/many.zip/set1/item10000.txt", "rb"), 1);
    EXPECT_NE(Log().find("File set1\\item10000.txt not found in ZIP file"), std::string::npos);
    EXPECT_EQ(f.Open("{StaticPath}/many.zip/item1.txt", "rb"), 1);       // needs its folder
    EXPECT_EQ(f.Open("{StaticPath}/many.zip/set1/item1.tx", "rb"), 1);   // a prefix is not a match
    EXPECT_EQ(f.Open("{StaticPath}/many.zip/set1/item1.txt2", "rb"), 1);
    EXPECT_EQ(f.Open("{StaticPath}/many.zip/set1", "rb"), 1);
}

TEST_F(FileTest, EmptyArchivesHoldNothing)
{
    // Only the end record, with and without a comment.
    std::string commented = MakeZip({});
    commented[commented.size() - 2] = 5;
    commented += "hello";
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/bare.zip", MakeZip({})));
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/commented.zip", commented));
    for (const char* zip : {"bare.zip", "commented.zip"}) {
        SCOPED_TRACE(zip);
        cFile f;
        EXPECT_EQ(f.Open(std::string("{StaticPath}/") + zip + "/a.txt", "rb"), 1);
        EXPECT_EQ(f.Open(std::string("{StaticPath}/") + zip + "/gui/main.lua", "rb"), 1);
        EXPECT_FALSE(f.IsOpen());
    }
    EXPECT_NE(Log().find("File gui\\main.lua not found in ZIP file"), std::string::npos);
    EXPECT_EQ(Log().find("Internal error in ZIP file"), std::string::npos);

    // A comment length that does not fit the file is not an empty archive.
    commented += "!";
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/overlong.zip", commented));
    cFile f;
    EXPECT_EQ(f.Open("{StaticPath}/overlong.zip/a.txt", "rb"), 4);
}

TEST_F(FileTest, DirectoryDeclaringMoreEntriesThanItHolds)
{
    // The two real entries are found; any other name might lie in the part
    // of the directory that is missing, so the archive counts as damaged.
    const std::string zip = MakeZip({{"a.txt", "first"}, {"b.txt", "second"}});
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/lying.zip", WithDeclaredCount(zip, 0xFFF0)));
    cFile f;
    ASSERT_EQ(f.Open("{StaticPath}/lying.zip/B.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "second");
    f.Close();
    EXPECT_EQ(f.Open("{StaticPath}/lying.zip/c.txt", "rb"), 4);
    EXPECT_NE(Log().find("couldn&#39;t get file info"), std::string::npos);
    ASSERT_EQ(f.Open("{StaticPath}/lying.zip/a.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "first");
}

TEST_F(FileTest, ArchiveChangedOnDiskIsReadAgain)
{
    const std::string path = m_strData + "/swap.zip";
    cFile f;
    // Replaced by a file of another size.
    ASSERT_TRUE(vektest::WriteFile(path, MakeZip({{"one.txt", "111"}, {"two.txt", "222"}})));
    ASSERT_EQ(f.Open("{StaticPath}/swap.zip/two.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "222");
    f.Close();
    ASSERT_TRUE(vektest::WriteFile(path, MakeZip({{"three.txt", "3333"}, {"one.txt", "111"}})));
    EXPECT_EQ(f.Open("{StaticPath}/swap.zip/two.txt", "rb"), 1);
    ASSERT_EQ(f.Open("{StaticPath}/swap.zip/one.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "111");
    f.Close();

    // Rewritten in place with the same size, and within the same timestamp
    // tick (the time is set back): the entries moved, which the open
    // notices from the directory itself, and a name that is new is found.
    const auto stamp = std::filesystem::last_write_time(path);
    ASSERT_TRUE(vektest::WriteFile(path, MakeZip({{"one.txt", "abc"}, {"seven.txt", "wxyz"}})));
    std::filesystem::last_write_time(path, stamp);
    ASSERT_EQ(f.Open("{StaticPath}/swap.zip/one.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "abc");
    f.Close();
    ASSERT_TRUE(vektest::WriteFile(path, MakeZip({{"one.txt", "abc"}, {"three.txt", "wxyz"}})));
    std::filesystem::last_write_time(path, stamp);
    ASSERT_EQ(f.Open("{StaticPath}/swap.zip/three.txt", "rb"), 0);
    EXPECT_EQ(ReadAll(f), "wxyz");
    f.Close();
    EXPECT_EQ(f.Open("{StaticPath}/swap.zip/seven.txt", "rb"), 1);

    // Gone, then a folder of that name: not found, no fallback to the disk.
    ASSERT_TRUE(std::filesystem::remove(path));
    EXPECT_EQ(f.Open("{StaticPath}/swap.zip/one.txt", "rb"), 2);
    ASSERT_TRUE(vektest::WriteFile(path + "/one.txt", "disk"));
    EXPECT_EQ(f.Open("{StaticPath}/swap.zip/one.txt", "rb"), 2);
}

TEST_F(FileTest, EntriesOfOneArchiveOpenAtOnce)
{
    // Open entries never share their read position.
    std::vector<ZipEntry> entries;
    for (int i = 0; i < 6; ++i)
        entries.push_back({"e" + std::to_string(i), std::string(20000, static_cast<char>('a' + i)), i % 2 == 0});
    ASSERT_TRUE(vektest::WriteFile(m_strData + "/six.zip", MakeZip(entries)));
    for (int round = 0; round < 2; ++round) {
        cFile files[6];
        for (int i = 0; i < 6; ++i) ASSERT_EQ(files[i].Open("{StaticPath}/six.zip/e" + std::to_string(i), "rb"), 0);
        std::string got[6];
        for (int step = 0; step < 4; ++step)
            for (int i = 5; i >= 0; --i) {
                char buf[5000];
                got[i].append(buf, files[i].Read(buf, 1, sizeof buf));
            }
        for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], entries[i].data) << i;
    }
}

TEST_F(FileTest, ManyArchivesStayReadable)
{
    // More archives than the file layer keeps; an entry held open outlives
    // the moment its archive is pushed out.
    constexpr int kArchives = 40;
    for (int i = 0; i < kArchives; ++i)
        ASSERT_TRUE(vektest::WriteFile(m_strData + "/a" + std::to_string(i) + ".zip",
                                       MakeZip({{"n.txt", "#" + std::to_string(i), i % 2 == 0}})));
    cFile held;
    ASSERT_EQ(held.Open("{StaticPath}/a0.zip/n.txt", "rb"), 0);
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < kArchives; ++i) {
            cFile f;
            ASSERT_EQ(f.Open("{StaticPath}/a" + std::to_string(i) + ".zip/N.TXT", "rb"), 0);
            EXPECT_EQ(ReadAll(f), "#" + std::to_string(i));
        }
    EXPECT_EQ(ReadAll(held), "#0");
}

}  // namespace
