#include "game/objects/bee.h"

#include "engine/app/game.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/animal.h"
#include "game/objects/animal_world.h"
#include "game/objects/hive.h"
#include "game/shell/texture_info.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"
#include "game/world/ware.h"

namespace {

constexpr float kEps = 1.1920929e-7f;

} // namespace

cBee::cBee(cLevel* level, uint32_t hive) : cObject(level), m_uHive(hive)
{
    m_StateTimer.m_fSpeed = 1.0f;
    m_Flight.m_fSpeed = 30.0f;
    SetSprite("peacock02", "bee", 3);
    if (m_pLevel) SetCell(m_pLevel->GetObject(hive)->GetCell());
}

bool cBee::CanChangeState(int32_t oldState, int32_t newState)
{
    if (oldState == e_stCollect) m_uFlower = 0;
    if (newState == e_stHome) cAnimal::StartTimer(m_StateTimer, kGiveUp);
    else if (newState == e_stCollect) cAnimal::StartTimer(m_StateTimer, kCollect);
    else if (newState == e_stRemove) RemoveFromMap();
    return true;
}

vek::rectf cBee::GetRect() const
{
    return vek::rectf(m_vPos.x - m_vSize.x / 2.0f, m_vPos.y + 40.0f, m_vSize.x, m_vSize.y);
}

cObject* cBee::FindFlower() const
{
    const cAnimalWorld& world = GetAnimalWorld();
    const int32_t flowers = AnimalWare(kFlowersWare);
    if (flowers == NO_WARE) return nullptr;
    for (cObject* object : m_pLevel->GetObjects()) {
        if (!object->IsType(OBJ_PLANT) || world.GetPlantWare(*object) != flowers || world.GetPlantNeed(*object) != 2)
            continue;
        bool taken = false;
        for (cObject* other : m_pLevel->GetObjects())
            if (other != this && other->IsType(OBJ_BEE) && static_cast<cBee*>(other)->m_uFlower == object->GetId())
                taken = true;
        if (!taken) return object;
    }
    return nullptr;
}

void cBee::FlyTo(const cObject& target)
{
    m_Flight.Reset(m_vPos);
    m_Flight.SetTarget(m_pLevel->GetCellPos(target.GetCell()));
}

void cBee::Update()
{
    m_Anim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_stFresh);
    else if (m_iState == e_stRemove) RemoveFromMap();
    if (!m_pLevel) return;

    if (m_iState == e_stFresh) SetState(e_stHome);

    cHive* hive = m_pLevel->HasObject(m_uHive) && m_pLevel->GetObject(m_uHive)->IsType(OBJ_HIVE)
                      ? static_cast<cHive*>(m_pLevel->GetObject(m_uHive))
                      : nullptr;
    switch (m_iState) {
    case e_stHome: {
        // Waits, without its patience running, while the hive is missing,
        // not needed or still holds honey.
        if (!hive || !hive->IsNeeded() || hive->GetHoney() > 0) break;
        if (cObject* flower = FindFlower()) {
            m_uFlower = flower->GetId();
            FlyTo(*flower);
            GetAnimalWorld().PlayGameSound(e_sndBee);
            SetState(e_stFly);
            break;
        }
        if (!GetAnimalWorld().LevelWaitsForPlayer() && cAnimal::StepTimer(m_StateTimer, vek::kFixedStep) != 1) {
            hive->SetState(cHive::e_stLeave);
            SetState(e_stRemove);
        }
        break;
    }
    case e_stFly:
        if (m_uFlower != 0 && !m_pLevel->HasObject(m_uFlower)) {
            m_uFlower = 0;
            SetState(e_stHome);
            break;
        }
        switch (m_Flight.Update(vek::kFixedStep)) {
        case 0:
            SetState(e_stHome);
            break;
        case 1:
            SetPos(m_Flight.m_Value);
            break;
        case 2:
            if (m_uFlower != 0) {
                SetState(e_stCollect);
            } else {
                if (hive) hive->AddHoney();
                SetPos(m_Flight.m_Value);
                SetState(e_stHome);
            }
            break;
        default:
            break;
        }
        break;
    case e_stCollect:
        if (m_uFlower == 0 || !m_pLevel->HasObject(m_uFlower)) {
            SetState(e_stHome);
            break;
        }
        if (cAnimal::StepTimer(m_StateTimer, vek::kFixedStep) != 1) {
            GetAnimalWorld().HarvestPlant(*m_pLevel->GetObject(m_uFlower));
            m_uFlower = 0;
            FlyTo(*m_pLevel->GetObject(m_uHive));
            SetState(e_stFly);
        }
        break;
    default:
        break;
    }
}

void cBee::Draw()
{
    if (!m_pLevel) return;
    if (m_pLevel->HasObject(m_uHive) && m_pLevel->GetObject(m_uHive)->GetState() == cHive::e_stAppear) return;
    cObject::Draw();
    if (m_iState != e_stHome || m_StateTimer.m_To < kEps || m_StateTimer.m_Value < m_StateTimer.m_To / 2.0f) return;
    // The second half of its patience.
    const vek::vec2 centre(m_vPos.x, m_vPos.y + 70.0f);
    GetAnimalWorld().DrawProgressCircle(*m_pLevel, centre, 22.0f, m_StateTimer.m_Value * 2.0f / m_StateTimer.m_To - 1.0f);
    const cSprite& icon = AnimalIcon(kFlowersWare);
    vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->pBatch : nullptr;
    if (!batch || icon.iTexture == 0 || !icon.pFrames) return;
    const float w = icon.fWidth * 0.75f, h = icon.fHeight * 0.75f;
    batch->AddQuad(static_cast<uint32_t>(icon.iTexture), vek::rectf(centre.x - w / 2.0f, centre.y - h / 2.0f, w, h),
                   vek::kOpaqueWhite, icon.pFrames[0]);
}
