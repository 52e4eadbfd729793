#include "game/world/balance.h"

#include <cstddef>

#include "game/shell/garden.h"
#include "game/shell/profile_host.h"

int32_t cGameBalance::GetAnimalPrice(int kind) const
{
    switch (kind) {
    case e_animalOstrich: return iOstrichPrice;
    case e_animalGoat: return iGoatPrice;
    case e_animalHive: return iHivePrice;
    case e_animalPeacock: return iPeacockPrice;
    default: return 0;
    }
}

int cGarden::GetAnimalPrice(int kind) const { return GetProfileHost().balance.GetAnimalPrice(kind); }

namespace {
template <class T>
T EntryAt(const std::vector<T>& table, int level)
{
    if (level < 0 || static_cast<size_t>(level) >= table.size()) return T(0);
    return table[static_cast<size_t>(level)];
}
} // namespace

float GetUpgradeValue(const std::vector<float>& table, int level) { return EntryAt(table, level); }
int32_t GetUpgradeValue(const std::vector<int32_t>& table, int level) { return EntryAt(table, level); }
