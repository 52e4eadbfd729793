// Random bytes read as a player's island file over a fixed static island:
// never a crash, the static buildings all stay, and what the island writes
// back is read again without complaint.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "game/world/building.h"
#include "game/world/island.h"

namespace {

// Two houses and two factories, as the static file lists them.
vek::cBitStream StaticList()
{
    vek::cBitStream s;
    const char* names[] = {"house00", "factory00", "market00", "factory01"};
    s.WriteInt(4);
    for (int i = 0; i < 4; ++i) {
        s.WriteString(names[i]);
        s.WriteInt(i);
        s.WriteInt(i % 2 ? 4 : 3);
        s.WriteFloat(100.0f * static_cast<float>(i));
        s.WriteFloat(50.0f);
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool once = (vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-island-data"), true);
    (void)once;
    cIsland island;
    vek::cBitStream list = StaticList();
    if (!island.ReadBuildings(list, "static")) std::abort();
    vek::cBitStream s;
    s.SetData(data, size);
    island.ApplyPlayerRecords(s, "fuzz");
    if (island.GetBuildings().size() != 4) std::abort();
    for (const cHouse* b : island.GetBuildings())
        if (b->GetType() == cBuild::e_typeFactory && static_cast<const cFactory*>(b)->iUnits < 0) std::abort();
    vek::cBitStream out;
    island.WritePlayerRecords(out);
    vek::cBitStream back;
    back.SetData(out.GetData().data(), out.GetByteCount());
    if (!island.ApplyPlayerRecords(back, "again")) std::abort();
    return 0;
}
