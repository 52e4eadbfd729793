#include "game/world/training.h"

#include <algorithm>
#include <cstring>

#include "engine/app/game.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/objects/animal.h"
#include "game/objects/gardener.h"
#include "game/objects/hive.h"
#include "game/objects/object.h"
#include "game/objects/plant.h"
#include "game/objects/tools.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/rules.h"
#include "game/world/ware.h"

namespace {

// The tool a shown step points at, and where it lay when the step showed.
struct cShownTool {
    int kind = -1;
    int step = -1;
    vek::rectf rect;
} g_ShownTool;

using T = cTrainingStep;
using L = cLocaleGD;

// Flags of the hint window: the arrow's side and half of the screen.
constexpr int kRight = 1, kLeft = 4, kUpper = 8, kLower = 32;

// The step table. Control targets are squares at the control (grow > 0 draws
// the highlight); objects and cells are highlighted by their rectangle
// unless grow is 0. The arrow's point is a corner of what is pointed at, so
// the bubble goes away from it: seed item 0 (bottom left), the watering can
// and the goat (pointed at by their top right corner) take the bubble up
// and to the right, the island's rating button (at the top) down and left,
// where no bubble or arrow hides them. The first bed and the first plant
// take the bubble up and to the left: to the right it would hide the
// gardener, who waits in the middle of the field above the beds.
const cTrainingStep g_Steps[] = {
    {e_lessonPlants, e_stepPlantsSeedItem, &L::TrainingPlants0, T::e_tControl, "garden", "plants", 0, 0, 0, 15.0f, kLeft | kUpper, 1},
    {e_lessonPlants, e_stepPlantsSowFirst, &L::TrainingPlants1, T::e_tObject, nullptr, nullptr, 0, OBJ_HOLE, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonPlants, e_stepPlantsSowSecond, &L::TrainingPlants2, T::e_tObject, nullptr, nullptr, 0, OBJ_HOLE, 1, 1.0f, kLeft | kUpper, 1},
    {e_lessonPlants, e_stepPlantsSowThird, &L::TrainingPlants3, T::e_tObject, nullptr, nullptr, 0, OBJ_HOLE, 2, 1.0f, kLeft | kUpper, 1},
    {e_lessonPlants, e_stepPlantsWeedTool, &L::TrainingPlants4, T::e_tObject, nullptr, nullptr, 0, OBJ_TOOL_WEED, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonPlants, e_stepPlantsWeed, &L::TrainingPlants5, T::e_tPlantNeed, nullptr, nullptr, 0, OBJ_PLANT, cPlant::e_NeedWeed, 1.0f, kRight | kUpper, 1},
    {e_lessonPlants, e_stepPlantsBasket, &L::TrainingPlants6, T::e_tObject, nullptr, nullptr, 0, OBJ_TOOL_BIN, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonPlants, e_stepPlantsHarvestFirst, &L::TrainingPlants7, T::e_tObject, nullptr, nullptr, 0, OBJ_PLANT, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonPlants, e_stepPlantsHarvestSecond, &L::TrainingPlants8, T::e_tObject, nullptr, nullptr, 0, OBJ_PLANT, 1, 1.0f, kLeft | kUpper, 1},
    {e_lessonPlants, e_stepPlantsHarvestThird, &L::TrainingPlants9, T::e_tObject, nullptr, nullptr, 0, OBJ_PLANT, 2, 1.0f, kLeft | kUpper, 1},
    {e_lessonPlants, e_stepPlantsCar, &L::TrainingPlants10, T::e_tObject, nullptr, nullptr, 0, OBJ_CAR, 0, 1.0f, kLeft | kLower, 1},
    {e_lessonPlants, e_stepPlantsTask, &L::TrainingPlants11, T::e_tControl, "score", "task0", 0, 0, 0, 15.0f, kRight | kLower, 1},
    {e_lessonPlants, e_stepPlantsClock, &L::TrainingPlants12, T::e_tControl, "score", "clock", 0, 0, 0, 0.0f, kRight | kLower, 1},
    {e_lessonPlants, e_stepPlantsClock + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonWater, e_stepWaterCan, &L::TrainingWater0, T::e_tObject, nullptr, nullptr, 0, OBJ_TOOL_WATER, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonWater, e_stepWaterPump, &L::TrainingWater1, T::e_tObject, nullptr, nullptr, 0, OBJ_PUMP, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonWater, e_stepWaterPlant, &L::TrainingWater2, T::e_tPlantNeed, nullptr, nullptr, 0, OBJ_PLANT, cPlant::e_NeedWater, 1.0f, kLeft | kUpper, 1},
    {e_lessonWater, e_stepWaterPlant + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonScrolling, e_stepScrollIsland, &L::TrainingScrolling0, T::e_tPoint, nullptr, nullptr, 0, 0, 0, 0.0f, 2 | kUpper, 0},
    {e_lessonScrolling, e_stepScrollIsland + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonFactory, e_stepFactoryCar, &L::TrainingFactory0, T::e_tObject, nullptr, nullptr, 0, OBJ_CAR, 0, 0.0f, kLeft | kUpper, 0},
    {e_lessonFactory, e_stepFactoryStart, &L::TrainingFactory1, T::e_tControl, "garden", "but_0", 0, 0, 0, 20.0f, kLeft | kUpper, 1},
    {e_lessonFactory, e_stepFactoryStart + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonOstrich, e_stepBuyAnimal, &L::TrainingOstrich0, T::e_tControl, "garden", "animals", 0, 0, 0, 15.0f, kRight | kUpper, 1},
    {e_lessonOstrich, e_stepBuyAnimal + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonAnimalFood, e_stepFoodGrassItem, &L::TrainingAnimalFood0, T::e_tControl, "garden", "grass", 0, 0, 0, 15.0f, kLeft | kUpper, 1},
    {e_lessonAnimalFood, e_stepFoodSowFirst, &L::TrainingAnimalFood1, T::e_tFreeCellLow, nullptr, nullptr, 0, 0, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonAnimalFood, e_stepFoodSowSecond, &L::TrainingAnimalFood2, T::e_tFreeCellLow, nullptr, nullptr, 0, 0, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonAnimalFood, e_stepFoodSowSecond + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonEgg, e_stepTakeBasket, &L::TrainingEgg0, T::e_tObject, nullptr, nullptr, 0, OBJ_TOOL_BIN, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonEgg, e_stepEggPick, &L::TrainingEgg1, T::e_tObject, nullptr, nullptr, 0, OBJ_EGG, 0, 1.0f, kRight | kUpper, 1},
    {e_lessonEgg, e_stepEggPick + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonGoat, e_stepBuyAnimal, &L::TrainingGoat0, T::e_tControl, "garden", "animals", 1, 0, 0, 2.0f, kRight | kUpper, 1},
    {e_lessonGoat, e_stepBuyAnimal + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonMilk, e_stepTakeBasket, &L::TrainingMilk0, T::e_tObject, nullptr, nullptr, 0, OBJ_TOOL_BIN, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonMilk, e_stepMilkGoat, &L::TrainingMilk1, T::e_tObject, nullptr, nullptr, 0, OBJ_GOAT, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonMilk, e_stepMilkGoat + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonHive, e_stepBuyAnimal, &L::TrainingHive0, T::e_tControl, "garden", "animals", 2, 0, 0, 2.0f, kRight | kUpper, 1},
    {e_lessonHive, e_stepHiveFlowersItem, &L::TrainingHive1, T::e_tControl, "garden", "grass", 0, 0, 0, 15.0f, kLeft | kUpper, 1},
    {e_lessonHive, e_stepHiveSowFlowers, &L::TrainingHive2, T::e_tFreeCellHive, nullptr, nullptr, 0, 0, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonHive, e_stepHiveSowFlowers + 1, nullptr, T::e_tStopDropWare, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonHoney, e_stepTakeBasket, &L::TrainingHoney0, T::e_tObject, nullptr, nullptr, 0, OBJ_TOOL_BIN, 0, 1.0f, kLeft | kLower, 1},
    {e_lessonHoney, e_stepHoneyTake, &L::TrainingHoney1, T::e_tObject, nullptr, nullptr, 0, OBJ_HIVE, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonHoney, e_stepHoneyTake + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonPlantInstead, e_stepInsteadSeedItem, &L::TrainingPlantInstead0, T::e_tControl, "garden", "plants", 2, 0, 0, 15.0f, kRight | kUpper, 1},
    {e_lessonPlantInstead, e_stepInsteadSow, &L::TrainingPlantInstead1, T::e_tPlantHole, nullptr, "plant00", 0, 0, 0, 1.0f, kLeft | kUpper, 1},
    {e_lessonPlantInstead, e_stepInsteadSow + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonPeacock, e_stepBuyAnimal, &L::TrainingPeacock0, T::e_tControl, "garden", "animals", 3, 0, 0, 2.0f, kRight | kUpper, 1},
    {e_lessonPeacock, e_stepBuyAnimal + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonIslandRate, e_stepRateButton, &L::TrainingIslandRate0, T::e_tControl, "island", "but_island_rate", 0, 0, 0, 15.0f, kRight | kLower, 1},
    {e_lessonIslandRate, e_stepRateButton + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
    {e_lessonRate, e_stepRateButton, &L::TrainingRate0, T::e_tControl, "island", "but_rate", 0, 0, 0, 15.0f, kRight | kLower, 1},
    {e_lessonRate, e_stepRateButton + 1, nullptr, T::e_tStop, nullptr, nullptr, 0, 0, 0, 0.0f, 0, 0},
};

const cTrainingWorld g_DefaultWorld;
const cTrainingWorld* g_pWorld = nullptr;

void HideHintWindow()
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
}

// The `nth` object (from 0) of the field whose type has every bit of the
// mask, in registry order; null when there are fewer.
cObject* NthObject(const cLevel* level, uint32_t mask, int nth)
{
    if (!level) return nullptr;
    for (cObject* object : level->GetObjects())
        if (object->GetType() != OBJ_NONE && object->IsType(mask) && nth-- == 0) return object;
    return nullptr;
}

cObject* FirstPlantWithNeed(const cLevel* level, int32_t need)
{
    if (!level) return nullptr;
    const cTrainingWorld& world = GetTrainingWorld();
    for (cObject* object : level->GetObjects())
        if (object->GetType() != OBJ_NONE && object->IsType(OBJ_PLANT) && world.GetPlantNeed(*object) == need)
            return object;
    return nullptr;
}

int32_t WareIndex(const char* name) { return g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE; }

int32_t WarePrice(const char* name)
{
    const int32_t index = WareIndex(name);
    if (!g_pWareManager || index == NO_WARE) return 0;
    return g_pWareManager->GetWare(static_cast<uint32_t>(index))->iPrice;
}

cObject* FirstPlantOfSort(const cLevel* level, const char* sort)
{
    const int32_t ware = WareIndex(sort);
    if (!level || ware == NO_WARE) return nullptr;
    const cTrainingWorld& world = GetTrainingWorld();
    for (cObject* object : level->GetObjects())
        if (object->GetType() != OBJ_NONE && object->IsType(OBJ_PLANT) && world.GetPlantWare(*object) == ware)
            return object;
    return nullptr;
}

bool HasTaskFor(cPlayer& player, const char* ware)
{
    const int32_t index = WareIndex(ware);
    return index != NO_WARE && FindTaskByWare(player.m_Tasks, index) != nullptr;
}

bool IsEmptyCell(const cLevel& level, int32_t row, int32_t column)
{
    if (!level.IsValidCell(row, column)) return false;
    const cObject* found = level.FindObject(cell(row, column), 0);
    return !found || found == level.GetNullObject();
}

// Rows from 1 upward, in each the columns from 8 down to 0.
cell FreeCellLow(const cLevel& level)
{
    for (int32_t row = 1; row < level.GetRowCount(); ++row)
        for (int32_t column = std::min<int32_t>(8, level.GetColumnCount() - 1); column >= 0; --column)
            if (IsEmptyCell(level, row, column)) return cell(row, column);
    return cell();
}

// Rows from the hive's to the last, in each the columns from the hive's
// column - 2 to the last. A hive near the left edge starts at column 0; a
// hive off the grid finds nothing.
cell FreeCellNearHive(const cLevel& level)
{
    const cObject* hive = NthObject(&level, OBJ_HIVE, 0);
    if (!hive) return cell();
    const cell at = hive->GetCell();
    if (!level.IsValidCell(at)) return cell();
    for (int32_t row = at.row; row < level.GetRowCount(); ++row)
        for (int32_t column = std::max<int32_t>(0, at.column - 2); column < level.GetColumnCount(); ++column)
            if (IsEmptyCell(level, row, column)) return cell(row, column);
    return cell();
}

cHighlight CellHighlight(const cLevel& level, const cell& at)
{
    const vek::vec2 size = level.GetCellSize();
    const float x = g_fFieldLeft + size.x * static_cast<float>(at.column);
    const float y = g_fFieldBottom + size.y * static_cast<float>(at.row);
    return ObjectHighlight(x, y, size.x, size.y, false);
}

} // namespace

// ---- the table and the geometry ----

const cTrainingStep* GetTrainingSteps(int* count)
{
    if (count) *count = static_cast<int>(sizeof(g_Steps) / sizeof(g_Steps[0]));
    return g_Steps;
}

const cTrainingStep* FindTrainingStep(int kind, int step)
{
    for (const cTrainingStep& row : g_Steps)
        if (row.kind == kind && row.step == step) return &row;
    return nullptr;
}

cHighlight ControlHighlight(float x, float y, int item, float grow)
{
    cHighlight h;
    h.x = x + 67.0f * static_cast<float>(item) - grow;
    h.y = y - grow;
    h.w = 64.0f + 2.0f * grow;
    h.h = 64.0f + 2.0f * grow;
    h.ax = h.x + h.w;
    h.ay = h.y;
    return h;
}

bool IsToolbarPage(const char* name)
{
    if (!name) return false;
    for (const char* page : {"plants", "grass", "animals"})
        if (std::strcmp(name, page) == 0) return true;
    return false;
}

cHighlight ControlHighlight(float x, float y, float w, float h, float grow)
{
    // The screen's edge ends a grown side (the dimming around it is drawn
    // up to the edge).
    cHighlight r = ControlHighlight(x, y, 0, grow);
    if (w > 64.0f) r.w = std::max(64.0f, std::min(w + 2.0f * grow, 1024.0f - r.x));
    if (h > 64.0f) r.h = std::max(64.0f, std::min(h + 2.0f * grow, 768.0f - r.y));
    // The arrow stands on the corner of the highlight as grown, not inside
    // a wide control. A step without a highlight keeps the square's corner.
    if (grow > 0.0f) r.ax = r.x + r.w;
    return r;
}

cHighlight ObjectHighlight(float x, float y, float w, float h, bool plant)
{
    cHighlight r;
    r.x = x;
    r.y = y;
    r.w = w;
    r.h = h;
    if (plant) {
        r.x += 12.0f;
        r.w -= 24.0f;
        r.y -= 18.0f;
        r.h += 36.0f;
    }
    r.ax = r.x + r.w;
    r.ay = r.y + r.h;
    return r;
}

// ---- the world the lessons look at ----

// The default asks the objects themselves; an object of another class than
// the one asked about (a stand-in of a test, a wrong id) gets the quiet answer.
int32_t cTrainingWorld::GetPlantNeed(const cObject& plant) const
{
    const auto* p = dynamic_cast<const cPlant*>(&plant);
    return p ? p->GetNeed() : cPlant::e_NeedNone;
}
int32_t cTrainingWorld::GetPlantWare(const cObject& plant) const
{
    const auto* p = dynamic_cast<const cPlant*>(&plant);
    return p ? p->GetWareId() : NO_WARE;
}
bool cTrainingWorld::IsToolInUse(const cObject& tool) const
{
    const auto* t = dynamic_cast<const cTool*>(&tool);
    return t && t->IsInUse();
}
bool cTrainingWorld::IsToolFull(const cObject& tool) const
{
    if (const auto* can = dynamic_cast<const cToolWater*>(&tool)) return can->IsFull();
    if (const auto* bin = dynamic_cast<const cToolBin*>(&tool)) return bin->IsFull();
    return false;
}
bool cTrainingWorld::HiveHasHoney(const cObject& hive) const
{
    const auto* h = dynamic_cast<const cHive*>(&hive);
    return h && h->GetHoney() > 0;
}
void cTrainingWorld::ClearGardenerJobs(cObject& gardener) const
{
    if (auto* g = dynamic_cast<cGardener*>(&gardener)) g->ClearJobs();
}
void cTrainingWorld::ClearGardenerWare(cObject& gardener) const
{
    if (auto* g = dynamic_cast<cGardener*>(&gardener)) g->ClearWare();
}
cShip* cTrainingWorld::GetFirstShip() const
{
    if (!g_pGarden || g_pGarden->m_Ships.empty()) return nullptr;
    return &g_pGarden->m_Ships.front();
}
void cTrainingWorld::StartHintTimer(float seconds) const
{
    if (!g_pGarden) return;
    vek::mover<float>& timer = g_pGarden->m_HintTimer;
    timer.m_fSpeed = 1.0f;
    timer.Reset(0.0f);
    timer.SetTarget(seconds);
}

const cTrainingWorld& GetTrainingWorld() { return g_pWorld ? *g_pWorld : g_DefaultWorld; }
void SetTrainingWorld(const cTrainingWorld* world) { g_pWorld = world; }

// ---- cTraining ----

void cTraining::Start(int kind)
{
    cGarden* game = g_pGarden;
    cPlayer* player = game ? game->GetPlayer() : nullptr;
    if (!player || kind < 0 || kind >= kLessons) return;
    if (player->m_Events.size() < static_cast<size_t>(kLessons)) player->m_Events.resize(kLessons, 0);
    int32_t& seen = player->m_Events[static_cast<size_t>(kind)];
    // A lesson comes once: the flag is set whether or not it can run now.
    if (seen != 0) return;
    seen = 1;
    if (game->GetTraining() == 0 || IsActive()) return;
    if (cLevel* level = game->m_pLevel) {
        cObject* gardener = level->FindObject(cell(), OBJ_GARDENER);
        if (gardener && gardener != level->GetNullObject()) GetTrainingWorld().ClearGardenerJobs(*gardener);
    }
    iKind = kind;
    iStep = 0;
    delay.Reset(0.0f);
    HideHintWindow();
    game->ShowTrainingStep();
}

bool cTraining::NextStep(int kind, int step)
{
    if (iKind < 0 || iKind != kind || iStep != step) return false;
    HideHintWindow();
    ++iStep;
    delay.m_fSpeed = 1.0f;
    delay.Reset(0.0f);
    delay.SetTarget(kStepDelay);
    return true;
}

void cTraining::Stop()
{
    HideHintWindow();
    iKind = -1;
    iStep = -1;
    delay.Reset(0.0f);
}

// ---- the game object's side ----

void cGarden::ShowTrainingStep()
{
    cTraining& training = m_Training;
    if (!training.IsActive()) return;
    if (GetTraining() == 0) {
        training.Stop();
        return;
    }
    const int kind = training.iKind;
    const int step = training.iStep;
    const cTrainingStep* row = FindTrainingStep(kind, step);
    if (!row) return;
    const cTrainingWorld& world = GetTrainingWorld();
    cLevel* level = m_pLevel;
    const int money = GetMoney();

    if (row->target == cTrainingStep::e_tStopDropWare) {
        cObject* gardener = level ? level->FindObject(cell(), OBJ_GARDENER) : nullptr;
        if (gardener && gardener != level->GetNullObject()) world.ClearGardenerWare(*gardener);
        training.Stop();
        return;
    }
    if (row->target == cTrainingStep::e_tStop) {
        training.Stop();
        return;
    }

    // The steps that need more than their target, or are already done.
    const auto animalStep = [&](uint32_t type, int animal) {
        return !NthObject(level, type, 0) && money >= GetAnimalPrice(animal);
    };
    bool go = true;
    if (kind == e_lessonWater && step == e_stepWaterCan) {
        const cObject* can = NthObject(level, OBJ_TOOL_WATER, 0);
        if (!can || money < 5) go = false;
        else if (world.IsToolInUse(*can)) {
            training.NextStep(e_lessonWater, e_stepWaterCan);
            return;
        }
    } else if (kind == e_lessonWater && step == e_stepWaterPump) {
        const cObject* can = NthObject(level, OBJ_TOOL_WATER, 0);
        if (can && world.IsToolFull(*can)) {
            training.NextStep(e_lessonWater, e_stepWaterPump);
            return;
        }
    } else if ((kind == e_lessonEgg || kind == e_lessonMilk || kind == e_lessonHoney) && step == e_stepTakeBasket) {
        // The eggs', the milk's and the honey's lessons begin with taking
        // the basket: when the gardener holds it already, that step is done
        // (a click on a held basket does nothing, so it would wait for ever).
        const cObject* bin = NthObject(level, OBJ_TOOL_BIN, 0);
        if (!bin || world.IsToolFull(*bin)) go = false;
        else if (world.IsToolInUse(*bin)) {
            training.NextStep(kind, e_stepTakeBasket);
            return;
        }
    } else if (kind == e_lessonOstrich && step == e_stepBuyAnimal) {
        go = animalStep(OBJ_OSTRICH, e_animalOstrich);
    } else if (kind == e_lessonGoat && step == e_stepBuyAnimal) {
        go = animalStep(OBJ_GOAT, e_animalGoat);
    } else if (kind == e_lessonHive && step == e_stepBuyAnimal) {
        go = animalStep(OBJ_HIVE, e_animalHive);
    } else if (kind == e_lessonPeacock && step == e_stepBuyAnimal) {
        go = animalStep(OBJ_PEACOCK, e_animalPeacock);
    } else if (kind == e_lessonPlantInstead && step == e_stepInsteadSeedItem) {
        go = money >= WarePrice("plant00");
    }
    if (!go) {
        training.Stop();
        return;
    }

    cHighlight h;
    bool found = false;
    switch (row->target) {
    case cTrainingStep::e_tControl:
        if (const vek::cCtrl* control = FindWindowControl(row->window, row->name)) {
            const vek::rectf r = control->GetRect();
            // On the garden's toolbars an item is the target; any other
            // control is one whole.
            if (row->item > 0 || IsToolbarPage(row->name))
                h = ControlHighlight(r.x, r.y, row->item, row->grow);
            else
                h = ControlHighlight(r.x, r.y, r.w, r.h, row->grow);
            found = true;
        }
        break;
    case cTrainingStep::e_tObject:
        if (const cObject* object = NthObject(level, row->mask, row->nth)) {
            const vek::rectf r = object->GetRect();
            h = ObjectHighlight(r.x, r.y, r.w, r.h, object->IsType(OBJ_PLANT));
            found = true;
            if (object->IsType(OBJ_TOOL)) g_ShownTool = cShownTool{kind, step, r};
        }
        break;
    case cTrainingStep::e_tPlantNeed:
        if (const cObject* plant = FirstPlantWithNeed(level, row->nth)) {
            const vek::rectf r = plant->GetRect();
            h = ObjectHighlight(r.x, r.y, r.w, r.h, true);
            found = true;
        }
        break;
    case cTrainingStep::e_tPlantHole:
        if (const cObject* plant = FirstPlantOfSort(level, row->name)) {
            const cObject* hole = level->FindObject(plant->GetCell(), OBJ_HOLE);
            if (hole && hole != level->GetNullObject()) {
                const vek::rectf r = hole->GetRect();
                h = ObjectHighlight(r.x, r.y, r.w, r.h, false);
                found = true;
            }
        }
        break;
    case cTrainingStep::e_tFreeCellLow:
    case cTrainingStep::e_tFreeCellHive:
        if (level) {
            const cell at = row->target == cTrainingStep::e_tFreeCellLow ? FreeCellLow(*level) : FreeCellNearHive(*level);
            if (level->IsValidCell(at)) {
                h = CellHighlight(*level, at);
                found = true;
            }
        }
        break;
    case cTrainingStep::e_tPoint:
        h.ax = 512.0f;
        h.ay = 20.0f;
        found = true;
        break;
    default:
        break;
    }
    if (!found) {
        training.Stop();
        return;
    }
    // A row without growth shows its arrow only.
    const bool highlight = row->target != cTrainingStep::e_tPoint && row->grow > 0.0f;
    const vek::rectf target = highlight ? vek::rectf(h.x, h.y, h.w, h.h) : vek::rectf(0.0f, 0.0f, 0.0f, 0.0f);
    if (m_pHint) m_pHint->SetHint(GetLocaleGD().*(row->text), target, vek::vec2(h.ax, h.ay), row->flags, row->modal);
    ShowGameWindow("hint", 2);
    // What the step points at comes above the gardener at once.
    if (level) level->SortDrawList();
}

cObject* cGarden::TrainingTarget() const
{
    if (!m_Training.IsActive() || m_Training.IsWaiting()) return nullptr;
    const cTrainingStep* row = FindTrainingStep(m_Training.iKind, m_Training.iStep);
    if (!row) return nullptr;
    if (row->target == cTrainingStep::e_tObject) return NthObject(m_pLevel, row->mask, row->nth);
    if (row->target == cTrainingStep::e_tPlantNeed) return FirstPlantWithNeed(m_pLevel, row->nth);
    return nullptr;
}

void cGarden::UpdateTraining()
{
    if (GetFlowState() != e_playLevel) return;
    cPlayer* player = GetPlayer();
    if (!m_Training.IsActive() && player && vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden") {
        const cTrainingWorld& world = GetTrainingWorld();
        const cLevel* level = m_pLevel;
        const float clock = player->m_fClock;
        const int money = GetMoney();
        const bool twoSeconds = clock >= 2.0f;
        const auto seen = [&](int kind) {
            return static_cast<size_t>(kind) < player->m_Events.size() && player->m_Events[static_cast<size_t>(kind)] != 0;
        };
        const auto binFree = [&]() {
            const cObject* bin = NthObject(level, OBJ_TOOL_BIN, 0);
            return bin && !world.IsToolFull(*bin);
        };
        // Every condition is asked in the same step; Start marks each lesson
        // whose condition holds, and only the first of them runs.
        const auto check = [&](int kind, const auto& condition) {
            if (!seen(kind) && condition()) m_Training.Start(kind);
        };
        check(e_lessonPlants, [&] { return twoSeconds; });
        check(e_lessonPlantInstead, [&] {
            return player->m_iLevel == 5 && FirstPlantOfSort(level, "plant00") && money >= WarePrice("plant02") &&
                   !HasTaskFor(*player, "plant00") && HasTaskFor(*player, "plant02");
        });
        check(e_lessonWater, [&] { return FirstPlantWithNeed(level, cPlant::e_NeedWater) != nullptr; });
        check(e_lessonFactory, [&] { return twoSeconds && HasTaskFor(*player, "product00"); });
        check(e_lessonOstrich, [&] { return twoSeconds && HasTaskFor(*player, "egg"); });
        check(e_lessonEgg, [&] { return NthObject(level, OBJ_EGG, 0) && binFree(); });
        check(e_lessonAnimalFood, [&] {
            if (!NthObject(level, OBJ_OSTRICH, 0) || money < WarePrice(kGrassWare) || !level) return false;
            for (const cObject* object : level->GetObjects())
                if (object->GetType() != OBJ_NONE && object->IsType(OBJ_ANIMAL) &&
                    object->GetState() == cAnimal::e_stHungry)
                    return true;
            return false;
        });
        check(e_lessonGoat, [&] { return twoSeconds && HasTaskFor(*player, "milk"); });
        check(e_lessonHive, [&] { return twoSeconds && HasTaskFor(*player, "honey"); });
        check(e_lessonHoney, [&] {
            const cObject* hive = NthObject(level, OBJ_HIVE, 0);
            return hive && world.HiveHasHoney(*hive) && binFree();
        });
        check(e_lessonMilk, [&] {
            const cObject* goat = NthObject(level, OBJ_GOAT, 0);
            return goat && goat->GetState() == cAnimal::e_stMilk && binFree();
        });
        check(e_lessonPeacock, [&] { return twoSeconds && HasTaskFor(*player, "nib"); });
    }
    if (m_Training.IsActive() && m_Training.delay.Update(kRuleStep) == vek::mover<float>::e_Arrived) {
        m_Training.delay.Reset(0.0f);
        ShowTrainingStep();
    }
    // A tool the step points at can move after the step showed (the
    // gardener drops the one he holds when he takes another): the hint
    // lets clicks through only inside its highlight, so the step shows
    // again where the tool lies now.
    if (m_Training.IsActive() && !m_Training.IsWaiting() && g_ShownTool.kind == m_Training.iKind &&
        g_ShownTool.step == m_Training.iStep) {
        const cTrainingStep* row = FindTrainingStep(m_Training.iKind, m_Training.iStep);
        const cObject* tool = row ? NthObject(m_pLevel, row->mask, row->nth) : nullptr;
        const vek::rectf& was = g_ShownTool.rect;
        if (tool) {
            const vek::rectf r = tool->GetRect();
            if (r.x != was.x || r.y != was.y || r.w != was.w || r.h != was.h) ShowTrainingStep();
        }
    }
}

