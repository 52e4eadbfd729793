// The main loop and the frame timing: messages one at a time, a frame
// whenever none waits, and after each frame the measurement that the next
// frame works with.
#include "engine/app/game.h"
#include "engine/core/input.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace vek {

namespace {

// Engine-wide: the counter the timing reads and its value at the last
// measurement.
platform::iClock* g_pFrameClock = nullptr;
int64_t g_iFrequency = 0;
int64_t g_iLastCounter = 0;

platform::iClock& FrameClock()
{
    if (!g_pFrameClock) g_pFrameClock = &platform::SystemClock();
    return *g_pFrameClock;
}

} // namespace

void cGame::InitFrameTiming(platform::iClock* clock)
{
    g_pFrameClock = clock ? clock : &platform::SystemClock();
    g_iFrequency = g_pFrameClock->Frequency();
    g_iLastCounter = g_pFrameClock->Counter();
}

void cGame::RestartFrameTiming()
{
    g_iLastCounter = FrameClock().Counter();
    fFrameTime = 0.0f;
}

void cGame::UpdateFrameTimer()
{
    const int64_t now = FrameClock().Counter();
    if (g_iFrequency <= 0) g_iFrequency = FrameClock().Frequency();
    const float dt = g_iFrequency > 0
                         ? static_cast<float>(static_cast<double>(now - g_iLastCounter) /
                                              static_cast<double>(g_iFrequency))
                         : 0.0f;
    fFrameTime = dt;
    fTotalTime += dt;
    g_iLastCounter = now;
    ++iFrameCount;

    const size_t ringSize = vecFrameTimes.size();
    if (ringSize == 0) return;
    if (uFramePos >= ringSize) uFramePos = 0;
    if (uFramePos == 0) {
        vecFrameTimes[0] = dt;
    } else {
        // A long frame enters the ring at most at twice its predecessor, so a
        // single hitch does not swing the average.
        const float twice = 2.0f * vecFrameTimes[uFramePos - 1];
        vecFrameTimes[uFramePos] = dt < twice ? dt : twice;
    }
    if (++uFramePos >= ringSize) uFramePos = 0;
    float sum = 0.0f;
    for (float t : vecFrameTimes) sum += t;
    fAverageFrameTime = sum / static_cast<float>(ringSize);
}

void cGame::TimerProc()
{
    iFps = iFrameCount * 2;
    iFrameCount = 0;
}

void cGame::Exit(int code) { platform::WindowSystem().PostQuit(code); }

int cGame::Run()
{
    platform::cWindowSystem& ws = platform::WindowSystem();
    ws.SetTimer(500);
    RestartFrameTiming();
    int exitCode = 0;
    platform::cMessage msg;
    for (;;) {
        if (ws.PeekMessage(msg)) {
            if (msg.type == platform::e_msgQuit) {
                exitCode = msg.a;
                break;
            }
            WndProc(msg);
            continue;
        }
        if (bActive || bRunInactive) {
            UpdateFrame();
            UpdateFrameTimer();
        } else {
            ws.WaitMessage();
            // Nothing of the idle time reaches the game: no elapsed time, no input.
            RestartFrameTiming();
            if (g_pInput) g_pInput->Update(nullptr);
        }
    }
    ws.KillTimer();
    return exitCode;
}

float GetDayTime()
{
    const platform::cLocalTime t = platform::GetLocalTimeNow();
    return static_cast<float>(t.millisecond) / 1000.0f + static_cast<float>(t.second) +
           static_cast<float>(t.minute) * 60.0f + static_cast<float>(t.hour) * 3600.0f;
}

} // namespace vek
