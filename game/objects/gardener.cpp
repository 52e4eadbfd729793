#include "game/objects/gardener.h"

#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "engine/sound/sound.h"
#include "game/objects/animal.h"
#include "game/objects/garden_hooks.h"
#include "game/objects/hive.h"
#include "game/objects/hole.h"
#include "game/objects/plant.h"
#include "game/objects/product.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/balance.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/ware.h"

namespace {

constexpr float kHintTime = 3.0f;
constexpr int32_t kPumpPrice = 5;

enum eDirection { e_Right = 0, e_Left = 1, e_Up = 2, e_Down = 3 };
const char* const kAreas[4] = {"r", "l", "u", "d"};
// Walking textures by carried tool (none, can, weeding tool, basket) and
// direction (right, left, up, down).
const char* const kToolSprites[4][4] = {
    {"gard00", "gard01", "gard01", "gard00"},
    {"gard06", "gard07", "gard07", "gard06"},
    {"gard04", "gard05", "gard05", "gard04"},
    {"gard02", "gard03", "gard03", "gard02"},
};
const char* const kHintAreas[5] = {"tool_bin", "tool_weed", "tool_water", "stock", "water_pump"};

int32_t FieldWare(const char* name)
{
    return g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE;
}

vek::cSound* MakeGameSound(int id)
{
    if (!g_pGarden || !GetSoundManager()) return nullptr;
    const std::vector<int32_t>& table = g_pGarden->GetSoundTable();
    if (id < 0 || static_cast<size_t>(id) >= table.size() || table[static_cast<size_t>(id)] <= 0) return nullptr;
    return new vek::cSound(static_cast<uint32_t>(table[static_cast<size_t>(id)]));
}

vek::cQuadBatch* Batch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

} // namespace

bool cGardener::IsFieldWare(int32_t ware)
{
    return ware != NO_WARE && (ware == FieldWare(kGrassWare) || ware == FieldWare(kFlowersWare));
}

cGardener::cGardener(cLevel* level) : cObject(level)
{
    SetSprite("gard00", "d", 0);
    m_WorkTimer.m_fSpeed = 1.0f;
    m_HintTimer.m_fSpeed = 1.0f;
    m_pWaterSound = MakeGameSound(e_sndWater);
    m_pWeedSound = MakeGameSound(e_sndWeed);
    SetSpeed(GetUpgradeValue(garden::Balance().vecWalkSpeed, GetUpgradeLevel(cUpgrades::e_upSpeed)));
}

cGardener::~cGardener()
{
    delete m_pWaterSound;
    delete m_pWeedSound;
}

cTool* cGardener::GetTool() const
{
    if (!m_pLevel || !m_pLevel->HasObject(m_uTool)) return nullptr;
    cObject* object = m_pLevel->GetObject(m_uTool);
    return object->IsType(OBJ_TOOL) ? static_cast<cTool*>(object) : nullptr;
}

cToolWater* cGardener::GetCan() const
{
    cTool* tool = GetTool();
    return tool && tool->IsType(OBJ_TOOL_WATER) ? static_cast<cToolWater*>(tool) : nullptr;
}

cToolBin* cGardener::GetBasket() const
{
    cTool* tool = GetTool();
    return tool && tool->IsType(OBJ_TOOL_BIN) ? static_cast<cToolBin*>(tool) : nullptr;
}

vek::rectf cGardener::GetRect() const
{
    return vek::rectf(std::trunc(m_vPos.x - m_vSize.x / 2.0f), std::trunc(m_vPos.y + 15.0f), m_vSize.x, m_vSize.y);
}

void cGardener::SetPos(float x, float y)
{
    cObject::SetPos(x, y);
    if (cTool* tool = GetTool()) tool->SetPos(x, y + 15.0f);
}

void cGardener::SetToolSprite(int direction, int32_t mode)
{
    const int set = GetToolKind() + 1;
    SetSprite(kToolSprites[set][direction], kAreas[direction], mode);
}

bool cGardener::SetAnimation(const vek::string& texture, const vek::string& area, int32_t cycles, float duration,
                             int32_t mode)
{
    const bool found = SetSprite(texture, area, 0);
    m_iRepeat = cycles;
    m_iLastDirection = mode == 0 ? 0 : (mode == 2 || mode == 4) ? -1 : 1;
    m_Anim.iFrame = 0;
    m_Anim.fElapsed = 0.0f;
    m_Anim.iDirection = 1;
    m_iLastFrame = 0;
    const float frameTime =
        m_Anim.iFrameCount >= 2 && cycles > 0 ? duration / static_cast<float>(m_Anim.iFrameCount * cycles) : 0.0f;
    // An animation that cannot count its passes (a missing or one-picture
    // sprite, no cycles, no time) would hold the work state for ever: the
    // work ends when its duration has passed instead.
    m_bTimedWork = !(frameTime > 0.0f) || !std::isfinite(frameTime);
    m_fWorkLeft = duration;
    m_Anim.fFrameTime = m_bTimedWork ? duration : frameTime;
    m_Anim.iMode = mode;
    if (mode >= 0 && mode <= 5) m_Anim.ApplyMode(mode, true);
    return found;
}

bool cGardener::AnimStopped() const { return m_Anim.iMode == 0 || m_Anim.iFrameCount < 2; }

void cGardener::CountRepeat()
{
    if (m_iRepeat > 0) {
        if (m_bTimedWork) {
            m_fWorkLeft -= vek::kFixedStep;
            if (!(m_fWorkLeft > 1e-4f)) m_iRepeat = 0;
        } else if (m_Anim.iMode == 0) {
            --m_iRepeat;
        } else if (m_Anim.iMode == 5) {
            if (m_Anim.iDirection != m_iLastDirection) {
                --m_iRepeat;
                m_iLastDirection = m_Anim.iDirection;
            }
        } else if (m_Anim.iFrame < m_iLastFrame) {
            --m_iRepeat;
        }
    }
    m_iLastFrame = m_Anim.iFrame;
}

float cGardener::WorkTime(int upgrade) const
{
    const cGameBalance& balance = garden::Balance();
    const std::vector<float>& table =
        upgrade == cUpgrades::e_upWaterTime  ? balance.vecWaterTime
        : upgrade == cUpgrades::e_upWeedTime ? balance.vecWeedTime
                                             : balance.vecWorkTime;
    return GetUpgradeValue(table, GetUpgradeLevel(upgrade));
}

void cGardener::QueueCell(const cell& at) { m_Jobs.push_back(cJob{0, at, cJob::e_Cell}); }

void cGardener::QueueWare(int32_t ware) { m_Jobs.push_back(cJob{ware, cell(), cJob::e_Ware}); }

void cGardener::QueueObject(uint32_t id)
{
    if (!m_pLevel || !m_pLevel->HasObject(id)) return;
    cObject* object = m_pLevel->GetObject(id);
    // A click on a bed with a plant on it means the plant.
    if (object->IsType(OBJ_HOLE)) {
        const uint32_t plant = static_cast<cHole*>(object)->GetPlant();
        if (plant != 0) object = m_pLevel->GetObject(plant);
    }
    const cJob job{static_cast<int32_t>(object->GetId()), object->GetCell(), cJob::e_Object};
    if (m_iState == e_gsIdle && m_Jobs.empty() && !CanDoJob(job)) return;
    if (!m_Jobs.empty() && m_Jobs.back().iKind == cJob::e_Object && m_Jobs.back().iId == job.iId) return;
    object->AddTarget();
    m_Jobs.push_back(job);
}

void cGardener::QueueType(uint32_t mask)
{
    if (!m_pLevel) return;
    cObject* object = m_pLevel->FindObject(cell(), mask);
    if (object && object != m_pLevel->GetNullObject()) QueueObject(object->GetId());
}

void cGardener::PopJob()
{
    if (m_Jobs.empty()) return;
    const cJob job = m_Jobs.front();
    m_Jobs.erase(m_Jobs.begin());
    if (job.iKind == cJob::e_Object && m_pLevel && m_pLevel->HasObject(static_cast<uint32_t>(job.iId)) &&
        m_pLevel->IsValidCell(job.at))
        m_pLevel->GetObject(static_cast<uint32_t>(job.iId))->RemoveTarget();
}

void cGardener::ClearJobs()
{
    for (const cJob& job : m_Jobs)
        if (job.iKind == cJob::e_Object && m_pLevel && m_pLevel->HasObject(static_cast<uint32_t>(job.iId)))
            m_pLevel->GetObject(static_cast<uint32_t>(job.iId))->ClearTargets();
    m_Jobs.clear();
    SetState(e_gsIdle);
}

bool cGardener::TakeTool(uint32_t id)
{
    if (!m_pLevel || !m_pLevel->HasObject(id)) return false;
    cObject* object = m_pLevel->GetObject(id);
    if (!object->IsType(OBJ_TOOL)) return false;
    if (object->IsType(OBJ_TOOL_WATER) && !garden::WaterEventSet()) return false;
    if (object->IsType(OBJ_TOOL_WATER)) {
        garden::TrainingStep(e_lessonWater, e_stepWaterCan);
    } else if (object->IsType(OBJ_TOOL_WEED)) {
        garden::TrainingStep(e_lessonPlants, e_stepPlantsWeedTool);
    } else if (object->IsType(OBJ_TOOL_BIN)) {
        garden::TrainingStep(e_lessonPlants, e_stepPlantsBasket);
        garden::TrainingStep(e_lessonHoney, e_stepTakeBasket);
        garden::TrainingStep(e_lessonEgg, e_stepTakeBasket);
        garden::TrainingStep(e_lessonMilk, e_stepTakeBasket);
    }
    DropTool();
    ClearWare();
    m_uTool = id;
    auto* tool = static_cast<cTool*>(object);
    tool->SetInUse(true);
    tool->SetPos(m_vPos.x, m_vPos.y + 15.0f);
    garden::PlaySound(e_sndToolTake);
    return true;
}

int32_t cGardener::GetToolKind() const
{
    const cTool* tool = GetTool();
    return tool ? tool->GetToolKind() : -1;
}

void cGardener::SetWare(int32_t ware)
{
    ClearWare();
    m_iWare = ware;
    cSprite icon;
    if (g_pWareManager && ware != NO_WARE && IsTableWare(ware))
        garden::Sprite("icons00", g_pWareManager->GetWare(static_cast<uint32_t>(ware))->strName, &icon);
    m_WareIcon = icon;
}

void cGardener::ClearWare()
{
    m_iWare = NO_WARE;
    m_WareIcon = cSprite();
}

void cGardener::DropTool()
{
    cTool* tool = GetTool();
    m_uTool = 0;
    if (!tool) return;
    // Off the field (at the pump) the search starts from the field's cell
    // nearest to where he stands, not from the corner that (-1, -1) is next to.
    const cell own = GetCell();
    const cell from = m_pLevel->IsValidCell(own) ? own : m_pLevel->NearestCell(m_vPos);
    bool alone = m_pLevel->IsValidCell(own);
    for (cObject* object : m_pLevel->GetObjectsAt(own))
        if (object != this && object != tool) alone = false;
    cell to = from;
    if (!alone || m_pLevel->GetCellValue(own) == 0.0f) {
        to = m_pLevel->FindFreeCellNear(from);
        if (!m_pLevel->IsValidCell(to)) to = from;
    }
    tool->SetCell(to);
    tool->SetInUse(false);
}

void cGardener::SetSpeed(float speed)
{
    if (!(speed > 0.0f)) {
        static bool warned = false;
        const std::vector<float>& table = garden::Balance().vecWalkSpeed;
        const float fallback = !table.empty() && table[0] > 0.0f ? table[0] : 280.0f;
        if (!warned) {
            warned = true;
            vek::LogWarning("cGardener", "SetSpeed: speed %f cannot walk; %f is taken\n", vek::format_arg(speed),
                            vek::format_arg(fallback));
        }
        speed = fallback;
    }
    m_fSpeed = speed;
    m_Walk.SetSpeed(speed);
}

bool cGardener::CanUseTool() const
{
    switch (GetToolKind()) {
    case cTool::e_Can: return GetCan()->GetWater() > 0;
    case cTool::e_Weed: return true;
    case cTool::e_Basket: return !GetBasket()->IsFull();
    default: return false;
    }
}

void cGardener::ShowToolHint(int32_t kind)
{
    if (m_Jobs.size() >= 2 || kind < 0 || kind > 4) return;
    garden::Sprite("icons00", kHintAreas[kind], &m_HintIcon);
    m_HintTimer.Reset(0.0f);
    m_HintTimer.SetTarget(kHintTime);
}

void cGardener::HideToolHint()
{
    m_HintIcon = cSprite();
    m_HintTimer.Reset(0.0f);
}

bool cGardener::CanDoJob(const cJob& job)
{
    if (job.iKind == cJob::e_Cell) {
        if (IsFieldWare(m_iWare)) {
            cObject* plant = m_pLevel->FindObject(job.at, OBJ_PLANT);
            if (plant && plant != m_pLevel->GetNullObject()) return false;
        }
        HideToolHint();
        return true;
    }
    if (job.iKind != cJob::e_Object || !m_pLevel->HasObject(static_cast<uint32_t>(job.iId))) {
        HideToolHint();
        return true;
    }
    cObject* object = m_pLevel->GetObject(static_cast<uint32_t>(job.iId));
    bool accepted = true;
    bool keepHint = false;
    if (object->IsType(OBJ_TOOL)) {
        ClearWare();
    } else if (object->IsType(OBJ_HOLE)) {
        accepted = m_iWare != NO_WARE && !IsFieldWare(m_iWare);
    } else if (object->IsType(OBJ_PLANT)) {
        auto* plant = static_cast<cPlant*>(object);
        if (m_iWare != NO_WARE) {
            accepted = !IsFieldWare(m_iWare);
            keepHint = accepted;
        } else {
            const int32_t need = plant->GetNeed();
            const int32_t kind = GetToolKind();
            const bool usable = CanUseTool();
            if (need == kind && !usable) {
                if (kind == cTool::e_Can) ShowToolHint(e_hintPump);
                else if (kind == cTool::e_Basket) ShowToolHint(e_hintStock);
            } else if (need != kind && need >= 0) {
                static const int32_t kNeedHints[3] = {e_hintWater, e_hintWeed, e_hintBin};
                ShowToolHint(kNeedHints[need]);
            }
            accepted = (need == kind && usable) || (need == cPlant::e_NeedNone && kind == cTool::e_Basket);
            if (accepted && need == cPlant::e_NeedNone) ClearWare();
        }
    } else if (object->IsType(OBJ_CAR)) {
        const cToolBin* basket = GetBasket();
        accepted = basket && basket->GetCount() >= 1;
    } else if (object->IsType(OBJ_PUMP)) {
        const cToolWater* can = GetCan();
        accepted = can && !can->IsFull() && garden::Money() >= kPumpPrice;
    } else if (object->IsType(OBJ_PRODUCT) || object->IsType(OBJ_GOAT) || object->IsType(OBJ_HIVE)) {
        // Eggs, nibs, milk and honey all go into the basket.
        const cToolBin* basket = GetBasket();
        if (!basket) ShowToolHint(e_hintBin);
        else if (basket->IsFull()) ShowToolHint(e_hintStock);
        accepted = basket && !basket->IsFull();
        if (accepted && object->IsType(OBJ_GOAT)) accepted = object->GetState() == cAnimal::e_stMilk;
    }
    if (accepted && !keepHint) HideToolHint();
    return accepted;
}

void cGardener::StartPlanting(int32_t* next)
{
    const int32_t price = g_pWareManager ? g_pWareManager->GetWare(static_cast<uint32_t>(m_iWare))->iPrice : 0;
    if (garden::Money() < price) ClearWare();
    else *next = e_gsSowStart;
}

void cGardener::DoNextJob()
{
    if (m_Jobs.empty()) return;
    const cJob job = m_Jobs.front();
    PopJob();
    int32_t next = m_iState;
    cObject* object = nullptr;
    if (job.iKind == cJob::e_Object && m_pLevel->HasObject(static_cast<uint32_t>(job.iId)))
        object = m_pLevel->GetObject(static_cast<uint32_t>(job.iId));
    if (!object) {
        if (IsFieldWare(m_iWare)) StartPlanting(&next);
    } else if (object->IsType(OBJ_TOOL)) {
        TakeTool(object->GetId());
    } else if (object->IsType(OBJ_HOLE)) {
        if (m_iWare != NO_WARE) {
            DropTool();
            StartPlanting(&next);
        }
    } else if (object->IsType(OBJ_PLANT)) {
        auto* plant = static_cast<cPlant*>(object);
        const bool fieldPlant = plant->IsFlowers() || plant->IsGrass();
        if (fieldPlant || m_iWare == NO_WARE) {
            const int32_t need = plant->GetNeed();
            if (need >= 0 && need <= 2 && GetToolKind() == need && CanUseTool()) {
                m_uPlant = plant->GetId();
                plant->SetWorked(true);
                static const int32_t kStarts[3] = {e_gsWaterStart, e_gsWeedStart, e_gsHarvestStart};
                next = kStarts[need];
            }
        } else {
            // A seed clicked on a crop goes into the bed under it; sowing
            // there replaces the plant.
            cObject* hole = m_pLevel->FindObject(plant->GetCell(), OBJ_HOLE);
            if (hole && hole != m_pLevel->GetNullObject()) {
                hole->AddTarget();
                m_Jobs.insert(m_Jobs.begin(), cJob{static_cast<int32_t>(hole->GetId()), hole->GetCell(), cJob::e_Object});
            }
        }
    } else if (object->IsType(OBJ_CAR)) {
        if (GetBasket()) next = e_gsUnload;
    } else if (object->IsType(OBJ_PUMP)) {
        if (GetCan()) next = e_gsFillStart;
    } else if (object->IsType(OBJ_PRODUCT)) {
        if (GetBasket() && CanUseTool()) {
            m_uProduct = object->GetId();
            next = e_gsPickStart;
        }
    } else if (object->IsType(OBJ_GOAT)) {
        if (GetBasket() && CanUseTool() && object->GetState() == cAnimal::e_stMilk) {
            object->SetState(cAnimal::e_stLay);
            // She stands still for him only once she has taken the state.
            if (object->GetState() == cAnimal::e_stLay) {
                m_uGoat = object->GetId();
                next = e_gsMilkStart;
            }
        }
    } else if (object->IsType(OBJ_HIVE)) {
        if (GetBasket() && CanUseTool() && static_cast<cHive*>(object)->IsFull()) {
            m_uHive = object->GetId();
            next = e_gsHoneyStart;
        }
    }
    if (next != m_iState) SetState(next);
}

void cGardener::RunNextJob()
{
    const int32_t before = m_iState;
    DoNextJob();
    if (m_iState == before) SetState(e_gsIdle);
}

void cGardener::Walk(const cJob& job)
{
    vek::vec2 target = m_pLevel->GetCellPos(job.at);
    if (job.iKind == cJob::e_Object && m_pLevel->HasObject(static_cast<uint32_t>(job.iId))) {
        cObject* object = m_pLevel->GetObject(static_cast<uint32_t>(job.iId));
        if (object->IsType(OBJ_PUMP)) {
            const vek::rectf r = object->GetRect();
            target = vek::vec2(r.x - 17.0f, r.y);
        } else if (object->IsType(OBJ_GOAT)) {
            target.x += 30.0f;
        }
    }
    m_Walk.m_fSpeed = m_fSpeed;
    m_Walk.Reset(m_vPos);
    m_Walk.SetTarget(target);
    SetState(e_gsWalk);
}

cObject* cGardener::Alive(uint32_t id) const
{
    if (id == 0 || !m_pLevel || !m_pLevel->HasObject(id)) return nullptr;
    cObject* object = m_pLevel->GetObject(id);
    return object->GetState() == e_stRemove ? nullptr : object;
}

void cGardener::SetHiveLid(int32_t mode)
{
    cObject* object = Alive(m_uHive);
    if (!object || !object->IsType(OBJ_HIVE)) return;
    vek::cAnimCounter& lid = static_cast<cHive*>(object)->GetBodyAnim();
    lid.iMode = mode;
    lid.ApplyMode(mode, false);
}

void cGardener::ReleaseGoat()
{
    cObject* goat = Alive(m_uGoat);
    if (goat && goat->IsType(OBJ_GOAT) && goat->GetState() == cAnimal::e_stLay) goat->SetState(cAnimal::e_stRoam);
    m_uGoat = 0;
}

void cGardener::EndWorkOn(uint32_t id)
{
    if (m_pLevel && m_pLevel->HasObject(id)) {
        cObject* object = m_pLevel->GetObject(id);
        if (object->IsType(OBJ_PLANT)) static_cast<cPlant*>(object)->SetWorked(false);
    }
}

bool cGardener::CanChangeState(int32_t oldState, int32_t newState)
{
    // Leaving a work sequence on a plant anywhere but into its next state
    // (a right click, a cleared queue) leaves the plant as it was: its need
    // runs out again.
    const bool plantWork = (oldState >= e_gsWaterStart && oldState <= e_gsWatering) ||
                           (oldState >= e_gsWeedStart && oldState <= e_gsWeeding) ||
                           (oldState >= e_gsHarvestStart && oldState <= e_gsHarvest);
    if (plantWork && newState != oldState + 1) {
        EndWorkOn(m_uPlant);
        if (newState < e_gsWaterStart || newState > e_gsHarvestEnd) m_uPlant = 0;
    }
    switch (oldState) {
    case e_gsWatering:
        if (m_pWaterSound) m_pWaterSound->FadeOut(0.3f);
        m_uPlant = 0;
        break;
    case e_gsWeeding:
        if (m_pWeedSound) m_pWeedSound->FadeOut(0.3f);
        m_uPlant = 0;
        break;
    case e_gsHarvest: m_uPlant = 0; break;
    case e_gsPickStart:
        if (newState != e_gsPick) m_uProduct = 0;
        break;
    case e_gsPick: m_uProduct = 0; break;
    case e_gsHoneyStart:
    case e_gsHoney:
        // Called away before the honey: the lid closes again.
        if (newState != oldState + 1) {
            SetHiveLid(2);
            m_uHive = 0;
        }
        break;
    case e_gsHoneyEnd: m_uHive = 0; break;
    case e_gsMilkStart:
        // A milking called off lets the goat go; she would otherwise stand
        // in it for good, neither hungry nor giving milk.
        if (newState != e_gsMilk) ReleaseGoat();
        break;
    case e_gsMilk:
        ReleaseGoat();
        garden::TrainingStep(e_lessonMilk, e_stepMilkGoat);
        break;
    case e_gsFill:
        if (m_pLevel && m_pLevel->HasObject(m_pLevel->m_uPumpId))
            m_pLevel->GetObject(m_pLevel->m_uPumpId)->SetState(cWaterPump::e_wpIdle);
        garden::TrainingStep(e_lessonWater, e_stepWaterPump);
        break;
    default: break;
    }
    const float volume = GetSoundManager() ? GetSoundManager()->GetVolume(vek::cSoundManager::e_Sound) : 1.0f;
    switch (newState) {
    case e_gsWalk: {
        vek::vec2 d = m_Walk.m_To - m_Walk.m_From;
        const float length = d.Length();
        if (length > 0.0f) d = d * (1.0f / length);
        int direction = e_Down;
        if (d.x > 0.0f && std::fabs(d.y) <= d.x) direction = e_Right;
        else if (d.x < 0.0f && std::fabs(d.y) <= std::fabs(d.x)) direction = e_Left;
        else if (d.y > 0.0f && std::fabs(d.x) <= d.y) direction = e_Up;
        SetToolSprite(direction, 3);
        break;
    }
    case e_gsIdle: SetToolSprite(e_Down, 0); break;
    case e_gsSowStart:
        DropTool();
        SetToolSprite(e_Down, 0);
        SetSprite("gard09", "seed_start", 1);
        break;
    case e_gsSow:
        garden::PlaySound(e_sndSeed);
        SetAnimation("gard09", "seed_work", 2, WorkTime(cUpgrades::e_upBinTime), 5);
        break;
    case e_gsSowEnd: SetSprite("gard09", "seed_start", 2); break;
    case e_gsWaterStart: SetSprite("gard10", "water_start", 1); break;
    case e_gsWatering:
        if (m_pWaterSound) {
            m_pWaterSound->SetVolume(volume);
            m_pWaterSound->Play(true);
        }
        SetAnimation("gard10", "water_work", 2, WorkTime(cUpgrades::e_upWaterTime), 5);
        break;
    case e_gsWaterEnd: SetSprite("gard10", "water_start", 2); break;
    case e_gsWeedStart: SetSprite("gard10", "weed_start", 1); break;
    case e_gsWeeding:
        if (m_pWeedSound) {
            m_pWeedSound->SetVolume(volume);
            m_pWeedSound->Play(true);
        }
        SetAnimation("gard10", "weed_work", 2, WorkTime(cUpgrades::e_upWeedTime), 5);
        break;
    case e_gsWeedEnd: SetSprite("gard10", "weed_start", 2); break;
    case e_gsHarvestStart: SetSprite("gard11", "harvest_start", 1); break;
    case e_gsHarvest:
        garden::PlaySound(e_sndHarvest);
        SetAnimation("gard11", "harvest_work", 2, WorkTime(cUpgrades::e_upBinTime), 5);
        break;
    case e_gsHarvestEnd: SetSprite("gard11", "harvest_start", 2); break;
    case e_gsPickStart: SetSprite("gard11", "harvest_start", 1); break;
    case e_gsPick:
        garden::PlaySound(e_sndHarvest);
        SetAnimation("gard11", "harvest_work", 2, WorkTime(cUpgrades::e_upBinTime), 5);
        break;
    case e_gsPickEnd: SetSprite("gard11", "harvest_start", 2); break;
    case e_gsHoneyStart:
        garden::PlaySound(e_sndHiveOpen);
        SetHiveLid(1);
        SetSprite("gard11", "honey_start", 1);
        break;
    case e_gsHoney:
        m_WorkTimer.Reset(0.0f);
        m_WorkTimer.SetTarget(WorkTime(cUpgrades::e_upBinTime));
        SetSprite("gard11", "honey_work", 3);
        break;
    case e_gsHoneyEnd:
        garden::PlaySound(e_sndHiveOpen);
        SetHiveLid(2);
        SetSprite("gard11", "honey_start", 2);
        break;
    case e_gsMilkStart: SetSprite("gard08", "milking_start", 1); break;
    case e_gsMilk: {
        garden::PlaySound(e_sndGoatMilk);
        const cObject* goat = Alive(m_uGoat);
        const float time =
            goat && goat->IsType(OBJ_ANIMAL) ? static_cast<const cAnimal*>(goat)->GetSpeciesParam(cAnimal::e_parLaying) : 0.0f;
        m_WorkTimer.Reset(0.0f);
        m_WorkTimer.SetTarget(time);
        SetSprite("gard08", "milking_work", 3);
        break;
    }
    case e_gsMilkEnd: SetSprite("gard08", "milking_start", 2); break;
    case e_gsFillStart: SetSprite("gard08", "water_put", 1); break;
    case e_gsFill:
        garden::PlaySound(e_sndWaterRepair);
        m_WorkTimer.Reset(0.0f);
        m_WorkTimer.SetTarget(garden::Balance().fPumpWait);
        SetSprite("gard08", "water_wait", 5);
        if (m_pLevel && m_pLevel->HasObject(m_pLevel->m_uPumpId))
            m_pLevel->GetObject(m_pLevel->m_uPumpId)->SetState(cWaterPump::e_wpPumping);
        break;
    case e_gsFillEnd: SetSprite("gard08", "water_put", 2); break;
    case e_gsUnload:
        m_bPutPlayed = false;
        SetSprite("gard09", "been_stock", 1);
        break;
    case e_gsUnloadEnd: SetSprite("gard09", "been_stock", 2); break;
    case e_stRemove: RemoveFromMap(); break;
    default: break;
    }
    return true;
}

void cGardener::Update()
{
    if (m_iState == e_gsUnload && m_pLevel) {
        cObject* car = m_pLevel->GetObject(m_pLevel->m_uCarId);
        if (m_pLevel->HasObject(m_pLevel->m_uCarId) && car->GetState() != cCar::e_csParked) return;
    }
    m_Anim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_stFresh);
    else if (m_iState == e_stRemove) RemoveFromMap();
    m_HintTimer.Update(vek::kFixedStep);
    CountRepeat();

    int32_t next = m_iState;
    cPlant* plant = nullptr;
    if (m_pLevel && m_pLevel->HasObject(m_uPlant) && m_pLevel->GetObject(m_uPlant)->IsType(OBJ_PLANT))
        plant = static_cast<cPlant*>(m_pLevel->GetObject(m_uPlant));
    if (plant && plant->GetState() == e_stRemove) plant = nullptr;
    switch (m_iState) {
    case e_stFresh: next = e_gsIdle; break;
    case e_gsIdle: {
        if (m_Jobs.empty()) {
            SetToolSprite(e_Down, 0);
            break;
        }
        const cJob job = m_Jobs.front();
        if (job.iKind == cJob::e_Ware) {
            SetWare(job.iId);
            PopJob();
            if (IsFieldWare(job.iId)) DropTool();
            break;
        }
        if (!CanDoJob(job)) {
            PopJob();
            break;
        }
        if (job.at == GetCell()) RunNextJob();
        else Walk(job);
        return;
    }
    case e_gsSowStart:
    case e_gsWaterStart:
    case e_gsWeedStart:
    case e_gsHarvestStart:
    case e_gsPickStart:
    case e_gsHoneyStart:
    case e_gsMilkStart:
    case e_gsFillStart:
        if (AnimStopped()) next = m_iState + 1;
        break;
    case e_gsSowEnd:
    case e_gsWaterEnd:
    case e_gsWeedEnd:
    case e_gsHarvestEnd:
    case e_gsPickEnd:
    case e_gsHoneyEnd:
    case e_gsMilkEnd:
    case e_gsFillEnd:
    case e_gsUnloadEnd:
        if (AnimStopped()) next = e_gsIdle;
        break;
    case e_gsSow:
        if (m_iRepeat <= 0) {
            if (m_iWare != NO_WARE && g_pWareManager) {
                const int32_t price = g_pWareManager->GetWare(static_cast<uint32_t>(m_iWare))->iPrice;
                if (garden::Money() >= price) {
                    const cell own = GetCell();
                    cObject* standing = m_pLevel->FindObject(own, OBJ_PLANT);
                    if (standing && standing != m_pLevel->GetNullObject()) {
                        standing->SetState(e_stRemove);
                        if (g_pGarden && !g_pGarden->IsEventSeen(e_lessonPlantInstead)) g_pGarden->SetEventSeen11();
                    }
                    m_pLevel->AddPlant(own, m_iWare);
                    garden::SpendMoney(price);
                    garden::Popup(vek::string("-$") + std::to_string(price),
                                  vek::vec2(m_vPos.x, m_vPos.y + m_pLevel->GetCellSize().y * 0.5f));
                }
            }
            next = e_gsSowEnd;
        }
        break;
    case e_gsWatering:
        if (!plant) {
            next = e_gsIdle;
        } else if (m_iRepeat <= 0) {
            if (cToolWater* can = GetCan()) can->UseWater(1);
            plant->ClearNeed();
            next = e_gsWaterEnd;
        }
        break;
    case e_gsWeeding:
        if (!plant) {
            next = e_gsIdle;
        } else if (m_iRepeat <= 0) {
            plant->ClearNeed();
            next = e_gsWeedEnd;
        }
        break;
    case e_gsHarvest: {
        cToolBin* basket = GetBasket();
        if (!basket || basket->IsFull() || !plant) {
            next = e_gsIdle;
        } else if (m_iRepeat <= 0) {
            const int32_t ware = plant->Harvest();
            if (ware != NO_WARE) {
                basket->AddWare(ware);
                if (g_pGarden) g_pGarden->CountWare(ware);
            }
            next = e_gsHarvestEnd;
        }
        break;
    }
    case e_gsPick: {
        cToolBin* basket = GetBasket();
        cObject* product = Alive(m_uProduct);
        if (!basket || basket->IsFull() || !product || !product->IsType(OBJ_PRODUCT)) {
            next = e_gsIdle;
        } else if (m_iRepeat <= 0) {
            const int32_t ware = static_cast<cAnimalProduct*>(product)->GetWare();
            if (ware != NO_WARE) basket->AddWare(ware);
            garden::TrainingStep(e_lessonEgg, e_stepEggPick);
            product->SetState(e_stRemove);
            next = e_gsPickEnd;
        }
        break;
    }
    case e_gsHoney: {
        cToolBin* basket = GetBasket();
        cObject* hive = Alive(m_uHive);
        if (!basket || basket->IsFull() || !hive || !hive->IsType(OBJ_HIVE)) {
            next = e_gsIdle;
        } else if (m_WorkTimer.Update(vek::kFixedStep) != vek::mover<float>::e_Moving) {
            const int32_t honey = FieldWare("honey");
            if (static_cast<cHive*>(hive)->TakeHoney()) {
                if (honey != NO_WARE) basket->AddWare(honey);
                garden::TrainingStep(e_lessonHoney, e_stepHoneyTake);
            }
            next = e_gsHoneyEnd;
        }
        break;
    }
    case e_gsMilk: {
        cToolBin* basket = GetBasket();
        if (!basket || basket->IsFull()) {
            next = e_gsIdle;
        } else if (m_WorkTimer.Update(vek::kFixedStep) != vek::mover<float>::e_Moving) {
            cObject* goat = Alive(m_uGoat);
            if (goat && goat->IsType(OBJ_GOAT)) {
                const int32_t milk = FieldWare("milk");
                if (milk != NO_WARE) basket->AddWare(milk);
                goat->SetState(cAnimal::e_stRoam);
            }
            next = e_gsMilkEnd;
        }
        break;
    }
    case e_gsFill:
        if (m_WorkTimer.Update(vek::kFixedStep) != vek::mover<float>::e_Moving) {
            cToolWater* can = GetCan();
            if (can && garden::Money() > 4) {
                can->AddWater(1);
                garden::SpendMoney(kPumpPrice);
                garden::Popup(vek::string("-$") + std::to_string(kPumpPrice), vek::vec2(m_vPos.x + 40.0f, m_vPos.y + 130.0f));
                if (!can->IsFull() && garden::Money() > 4) {
                    m_WorkTimer.Reset(0.0f);
                    m_WorkTimer.SetTarget(garden::Balance().fPumpWait);
                } else {
                    next = e_gsFillEnd;
                }
            } else {
                next = e_gsFillEnd;
            }
        }
        break;
    case e_gsUnload: {
        cToolBin* basket = GetBasket();
        if (!basket) {
            next = e_gsIdle;
            break;
        }
        if (m_Anim.iMode == 1 && !m_bPutPlayed && m_Anim.iFrame == m_Anim.iFrameCount / 2 - 1) {
            m_bPutPlayed = true;
            garden::PlaySound(e_sndPutCar);
        }
        if (AnimStopped()) {
            SetState(e_gsUnloadEnd);
            next = m_iState;
            cPlayer* player = garden::Player();
            while (basket->GetCount() > 0) {
                const int32_t ware = basket->TakeFirstWare();
                if (player && g_pGarden) g_pGarden->CollectWare(player->m_CarLoad, ware);
            }
        }
        break;
    }
    default: break;
    }
    if (next != m_iState) SetState(next);
}

void cGardener::Move(float elapsed)
{
    if (m_iState != e_gsWalk) return;
    // A walk of no length (he already stands on the job's point, as at the
    // pump, whose point lies off the field) has arrived: going idle instead
    // would take the same job up again and walk nowhere for ever.
    if (m_Walk.Update(elapsed) == vek::mover<vek::vec2>::e_Moving) {
        SetPos(m_Walk.m_Value);
        return;
    }
    SetPos(m_Walk.m_Value);
    RunNextJob();
}

void cGardener::Draw()
{
    if (vek::cQuadBatch* batch = Batch()) DrawInto(*batch);
}

void cGardener::DrawInto(vek::cQuadBatch& batch)
{
    cObject::DrawInto(batch);
    if (!m_bLooked) {
        m_bLooked = true;
        garden::Sprite("icons00", "cloud", &m_Cloud);
        garden::Sprite("icons00", "circle_need", &m_Circle);
    }
    const vek::rectf r = GetRect();
    if (IsHintShown() && m_Cloud.iTexture != 0) {
        const vek::rectf bubble(m_vPos.x - m_Cloud.fWidth, r.y + r.h, m_Cloud.fWidth, m_Cloud.fHeight);
        batch.AddQuad(static_cast<uint32_t>(m_Cloud.iTexture), bubble, vek::kOpaqueWhite, m_Cloud.pFrames[0]);
        const vek::rectf icon(bubble.x + (bubble.w - m_HintIcon.fWidth) / 2.0f,
                              bubble.y + (bubble.h - m_HintIcon.fHeight) / 2.0f + 4.0f, m_HintIcon.fWidth,
                              m_HintIcon.fHeight);
        batch.AddQuad(static_cast<uint32_t>(m_HintIcon.iTexture), icon, vek::kOpaqueWhite, m_HintIcon.pFrames[0]);
    }
    const bool sowing = m_iState >= e_gsSowStart && m_iState <= e_gsSowEnd;
    if (sowing || m_iWare == NO_WARE || m_WareIcon.iTexture == 0) return;
    const vek::rectf icon(m_vPos.x - m_WareIcon.fWidth / 2.0f, m_vPos.y + 120.0f, m_WareIcon.fWidth,
                          m_WareIcon.fHeight);
    const vek::vec2 centre(icon.x + icon.w / 2.0f, icon.y + icon.h / 2.0f);
    if (m_Circle.iTexture != 0)
        batch.AddSector(static_cast<uint32_t>(m_Circle.iTexture), m_Circle.pFrames[0], centre, 21.0f, 32, 0.0f,
                        6.2831853f, vek::kOpaqueWhite);
    batch.AddQuad(static_cast<uint32_t>(m_WareIcon.iTexture), icon, vek::kOpaqueWhite, m_WareIcon.pFrames[0]);
}
