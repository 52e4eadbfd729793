// The island's people and buildings: (a) planning a walker from the landing
// point to the gathering point, and a stroll, each per call, over a map of
// 30 areas (6 x 5 squares of 200 pixels, linked both ways across every
// shared edge); (b) the island's world step with 200 walkers and 45
// buildings, the factories processing and fireworks going (budget: 1 ms per
// fixed step).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/walk_map.h"

namespace {

using vek::vec2;

constexpr int kColumns = 6;
constexpr int kRows = 5;
constexpr float kSide = 200.0f;
constexpr float kBottom = 1000.0f;

void BuildGrid(cWalkMap& map)
{
    std::vector<vec2> links;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const float x = c * kSide, y = kBottom + r * kSide;
            const vec2 square[4] = {{x, y}, {x + kSide, y}, {x + kSide, y + kSide}, {x, y + kSide}};
            map.AddArea(square, 4);
            if (c + 1 < kColumns) {
                const vec2 mid(x + kSide, y + kSide / 2);
                links.insert(links.end(), {mid - vec2(5, 0), mid + vec2(5, 0), mid + vec2(5, 0), mid - vec2(5, 0)});
            }
            if (r + 1 < kRows) {
                const vec2 mid(x + kSide / 2, y + kSide);
                links.insert(links.end(), {mid - vec2(0, 5), mid + vec2(0, 5), mid + vec2(0, 5), mid - vec2(0, 5)});
            }
        }
    map.SetLinkPoints(links);
}

void BM_PlanToGathering(benchmark::State& state)
{
    cWalkMap map(nullptr);
    BuildGrid(map);
    cWalker* w = map.AddFollower(cWalkMap::kLandingPoint);
    for (auto _ : state) {
        w->pos = cWalkMap::kLandingPoint;
        if (!map.PlanToGathering(*w)) state.SkipWithError("no plan");
        benchmark::DoNotOptimize(w->uKeyCount);
    }
}
BENCHMARK(BM_PlanToGathering);

void BM_PlanWander(benchmark::State& state)
{
    cWalkMap map(nullptr);
    BuildGrid(map);
    cWalker* w = map.AddFollower(vec2(500, 1500));
    IslandSeed() = 1;
    for (auto _ : state) {
        w->pos = vec2(500, 1500);
        const vec2 target = map.RandomPointNear(w->pos, 128.0f);
        benchmark::DoNotOptimize(map.PlanWander(*w, target));
    }
}
BENCHMARK(BM_PlanWander);

void BM_TickWorld(benchmark::State& state)
{
    vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-island-data");
    auto island = std::make_unique<cIsland>();
    BuildGrid(island->GetWalkMap());
    island->iMode = cIsland::e_modeIsland;
    std::vector<cHouse*> buildings;
    for (int i = 0; i < 45; ++i) {
        cHouse* b = i % 5 == 0 ? new cFactory("factory00", "", island.get()) : new cHouse("house00", "", island.get());
        b->rect = vek::rectf(40.0f + 25.0f * static_cast<float>(i), 1100.0f + 15.0f * static_cast<float>(i % 40), 90, 90);
        vek::cBitStream def;
        b->SaveDef(def);
        b->LoadDef(def);
        b->iState = cHouse::e_stateBuilt;
        buildings.push_back(b);
    }
    island->AddPeople(1, 200);
    for (auto _ : state) {
        for (cHouse* b : buildings) {
            if (b->iFireworks == 0) b->SetTimer(3);
            if (b->GetType() == cBuild::e_typeFactory) {
                auto* f = static_cast<cFactory*>(b);
                if (f->iUnits == 0) f->iUnits = 5;
                f->StartProcessing();
            }
        }
        island->TickWorld();
    }
    state.counters["walkers"] = static_cast<double>(island->GetWalkMap().GetFollowerCount());
}
BENCHMARK(BM_TickWorld)->Unit(benchmark::kMicrosecond);

} // namespace
