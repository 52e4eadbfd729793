// The game program on the whole data pack, twice, in a real window: each
// run reaches the main loop and ends with exit code 0 on SIGTERM, and from
// its start to "Game initialization complete. Run game..." the log holds no
// warning or error but those the allow-list beside this test names (one
// reason per line: a text the entry must hold, then " -- " and why it is
// expected).
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/log_problems.h"
#include "support/temp_dir.h"
#include "support/time_scale.h"

namespace {

const char* const kRunning = "Game initialization complete. Run game...";

std::string LogPath()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine/_log.html";
}

// Waits up to `seconds` (stretched on a loaded machine) for the child to
// end; its exit code, or -1.
int WaitForExit(pid_t pid, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(vektest::Scaled(seconds));
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

struct Allowed {
    std::string text;
    bool firstRunOnly = false;
};

// "text -- reason" per line; "first run: " in front limits it to the first
// start (no settings written yet); "a && b" needs both texts.
std::vector<Allowed> ReadAllowList(const std::string& path)
{
    std::vector<Allowed> out;
    const std::string first = "first run: ";
    for (std::string line : vektest::ReadAllowLines(path)) {
        Allowed a;
        if (line.compare(0, first.size(), first) == 0) {
            a.firstRunOnly = true;
            line = line.substr(first.size());
        }
        a.text = line;
        out.push_back(a);
    }
    return out;
}

// The warning and error entries (sender and text) of the log before the
// line that says the game runs.
std::vector<std::string> Complaints(const std::string& log)
{
    return vektest::LogProblemEntries(log, log.find(kRunning));
}

// Runs the game from the repository (its data folder is "data" there) until
// it runs its main loop, then ends it; its exit code. Each start writes a
// log of its own.
int RunOnce(const std::string& repo, const char* exe)
{
    std::remove(LogPath().c_str());
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(repo.c_str()) != 0) _exit(126);
        execl(exe, exe, static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto running = [] { return vektest::ReadFile(LogPath()).find(kRunning) != std::string::npos; };
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(vektest::Scaled(120.0));
    while (!running() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames of the main menu
    kill(pid, SIGTERM);
    return WaitForExit(pid, 60.0);
}

TEST(PackBoot, TwoStartsOnTheWholePackRunCleanly)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    const char* exe = std::getenv("VEK_GAME_EXE");
    ASSERT_TRUE(repo && exe);
    const std::vector<Allowed> allowed = ReadAllowList(std::string(repo) + "/tests/pack/boot_allow.txt");
    ASSERT_FALSE(allowed.empty());
    for (int run = 0; run < 2; ++run) {
        const int code = RunOnce(repo, exe);
        const std::string log = vektest::ReadFile(LogPath());
        ASSERT_NE(log.find(kRunning), std::string::npos) << "run " << run << " never ran:\n" << log;
        EXPECT_EQ(code, 0) << "run " << run;
        const std::vector<std::string> complaints = Complaints(log);
        if (run == 0) {
            EXPECT_FALSE(complaints.empty()) << "a first start misses its settings, and says so";
        }
        for (const std::string& entry : complaints) {
            bool ok = false;
            for (const Allowed& a : allowed)
                ok = ok || ((!a.firstRunOnly || run == 0) && vektest::AllowedBy(entry, a.text));
            EXPECT_TRUE(ok) << "run " << run << ": " << entry;
        }
    }
    EXPECT_TRUE(vektest::ReadFile(std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine/conf/settings.lua")
                    .size() > 0)
        << "the first run writes the settings the second one reads";
}

// The same check on a copy of the pack whose area script of a sheet is
// damaged: the start must log it, and the allow-list must not pass it. (A
// texture job whose file is missing loads nothing without a word; the
// world's sprite lookups warn about it once they run at start.)
TEST(PackBoot, ADamagedAreaScriptIsAComplaint)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    const char* exe = std::getenv("VEK_GAME_EXE");
    const char* tmp = std::getenv("VEK_TEST_TMP");
    ASSERT_TRUE(repo && exe && tmp);
    namespace fs = std::filesystem;
    const fs::path copy = fs::path(tmp) / "broken";
    fs::create_directories(copy);
    fs::copy(fs::path(repo) / "data", copy / "data", fs::copy_options::recursive);
    ASSERT_TRUE(vektest::WriteFile((copy / "data" / "texture" / "gard07.tex").string(), "info:AddNode(\"r\", \n"));
    const std::vector<Allowed> allowed = ReadAllowList(std::string(repo) + "/tests/pack/boot_allow.txt");
    EXPECT_EQ(RunOnce(copy.string(), exe), 0);
    bool caught = false;
    for (const std::string& entry : Complaints(vektest::ReadFile(LogPath()))) {
        bool ok = false;
        for (const Allowed& a : allowed) ok = ok || vektest::AllowedBy(entry, a.text);
        caught = caught || (!ok && entry.find("gard07") != std::string::npos);
    }
    EXPECT_TRUE(caught) << vektest::ReadFile(LogPath());
}

} // namespace
