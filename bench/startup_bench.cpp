// Start-up to the main menu: the real executable, started 5 times on SDL's
// offscreen driver with dummy audio, each run in a fresh temporary working
// folder whose data/ mirrors the pack through symbolic links, with a
// splash script that shows nothing (the splash ends on its first tick).
// Measured: from the start of the process to the log line "Game
// initialization complete. Run game..."; then the game gets SIGTERM.
// A second configuration also empties conf/loading.lua: the floor.
// Reported: both medians, their difference per loading job, the ratio.
//
// The level start: the game in this process on the same pack (offscreen
// GL, dummy audio, a clock stepped by hand), a fresh profile at the level
// map. Measured: what the "Yes" on a level point sets going, from the
// start of the level (the profile's "save.dat", the field's "level.dat"
// and the island's "island.dat" read, the field rebuilt, the start screen
// shown) to the end of the first frame drawn with the level focused; the
// message box's fade before it is GUI time, not loading, and is left out.
// A second case continues a saved level (the main menu's "continue_last").
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/gui/gui.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/objects/hole.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/ware.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* const kReady = "Game initialization complete. Run game...";

std::string ExeDir()
{
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string path(buf, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/'));
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// data/ of the working folder: every entry of the pack linked, conf/ made
// of links too except the replaced scripts.
void Mirror(const std::string& pack, const std::string& data, bool emptyLoading)
{
    mkdir(data.c_str(), 0700);
    DIR* dir = opendir(pack.c_str());
    if (!dir) return;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == ".." || name == "conf") continue;
        symlink((pack + "/" + name).c_str(), (data + "/" + name).c_str());
    }
    closedir(dir);
    mkdir((data + "/conf").c_str(), 0700);
    if (DIR* conf = opendir((pack + "/conf").c_str())) {
        while (dirent* e = readdir(conf)) {
            const std::string name = e->d_name;
            if (name == "." || name == ".." || name == "splash.lua") continue;
            if (emptyLoading && name == "loading.lua") continue;
            symlink((pack + "/conf/" + name).c_str(), (data + "/conf/" + name).c_str());
        }
        closedir(conf);
    }
    WriteAll(data + "/conf/splash.lua", "function FillSplash(w) end\n");
    if (emptyLoading) WriteAll(data + "/conf/loading.lua", "-- nothing to load\n");
}

void RemoveTree(const std::string& path)
{
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

// Seconds from the start of the process to the ready line; negative when
// the game did not get there within a minute.
double StartOnce(bool emptyLoading)
{
    char tmpl[] = "/tmp/startupbenchXXXXXX";
    if (!mkdtemp(tmpl)) return -1.0;
    const std::string root = tmpl;
    const std::string home = root + "/home", share = root + "/share", run = root + "/run";
    mkdir(home.c_str(), 0700);
    mkdir(share.c_str(), 0700);
    mkdir(run.c_str(), 0700);
    Mirror(std::string(VEK_SOURCE_DIR) + "/data", root + "/data", emptyLoading);
    const std::string exe = ExeDir() + "/../zembrolavine";
    const std::string log = share + "/quarne/Zembrolavine/_log.html";

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(root.c_str()) != 0) _exit(127);
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_DATA_HOME", share.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    double seconds = -1.0;
    while (pid > 0 && Clock::now() - start < std::chrono::seconds(60)) {
        if (ReadAll(log).find(kReady) != std::string::npos) {
            seconds = std::chrono::duration<double>(Clock::now() - start).count();
            break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) break;  // ended before it was ready
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (pid > 0) {
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    RemoveTree(root);
    return seconds;
}

std::vector<double> g_Full, g_Floor;

void Run(benchmark::State& state, bool emptyLoading, std::vector<double>& samples)
{
    for (auto _ : state) {
        const double seconds = StartOnce(emptyLoading);
        if (seconds < 0) {
            state.SkipWithError("the game did not reach the main menu");
            break;
        }
        samples.push_back(seconds);
        state.SetIterationTime(seconds);
    }
}

void StartupFull(benchmark::State& state) { Run(state, false, g_Full); }
void StartupFloor(benchmark::State& state) { Run(state, true, g_Floor); }

BENCHMARK(StartupFull)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(StartupFloor)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// ---- the level start, in this process ----

// The whole game as the entry routine makes it, on the pack, with its own
// data folders below a temporary root; frames on a clock stepped by hand.
class cInProcessGame {
public:
    bool Start()
    {
        char tmpl[] = "/tmp/levelbenchXXXXXX";
        if (!mkdtemp(tmpl)) return false;
        m_strRoot = tmpl;
        for (const char* sub : {"/home", "/share", "/run"}) mkdir((m_strRoot + sub).c_str(), 0700);
        setenv("HOME", (m_strRoot + "/home").c_str(), 1);
        setenv("XDG_DATA_HOME", (m_strRoot + "/share").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (m_strRoot + "/run").c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        vek::platform::WindowSystem().bOpenGL = true;
        vek::cGame::cSettings s;
        s.strTitle = "Zembro Lavine";
        s.strName = "Zembrolavine";
        s.iBits = 32;
        s.iDepthStencil = 1;
        s.fWidth = 1024.0f;
        s.fHeight = 768.0f;
        m_pGame = new vek::cGame(s);
        vek::SetPathMacro(vek::e_macroStaticPath, std::string(VEK_SOURCE_DIR) + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/app");
        m_pGame->InitFrameTiming(&m_Clock);
        if (!m_pGame->CreateWindow(true, 1024, 768, 32) || !CreateWareManager()) return false;
        new cGarden();
        if (g_pGarden->InitGame() != 0) return false;
        for (int i = 0; i < 20000 && !g_pGarden->IsInitFinished(); ++i) Frame();
        if (!g_pGarden->IsInitFinished()) return false;
        Frames(30);
        return g_pGarden->GetPlayer() != nullptr;
    }
    void Stop()
    {
        if (!m_pGame) return;
        delete g_pGarden;
        DestroyWareManager();
        if (vek::platform::WindowSystem().HasWindow()) m_pGame->DestroyWindow();
        delete m_pGame;
        m_pGame = nullptr;
        if (!m_strRoot.empty()) RemoveTree(m_strRoot);
    }
    void Frame()
    {
        vek::platform::cMessage m;
        while (vek::platform::WindowSystem().PeekMessage(m))
            if (m.type != vek::platform::e_msgQuit) m_pGame->WndProc(m);
        m_Clock.Advance(33);
        m_pGame->UpdateFrame();
        m_pGame->UpdateFrameTimer();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) Frame();
    }
    // Back at the level map with no window over it, as before a level
    // point is chosen.
    void ToLevelMap()
    {
        g_pGarden->SetFlowState(0);
        g_pGarden->HideAllWindows();
        m_pGame->iPause = 0;
        m_pGame->SetFocusWidget("island");
        g_pGarden->m_pIsland->SetMode(cIsland::e_modeIsland);
        Frames(40);
    }
    // Seconds from the level's start to the end of its first drawn frame.
    double TimeStart(int level)
    {
        const Clock::time_point start = Clock::now();
        g_pGarden->StartLevel(level);
        Frame();
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    vek::cGame* m_pGame = nullptr;

private:
    std::string m_strRoot;
    vek::platform::cManualClock m_Clock{1000};
};

std::vector<double> g_LevelStart, g_LevelContinue;

// `level` >= 0 starts that level as a level point's "Yes" does; -1
// continues level 0 saved with a crop sown, as "continue_last" does.
void LevelStart(benchmark::State& state, int level, std::vector<double>& samples)
{
    cInProcessGame game;
    if (!game.Start()) {
        state.SkipWithError("the game did not reach the main menu");
        game.Stop();
        return;
    }
    if (level < 0) {
        // A level in play, saved as the running game: its tasks, money and
        // a field with the beds sown.
        g_pGarden->StartLevel(0);
        game.Frames(10);
        cLevel* field = g_pGarden->GetLevel();
        const int32_t tomato = g_pWareManager->FindWare("plant00");
        std::vector<cell> beds;
        for (cObject* object : field->GetObjects())
            if (object->IsType(OBJ_HOLE)) beds.push_back(object->GetCell());
        for (const cell& bed : beds) field->AddPlant(bed, tomato);
        g_pGarden->GetPlayer()->SaveGame(-1);
    }
    for (auto _ : state) {
        game.ToLevelMap();
        const double seconds = game.TimeStart(level);
        samples.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    game.Stop();
}

void LevelStartNew(benchmark::State& state) { LevelStart(state, 0, g_LevelStart); }
void LevelStartContinue(benchmark::State& state) { LevelStart(state, -1, g_LevelContinue); }

BENCHMARK(LevelStartNew)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(LevelStartContinue)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

double Median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int LoadingJobs()
{
    std::istringstream in(ReadAll(std::string(VEK_SOURCE_DIR) + "/data/conf/loading.lua"));
    int jobs = 0;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("cLoad", 0) == 0) ++jobs;
    return jobs;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double full = Median(g_Full), floor = Median(g_Floor);
    const int jobs = LoadingJobs();
    if (!g_Full.empty() || !g_Floor.empty()) {
        std::printf("start-up to the main menu, median of %zu runs: %.1f ms\n", g_Full.size(), full * 1e3);
        std::printf("the same with nothing to load (the floor):   %.1f ms\n", floor * 1e3);
        if (jobs > 0)
            std::printf("difference per loading job (%d jobs): %.2f ms\n", jobs, (full - floor) * 1e3 / jobs);
        if (floor > 0) std::printf("ratio full / floor: %.2f\n", full / floor);
    }
    // The first start of a run is what a player waits for: the level's
    // pictures reach the device then.
    if (!g_LevelStart.empty())
        std::printf("level start to its first drawn frame: first of the run %.1f ms, median of %zu: %.1f ms "
                    "(goal 200 ms)\n",
                    g_LevelStart.front() * 1e3, g_LevelStart.size(), Median(g_LevelStart) * 1e3);
    if (!g_LevelContinue.empty())
        std::printf("a saved level continued, the same: first %.1f ms, median of %zu: %.1f ms\n",
                    g_LevelContinue.front() * 1e3, g_LevelContinue.size(), Median(g_LevelContinue) * 1e3);
    return 0;
}
