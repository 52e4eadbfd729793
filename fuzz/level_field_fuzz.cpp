// Random bytes read as a garden's "level.dat": never a crash, the fixed
// objects always stand where they belong, no count makes more plants than
// the field has cells, and what the field writes back loads again cleanly.
#include <cstdint>
#include <cstdlib>

#include "engine/core/bitstream.h"
#include "game/objects/object.h"
#include "game/world/level.h"
#include "game/world/ware.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool wares = (CreateWareManager(), CreateWares(), true);
    (void)wares;
    cLevel level;
    vek::cBitStream in;
    in.SetData(data, size);
    vek::string problem;
    level.LoadField(&in, &problem);
    if (!level.HasObject(level.m_uGardenerId) || !level.HasObject(level.m_uCarId) || !level.HasObject(level.m_uPumpId))
        std::abort();
    if (!level.IsValidCell(level.GetObject(level.m_uGardenerId)->GetCell())) std::abort();
    int plants = 0;
    for (cObject* object : level.GetObjects()) {
        if (object->IsType(OBJ_PLANT)) ++plants;
        if (object->IsType(OBJ_TOOL) && !level.IsValidCell(object->GetCell())) std::abort();
    }
    if (plants > 80) std::abort();

    vek::cBitStream out;
    if (!level.SaveField(out)) std::abort();
    vek::cBitStream back;
    back.SetData(out.GetData().data(), out.GetByteCount());
    vek::string again;
    level.LoadField(&back, &again);
    if (!again.empty()) std::abort();
    return 0;
}
