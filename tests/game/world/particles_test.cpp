#include "game/world/particles.h"

#include <gtest/gtest.h>

#include "engine/graphics/render.h"

namespace {

vek::matrix4 Identity() { return vek::matrix4(); }

// Runs one update of the pool with the 2D axes (x right, y up).
void Step(cParticlePool& pool, float elapsed)
{
    pool.SetAxes(Identity());
    pool.Update(elapsed);
}

struct Expected {
    int pool;
    float interval;
    bool oneShot;
    float lifeMin, lifeMax, sizeMin, sizeMax, sizeRate;
    vek::vec3 velMin, velMax, accel;
    float spread;
    uint32_t mode, c0, c1, c2;
};

void ExpectEmitter(const cEmitter& e, const Expected& x, int pool, const char* name)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(pool, x.pool);
    EXPECT_FLOAT_EQ(e.fInterval, x.interval);
    EXPECT_EQ(e.IsOneShot(), x.oneShot);
    EXPECT_FALSE(e.IsFinished());
    EXPECT_FLOAT_EQ(e.fLifeMin, x.lifeMin);
    EXPECT_FLOAT_EQ(e.fLifeMax, x.lifeMax);
    EXPECT_FLOAT_EQ(e.fSizeMin, x.sizeMin);
    EXPECT_FLOAT_EQ(e.fSizeMax, x.sizeMax);
    EXPECT_FLOAT_EQ(e.fSizeRate, x.sizeRate);
    EXPECT_EQ(e.vVelocityMin, x.velMin);
    EXPECT_EQ(e.vVelocityMax, x.velMax);
    EXPECT_EQ(e.vAccel, x.accel);
    EXPECT_FLOAT_EQ(e.fSpread, x.spread);
    EXPECT_EQ(e.uColorMode, x.mode);
    EXPECT_EQ(e.uColors[0], x.c0);
    EXPECT_EQ(e.uColors[1], x.c1);
    EXPECT_EQ(e.uColors[2], x.c2);
}

TEST(ParticleTables, FactoriesPoolsAndLayers)
{
    cParticleSystem ps;
    const uint32_t W = 0xFFFFFFFFu;
    const vek::vec3 at(100.0f, 200.0f, 0.0f);

    cEmitterHandle h = ps.EmitWake();
    ExpectEmitter(*ps.GetEmitter(h), {0, 0.1f, false, 4, 8, 2, 4, 1.0f, {-2, 10, 0}, {2, 15, 0}, {0, 0, 0}, 0,
                                      0, 0x00FFFFFFu, 0xFFFFFFFFu, 0x00FFFFFFu},
                  h.iPool, "wake");
    h = ps.EmitTrail();
    ExpectEmitter(*ps.GetEmitter(h), {3, 0.022222223f, false, 3, 5, 1, 4, -0.2f, {-5, -5, -5}, {5, 5, 5},
                                      {0, -7, 0}, 6, 1, W, W, W},
                  h.iPool, "trail");
    h = ps.EmitBurst(20, 15.0f, at);
    ExpectEmitter(*ps.GetEmitter(h), {3, 0.05f, true, 2, 4, 2, 8, -0.5f, {-20, -20, -20}, {20, 20, 20},
                                      {0, -15, 0}, 15, 1, W, W, W},
                  h.iPool, "burst");
    EXPECT_EQ(ps.GetEmitter(h)->vPos, at);
    h = ps.EmitBurst(0, 1.0f, at);
    EXPECT_EQ(ps.GetEmitter(h)->fInterval, 0.0f);
    h = ps.EmitSpray(3.0f, at);
    ExpectEmitter(*ps.GetEmitter(h), {1, 0.1f, true, 1.3f, 1.8f, 8, 10, -0.2f, {0, 7, 0}, {0, 12, 0},
                                      {0, -5, 0}, 3, 1, W, W, W},
                  h.iPool, "spray");
    EXPECT_EQ(ps.GetEmitter(h)->vPos, at);

    // Capacities of A, B, C, D; the layer table: pool, destination blend.
    const uint32_t capacities[4] = {240, 1500, 120, 1000};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ps.GetPool(i)->GetCapacity(), capacities[i]);
    EXPECT_EQ(ps.GetPool(4), nullptr);
    EXPECT_EQ(ps.GetLayerPool(0), &ps.poolA);
    EXPECT_EQ(ps.GetLayerPool(1), &ps.poolB);
    EXPECT_EQ(ps.GetLayerPool(2), &ps.poolD);
    EXPECT_EQ(ps.GetLayerPool(3), &ps.poolC);
    EXPECT_EQ(ps.GetLayerPool(4), &ps.poolD);
    EXPECT_EQ(ps.GetLayerPool(5), nullptr);
    EXPECT_EQ(ps.GetLayerPool(-1), nullptr);
    const int dest[5] = {6, 2, 2, 6, 2};  // inverse source alpha, one
    for (int i = 0; i < 5; ++i) EXPECT_EQ(cParticleSystem::GetLayerDestBlend(i), dest[i]) << i;

    // The layer's textures: 01, 02, 00, 01, 00.
    ps.uTexPart01 = 11;
    ps.uTexPart00 = 10;
    ps.uTexPart02 = 12;
    const uint32_t tex[5] = {11, 12, 10, 11, 10};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ps.GetLayerTexture(i), tex[i]) << i;

    // Stored matrices start at zero: squares stay points until a layer is drawn.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ps.GetLayerMatrix(i).m[0][0], 0.0f);
    ps.LoadTextures();  // no texture manager: untextured
    EXPECT_EQ(GetParticleSystem(), &ps);
}

TEST(ParticleSpawning, BurstMakesItsCountAndGoes)
{
    cParticleSystem ps;
    cEmitterHandle h = ps.EmitBurst(20, 10.0f, vek::vec3(50.0f, 60.0f, 0.0f));
    Step(ps.poolD, 1.0f / 60.0f);
    EXPECT_EQ(ps.poolD.CountAlive(), 20u);
    EXPECT_EQ(ps.poolD.GetQuadCount(), 0u);  // new particles are drawn from the next update
    EXPECT_TRUE(ps.GetEmitter(h)->IsFinished());
    for (uint32_t i = 0; i < 20; ++i) {
        const cParticle& p = ps.poolD.GetParticles()[i];
        EXPECT_GE(p.vPos.x, 40.0f);
        EXPECT_LE(p.vPos.x, 60.0f);
        EXPECT_GE(p.fLife, 2.0f);
        EXPECT_LT(p.fLife, 4.0f);
    }
    Step(ps.poolD, 1.0f / 60.0f);
    EXPECT_EQ(ps.GetEmitter(h), nullptr);
    EXPECT_EQ(ps.poolD.GetEmitterCount(), 0u);
    EXPECT_EQ(ps.poolD.CountAlive(), 20u);
    EXPECT_EQ(ps.poolD.GetQuadCount(), 20u);

    // Counts whose reciprocal's reciprocal falls just short in floats.
    for (uint32_t count : {7u, 13u, 120u}) {
        ps.poolD.Clear();
        ps.EmitBurst(count, 0.0f, vek::vec3());
        Step(ps.poolD, 0.01f);
        EXPECT_EQ(ps.poolD.CountAlive(), count);
    }

    // A burst of nothing idles until its pool is cleared.
    h = ps.EmitBurst(0, 0.0f, vek::vec3());
    for (int i = 0; i < 5; ++i) Step(ps.poolD, 0.1f);
    EXPECT_NE(ps.GetEmitter(h), nullptr);
    ps.poolD.Clear();
    EXPECT_EQ(ps.GetEmitter(h), nullptr);
    EXPECT_EQ(ps.poolD.CountAlive(), 0u);
}

TEST(ParticleSpawning, ContinuousEmittersCarryTheRemainder)
{
    cParticleSystem ps;
    cEmitterHandle h = ps.EmitTrail();  // 45 a second
    Step(ps.poolD, 0.1f);               // 4.5 -> 4, half an interval kept
    EXPECT_EQ(ps.poolD.CountAlive(), 4u);
    Step(ps.poolD, 0.1f);  // 5.0 -> 5
    EXPECT_EQ(ps.poolD.CountAlive(), 9u);
    ps.FinishEmitter(h);
    EXPECT_FALSE(h.IsSet());
    Step(ps.poolD, 0.1f);
    EXPECT_EQ(ps.poolD.CountAlive(), 9u);
    EXPECT_EQ(ps.poolD.GetEmitterCount(), 0u);
}

TEST(ParticleSpawning, FullPoolDropsAndOneShotWaits)
{
    cParticleSystem ps;
    cParticlePool& pool = ps.poolC;  // 120 slots
    auto* fill = new cEmitter;
    fill->uFlags = cEmitter::e_OneShot;
    fill->fInterval = 1.0f / 120.0f;
    fill->fLifeMin = fill->fLifeMax = 1.0f;
    pool.Add(fill);
    Step(pool, 0.01f);
    ASSERT_EQ(pool.CountAlive(), 120u);

    // Every slot alive: a continuous emitter's particles are dropped, a
    // one-shot emitter keeps its count for later.
    auto* stream = new cEmitter;
    stream->fInterval = 0.01f;
    stream->fLifeMin = stream->fLifeMax = 5.0f;
    cEmitterHandle hs = pool.Add(stream);
    auto* burst = new cEmitter;
    burst->uFlags = cEmitter::e_OneShot;
    burst->fInterval = 1.0f / 30.0f;
    burst->fLifeMin = burst->fLifeMax = 5.0f;
    cEmitterHandle hb = pool.Add(burst);
    Step(pool, 0.5f);
    EXPECT_EQ(pool.CountAlive(), 120u);
    EXPECT_EQ(pool.Get(hb)->uToEmit, 30u);
    ps.FinishEmitter(hs);

    // The first 120 die (life 1 s): written once more as empty quads, then
    // their slots go to the waiting burst.
    Step(pool, 0.6f);
    EXPECT_EQ(pool.CountAlive(), 0u);
    EXPECT_EQ(pool.GetQuadCount(), 120u);
    EXPECT_EQ(pool.GetVertices()[0].x, pool.GetVertices()[5].x);  // size 0
    EXPECT_EQ(pool.Get(hb)->uToEmit, 30u);
    Step(pool, 0.01f);
    EXPECT_EQ(pool.CountAlive(), 30u);
    EXPECT_EQ(pool.GetQuadCount(), 0u);
    EXPECT_TRUE(pool.Get(hb)->IsFinished());
    EXPECT_EQ(pool.GetHighWater(), 29u);
}

TEST(ParticleSpawning, RoundRobinAndWalkEnd)
{
    cParticlePool pool(10, 0);
    auto make = [&](uint32_t color) {
        auto* e = new cEmitter;
        e->uFlags = cEmitter::e_OneShot;
        e->fInterval = 1.0f / 3.0f;
        e->uColors[0] = color;
        return pool.Add(e);
    };
    make(1);
    make(2);
    Step(pool, 0.1f);
    const uint32_t order[6] = {1, 2, 1, 2, 1, 2};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(pool.GetParticles()[i].uColors[0], order[i]) << i;
    EXPECT_EQ(pool.GetHighWater(), 5u);
    EXPECT_FALSE(pool.GetParticles()[6].IsAlive());
}

TEST(ParticleColours, BothModesAndTheQuad)
{
    cParticle p;
    p.uColorMode = 0;
    p.uColors[0] = 0x00FFFFFFu;
    p.uColors[1] = 0xFF804020u;
    p.uColors[2] = 0x10000000u;
    p.fLifeTotal = 4.0f;
    p.fLife = 2.0f;  // half its life: c1
    EXPECT_EQ(p.GetColor(), 0xFF804020u);
    p.fLife = 4.0f;  // birth: c0
    EXPECT_EQ(p.GetColor(), 0x00FFFFFFu);
    p.fLife = 3.0f;  // between c0 and c1: 0.5 each, truncated
    EXPECT_EQ(p.GetColor(), 0x7FBF9F8Fu);
    p.fLife = 1.0f;  // between c1 and c2
    EXPECT_EQ(p.GetColor(), 0x87402010u);
    p.fLife = -0.5f;  // written once more after death: c2, no byte overflow
    EXPECT_EQ(p.GetColor(), 0x10000000u);
    p.fLifeTotal = 0.0f;
    EXPECT_EQ(p.GetColor(), 0x10000000u);

    p.uColorMode = 1;
    p.fLife = 0.5f;
    EXPECT_EQ(p.GetColor(), 0x7FFFFFFFu);
    p.fLife = 3.0f;
    EXPECT_EQ(p.GetColor(), 0xFFFFFFFFu);

    // One particle at rest: the square's six vertices around it.
    cParticlePool pool(4, 0);
    auto* e = new cEmitter;
    e->uFlags = cEmitter::e_OneShot;
    e->fInterval = 1.0f;
    e->fLifeMin = e->fLifeMax = 2.0f;
    e->fSizeMin = e->fSizeMax = 3.0f;
    e->vPos = vek::vec3(10.0f, 20.0f, 0.0f);
    pool.Add(e);
    Step(pool, 0.0f);
    Step(pool, 0.0f);
    ASSERT_EQ(pool.GetQuadCount(), 1u);
    const vek::cVertex2D* v = pool.GetVertices();
    const float expect[6][4] = {{7, 17, 0, 0}, {13, 17, 1, 0}, {7, 23, 0, 1},
                                {7, 23, 0, 1}, {13, 17, 1, 0}, {13, 23, 1, 1}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, expect[i][0]) << i;
        EXPECT_FLOAT_EQ(v[i].y, expect[i][1]) << i;
        EXPECT_EQ(v[i].u, expect[i][2]) << i;
        EXPECT_EQ(v[i].v, expect[i][3]) << i;
        EXPECT_EQ(v[i].color, 0xFFFFFFFFu);
    }
}

TEST(ParticleSpawning, SeedSequenceFromZero)
{
    cParticleSystem ps;
    EXPECT_EQ(ps.uSeed, 0u);
    ps.EmitBurst(1, 0.0f, vek::vec3(5.0f, 6.0f, 7.0f));
    Step(ps.poolD, 0.0f);
    // Draws from seed 0: 1, 69070, 475628535, 3277404108, 772999773 (low
    // 15 bits 1, 3534, 1015, 14284, 2653): life, size, then z, y, x.
    const cParticle& p = ps.poolD.GetParticles()[0];
    EXPECT_FLOAT_EQ(p.fLife, 2.0f + 2.0f * 1.0f / 32768.0f);
    EXPECT_FLOAT_EQ(p.fLifeTotal, p.fLife);
    EXPECT_FLOAT_EQ(p.fSize, 2.0f + 6.0f * 3534.0f / 32768.0f);
    EXPECT_FLOAT_EQ(p.vVelocity.z, -20.0f + 40.0f * 1015.0f / 32768.0f);
    EXPECT_FLOAT_EQ(p.vVelocity.y, -20.0f + 40.0f * 14284.0f / 32768.0f);
    EXPECT_FLOAT_EQ(p.vVelocity.x, -20.0f + 40.0f * 2653.0f / 32768.0f);
    EXPECT_EQ(p.vPos, vek::vec3(5.0f, 6.0f, 7.0f));
    EXPECT_EQ(ps.uSeed, 772999773u);

    // The pools share the seed: a spray goes on from there (next low bits
    // 1402), and its spread draws x then y.
    ps.EmitSpray(4.0f, vek::vec3());
    Step(ps.poolB, 0.0f);
    EXPECT_FLOAT_EQ(ps.poolB.GetParticles()[0].fLife, 1.3f + 0.5f * 1402.0f / 32768.0f);
    EXPECT_EQ(ps.poolB.CountAlive(), 10u);
}

TEST(ParticleHandles, StaleHandlesDoNothing)
{
    cParticleSystem ps;
    cEmitterHandle wake = ps.EmitWake();
    cEmitterHandle trail = ps.EmitTrail();
    ASSERT_NE(ps.GetEmitter(wake), nullptr);
    ps.poolA.Clear();
    EXPECT_EQ(ps.GetEmitter(wake), nullptr);
    ps.MoveEmitter(wake, vek::vec3(1.0f, 2.0f, 3.0f));
    ps.FinishEmitter(wake);

    // A new emitter in the freed slot is not reached through the old handle.
    cEmitterHandle old = ps.EmitWake();
    ps.poolA.Clear();
    cEmitterHandle fresh = ps.EmitWake();
    EXPECT_EQ(fresh.uSlot, old.uSlot);
    ps.MoveEmitter(old, vek::vec3(9.0f, 9.0f, 9.0f));
    ps.FinishEmitter(old);
    ASSERT_NE(ps.GetEmitter(fresh), nullptr);
    EXPECT_FALSE(ps.GetEmitter(fresh)->IsFinished());
    EXPECT_EQ(ps.GetEmitter(fresh)->vPos, vek::vec3());

    // A handle names its pool: a pool D handle is not looked up in A.
    cEmitterHandle wrong = trail;
    wrong.iPool = 0;
    EXPECT_EQ(ps.GetEmitter(wrong), nullptr);
    EXPECT_EQ(ps.GetEmitter(cEmitterHandle()), nullptr);

    // Swept after finishing: the handle goes stale by itself.
    cEmitterHandle copy = trail;
    ps.FinishEmitter(trail);
    ps.UpdateLayer(2, 0.1f);
    EXPECT_EQ(ps.GetEmitter(copy), nullptr);

    // Released with the game: nothing runs, nothing is kept.
    ps.Release();
    EXPECT_EQ(ps.GetEmitter(fresh), nullptr);
    EXPECT_FALSE(ps.EmitBurst(10, 1.0f, vek::vec3()).IsSet());
    for (int layer = 0; layer < 5; ++layer) ps.UpdateLayer(layer, 0.1f);
    EXPECT_EQ(ps.poolD.GetParticles(), nullptr);
    ps.Release();
}

} // namespace
