// Starts the game program itself with the dummy video driver (no display, no
// GL): it gets as far as the window and shuts down in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/process.h"
#include "support/temp_dir.h"

namespace {

std::string GameExe()
{
    const char* exe = std::getenv("VEK_GAME_EXE");
    return exe ? exe : "";
}

std::string AppFolder() { return std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine"; }

int RunGame()
{
    const std::string cmd = "SDL_VIDEODRIVER=dummy '" + GameExe() + "' >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    EXPECT_EQ(RunGame(), 0);
    struct stat st {};
    EXPECT_NE(stat((AppFolder() + "/_log.html").c_str(), &st), 0) << "a second instance wrote a log";
    first.Release();
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
