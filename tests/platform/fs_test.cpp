#include "platform/fs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace {

namespace pf = vek::platform;

bool Exists(const std::string& p)
{
    struct stat st{};
    return lstat(p.c_str(), &st) == 0;
}

// Makes a file that this process cannot remove: immutable where the file
// system allows it (as root), else inside a folder without write access.
// Returns a function that undoes it, or nullptr when neither works.
std::function<void()> MakeUndeletable(const std::string& folder, const std::string& name)
{
    const std::string path = folder + "/" + name;
    if (!vektest::WriteFile(path, "stay")) return nullptr;
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            if (ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) {
                close(fd);
                return [path] {
                    const int f = open(path.c_str(), O_RDONLY);
                    int fl = 0;
                    ioctl(f, FS_IOC_GETFLAGS, &fl);
                    fl &= ~FS_IMMUTABLE_FL;
                    ioctl(f, FS_IOC_SETFLAGS, &fl);
                    close(f);
                };
            }
        }
        close(fd);
    }
    if (geteuid() != 0 && chmod(folder.c_str(), 0500) == 0)
        return [folder] { chmod(folder.c_str(), 0700); };
    return nullptr;
}

TEST(NativeFile, ModesAndTextReading)
{
    const std::string root = vektest::MakeTempDir("fs");
    pf::cNativeFile f;
    EXPECT_FALSE(f.Open(root + "/x", "q"));
    EXPECT_FALSE(f.Open(root + "/missing", "rb"));
    EXPECT_FALSE(f.Open(root, "rb"));  // a folder is not a file

    ASSERT_TRUE(f.Open(root + "/t.txt", "wt"));
    EXPECT_EQ(f.Write("a\r\nb\n\r\rc\r", 1, 9), 9u);
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(vektest::ReadFile(root + "/t.txt"), "a\r\nb\n\r\rc\r");  // writes unchanged

    ASSERT_TRUE(f.Open(root + "/t.txt", "rt"));
    EXPECT_EQ(f.GetLength(), 9);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, 1, sizeof buf), 8u);  // only CR directly before LF goes
    EXPECT_EQ(std::string(buf, 8), "a\nb\n\r\rc\r");
    f.Close();

    ASSERT_TRUE(f.Open(root + "/t.txt", "rb"));
    EXPECT_EQ(f.Read(buf, 4, 4), 2u);  // whole elements only
    f.Close();

    ASSERT_TRUE(f.Open(root + "/t.txt", "a"));
    f.Write("Z", 1, 1);
    f.Close();
    EXPECT_EQ(vektest::ReadFile(root + "/t.txt").back(), 'Z');
}

TEST(NativeFile, OnlyRegularFilesOpenAndWritesNeverGoThroughALink)
{
    const std::string root = vektest::MakeTempDir("fs");
    // A named pipe would block an open for ever: refused at once, for
    // reading and for writing, and left as it is.
    const std::string fifo = root + "/island.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    pf::cNativeFile f;
    EXPECT_FALSE(f.Open(fifo, "rb"));
    EXPECT_EQ(f.GetOpenError(), pf::cNativeFile::e_openErrorNotRegular);
    EXPECT_FALSE(f.Open(fifo, "wb"));
    EXPECT_EQ(f.GetOpenError(), pf::cNativeFile::e_openErrorNotRegular);
    struct stat st{};
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // A folder is there but is no file; nothing at all is missing.
    EXPECT_FALSE(f.Open(root, "rb"));
    EXPECT_EQ(f.GetOpenError(), pf::cNativeFile::e_openErrorNotRegular);
    EXPECT_FALSE(f.Open(root + "/none", "rb"));
    EXPECT_EQ(f.GetOpenError(), pf::cNativeFile::e_openErrorMissing);

    // A link where a file is written: "w" replaces the link, "a" refuses
    // it; the file it points at never changes. Reading follows it.
    const std::string target = root + "/player.dat";
    ASSERT_TRUE(vektest::WriteFile(target, "progress"));
    const std::string link = root + "/_log.html";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(f.Open(link, "rb"));
    f.Close();
    EXPECT_FALSE(f.Open(link, "ab"));
    ASSERT_TRUE(f.Open(link, "wb"));
    EXPECT_EQ(f.Write("log", 1, 3), 3u);
    f.Close();
    EXPECT_EQ(vektest::ReadFile(target), "progress");
    EXPECT_EQ(vektest::ReadFile(link), "log");
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST(NativeFile, DenyWriteKeepsASecondWriterOut)
{
    const std::string root = vektest::MakeTempDir("fs");
    const std::string path = root + "/_log.html";
    ASSERT_TRUE(vektest::WriteFile(path, "old content"));
    pf::cNativeFile first;
    ASSERT_TRUE(first.Open(path, "wt", pf::e_shareDenyWrite));
    EXPECT_EQ(vektest::ReadFile(path), "");
    first.Write("mine", 1, 4);
    first.Flush();

    pf::cNativeFile second;
    EXPECT_FALSE(second.Open(path, "wt", pf::e_shareDenyWrite));
    EXPECT_EQ(vektest::ReadFile(path), "mine");  // not truncated by the refused open
    pf::cNativeFile reader;
    EXPECT_TRUE(reader.Open(path, "rb"));  // reading stays possible

    first.Close();
    EXPECT_TRUE(second.Open(path, "wt", pf::e_shareDenyWrite));
}

TEST(Folders, CaseInsensitiveLookupOfExistingComponents)
{
    const std::string root = vektest::MakeTempDir("fs");
    ASSERT_TRUE(vektest::WriteFile(root + "/Desktop/Shot.PNG", "x"));
    ASSERT_TRUE(vektest::WriteFile(root + "/Both/a", "lower"));
    ASSERT_TRUE(vektest::WriteFile(root + "/Both/A", "upper"));

    EXPECT_EQ(pf::ResolveCase(root + "/desktop/shot.png"), root + "/Desktop/Shot.PNG");
    EXPECT_EQ(pf::ResolveCase(root + "/desktop/new/x.png"), root + "/Desktop/new/x.png");
    EXPECT_EQ(pf::ResolveCase(root + "/both/a"), root + "/Both/a");  // exact name wins
    EXPECT_TRUE(pf::PathExists(root + "/DESKTOP/shot.png"));
    EXPECT_TRUE(pf::IsFolder(root + "/desktop"));
    EXPECT_FALSE(pf::IsFolder(root + "/desktop/shot.png"));

    // A write goes to the existing file whatever the case it is named in.
    pf::cNativeFile f;
    ASSERT_TRUE(f.Open(root + "/desktop/shot.png", "wb"));
    f.Write("new", 1, 3);
    f.Close();
    EXPECT_EQ(vektest::ReadFile(root + "/Desktop/Shot.PNG"), "new");

    // Patterns match in their folder.
    EXPECT_TRUE(pf::PathExists(root + "/Desktop/*.png"));
    EXPECT_FALSE(pf::PathExists(root + "/Desktop/*.jpg"));
    EXPECT_FALSE(pf::PathExists(""));

    EXPECT_TRUE(pf::MakeDir(root + "/new"));
    EXPECT_FALSE(pf::MakeDir(root + "/NEW"));
    EXPECT_TRUE(pf::GrantUserAccess(root + "/new"));
    EXPECT_FALSE(pf::GrantUserAccess(root + "/none"));
}

TEST(Folders, EnumerationIsSortedWithoutDotEntries)
{
    const std::string root = vektest::MakeTempDir("fs");
    for (const char* n : {"zz", "Plr001", "plr000", "aa", "plr002", ".x"})
        ASSERT_TRUE(vektest::WriteFile(root + "/" + n, "x"));
    ASSERT_TRUE(pf::MakeDir(root + "/sub"));
    ASSERT_EQ(symlink("sub", (root + "/link").c_str()), 0);

    pf::cDirSearch search;
    pf::cDirEntry e;
    std::vector<std::string> names;
    for (bool ok = search.First(root, e); ok; ok = search.Next(e)) {
        names.push_back(e.name);
        if (e.name == "sub") {
            EXPECT_TRUE(e.isFolder && !e.isSymlink);
        } else if (e.name == "link") {
            EXPECT_TRUE(e.isFolder && e.isSymlink);
        } else if (e.name == "aa") {
            EXPECT_FALSE(e.isFolder);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{".x", "Plr001", "aa", "link", "plr000", "plr002",
                                                "sub", "zz"}));
    EXPECT_FALSE(search.First(root + "/sub", e));
    EXPECT_FALSE(search.Next(e));
    EXPECT_FALSE(search.First(root + "/none", e));
}

TEST(Folders, RemoveTreeNeverFollowsLinks)
{
    const std::string root = vektest::MakeTempDir("fs");
    const std::string outside = root + "/outside";
    ASSERT_TRUE(vektest::WriteFile(outside + "/sentinel", "keep"));
    const std::string tree = root + "/tree";
    ASSERT_TRUE(vektest::WriteFile(tree + "/a/b/c.txt", "x"));
    ASSERT_TRUE(vektest::WriteFile(tree + "/d.txt", "x"));
    ASSERT_EQ(symlink(outside.c_str(), (tree + "/a/to_outside").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/sentinel").c_str(), (tree + "/file_link").c_str()), 0);

    EXPECT_TRUE(pf::RemoveTree(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_EQ(vektest::ReadFile(outside + "/sentinel"), "keep");

    // A link named as the folder goes as a link.
    ASSERT_EQ(symlink(outside.c_str(), (root + "/alias").c_str()), 0);
    EXPECT_TRUE(pf::RemoveTree(root + "/alias"));
    EXPECT_FALSE(Exists(root + "/alias"));
    EXPECT_EQ(vektest::ReadFile(outside + "/sentinel"), "keep");

    EXPECT_FALSE(pf::RemoveTree(""));
    EXPECT_FALSE(pf::RemoveTree(outside + "/.."));
    EXPECT_FALSE(pf::RemoveTree(root + "/missing"));
    EXPECT_FALSE(pf::RemoveTree(outside + "/sentinel"));  // a file is not a folder
    EXPECT_TRUE(Exists(outside + "/sentinel"));
}

TEST(Folders, RemoveTreeSkipsWhatCannotGo)
{
    const std::string root = vektest::MakeTempDir("fs");
    const std::string tree = root + "/tree";
    ASSERT_TRUE(vektest::WriteFile(tree + "/first", "x"));
    ASSERT_TRUE(vektest::WriteFile(tree + "/locked/inner", "x"));
    ASSERT_TRUE(vektest::WriteFile(tree + "/zlast", "x"));
    std::function<void()> undo = MakeUndeletable(tree + "/locked", "stuck");
    if (!undo) GTEST_SKIP() << "no way to make an undeletable file here";

    EXPECT_FALSE(pf::RemoveTree(tree));  // terminates, reports the failure
    EXPECT_TRUE(Exists(tree + "/locked/stuck"));
    EXPECT_FALSE(Exists(tree + "/first"));
    EXPECT_FALSE(Exists(tree + "/zlast"));
    undo();
    EXPECT_TRUE(pf::RemoveTree(tree));
}

TEST(ReplaceFile, OldFileSurvivesEveryFailure)
{
    const std::string root = vektest::MakeTempDir("fs");
    const std::string path = root + "/save.dat";
    ASSERT_TRUE(vektest::WriteFile(path, "old save"));

    // Abandoned just before the rename.
    std::string seenTemp;
    pf::SetReplaceHook([&](const std::string& temp) {
        seenTemp = temp;
        EXPECT_EQ(vektest::ReadFile(temp), "new save!");
        return false;
    });
    EXPECT_FALSE(pf::WriteFileReplacing(path, "new save!", 9));
    pf::SetReplaceHook(nullptr);
    EXPECT_EQ(vektest::ReadFile(path), "old save");
    EXPECT_FALSE(Exists(seenTemp));

    // Killed just before the rename.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        pf::SetReplaceHook([](const std::string&) -> bool { _exit(0); });
        pf::WriteFileReplacing(path, "half", 4);
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(vektest::ReadFile(path), "old save");

    // What the kill left is removed at the next start, with the settings'
    // temporary file; a temporary of a process that still runs (this one),
    // other names and folders below the depth asked for stay.
    std::string killed;
    pf::cDirEntry entry;
    pf::cDirSearch search;
    for (bool more = search.First(root, entry); more; more = search.Next(entry))
        if (entry.name.rfind("save.dat.tmp" + std::to_string(child) + ".", 0) == 0) killed = root + "/" + entry.name;
    ASSERT_FALSE(killed.empty());
    const std::string mine = path + ".tmp" + std::to_string(getpid()) + ".7";
    const std::string deep = root + "/a/b/save.dat.tmp" + std::to_string(child) + ".1";
    ASSERT_TRUE(vektest::WriteFile(mine, "x"));
    ASSERT_TRUE(vektest::WriteFile(root + "/settings.lua.tmp", "x"));
    ASSERT_TRUE(vektest::WriteFile(root + "/save.dat.tmpx.1", "x"));
    ASSERT_TRUE(vektest::WriteFile(root + "/a/level.dat.tmp" + std::to_string(child) + ".3", "x"));
    ASSERT_TRUE(vektest::WriteFile(deep, "x"));
    const std::vector<std::string> removed = pf::RemoveStaleTemporaries(root, 1, {"settings.lua.tmp"});
    EXPECT_EQ(removed.size(), 3u);
    EXPECT_FALSE(Exists(killed));
    EXPECT_FALSE(Exists(root + "/settings.lua.tmp"));
    EXPECT_FALSE(Exists(root + "/a/level.dat.tmp" + std::to_string(child) + ".3"));
    EXPECT_TRUE(Exists(mine));
    EXPECT_TRUE(Exists(root + "/save.dat.tmpx.1"));
    EXPECT_TRUE(Exists(deep));
    EXPECT_EQ(vektest::ReadFile(path), "old save");
    unlink(mine.c_str());

    EXPECT_FALSE(pf::WriteFileReplacing(root + "/no/such/folder/x", "a", 1));
    EXPECT_TRUE(pf::WriteFileReplacing(path, "new", 3));
    EXPECT_EQ(vektest::ReadFile(path), "new");
    EXPECT_TRUE(pf::WriteFileReplacing(path, nullptr, 0));
    EXPECT_EQ(vektest::ReadFile(path), "");
}

}  // namespace
