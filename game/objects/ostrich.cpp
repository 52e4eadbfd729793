#include "game/objects/ostrich.h"

#include "game/world/game_sound.h"
#include "game/world/level.h"

cOstrich::cOstrich(cLevel* level) : cAnimal(level, "ostrich")
{
    SetAnimation(m_strTexture, "ld", 0, false);
    SetPasture(0, 4, 3, 9);
    if (m_pLevel) ++m_pLevel->m_iOstriches;
}

cOstrich::~cOstrich()
{
    if (m_pLevel) --m_pLevel->m_iOstriches;
}

void cOstrich::Update()
{
    if (!UpdateLaying(true)) cAnimal::Update();
}

float cOstrich::GetSpeciesParam(int32_t index) const
{
    static const float table[8] = {17.0f, 1.5f, 40.0f, 0.0f, 20.0f, 16.0f, 0.5f, 0.0f};
    return index >= 0 && index < 8 ? table[index] : 0.0f;
}

int32_t cOstrich::GetSoundId(int32_t kind) const
{
    return kind == 0 ? e_sndOstrichHungry : kind == 1 ? e_sndOstrichIdle : -1;
}
