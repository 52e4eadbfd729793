// The particle pools on the CPU: all four kept at capacity by live
// emitters, one frame's four updates (schedule, move, spawn and the quad
// writing). Budget on the development machine: 0.5 ms a frame.
#include <benchmark/benchmark.h>

#include "game/world/particles.h"

namespace {

// Long-lived particles and emitters fast enough to refill every slot that
// frees, so every pool stays full.
void Fill(cParticleSystem& ps)
{
    for (int pool = 0; pool < 4; ++pool) {
        cParticlePool& p = *ps.GetPool(pool);
        for (int i = 0; i < 4; ++i) {
            auto* e = new cEmitter;
            e->fInterval = 1.0f / 20000.0f;
            e->fLifeMin = 2.0f;
            e->fLifeMax = 4.0f;
            e->fSizeMin = 2.0f;
            e->fSizeMax = 6.0f;
            e->fSizeRate = -0.2f;
            e->vVelocityMin = vek::vec3(-20.0f, -20.0f, -20.0f);
            e->vVelocityMax = vek::vec3(20.0f, 20.0f, 20.0f);
            e->vAccel = vek::vec3(0.0f, -15.0f, 0.0f);
            e->fSpread = 10.0f;
            e->uColorMode = static_cast<uint32_t>(i & 1);  // both colour modes
            p.Add(e);
        }
    }
    for (int layer = 0; layer < cParticleSystem::kLayerCount; ++layer) ps.m_Matrices[layer] = vek::matrix4();
    for (int i = 0; i < 30; ++i)
        for (int layer : {0, 1, 2, 3}) ps.UpdateLayer(layer, 1.0f / 60.0f);
}

void BM_ParticleFrame(benchmark::State& state)
{
    cParticleSystem ps;
    Fill(ps);
    uint32_t quads = 0;
    for (auto _ : state) {
        for (int layer : {0, 1, 2, 3}) ps.UpdateLayer(layer, 1.0f / 60.0f);
        quads = ps.poolA.GetQuadCount() + ps.poolB.GetQuadCount() + ps.poolC.GetQuadCount() +
                ps.poolD.GetQuadCount();
        benchmark::DoNotOptimize(ps.poolD.GetVertices());
    }
    state.counters["quads"] = quads;
    state.counters["alive"] =
        ps.poolA.CountAlive() + ps.poolB.CountAlive() + ps.poolC.CountAlive() + ps.poolD.CountAlive();
}
BENCHMARK(BM_ParticleFrame)->Unit(benchmark::kMicrosecond);

} // namespace
