#pragma once
// A hive on the field's top row makes honey from the flowers its bee
// visits. A full hive keeps its honey 60 s for the gardener; then it is
// lost. The hive is a work station the gardener empties (TakeHoney).
//
// States: -1 just made, 0 standing, 2 removed, 3 appearing (bought),
// 4 leaving.
#include <cstdint>

#include "engine/core/anim.h"
#include "game/objects/object.h"

class cHive : public cObject {
public:
    enum eHiveState : int32_t { e_stStand = 0, e_stAppear = 3, e_stLeave = 4 };
    static constexpr float kKeepHoney = 60.0f;

    explicit cHive(cLevel* level);
    ~cHive() override;

    uint32_t GetType() const override { return OBJ_HIVE; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    // The body and its top.
    vek::rectf GetRect() const override;
    // The body without its margins.
    bool HitTest(const vek::vec2& point) const override;
    float GetDepth() const override { return m_vPos.y - 11.0f; }
    // The base record, the honey count, the capacity, then the full
    // timer's From, To, Value, Speed, Time and Duration. A capacity below 1
    // reads as 1, the count is kept within 0 and the capacity, and a timer
    // with a field that is not a finite number of 0 or more stands idle.
    // False when the stream ended inside the record.
    bool Load(vek::cBitStream& stream) override;
    bool Save(vek::cBitStream& stream) override;
    void Update() override;
    void Draw() override;

    // One portion from the bee: false when full or not needed. Filling it
    // starts the 60 s the honey keeps.
    virtual bool AddHoney();
    // The gardener takes the honey of a full hive: false unless full.
    virtual bool TakeHoney();
    virtual bool IsFull() const { return m_iHoney >= m_iCapacity; }

    // Set while a level task asks for honey; a hive not needed gets none.
    void SetNeeded(bool needed) { m_bNeeded = needed; }
    bool IsNeeded() const { return m_bNeeded; }
    int32_t GetHoney() const { return m_iHoney; }
    void SetHoney(int32_t honey) { m_iHoney = honey; }
    int32_t GetCapacity() const { return m_iCapacity; }
    // The hive's own frame animation: the gardener opens it (mode 1) and
    // closes it (mode 2) while he takes the honey.
    vek::cAnimCounter& GetBodyAnim() { return m_Anim; }
    vek::cAnimCounter& GetTopAnim() { return m_TopAnim; }

    vek::mover<float> m_Full;
    vek::mover<float> m_Scale;

private:
    int32_t m_iHoney = 0;
    int32_t m_iCapacity = 1;
    int32_t m_iTopTexture = 0;
    const vek::rectf* m_pTopFrames = nullptr;
    vek::vec2 m_vTopOffset;
    vek::vec2 m_vTopSize;
    vek::cAnimCounter m_TopAnim;
    bool m_bNeeded = true;
};
