// Random bytes read as the island's geometry: never a crash, never more
// held than the bytes describe, and a level map of three dots per gap.
#include <cstdint>
#include <cstdlib>

#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "game/world/island.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No static folder: the island starts without files.
    static const bool once = (vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-island-data"), true);
    (void)once;
    cIsland island;
    vek::cBitStream s;
    s.SetData(data, size);
    island.ReadPoints(s, "fuzz");
    size_t held = island.vecLinks.size() + island.vecLevelPoints.size() + static_cast<size_t>(island.route.GetCount());
    for (const cIsland::cArea& a : island.vecAreas) held += a.polygon.size() + a.triangles.size() / 3;
    if (held * 8 > size + 8) std::abort();
    if (island.vecLevelPoints.size() >= 2 && island.vecPathDots.size() != 3 * (island.vecLevelPoints.size() - 1))
        std::abort();
    if (island.vecLinks.size() % 2 != 0) std::abort();
    // The walk map takes every area that has points.
    size_t walkable = 0;
    for (const cIsland::cArea& a : island.vecAreas) walkable += a.polygon.empty() ? 0 : 1;
    if (island.GetWalkMap().GetAreaCount() != walkable) std::abort();
    // The people walk over whatever was read.
    island.AddPeople(0, 3);
    island.AddPeople(1, 3);
    for (int i = 0; i < 20; ++i) island.TickWorld();
    return 0;
}
