// Frame timing on a manual clock, the frame-rate tick, and the main loop's
// ending with the quit code.
#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

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

}  // namespace
