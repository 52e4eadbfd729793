#include "game/objects/animal_world.h"

#include "engine/app/game.h"
#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/objects/plant.h"
#include "game/shell/garden.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/ware.h"

namespace {

const cPlant* AsPlant(const cObject& object)
{
    return object.IsType(OBJ_PLANT) ? static_cast<const cPlant*>(&object) : nullptr;
}
cPlant* AsPlant(cObject& object) { return object.IsType(OBJ_PLANT) ? static_cast<cPlant*>(&object) : nullptr; }

const cAnimalWorld g_DefaultWorld;
const cAnimalWorld* g_pWorld = nullptr;

} // namespace

float cAnimalWorld::GetCellValue(const cLevel& level, const cell& at) const { return level.GetCellValue(at); }

void cAnimalWorld::SetCellValue(cLevel& level, const cell& at, float value) const { level.SetCellValue(at, value); }

cell cAnimalWorld::FindFreeCellNear(const cLevel& level, const cell& at) const { return level.FindFreeCellNear(at); }

void cAnimalWorld::DrawProgressCircle(cLevel& level, const vek::vec2& centre, float radius, float fraction) const
{
    level.DrawProgressCircle(centre, radius, fraction);
}

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

bool cAnimalWorld::GardenerHasJobFor(const cLevel& level, uint32_t id) const
{
    if (!level.HasObject(level.m_uGardenerId)) return false;
    const cObject* object = level.GetObject(level.m_uGardenerId);
    if (!object->IsType(OBJ_GARDENER)) return false;
    for (const cGardener::cJob& job : static_cast<const cGardener*>(object)->GetJobs())
        if (job.iKind == cGardener::cJob::e_Object && static_cast<uint32_t>(job.iId) == id) return true;
    return false;
}

bool cAnimalWorld::IsGardenFocused() const
{
    return vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden";
}

bool cAnimalWorld::LevelWaitsForPlayer() const { return g_pGarden && g_pGarden->LevelWaitsForPlayer(); }

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
