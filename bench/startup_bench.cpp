// Start-up to the main menu: the real executable, started 5 times on SDL's
// offscreen driver with dummy audio, each run in a fresh temporary working
// folder whose data/ mirrors the pack through symbolic links, with a
// splash script that shows nothing (the splash ends on its first tick).
// Measured: from the start of the process to the log line "Game
// initialization complete. Run game..."; then the game gets SIGTERM.
// A second configuration also empties conf/loading.lua: the floor.
// Reported: both medians, their difference per loading job, the ratio.
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
    std::printf("start-up to the main menu, median of %zu runs: %.1f ms\n", g_Full.size(), full * 1e3);
    std::printf("the same with nothing to load (the floor):   %.1f ms\n", floor * 1e3);
    if (jobs > 0) std::printf("difference per loading job (%d jobs): %.2f ms\n", jobs, (full - floor) * 1e3 / jobs);
    if (floor > 0) std::printf("ratio full / floor: %.2f\n", full / floor);
    return 0;
}
