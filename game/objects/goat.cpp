#include "game/objects/goat.h"

#include "engine/app/game.h"
#include "game/objects/animal_world.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"

cGoat::cGoat(cLevel* level) : cAnimal(level, "goat")
{
    SetAnimation(m_strTexture, "ld", 0, false);
    SetPasture(3, 4, 7, 9);
    if (m_pLevel) ++m_pLevel->m_iGoats;
}

cGoat::~cGoat()
{
    if (m_pLevel) --m_pLevel->m_iGoats;
}

bool cGoat::CanChangeState(int32_t oldState, int32_t newState)
{
    if (!m_bNeeded && newState == e_stMilk) return false;
    if (oldState == e_stMilk) StartTimer(m_CallTimer, 40.0f);
    if (newState == e_stMilk) {
        StartTimer(m_StateTimer, GetSpeciesParam(e_parMilkWait));
        StartTimer(m_CallTimer, 10.0f);
    }
    return cAnimal::CanChangeState(oldState, newState);
}

void cGoat::Update()
{
    const int32_t state = m_iState;
    if (state == e_stRest && m_Product.m_Value == m_Product.m_To) SetState(e_stMilk);
    if (state == e_stRoam || state == e_stRest) {
        if (m_uFood == 0) StepTimer(m_Product, vek::kFixedStep);
    } else if (state == e_stMilk) {
        // She calls for the gardener whatever the tasks, at a steady period.
        if (StepTimer(m_CallTimer, vek::kFixedStep) != 1) {
            StartTimer(m_CallTimer, m_CallTimer.m_To);
            GetAnimalWorld().PlayGameSound(e_sndGoatHungry);
        }
        if (!GetAnimalWorld().LevelWaitsForPlayer() && StepTimer(m_StateTimer, vek::kFixedStep) != 1) SetState(e_stRoam);
    }
    cAnimal::Update();
}

void cGoat::Draw()
{
    cAnimal::Draw();
    if (m_iState != e_stMilk || !m_pLevel) return;
    const vek::vec2 centre(m_vPos.x + 5.0f, m_vPos.y + 68.0f);
    GetAnimalWorld().DrawProgressCircle(*m_pLevel, centre, 21.0f, TimerFraction(m_StateTimer));
    DrawIcon(AnimalIcon("tool_bin"), centre);
}

bool cGoat::HitTest(const vek::vec2& point) const
{
    if (m_iState != e_stMilk || !m_pLevel) return false;
    if (GetAnimalWorld().GardenerHasJobFor(*m_pLevel, GetId())) return false;
    return cObject::HitTest(point);
}

float cGoat::GetSpeciesParam(int32_t index) const
{
    static const float table[8] = {15.0f, 2.0f, 40.0f, 3.0f, 22.0f, 15.0f, 0.5f, 35.0f};
    return index >= 0 && index < 8 ? table[index] : 0.0f;
}

int32_t cGoat::GetSoundId(int32_t kind) const
{
    return kind == 0 ? e_sndGoatHungry : kind == 1 ? e_sndGoatIdle : -1;
}
