#pragma once
// The watering can, in the least form the profile's upgrades reach: the
// units of water it holds up to its capacity.
#include "game/objects/object.h"

class cToolWater : public cObject {
public:
    explicit cToolWater(cLevel* level) : cObject(level) {}
    uint32_t GetType() const override { return OBJ_TOOL_WATER; }
    float GetDepth() const override { return m_vPos.y - 25.0f; }

    virtual void SetCapacity(int32_t capacity) { m_iCapacity = capacity; }
    int32_t GetCapacity() const { return m_iCapacity; }
    int32_t GetWater() const { return m_iWater; }

private:
    int32_t m_iCapacity = 3;
    int32_t m_iWater = 0;
};
