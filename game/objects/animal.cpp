#include "game/objects/animal.h"

#include <cstdlib>
#include <map>
#include <string>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/animal_world.h"
#include "game/objects/product.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"

namespace {

constexpr float kEps = 1.1920929e-7f;

// The call period: 28 to 52 s, each product rounded to single precision.
float DrawCallPeriod()
{
    const float range = RandomRange(700.0f, 1300.0f);
    const float scaled = range * 40.0f;
    return scaled / 1000.0f;
}

} // namespace

bool IsFreeRange() { return g_pGarden && g_pGarden->m_bFreeRange != 0; }

bool IsProfileEventSet(int32_t index)
{
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    if (!player || index < 0 || static_cast<size_t>(index) >= player->m_Events.size()) return false;
    return player->m_Events[static_cast<size_t>(index)] != 0;
}

namespace {

// What the animals looked up, kept for as long as the game runs: the ware
// numbers are the ware manager's, the sprites point into the sprite
// registry, and both go with the game.
std::map<std::string, int32_t>& KnownAnimalWares()
{
    static std::map<std::string, int32_t> known;
    return known;
}

std::map<std::string, cSprite>& KnownAnimalIcons()
{
    static std::map<std::string, cSprite> icons;
    return icons;
}

} // namespace

int32_t AnimalWare(const char* name)
{
    // Kept once found; a lookup before the wares exist is tried again.
    std::map<std::string, int32_t>& known = KnownAnimalWares();
    auto it = known.find(name);
    if (it != known.end()) return it->second;
    const int32_t ware = g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE;
    if (ware != NO_WARE) known[name] = ware;
    return ware;
}

const cSprite& AnimalIcon(const char* area)
{
    std::map<std::string, cSprite>& icons = KnownAnimalIcons();
    auto it = icons.find(area);
    if (it == icons.end()) {
        cSprite sprite;
        LookUpSprite("icons00", area, &sprite);
        it = icons.emplace(area, sprite).first;
    }
    return it->second;
}

void ForgetAnimalLookups()
{
    KnownAnimalWares().clear();
    KnownAnimalIcons().clear();
}

// ---- timers ----

void cAnimal::StartTimer(cTimer& timer, float seconds)
{
    timer.m_From = timer.m_To = timer.m_Value = 0.0f;
    timer.m_fTime = timer.m_fDuration = 0.0f;
    timer.m_fSpeed = 1.0f;
    timer.SetTarget(seconds);
}

int cAnimal::StepTimer(cTimer& timer, float elapsed) { return timer.Update(elapsed); }

float cAnimal::TimerFraction(const cTimer& timer)
{
    if (timer.m_To < kEps) return 0.0f;
    return timer.m_Value / timer.m_To;
}

// ---- the animal ----

cAnimal::cAnimal(cLevel* level, const vek::string& texture) : cObject(level), m_strTexture(texture)
{
    m_Walk.m_fSpeed = 1.0f;
    m_Scale.m_From = m_Scale.m_To = m_Scale.m_Value = 1.0f;
    m_Scale.m_fSpeed = 1.0f;
    m_Satiety.m_fSpeed = m_Product.m_fSpeed = m_StateTimer.m_fSpeed = m_CallTimer.m_fSpeed = 1.0f;
    StartTimer(m_CallTimer, DrawCallPeriod());
}

cAnimal::~cAnimal() = default;

void cAnimal::SetPasture(int32_t firstRow, int32_t firstColumn, int32_t lastRow, int32_t lastColumn)
{
    m_aiPasture[0] = firstRow;
    m_aiPasture[1] = firstColumn;
    m_aiPasture[2] = lastRow;
    m_aiPasture[3] = lastColumn;
}

bool cAnimal::IsInPasture(const cell& at) const
{
    return at.row >= m_aiPasture[0] && at.row <= m_aiPasture[2] && at.column >= m_aiPasture[1] &&
           at.column <= m_aiPasture[3];
}

void cAnimal::ResetWalkSpeed(float factor)
{
    m_Walk.m_fSpeed = GetSpeciesParam(e_parSpeed) * factor;
    m_Walk.SetTarget(m_Walk.m_To);
}

float cAnimal::DrawProductTime()
{
    const float f = IsFreeRange() ? 0.6f : 1.0f;
    return GetSpeciesParam(e_parProduct) * RandomRange(950.0f, 1050.0f) / 1000.0f * f;
}

void cAnimal::DropNeed()
{
    m_uFood = 0;
    SetState(e_stRoam);
    ResetWalkSpeed();
}

bool cAnimal::CanChangeState(int32_t oldState, int32_t newState)
{
    if (!m_bNeeded && (newState == e_stHungry || newState == e_stEat || newState == e_stLay)) return false;

    switch (oldState) {
    case e_stHungry:
        StartTimer(m_CallTimer, DrawCallPeriod());
        break;
    case e_stEat:
        StartTimer(m_Satiety, GetSpeciesParam(e_parSatiety) * RandomRange(950.0f, 1050.0f) / 1000.0f);
        ResetWalkSpeed();
        m_uFood = 0;
        break;
    case e_stLay:
        StartTimer(m_Product, DrawProductTime());
        break;
    default:
        break;
    }

    switch (newState) {
    case e_stHungry:
        StartTimer(m_StateTimer, GetSpeciesParam(e_parPatience));
        StartTimer(m_CallTimer, 10.0f);
        break;
    case e_stEat:
        StartTimer(m_StateTimer, GetSpeciesParam(e_parEating));
        // Faces the way the last walk went.
        SetAnimation(m_strTexture, "eat_l", 3, m_Walk.m_From.x < m_Walk.m_To.x);
        break;
    case e_stRest:
        if (GetSpeciesParam(e_parResting) < kEps) return false;
        StartTimer(m_StateTimer, GetSpeciesParam(e_parResting));
        SetAnimation(m_strTexture, "stay", 3, false);
        break;
    case e_stLay:
        StartTimer(m_StateTimer, GetSpeciesParam(e_parLaying));
        break;
    case e_stLeave:
        StartScaleChange(m_Scale, 1.0f, 0.0f);
        break;
    case e_stAppear:
        StartTimer(m_StateTimer, 0.5f);
        StartScaleChange(m_Scale, 0.0f, 1.0f);
        break;
    case e_stRemove:
        RemoveFromMap();
        break;
    default:
        break;
    }
    return true;
}

bool cAnimal::CallCounts() const
{
    cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    if (!player) return false;
    const int32_t kind = GetTaskKind();
    if (kind < 0) return false;
    std::vector<cLevelTask>& tasks = player->m_TaskSet.vecTasks;
    const int32_t ware = AnimalWare(GetProductName());
    if (ware != NO_WARE && FindTaskByWare(tasks, ware)) return true;
    return FindTaskByKind(tasks, kind) != nullptr;
}

void cAnimal::Update()
{
    m_Anim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_stFresh);
    else if (m_iState == e_stRemove) RemoveFromMap();

    // Calls: not while eating or from the milk on.
    if (m_iState != e_stEat && m_iState < e_stMilk) {
        const int stepped = StepTimer(m_CallTimer, vek::kFixedStep);
        if (stepped != 1) {
            const bool counts = CallCounts();
            StartTimer(m_CallTimer, m_CallTimer.m_To * RandomRange(800.0f, 1200.0f) / 1000.0f);
            if (counts && stepped == 2) GetAnimalWorld().PlayGameSound(GetSoundId(m_iState == e_stHungry ? 0 : 1));
        }
    }

    switch (m_iState) {
    case e_stStart: {
        StartTimer(m_Satiety, GetSpeciesParam(e_parSatiety) * RandomRange(950.0f, 1050.0f) / 1000.0f);
        StartTimer(m_Product, DrawProductTime());
        if (m_bFirst) {
            // The first animal of a kind shows its product soon, the more so
            // before the player has had the lesson of picking one up.
            if (GetType() == OBJ_OSTRICH && !IsProfileEventSet(e_lessonEgg)) {
                StartTimer(m_Product, 1.8f);
                StartTimer(m_Satiety, 1.0f);
            } else if (GetType() == OBJ_GOAT && !IsProfileEventSet(e_lessonMilk)) {
                StartTimer(m_Product, 1.0f);
            } else {
                StartTimer(m_Product, 4.0f);
            }
            m_bFirst = false;
        }
        ResetWalkSpeed();
        SetState(e_stRoam);
        break;
    }
    case e_stRoam:
        if (m_uFood == 0 && StepTimer(m_Satiety, vek::kFixedStep) == 2) SetState(e_stHungry);
        break;
    case e_stHungry: {
        if (m_uFood != 0 && m_pLevel && m_pLevel->HasObject(m_uFood)) break;
        m_uFood = FindFood();
        if (m_uFood == 0) {
            if (!GetAnimalWorld().LevelWaitsForPlayer() && StepTimer(m_StateTimer, vek::kFixedStep) != 1)
                SetState(e_stLeave);
        } else {
            ResetWalkSpeed(3.0f);
            WalkTo(m_pLevel->GetCellPos(m_pLevel->GetObject(m_uFood)->GetCell()));
        }
        break;
    }
    case e_stEat: {
        if (m_StateTimer.m_To < kEps || !m_pLevel || !m_pLevel->HasObject(m_uFood)) {
            SetState(e_stHungry);
            break;
        }
        cObject* grass = m_pLevel->GetObject(m_uFood);
        if (StepTimer(m_StateTimer, vek::kFixedStep) == 1) {
            GetAnimalWorld().SetPlantGrowth(*grass, 1.0f - TimerFraction(m_StateTimer));
        } else {
            grass->SetState(e_stRemove);
            SetState(e_stRoam);
        }
        break;
    }
    case e_stRest:
        if (StepTimer(m_StateTimer, vek::kFixedStep) != 1) SetState(e_stRoam);
        break;
    default:
        break;
    }
}

void cAnimal::Move(float elapsed)
{
    if (m_iState == e_stRoam || m_iState == e_stHungry) {
        switch (m_Walk.Update(elapsed)) {
        case 0:
            // Standing on the grass's point already (no way left to walk):
            // arrived. Waiting for an arrival that never comes would keep
            // the animal hungry for ever, its patience stopped.
            if (m_uFood != 0 && m_iState == e_stHungry) {
                SetState(e_stEat);
            } else if (m_uFood == 0 && m_pLevel) {
                const cell next = GetRandomCell();
                // The last fallback of GetRandomCell is checked here only.
                if (m_pLevel->IsValidCell(next) && GetAnimalWorld().GetCellValue(*m_pLevel, next) != 0.0f)
                    WalkTo(m_pLevel->GetCellPos(next));
            }
            break;
        case 1:
            SetPos(m_Walk.m_Value);
            break;
        case 2:
            SetPos(m_Walk.m_Value);
            if (m_iState == e_stHungry) {
                if (m_uFood != 0) SetState(e_stEat);
            } else {
                SetState(e_stRest);
            }
            break;
        default:
            break;
        }
    } else if (m_iState == e_stLeave) {
        if (m_Scale.Update(elapsed) != 1) {
            GetAnimalWorld().EmitBurst(50, 50.0f, RectCentre(GetRect()));
            SetState(e_stRemove);
        }
    } else if (m_iState == e_stAppear) {
        // The half-second delay runs first, then the growth.
        if (GetAnimalWorld().IsGardenFocused() && StepTimer(m_StateTimer, elapsed) != 1 &&
            m_Scale.Update(elapsed) != 1) {
            GetAnimalWorld().EmitBurst(50, 50.0f, RectCentre(GetRect()));
            SetState(e_stStart);
        }
    }
}

uint32_t cAnimal::FindFood()
{
    if (!m_pLevel) return 0;
    const cAnimalWorld& world = GetAnimalWorld();
    const bool pastureOnly = m_StateTimer.m_To > kEps && TimerFraction(m_StateTimer) < 0.3f && !IsFreeRange();
    const int32_t grassWare = AnimalWare(kGrassWare);
    const cell own = GetCell();
    cell best(100, 100);
    cObject* found = nullptr;
    auto distance = [&own](const cell& c) { return std::abs(own.row - c.row) + std::abs(own.column - c.column); };
    for (cObject* object : m_pLevel->GetObjects()) {
        if (!object->IsType(OBJ_PLANT) || grassWare == NO_WARE || world.GetPlantWare(*object) != grassWare) continue;
        // A reservation holds only while it names a live animal still
        // heading for this grass: one that died or turned elsewhere would
        // otherwise keep the grass from every other animal for good.
        const uint32_t holder = world.GetPlantReservation(*object);
        if (holder != 0 && m_pLevel->HasObject(holder)) {
            cObject* other = m_pLevel->GetObject(holder);
            if (other->IsType(OBJ_ANIMAL) && static_cast<cAnimal*>(other)->GetFoodTarget() == object->GetId())
                continue;
        }
        const cell at = object->GetCell();
        if (pastureOnly && !IsInPasture(at)) continue;
        if (distance(at) < distance(best)) {
            best = at;
            found = object;
        }
    }
    if (!found) return 0;
    world.SetPlantReservation(*found, GetId());
    return found->GetId();
}

cell cAnimal::GetRandomCell()
{
    const cell own = GetCell();
    uint32_t& seed = RandomSeed();
    seed = seed * 69069u + 1u;
    const int32_t rowStep = (seed & 0x7fffu) % 2001u < 1000u ? -1 : 1;
    seed = seed * 69069u + 1u;
    const int32_t columnStep = (seed & 0x7fffu) % 2001u < 1000u ? -1 : 1;
    const cell candidates[5] = {cell(own.row + rowStep, own.column + columnStep), cell(own.row + 1, own.column + 1),
                                cell(own.row + 1, own.column - 1), cell(own.row - 1, own.column + 1),
                                cell(own.row - 1, own.column - 1)};
    for (const cell& c : candidates)
        if (CanGoTo(c)) return c;
    const int32_t column = RandomInt(m_aiPasture[1], m_aiPasture[3]);
    const int32_t row = RandomInt(m_aiPasture[0], m_aiPasture[2]);
    return cell(row, column);
}

bool cAnimal::CanGoTo(const cell& at)
{
    if (!m_pLevel || !m_pLevel->IsValidCell(at)) return false;
    if (!IsFreeRange() && (GetAnimalWorld().GetCellValue(*m_pLevel, at) == 0.0f || !IsInPasture(at))) return false;
    // A cell between holes on both sides of its row or its column is closed.
    // One pass over the field finds them all (rather than a search per
    // cell of the row and the column).
    bool above = false, below = false, left = false, right = false;
    for (cObject* object : m_pLevel->GetObjects()) {
        if (!object->IsType(OBJ_HOLE)) continue;
        const cell c = object->GetCell();
        if (c.column == at.column && c.row != at.row && c.row >= 0 && c.row < g_iGridRows)
            (c.row > at.row ? above : below) = true;
        else if (c.row == at.row && c.column != at.column && c.column >= 0 && c.column < g_iGridColumns)
            (c.column > at.column ? right : left) = true;
    }
    return !(above && below) && !(left && right);
}

void cAnimal::WalkTo(const vek::vec2& point)
{
    m_Walk.Reset(m_vPos);
    m_Walk.SetTarget(point);
    const float dx = m_Walk.m_To.x - m_Walk.m_From.x;
    const float dy = m_Walk.m_To.y - m_Walk.m_From.y;
    // The sheets face left; walking right is the same picture mirrored.
    SetAnimation(m_strTexture, dy >= 0.0f ? "lu" : "ld", 3, dx >= 0.0f);
}

bool cAnimal::SetAnimation(const vek::string& texture, const vek::string& area, int32_t mode, bool mirrored)
{
    if (!SetSprite(texture, area, mode)) return false;
    if (mirrored) m_vSize.x = -m_vSize.x;
    return true;
}

float cAnimal::GetSpeciesParam(int32_t index) const
{
    static const float base[7] = {30.0f, 2.0f, 20.0f, 3.0f, 30.0f, 5.0f, 0.5f};
    return index >= 0 && index < 7 ? base[index] : 0.0f;
}

int32_t cAnimal::GetSoundId(int32_t) const { return -1; }

vek::rectf cAnimal::GetRect() const
{
    float w = m_vSize.x;
    float h = m_vSize.y;
    float x = m_vPos.x - w / 2.0f;
    if (m_iState == e_stLeave || m_iState == e_stAppear) {
        // Shrinks toward its horizontal centre and its top edge.
        const float s = m_Scale.m_Value;
        x += (w - w * s) / 2.0f;
        w *= s;
        h *= s;
    }
    return vek::rectf(static_cast<float>(static_cast<int32_t>(x)), static_cast<float>(static_cast<int32_t>(m_vPos.y)),
                      w, h);
}

bool cAnimal::Load(vek::cBitStream& stream)
{
    const bool whole = cObject::Load(stream);
    if (m_pLevel && !m_pLevel->IsValidCell(GetCell())) SetCell(GetSpawnCell());
    return whole;
}

void cAnimal::DrawIcon(const cSprite& icon, const vek::vec2& centre) const
{
    vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->pBatch : nullptr;
    if (!batch || icon.iTexture == 0 || !icon.pFrames) return;
    const float w = icon.fWidth * 0.75f;
    const float h = icon.fHeight * 0.75f;
    batch->AddQuad(static_cast<uint32_t>(icon.iTexture), vek::rectf(centre.x - w / 2.0f, centre.y - h / 2.0f, w, h),
                   vek::kOpaqueWhite, icon.pFrames[0]);
}

void cAnimal::Draw()
{
    cObject::Draw();
    if (m_iState == e_stHungry && m_uFood == 0 && m_StateTimer.m_Value > 0.0f && m_pLevel) {
        const vek::vec2 centre = RectCentre(GetRect());
        GetAnimalWorld().DrawProgressCircle(*m_pLevel, centre, 22.0f, TimerFraction(m_StateTimer));
        DrawIcon(AnimalIcon(kGrassWare), centre);
    }
}

bool cAnimal::UpdateLaying(bool egg)
{
    if (m_iState == e_stRoam) {
        if (m_uFood == 0 && StepTimer(m_Product, vek::kFixedStep) != 1) SetState(e_stLay);
        return false;
    }
    if (m_iState != e_stLay) return false;
    // Laying: the animal stands still and silent; nothing else runs.
    if (StepTimer(m_StateTimer, vek::kFixedStep) != 2) return true;
    if (m_pLevel) {
        const cell at = GetAnimalWorld().FindFreeCellNear(*m_pLevel, GetCell());
        cAnimalProduct* product = egg ? static_cast<cAnimalProduct*>(new cEgg(m_pLevel))
                                      : static_cast<cAnimalProduct*>(new cNib(m_pLevel));
        product->SetCell(at);
    }
    SetState(e_stRoam);
    return true;
}
