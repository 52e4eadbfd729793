#include "game/objects/animal_world.h"

#include <type_traits>
#include <utility>

#include "engine/app/game.h"
#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/ware.h"

// The plants answer for themselves once the field has them.
#if __has_include("game/objects/plant.h")
#include "game/objects/plant.h"
#define ANIMALS_SEE_PLANTS 1
#else
#define ANIMALS_SEE_PLANTS 0
#endif
#include "game/objects/gardener.h"

namespace {

// The field answers these itself once it carries its grid and ring; until
// then the fallbacks below stand in. Detected, so that nothing here needs
// to change when the field grows them.
template <class L, class = void>
struct HasCellValues : std::false_type {};
template <class L>
struct HasCellValues<L, std::void_t<decltype(std::declval<L&>().SetCellValue(std::declval<const cell&>(), 0.0f)),
                                    decltype(std::declval<const L&>().GetCellValue(std::declval<const cell&>()))>>
    : std::true_type {};

template <class L, class = void>
struct HasFreeCellSearch : std::false_type {};
template <class L>
struct HasFreeCellSearch<L, std::void_t<decltype(std::declval<const L&>().FindFreeCellNear(std::declval<const cell&>()))>>
    : std::true_type {};

template <class L, class = void>
struct HasProgressCircle : std::false_type {};
template <class L>
struct HasProgressCircle<L, std::void_t<decltype(std::declval<L&>().DrawProgressCircle(
                                std::declval<const vek::vec2&>(), 0.0f, 0.0f))>> : std::true_type {};

// A grid of open cells over the field's objects: the free-cell search of
// the grid, with the objects of the level taking their cells.
class cOpenGridView : public cLevelGrid {
public:
    explicit cOpenGridView(const cLevel& level) : m_Level(level) { BuildGrid(g_iGridColumns, g_iGridRows); }

protected:
    bool IsCellTaken(const cell& at) const override
    {
        return m_Level.FindObject(at, 0) != m_Level.GetNullObject();
    }

private:
    const cLevel& m_Level;
};

template <class L>
float CellValueOf(const L& level, const cell& at)
{
    if constexpr (HasCellValues<L>::value) return level.GetCellValue(at);
    else return level.IsValidCell(at) ? 1.0f : 0.0f;
}

template <class L>
void SetCellValueOf(L& level, const cell& at, float value)
{
    if constexpr (HasCellValues<L>::value) level.SetCellValue(at, value);
    else (void)level, (void)at, (void)value;
}

template <class L>
cell FreeCellNearOf(const L& level, const cell& at)
{
    if constexpr (HasFreeCellSearch<L>::value) return level.FindFreeCellNear(at);
    else return cOpenGridView(level).FindFreeCellNear(at);
}

template <class L>
void ProgressCircleOf(L& level, const vek::vec2& centre, float radius, float fraction)
{
    if constexpr (HasProgressCircle<L>::value) level.DrawProgressCircle(centre, radius, fraction);
    else (void)level, (void)centre, (void)radius, (void)fraction;
}

// Whether the gardener's queue holds a job naming the object; none while
// the gardener keeps no queue.
template <class G, class = void>
struct HasJobQueue : std::false_type {};
template <class G>
struct HasJobQueue<G, std::void_t<decltype(std::declval<const G&>().GetJobs())>> : std::true_type {};

template <class G>
bool QueueNames(const G& gardener, uint32_t id)
{
    if constexpr (HasJobQueue<G>::value) {
        for (const auto& job : gardener.GetJobs())
            if (job.iKind == G::cJob::e_Object && static_cast<uint32_t>(job.iId) == id) return true;
        return false;
    } else {
        (void)gardener, (void)id;
        return false;
    }
}

#if ANIMALS_SEE_PLANTS
const cPlant* AsPlant(const cObject& object)
{
    return object.IsType(OBJ_PLANT) ? static_cast<const cPlant*>(&object) : nullptr;
}
cPlant* AsPlant(cObject& object) { return object.IsType(OBJ_PLANT) ? static_cast<cPlant*>(&object) : nullptr; }
#endif

const cAnimalWorld g_DefaultWorld;
const cAnimalWorld* g_pWorld = nullptr;

} // namespace

float cAnimalWorld::GetCellValue(const cLevel& level, const cell& at) const { return CellValueOf(level, at); }

void cAnimalWorld::SetCellValue(cLevel& level, const cell& at, float value) const
{
    SetCellValueOf(level, at, value);
}

cell cAnimalWorld::FindFreeCellNear(const cLevel& level, const cell& at) const { return FreeCellNearOf(level, at); }

void cAnimalWorld::DrawProgressCircle(cLevel& level, const vek::vec2& centre, float radius, float fraction) const
{
    ProgressCircleOf(level, centre, radius, fraction);
}

#if ANIMALS_SEE_PLANTS
int32_t cAnimalWorld::GetPlantWare(const cObject& object) const
{
    const cPlant* plant = AsPlant(object);
    return plant ? plant->GetWareId() : NO_WARE;
}
int32_t cAnimalWorld::GetPlantNeed(const cObject& object) const
{
    const cPlant* plant = AsPlant(object);
    return plant ? plant->GetNeed() : -1;
}
uint32_t cAnimalWorld::GetPlantReservation(const cObject& object) const
{
    const cPlant* plant = AsPlant(object);
    return plant ? plant->GetBee() : 0;
}
void cAnimalWorld::SetPlantReservation(cObject& object, uint32_t id) const
{
    if (cPlant* plant = AsPlant(object)) plant->SetBee(id);
}
void cAnimalWorld::SetPlantGrowth(cObject& object, float growth) const
{
    if (cPlant* plant = AsPlant(object)) plant->SetGrowth(growth);
}
void cAnimalWorld::HarvestPlant(cObject& object) const
{
    if (cPlant* plant = AsPlant(object)) plant->Harvest();
}
#else
// No plants on the field yet: nothing to eat or visit.
int32_t cAnimalWorld::GetPlantWare(const cObject&) const { return NO_WARE; }
int32_t cAnimalWorld::GetPlantNeed(const cObject&) const { return -1; }
uint32_t cAnimalWorld::GetPlantReservation(const cObject&) const { return 0; }
void cAnimalWorld::SetPlantReservation(cObject&, uint32_t) const {}
void cAnimalWorld::SetPlantGrowth(cObject&, float) const {}
void cAnimalWorld::HarvestPlant(cObject&) const {}
#endif

bool cAnimalWorld::GardenerHasJobFor(const cLevel& level, uint32_t id) const
{
    if (!level.HasObject(level.m_uGardenerId)) return false;
    const cObject* object = level.GetObject(level.m_uGardenerId);
    if (!object->IsType(OBJ_GARDENER)) return false;
    return QueueNames(*static_cast<const cGardener*>(object), id);
}

bool cAnimalWorld::IsGardenFocused() const
{
    return vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden";
}

void cAnimalWorld::PlayGameSound(int32_t id) const
{
    if (g_pGarden && id >= 0) g_pGarden->PlayGameSound(static_cast<unsigned>(id));
}

void cAnimalWorld::EmitBurst(uint32_t count, float spread, const vek::vec2& at) const
{
    if (g_pGarden && g_pGarden->m_pParticles) g_pGarden->m_pParticles->EmitBurst(count, spread, vek::vec3(at.x, at.y, 0.0f));
}

const cAnimalWorld& GetAnimalWorld() { return g_pWorld ? *g_pWorld : g_DefaultWorld; }

void SetAnimalWorld(const cAnimalWorld* world) { g_pWorld = world; }
