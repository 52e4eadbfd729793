// The garden at work on the level field: planting, the click road's jobs
// for the gardener, the right button, the hover cell, the cell marks, the
// wares in flight and the grid's view of the objects.
#include <algorithm>

#include "engine/graphics/draw2d.h"
#include "game/objects/animal.h"
#include "game/objects/gardener.h"
#include "game/objects/garden_hooks.h"
#include "game/objects/hive.h"
#include "game/objects/hole.h"
#include "game/objects/plant.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level.h"
#include "game/world/training.h"
#include "game/world/ware.h"

namespace {

bool IsNamedWare(int32_t ware, const char* name)
{
    return g_pWareManager && ware != NO_WARE && ware == g_pWareManager->FindWare(name);
}

} // namespace

bool cLevel::BuildFieldGrid()
{
    BuildGrid(g_iGridColumns, g_iGridRows);
    return true;
}

void cLevel::ResetField()
{
    ClearObjects();
    m_WareFlights.clear();
    ClearGrid();
    BuildGrid(g_iGridColumns, g_iGridRows);
}

cObject* cLevel::GetGardenerObject() const
{
    return HasObject(m_uGardenerId) ? GetObject(m_uGardenerId) : nullptr;
}

// ---- what the grid asks of the objects ----

bool cLevel::IsCellTaken(const cell& at) const
{
    const cObject* found = FindObject(at, 0);
    return found && found != GetNullObject();
}

bool cLevel::HasHoleOn(const cell& at) const
{
    const cObject* found = FindObject(at, OBJ_HOLE);
    return found && found != GetNullObject();
}

void cLevel::AddBedHole(const cell& at, bool shown)
{
    auto* hole = new cHole(this);
    hole->SetCell(at);
    hole->SetShown(shown);
}

std::vector<cObject*> cLevel::GetLooseItems() const
{
    std::vector<cObject*> items;
    for (cObject* object : m_Objects) {
        if (object->IsType(OBJ_TOOL) && !static_cast<cTool*>(object)->IsInUse()) items.push_back(object);
        else if (object->IsType(OBJ_PRODUCT)) items.push_back(object);
    }
    return items;
}

cell cLevel::GetItemCell(const cObject* item) const { return item->GetCell(); }

void cLevel::PutItemOnCell(cObject* item, const cell& at) { item->SetCell(at); }

// ---- planting and the gardener's jobs ----

uint32_t cLevel::AddPlant(const cell& at, int32_t ware)
{
    auto* plant = new cPlant(this, ware);
    plant->SetCell(at);
    return plant->GetId();
}

bool cLevel::PlantSort(int32_t ware)
{
    cObject* object = GetGardenerObject();
    if (!object) return false;
    static_cast<cGardener*>(object)->QueueWare(ware);
    garden::TrainingStep(e_lessonPlants, e_stepPlantsWeedTool);
    garden::TrainingStep(e_lessonPlants, e_stepPlantsSeedItem);
    if (IsNamedWare(ware, "plant02")) garden::TrainingStep(e_lessonPlantInstead, e_stepInsteadSeedItem);
    if (IsNamedWare(ware, kGrassWare)) garden::TrainingStep(e_lessonAnimalFood, e_stepFoodGrassItem);
    if (IsNamedWare(ware, kFlowersWare)) garden::TrainingStep(e_lessonHive, e_stepHiveFlowersItem);
    garden::PlaySound(e_sndTakeSeed);
    return true;
}

cObject* cLevel::FrontObjectAt(const vek::vec2& point) const
{
    cObject* front = nullptr;
    const cObject* none = GetNullObject();
    for (cObject* object : m_Objects)
        if (object != none && object->HitTest(point) && (!front || object->GetDepth() < front->GetDepth())) front = object;
    return front;
}

cObject* cLevel::PickOnCell(const cell& at) const
{
    cObject* none = GetNullObject();
    if (!IsValidCell(at)) return none;
    cObject* found = FindObject(at, OBJ_HOLE);
    // A hole still hidden (new beds before they are revealed) is no bed yet.
    if (found != none && static_cast<const cHole*>(found)->IsShown()) return found;
    for (cObject* object : m_Objects) {
        if (!object->IsType(OBJ_TOOL) || object->GetCell() != at) continue;
        if (static_cast<cTool*>(object)->IsInUse()) continue;
        if (object->IsType(OBJ_TOOL_WATER) && !garden::WaterEventSet()) continue;
        return object;
    }
    found = FindObject(at, OBJ_PLANT);
    if (found != none) {
        const auto* plant = static_cast<const cPlant*>(found);
        if (plant->IsFlowers() && plant->GetNeed() == cPlant::e_NeedWater) return found;
    }
    return FindObject(at, OBJ_PRODUCT);
}

void cLevel::QueueGardenTarget(cObject* picked, const cell& at, const vek::vec2& point)
{
    cObject* object = GetGardenerObject();
    if (!object) return;
    auto* gardener = static_cast<cGardener*>(object);
    cObject* none = GetNullObject();
    if (!picked) picked = none;
    if (picked == none && !IsValidCell(at)) return;
    if (picked == none) picked = PickOnCell(at);
    if (picked == none) {
        gardener->QueueCell(at);
        return;
    }
    // A bed with a plant on it means the plant.
    if (picked->IsType(OBJ_HOLE)) {
        const uint32_t plant = static_cast<cHole*>(picked)->GetPlant();
        if (plant != 0) picked = GetObject(plant);
    }
    // A goat with milk or a full hive sends him for the basket first when
    // it is under the same point.
    const bool wantsBasket = (picked->IsType(OBJ_GOAT) && picked->GetState() == cAnimal::e_stMilk) ||
                             (picked->IsType(OBJ_HIVE) && static_cast<cHive*>(picked)->IsFull());
    if (wantsBasket && gardener->GetToolKind() != cTool::e_Basket) {
        cObject* bin = FindObject(cell(), OBJ_TOOL_BIN);
        if (bin != none && bin->HitTest(point)) picked = bin;
    }
    if (picked->IsType(OBJ_PRODUCT) && cGardener::IsFieldWare(gardener->GetWare())) {
        const std::vector<cGardener::cJob>& jobs = gardener->GetJobs();
        bool binQueued = false;
        for (size_t i = jobs.size(); i-- > 1;) {
            const cGardener::cJob& job = jobs[i];
            if (job.iKind == cGardener::cJob::e_Object && HasObject(static_cast<uint32_t>(job.iId)) &&
                GetObject(static_cast<uint32_t>(job.iId))->IsType(OBJ_TOOL_BIN))
                binQueued = true;
        }
        if (!binQueued) {
            gardener->QueueCell(picked->GetCell());
            return;
        }
    }
    gardener->QueueObject(picked->GetId());
}

bool cLevel::GardenClick(const vek::vec2& point)
{
    cObject* object = GetGardenerObject();
    if (!object) return false;
    if (g_pGarden && g_pGarden->GetTraining() != 0) {
        // The first lesson's opening seconds belong to its hint.
        const cPlayer* player = g_pGarden->GetPlayer();
        if (player && player->m_iLevel == 0 && player->m_fClock < 2.0f) return false;
    }
    auto* gardener = static_cast<cGardener*>(object);
    garden::PlaySound(e_sndAreaClick);
    if (HasObject(m_uCarId) && GetObject(m_uCarId)->HitTest(point)) {
        gardener->QueueType(OBJ_CAR);
        return true;
    }
    if (HasObject(m_uPumpId) && GetObject(m_uPumpId)->HitTest(point)) {
        gardener->QueueObject(m_uPumpId);
        return true;
    }
    cObject* picked = FrontObjectAt(point);
    const cell at = PosToCell(point);
    if (!picked && !IsValidCell(at)) return false;
    QueueGardenTarget(picked, at, point);
    return true;
}

void cLevel::GardenRightClick()
{
    if (garden::TrainingKind() >= 0) return;
    cObject* object = GetGardenerObject();
    if (!object) return;
    auto* gardener = static_cast<cGardener*>(object);
    gardener->ClearJobs();
    gardener->ClearWare();
}

bool cLevel::WillSowOnCells() const
{
    const cObject* object = GetGardenerObject();
    if (!object) return false;
    const auto* gardener = static_cast<const cGardener*>(object);
    bool sows = cGardener::IsFieldWare(gardener->GetWare());
    // Jobs queued after a grass or flowers seed keep him sowing on cells
    // only while they are walks (value 0) or more of the same seeds.
    for (const cGardener::cJob& job : gardener->GetJobs()) {
        if (job.iKind == cGardener::cJob::e_Ware && cGardener::IsFieldWare(job.iId)) sows = true;
        else if (sows && job.iId != 0 && !cGardener::IsFieldWare(job.iId)) sows = false;
    }
    return sows;
}

cell cLevel::GardenHoverCell(const vek::vec2& point, bool objectHit) const
{
    if (objectHit || !WillSowOnCells()) return cell();
    return PosToCell(point);
}

void cLevel::DrawCellMarks(vek::cQuadBatch& batch)
{
    const cObject* object = GetGardenerObject();
    if (!object) return;
    const cSprite& mark = GetTargetSprite();
    if (mark.iTexture == 0 || !mark.pFrames) return;
    const vek::vec2 size = GetCellSize();
    for (const cGardener::cJob& job : static_cast<const cGardener*>(object)->GetJobs()) {
        if (job.iKind != cGardener::cJob::e_Cell || !IsValidCell(job.at)) continue;
        const vek::vec2 at = GetCellPos(job.at);
        batch.AddQuad(static_cast<uint32_t>(mark.iTexture),
                      vek::rectf(at.x + size.x / 2.0f - mark.fWidth, at.y, mark.fWidth, mark.fHeight),
                      vek::kOpaqueWhite, mark.pFrames[0]);
    }
}

