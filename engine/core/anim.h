#pragma once
// Time-driven values: a sprite frame counter and a value that moves toward a
// target at constant speed. Their owners advance them with elapsed seconds.
#include <cmath>
#include <cstdint>

#include "engine/core/geometry.h"

namespace vek {

class cAnimCounter {
public:
    enum eMode : int32_t {
        e_Stop = 0,
        e_Once = 1,
        e_OnceBackward = 2,
        e_Loop = 3,
        e_LoopBackward = 4,
        e_PingPong = 5,
    };

    // Stores the mode; frame 0, direction +1, frame time 1 / fps; a mode 0
    // to 5 is then applied with rewinding. A rate of 0 or less leaves the
    // counter still.
    void Init(int32_t frameCount, float fps, int32_t mode);
    // Direction and, when rewinding, frame and elapsed for the mode. The
    // caller stores the mode itself.
    void ApplyMode(int32_t mode, bool rewind);
    // Advances by whole frames; returns how many.
    int32_t Update(float dt);

    int32_t iMode = e_Stop;
    int32_t iFrame = 0;
    int32_t iFrameCount = 0;
    float fElapsed = 0.0f;
    float fFrameTime = 0.0f;
    int32_t iDirection = 1;
};

// How far apart two values are: absolute difference or Euclidean length.
inline float MoverDistance(float a, float b) { return std::fabs(b - a); }
inline float MoverDistance(const vec2& a, const vec2& b) { return (b - a).Length(); }

// A float or vec2 moving toward a target at m_fSpeed units per second.
template <class T>
class mover {
public:
    enum eState { e_Standing = 0, e_Moving = 1, e_Arrived = 2 };

    // Starts a move from the current value.
    void SetTarget(const T& target)
    {
        m_From = m_Value;
        m_To = target;
        m_fTime = 0.0f;
        const float distance = MoverDistance(m_From, m_To);
        // A speed of 0 never gets anywhere (the value stays put while the
        // move lasts); a negative or undefined speed, or no distance at all,
        // arrives at once. Either way no NaN reaches the value.
        float duration = 0.0f;
        if (m_fSpeed > 0.0f) duration = distance / m_fSpeed;
        else if (m_fSpeed == 0.0f) duration = HUGE_VALF;
        if (!(distance >= kEpsilon) || !(duration >= kEpsilon)) {
            m_fDuration = 0.0f;
            m_Value = m_To;
        } else {
            m_fDuration = duration;
        }
    }

    // 0 standing, 1 moving, 2 arrived in this call.
    int Update(float dt)
    {
        if (m_fTime == m_fDuration) return e_Standing;
        if (!(dt > 0.0f)) dt = 0.0f;  // time never runs backwards
        m_fTime += dt;
        if (m_fTime >= m_fDuration) {
            m_fTime = m_fDuration;
            m_Value = m_To;
            return e_Arrived;
        }
        m_Value = m_From + (m_To - m_From) * (m_fTime / m_fDuration);
        return e_Moving;
    }

    // A new speed goes on from where the value is now toward the same
    // target (a standing value stays where it is).
    void SetSpeed(float speed)
    {
        m_fSpeed = speed;
        SetTarget(m_To);
    }

    void Reset(const T& value)
    {
        m_From = m_To = m_Value = value;
        m_fTime = m_fDuration = 0.0f;
    }

    bool IsMoving() const { return m_Value != m_To; }

    T m_From{};
    T m_To{};
    T m_Value{};
    float m_fSpeed = 0.0f;
    float m_fTime = 0.0f;
    float m_fDuration = 0.0f;
};

} // namespace vek
