// Frame timing on a manual clock, the frame-rate tick, and the main loop's
// ending with the quit code.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include "engine_fixture.h"

namespace {

class LoopTest : public vektest::EngineFixture {
protected:
    // One measured turn of the given length.
    void Turn(double seconds)
    {
        m_Clock.AdvanceSeconds(seconds);
        m_pGame->UpdateFrameTimer();
    }
};

TEST_F(LoopTest, ALongFrameEntersTheRingAtTwiceItsPredecessor)
{
    m_pGame->RestartFrameTiming();
    Turn(0.016);
    Turn(0.016);
    Turn(1.0);
    EXPECT_FLOAT_EQ(m_pGame->fFrameTime, 1.0f);
    EXPECT_FLOAT_EQ(m_pGame->vecFrameTimes[2], 0.032f);
    EXPECT_EQ(m_pGame->uFramePos, 3u);
    EXPECT_FLOAT_EQ(m_pGame->fTotalTime, 1.032f);
    EXPECT_FLOAT_EQ(m_pGame->fAverageFrameTime, (0.016f + 0.016f + 0.032f) / 100.0f);

    // Slot 0 takes any value: a long frame there enters unclamped.
    for (int i = 3; i < 100; ++i) Turn(0.016);
    EXPECT_EQ(m_pGame->uFramePos, 0u);
    Turn(1.0);
    EXPECT_FLOAT_EQ(m_pGame->vecFrameTimes[0], 1.0f);
    EXPECT_EQ(m_pGame->uFramePos, 1u);
}

TEST_F(LoopTest, FrameRateIsTheDoubledCountOfTheLastHalfSecond)
{
    for (int i = 0; i < 60; ++i) Turn(0.008);
    m_pGame->TimerProc();
    EXPECT_EQ(m_pGame->iFps, 120);
    EXPECT_EQ(m_pGame->iFrameCount, 0);
}

TEST_F(LoopTest, RestartGivesTheNextFrameNoElapsedTime)
{
    Turn(0.02);
    m_Clock.AdvanceSeconds(30.0);  // asleep, inactive
    m_pGame->RestartFrameTiming();
    EXPECT_EQ(m_pGame->fFrameTime, 0.0f);
    Turn(0.01);
    EXPECT_NEAR(m_pGame->fFrameTime, 0.01f, 1e-6f);
}

TEST_F(LoopTest, ActivationRestartsTheTimingAndTogglesActive)
{
    m_pGame->fFrameTime = 0.5f;
    vek::platform::cMessage m;
    m.type = vek::platform::e_msgActivate;
    m.a = 0;
    m_pGame->WndProc(m);
    EXPECT_FALSE(m_pGame->bActive);
    EXPECT_EQ(LogLinesWith("Window lose focus"), 1);
    m.a = 1;
    m_pGame->WndProc(m);
    EXPECT_TRUE(m_pGame->bActive);
    EXPECT_EQ(m_pGame->fFrameTime, 0.0f);
    EXPECT_EQ(LogLinesWith("Window get focus"), 1);
}

TEST_F(LoopTest, RunEndsWithThePostedCode)
{
    m_pGame->Exit(7);
    EXPECT_EQ(m_pGame->Run(), 7);
}

TEST_F(LoopTest, ClosingTheWindowEndsTheLoopWithZero)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    EXPECT_EQ(m_pGame->Run(), 0);

    // The end of the session (SIGTERM, logout) ends it the same way.
    std::memset(&e, 0, sizeof e);
    e.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    EXPECT_EQ(m_pGame->Run(), 0);
}

TEST_F(LoopTest, SigtermEndsTheLoopNormally)
{
    ASSERT_EQ(raise(SIGTERM), 0);
    EXPECT_EQ(m_pGame->Run(), 0);
}

TEST_F(LoopTest, FramesRunBetweenMessagesUntilTheQuit)
{
    // A widget that quits after a few frames.
    struct cQuitter : vek::cWidget {
        cQuitter() : vek::cWidget("quitter") {}
        void Update(float) override
        {
            if (++frames == 5) vek::g_pGame->Exit(4);
        }
        int frames = 0;
    };
    cQuitter* w = new cQuitter;
    m_pGame->SetFocusWidget("quitter");
    EXPECT_EQ(m_pGame->Run(), 4);
    EXPECT_EQ(w->frames, 5);
}

// The whole inactive branch of Run: frames run while inactive only when the
// start-up asks for them; otherwise the loop sleeps until a message comes,
// and on waking the timing restarts and the input buffered meanwhile is
// dropped. The frame clock is the real one, so the sleep really takes time.
TEST_F(LoopTest, InactiveLoopSleepsThenRestartsTheTimingAndDropsTheInput)
{
    struct cRecorder : vek::cWidget {
        cRecorder() : vek::cWidget("recorder") {}
        void Update(float elapsed) override
        {
            elapsedSeen.push_back(elapsed);
            if (elapsedSeen.size() == 1) {
                // Still starting up: a key comes in, then the start-up ends
                // and the loop goes idle.
                SDL_Event e;
                std::memset(&e, 0, sizeof e);
                e.type = SDL_KEYDOWN;
                e.key.keysym.scancode = SDL_SCANCODE_A;
                e.key.keysym.sym = SDLK_a;
                SDL_PushEvent(&e);
                vek::g_pGame->bRunInactive = false;
                idle = true;
            } else if (elapsedSeen.size() == 3) {
                vek::g_pGame->Exit(6);
            }
        }
        void OnInput(int kind, int code) override
        {
            inputs.push_back({kind, code});
            // A typed character wakes the loop; the game asks for frames again.
            if (kind == vek::e_inChar) vek::g_pGame->bRunInactive = true;
        }
        std::vector<float> elapsedSeen;
        std::vector<std::pair<int, int>> inputs;
        std::atomic<bool> idle{false};
    };
    cRecorder* w = new cRecorder;
    m_pGame->SetFocusWidget("recorder");
    m_pGame->InitFrameTiming(nullptr);
    m_pGame->bActive = false;
    m_pGame->bRunInactive = true;

    // Types one character a while after the loop went idle (through SDL's
    // queue, the only thing shared with the loop).
    std::thread typist([w] {
        for (int i = 0; i < 1000 && !w->idle; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_TEXTINPUT;
        std::strcpy(e.text.text, "w");
        SDL_PushEvent(&e);
    });
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    const int code = m_pGame->Run();
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    typist.join();

    EXPECT_EQ(code, 6);
    EXPECT_FALSE(m_pGame->bActive);
    EXPECT_GE(seconds, 0.3) << "the loop did not wait for the character";
    EXPECT_LT(cpu, seconds / 2) << "the loop kept turning while idle instead of sleeping";
    // Exactly one frame before the idle time: none ran while idle.
    ASSERT_EQ(w->elapsedSeen.size(), 3u);
    // The first frame after waking works with no elapsed time, and the one
    // after it with the length of one turn, not with the idle time.
    EXPECT_EQ(w->elapsedSeen[1], 0.0f);
    EXPECT_LT(w->elapsedSeen[2], 0.2f);
    // The key pressed before the idle time never reached the game.
    ASSERT_EQ(w->inputs.size(), 1u);
    EXPECT_EQ(w->inputs[0], std::make_pair(static_cast<int>(vek::e_inChar), int('w')));
}

}  // namespace
