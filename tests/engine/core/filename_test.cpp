#include "engine/core/filename.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using vek::filename;

struct Parts {
    const char* source;
    const char* drive;
    const char* zip;
    const char* dir;
    const char* name;
    const char* ext;
    const char* path;
};

class FilenameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vek::SetPathMacro(vek::e_macroExePath, "/opt/Game/bin");
        vek::SetPathMacro(vek::e_macroStaticPath, "data");
        vek::SetPathMacro(vek::e_macroAppPath, "/home/Alice/.local/share/quarne/Zembrolavine");
        vek::SetPathMacro(vek::e_macroUserPath, "/home/Alice");
    }
};

void ExpectParts(const Parts& p)
{
    SCOPED_TRACE(p.source);
    const filename f(p.source);
    EXPECT_EQ(f.drive, p.drive);
    EXPECT_EQ(f.zip, p.zip);
    EXPECT_EQ(f.dir, p.dir);
    EXPECT_EQ(f.name, p.name);
    EXPECT_EQ(f.ext, p.ext);
    EXPECT_EQ(f.path, p.path);
}

TEST_F(FilenameTest, SplitsAndRebuilds)
{
    const Parts cases[] = {
        {"{StaticPath}/gui/main.lua", "", "", "data\\gui", "main", "lua", "data\\gui\\main.lua"},
        {"{StaticPath}/Sound/Music.zip/Track1.OGG", "", "data\\sound\\music.zip", "", "track1", "ogg",
         "data\\sound\\music.zip\\track1.ogg"},
        {"C:/Games/Save.DAT", "C", "", "games", "save", "dat", "C:\\games\\save.dat"},
        // Long-path prefix goes before the drive is taken; the drive keeps its case.
        {"\\\\?\\c:\\Games\\X.png", "c", "", "games", "x", "png", "c:\\games\\x.png"},
        {"a.b.png", "", "", "", "a.b", "png", "a.b.png"},
        {"Readme", "", "", "", "readme", "", "readme"},
        {"data/noext.", "", "", "data", "noext", "", "data\\noext"},
        // Only a component that ends in ".zip" is an archive.
        {"data/x.zipper/a.txt", "", "", "data\\x.zipper", "a", "txt", "data\\x.zipper\\a.txt"},
        {"data/a.zip.bak/b/c.txt", "", "", "data\\a.zip.bak\\b", "c", "txt", "data\\a.zip.bak\\b\\c.txt"},
        {"data/A.ZIP/Gui/B.lua", "", "data\\a.zip", "gui", "b", "lua", "data\\a.zip\\gui\\b.lua"},
        {"data/one.zip/two.zip/x", "", "data\\one.zip", "two.zip", "x", "", "data\\one.zip\\two.zip\\x"},
        {"data/file.zip", "", "", "data", "file", "zip", "data\\file.zip"},
        {"C:/x.zip/a", "C", "x.zip", "", "a", "", "C:\\x.zip\\a"},
        // A leading separator makes the path rooted; it survives the rebuild.
        {"/data/x.png", "/", "", "data", "x", "png", "\\data\\x.png"},
        {"\\data\\x.png", "/", "", "data", "x", "png", "\\data\\x.png"},
        {"/a.zip/b", "/", "a.zip", "", "b", "", "\\a.zip\\b"},
        {"", "", "", "", "", "", ""},
    };
    for (const Parts& p : cases) ExpectParts(p);
}

TEST_F(FilenameTest, MacroValueKeepsItsCase)
{
    const filename f("{AppPath}/Conf/Settings.LUA");
    EXPECT_EQ(f.path, "\\home\\Alice\\.local\\share\\quarne\\Zembrolavine\\conf\\settings.lua");
    EXPECT_EQ(f.drive, "/");
    // Parsing the rebuilt path again, or appending to it, keeps the case.
    EXPECT_EQ(filename(f.path).path, f.path);
    EXPECT_EQ(filename(vek::string(f.c_str())).path, f.path);
    const filename profile = vek::AppendPath(filename("{AppPath}"), "Profile/PLR000");
    EXPECT_EQ(profile.path, "\\home\\Alice\\.local\\share\\quarne\\Zembrolavine\\profile\\plr000");
    EXPECT_EQ(filename("{UserPath}/Desktop/").path, "\\home\\Alice\\desktop\\");
    // A path that merely starts like a macro value is lower-cased as usual.
    EXPECT_EQ(filename("/home/AliceX/B").path, "\\home\\alicex\\b");
    EXPECT_EQ(filename("{ExePath}/X.dat").path, "\\opt\\Game\\bin\\x.dat");
}

TEST_F(FilenameTest, OnlyTheFirstBraceIsExpanded)
{
    EXPECT_EQ(filename("{StaticPath}/{AppPath}").path, "data\\{apppath}");
    EXPECT_EQ(filename("{Unknown}/{StaticPath}/X").path, "{unknown}\\{staticpath}\\x");
    EXPECT_EQ(filename("pre{StaticPath}/x").path, "predata\\x");
    // An empty macro value leaves the rest rooted.
    vek::SetPathMacro(vek::e_macroUserPath, "");
    EXPECT_EQ(filename("{UserPath}/Desktop/").path, "\\desktop\\");
}

TEST_F(FilenameTest, AppendPathAndAccessors)
{
    const filename folder("{StaticPath}/gui");
    EXPECT_EQ(vek::AppendPath(folder, "Main.lua").path, "data\\gui\\main.lua");
    // A text beginning with "." is a suffix.
    EXPECT_EQ(vek::AppendPath(filename("data/x"), ".png").path, "data\\x.png");
    // An empty folder stays relative; the root stays rooted.
    EXPECT_EQ(vek::AppendPath(filename(), "x.txt").path, "x.txt");
    EXPECT_EQ(vek::AppendPath(filename("/"), "x.txt").path, "\\x.txt");
    EXPECT_EQ(vek::AppendPath(filename("/data"), "x").path, "\\data\\x");

    filename f("data/music.zip/a/b.ogg");
    EXPECT_EQ(f.GetDir(), "data\\music.zip\\a\\");
    EXPECT_EQ(f.GetFile(), "b.ogg");
    f.replace_ext("tex");
    EXPECT_EQ(f.path, "data\\music.zip\\a\\b.tex");
    f.replace_ext("");
    EXPECT_EQ(f.path, "data\\music.zip\\a\\b");
    EXPECT_TRUE(filename().empty());
    EXPECT_STREQ(filename("A/B").c_str(), "a\\b");

    filename g;
    g = "X/Y.Z";
    EXPECT_EQ(g.path, "x\\y.z");
    g = static_cast<const char*>(nullptr);
    EXPECT_TRUE(g.empty());
}

TEST_F(FilenameTest, HighBytesAreKept)
{
    // Only ASCII letters are lower-cased; UTF-8 and code-page bytes stay.
    EXPECT_EQ(filename("data/\xD0\x96Z\xC0.png").path, "data\\\xD0\x96z\xC0.png");
}

TEST(PathMacros, ResolvedFromTheEnvironment)
{
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const std::string data = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ASSERT_FALSE(home.empty());
    ASSERT_FALSE(data.empty());
    vek::ResolvePathMacros("Zembrolavine");
    EXPECT_EQ(vek::GetPathMacro(vek::e_macroStaticPath), "data");
    EXPECT_EQ(vek::GetPathMacro(vek::e_macroAppPath), data + "/quarne/Zembrolavine");
    EXPECT_EQ(vek::GetPathMacro(vek::e_macroUserPath), home);
    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const std::string exePath(exe);
    EXPECT_EQ(vek::GetPathMacro(vek::e_macroExePath), exePath.substr(0, exePath.rfind('/')));
    EXPECT_EQ(vek::GetPathMacro(99), "");
}

}  // namespace
