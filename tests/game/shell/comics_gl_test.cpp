// A comic page on a real render device, read back while its pictures
// arrive: zoom, movement and fade over the dimmed background.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/engine_fixture.h"
#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/shell/comics.h"
#include "game/shell/loading.h"
#include "game/shell/middle.h"
#include "frame_readback.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class cComicsGame : public cMiddle {
public:
    cPlayerBase* CreatePlayer(const vek::string&) override { return nullptr; }
    cScoreRow* CreateScoreRow() override { return nullptr; }
    const vek::string& GetMessageText(int) override { return m_strEmpty; }
    vek::string m_strEmpty;
};

class ComicsGL : public vektest::EngineFixture {
protected:
    ComicsGL() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        m_strRoot = vektest::MakeTempDir("ComicsGL");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        m_pShell = std::make_unique<cComicsGame>();
        Solid("red", 255, 0, 0);
        Solid("green", 0, 255, 0);
        Solid("blue", 0, 0, 255);
        for (const char* name : {"comics", "comics01"}) Window(name);
    }
    void TearDown() override
    {
        m_pShell.reset();
        EngineFixture::TearDown();
    }
    void Solid(const char* name, uint8_t r, uint8_t g, uint8_t b)
    {
        std::vector<uint8_t> pixels(16 * 16 * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = r;
            pixels[i + 1] = g;
            pixels[i + 2] = b;
            pixels[i + 3] = 255;
        }
        const std::string file = m_strRoot + "/data/" + name + ".png";
        ASSERT_TRUE(vektest::WriteFile(file, vektest::MakePNG(16, 16, 6, 8, pixels)));
        ASSERT_EQ(LoadTextureFile(vek::filename(std::string("{StaticPath}/") + name)), 0);
    }
    vek::cWindow* Window(const char* name)
    {
        auto* window = new vek::cWindow(new vek::cWindowFunction, m_pGame->pGUI);
        window->SetName(name);
        return window;
    }
    static void Picture(vek::cWindow* window, const char* name, const char* texture, float x, float y)
    {
        auto* image = new vek::cImageCtrl(name, window);
        image->SetTexture(texture);
        image->SetUVPos(0.0f, 0.0f, 0);
        image->SetUVSize(1.0f, 1.0f, 0);
        image->SetPos(x, y, 0);
        image->SetSize(100.0f, 100.0f, 0);
    }
    std::string m_strRoot;
    std::unique_ptr<cComicsGame> m_pShell;
};

TEST_F(ComicsGL, PicturesZoomMoveAndFadeInOverTheDimmedBackground)
{
    vek::cWindow* page = Window("comics00");
    Picture(page, "0", "red", 0, 0);
    Picture(page, "1.5", "green", 800, 600);
    Picture(page, "#1", "blue", 0, 600);
    auto* comics = new cGardenComics;
    comics->SetEpisode(0);
    m_pGame->SetFocusWidget("comics");
    ASSERT_EQ(comics->pages.size(), 2u);

    for (int i = 0; i < 30; ++i) comics->Tick();  // 1.0 s
    std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(comics);
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->GetWidth(), 1024);
    EXPECT_RGB(shelltest::PixelAt(*frame, 512, 100), 100, 100, 100);  // the background, dimmed to 100
    EXPECT_RGB(shelltest::PixelAt(*frame, 50, 50), 255, 0, 0);        // in place from the start
    // Half-way in: 150 x 150 at (618.5, 454.5), half transparent.
    EXPECT_RGB(shelltest::PixelAt(*frame, 693, 529), 50, 177, 50);
    EXPECT_RGB(shelltest::PixelAt(*frame, 612, 529), 100, 100, 100);
    EXPECT_RGB(shelltest::PixelAt(*frame, 850, 650), 100, 100, 100);
    EXPECT_RGB(shelltest::PixelAt(*frame, 50, 650), 100, 100, 100);  // not begun

    for (int i = 0; i < 30; ++i) comics->Tick();  // 2.0 s
    frame = shelltest::DrawFrame(comics);
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, 850, 650), 0, 255, 0);
    EXPECT_RGB(shelltest::PixelAt(*frame, 693, 529), 100, 100, 100);
    EXPECT_RGB(shelltest::PixelAt(*frame, 50, 650), 50, 50, 177);  // fades in place, no zoom
    EXPECT_RGB(shelltest::PixelAt(*frame, 10, 740), 100, 100, 100);
}

}  // namespace
