#include "game/objects/plant.h"

#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/garden_hooks.h"
#include "game/shell/player.h"
#include "game/world/hints.h"
#include "game/world/level.h"
#include "game/world/ware.h"

namespace {

bool IsSortWare(int32_t ware)
{
    return g_pWareManager && ware >= 0 && static_cast<size_t>(ware) < g_pWareManager->vecWares.size() &&
           g_pWareManager->vecWares[static_cast<size_t>(ware)]->GetType() == WARE_SORT;
}

// Counts one more plant against the sort's interval; true when this plant
// gets the need (the counter then starts again).
bool CountNeed(cSort& sort, size_t which)
{
    if (sort.vecNeedIntervals.size() <= which || sort.vecNeedCounters.size() <= which) return false;
    const int32_t interval = sort.vecNeedIntervals[which];
    if (interval == 0) return false;
    int32_t& counter = sort.vecNeedCounters[which];
    if (counter < interval - 1) {
        ++counter;
        return false;
    }
    counter = 0;
    return true;
}

} // namespace

cPlant::cPlant(cLevel* level, int32_t ware) : cObject(level)
{
    m_NeedTimer.m_fSpeed = 1.0f;
    m_pSort = g_pWareManager ? g_pWareManager->DefaultSort() : nullptr;
    if (IsSortWare(ware)) SetSort(ware);
    else if (m_pSort) SetSprite("images00", m_pSort->strName, 0);
    if (m_pSort && m_pSort->fGrowthTime > 0.0f) m_fRate = 1.0f / m_pSort->fGrowthTime;
}

bool cPlant::IsFlowers() const { return m_pSort && ::IsFlowers(*m_pSort); }
bool cPlant::IsGrass() const { return m_pSort && ::IsGrass(*m_pSort); }

int32_t cPlant::GetWareId() const { return m_pSort ? m_pSort->iIndex : NO_WARE; }

bool cPlant::SetSort(int32_t ware)
{
    if (!g_pWareManager) return false;
    m_pSort = IsSortWare(ware) ? static_cast<cSort*>(g_pWareManager->vecWares[static_cast<size_t>(ware)])
                               : g_pWareManager->DefaultSort();
    m_fRate = m_pSort && m_pSort->fGrowthTime > 0.0f ? 1.0f / m_pSort->fGrowthTime : 0.0f;
    return SetSprite("images00", m_pSort ? m_pSort->strName : vek::string(), 0);
}

void cPlant::SetGrowth(float growth)
{
    if (!(growth >= 0.0f && growth <= 1.0f)) return;
    m_fGrowth = growth;
    m_Anim.iMode = 0;
    m_Anim.ApplyMode(0, true);
    const int32_t last = std::max(m_Anim.iFrameCount - 1, 0);
    m_Anim.iFrame = std::clamp(static_cast<int32_t>(growth * static_cast<float>(last)), 0, last);
}

void cPlant::AddGrowth(float delta) { SetGrowth(std::min(m_fGrowth + delta, 1.0f)); }

void cPlant::SetNeed(int32_t need)
{
    if (need == e_NeedRipe && !IsFlowers() && !IsGrass()) {
        const vek::rectf r = GetRect();
        garden::Spray(24.0f, vek::vec2(r.x + r.w / 2.0f, r.y + r.h / 2.0f));
    }
    m_iNeed = need;
    m_NeedTimer.Reset(0.0f);
    m_NeedTimer.SetTarget(kNeedTime);
    SetState(e_psNeeding);
    if (need == e_NeedWater && IsFlowers()) garden::ShowHint(e_hintFlowersWater);
}

void cPlant::ClearNeed()
{
    if (m_iState != e_psNeeding) return;
    garden::TrainingStep(e_lessonPlants, e_stepPlantsWeed);
    garden::TrainingStep(e_lessonWater, e_stepWaterPlant);
    if (m_iNeed == e_NeedWater && IsFlowers()) garden::HideHint(e_hintFlowersWater);
    m_iNeed = e_NeedNone;
    m_iPending = e_NeedNone;
    m_NeedTimer.Reset(0.0f);
    SetState(e_psGrowing);
}

float cPlant::GetNeedTime() const
{
    if (m_iNeed == e_NeedRipe || !(m_NeedTimer.m_To > 0.0f)) return 0.0f;
    return m_NeedTimer.m_Value / m_NeedTimer.m_To;
}

int32_t cPlant::Harvest()
{
    if (m_iNeed != e_NeedRipe) return NO_WARE;
    SetGrowth(0.0f);
    SetState(e_psPlanted);
    garden::TrainingStep(e_lessonPlants, e_stepPlantsHarvestThird);
    garden::TrainingStep(e_lessonPlants, e_stepPlantsHarvestSecond);
    garden::TrainingStep(e_lessonPlants, e_stepPlantsHarvestFirst);
    return GetWareId();
}

bool cPlant::CanChangeState(int32_t oldState, int32_t newState)
{
    if (oldState == e_psNeeding) {
        m_bWorked = false;
        m_iNeed = e_NeedNone;
        m_NeedTimer.Reset(0.0f);
    }
    if (newState == e_psPlanted) m_iPending = e_NeedNone;
    if (newState == e_stRemove) RemoveFromMap();
    return true;
}

vek::rectf cPlant::GetRect() const
{
    vek::rectf r = cObject::GetRect();
    if (IsFlowers() || IsGrass()) r.y -= 12.0f;
    return r;
}

float cPlant::GetDepth() const { return IsFlowers() || IsGrass() ? m_vPos.y + 100.0f : m_vPos.y - 50.0f; }

void cPlant::ChoosePendingNeed()
{
    m_iPending = e_NeedNone;
    if (!m_pSort) return;
    // Index 0 of the sort's tables is watering, 1 weeding; weeding is
    // counted first, and a plant that gets it leaves the watering counter
    // alone.
    if (CountNeed(*m_pSort, 1)) m_iPending = e_NeedWeed;
    else if (CountNeed(*m_pSort, 0)) m_iPending = e_NeedWater;
}

void cPlant::Update()
{
    m_Anim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_psPlanted);
    else if (m_iState == e_stRemove) RemoveFromMap();

    switch (m_iState) {
    case e_psPlanted:
        garden::TrainingStep(e_lessonPlants, e_stepPlantsSowThird);
        if (garden::TrainingStep(e_lessonPlants, e_stepPlantsSowSecond)) {
            SetNeed(e_NeedWeed);
            return;
        }
        garden::TrainingStep(e_lessonPlants, e_stepPlantsSowFirst);
        garden::TrainingStep(e_lessonPlantInstead, e_stepInsteadSow);
        if (IsGrass()) {
            garden::TrainingStep(e_lessonAnimalFood, e_stepFoodSowSecond);
            garden::TrainingStep(e_lessonAnimalFood, e_stepFoodSowFirst);
        }
        if (IsFlowers()) garden::TrainingStep(e_lessonHive, e_stepHiveSowFlowers);
        if (garden::TrainingKind() != e_lessonPlants) ChoosePendingNeed();
        // Flowers ask for water until the player has seen the hint about it.
        if (IsFlowers() && garden::HintState(e_hintFlowersWater) == e_hintUnseen) {
            m_iPending = e_NeedWater;
            if (m_pSort && !m_pSort->vecNeedCounters.empty()) m_pSort->vecNeedCounters[0] = 0;
        }
        SetState(e_psGrowing);
        break;
    case e_psGrowing: {
        if (m_uBee != 0 && (!m_pLevel || !m_pLevel->HasObject(m_uBee))) {
            m_uBee = 0;
            break;
        }
        const float before = m_fGrowth;
        AddGrowth(m_fRate * vek::kFixedStep);
        if (m_fGrowth >= 1.0f) {
            if (before < 1.0f && m_bNeeded && garden::TrainingKind() != e_lessonPlants && m_iPending != e_NeedNone) {
                const int32_t need = m_iPending;
                m_iPending = e_NeedNone;
                SetNeed(need);
            } else {
                SetNeed(e_NeedRipe);
            }
        }
        break;
    }
    case e_psNeeding:
        // The need waits while the level waits for the player.
        if (garden::LevelWaitsForPlayer()) break;
        m_NeedTimer.Update(vek::kFixedStep);
        if ((m_iNeed == e_NeedWater || m_iNeed == e_NeedWeed) && !m_bWorked && !m_NeedTimer.IsMoving())
            SetState(e_stRemove);
        break;
    default: break;
    }
}

bool cPlant::Save(vek::cBitStream& stream)
{
    stream.WriteInt(GetWareId());
    stream.WriteFloat(m_fGrowth);
    return cObject::Save(stream);
}

bool cPlant::Load(vek::cBitStream& stream)
{
    const bool whole = stream.BytesLeft() >= 16;
    const int32_t ware = stream.ReadInt();
    const cPlayer* player = garden::Player();
    if (player && player->m_fVersion <= 0.4f) stream.ReadInt();  // older saves hold one more value here
    float growth = stream.ReadFloat();
    const bool placed = cObject::Load(stream);
    if (!whole || !placed) return false;
    // The whole record is read first, so that a bad ware never misaligns
    // the records after it.
    if (!IsSortWare(ware)) {
        vek::LogWarning("cPlant", "Load: ware %i is not a plant sort\n", vek::format_arg(ware));
        return false;
    }
    SetSort(ware);
    if (!(growth >= 0.0f)) growth = 0.0f;  // also NaN
    SetGrowth(std::min(growth, 1.0f));
    return true;
}

void cPlant::Draw()
{
    if (vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->pBatch : nullptr) DrawTo(*batch);
}

void cPlant::DrawTo(vek::cQuadBatch& batch)
{
    DrawInto(batch);
    if (m_iState != e_psNeeding || (m_iNeed != e_NeedWater && m_iNeed != e_NeedWeed)) return;
    if (!m_bIconsLooked) {
        m_bIconsLooked = true;
        garden::Sprite("icons00", "tool_water", &m_aIcons[0]);
        garden::Sprite("icons00", "tool_weed", &m_aIcons[1]);
    }
    const vek::vec2 centre(m_vPos.x, m_vPos.y + 14.0f);
    if (m_pLevel) m_pLevel->DrawProgressCircle(batch, centre, 18.0f, GetNeedTime());
    const cSprite& icon = m_aIcons[m_iNeed];
    if (icon.iTexture == 0) return;
    const float w = icon.fWidth * 0.9f;
    const float h = icon.fHeight * 0.9f;
    batch.AddQuad(static_cast<uint32_t>(icon.iTexture), vek::rectf(centre.x - w / 2.0f, centre.y - h / 2.0f, w, h),
                  vek::kOpaqueWhite, icon.pFrames[0]);
}
