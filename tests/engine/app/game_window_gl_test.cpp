// The engine's window with its render device (SDL's offscreen driver): mode
// choice, creation and destruction, size messages, and the gamma ramp.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine_fixture.h"
#include "engine/graphics/render.h"
#include "engine/gui/widget.h"

namespace {

vek::cDisplayMode Mode(int w, int h, int bits, int freq)
{
    vek::cDisplayMode m;
    m.iWidth = w;
    m.iHeight = h;
    m.iBits = bits;
    m.iFrequency = freq;
    return m;
}

TEST(SnapDisplayMode, TakesTheLargestListedModeNotAboveTheRequest)
{
    const std::vector<vek::cDisplayMode> modes = {
        Mode(800, 600, 32, 60),   Mode(1024, 768, 16, 60),  Mode(1024, 768, 32, 60),
        Mode(1024, 768, 32, 75),  Mode(1024, 768, 32, 100), Mode(1280, 1024, 32, 60),
    };
    vek::cDisplayMode req = Mode(1024, 768, 32, 85);
    EXPECT_EQ(vek::SnapDisplayMode(modes, req), 0);
    EXPECT_EQ(req, Mode(1024, 768, 32, 75));

    req = Mode(1024, 768, 32, 100);
    EXPECT_EQ(vek::SnapDisplayMode(modes, req), 0);
    EXPECT_EQ(req, Mode(1024, 768, 32, 100));

    // Nothing at 1024 x 768: the next smaller entry of the ordering.
    const std::vector<vek::cDisplayMode> small = {Mode(800, 600, 32, 60), Mode(1024, 600, 32, 60),
                                                  Mode(1280, 720, 32, 60)};
    req = Mode(1024, 768, 32, 85);
    EXPECT_EQ(vek::SnapDisplayMode(small, req), 0);
    EXPECT_EQ(req, Mode(1024, 600, 32, 60));

    // Below every listed mode, or nothing listed: the request stays.
    req = Mode(640, 480, 32, 85);
    EXPECT_EQ(vek::SnapDisplayMode(small, req), 1);
    EXPECT_EQ(req, Mode(640, 480, 32, 85));
    EXPECT_EQ(vek::SnapDisplayMode({}, req), 1);
    EXPECT_EQ(req, Mode(640, 480, 32, 85));
}

class WindowTest : public vektest::EngineFixture {
protected:
    WindowTest() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        if (!vek::g_pRender) {
            m_bOwnRender = true;
            ASSERT_TRUE(vek::CreateRender());
        }
    }
    void TearDown() override
    {
        if (vek::platform::WindowSystem().HasWindow()) m_pGame->DestroyWindow();
        if (m_bOwnRender) vek::DestroyRender();
        EngineFixture::TearDown();
    }
    bool m_bOwnRender = false;
};

TEST_F(WindowTest, DisplayModesAreListedSortedAndDesktopIsRead)
{
    m_pGame->ReadDesktopDisplayMode();
    EXPECT_EQ(vek::EnumDisplayModes(), 0);
    const std::vector<vek::cDisplayMode>& modes = vek::GetDisplayModes();
    ASSERT_FALSE(modes.empty());
    for (size_t i = 1; i < modes.size(); ++i) EXPECT_FALSE(modes[i] < modes[i - 1]);
    for (const vek::cDisplayMode& m : modes) {
        EXPECT_GT(m.iWidth, 0);
        EXPECT_GT(m.iHeight, 0);
    }
    EXPECT_GT(vek::GetCurrentDisplayMode().iWidth, 0);
}

TEST_F(WindowTest, AWindowedWindowHasTheRequestedClientArea)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    EXPECT_TRUE(m_pGame->bWindowed);
    int w = 0, h = 0;
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(LogLinesWith("CreateWindow Started..."), 1);
    EXPECT_EQ(LogLinesWith("CreateWindowEx... Ok"), 1);
    EXPECT_EQ(LogLinesWith("Resizing and Updating Window... Ok"), 1);
    EXPECT_EQ(LogLinesWith("Resizing GUI... Ok"), 1);

    // The size the window reports once it shows; minimising is not logged.
    Pump();
    EXPECT_EQ(LogLinesWith("Size of window was changed to 1024x768, Window state is - 0"), 1);
    vek::platform::cMessage m;
    m.type = vek::platform::e_msgSize;
    m.a = 1;
    m_pGame->WndProc(m);
    m.a = 2;
    m.b = 800;
    m.c = 0;
    m_pGame->WndProc(m);
    EXPECT_EQ(LogLinesWith("Size of window was changed to"), 2);
    EXPECT_EQ(LogLinesWith("Size of window was changed to 800x0, Window state is - 0X2"), 1);
}

TEST_F(WindowTest, FullScreenKeepsTheRequestedClientSize)
{
    ASSERT_TRUE(m_pGame->CreateWindow(false, 1024, 768, 32));
    EXPECT_FALSE(m_pGame->bWindowed);
    int w = 0, h = 0;
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(LogLinesWith("ChangeDisplaySettings(1024, 768, "), 1);
}

TEST_F(WindowTest, DestructionDrainsTheQueueButKeepsTheQuit)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    m_pGame->Exit(5);
    m_pGame->DestroyWindow();
    EXPECT_FALSE(vek::platform::WindowSystem().HasWindow());
    EXPECT_EQ(LogLinesWith("DestroyWindow... Ok"), 1);
    EXPECT_EQ(LogLinesWith("Clear message's queue... Ok"), 1);
    vek::platform::cMessage m;
    ASSERT_TRUE(vek::platform::WindowSystem().PeekMessage(m));
    EXPECT_EQ(m.type, vek::platform::e_msgQuit);
    EXPECT_EQ(m.a, 5);
}

TEST_F(WindowTest, GammaRoundTripsAndNeverBreaks)
{
    EXPECT_EQ(m_pGame->GetGamma(), 1.0f);
    EXPECT_FALSE(m_pGame->SetGamma(1.5f));  // no window yet

    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    ASSERT_TRUE(m_pGame->SetGamma(2.0f));
    EXPECT_NEAR(m_pGame->GetGamma(), 2.0f, 0.01f);
    ASSERT_TRUE(m_pGame->SetGamma(0.5f));
    EXPECT_NEAR(m_pGame->GetGamma(), 0.5f, 0.01f);
    // The identity ramp reads back exactly 1.
    ASSERT_TRUE(m_pGame->SetGamma(1.0f));
    EXPECT_EQ(m_pGame->GetGamma(), 1.0f);
    uint16_t r[256], g[256], b[256];
    ASSERT_TRUE(vek::platform::GetGammaRamp(r, g, b));
    EXPECT_EQ(r[1], 256);
    EXPECT_EQ(b[255], 255 * 256);

    // A ramp of zeros still reads as a number. A gamma that is no finite
    // number is refused and leaves the ramp as it was, not black or white.
    ASSERT_TRUE(m_pGame->SetGamma(5000.0f));
    EXPECT_TRUE(std::isfinite(m_pGame->GetGamma()));
    ASSERT_TRUE(m_pGame->SetGamma(0.5f));
    for (float bad : {std::nanf(""), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        EXPECT_FALSE(m_pGame->SetGamma(bad)) << bad;
        EXPECT_NEAR(m_pGame->GetGamma(), 0.5f, 0.01f) << bad;
    }
    ASSERT_TRUE(m_pGame->SetGamma(1.0f));
}

TEST_F(WindowTest, CloseAndEndOfSessionBothQuitWithZero)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    for (vek::platform::eMessage type : {vek::platform::e_msgClose, vek::platform::e_msgEndSession}) {
        Pump();
        vek::platform::cMessage m;
        m.type = type;
        m_pGame->WndProc(m);
        ASSERT_TRUE(vek::platform::WindowSystem().PeekMessage(m));
        EXPECT_EQ(m.type, vek::platform::e_msgQuit);
        EXPECT_EQ(m.a, 0);
        // The window stays until shutdown destroys it.
        EXPECT_TRUE(vek::platform::WindowSystem().HasWindow());
    }
}

TEST_F(WindowTest, TheEnginesTitleTextReachesTheWindowAsUtf8)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 640, 480, 32));
    m_pGame->SetWindowTitle("Garden \xEE\xF1\xF2\xF0\xEE\xE2");
    SDL_Window* win = vek::platform::WindowSystem().GetWindow()->GetSdlWindow();
    EXPECT_STREQ(SDL_GetWindowTitle(win),
                 "Garden \xD0\xBE\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2");
}

TEST_F(WindowTest, APausedWidgetIsStillDrawnButNotAdvanced)
{
    struct cDrawn : vek::cWidget {
        cDrawn() : vek::cWidget("drawn") {}
        void Draw() override
        {
            ++draws;
            vek::cWidget::Draw();
        }
        void Tick() override { ++ticks; }
        int draws = 0;
        int ticks = 0;
    };
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    Pump();
    cDrawn* w = new cDrawn;
    m_pGame->SetFocusWidget("drawn");
    m_pGame->fFrameTime = 0.05f;
    m_pGame->UpdateFrame();
    m_pGame->PauseWidget(true);
    m_pGame->UpdateFrame();
    m_pGame->UpdateFrame();
    EXPECT_EQ(w->draws, 3);
    EXPECT_EQ(w->ticks, 1);
    // Without a focused widget the frame still runs (it only clears).
    m_pGame->SetFocusWidget("nothing");
    m_pGame->UpdateFrame();
    EXPECT_EQ(w->draws, 3);
}

}  // namespace
