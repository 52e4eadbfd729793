#include "game/world/effects.h"

#include "engine/graphics/font.h"

void cFlyingItems::Clear()
{
    for (cFlyingItem* item : m_Items) delete item;
    m_Items.clear();
}

cTextPopups::cTextPopups(vek::cRender* render, const vek::string& fontName) : m_pRender(render)
{
    if (vek::g_pFontManager) m_uFontId = vek::g_pFontManager->Find(fontName);
}
