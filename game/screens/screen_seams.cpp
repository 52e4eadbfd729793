#include "game/screens/screen_seams.h"

#include <type_traits>
#include <utility>

#include "game/shell/garden.h"
#include "game/world/level.h"

namespace {

template <class L, class = void>
struct HasPlantSort : std::false_type {};
template <class L>
struct HasPlantSort<L, std::void_t<decltype(std::declval<L&>().PlantSort(0))>> : std::true_type {};

template <class L, class = void>
struct HasBuyAnimal : std::false_type {};
template <class L>
struct HasBuyAnimal<L, std::void_t<decltype(std::declval<L&>().BuyAnimal(0))>> : std::true_type {};

template <class G, class = void>
struct HasShowHint : std::false_type {};
template <class G>
struct HasShowHint<G, std::void_t<decltype(std::declval<G&>().ShowHint(0, 0u))>> : std::true_type {};

template <class L, class = void>
struct HasAnimalCounts : std::false_type {};
template <class L>
struct HasAnimalCounts<L, std::void_t<decltype(std::declval<const L&>().m_iOstriches + std::declval<const L&>().m_iGoats +
                                               std::declval<const L&>().m_iHives + std::declval<const L&>().m_iPeacocks)>>
    : std::true_type {};

template <class L>
void PlantSortOn(L& level, int ware)
{
    if constexpr (HasPlantSort<L>::value) level.PlantSort(ware);
    else (void)level, (void)ware;
}

template <class L>
void BuyAnimalOn(L& level, int kind)
{
    if constexpr (HasBuyAnimal<L>::value) level.BuyAnimal(kind);
    else (void)level, (void)kind;
}

template <class G>
void ShowHintOn(G& game, int index, unsigned kind)
{
    if constexpr (HasShowHint<G>::value) game.ShowHint(index, kind);
    else (void)game, (void)index, (void)kind;
}

template <class L>
cAnimalCounts CountsOf(const L& level)
{
    cAnimalCounts counts;
    if constexpr (HasAnimalCounts<L>::value) {
        counts.ostriches = level.m_iOstriches;
        counts.goats = level.m_iGoats;
        counts.hives = level.m_iHives;
        counts.peacocks = level.m_iPeacocks;
    } else {
        (void)level;
    }
    return counts;
}

} // namespace

cScreenHooks& GetScreenHooks()
{
    static cScreenHooks hooks;
    return hooks;
}

void RequestPlantSort(cLevel* level, int ware)
{
    const cScreenHooks& hooks = GetScreenHooks();
    if (hooks.plantSort && !hooks.plantSort(ware)) return;
    if (level) PlantSortOn(*level, ware);
}

void RequestBuyAnimal(cLevel* level, int kind)
{
    const cScreenHooks& hooks = GetScreenHooks();
    if (hooks.buyAnimal && !hooks.buyAnimal(kind)) return;
    if (level) BuyAnimalOn(*level, kind);
}

void RequestHint(int index, unsigned kind)
{
    const cScreenHooks& hooks = GetScreenHooks();
    if (hooks.showHint && !hooks.showHint(index, kind)) return;
    if (g_pGarden) ShowHintOn(*g_pGarden, index, kind);
}

cAnimalCounts CountFieldAnimals(const cLevel& level) { return CountsOf(level); }
