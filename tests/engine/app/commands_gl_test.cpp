// Screenshots of a drawn frame and display changes, on the engine's window
// with a real render device (SDL's offscreen driver).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <cstdlib>
#include <string>

#include "engine_fixture.h"
#include "engine/app/commands.h"
#include "engine/core/datamanager.h"
#include "engine/core/image.h"
#include "engine/app/sysinfo.h"
#include "engine/graphics/buffers.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "platform/fs.h"

namespace {

struct cRgb {
    int r, g, b;
};

class CommandsGL : public vektest::EngineFixture {
protected:
    CommandsGL() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        // The engine makes these itself once it has a window class; any it
        // did not make, the test makes and destroys.
        if (!vek::g_pRender) m_bOwnRender = vek::CreateRender();
        if (!vek::g_pBufferRegistry) m_bOwnBuffers = vek::CreateBufferRegistry();
        if (!vek::g_pTextureManager) m_bOwnTextures = vek::CreateTextureManager();
        ASSERT_TRUE(vek::g_pRender && vek::g_pBufferRegistry && vek::g_pTextureManager);
        // Every test numbers its screenshots from 00.
        vek::platform::RemoveTree(Desktop());
    }
    void TearDown() override
    {
        if (vek::platform::WindowSystem().HasWindow()) m_pGame->DestroyWindow();
        if (m_bOwnTextures) vek::DestroyTextureManager();
        if (m_bOwnBuffers) vek::DestroyBufferRegistry();
        if (m_bOwnRender) vek::DestroyRender();
        EngineFixture::TearDown();
    }

    bool m_bOwnRender = false;
    bool m_bOwnBuffers = false;
    bool m_bOwnTextures = false;

    // A blue frame with a red band along the top and a green one along the
    // bottom, screenshot taken where the frame takes it: after the scene
    // ended, before it is presented.
    bool DrawAndShoot(int w, int h)
    {
        if (vek::g_pRender->Begin() != 0) return false;
        vek::g_pRender->SetClearColor(0, 0, 1, 1);
        vek::g_pRender->Clear();
        vek::Begin2D(static_cast<float>(w), static_cast<float>(h));
        vek::cQuadBatch batch;
        const float band = 100.0f;
        batch.AddQuad(0, vek::rectf(0, static_cast<float>(h) - band, static_cast<float>(w), band),
                      0xFFFF0000u, vek::rectf(0, 0, 1, 1));
        batch.AddQuad(0, vek::rectf(0, 0, static_cast<float>(w), band), 0xFF00FF00u,
                      vek::rectf(0, 0, 1, 1));
        batch.Draw();
        vek::End2D();
        vek::g_pRender->End();
        const bool saved = vek::CreateScreenShot();
        vek::g_pRender->SwapBuffers();
        return saved;
    }

    // Pixel x from the left, y from the top of a picture read back from a
    // file (rows bottom first in memory).
    static cRgb At(const vek::cImage& image, int x, int yFromTop)
    {
        const int row = image.GetHeight() - 1 - yFromTop;
        const uint8_t* p =
            image.GetLevel(0) + (static_cast<size_t>(row) * image.GetWidth() + x) * 3;
        return {p[0], p[1], p[2]};
    }

    static std::string Desktop() { return std::string(std::getenv("HOME")) + "/Desktop/"; }
};

#define EXPECT_RGB(px, R, G, B)            \
    do {                                   \
        const cRgb p_ = (px);              \
        EXPECT_NEAR(p_.r, R, 2) << "red";  \
        EXPECT_NEAR(p_.g, G, 2) << "green";\
        EXPECT_NEAR(p_.b, B, 2) << "blue"; \
    } while (0)

TEST_F(CommandsGL, ScreenShotIsThePictureOfTheFrame)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    ASSERT_TRUE(DrawAndShoot(1024, 768));
    ASSERT_TRUE(DrawAndShoot(1024, 768));

    for (const char* name : {"vek00.png", "vek01.png"}) {
        vek::cImage shot;
        ASSERT_EQ(vek::cDataManager::ReadPNG(&shot, vek::filename(Desktop() + name)), 0) << name;
        EXPECT_EQ(shot.GetFormatId(), vek::e_pfRGB);
        ASSERT_EQ(shot.GetWidth(), 1024);
        ASSERT_EQ(shot.GetHeight(), 768);
        EXPECT_RGB(At(shot, 0, 0), 255, 0, 0);
        EXPECT_RGB(At(shot, 1023, 99), 255, 0, 0);
        EXPECT_RGB(At(shot, 512, 100), 0, 0, 255);
        EXPECT_RGB(At(shot, 10, 384), 0, 0, 255);
        EXPECT_RGB(At(shot, 1023, 667), 0, 0, 255);
        EXPECT_RGB(At(shot, 700, 668), 0, 255, 0);
        EXPECT_RGB(At(shot, 0, 767), 0, 255, 0);
    }
    EXPECT_EQ(LogLinesWith("Creating Screen Shot"), 2);
    EXPECT_EQ(LogLinesWith("vek01.png... Ok"), 1);

    // With a device the system report carries the renderer's section.
    EXPECT_TRUE(vek::DumpSystemInfo("render"));
    EXPECT_EQ(LogLinesWith("MaxTextureWidth = "), 1);
}

TEST_F(CommandsGL, PrintScreenSavesTheFrameTheEngineDrew)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    Pump();
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_PRINTSCREEN;
    e.key.keysym.sym = SDL_GetKeyFromScancode(SDL_SCANCODE_PRINTSCREEN);
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
    // Without a focused widget the frame is cleared to black.
    m_pGame->UpdateFrame();

    vek::cImage shot;
    ASSERT_EQ(vek::cDataManager::ReadPNG(&shot, vek::filename(Desktop() + "vek00.png")), 0);
    EXPECT_EQ(shot.GetWidth(), 1024);
    EXPECT_EQ(shot.GetHeight(), 768);
    EXPECT_RGB(At(shot, 512, 384), 0, 0, 0);
}

TEST_F(CommandsGL, DisplayChangesOnlyWhenSomethingDiffers)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    const std::string started = "CreateWindow Started...";
    ASSERT_EQ(LogLinesWith(started), 1);

    // The same mode, bits 0 or the current depth: nothing happens.
    EXPECT_TRUE(vek::SetDisplayMode(true, 1024, 768, 0));
    EXPECT_TRUE(vek::SetDisplayMode(true, 1024, 768, vek::GetCurrentDisplayMode().iBits));
    EXPECT_EQ(LogLinesWith(started), 1);

    // Another size: a new window and device, and the screenshot follows.
    EXPECT_TRUE(vek::SetDisplayMode(true, 800, 600, 0));
    EXPECT_EQ(LogLinesWith(started), 2);
    int w = 0, h = 0;
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    ASSERT_TRUE(vek::g_pRender->HasDevice());
    ASSERT_TRUE(DrawAndShoot(800, 600));
    vek::cImage shot;
    ASSERT_EQ(vek::cDataManager::ReadPNG(&shot, vek::filename(Desktop() + "vek00.png")), 0);
    EXPECT_EQ(shot.GetWidth(), 800);
    EXPECT_EQ(shot.GetHeight(), 600);
    EXPECT_RGB(At(shot, 5, 5), 255, 0, 0);
    EXPECT_RGB(At(shot, 5, 595), 0, 255, 0);

    // Full screen is a difference of its own.
    EXPECT_TRUE(vek::SetDisplayMode(false, 800, 600, 0));
    EXPECT_FALSE(m_pGame->bWindowed);
    EXPECT_EQ(LogLinesWith(started), 3);
}

TEST_F(CommandsGL, ATextureWithAShortMipChainDrawsTheSameInTheNewMode)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    // 64 x 64 with 3 of its 7 levels, the last one blue: drawn at an eighth
    // it shows the blue level.
    vek::cImage chain(vek::e_pfRGBA, 64, 64, 3);
    for (int l = 0; l < 3; ++l)
        for (int i = 0; i < chain.GetLevelSize(l); i += 4) {
            uint8_t* p = chain.GetLevel(l) + i;
            p[0] = l == 0 ? 255 : 0, p[1] = l == 1 ? 255 : 0, p[2] = l == 2 ? 255 : 0, p[3] = 255;
        }
    const uint32_t id = (new vek::cTexture(&chain, "short", false))->GetId();
    auto centre = [&](int w, int h) -> cRgb {
        if (vek::g_pRender->Begin() != 0) return {-1, -1, -1};
        vek::g_pRender->SetClearColor(0, 0, 0, 1);
        vek::g_pRender->Clear();
        vek::Begin2D(static_cast<float>(w), static_cast<float>(h));
        vek::cQuadBatch batch;
        batch.AddQuad(id, vek::rectf(100, 100, 8, 8), 0xFFFFFFFFu, vek::rectf(0, 0, 1, 1));
        batch.Draw();
        vek::End2D();
        vek::g_pRender->End();
        const std::unique_ptr<vek::cImage> frame = vek::g_pRender->ReadFrontBuffer(nullptr);
        vek::g_pRender->SwapBuffers();
        if (!frame) return {-1, -1, -1};
        const uint8_t* p = frame->GetLevel(0) + (static_cast<size_t>(104) * frame->GetWidth() + 104) * 3;
        return {p[0], p[1], p[2]};
    };
    EXPECT_RGB(centre(1024, 768), 0, 0, 255);
    ASSERT_TRUE(vek::SetDisplayMode(true, 800, 600, 0));
    EXPECT_RGB(centre(800, 600), 0, 0, 255);
}

TEST_F(CommandsGL, AFailedDisplayChangeBringsThePreviousWindowBack)
{
    ASSERT_TRUE(m_pGame->CreateWindow(true, 800, 600, 32));
    EXPECT_FALSE(vek::SetDisplayMode(true, -1, 600, 0));
    EXPECT_EQ(LogLinesWith("CreateWindowEx failed!"), 1);
    EXPECT_EQ(LogLinesWith("Going back to the previous display mode (800x600)"), 1);
    ASSERT_TRUE(vek::platform::WindowSystem().HasWindow());
    EXPECT_TRUE(m_pGame->bWindowed);
    int w = 0, h = 0;
    m_pGame->GetClientSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    ASSERT_TRUE(vek::g_pRender->HasDevice());
    EXPECT_TRUE(DrawAndShoot(800, 600)) << "the restored window draws";

    // The engine goes on: no quit message.
    vek::platform::cMessage m;
    while (vek::platform::WindowSystem().PeekMessage(m)) EXPECT_NE(m.type, vek::platform::e_msgQuit);
}

} // namespace
