// The tutorial's trigger checks in one fixed step over a busy garden of 80
// objects where no lesson's situation holds, so that every check walks the
// object registry (budget: 0.05 ms a step).
#include <benchmark/benchmark.h>

#include "engine/app/game.h"
#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/level.h"
#include "game/world/ware.h"

namespace {

struct Thing : cObject {
    Thing(cLevel* level, uint32_t type, int row, int column) : cObject(level), uType(type)
    {
        m_vSize = vek::vec2(40.0f, 40.0f);
        SetCell(row, column);
    }
    uint32_t GetType() const override { return uType; }
    uint32_t uType;
};

void BM_TrainingTriggers(benchmark::State& state)
{
    vek::cGame::cSettings settings;
    settings.strName = "TrainingBench";
    auto* game = new vek::cGame(settings);
    CreateWareManager();
    for (const char* name : {"plant00", "plant02", "grass", "flowers"}) new cSort(name, name);
    for (const char* name : {"product00", "egg", "milk", "honey", "nib"}) new cProduct(name, name);
    auto* garden = new cGarden();
    auto* level = new cLevel();
    level->BuildGrid(10, 8);
    garden->m_pLevel = level;
    // Plants (no need), goats not ready, hungry-free animals, holes, tools.
    const uint32_t types[] = {OBJ_PLANT, OBJ_HOLE, OBJ_GOAT, OBJ_PEACOCK, OBJ_TOOL_WATER, OBJ_TOOL_WEED, OBJ_HIVE,
                              OBJ_PUMP};
    for (int i = 0; i < 80; ++i) new Thing(level, types[i % 8], i / 10, i % 10);
    auto* player = new cPlayer("");
    garden->AddPlayer(player);
    garden->ChangePlayer(player->GetName());
    // Every lesson but the clock-driven ones still waits; the clock is early.
    player->m_fClock = 1.0f;
    game->SetFocusWidget("garden");
    for (auto _ : state) garden->UpdateTraining();
    if (garden->m_Training.IsActive()) state.SkipWithError("a lesson started");
    delete garden;
    delete game;
    DestroyWareManager();
}
BENCHMARK(BM_TrainingTriggers)->Unit(benchmark::kMicrosecond);

} // namespace
