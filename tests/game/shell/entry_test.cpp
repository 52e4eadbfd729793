// Starts the game program itself with the dummy video driver (no display, no
// GL): it gets as far as the window and shuts down in order.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/process.h"
#include "support/temp_dir.h"
#include "support/time_scale.h"

namespace {

std::string GameExe()
{
    const char* exe = std::getenv("VEK_GAME_EXE");
    return exe ? exe : "";
}

std::string AppFolder() { return std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine"; }

// Runs the game with the dummy video driver; `env` holds arguments of env(1)
// ("-u NAME" first, then assignments). Standard error goes to `errText`.
int RunGame(const std::string& env = std::string(), std::string* errText = nullptr)
{
    const std::string errFile = vektest::TempRoot() + "/game_stderr.txt";
    const std::string cmd = "env " + env + " SDL_VIDEODRIVER=dummy '" + GameExe() + "' >/dev/null 2>'" +
                            errFile + "'";
    const int status = std::system(cmd.c_str());
    if (errText) *errText = vektest::ReadFile(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

int CountLines(const std::string& text)
{
    int n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

// Positions of the texts in the log, which must come in this order.
void ExpectInOrder(const std::string& log, const std::vector<std::string>& texts)
{
    size_t pos = 0;
    for (const std::string& t : texts) {
        const size_t at = log.find(t, pos);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << t;
        pos = at + t.size();
    }
}

TEST(Entry, StartWithoutDisplayLogsInOrderAndShutsDown)
{
    ASSERT_FALSE(GameExe().empty());
    // No GL under the dummy driver: the window cannot be made.
    EXPECT_EQ(RunGame(), 1);
    const std::string log = vektest::ReadFile(AppFolder() + "/_log.html");
    ExpectInOrder(log, {
        "<!DOCTYPE html",
        "User name: ",
        "System paths:<br />",
        "{ExePath} = ",
        "{StaticPath} = data<br />",
        "{AppPath} = ",
        "{UserPath} = ",
        "Enum current display settings: </span>",
        "Enum all graphics modes... Ok<br />",
        "Registering Class... Ok. Atom: 0x",
        "SetUnhandledExceptionFilter... Ok<br />",
        "CreateWindowEx failed!<br />",
        // The managers go in the reverse order of their creation, the
        // desktop's mode is restored after them.
        "DestroyFontManager: </span><span class='text'>Ok<br />",
        "DestroySoundManager: </span><span class='text'>Ok<br />",
        "DestroyInput: </span><span class='text'>Ok<br />",
        "DestroyTextureManager: </span><span class='text'>Ok<br />",
        "DestroyRender: </span><span class='text'>Ok<br />",
        "Restore display settings<br />",
        "</p></body>\n</html>\n",
    });
    // The application folder is private to the user.
    struct stat st {};
    ASSERT_EQ(stat(AppFolder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(Entry, SecondInstanceLeavesSilently)
{
    vek::platform::cInstanceLock first;
    ASSERT_TRUE(first.TryAcquire("GardenMutex"));
    std::remove((AppFolder() + "/_log.html").c_str());
    std::string err;
    EXPECT_EQ(RunGame("", &err), 0);
    EXPECT_EQ(err, "");
    EXPECT_FALSE(Exists(AppFolder() + "/_log.html")) << "a second instance wrote a log";
    first.Release();
}

// The data folder cannot be made (its parent is a regular file, which stops
// root as well as anyone else): one line on standard error naming the folder
// and the reason, exit code 1, nothing written anywhere else.
TEST(Entry, UnusableDataFolderIsReportedAndEndsWithOne)
{
    const std::string root = vektest::MakeTempDir("nodata");
    ASSERT_TRUE(vektest::WriteFile(root + "/file", "x"));
    const std::string data = root + "/file/share";
    const std::string folder = data + "/quarne/Zembrolavine";
    const bool rootHadIt = Exists("/quarne");

    // With a runtime folder the lock is taken there; without one it would go
    // into the data folder. Either way the game must not start. Without
    // XDG_DATA_HOME the data folder is below HOME.
    struct cCase {
        std::string env, folder;
    };
    const cCase cases[] = {
        {"XDG_DATA_HOME='" + data + "'", folder},
        {"-u XDG_RUNTIME_DIR XDG_DATA_HOME='" + data + "'", folder},
        {"-u XDG_DATA_HOME HOME='" + root + "/file/home'",
         root + "/file/home/.local/share/quarne/Zembrolavine"},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.env);
        std::string err;
        EXPECT_EQ(RunGame(c.env, &err), 1);
        EXPECT_EQ(CountLines(err), 1) << err;
        EXPECT_NE(err.find(c.folder), std::string::npos) << err;
        EXPECT_NE(err.find("Not a directory"), std::string::npos) << err;
    }
    if (!rootHadIt) {
        EXPECT_FALSE(Exists("/quarne")) << "the data folder fell back to the root";
    }
}

// Where no display can be reached the game does not fall back to a driver
// that shows nothing to anyone: it says so and ends at once.
TEST(Entry, NoDisplayEndsWithOneAndSaysSo)
{
    std::remove((AppFolder() + "/_log.html").c_str());
    const auto start = std::chrono::steady_clock::now();
    std::string err;
    const std::string errFile = vektest::TempRoot() + "/nodisplay_stderr.txt";
    // The watchdog ends a game that would keep running. Both bounds grow
    // on a loaded machine.
    const int watchdog = static_cast<int>(vektest::Scaled(10.0)) + 1;
    const std::string cmd = "timeout -s KILL " + std::to_string(watchdog) + " env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '" +
                            GameExe() + "' >/dev/null 2>'" + errFile + "'";
    const int status = std::system(cmd.c_str());
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    err = vektest::ReadFile(errFile);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_LT(seconds, vektest::Scaled(5.0));
    EXPECT_EQ(err, "no display: set DISPLAY or WAYLAND_DISPLAY\n");
    const std::string log = vektest::ReadFile(AppFolder() + "/_log.html");
    EXPECT_NE(log.find("No display: "), std::string::npos) << "the log does not say why";
    EXPECT_NE(log.find("</p></body>\n</html>\n"), std::string::npos);
}

// A lock that cannot be taken for any reason but another holder is a failure,
// not a second instance.
TEST(Entry, LockThatCannotBeTakenIsNotASecondInstance)
{
    const std::string runtime = vektest::MakeTempDir("run");
    ASSERT_EQ(mkdir((runtime + "/GardenMutex.lock").c_str(), 0700), 0);
    std::string err;
    EXPECT_EQ(RunGame("XDG_RUNTIME_DIR='" + runtime + "'", &err), 1);
    EXPECT_EQ(CountLines(err), 1) << err;
    EXPECT_NE(err.find(runtime + "/GardenMutex.lock"), std::string::npos) << err;
    EXPECT_NE(err.find("Is a directory"), std::string::npos) << err;
}

TEST(Entry, LogIsReplacedAtEveryStart)
{
    EXPECT_EQ(RunGame(), 1);
    EXPECT_EQ(RunGame(), 1);
    const std::string log = vektest::ReadFile(AppFolder() + "/_log.html");
    size_t count = 0;
    for (size_t p = log.find("User name: "); p != std::string::npos; p = log.find("User name: ", p + 1))
        ++count;
    EXPECT_EQ(count, 1u);
}

} // namespace
