#pragma once
// The fixed places the gardener works at: the delivery car (with its rear
// part, a separate object so that it has a depth key of its own) and the
// water pump. cWorkStation is their base, and the hive's.
#include <cstdint>

#include "engine/core/anim.h"
#include "game/objects/object.h"
#include "game/shell/texture_info.h"

class cWorkStation : public cObject {
public:
    // The state every station reaches after its first step.
    enum eStationState : int32_t { e_stReady = 1 };

    explicit cWorkStation(cLevel* level) : cObject(level) {}
    uint32_t GetType() const override { return OBJ_WORKSTATION; }
    // The animation, -1 -> 0, 2 -> removal, then 0 -> e_stReady: every
    // station is ready after its first step.
    void Update() override;
};

// A sprite part of a station with a frame counter of its own.
struct cStationPart {
    cSprite sprite;
    vek::vec2 offset;
    vek::cAnimCounter anim;
    // Looks the sprite up and sets the counter in that mode.
    bool Set(const vek::string& texture, const vek::string& area, int32_t mode);
    void Play(int32_t mode);
    // Once-mode parts that cannot play (fewer than 2 frames) count as
    // stopped at once.
    bool Stopped() const { return anim.iMode == 0 || anim.iFrameCount < 2; }
    void Draw(vek::cQuadBatch& batch, float x, float y) const;
};

class cCar : public cWorkStation {
public:
    enum eState : int32_t { e_csParked = e_stReady, e_csOpening = 3, e_csAway = 4, e_csBack = 5, e_csClosing = 6 };
    static constexpr float kSpeed = 160.0f;

    explicit cCar(cLevel* level);
    uint32_t GetType() const override { return OBJ_CAR; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    vek::rectf GetRect() const override;
    float GetDepth() const override { return m_vPos.y - 11.0f; }
    void Update() override;
    void Move(float elapsed) override;
    void Draw() override;
    void DrawTo(vek::cQuadBatch& batch);

    // The car's x; the rear part follows 160 pixels to the right.
    virtual void SetDrive(float x);
    const vek::vec2& GetBodyPos() const { return m_vBody; }
    const cStationPart& GetFlap() const { return m_Flap; }
    const cStationPart& GetWheel() const { return m_Wheel; }
    const cSprite& GetBody() const { return m_Body; }

private:
    vek::mover<float> m_Drive;
    float m_fParkedX = -70.0f;
    cSprite m_Body;
    vek::vec2 m_vBody = vek::vec2(0.0f, 320.0f);
    cStationPart m_Wheel;
    cStationPart m_Flap;
};

class cCarBack : public cWorkStation {
public:
    explicit cCarBack(cLevel* level);
    // Its rectangle starts at its position (not centred).
    vek::rectf GetRect() const override;
    bool HitTest(const vek::vec2&) const override { return false; }
    float GetDepth() const override { return m_vPos.y + 11.0f; }
};

class cWaterPump : public cWorkStation {
public:
    enum eState : int32_t { e_wpIdle = e_stReady, e_wpPumping = 3 };

    explicit cWaterPump(cLevel* level);
    uint32_t GetType() const override { return OBJ_PUMP; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    // At the right edge of the screen whatever its cell; the empty
    // rectangle while the player has not been shown the pump.
    vek::rectf GetRect() const override;
    void Update() override;
    void Draw() override;
    void DrawTo(vek::cQuadBatch& batch);
    const cStationPart& GetWater() const { return m_Water; }
    const cStationPart& GetTop() const { return m_Top; }

private:
    cStationPart m_Water;
    cStationPart m_Top;
};
