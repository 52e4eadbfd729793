#include "game/objects/peacock.h"

#include "game/world/game_sound.h"
#include "game/world/level.h"

cPeacock::cPeacock(cLevel* level) : cAnimal(level, "peacock")
{
    SetAnimation(m_strTexture, "ld", 0, false);
    SetPasture(0, 0, 7, 6);
    if (m_pLevel) ++m_pLevel->m_iPeacocks;
}

cPeacock::~cPeacock()
{
    if (m_pLevel) --m_pLevel->m_iPeacocks;
}

void cPeacock::Update()
{
    if (!UpdateLaying(false)) cAnimal::Update();
}

bool cPeacock::SetAnimation(const vek::string&, const vek::string& area, int32_t mode, bool mirrored)
{
    if (area == "ld") m_strTexture = "peacock00";
    else if (area == "lu") m_strTexture = "peacock01";
    else if (area == "eat_l") m_strTexture = "peacock02";
    return cAnimal::SetAnimation(m_strTexture, area, mode, mirrored);
}

vek::rectf cPeacock::GetRect() const
{
    vek::rectf r = cAnimal::GetRect();
    if (m_iState != e_stEat) {
        r.x += m_Walk.m_From.x > m_Walk.m_To.x ? 40.0f : -40.0f;
        if (m_Walk.m_From.y < m_Walk.m_To.y) r.y -= 40.0f;
    }
    return r;
}

float cPeacock::GetSpeciesParam(int32_t index) const
{
    static const float table[8] = {20.0f, 2.0f, 40.0f, 0.0f, 20.0f, 16.0f, 0.5f, 0.0f};
    return index >= 0 && index < 8 ? table[index] : 0.0f;
}

int32_t cPeacock::GetSoundId(int32_t kind) const
{
    return kind == 0 ? e_sndPeacockHungry : kind == 1 ? e_sndPeacockIdle : -1;
}
