// What a start of the whole game and its teardown leave behind in the
// process: the game is started as the entry routine starts it (the
// single-instance lock, the engine, the system report, the window, the
// ware manager, the game object, its start-up to the main menu on the
// tests' small pack, or with --pack on the repository's) and torn down in
// the entry routine's order, N times in one process. After each cycle
// the process's open file descriptors, threads, memory maps, thread-local
// keys still free and resident memory are counted, with the SDL
// subsystems still up, the SDL windows alive and whether a GL context is
// still current. On a failed start the end of its log is shown. The
// descriptors and threads there after the last cycle and not after the
// first are listed by what they are.
//
// Usage: start_teardown_bench [cycles] [--every K] [--pack] [--display] [--sound]
// Cycles default to 300, a line every K cycles (25). A start on the
// repository's pack takes seconds, on the small pack under one. SDL's
// offscreen video and dummy audio drivers are used unless --display and
// --sound leave the choice to SDL, as a player's start does. Run it in a
// throw-away home, as the GL tests run:
//   tools/run-test.sh gl build/release/bench/start_teardown_bench 300
// or under an X server to see the X11 driver:
//   tools/run-test.sh x11 build/release/bench/start_teardown_bench 300 --display
#include <SDL.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/app/sysinfo.h"
#include "engine/core/filename.h"
#include "engine/gui/gui.h"
#include "game/shell/entry.h"
#include "game/shell/garden.h"
#include "game/shell/profile_host.h"
#include "game/world/ware.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/window.h"
#include "game/game_fixture.h"
#include "support/thread_keys.h"

namespace {

// The tests' small pack, written by the game tests' own fixture.
struct cSmallPack : gametest::GameFixture {
    void TestBody() override {}
    std::string Write()
    {
        SetUp();
        WritePack();
        return m_strDir + "/data";
    }
};

// ---- what the process holds ----

// Entries of a /proc folder other than "." and "..".
std::set<std::string> Entries(const char* folder)
{
    std::set<std::string> names;
    if (DIR* dir = opendir(folder)) {
        while (dirent* e = readdir(dir))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.insert(e->d_name);
        closedir(dir);
    }
    return names;
}

// What each open descriptor is ("/dev/dri/renderD128", "socket:[..]",
// "anon_inode:[eventfd]"); the descriptor that reads the folder is left out.
std::map<int, std::string> Descriptors()
{
    std::map<int, std::string> fds;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return fds;
    const int own = dirfd(dir);
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        const int fd = std::atoi(e->d_name);
        if (fd == own) continue;
        char target[4096];
        const std::string link = std::string("/proc/self/fd/") + e->d_name;
        const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
        fds[fd] = n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string("?");
    }
    closedir(dir);
    return fds;
}

// Thread id -> its name.
std::map<std::string, std::string> Threads()
{
    std::map<std::string, std::string> threads;
    for (const std::string& tid : Entries("/proc/self/task")) {
        std::ifstream in("/proc/self/task/" + tid + "/comm");
        std::string name;
        std::getline(in, name);
        threads[tid] = name;
    }
    return threads;
}

long RssKb()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

int MapCount()
{
    std::ifstream in("/proc/self/maps");
    int lines = 0;
    for (std::string line; std::getline(in, line);) ++lines;
    return lines;
}

using vektest::FreeThreadKeys;

// SDL windows are numbered from 1 up; the highest number handed out so far
// bounds the search for those still alive.
Uint32 g_uHighestWindowId = 0;

int LiveSdlWindows()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
    int live = 0;
    for (Uint32 id = 1; id <= g_uHighestWindowId; ++id)
        if (SDL_GetWindowFromID(id)) ++live;
    return live;
}

struct cSample {
    size_t fds = 0, threads = 0;
    int maps = 0, keys = 0;
    long rssKb = 0;
    Uint32 sdlInit = 0;
    int sdlWindows = 0;
    bool glCurrent = false;
};

cSample Take()
{
    cSample s;
    s.fds = Descriptors().size();
    s.threads = Entries("/proc/self/task").size();
    s.maps = MapCount();
    s.keys = FreeThreadKeys();
    s.rssKb = RssKb();
    s.sdlInit = SDL_WasInit(SDL_INIT_EVERYTHING);
    s.sdlWindows = LiveSdlWindows();
    s.glCurrent = SDL_WasInit(SDL_INIT_VIDEO) && SDL_GL_GetCurrentContext() != nullptr;
    return s;
}

void Print(const char* what, int cycle, const cSample& s, double ms)
{
    std::printf("%-6s %5d  fds %3zu  threads %3zu  maps %4d  keys left %4d  rss %7ld kB  sdl 0x%04x  windows %d  "
                "gl %s  %5.0f ms\n",
                what, cycle, s.fds, s.threads, s.maps, s.keys, s.rssKb, s.sdlInit, s.sdlWindows,
                s.glCurrent ? "current" : "none", ms);
    std::fflush(stdout);
}

// ---- one start and its teardown ----

class cFrameClock : public vek::platform::iClock {
public:
    int64_t Counter() override { return iTicks; }
    int64_t Frequency() override { return 1000; }
    int64_t iTicks = 0;
};

void RemoveTree(const std::string& path)
{
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

// The HTML log of the last start (it stays after the teardown).
std::string g_strLogPath;

// The last lines of the log, without their markup: why a start failed.
void PrintLogTail(size_t count)
{
    std::ifstream in(g_strLogPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        std::string text;
        bool tag = false;
        for (char ch : line) {
            if (ch == '<') tag = true;
            else if (ch == '>') tag = false;
            else if (!tag) text += ch;
        }
        if (!text.empty()) lines.push_back(text);
    }
    for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        std::printf("  | %s\n", lines[i].c_str());
}

// The entry routine with the main loop replaced by frames on a clock
// stepped by hand: to the main menu and 30 frames of it. False when the
// game did not get there.
bool Cycle(const std::string& root, const std::string& pack)
{
    const std::string app = root + "/app";
    mkdir(app.c_str(), 0700);
    const vek::cGame::cSettings s = MakeApplicationRecord();

    vek::platform::cInstanceLock lock;
    vek::ResolvePathMacros(s.strName);
    if (lock.Acquire("GardenMutex", app) != vek::platform::cInstanceLock::e_lockTaken) return false;
    GetProfileHost() = cProfileHost();
    vek::platform::WindowSystem().bOpenGL = true;
    auto* engine = new vek::cGame(s);
    // The engine opened its log where its own folders are.
    g_strLogPath = std::string(vek::GetPathMacro(vek::e_macroAppPath)) + "/_log.html";
    vek::SetPathMacro(vek::e_macroStaticPath, pack);
    vek::SetPathMacro(vek::e_macroAppPath, app);
    cFrameClock clock;
    engine->InitFrameTiming(&clock);
    vek::DumpSystemInfo("cpu os video");
    bool ok = engine->CreateWindow(true, 1024, 768, 32);
    if (ok) {
        if (SDL_Window* win = SDL_GL_GetCurrentWindow())
            g_uHighestWindowId = std::max(g_uHighestWindowId, SDL_GetWindowID(win));
        vek::DumpSystemInfo("render sound");
        ok = CreateWareManager();
    }
    if (ok) {
        new cGarden();
        ok = g_pGarden->InitGame() == 0;
    }
    for (int frame = 0; ok && frame < 20000; ++frame) {
        vek::platform::cMessage m;
        while (vek::platform::WindowSystem().PeekMessage(m))
            if (m.type != vek::platform::e_msgQuit) engine->WndProc(m);
        clock.iTicks += 33;
        engine->UpdateFrame();
        engine->UpdateFrameTimer();
        if (g_pGarden->IsInitFinished() && frame >= 30) break;
    }
    ok = ok && g_pGarden->IsInitFinished() && engine->pGUI->IsWindowShown("main");
    delete g_pGarden;
    DestroyWareManager();
    if (vek::platform::WindowSystem().HasWindow()) engine->DestroyWindow();
    delete engine;
    lock.Release();
    RemoveTree(app);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    int cycles = 300, every = 25;
    bool onPack = false, display = false, sound = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pack") == 0)
            onPack = true;
        else if (std::strcmp(argv[i], "--display") == 0)
            display = true;
        else if (std::strcmp(argv[i], "--sound") == 0)
            sound = true;
        else if (std::strcmp(argv[i], "--every") == 0 && i + 1 < argc)
            every = std::max(1, std::atoi(argv[++i]));
        else
            cycles = std::max(1, std::atoi(argv[i]));
    }
    char tmpl[] = "/tmp/teardownbenchXXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const std::string root = tmpl;
    // A home of its own unless one is given (run-test.sh gives one).
    if (!std::getenv("VEK_TEST_TMP")) {
        for (const char* sub : {"/home", "/share", "/run"}) mkdir((root + sub).c_str(), 0700);
        setenv("HOME", (root + "/home").c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "/share").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (root + "/run").c_str(), 1);
    }
    if (!display) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (sound)
        unsetenv("SDL_AUDIODRIVER");
    else
        setenv("SDL_AUDIODRIVER", "dummy", 0);

    cSmallPack small;
    const std::string pack = onPack ? std::string(VEK_SOURCE_DIR) + "/data" : small.Write();
    if (pack.empty()) return 1;

    const cSample before = Take();
    Print("before", 0, before, 0.0);
    std::map<int, std::string> fdsAfterFirst;
    std::map<std::string, std::string> threadsAfterFirst;
    cSample first, last;
    double totalMs = 0.0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const auto start = std::chrono::steady_clock::now();
        if (!Cycle(root, pack)) {
            std::printf("cycle %d: the game did not reach the main menu; the end of its log:\n", cycle);
            PrintLogTail(25);
            Print("then", cycle, Take(), 0.0);
            return 1;
        }
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        totalMs += ms;
        last = Take();
        if (cycle == 1) {
            first = last;
            fdsAfterFirst = Descriptors();
            threadsAfterFirst = Threads();
        }
        if (cycle == 1 || cycle % every == 0 || cycle == cycles) Print("after", cycle, last, ms);
    }
    RemoveTree(root);

    const double span = cycles > 1 ? cycles - 1 : 1;
    std::printf("\n%d cycles, %.0f ms a cycle on average\n", cycles, totalMs / cycles);
    std::printf("the first cycle left: fds %+ld, threads %+ld, maps %+d, thread keys %+d, rss %+ld kB\n",
                static_cast<long>(first.fds) - static_cast<long>(before.fds),
                static_cast<long>(first.threads) - static_cast<long>(before.threads), first.maps - before.maps,
                before.keys - first.keys, first.rssKb - before.rssKb);
    std::printf("each further cycle left: fds %+.2f, threads %+.2f, maps %+.2f, thread keys %+.2f, rss %+.1f kB\n",
                (static_cast<double>(last.fds) - static_cast<double>(first.fds)) / span,
                (static_cast<double>(last.threads) - static_cast<double>(first.threads)) / span,
                (last.maps - first.maps) / span, (first.keys - last.keys) / span, (last.rssKb - first.rssKb) / span);
    // What the later cycles added, grouped by what it is.
    std::map<std::string, int> newFds, newThreads;
    for (const auto& [fd, target] : Descriptors())
        if (!fdsAfterFirst.count(fd)) ++newFds[target.rfind("socket:", 0) == 0 ? "socket" : target];
    for (const auto& [tid, name] : Threads())
        if (!threadsAfterFirst.count(tid)) ++newThreads[name];
    for (const auto& [target, count] : newFds) std::printf("  %4d more descriptors on %s\n", count, target.c_str());
    for (const auto& [name, count] : newThreads) std::printf("  %4d more threads named %s\n", count, name.c_str());
    return 0;
}
