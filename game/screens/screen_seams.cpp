#include "game/screens/screen_seams.h"

#include "game/shell/garden.h"
#include "game/world/level.h"

cScreenHooks& GetScreenHooks()
{
    static cScreenHooks hooks;
    return hooks;
}

void RequestPlantSort(cLevel* level, int ware)
{
    const cScreenHooks& hooks = GetScreenHooks();
    if (hooks.plantSort && !hooks.plantSort(ware)) return;
    if (level) level->PlantSort(ware);
}

void RequestBuyAnimal(cLevel* level, int kind)
{
    const cScreenHooks& hooks = GetScreenHooks();
    if (hooks.buyAnimal && !hooks.buyAnimal(kind)) return;
    if (level) level->BuyAnimal(kind);
}

void RequestHint(int index, unsigned kind)
{
    const cScreenHooks& hooks = GetScreenHooks();
    if (hooks.showHint && !hooks.showHint(index, kind)) return;
    if (g_pGarden) g_pGarden->ShowHint(index, kind);
}

cAnimalCounts CountFieldAnimals(const cLevel& level)
{
    cAnimalCounts counts;
    counts.ostriches = level.m_iOstriches;
    counts.goats = level.m_iGoats;
    counts.hives = level.m_iHives;
    counts.peacocks = level.m_iPeacocks;
    return counts;
}
