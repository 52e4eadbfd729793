#include "game/world/particles.h"

#include <algorithm>

#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"

namespace {

cParticleSystem* g_pParticleSystem = nullptr;

uint32_t ChannelBlend(uint32_t a, uint32_t b, float wa, float wb)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float ca = static_cast<float>((a >> shift) & 0xFFu);
        const float cb = static_cast<float>((b >> shift) & 0xFFu);
        float c = ca * wa + cb * wb;
        // The weights add up to 1, so only rounding can leave the byte.
        c = std::min(std::max(c, 0.0f), 255.0f);
        out |= static_cast<uint32_t>(c) << shift;
    }
    return out;
}

} // namespace

float ParticleRandom(uint32_t& seed)
{
    seed = seed * 69069u + 1u;
    return static_cast<float>(seed & 0x7fffu) / 32768.0f;
}

float ParticleRandom(uint32_t& seed, float lo, float hi) { return lo + (hi - lo) * ParticleRandom(seed); }

// ---- particles and emitters ----

uint32_t cParticle::GetColor() const
{
    if (uColorMode != 0) {
        const float life = std::min(std::max(fLife, 0.0f), 1.0f);
        return (static_cast<uint32_t>(255.0f * life) << 24) | 0x00FFFFFFu;
    }
    // 2 at birth, 0 at death; a particle written once more after its death
    // has a life below 0, which would push the bytes past 255.
    float f = fLifeTotal > 0.0f ? 2.0f * fLife / fLifeTotal : 0.0f;
    f = std::min(std::max(f, 0.0f), 2.0f);
    if (f > 1.0f) return ChannelBlend(uColors[0], uColors[1], f - 1.0f, 2.0f - f);
    return ChannelBlend(uColors[1], uColors[2], f, 1.0f - f);
}

void cEmitter::Schedule(float elapsed)
{
    if (fInterval == 0.0f) {
        uToEmit = 0;
    } else if (IsOneShot()) {
        // A burst of n has the interval 1/n; rounding, not truncating, gets
        // n back for every n (1 / (1/7) comes out just below 7 in floats).
        if (uToEmit == 0) uToEmit = static_cast<uint32_t>(1.0f / fInterval + 0.5f);
    } else {
        fAccumulator += elapsed;
        const float n = fAccumulator / fInterval;
        uToEmit = n > 0.0f ? static_cast<uint32_t>(n) : 0u;
        fAccumulator -= fInterval * static_cast<float>(uToEmit);
    }
}

void cEmitter::Spawn(cParticle& p, uint32_t& seed)
{
    p.fLife = p.fLifeTotal = ParticleRandom(seed, fLifeMin, fLifeMax);
    p.fSize = ParticleRandom(seed, fSizeMin, fSizeMax);
    p.fSizeRate = fSizeRate;
    p.vPos = vPos;
    if (fSpread != 0.0f) {
        p.vPos.x += (ParticleRandom(seed) - 0.5f) * 2.0f * fSpread;
        p.vPos.y += (ParticleRandom(seed) - 0.5f) * 2.0f * fSpread;
    }
    p.vVelocity.z = ParticleRandom(seed, vVelocityMin.z, vVelocityMax.z);
    p.vVelocity.y = ParticleRandom(seed, vVelocityMin.y, vVelocityMax.y);
    p.vVelocity.x = ParticleRandom(seed, vVelocityMin.x, vVelocityMax.x);
    p.vAccel = vAccel;
    p.uColorMode = uColorMode;
    for (int i = 0; i < 3; ++i) p.uColors[i] = uColors[i];
    if (uToEmit > 0) {
        if (uToEmit == 1 && IsOneShot()) uFlags |= e_Finished;
        --uToEmit;
    }
}

// ---- pools ----

cParticlePool::cParticlePool(uint32_t capacity, int32_t index, uint32_t* seed)
    : m_uCapacity(capacity),
      m_iIndex(index),
      m_pSeed(seed ? seed : &m_uOwnSeed),
      m_Vertices(static_cast<size_t>(capacity) * 6),
      m_Particles(capacity)
{
}

cEmitterHandle cParticlePool::Add(cEmitter* emitter)
{
    if (!emitter) return {};
    if (m_uCapacity == 0) {  // released with the game: nothing may run any more
        delete emitter;
        return {};
    }
    uint32_t slot;
    if (!m_FreeSlots.empty()) {
        slot = m_FreeSlots.back();
        m_FreeSlots.pop_back();
    } else {
        slot = static_cast<uint32_t>(m_Slots.size());
        m_Slots.push_back(nullptr);
    }
    if (m_uNextSerial == 0) m_uNextSerial = 1;  // 0 is the empty handle's
    emitter->uSlot = slot;
    emitter->uSerial = m_uNextSerial++;
    m_Slots[slot] = emitter;
    m_Emitters.push_back(emitter);
    cEmitterHandle handle;
    handle.iPool = m_iIndex;
    handle.uSlot = slot;
    handle.uSerial = emitter->uSerial;
    return handle;
}

cEmitter* cParticlePool::Get(const cEmitterHandle& handle) const
{
    if (handle.iPool != m_iIndex || handle.uSerial == 0 || handle.uSlot >= m_Slots.size()) return nullptr;
    cEmitter* e = m_Slots[handle.uSlot];
    return e && e->uSerial == handle.uSerial ? e : nullptr;
}

void cParticlePool::DeleteEmitter(cEmitter* emitter)
{
    if (emitter->uSlot < m_Slots.size() && m_Slots[emitter->uSlot] == emitter) {
        m_Slots[emitter->uSlot] = nullptr;
        m_FreeSlots.push_back(emitter->uSlot);
    }
    delete emitter;
}

void cParticlePool::SetAxes(const vek::matrix4& m)
{
    m_vRight = vek::vec3(m.m[0][0], m.m[1][0], m.m[2][0]);
    m_vUp = vek::vec3(m.m[0][1], m.m[1][1], m.m[2][1]);
}

void cParticlePool::WriteQuad(const cParticle& p)
{
    vek::cVertex2D* v = &m_Vertices[static_cast<size_t>(m_uQuads) * 6];
    const uint32_t color = p.GetColor();
    const float s = p.fSize;
    const vek::vec3& R = m_vRight;
    const vek::vec3& U = m_vUp;
    auto put = [&](vek::cVertex2D& out, float r, float u, float tu, float tv) {
        out.x = p.vPos.x + s * (r * R.x + u * U.x);
        out.y = p.vPos.y + s * (r * R.y + u * U.y);
        out.z = p.vPos.z + s * (r * R.z + u * U.z);
        out.color = color;
        out.u = tu;
        out.v = tv;
    };
    put(v[0], -1.0f, -1.0f, 0.0f, 0.0f);
    put(v[1], 1.0f, -1.0f, 1.0f, 0.0f);
    put(v[2], -1.0f, 1.0f, 0.0f, 1.0f);
    v[3] = v[2];
    v[4] = v[1];
    put(v[5], 1.0f, 1.0f, 1.0f, 1.0f);
    ++m_uQuads;
}

void cParticlePool::Update(float elapsed)
{
    m_uQuads = 0;
    if (m_uCapacity == 0) return;

    // Sweep the finished emitters, schedule the others.
    m_Active.clear();
    size_t kept = 0;
    for (cEmitter* e : m_Emitters) {
        if (e->IsFinished()) {
            DeleteEmitter(e);
            continue;
        }
        e->Schedule(elapsed);
        if (e->uToEmit > 0) m_Active.push_back(e);
        m_Emitters[kept++] = e;
    }
    m_Emitters.resize(kept);

    uint32_t& seed = *m_pSeed;
    size_t turn = 0;  // the active emitter that fills the next dead slot
    uint32_t lastUsed = 0;
    for (uint32_t i = 0; i < m_uCapacity; ++i) {
        cParticle& p = m_Particles[i];
        if (p.IsAlive()) {
            p.fLife -= elapsed;
            if (p.fLife <= 0.0f) {
                p.fSize = 0.0f;
            } else {
                p.vVelocity += p.vAccel * elapsed;
                p.vPos += p.vVelocity * elapsed;
                p.fSize = std::max(p.fSize + p.fSizeRate * elapsed, 0.0f);
            }
            WriteQuad(p);
            lastUsed = i;
        } else if (!m_Active.empty()) {
            cEmitter* e = m_Active[turn];
            e->Spawn(p, seed);
            lastUsed = i;
            if (e->uToEmit == 0) {
                m_Active.erase(m_Active.begin() + static_cast<std::ptrdiff_t>(turn));
            } else {
                ++turn;
            }
            if (turn >= m_Active.size()) turn = 0;
        } else if (i >= m_uHighWater) {
            break;
        }
    }
    m_uHighWater = lastUsed;
    // Continuous emitters recompute their count next time; one-shot ones
    // keep what found no slot.
}

void cParticlePool::Draw() const
{
    if (m_uQuads == 0 || !vek::g_pRender) return;
    vek::g_pRender->SetVertexFormat(vek::g_VertexFormat2D);
    vek::g_pRender->DrawPrimitives(m_Vertices.data(), static_cast<int>(m_uQuads * 2), vek::cRender::e_TriangleList,
                                   static_cast<int>(m_uQuads * 6), nullptr);
}

uint32_t cParticlePool::CountAlive() const
{
    uint32_t n = 0;
    for (const cParticle& p : m_Particles)
        if (p.IsAlive()) ++n;
    return n;
}

void cParticlePool::Clear()
{
    for (cEmitter* e : m_Emitters) DeleteEmitter(e);
    m_Emitters.clear();
    m_Active.clear();
    for (cParticle& p : m_Particles) p.fLife = 0.0f;
    m_uHighWater = 0;
    m_uQuads = 0;
}

void cParticlePool::Release()
{
    Clear();
    m_Particles = std::vector<cParticle>();
    m_Vertices = std::vector<vek::cVertex2D>();
    m_Emitters = std::vector<cEmitter*>();
    m_Active = std::vector<cEmitter*>();
    m_Slots = std::vector<cEmitter*>();
    m_FreeSlots = std::vector<uint32_t>();
    m_uCapacity = 0;
}

// ---- the system ----

cParticleSystem::cParticleSystem()
{
    for (vek::matrix4& m : m_Matrices)
        for (auto& row : m.m)
            for (float& f : row) f = 0.0f;
    g_pParticleSystem = this;
}

cParticleSystem::~cParticleSystem()
{
    if (g_pParticleSystem == this) g_pParticleSystem = nullptr;
}

cParticleSystem* GetParticleSystem() { return g_pParticleSystem; }

void cParticleSystem::LoadTextures()
{
    if (!vek::g_pTextureManager) return;
    uTexPart01 = vek::g_pTextureManager->Find("part01");
    uTexPart00 = vek::g_pTextureManager->Find("part00");
    uTexPart02 = vek::g_pTextureManager->Find("part02");
}

cParticlePool* cParticleSystem::GetPool(int index)
{
    switch (index) {
    case 0: return &poolA;
    case 1: return &poolB;
    case 2: return &poolC;
    case 3: return &poolD;
    default: return nullptr;
    }
}

cParticlePool* cParticleSystem::GetLayerPool(int layer)
{
    switch (layer) {
    case 0: return &poolA;
    case 1: return &poolB;
    case 2: return &poolD;
    case 3: return &poolC;
    case 4: return &poolD;
    default: return nullptr;
    }
}

uint32_t cParticleSystem::GetLayerTexture(int layer) const
{
    switch (layer) {
    case 0: return uTexPart01;
    case 1: return uTexPart02;
    case 2: return uTexPart00;
    case 3: return uTexPart01;
    case 4: return uTexPart00;
    default: return 0;
    }
}

int cParticleSystem::GetLayerDestBlend(int layer)
{
    return layer == 0 || layer == 3 ? vek::gfx::e_blendInvSrcAlpha : vek::gfx::e_blendOne;
}

void cParticleSystem::DrawLayer(int layer)
{
    if (!vek::g_pRender) return;
    vek::cRender& render = *vek::g_pRender;
    if (layer >= 0 && layer < kLayerCount) m_Matrices[layer] = render.GetViewWorldMatrix();
    render.SetMaterialColor(1.0f, 1.0f, 1.0f, 1.0f);
    cParticlePool* pool = GetLayerPool(layer);
    bool bound = false;
    if (pool) {
        render.SetBlendFunc(vek::gfx::e_blendSrcAlpha, GetLayerDestBlend(layer));
        const uint32_t id = GetLayerTexture(layer);
        vek::cTexture* texture = id && vek::g_pTextureManager ? vek::g_pTextureManager->Get(id) : nullptr;
        render.SetTexture(texture ? texture->GetDeviceTexture() : nullptr);
        bound = texture != nullptr;
        pool->Draw();
    }
    if (bound) render.SetTexture(nullptr);
    render.SetBlendFunc(vek::gfx::e_blendSrcAlpha, vek::gfx::e_blendInvSrcAlpha);
}

void cParticleSystem::UpdateLayer(int layer, float elapsed)
{
    cParticlePool* pool = GetLayerPool(layer);
    if (!pool) return;
    pool->SetAxes(m_Matrices[layer]);
    pool->Update(elapsed);
}

void cParticleSystem::ClearLayer(int layer)
{
    if (cParticlePool* pool = GetLayerPool(layer)) pool->Clear();
}

void cParticleSystem::Release()
{
    poolA.Release();
    poolB.Release();
    poolC.Release();
    poolD.Release();
}

// ---- factories ----

cEmitterHandle cParticleSystem::EmitWake()
{
    auto* e = new cEmitter;
    e->fInterval = 0.1f;
    e->fLifeMin = 4.0f;
    e->fLifeMax = 8.0f;
    e->fSizeMin = 2.0f;
    e->fSizeMax = 4.0f;
    e->fSizeRate = 1.0f;
    e->vVelocityMin = vek::vec3(-2.0f, 10.0f, 0.0f);
    e->vVelocityMax = vek::vec3(2.0f, 15.0f, 0.0f);
    e->uColorMode = 0;
    e->uColors[0] = 0x00FFFFFFu;
    e->uColors[1] = 0xFFFFFFFFu;
    e->uColors[2] = 0x00FFFFFFu;
    return poolA.Add(e);
}

cEmitterHandle cParticleSystem::EmitTrail()
{
    auto* e = new cEmitter;
    e->fInterval = 1.0f / 45.0f;
    e->fLifeMin = 3.0f;
    e->fLifeMax = 5.0f;
    e->fSizeMin = 1.0f;
    e->fSizeMax = 4.0f;
    e->fSizeRate = -0.2f;
    e->vVelocityMin = vek::vec3(-5.0f, -5.0f, -5.0f);
    e->vVelocityMax = vek::vec3(5.0f, 5.0f, 5.0f);
    e->vAccel = vek::vec3(0.0f, -7.0f, 0.0f);
    e->fSpread = 6.0f;
    return poolD.Add(e);
}

cEmitterHandle cParticleSystem::EmitBurst(uint32_t count, float spread, const vek::vec3& position)
{
    auto* e = new cEmitter;
    e->uFlags = cEmitter::e_OneShot;
    e->fInterval = count ? 1.0f / static_cast<float>(count) : 0.0f;
    e->fLifeMin = 2.0f;
    e->fLifeMax = 4.0f;
    e->fSizeMin = 2.0f;
    e->fSizeMax = 8.0f;
    e->fSizeRate = -0.5f;
    e->vVelocityMin = vek::vec3(-20.0f, -20.0f, -20.0f);
    e->vVelocityMax = vek::vec3(20.0f, 20.0f, 20.0f);
    e->vAccel = vek::vec3(0.0f, -15.0f, 0.0f);
    e->fSpread = spread;
    e->vPos = position;
    return poolD.Add(e);
}

cEmitterHandle cParticleSystem::EmitSpray(float spread, const vek::vec3& position)
{
    auto* e = new cEmitter;
    e->uFlags = cEmitter::e_OneShot;
    e->fInterval = 0.1f;
    e->fLifeMin = 1.3f;
    e->fLifeMax = 1.8f;
    e->fSizeMin = 8.0f;
    e->fSizeMax = 10.0f;
    e->fSizeRate = -0.2f;
    e->vVelocityMin = vek::vec3(0.0f, 7.0f, 0.0f);
    e->vVelocityMax = vek::vec3(0.0f, 12.0f, 0.0f);
    e->vAccel = vek::vec3(0.0f, -5.0f, 0.0f);
    e->fSpread = spread;
    e->vPos = position;
    return poolB.Add(e);
}

// ---- handles ----

cEmitter* cParticleSystem::GetEmitter(const cEmitterHandle& handle) const
{
    switch (handle.iPool) {
    case 0: return poolA.Get(handle);
    case 1: return poolB.Get(handle);
    case 2: return poolC.Get(handle);
    case 3: return poolD.Get(handle);
    default: return nullptr;
    }
}

void cParticleSystem::MoveEmitter(const cEmitterHandle& handle, const vek::vec3& position)
{
    if (cEmitter* e = GetEmitter(handle)) e->vPos = position;
}

void cParticleSystem::FinishEmitter(cEmitterHandle& handle)
{
    if (cEmitter* e = GetEmitter(handle)) e->uFlags |= cEmitter::e_Finished;
    handle.Reset();
}
