#include "engine/core/anim.h"

#include <cmath>

namespace vek {

namespace {

// Bounds the frames advanced in one call, so a huge or endless elapsed time
// cannot overflow the frame arithmetic.
constexpr float kMaxStep = 1073741824.0f;  // 2^30

} // namespace

void cAnimCounter::Init(int32_t frameCount, float fps, int32_t mode)
{
    iFrameCount = frameCount;
    iFrame = 0;
    iDirection = 1;
    fElapsed = 0.0f;
    fFrameTime = fps > 0.0f ? 1.0f / fps : 0.0f;
    iMode = mode;
    ApplyMode(mode, true);  // a mode outside 0 to 5 changes nothing more
}

void cAnimCounter::ApplyMode(int32_t mode, bool rewind)
{
    switch (mode) {
    case e_Stop:
        fElapsed = 0.0f;
        if (rewind) iFrame = 0;
        break;
    case e_Once:
    case e_Loop:
        iDirection = 1;
        if (rewind) {
            iFrame = 0;
            fElapsed = 0.0f;
        }
        break;
    case e_OnceBackward:
    case e_LoopBackward:
        iDirection = -1;
        if (rewind) {
            iFrame = iFrameCount > 1 ? iFrameCount - 1 : 0;
            fElapsed = 0.0f;
        }
        break;
    case e_PingPong:
        if (rewind) {
            iDirection = 1;
            iFrame = 0;
            fElapsed = 0.0f;
        }
        break;
    default:
        break;
    }
}

int32_t cAnimCounter::Update(float dt)
{
    if (iMode == e_Stop || iFrameCount < 2) return 0;
    // Without a positive frame time (a rate of 0) the counter cannot advance.
    if (!(fFrameTime > 0.0f)) return 0;
    if (dt > 0.0f) fElapsed += dt;
    if (!(fElapsed >= fFrameTime)) return 0;

    float steps = std::floor(fElapsed / fFrameTime);
    if (!(steps <= kMaxStep)) steps = kMaxStep;
    const int32_t n = static_cast<int32_t>(steps);
    fElapsed -= steps * fFrameTime;
    if (!(fElapsed >= 0.0f)) fElapsed = 0.0f;

    const int32_t last = iFrameCount - 1;
    switch (iMode) {
    case e_Once:
        if (iFrame < 0) iFrame = 0;
        iFrame += n;
        if (iFrame >= iFrameCount) {
            iFrame = last;
            iMode = e_Stop;
            fElapsed = 0.0f;
        }
        break;
    case e_OnceBackward:
        if (iFrame > last) iFrame = last;
        iFrame -= n;
        if (iFrame < 0) {
            iFrame = 0;
            iMode = e_Stop;
            fElapsed = 0.0f;
        }
        break;
    case e_Loop:
        if (iFrame < 0) iFrame = 0;
        iFrame = static_cast<int32_t>((static_cast<int64_t>(iFrame) + n) % iFrameCount);
        break;
    case e_LoopBackward: {
        int64_t f = (static_cast<int64_t>(iFrame) - n) % iFrameCount;
        if (f < 0) f += iFrameCount;
        iFrame = static_cast<int32_t>(f);
        break;
    }
    case e_PingPong: {
        // The bounce repeats every 2 * (count - 1) frames once the frame and
        // direction agree (after the first step), so long runs are cut short.
        const int32_t period = 2 * last;
        int32_t run = n <= period ? n : ((n - 1) % period) + 1;
        if (iFrame < 0) iFrame = 0;
        if (iFrame > last) iFrame = last;
        for (; run > 0; --run) {
            iFrame += iDirection;
            if (iFrame >= last) {
                iFrame = last;
                iDirection = -1;
            } else if (iFrame <= 0) {
                iFrame = 0;
                iDirection = 1;
            }
        }
        break;
    }
    default:
        break;
    }
    return n;
}

} // namespace vek
