#pragma once
// The gardener, in the least form the profile's upgrades reach: his walking
// speed.
#include "game/objects/object.h"

class cGardener : public cObject {
public:
    explicit cGardener(cLevel* level) : cObject(level) {}
    uint32_t GetType() const override { return OBJ_GARDENER; }
    float GetDepth() const override { return m_vPos.y - 10.0f; }

    // Walking speed in pixels per second.
    virtual void SetSpeed(float speed) { m_fSpeed = speed; }
    float GetSpeed() const { return m_fSpeed; }

private:
    float m_fSpeed = 280.0f;
};
