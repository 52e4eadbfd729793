// The rules' share of one fixed step: the session step (clock, task panel,
// joins, the won test, timers, ships) and a renewal of every object's need,
// over a field of 80 objects with four active tasks.
#include <benchmark/benchmark.h>

#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level.h"
#include "game/world/rules.h"
#include "game/world/ware.h"

namespace {

struct Thing : cObject {
    Thing(cLevel* level, uint32_t type) : cObject(level), uType(type) {}
    uint32_t GetType() const override { return uType; }
    uint32_t uType;
};

class cBenchGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

void BM_RulesStep(benchmark::State& state)
{
    CreateWareManager();
    CreateWares();
    auto* game = new cBenchGarden();
    auto* player = new cPlayer("plrbench");
    game->SetCurrent(player);
    auto* level = new cLevel();
    game->m_pLevel = level;
    const uint32_t types[] = {OBJ_PLANT, OBJ_HOLE, OBJ_OSTRICH, OBJ_EGG, OBJ_GOAT};
    for (int i = 0; i < 80; ++i) new Thing(level, types[i % 5]);
    level->fnObjectWare = [](const cObject*) { return 3; };
    level->fnRenewNeed = [](cObject*, bool) { return false; };
    game->SetupLevel(37);
    for (int i = 0; i < 91 * 30; ++i) game->UpdateSession();  // all four tasks active
    for (auto _ : state) {
        game->UpdateSession();
        level->UpdateNeeds(nullptr);
        player->m_fClock = 100.0f;  // stays in the same span
    }
    state.counters["tasks"] = static_cast<double>(player->m_Tasks.size());
    game->m_pLevel = nullptr;
    delete level;
    game->SetCurrent(nullptr);
    delete player;
    delete game;
    DestroyWareManager();
}
BENCHMARK(BM_RulesStep)->Unit(benchmark::kMicrosecond);

} // namespace
