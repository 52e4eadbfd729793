// A late level played whole by the tests' scripted player on the real data
// pack, without drawing: how many fixed steps the game runs per wall-clock
// second while it is played (the rules' own share of a step is measured
// apart by rules_bench). Run it in a throw-away home on SDL's offscreen
// driver, as the GL tests run:
//   tools/run-test.sh gl build/release/bench/level_play_bench
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "game/play/level_bot.h"

namespace {

constexpr int kLevel = 37;

// The play fixture outside a test runner.
struct Session : gametest::PackGame {
    void TestBody() override {}
    void Open() { SetUp(); }
    void Close() { TearDown(); }
    void DrawOnlyNow() { m_pGame->iDrawInterval = 1 << 30; }
    int Frames() const { return m_iFrames; }
};

void LevelPlayedWithoutDrawing(benchmark::State& state)
{
    if (!std::getenv("VEK_REPO_DIR")) setenv("VEK_REPO_DIR", VEK_SOURCE_DIR, 1);
    if (!std::getenv("SDL_VIDEODRIVER")) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    for (auto _ : state) {
        Session session;
        session.Open();
        gametest::cLevelBot bot(session);
        if (!bot.Boot()) {
            state.SkipWithError("the game did not start on the pack");
            break;
        }
        gametest::cLevelBot::ReachLevel(kLevel);
        if (!bot.PlayToIsland() || !bot.StartLevel(kLevel)) {
            state.SkipWithError("the level did not start");
            break;
        }
        // Drawing only the level's first frame.
        session.DrawOnlyNow();
        const int frames = session.Frames();
        const auto start = std::chrono::steady_clock::now();
        const bool won = bot.PlayLevel();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const int steps = session.Frames() - frames;
        state.SetIterationTime(seconds);
        state.counters["steps"] = steps;
        state.counters["steps_per_s"] = seconds > 0.0 ? steps / seconds : 0.0;
        state.counters["level_clock_s"] = gametest::cLevelBot::Player()->m_fClock;
        state.counters["won"] = won ? 1 : 0;
        session.Close();
    }
}
BENCHMARK(LevelPlayedWithoutDrawing)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
