// Random bytes read as the island's static building list: never a crash,
// and never more buildings than the bytes could describe.
#include <cstdint>
#include <cstdlib>

#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "game/world/building.h"
#include "game/world/island.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = (vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-island-data"), true);
    (void)once;
    cIsland island;
    vek::cBitStream s;
    s.SetData(data, size);
    island.ReadBuildings(s, "fuzz");
    // A record is at least a name length, a value, a kind and a position.
    if (island.GetBuildings().size() * 18 > size) std::abort();
    if (island.GetWalkMap().GetObstacleCount() != island.GetBuildings().size()) std::abort();
    island.UpdateHouses();
    for (int i = 0; i < 10; ++i) island.TickWorld();
    island.ClearBuildings();
    if (island.GetWalkMap().GetObstacleCount() != 0) std::abort();
    return 0;
}
