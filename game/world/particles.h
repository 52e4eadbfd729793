#pragma once
// The game's particle effects: four fixed-capacity pools of particles, each
// fed by a list of emitters and turned into textured squares every frame.
// The ship's wake, the trails behind flying wares, bursts and the water
// spray are all made through the four factories of cParticleSystem.
//
// Owners that keep an emitter (a ship, a flying item) hold a handle, never a
// pointer: clearing a pool (leaving the field or the island, restarting a
// level) deletes emitters that are still in use, and a handle whose emitter
// is gone simply finds nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/graphics/draw2d.h"

struct cParticle {
    float fLife = 0.0f;  // seconds left; 0 or below = dead
    vek::vec3 vPos;
    float fLifeTotal = 0.0f;
    float fSize = 0.0f;
    float fSizeRate = 0.0f;
    vek::vec3 vVelocity;
    vek::vec3 vAccel;
    uint32_t uColorMode = 1;
    uint32_t uColors[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

    bool IsAlive() const { return fLife > 0.0f; }
    // The colour a quad of this particle gets now.
    uint32_t GetColor() const;
};

// Makes particles for one pool until it is finished. Made by the factories
// (or a test) and owned by its pool.
struct cEmitter {
    enum : uint32_t { e_Finished = 1u, e_OneShot = 4u };

    float fAccumulator = 0.0f;  // time not yet turned into particles
    uint32_t uFlags = 0;
    uint32_t uToEmit = 0;       // particles still to emit this frame
    float fInterval = 0.0f;     // seconds per particle; 0 emits nothing
    vek::vec3 vPos;
    float fSpread = 0.0f;       // particles start within +-spread in x and y
    float fLifeMin = 1.0f, fLifeMax = 2.0f;
    float fSizeMin = 1.0f, fSizeMax = 1.0f;  // half the square's side
    float fSizeRate = 0.0f;     // per second
    vek::vec3 vVelocityMin, vVelocityMax;
    vek::vec3 vAccel;
    uint32_t uColorMode = 1;    // 1 fade by life, 0 three-colour gradient
    uint32_t uColors[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

    bool IsFinished() const { return (uFlags & e_Finished) != 0; }
    bool IsOneShot() const { return (uFlags & e_OneShot) != 0; }

    // How many particles this update may emit.
    void Schedule(float elapsed);
    // Fills a dead slot from this emitter, drawing from the seed.
    void Spawn(cParticle& particle, uint32_t& seed);

    // Bookkeeping of the pool: the slot of the handle table and the serial
    // that a handle must match.
    uint32_t uSlot = 0;
    uint32_t uSerial = 0;
};

// Names one emitter of one pool. A handle is stale once its emitter was
// deleted (finished and swept, or its pool cleared or released); a stale or
// empty handle finds nothing.
struct cEmitterHandle {
    int32_t iPool = -1;  // 0 A, 1 B, 2 C, 3 D
    uint32_t uSlot = 0;
    uint32_t uSerial = 0;

    bool IsSet() const { return iPool >= 0 && uSerial != 0; }
    void Reset() { *this = cEmitterHandle(); }
};

// The game's random draws for particles: seed = seed * 69069 + 1, value in
// [0, 1) from its low 15 bits.
float ParticleRandom(uint32_t& seed);
float ParticleRandom(uint32_t& seed, float lo, float hi);

// A fixed number of particles, six vertices each, and the emitters that
// feed them. All storage is made at construction; a full pool drops
// particles rather than growing.
class cParticlePool {
public:
    // The seed is shared with the other pools of a system; without one the
    // pool keeps its own, starting at 0.
    cParticlePool(uint32_t capacity, int32_t index, uint32_t* seed = nullptr);
    ~cParticlePool() { Release(); }
    cParticlePool(const cParticlePool&) = delete;
    cParticlePool& operator=(const cParticlePool&) = delete;

    // Takes ownership and appends the emitter after the others. A released
    // pool deletes it at once and returns an empty handle.
    cEmitterHandle Add(cEmitter* emitter);
    // The live emitter of the handle, or null.
    cEmitter* Get(const cEmitterHandle& handle) const;

    // Right axis: the matrix's first column; up axis: its second.
    void SetAxes(const vek::matrix4& m);
    void Update(float elapsed);
    // The quads written by the last update as one triangle list.
    void Draw() const;
    // Deletes every emitter, marks every particle dead.
    void Clear();
    // Deletes every emitter and frees the particles and vertices; the pool
    // then holds nothing. Safe to call again.
    void Release();

    uint32_t GetCapacity() const { return m_uCapacity; }
    int32_t GetIndex() const { return m_iIndex; }
    size_t GetEmitterCount() const { return m_Emitters.size(); }
    const cEmitter* GetEmitterAt(size_t i) const { return i < m_Emitters.size() ? m_Emitters[i] : nullptr; }
    const cParticle* GetParticles() const { return m_Particles.empty() ? nullptr : m_Particles.data(); }
    const vek::cVertex2D* GetVertices() const { return m_Vertices.empty() ? nullptr : m_Vertices.data(); }
    uint32_t GetQuadCount() const { return m_uQuads; }
    uint32_t GetHighWater() const { return m_uHighWater; }
    uint32_t CountAlive() const;

private:
    void WriteQuad(const cParticle& p);
    void DeleteEmitter(cEmitter* emitter);

    uint32_t m_uCapacity;
    int32_t m_iIndex;
    uint32_t m_uOwnSeed = 0;
    uint32_t* m_pSeed;
    std::vector<vek::cVertex2D> m_Vertices;
    uint32_t m_uQuads = 0;
    vek::vec3 m_vRight, m_vUp;
    uint32_t m_uHighWater = 0;
    std::vector<cEmitter*> m_Emitters;  // creation order
    std::vector<cParticle> m_Particles;
    // Handle table: the emitter of each slot (null when free).
    std::vector<cEmitter*> m_Slots;
    std::vector<uint32_t> m_FreeSlots;
    uint32_t m_uNextSerial = 1;
    // Scratch of Update, kept to spare an allocation per frame.
    std::vector<cEmitter*> m_Active;
};

class cParticleSystem {
public:
    // Draw layers: 0 wake (A, alpha), 1 spray (B, additive), 2 trails and
    // bursts (D, additive), 3 the island's pool C (alpha), 4 pool D again
    // (additive) for the island.
    static constexpr int kLayerCount = 5;

    // Becomes the process-wide system (GetParticleSystem) until destroyed.
    cParticleSystem();
    ~cParticleSystem();
    cParticleSystem(const cParticleSystem&) = delete;
    cParticleSystem& operator=(const cParticleSystem&) = delete;

    // Looks "part01", "part00" and "part02" up in the texture manager; a
    // missing one stays 0 (drawn untextured).
    void LoadTextures();

    // Stores the renderer's view x world matrix for the layer and draws the
    // layer's pool with the layer's texture and blend. Layers outside 0..4
    // draw nothing.
    void DrawLayer(int layer);
    // The layer's pool, facing the layer's stored matrix, advanced.
    void UpdateLayer(int layer, float elapsed);
    void ClearLayer(int layer);
    // Frees every pool (with the game object).
    void Release();

    // The factories; each appends a new emitter to its pool.
    cEmitterHandle EmitWake();
    cEmitterHandle EmitTrail();
    // count particles at once (none for 0: the emitter then idles until its
    // pool is cleared).
    cEmitterHandle EmitBurst(uint32_t count, float spread, const vek::vec3& position);
    // Ten particles at once.
    cEmitterHandle EmitSpray(float spread, const vek::vec3& position);

    // Through a handle: the live emitter or null; moving and finishing do
    // nothing for a stale handle. Finishing also empties the handle.
    cEmitter* GetEmitter(const cEmitterHandle& handle) const;
    void MoveEmitter(const cEmitterHandle& handle, const vek::vec3& position);
    void FinishEmitter(cEmitterHandle& handle);

    cParticlePool* GetPool(int index);
    // The pool a layer draws; null outside 0..4.
    cParticlePool* GetLayerPool(int layer);
    // The texture id a layer draws with.
    uint32_t GetLayerTexture(int layer) const;
    // The destination blend factor of a layer (the source is always source
    // alpha).
    static int GetLayerDestBlend(int layer);
    const vek::matrix4& GetLayerMatrix(int layer) const { return m_Matrices[layer]; }

    uint32_t uSeed = 0;
    vek::matrix4 m_Matrices[kLayerCount];
    // A 240 (wake), B 1500 (spray), C 120 (the island), D 1000 (trails, bursts).
    cParticlePool poolA{240, 0, &uSeed};
    cParticlePool poolB{1500, 1, &uSeed};
    cParticlePool poolC{120, 2, &uSeed};
    cParticlePool poolD{1000, 3, &uSeed};
    uint32_t uTexPart01 = 0;
    uint32_t uTexPart00 = 0;
    uint32_t uTexPart02 = 0;
};

// The system made last and still alive, or null.
cParticleSystem* GetParticleSystem();
