#pragma once
// The field's particle layers kept full: emitters fast enough to refill
// every slot that frees in the four pools, run for half a second so the
// pools are at capacity before anything is measured.
#include "game/world/particles.h"

inline void FillFieldParticles(cParticleSystem& particles)
{
    for (int pool = 0; pool < 4; ++pool) {
        cParticlePool& p = *particles.GetPool(pool);
        for (int i = 0; i < 4; ++i) {
            auto* e = new cEmitter;
            e->fInterval = 1.0f / 20000.0f;
            e->fLifeMin = 2.0f;
            e->fLifeMax = 4.0f;
            e->fSizeMin = 2.0f;
            e->fSizeMax = 6.0f;
            e->vPos = vek::vec3(512.0f, 384.0f, 0.0f);
            e->vVelocityMin = vek::vec3(-40.0f, -40.0f, 0.0f);
            e->vVelocityMax = vek::vec3(40.0f, 40.0f, 0.0f);
            e->fSpread = 200.0f;
            p.Add(e);
        }
    }
    for (int i = 0; i < 30; ++i)
        for (int layer : {0, 1, 2}) particles.UpdateLayer(layer, 1.0f / 60.0f);
}
