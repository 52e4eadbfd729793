// The splash screen's timing, tick by tick, its input rule, its script and
// its single hand-over to the loading screen.
#include "game/shell/splash.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/app/game.h"
#include "engine/core/script.h"
#include "engine/graphics/texture.h"
#include "game/shell/middle.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class cSplashGame : public cMiddle {
public:
    void OnSplashEnd() override { ++iEnded; }
    cPlayerBase* CreatePlayer(const vek::string&) override { return nullptr; }
    cScoreRow* CreateScoreRow() override { return nullptr; }
    const vek::string& GetMessageText(int) override { return m_strEmpty; }
    int iEnded = 0;
    vek::string m_strEmpty;
};

class Splash : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Splash");
        ASSERT_FALSE(m_strRoot.empty());
        vek::cGame::cSettings settings;
        settings.strName = "SplashTest";
        m_pEngine = std::make_unique<vek::cGame>(settings);
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        ASSERT_TRUE(RegisterSplashClasses(vek::g_pScript));
    }
    void TearDown() override
    {
        m_pGame.reset();
        m_pEngine.reset();
    }
    void Put(const std::string& name, const std::string& bytes)
    {
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/" + name, bytes));
    }
    // The splash, made by the engine's rules: the engine's widget list owns it.
    cSplashWidget* Make(const std::string& script)
    {
        Put("conf/splash.lua", script);
        m_pGame = std::make_unique<cSplashGame>();
        return new cSplashWidget(m_pGame.get());
    }
    std::string Log() const { return vektest::ReadFile(vek::GetPathMacro(vek::e_macroAppPath) + "/_log.html"); }

    std::string m_strRoot;
    std::unique_ptr<vek::cGame> m_pEngine;
    std::unique_ptr<cSplashGame> m_pGame;
};

TEST_F(Splash, NodesFadeOutAndEndOnTheirSinglePrecisionTicks)
{
    cSplashWidget* splash = Make("function FillSplash(w) w:AddNode(1) w:AddNode(2) end");
    ASSERT_EQ(splash->nodes.size(), 2u);
    int fadeOut1 = 0, end1 = 0, fadeOut2 = 0, end2 = 0, endCall = 0;
    for (int tick = 1; tick <= 200; ++tick) {
        const uint32_t before = splash->uCurrent;
        const bool wasFading = splash->bFadingOut;
        splash->Tick();
        if (before == 0 && !wasFading && splash->bFadingOut && !fadeOut1) fadeOut1 = tick;
        if (before == 0 && splash->uCurrent == 1) end1 = tick;
        if (before == 1 && !wasFading && splash->bFadingOut && !fadeOut2) fadeOut2 = tick - end1;
        if (before == 1 && splash->uCurrent == 2) end2 = tick - end1;
        if (m_pGame->iEnded && !endCall) endCall = tick;
    }
    EXPECT_EQ(fadeOut1, 15);
    EXPECT_EQ(end1, 30);
    EXPECT_EQ(fadeOut2, 46);
    EXPECT_EQ(end2, 61);
    EXPECT_EQ(endCall, 92);
    EXPECT_EQ(m_pGame->iEnded, 1) << "the hand-over happens once";
}

TEST_F(Splash, FadesAreHalfASecondAndAShortNodeFadesOutAtOnce)
{
    cSplashWidget* splash = Make("function FillSplash(w) w:AddNode(0.3) w:AddNode(5) end");
    EXPECT_FLOAT_EQ(splash->fade.m_Value, 0.0f);
    splash->Tick();
    EXPECT_TRUE(splash->bFadingOut);
    // The fade toward 0 starts from what the first tick reached.
    EXPECT_NEAR(splash->fade.m_Value, 2.0f / 30.0f, 1e-5f);
    int ticks = 1;
    while (splash->uCurrent == 0 && ticks < 20) {
        splash->Tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 10);  // 0.3 s counted down in single-precision steps
    EXPECT_EQ(splash->uCurrent, 1u);
    EXPECT_FALSE(splash->bFadingOut);
    for (int i = 0; i < 20; ++i) splash->Tick();
    EXPECT_FLOAT_EQ(splash->fade.m_Value, 1.0f);
}

TEST_F(Splash, AKeyOrButtonEndsTheNodeOnTheNextTick)
{
    cSplashWidget* splash = Make("function FillSplash(w) w:AddNode(3) w:AddNode(3) end");
    for (int i = 0; i < 10; ++i) splash->Tick();
    const float alpha = splash->fade.m_Value;
    splash->OnInput(2, 30);  // a key released: nothing
    splash->Tick();
    EXPECT_EQ(splash->uCurrent, 0u);
    splash->OnInput(1, 30);
    splash->Tick();
    EXPECT_EQ(splash->uCurrent, 1u);
    EXPECT_GT(splash->fade.m_Value, alpha - 0.2f);  // fades in from where it was
    splash->OnInput(4, 0);
    splash->Tick();
    EXPECT_EQ(splash->uCurrent, 2u);
    splash->OnInput(1, 30);  // after the last node: no effect
    splash->Tick();
    EXPECT_EQ(m_pGame->iEnded, 1);
}

TEST_F(Splash, ScriptProblemsLeaveWhatWasAdded)
{
    cSplashWidget* none = Make("x = 1");  // no FillSplash
    EXPECT_TRUE(none->nodes.empty());
    none->Tick();
    EXPECT_EQ(m_pGame->iEnded, 1);

    cSplashWidget* broken = Make("function FillSplash(w) w:AddNode(1) error('half-way') end");
    EXPECT_EQ(broken->nodes.size(), 1u);
    EXPECT_NE(Log().find("half-way"), std::string::npos);
    EXPECT_TRUE(vek::g_pScript->DoString("assert(true)"));
}

TEST_F(Splash, NodeReferencesStayValidAsNodesAreAdded)
{
    Put("texture/splash/card.png", vektest::MakePNG(4, 4, 6, 8, std::vector<uint8_t>(64, 255)));
    Put("texture/splash/notes.txt", "not an image");
    cSplashWidget* splash = Make(
        "function FillSplash(w)\n"
        "  w:SetBackColor(0.25, 0.5, 0.75)\n"
        "  local first = w:AddNode(1)\n"
        "  for i = 1, 50 do w:AddNode(1) end\n"
        "  first:AddImage('card', 0, 0, 800, 600)\n"
        "  first:AddImage('nothing', 10, 20, 30, 40)\n"
        "end");
    ASSERT_EQ(splash->nodes.size(), 51u);
    const cSplashWidget::cNode& first = splash->nodes.front();
    ASSERT_EQ(first.vecImages.size(), 2u);
    EXPECT_NE(first.vecImages[0], 0);  // loaded from the splash folder
    EXPECT_EQ(Log().find("notes.txt"), std::string::npos) << "not an image: tried quietly";
    EXPECT_EQ(first.vecImages[1], 0);  // the default texture
    EXPECT_EQ(first.vecRects[1].w, 30.0f);
    EXPECT_FLOAT_EQ(m_pGame->m_afBackColor[2], 0.75f);
    EXPECT_FLOAT_EQ(m_pGame->m_afBackColor[3], 1.0f);
    EXPECT_TRUE(vek::g_pScript->DoString("collectgarbage('collect')"));
}

}  // namespace
