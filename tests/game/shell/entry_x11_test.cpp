// Starts the game program in a real window (under Xvfb), from the
// repository with its real data folder, so that the real start-up runs
// (the splash, the window made again by the first start's settings,
// loading), and ends it the way a desktop session does.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include "game/shell/entry.h"
#include "platform/window.h"
#include "support/temp_dir.h"
#include "support/time_scale.h"
#include "support/xvfb.h"

// Last: Xlib's macros (Bool, None, Status) would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace {

std::string LogPath()
{
    return std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine/_log.html";
}

// Waits up to `seconds` (stretched on a loaded machine) for the child to
// end; its exit code, or -1. `cpu` gets the processor time the child used
// in all, every thread of it, in seconds.
int WaitForExit(pid_t pid, double seconds, double* cpu = nullptr)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(vektest::Scaled(seconds));
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, WNOHANG, &usage) == pid) {
            if (cpu)
                *cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

// The game program started from the repository, as a player starts it;
// `display` replaces DISPLAY when given. The child's id.
pid_t StartGame(const char* display = nullptr)
{
    const char* exe = std::getenv("VEK_GAME_EXE");
    const char* repo = std::getenv("VEK_REPO_DIR");
    if (!exe || !repo) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        if (display) setenv("DISPLAY", display, 1);
        if (chdir(repo) != 0) _exit(126);
        execl(exe, exe, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

const char* const kLogFooter = "</p></body>\n</html>\n";

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The log of a game ended by `cause`: the cause is logged, then the whole
// teardown runs (the wares destroyed, the display restored) and the log is
// closed.
void ExpectTeardownAfter(const std::string& log, const char* cause)
{
    const size_t said = log.find(cause);
    const size_t wares = log.find("DestroyWareManager: ");
    // The last one: a first start makes its window again, windowed.
    const size_t restore = log.rfind("Restore display settings");
    EXPECT_NE(said, std::string::npos) << cause;
    ASSERT_NE(wares, std::string::npos);
    ASSERT_NE(restore, std::string::npos);
    EXPECT_LT(said, wares);
    EXPECT_LT(wares, restore);
    EXPECT_TRUE(EndsWith(log, kLogFooter));
}

// The processor time a running child has used so far, every thread of it,
// in seconds; -1 when it cannot be read.
double ProcessorSeconds(pid_t pid)
{
    const std::string stat = vektest::ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t name = stat.rfind(')');
    if (name == std::string::npos) return -1.0;
    // After the name: the state (field 3) ... user time (14), system time (15).
    std::istringstream fields(stat.substr(name + 1));
    std::string skipped;
    for (int field = 3; field <= 13; ++field) fields >> skipped;
    unsigned long long user = 0, system = 0;
    if (!(fields >> user >> system)) return -1.0;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Waits up to `seconds` (stretched on a loaded machine) for the text in the log.
bool WaitForLogText(const std::string& text, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(vektest::Scaled(seconds));
    while (std::chrono::steady_clock::now() < end) {
        if (vektest::ReadFile(LogPath()).find(text) != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(EntryWindow, RunsTheLoopAndShutsDownCleanlyOnTerminate)
{
    std::remove(LogPath().c_str());
    const pid_t pid = StartGame();
    ASSERT_GT(pid, 0);
    // The window exists once the ware manager is made (after the window).
    const bool started = WaitForLogText("CreateWareManager: </span><span class='text'>Ok", 60.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames
    kill(pid, SIGTERM);
    const int code = WaitForExit(pid, 60.0);
    ASSERT_TRUE(started) << vektest::ReadFile(LogPath());
    EXPECT_EQ(code, 0);

    const std::string log = vektest::ReadFile(LogPath());
    const size_t wares = log.find("DestroyWareManager: ");
    // The last one: a first start makes its window again, windowed.
    const size_t restore = log.rfind("Restore display settings");
    ASSERT_NE(wares, std::string::npos);
    ASSERT_NE(restore, std::string::npos);
    EXPECT_LT(wares, restore);
    EXPECT_TRUE(EndsWith(log, kLogFooter));
}

// A quit request at any moment of start-up, while the window is made again
// and while the game loads included, ends the game through its normal
// teardown: exit code 0 and the log closed. The moments count from the
// launch; a process still being loaded (a slow sanitizer build) runs no
// code of its own yet, so the request waits at least for its log to open.
TEST(EntryWindow, AQuitAtAnyMomentOfStartUpEndsTheGameThroughItsTeardown)
{
    const std::pair<double, int> requests[] = {{0.1, SIGTERM}, {0.3, SIGTERM}, {0.6, SIGTERM}, {0.6, SIGINT},
                                               {1.0, SIGTERM}, {3.0, SIGTERM}};
    for (const auto& [seconds, sig] : requests) {
        SCOPED_TRACE(std::to_string(seconds) + " s, signal " + std::to_string(sig));
        std::remove(LogPath().c_str());
        const auto launch = std::chrono::steady_clock::now();
        const pid_t pid = StartGame();
        ASSERT_GT(pid, 0);
        const auto opened = launch + std::chrono::duration<double>(vektest::Scaled(30.0));
        while (vektest::ReadFile(LogPath()).empty() && std::chrono::steady_clock::now() < opened)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_until(launch + std::chrono::duration<double>(seconds));
        kill(pid, sig);
        EXPECT_EQ(WaitForExit(pid, 60.0), 0);
        const std::string log = vektest::ReadFile(LogPath());
        EXPECT_TRUE(EndsWith(log, kLogFooter)) << log.substr(log.size() > 2000 ? log.size() - 2000 : 0);
    }
}

// A settings file that would claim memory without end, recurse deeply or
// build a huge string is refused as damaged (kept as settings.lua.bad)
// while start-up goes on, and a quit request that comes while it is read
// ends the game through its teardown.
TEST(EntryWindow, ASettingsFileThatRunsAwayIsRefusedAndAQuitStillEndsTheGame)
{
    const std::string conf = std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine/conf";
    std::filesystem::create_directories(conf);
    const std::string files[] = {
        "local s = \"A\" for i = 1, 40 do s = s .. s end\nsettings = { player = s }\n",
        "local function f(n) return 1 + f(n + 1) end\nsettings = { mouse_speed = f(1) }\n",
        "settings = { player = (\"x\"):rep(1e10) }\n",
    };
    for (const std::string& text : files) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(vektest::WriteFile(conf + "/settings.lua", text));
        std::remove(LogPath().c_str());
        const pid_t pid = StartGame();
        ASSERT_GT(pid, 0);
        const bool reading = WaitForLogText("Start game initialization...", 60.0);
        kill(pid, SIGTERM);
        EXPECT_EQ(WaitForExit(pid, 60.0), 0);
        ASSERT_TRUE(reading);
        const std::string log = vektest::ReadFile(LogPath());
        EXPECT_NE(log.find("settings.lua is damaged"), std::string::npos);
        EXPECT_TRUE(EndsWith(log, kLogFooter));
        EXPECT_EQ(vektest::ReadFile(conf + "/settings.lua.bad"), text);
        std::remove((conf + "/settings.lua.bad").c_str());
    }

    // A long file whose every line gives up quickly on its own: the file as
    // a whole is refused within a couple of seconds of the game's processor
    // time, and a quit request while it is read ends the game within a
    // couple of seconds of its processor time (the wall time depends on
    // the machine's load).
    std::string runaway;
    for (int i = 0; i < 100000; ++i)
        runaway += "x = (function() local s=\"A\" for i=1,40 do s=s..s end return s end)()\n";
    for (const bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit while it is read" : "read to its refusal");
        ASSERT_TRUE(vektest::WriteFile(conf + "/settings.lua", runaway));
        std::remove(LogPath().c_str());
        const pid_t pid = StartGame();
        ASSERT_GT(pid, 0);
        const bool reading = WaitForLogText("Start game initialization...", 60.0);
        const double used = ProcessorSeconds(pid);
        if (quit) kill(pid, SIGTERM);
        const bool refused = quit || WaitForLogText("settings.lua is damaged", 300.0);
        const double reading_used = ProcessorSeconds(pid) - used;
        if (!quit) kill(pid, SIGTERM);
        double total = -1.0;
        const int code = WaitForExit(pid, 300.0, &total);
        ASSERT_TRUE(reading);
        ASSERT_GE(used, 0.0);
        EXPECT_TRUE(refused);
        EXPECT_EQ(code, 0);
        if (quit) {
            EXPECT_LT(total - used, 2.0);
        } else {
            EXPECT_LT(reading_used, 2.0);
        }
        EXPECT_TRUE(vektest::ReadFile(conf + "/settings.lua.bad") == runaway);
        std::remove((conf + "/settings.lua.bad").c_str());
    }
}

// The small-work-area flag on desktops of two sizes (X servers of the
// test's own; each check runs in a child process, as the window system
// connects once per process).
TEST(EntryWindow, SmallWorkAreaFlagFollowsTheDesktopSize)
{
    auto detect = [](int width, int height) {
        vektest::cXvfb server;
        if (!server.Start(width, height)) return -1;
        const pid_t pid = fork();
        if (pid < 0) return -1;
        if (pid == 0) {
            setenv("DISPLAY", server.Display().c_str(), 1);
            unsetenv("SDL_VIDEODRIVER");
            _exit(DetectSmallWorkArea() ? 1 : 0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(detect(1280, 720), 1) << "720 rows are fewer than the game's 768";
    EXPECT_EQ(detect(1024, 768), 0) << "exactly the game's size is enough";
    EXPECT_EQ(detect(1000, 800), 1);
}

// The X server dies under the running game: the game ends through its
// normal teardown, so the log is closed properly, and does so at once rather
// than spinning on the dead connection.
TEST(EntryWindow, LosingTheXServerEndsTheGameThroughItsTeardown)
{
    vektest::cXvfb server;
    ASSERT_TRUE(server.Start(1024, 768));
    std::remove(LogPath().c_str());
    const pid_t pid = StartGame(server.Display().c_str());
    ASSERT_GT(pid, 0);
    // The server goes once the game runs its main menu.
    const bool started = WaitForLogText("Game initialization complete. Run game...", 120.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames
    const double used = ProcessorSeconds(pid);
    server.Stop();
    double total = -1.0;
    const int code = WaitForExit(pid, 120.0, &total);
    ASSERT_TRUE(started) << vektest::ReadFile(LogPath());
    ASSERT_GE(used, 0.0);
    // It ends on its own, through the teardown (the log below) and not by
    // the watchdog, and without spinning on the dead connection: the
    // teardown costs little processor time, whatever the machine's load.
    EXPECT_LT(total - used, 5.0);
    EXPECT_EQ(code, 1);

    const std::string log = vektest::ReadFile(LogPath());
    ExpectTeardownAfter(log, "The connection to the display was lost");
}

// The window with the process id `pid` in _NET_WM_PID that is shown on the
// display, as a second X client sees it; 0 when there is none.
Window FindShownWindowOf(Display* display, pid_t pid)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        XWindowAttributes attributes;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                               &items, &after, &data) == Success &&
            data && format == 32 && items == 1 &&
            *reinterpret_cast<unsigned long*>(data) == static_cast<unsigned long>(pid) &&
            XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
            found = children[i];
        if (data) XFree(data);
    }
    if (children) XFree(children);
    return found;
}

// Another program destroys the game's window under the running game (as
// "close this window" tools do): the errors of the frames that still draw
// into it and of the teardown do not end the process; the game ends the way
// a destroyed window ends it, through its teardown: exit code 0, the
// profile saved, the log closed.
TEST(EntryWindow, AWindowDestroyedByAnotherProgramEndsTheGameThroughItsTeardown)
{
    vektest::cXvfb server;
    ASSERT_TRUE(server.Start(1024, 768));
    std::remove(LogPath().c_str());
    const pid_t pid = StartGame(server.Display().c_str());
    ASSERT_GT(pid, 0);
    const bool started = WaitForLogText("Game initialization complete. Run game...", 120.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // some frames
    Display* other = XOpenDisplay(server.Display().c_str());
    const Window window = other ? FindShownWindowOf(other, pid) : 0;
    if (window) XDestroyWindow(other, window);
    if (other) XCloseDisplay(other);
    const int code = WaitForExit(pid, 60.0);
    ASSERT_TRUE(started) << vektest::ReadFile(LogPath());
    ASSERT_NE(window, 0u);
    EXPECT_EQ(code, 0);

    const std::string log = vektest::ReadFile(LogPath());
    ExpectTeardownAfter(log, "The window was destroyed from outside the game");
    // A fresh home: only the teardown writes the profile.
    const std::string profile =
        std::string(std::getenv("XDG_DATA_HOME")) + "/quarne/Zembrolavine/profile/plr000/";
    EXPECT_FALSE(vektest::ReadFile(profile + "player.dat").empty());
    EXPECT_FALSE(vektest::ReadFile(profile + "save.dat").empty());
}

// Inside the process, without a frame drawn: an X error about something
// else is handed out for the log and the program goes on; the window's
// destruction by another client is noticed from its event alone, and the
// window system's teardown does not wait for the vanished window.
TEST(EntryWindow, TheWindowSystemSurvivesXErrorsAndNoticesItsWindowDestroyed)
{
    vektest::cXvfb server;
    ASSERT_TRUE(server.Start(1024, 768));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("DISPLAY", server.Display().c_str(), 1);
        unsetenv("SDL_VIDEODRIVER");
        namespace vp = vek::platform;
        auto* ws = new vp::cWindowSystem;
        vp::cWindowDesc desc;
        desc.title = "survivor";
        desc.width = 320;
        desc.height = 240;
        desc.opengl = false;
        if (!ws->Init() || !ws->CreateWindow(desc)) _exit(10);
        ws->Show();
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(ws->GetWindow()->GetSdlWindow(), &info)) _exit(11);
        // Freeing a pixmap that does not exist: Xlib's own handler would exit.
        XFreePixmap(info.info.x11.display, 0x1fffffe);
        XSync(info.info.x11.display, False);
        auto await = [&](vp::eMessage type, vp::cMessage& out) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (std::chrono::steady_clock::now() < end) {
                if (!ws->PeekMessage(out))
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                else if (out.type == type)
                    return true;
            }
            return false;
        };
        vp::cMessage m;
        if (!await(vp::e_msgDisplayError, m) || m.a != BadPixmap || m.b != X_FreePixmap) _exit(12);
        Display* other = XOpenDisplay(nullptr);
        if (!other) _exit(13);
        XDestroyWindow(other, info.info.x11.window);
        XCloseDisplay(other);
        if (!await(vp::e_msgWindowLost, m)) _exit(14);
        ws->DestroyWindow();
        delete ws;
        _exit(0);
    }
    EXPECT_EQ(WaitForExit(pid, 60.0), 0);
}

} // namespace
