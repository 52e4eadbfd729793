// The engine's window on a real X server (Xvfb, 1280 x 1024): windowed it
// has the requested client area; full screen it covers the desktop with the
// picture letterboxed, and the desktop's mode never changes.
#include <SDL.h>
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "platform/display.h"

namespace {

class X11WindowTest : public vektest::EngineFixture {
protected:
    X11WindowTest() { m_bOpenGL = true; }

    // X11 applies size changes asynchronously.
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

TEST_F(X11WindowTest, WindowedClientAreaIsTheRequestedSize)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    WaitForWindowSize(1024, 768);
    vek::platform::cNativeWindow* win = vek::platform::WindowSystem().GetWindow();
    ASSERT_NE(win, nullptr);
    int w = 0, h = 0;
    win->GetWindowSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_TRUE(SDL_GetWindowFlags(win->GetSdlWindow()) & SDL_WINDOW_OPENGL);
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_FALSE(win->IsScaled());
}

TEST_F(X11WindowTest, FullScreenLetterboxesOnTheUnchangedDesktop)
{
    vek::platform::cModeInfo before;
    ASSERT_TRUE(vek::platform::GetDesktopMode(before));
    ASSERT_EQ(before.width, 1280);
    ASSERT_EQ(before.height, 1024);

    ASSERT_TRUE(m_pGame->CreateWindow(false, 1024, 768, 32));
    WaitForWindowSize(1280, 1024);
    vek::platform::cNativeWindow* win = vek::platform::WindowSystem().GetWindow();
    ASSERT_NE(win, nullptr);
    int w = 0, h = 0;
    win->GetWindowSize(w, h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1024);
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    EXPECT_TRUE(win->IsScaled());
    const vek::platform::cPixelRect r = win->GetPresentRect();
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.y, 32);
    EXPECT_EQ(r.w, 1280);
    EXPECT_EQ(r.h, 960);
    int cx = 0, cy = 0;
    win->WindowToClient(640, 512, cx, cy);
    EXPECT_EQ(cx, 512);
    EXPECT_EQ(cy, 384);

    // Losing the focus minimises; the desktop stays as it was throughout.
    vek::platform::cMessage m;
    m.type = vek::platform::e_msgActivate;
    m.a = 0;
    m_pGame->WndProc(m);
    m.a = 1;
    m_pGame->WndProc(m);
    m_pGame->DestroyWindow();
    vek::platform::cModeInfo after;
    ASSERT_TRUE(vek::platform::GetDesktopMode(after));
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
}

TEST_F(X11WindowTest, TheWholeScreenIsTheWorkAreaWithoutPanels)
{
    int left = -1, top = -1, right = 0, bottom = 0;
    ASSERT_TRUE(vek::platform::GetWorkArea(left, top, right, bottom));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(right, 1280);
    EXPECT_EQ(bottom, 1024);
}

}  // namespace
