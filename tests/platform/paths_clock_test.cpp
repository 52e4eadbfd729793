#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/clock.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

namespace pf = vek::platform;

class EnvGuard {
public:
    explicit EnvGuard(const char* name) : m_szName(name)
    {
        const char* v = std::getenv(name);
        m_bHad = v != nullptr;
        if (v) m_strValue = v;
    }
    ~EnvGuard()
    {
        if (m_bHad) setenv(m_szName, m_strValue.c_str(), 1);
        else unsetenv(m_szName);
    }

private:
    const char* m_szName;
    bool m_bHad = false;
    std::string m_strValue;
};

TEST(Paths, AppDataFolderFromTheEnvironment)
{
    EnvGuard data("XDG_DATA_HOME");
    EnvGuard home("HOME");
    const std::string root = vektest::MakeTempDir("Paths");

    setenv("XDG_DATA_HOME", (root + "/Data/").c_str(), 1);
    EXPECT_EQ(pf::GetCommonAppDataFolder(), root + "/Data");

    // Without XDG_DATA_HOME (or with a relative one): ~/.local/share, made private.
    setenv("HOME", (root + "/Home").c_str(), 1);
    setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(pf::GetCommonAppDataFolder(), root + "/Home/.local/share");
    struct stat st{};
    ASSERT_EQ(stat((root + "/Home/.local/share").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(pf::GetUserProfileFolder(), root + "/Home");

    // A folder that cannot be made gives an empty value.
    ASSERT_TRUE(vektest::WriteFile(root + "/file", "x"));
    setenv("XDG_DATA_HOME", (root + "/file/sub").c_str(), 1);
    EXPECT_EQ(pf::GetCommonAppDataFolder(), "");
}

TEST(Paths, MakeFoldersCreatesParentsAndSaysWhyItFails)
{
    const std::string root = vektest::MakeTempDir("Folders");
    std::string reason;
    EXPECT_TRUE(pf::MakeFolders(root + "/a/b/c", 0700, &reason));
    struct stat st{};
    ASSERT_EQ(stat((root + "/a/b").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(pf::MakeFolders(root + "/a/b/c", 0700)) << "an existing folder is fine";

    // A regular file in the way, below it or at the end: no folder, and why.
    ASSERT_TRUE(vektest::WriteFile(root + "/file", "x"));
    EXPECT_FALSE(pf::MakeFolders(root + "/file/sub", 0700, &reason));
    EXPECT_EQ(reason, "Not a directory");
    reason.clear();
    EXPECT_FALSE(pf::MakeFolders(root + "/file", 0700, &reason));
    EXPECT_EQ(reason, "Not a directory");
    EXPECT_FALSE(pf::MakeFolders("", 0700));
}

TEST(Paths, DesktopFolder)
{
    EnvGuard config("XDG_CONFIG_HOME");
    EnvGuard home("HOME");
    const std::string root = vektest::MakeTempDir("Desk");
    setenv("HOME", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/cfg").c_str(), 1);
    EXPECT_EQ(pf::GetDesktopFolder(), root + "/Desktop");
    ASSERT_TRUE(vektest::WriteFile(root + "/cfg/user-dirs.dirs",
                                   "# comment\nXDG_MUSIC_DIR=\"$HOME/M\"\n"
                                   "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"));
    EXPECT_EQ(pf::GetDesktopFolder(), root + "/Schreibtisch");
}

TEST(Paths, NativeForm)
{
    EXPECT_EQ(pf::ToNativePath("\\home\\a\\b.lua"), "/home/a/b.lua");
    EXPECT_EQ(pf::ToNativePath("data\\gui\\main.lua"), "data/gui/main.lua");
    EXPECT_EQ(pf::ToNativePath(""), "");
}

TEST(Clock, CTimeText)
{
    EnvGuard tz("TZ");
    setenv("TZ", "UTC", 1);
    tzset();
    // A one-digit day is zero-padded; always 24 characters.
    EXPECT_EQ(pf::FormatCTime(315626635), "Wed Jan 02 02:03:55 1980");
    EXPECT_EQ(pf::FormatCTime(0), "Thu Jan 01 00:00:00 1970");
    EXPECT_EQ(pf::FormatCTime().size(), 24u);
    unsetenv("TZ");
    tzset();
}

TEST(Clock, CountersMoveForward)
{
    pf::iClock& clock = pf::SystemClock();
    EXPECT_EQ(clock.Frequency(), 1000000000);
    const int64_t a = clock.Counter();
    pf::SleepMs(2);
    EXPECT_GE(clock.Counter() - a, 2000000);

    pf::cManualClock manual(1000);
    manual.AdvanceSeconds(0.5);
    EXPECT_EQ(manual.Counter(), 500);

    const pf::cLocalTime now = pf::GetLocalTimeNow();
    EXPECT_GE(now.hour, 0);
    EXPECT_LT(now.hour, 24);
    EXPECT_LT(now.millisecond, 1000);
}

}  // namespace
