#include "game/world/effects.h"

#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"

cParticlePool::cParticlePool(uint32_t capacity)
    : m_uCapacity(capacity),
      m_pVertices(new cParticleVertex[static_cast<size_t>(capacity) * 6]),
      m_pParticles(new cParticle[capacity])
{
}

cEmitter* cParticlePool::AddEmitter(cEmitter* emitter)
{
    m_Emitters.push_back(emitter);
    return emitter;
}

void cParticlePool::Clear()
{
    for (cEmitter* e : m_Emitters) delete e;
    m_Emitters.clear();
    if (m_pParticles)
        for (uint32_t i = 0; i < m_uCapacity; ++i) m_pParticles[i].fLife = 0.0f;
    m_uHighWater = 0;
}

void cParticlePool::Release()
{
    for (cEmitter* e : m_Emitters) delete e;
    m_Emitters.clear();
    delete[] m_pParticles;
    m_pParticles = nullptr;
    delete[] m_pVertices;
    m_pVertices = nullptr;
    m_uCapacity = 0;
    m_uQuads = 0;
    m_uHighWater = 0;
}

cParticleSystem::cParticleSystem() = default;

void cParticleSystem::LoadTextures()
{
    if (!vek::g_pTextureManager) return;
    uTexPart01 = vek::g_pTextureManager->Find("part01");
    uTexPart00 = vek::g_pTextureManager->Find("part00");
    uTexPart02 = vek::g_pTextureManager->Find("part02");
}

void cFlyingItems::Clear()
{
    for (cFlyingItem* item : m_Items) delete item;
    m_Items.clear();
}

cTextPopups::cTextPopups(vek::cRender* render, const vek::string& fontName) : m_pRender(render)
{
    if (vek::g_pFontManager) m_uFontId = vek::g_pFontManager->Find(fontName);
}
