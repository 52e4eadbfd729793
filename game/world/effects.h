#pragma once
// The game's small effects: particle pools, the wares flying across the
// screen and the rising text pop-ups. Here they are containers that their
// owners make, clear and release; what fills and draws them builds on this.
#include <cstddef>
#include <cstdint>
#include <list>

#include "engine/core/vekstring.h"

namespace vek {
class cRender;
}

// Makes particles for one pool until it is finished.
struct cEmitter {
    virtual ~cEmitter() = default;
    float fAccumulator = 0.0f;
    uint32_t uFlags = 0;  // bit 0 finished, bit 2 one-shot
    uint32_t uToEmit = 0;
    float fInterval = 0.0f;
};

struct cParticle {
    float fLife = 0.0f;  // seconds left; 0 = dead
    float vPos[3] = {0.0f, 0.0f, 0.0f};
    float fLifeTotal = 0.0f;
    float fSize = 0.0f;
    float fSizeRate = 0.0f;
    float vVelocity[3] = {0.0f, 0.0f, 0.0f};
    float vAccel[3] = {0.0f, 0.0f, 0.0f};
    uint32_t uColorMode = 1;
    uint32_t uColors[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
};

struct cParticleVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    uint32_t color = 0;
    float u = 0.0f, v = 0.0f;
};

// A fixed number of particles, six vertices each, and the emitters that
// feed them.
class cParticlePool {
public:
    explicit cParticlePool(uint32_t capacity);
    ~cParticlePool() { Release(); }
    cParticlePool(const cParticlePool&) = delete;
    cParticlePool& operator=(const cParticlePool&) = delete;

    // Takes ownership; appended after the others.
    cEmitter* AddEmitter(cEmitter* emitter);
    // Deletes every emitter and marks every particle dead.
    void Clear();
    // Deletes every emitter and frees the particles and vertices; the pool
    // then holds nothing. Safe to call again.
    void Release();

    uint32_t GetCapacity() const { return m_uCapacity; }
    size_t GetEmitterCount() const { return m_Emitters.size(); }
    const cParticle* GetParticles() const { return m_pParticles; }

private:
    uint32_t m_uCapacity;
    cParticleVertex* m_pVertices = nullptr;
    uint32_t m_uQuads = 0;
    uint32_t m_uHighWater = 0;
    std::list<cEmitter*> m_Emitters;
    cParticle* m_pParticles = nullptr;
};

class cParticleSystem {
public:
    cParticleSystem();
    // Looks its three textures up by name in the texture manager; a missing
    // one stays 0 (untextured).
    void LoadTextures();

    // A 240 (wake), B 1500 (spray), C 120 (the island), D 1000 (trails, bursts).
    cParticlePool poolA{240};
    cParticlePool poolB{1500};
    cParticlePool poolC{120};
    cParticlePool poolD{1000};
    uint32_t uTexPart01 = 0;
    uint32_t uTexPart00 = 0;
    uint32_t uTexPart02 = 0;
};

struct cFlyingItem {
    virtual ~cFlyingItem() = default;
};

// The wares flying across the screen.
class cFlyingItems {
public:
    // With emitters set, every item trails particles.
    cFlyingItems(vek::cRender* render, bool emitters) : m_pRender(render), m_bEmitters(emitters) {}
    ~cFlyingItems() { Clear(); }
    cFlyingItems(const cFlyingItems&) = delete;
    cFlyingItems& operator=(const cFlyingItems&) = delete;

    // Takes ownership.
    void Add(cFlyingItem* item) { m_Items.push_back(item); }
    void Clear();
    size_t Count() const { return m_Items.size(); }
    bool HasEmitters() const { return m_bEmitters; }
    vek::cRender* GetRender() const { return m_pRender; }

private:
    vek::cRender* m_pRender;
    std::list<cFlyingItem*> m_Items;
    bool m_bEmitters;
};

// Short texts that rise and fade over the field.
class cTextPopups {
public:
    struct cEntry {
        float fLife = 2.0f;
        vek::string strText;
        float x = 0.0f, y = 0.0f;
        uint32_t uColor = 0xFFFFFFFFu;
    };

    // The font is looked up by name once, here; 0 (the default font) when
    // the font manager has none of that name.
    cTextPopups(vek::cRender* render, const vek::string& fontName);

    void Clear() { m_Entries.clear(); }
    size_t Count() const { return m_Entries.size(); }
    uint32_t GetFontId() const { return m_uFontId; }
    vek::cRender* GetRender() const { return m_pRender; }

private:
    vek::cRender* m_pRender;
    std::list<cEntry> m_Entries;
    uint32_t m_uFontId = 0;
};
