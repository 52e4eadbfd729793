// The shell's start-up on a real render device with a whole small data
// folder: system textures and font, the loading screen working off its
// jobs, and the game's finish exactly once.
#include "shell_fixture.h"

#include <gtest/gtest.h>

#include "engine/core/script.h"
#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"
#include "engine/sound/sound.h"
#include "game/shell/bind_data.h"
#include "game/shell/loading.h"
#include "game/shell/texture_info.h"
#include "platform/window.h"
#include "support/fixture_pack.h"

using namespace shelltest;

namespace {

class cFinishCounter : public cTestGame {
public:
    explicit cFinishCounter(Events* events) : cTestGame(events) {}
    void FinishInit() override
    {
        ++iFinished;
        cTestGame::FinishInit();
    }
    int iFinished = 0;
};

class StartupGL : public ShellFixture {
protected:
    void SetUp() override
    {
        vek::platform::WindowSystem().bOpenGL = true;
        m_strDir = vektest::MakeTempDir("startup");
        ASSERT_FALSE(m_strDir.empty());
        StartEngine();
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        ASSERT_TRUE(RegisterDataClasses(vek::g_pScript));
        ASSERT_TRUE(RegisterLoadingClasses(vek::g_pScript));
        m_pCounter = new cFinishCounter(&events);
        m_pShell = m_pCounter;
    }
    void TearDown() override
    {
        delete m_pShell;
        m_pShell = nullptr;
        if (vek::platform::WindowSystem().HasWindow()) m_pGame->DestroyWindow();
        StopEngine();
    }
    cFinishCounter* m_pCounter = nullptr;
};

TEST_F(StartupGL, FromStartUpThroughLoadingToTheFirstProfile)
{
    vektest::FixturePack pack(m_strDir + "/data");
    pack.Texture("texture/system/gui_console0", 16, 16, {}, vektest::PackImage::Jpeg);
    pack.Texture("texture/system/gui_console1", 16, 16, {}, vektest::PackImage::Jpeg);
    pack.Texture("texture/system/font_system", 32, 32);
    pack.Texture("texture/system/gui_system", 32, 32);
    pack.Font("conf/sys_font");
    pack.Texture("texture/system/gui_loading", 16, 16, {}, vektest::PackImage::Jpeg);
    pack.Texture("texture/system/gui_loading_progress", 16, 16, {}, vektest::PackImage::Jpeg);
    pack.GuiScript("game_loading", "cLabelCtrl(window, 'label') cProgressBarSysCtrl(window, 'progress')");
    // The jobs: three textures with areas, a font, two sounds and a music.
    vektest::FixturePack jobs(m_strDir + "/data");
    jobs.Texture("texture/a", 64, 64, {{"left", 0, 0, 32, 64, 2, 1, 12.0f}});
    jobs.Texture("texture/b", 64, 32, {{"all", 0, 0, 64, 32}});
    jobs.Texture("texture/c", 32, 32, {{"one", 0, 0, 16, 16}}, vektest::PackImage::Jpeg);
    jobs.Font("font/text");
    jobs.Sound("sound/click");
    jobs.Sound("sound/drop");
    jobs.Module("music/tune");
    jobs.LoadingScript();
    ASSERT_TRUE(pack.Ok() && jobs.Ok());

    EXPECT_EQ(m_pShell->InitGame(), 0);
    EXPECT_EQ(vek::g_pTextureManager->Find("gui_console0"), 1u);
    EXPECT_EQ(vek::g_pTextureManager->Find("gui_console1"), 2u);
    EXPECT_EQ(vek::g_pTextureManager->Find("font_system"), 3u);
    EXPECT_EQ(vek::g_pTextureManager->Find("gui_system"), 4u);
    EXPECT_EQ(vek::g_pFontManager->Find("sys_font"), 1u);

    m_pShell->OnSplashEnd();
    auto* loading = dynamic_cast<cLoadingWidget*>(m_pGame->pFocusWidget);
    ASSERT_NE(loading, nullptr);
    EXPECT_TRUE(m_pGame->pGUI->IsWindowShown("loading"));
    int finishedOn = 0;
    for (int update = 1; update <= 80; ++update) {
        loading->Update(1.0f / 30.0f);
        if (m_pCounter->iFinished && !finishedOn) finishedOn = update;
    }
    EXPECT_EQ(finishedOn, 7 * 7 + 1);
    EXPECT_EQ(m_pCounter->iFinished, 1);

    EXPECT_NE(vek::g_pTextureManager->Find("a"), 0u);
    EXPECT_NE(vek::g_pTextureManager->Find("c"), 0u);
    EXPECT_EQ(FindTextureInfo("a")->GetNode(FindTextureInfo("a")->FindNode("left")).frames.size(), 2u);
    EXPECT_NE(vek::g_pFontManager->Find("text"), 0u);
    EXPECT_NE(vek::g_pSoundManager->m_SoundBuffers.Find("drop"), 0u);
    EXPECT_NE(vek::g_pSoundManager->m_Musics.Find("tune"), 0u);
    EXPECT_TRUE(LogInOrder({"Start game initialization...", "End splash screen", "Start loading...",
                            "Loading complete. Finish game initialization...", "Found 0 Player profiles"}));
    EXPECT_EQ(m_pShell->GetPlayerCount(), 1);
}

}  // namespace
