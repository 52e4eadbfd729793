#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/log.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace {

using vek::cDataManager;
using vek::cFileSystem;
using vek::filename;

mode_t ModeOf(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        umask(022);
        m_strRoot = vektest::MakeTempDir("Fs");
        // Capitals in the macro value: it must keep its case through every call.
        vek::SetPathMacro(vek::e_macroUserPath, m_strRoot + "/Home");
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/Share/quarne/Zembrolavine");
    }
    void TearDown() override { vek::platform::SetReplaceHook(nullptr); }
    std::string m_strRoot;
};

TEST_F(FileSystemTest, EnumerationJoinsRealNamesInOrder)
{
    const std::string folder = m_strRoot + "/Home/Profile";
    for (const char* n : {"plr001", "Plr000", ".x", "B.txt"})
        ASSERT_TRUE(vektest::WriteFile(folder + "/" + n, "x"));
    ASSERT_TRUE(vektest::WriteFile(folder + "/back\\slash", "x"));  // cannot be named: left out

    cFileSystem fs;
    EXPECT_TRUE(fs.GetNext().empty());  // no search yet
    std::vector<std::string> paths;
    for (filename f = fs.GetFirst("{UserPath}/profile"); !f.empty(); f = fs.GetNext())
        paths.push_back(f.path);
    std::string prefix = m_strRoot + "/Home/profile/";
    for (char& c : prefix) c = c == '/' ? '\\' : c;
    EXPECT_EQ(paths, (std::vector<std::string>{prefix + ".x", prefix + "B.txt", prefix + "Plr000",
                                                prefix + "plr001"}));
    EXPECT_TRUE(fs.GetNext().empty());

    // The joined names work for every later call.
    const filename first = fs.GetFirst("{UserPath}/profile");
    EXPECT_EQ(first.name, "");
    EXPECT_EQ(first.ext, "x");
    EXPECT_TRUE(fs.Exist(first));
    vek::string text;
    EXPECT_EQ(cDataManager::ReadText(&text, fs.GetNext()), cDataManager::Ok);

    ASSERT_TRUE(vek::platform::MakeDir(m_strRoot + "/Home/empty"));
    EXPECT_TRUE(fs.GetFirst("{UserPath}/empty").empty());
    EXPECT_TRUE(fs.GetFirst("{UserPath}/missing").empty());
    EXPECT_TRUE(fs.GetNext().empty());
}

TEST_F(FileSystemTest, ExistAndIsFolder)
{
    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/Home/Desktop/Shot.png", "x"));
    cFileSystem fs;
    EXPECT_TRUE(fs.Exist("{UserPath}/Desktop/"));
    EXPECT_TRUE(fs.IsFolder("{UserPath}/Desktop/"));
    EXPECT_TRUE(fs.Exist("{UserPath}/desktop/shot.png"));
    EXPECT_FALSE(fs.IsFolder("{UserPath}/desktop/shot.png"));
    EXPECT_TRUE(fs.Exist("{UserPath}/desktop/*.png"));
    EXPECT_FALSE(fs.Exist("{UserPath}/desktop/none.png"));
    EXPECT_FALSE(fs.Exist(filename()));
    // Never inside an archive, even when the archive is a real folder.
    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/Home/x.zip/a.txt", "x"));
    EXPECT_FALSE(fs.Exist("{UserPath}/x.zip/a.txt"));
    EXPECT_FALSE(fs.IsFolder("{UserPath}/x.zip/a"));
    EXPECT_TRUE(fs.FullAccess("{UserPath}/desktop/shot.png"));
    EXPECT_FALSE(fs.FullAccess("{UserPath}/desktop/none.png"));
}

TEST_F(FileSystemTest, CreateFolderMakesEveryMissingLevel)
{
    ASSERT_TRUE(vek::platform::MakeDir(m_strRoot + "/Home"));
    ASSERT_TRUE(vek::platform::MakeDir(m_strRoot + "/Home/a"));
    cFileSystem fs;
    EXPECT_TRUE(fs.CreateFolder("{UserPath}/a/b/c/"));
    EXPECT_TRUE(fs.IsFolder("{UserPath}/a/b/c"));
    EXPECT_FALSE(fs.CreateFolder("{UserPath}/a/b/c"));  // exists already
    EXPECT_FALSE(fs.CreateFolder("{UserPath}/A"));      // whatever the case
    EXPECT_FALSE(fs.CreateFolder(filename()));
    EXPECT_EQ(ModeOf(m_strRoot + "/Home/a/b/c"), 0755u);  // the umask decides

    // The application folder and its parents are private.
    EXPECT_TRUE(fs.CreateFolder("{AppPath}"));
    EXPECT_EQ(ModeOf(m_strRoot + "/Share"), 0700u);
    EXPECT_EQ(ModeOf(m_strRoot + "/Share/quarne"), 0700u);
    EXPECT_EQ(ModeOf(m_strRoot + "/Share/quarne/Zembrolavine"), 0700u);
    EXPECT_TRUE(fs.CreateFolder("{AppPath}/profile/plr000"));
    EXPECT_EQ(ModeOf(m_strRoot + "/Share/quarne/Zembrolavine/profile"), 0755u);

    // A relative path stays below the working folder; a rooted one never does.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(m_strRoot.c_str()), 0);
    EXPECT_TRUE(fs.CreateFolder("rel/sub"));
    EXPECT_TRUE(fs.IsFolder("rel/sub"));
    EXPECT_FALSE(fs.IsFolder(m_strRoot.substr(1) + "/Home/a"));
    ASSERT_EQ(chdir(cwd), 0);
}

TEST_F(FileSystemTest, DeleteFolderStaysInsideTheFolder)
{
    const std::string outside = m_strRoot + "/Outside";
    ASSERT_TRUE(vektest::WriteFile(outside + "/sentinel", "keep"));
    const std::string player = m_strRoot + "/Share/quarne/Zembrolavine/profile/Plr000";
    ASSERT_TRUE(vektest::WriteFile(player + "/save.dat", "x"));
    ASSERT_TRUE(vektest::WriteFile(player + "/old/level.dat", "x"));
    ASSERT_EQ(symlink(outside.c_str(), (player + "/link").c_str()), 0);

    cFileSystem fs;
    EXPECT_TRUE(fs.DeleteFolder("{AppPath}/profile/plr000"));
    EXPECT_FALSE(fs.Exist("{AppPath}/profile/plr000"));
    EXPECT_TRUE(fs.IsFolder("{AppPath}/profile"));
    EXPECT_EQ(vektest::ReadFile(outside + "/sentinel"), "keep");
    EXPECT_FALSE(fs.DeleteFolder("{AppPath}/profile/plr000"));  // nothing left to delete
    EXPECT_FALSE(fs.DeleteFolder(filename()));
}

TEST_F(FileSystemTest, WholeFileReads)
{
    const std::string dir = m_strRoot + "/Home/";
    ASSERT_TRUE(vektest::WriteFile(dir + "crlf.txt", "\r\n\r\n\r\n"));
    ASSERT_TRUE(vektest::WriteFile(dir + "empty.txt", ""));
    ASSERT_TRUE(vektest::WriteFile(dir + "five.bin", std::string("\x01\x02\x03\x04\x05", 5)));

    vek::string text = "unchanged";
    EXPECT_EQ(cDataManager::ReadText(&text, "{UserPath}/crlf.txt"), cDataManager::Ok);
    EXPECT_EQ(text, "\n\n\n");
    text = "unchanged";
    EXPECT_EQ(cDataManager::ReadText(&text, "{UserPath}/empty.txt"), 3);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(cDataManager::ReadText(&text, "{UserPath}/missing.txt"), 2);
    EXPECT_EQ(cDataManager::ReadText(nullptr, "{UserPath}/crlf.txt"), 4);

    vek::cBitStream stream;
    stream.WriteInt(7);
    EXPECT_EQ(cDataManager::ReadBinary(&stream, "{UserPath}/empty.txt"), 3);
    EXPECT_EQ(stream.GetByteCount(), 4u);  // left as it was
    EXPECT_EQ(cDataManager::ReadBinary(&stream, "{UserPath}/missing"), 2);
    EXPECT_EQ(cDataManager::ReadBinary(nullptr, "{UserPath}/five.bin"), 4);
    ASSERT_EQ(cDataManager::ReadBinary(&stream, "{UserPath}/five.bin"), 0);
    EXPECT_EQ(stream.GetBitLength(), 40);
    EXPECT_EQ(stream.ReadInt(), 0x04030201);
    EXPECT_EQ(stream.ReadInt(), 5);
}

TEST_F(FileSystemTest, WholeFileWritesNeverLoseTheOldFile)
{
    const std::string path = m_strRoot + "/Home/save.dat";
    ASSERT_TRUE(vektest::WriteFile(path, "old save"));

    vek::cBitStream source;
    source.WriteByte(0x41);
    source.WriteByte(0x42);
    EXPECT_EQ(cDataManager::WriteBinary(nullptr, "{UserPath}/save.dat"), 4);
    EXPECT_EQ(cDataManager::WriteBinary(&source, "{UserPath}/x.zip/save.dat"), 2);
    EXPECT_EQ(cDataManager::WriteBinary(&source, "{UserPath}/no/folder/save.dat"), 2);

    // A failure between writing and replacing leaves the old save whole.
    vek::platform::SetReplaceHook([](const std::string&) { return false; });
    EXPECT_EQ(cDataManager::WriteBinary(&source, "{UserPath}/save.dat"), 2);
    vek::platform::SetReplaceHook(nullptr);
    EXPECT_EQ(vektest::ReadFile(path), "old save");

    ASSERT_EQ(cDataManager::WriteBinary(&source, "{UserPath}/Save.DAT"), 0);
    EXPECT_EQ(vektest::ReadFile(path), "AB");
    EXPECT_EQ(ModeOf(path), 0644u);
    // No temporary file is left beside it.
    cFileSystem fs;
    int count = 0;
    for (filename f = fs.GetFirst("{UserPath}"); !f.empty(); f = fs.GetNext()) ++count;
    EXPECT_EQ(count, 1);

    // An empty stream makes an empty file.
    vek::cBitStream empty;
    ASSERT_EQ(cDataManager::WriteBinary(&empty, "{UserPath}/save.dat"), 0);
    EXPECT_EQ(vektest::ReadFile(path), "");
}

}  // namespace
