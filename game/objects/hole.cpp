#include "game/objects/hole.h"

#include "engine/app/game.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/garden_hooks.h"

cHole::cHole(cLevel* level) : cObject(level) { SetSprite("images00", "hole", 0); }

vek::rectf cHole::GetRect() const
{
    if (!m_bShown) return vek::rectf(0.0f, 0.0f, 0.0f, 0.0f);
    return vek::rectf(m_vPos.x - m_vSize.x / 2.0f, m_vPos.y - 12.0f, m_vSize.x, m_vSize.y);
}

uint32_t cHole::GetPlant() const
{
    if (!m_pLevel) return 0;
    const cell at = GetCell();
    if (at == cell()) return 0;
    for (cObject* object : m_pLevel->GetObjects())
        if (object->GetType() == OBJ_PLANT && object->GetState() != e_stRemove && object->GetCell() == at)
            return object->GetId();
    return 0;
}

void cHole::Draw()
{
    if (vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->pBatch : nullptr) DrawTo(*batch);
}

void cHole::DrawTo(vek::cQuadBatch& batch)
{
    if (!m_bShown) return;
    // Under the hole: the bed shows through the glow's middle.
    if (m_bHighlight) DrawFieldHighlight(batch, m_Highlight, m_bHighlightLooked, m_vPos.x, m_vPos.y - 6.0f);
    DrawInto(batch);
}
