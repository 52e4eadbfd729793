#pragma once
// The hive's bee: from home it flies to a blooming flower no other bee
// has, collects for 3 s, flies home and adds a portion of honey. A bee
// that finds no flower for 120 s while its hive is empty and needed takes
// the hive away with it.
//
// States: -1 and 0 just made, 1 flying (home when it has no flower),
// 2 removed, 3 at home, 4 collecting.
#include <cstdint>

#include "engine/core/anim.h"
#include "game/objects/object.h"

class cBee : public cObject {
public:
    enum eBeeState : int32_t { e_stFly = 1, e_stHome = 3, e_stCollect = 4 };
    static constexpr float kGiveUp = 120.0f;
    static constexpr float kCollect = 3.0f;

    // Starts on the cell of its hive.
    cBee(cLevel* level, uint32_t hive);

    uint32_t GetType() const override { return OBJ_BEE; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    vek::rectf GetRect() const override;
    bool HitTest(const vek::vec2&) const override { return false; }
    float GetDepth() const override { return m_vPos.y - 12.0f; }
    void Update() override;
    // Hidden while its hive appears; from 60 s at home without a flower a
    // ring shows the rest of its patience.
    void Draw() override;

    uint32_t GetHive() const { return m_uHive; }
    uint32_t GetFlower() const { return m_uFlower; }

    vek::mover<float> m_StateTimer;
    vek::mover<vek::vec2> m_Flight;

private:
    // The first blooming flower no other bee has; null when none.
    cObject* FindFlower() const;
    void FlyTo(const cObject& target);

    uint32_t m_uHive;
    uint32_t m_uFlower = 0;
};
