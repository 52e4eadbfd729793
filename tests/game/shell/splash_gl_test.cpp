// The splash screen's pictures on a real render device: the 800 x 600
// splash space over the whole frame, the fade, and the background colour.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/engine_fixture.h"
#include "engine/core/image.h"
#include "engine/core/script.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/shell/loading.h"
#include "game/shell/middle.h"
#include "game/shell/splash.h"
#include "frame_readback.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class cSplashGame : public cMiddle {
public:
    void OnSplashEnd() override {}
    cPlayerBase* CreatePlayer(const vek::string&) override { return nullptr; }
    cScoreRow* CreateScoreRow() override { return nullptr; }
    const vek::string& GetMessageText(int) override { return m_strEmpty; }
    vek::string m_strEmpty;
};

class SplashGL : public vektest::EngineFixture {
protected:
    SplashGL() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager && vek::g_pScript);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        m_strRoot = vektest::MakeTempDir("SplashGL");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        ASSERT_TRUE(RegisterSplashClasses(vek::g_pScript));
        std::vector<uint8_t> red(16 * 16 * 4);
        for (size_t i = 0; i < red.size(); i += 4) red[i] = red[i + 3] = 255;
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/texture/splash/red.png",
                                       vektest::MakePNG(16, 16, 6, 8, red)));
    }
    void TearDown() override
    {
        m_pShell.reset();
        EngineFixture::TearDown();
    }

    cSplashWidget* Make(const std::string& script)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strRoot + "/data/conf/splash.lua", script));
        m_pShell = std::make_unique<cSplashGame>();
        return new cSplashWidget(m_pShell.get());
    }
    std::string m_strRoot;
    std::unique_ptr<cSplashGame> m_pShell;
};

TEST_F(SplashGL, TheSplashSpaceFillsTheFrameAndFadesOverTheBackground)
{
    cSplashWidget* splash = Make(
        "function FillSplash(w)\n"
        "  w:SetBackColor(0, 0, 1)\n"
        "  w:AddNode(1):AddImage('red', 0, 0, 800, 600)\n"
        "  w:AddNode(2):AddImage('red', 0, 0, 400, 300)\n"
        "end");
    for (int i = 0; i < 15; ++i) splash->Tick();  // the first node, just faded in fully
    std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(splash);
    ASSERT_TRUE(frame);
    const int w = frame->GetWidth(), h = frame->GetHeight();
    EXPECT_RGB(shelltest::PixelAt(*frame, 1, 1), 255, 0, 0);
    EXPECT_RGB(shelltest::PixelAt(*frame, w - 2, h - 2), 255, 0, 0);

    // Tick 30 of the 2 s node: full alpha on the lower-left quarter only.
    for (int i = 0; i < 15 + 30; ++i) splash->Tick();
    ASSERT_EQ(splash->uCurrent, 1u);
    frame = shelltest::DrawFrame(splash);
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, w / 4, h / 4), 255, 0, 0);
    EXPECT_RGB(shelltest::PixelAt(*frame, 3 * w / 4, 3 * h / 4), 0, 0, 255);

    // Its last ticks: the image blends into the background.
    for (int i = 0; i < 26; ++i) splash->Tick();
    frame = shelltest::DrawFrame(splash);
    ASSERT_TRUE(frame);
    const shelltest::cRgb mixed = shelltest::PixelAt(*frame, w / 4, h / 4);
    EXPECT_GT(mixed.r, 20);
    EXPECT_LT(mixed.r, 235);
    EXPECT_GT(mixed.b, 20);

    // After the last node only the background is left.
    for (int i = 0; i < 10; ++i) splash->Tick();
    frame = shelltest::DrawFrame(splash);
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, w / 4, h / 4), 0, 0, 255);
}

TEST_F(SplashGL, TheGuiIsDrawnOverTheSplashAndTheLoadingScreenClearsToItsColour)
{
    cSplashWidget* splash = Make(
        "function FillSplash(w)\n"
        "  w:SetBackColor(0, 1, 0)\n"
        "  w:AddNode(2):AddImage('red', 0, 0, 800, 600)\n"
        "end");
    // A shown window with a picture over the middle of the screen.
    auto* window = new vek::cWindow(new vek::cWindowFunction, m_pGame->pGUI);
    window->SetName("over");
    auto* picture = new vek::cImageCtrl("picture", window);
    picture->SetPos(412, 284, 0);
    picture->SetSize(200, 200, 0);
    picture->SetColor(0.0f, 0.0f, 1.0f);
    m_pGame->pGUI->ShowWindow("over");
    for (int i = 0; i < 20; ++i) splash->Tick();
    std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(splash);
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, 512, 384), 0, 0, 255);  // the GUI's picture on top
    EXPECT_RGB(shelltest::PixelAt(*frame, 100, 100), 255, 0, 0);  // the splash around it
    m_pGame->pGUI->HideWindowImmediately(static_cast<unsigned>(m_pGame->pGUI->FindWindow("over")));

    // The loading screen clears to the colour the splash script set.
    cLoadingWidget loading(m_pShell.get());
    if (vek::g_pRender->Begin() == 0) {
        loading.Draw();
        vek::g_pRender->End();
        frame = vek::g_pRender->ReadFrontBuffer(nullptr);
        vek::g_pRender->SwapBuffers();
    }
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, 100, 100), 0, 255, 0);
}

}  // namespace
