#include "game/objects/animal_file.h"

#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/log.h"
#include "game/objects/animal_world.h"
#include "game/objects/bee.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/ostrich.h"
#include "game/objects/peacock.h"
#include "game/world/level.h"

namespace {

// No more than the field's cells in one group.
constexpr int32_t kMaxGroup = g_iGridRows * g_iGridColumns;
constexpr size_t kAnimalRecord = 8;
constexpr size_t kHiveRecord = 40;

// The order of the groups, and of the tests that sort the objects into
// them (the first that matches takes the object; plants go before all).
const uint32_t kGroups[4] = {OBJ_OSTRICH, OBJ_PEACOCK, OBJ_GOAT, OBJ_HIVE};

cObject* MakeAnimal(cLevel& level, uint32_t type)
{
    switch (type) {
    case OBJ_OSTRICH: return new cOstrich(&level);
    case OBJ_PEACOCK: return new cPeacock(&level);
    default: return new cGoat(&level);
    }
}

} // namespace

void SaveAnimalGroups(cLevel& level, vek::cBitStream& stream)
{
    std::vector<cObject*> groups[4];
    for (cObject* object : level.GetObjects()) {
        if (object->IsType(OBJ_PLANT)) continue;
        for (int g = 0; g < 4; ++g) {
            if (object->IsType(kGroups[g])) {
                groups[g].push_back(object);
                break;
            }
        }
    }
    for (const std::vector<cObject*>& group : groups) {
        stream.WriteInt(static_cast<int32_t>(group.size()));
        for (cObject* object : group) object->Save(stream);
    }
}

uint32_t LoadHive(cLevel& level, vek::cBitStream& stream)
{
    cHive* hive = new cHive(&level);
    const bool whole = hive->Load(stream);
    const cell at = hive->GetCell();
    if (!whole || !level.IsValidCell(at)) {
        // Its cells could not be blocked, nor its bee placed.
        delete hive;
        return 0;
    }
    const cAnimalWorld& world = GetAnimalWorld();
    world.SetCellValue(level, at, 0.0f);
    world.SetCellValue(level, cell(at.row + 1, at.column), 0.0f);
    new cBee(&level, hive->GetId());
    return hive->GetId();
}

bool LoadAnimalGroups(cLevel& level, vek::cBitStream& stream)
{
    const char* names[4] = {"ostriches", "peacocks", "goats", "hives"};
    for (int g = 0; g < 4; ++g) {
        const size_t record = kGroups[g] == OBJ_HIVE ? kHiveRecord : kAnimalRecord;
        if (stream.BytesLeft() < 4) {
            vek::LogWarning("cLevel", "Load: level.dat ends before the %s\n", vek::format_arg(names[g]));
            return false;
        }
        const int32_t count = stream.ReadInt();
        bool damaged = false;
        // A negative count, or one the field or the bytes left cannot hold,
        // refuses the group and the groups after it.
        if (count < 0 || count > kMaxGroup || static_cast<size_t>(count) > stream.BytesLeft() / record) {
            vek::LogWarning("cLevel", "Load: level.dat is damaged in its %s: the count does not fit the file\n",
                            vek::format_arg(names[g]));
            return false;
        }
        for (int32_t i = 0; i < count; ++i) {
            if (stream.BytesLeft() < record) {
                damaged = true;
                break;
            }
            if (kGroups[g] == OBJ_HIVE) {
                if (LoadHive(level, stream) == 0) {
                    vek::LogWarning("cLevel", "Load: a hive of level.dat stands on no cell of the field; dropped\n");
                    damaged = true;
                }
            } else {
                MakeAnimal(level, kGroups[g])->Load(stream);
            }
        }
        if (damaged) {
            vek::LogWarning("cLevel", "Load: level.dat is damaged in its %s\n", vek::format_arg(names[g]));
            return false;
        }
    }
    return true;
}
