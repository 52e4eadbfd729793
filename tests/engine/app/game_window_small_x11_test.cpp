// The engine's window full screen on a desktop that lists no 1024 x 768
// mode (an X server of the test's own, 800 x 600): the request snaps to a
// smaller listed mode as before, but the picture keeps the size the game
// asked for and is scaled into the unchanged desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine_fixture.h"
#include "platform/display.h"
#include "support/xvfb.h"

namespace {

vektest::cXvfb& Server()
{
    // Made before the window system, so it is destroyed after it: the
    // window system leaves the server while it still runs.
    static vektest::cXvfb server;
    return server;
}

class SmallDesktopTest : public vektest::EngineFixture {
protected:
    SmallDesktopTest() { m_bOpenGL = true; }

    static void SetUpTestSuite()
    {
        if (Server().IsRunning()) return;
        ASSERT_TRUE(Server().Start(800, 600));
        setenv("DISPLAY", Server().Display().c_str(), 1);
    }

    void WaitForWindowSize(int w, int h)
    {
        SDL_Window* win = vek::platform::WindowSystem().GetWindow()->GetSdlWindow();
        for (int i = 0; i < 200; ++i) {
            Pump();
            int ww = 0, wh = 0;
            SDL_GetWindowSize(win, &ww, &wh);
            if (ww == w && wh == h) return;
            SDL_Delay(10);
        }
    }
};

TEST_F(SmallDesktopTest, FullScreenKeepsTheRequestedPictureWithoutThatMode)
{
    vek::platform::cModeInfo desktop;
    ASSERT_TRUE(vek::platform::GetDesktopMode(desktop));
    ASSERT_EQ(desktop.width, 800);
    ASSERT_EQ(desktop.height, 600);
    for (const vek::cDisplayMode& m : vek::GetDisplayModes())
        ASSERT_FALSE(m.iWidth == 1024 && m.iHeight == 768) << "the display lists 1024 x 768";

    ASSERT_TRUE(m_pGame->CreateWindow(false, 1024, 768, 32));
    // The mode choice is the smaller listed mode, as the log says ...
    EXPECT_EQ(LogLinesWith("ChangeDisplaySettings(800, 600, 32, "), 1);
    // ... but the game works at the size it asked for, scaled to the desktop.
    WaitForWindowSize(800, 600);
    vek::platform::cNativeWindow* win = vek::platform::WindowSystem().GetWindow();
    ASSERT_NE(win, nullptr);
    int w = 0, h = 0;
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    win->GetWindowSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_TRUE(win->IsScaled());
    const vek::platform::cPixelRect r = win->GetPresentRect();
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 0);
    EXPECT_EQ(r.w, 800);
    EXPECT_EQ(r.h, 600);
    int cx = 0, cy = 0;
    win->WindowToClient(400, 300, cx, cy);
    EXPECT_EQ(cx, 512);
    EXPECT_EQ(cy, 384);
    EXPECT_EQ(LogLinesWith("Size of window was changed to 1024x768"), 1);

    // Losing and regaining the focus brings full screen back at the same size.
    vek::platform::cMessage m;
    m.type = vek::platform::e_msgActivate;
    m.a = 0;
    m_pGame->WndProc(m);
    m.a = 1;
    m_pGame->WndProc(m);
    Pump();
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(LogLinesWith("Size of window was changed to 800x600"), 0);

    m_pGame->DestroyWindow();
    vek::platform::cModeInfo after;
    ASSERT_TRUE(vek::platform::GetDesktopMode(after));
    EXPECT_EQ(after.width, 800);
    EXPECT_EQ(after.height, 600);
}

}  // namespace
