// Comic strips: pages built from windows, the pictures' timing and
// movement, input, the dimming background and the two episodes' ends; and
// the island's least form, where the first episode ends.
#include "game/shell/comics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/graphics/draw2d.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/shell/middle.h"
#include "game/shell/window_message.h"
#include "game/world/island.h"
#include "support/temp_dir.h"

namespace {

// Records the messages its window receives.
class cRecordingWF : public vek::cWindowFunction {
public:
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override
    {
        received.push_back(message);
        return vek::cWindowFunction::Call(window, message, a, b);
    }
    std::vector<int> received;
};

class cComicsGame : public cMiddle {
public:
    bool ShowGameWindow(const vek::string& name, int param) override
    {
        shown.push_back(name + ":" + std::to_string(param));
        return cMiddle::ShowGameWindow(name, param);
    }
    void HideAllWindows() override
    {
        ++hideAll;
        cMiddle::HideAllWindows();
    }
    cPlayerBase* CreatePlayer(const vek::string&) override { return nullptr; }
    cScoreRow* CreateScoreRow() override { return nullptr; }
    const vek::string& GetMessageText(int) override { return m_strEmpty; }
    std::vector<std::string> shown;
    int hideAll = 0;
    vek::string m_strEmpty;
};

class Comics : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Comics");
        vek::cGame::cSettings settings;
        settings.strName = "ComicsTest";
        m_pEngine = std::make_unique<vek::cGame>(settings);
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        m_pGame = std::make_unique<cComicsGame>();
        for (const char* name : {"comics", "score", "island", "main"}) Window(name);
    }
    void TearDown() override
    {
        m_pGame.reset();
        m_pEngine.reset();
    }
    vek::cWindow* Window(const char* name, cRecordingWF** function = nullptr)
    {
        auto* wf = new cRecordingWF;
        auto* window = new vek::cWindow(wf, m_pEngine->pGUI);
        window->SetName(name);
        if (function) *function = wf;
        return window;
    }
    static void Picture(vek::cWindow* window, const char* name, float x, float y, float w, float h)
    {
        auto* image = new vek::cImageCtrl(name, window);
        image->SetPos(x, y, 0);
        image->SetSize(w, h, 0);
    }

    std::string m_strRoot;
    std::unique_ptr<vek::cGame> m_pEngine;
    std::unique_ptr<cComicsGame> m_pGame;
};

TEST_F(Comics, PicturesAreTimedByTheirNamesInControlOrder)
{
    vek::cWindow* page = Window("comics00");
    Picture(page, "0", 0, 0, 100, 100);
    new vek::cLabelSysCtrl("1", page);  // not a picture
    Picture(page, "1.5", 100, 0, 100, 100);
    Picture(page, "#1", 200, 0, 100, 100);
    Picture(page, "abc", 300, 0, 100, 100);  // not a number: no delay
    Picture(page, "", 400, 0, 100, 100);
    cComics comics;
    comics.BuildPage("comics00");
    comics.BuildPage("no such window");
    ASSERT_EQ(comics.pages.size(), 1u);
    const cComics::cPage& items = comics.pages.front();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_FLOAT_EQ(items[0].fCountdown, 0.0f);
    EXPECT_FLOAT_EQ(items[1].fCountdown, 1.5f);
    EXPECT_FLOAT_EQ(items[2].fCountdown, 2.5f);
    EXPECT_TRUE(items[2].bFixed);
    EXPECT_FALSE(items[1].bFixed);
    EXPECT_FLOAT_EQ(items[3].fCountdown, 2.5f);
    EXPECT_FLOAT_EQ(items[4].fCountdown, 0.0f);
    EXPECT_FLOAT_EQ(items[3].rect.x, 300.0f);

    for (int i = 0; i < 15; ++i) comics.Tick();
    EXPECT_NEAR(comics.pages.front()[1].fCountdown, 1.0f, 1e-4f);
    for (int i = 0; i < 100; ++i) comics.Tick();
    EXPECT_FLOAT_EQ(comics.pages.front()[2].fCountdown, 0.0f);  // never below 0
}

TEST_F(Comics, APictureHalfWayInIsOneAndAHalfTimesItsSizeHalfTransparent)
{
    vek::cWindow* page = Window("comics00");
    Picture(page, "0.5", 100, 50, 200, 100);
    Picture(page, "#0.5", 100, 50, 200, 100);  // fixed: fades only
    Picture(page, "5", 0, 0, 10, 10);           // not begun: not drawn
    cComics comics;
    comics.BuildPage("comics00");
    vek::cQuadBatch batch;
    comics.DrawPages(batch, 1024.0f, 768.0f);
    const vek::cVertex2D* v = batch.GetVertices();
    // Item 0: countdown 0.5 -> 300 x 150, half-way from its place toward
    // the centred position ((1024 - 300) / 2, (768 - 150) / 2).
    EXPECT_NEAR(v[0].x, 100.0f + (362.0f - 100.0f) * 0.5f, 0.01f);
    EXPECT_NEAR(v[0].y, 50.0f + (309.0f - 50.0f) * 0.5f, 0.01f);
    EXPECT_NEAR(v[5].x - v[0].x, 300.0f, 0.01f);
    EXPECT_NEAR(v[5].y - v[0].y, 150.0f, 0.01f);
    EXPECT_NEAR(static_cast<double>(v[0].color >> 24), 127.5, 1.0);
    // Item 1 stays in place at its size.
    EXPECT_FLOAT_EQ(v[6].x, 100.0f);
    EXPECT_FLOAT_EQ(v[11].x - v[6].x, 200.0f);
    EXPECT_EQ(batch.GetRuns()[0].uCount + 0u, 12u);
}

TEST_F(Comics, TheFirstPressCompletesThePageTheSecondTurnsIt)
{
    vek::cWindow* first = Window("comics00");
    Picture(first, "1", 0, 0, 10, 10);
    Picture(first, "2", 0, 0, 10, 10);
    vek::cWindow* second = Window("comics01");
    Picture(second, "0", 0, 0, 10, 10);
    new cIsland;  // the engine's widget list owns it
    cGardenComics* comics = new cGardenComics;
    comics->SetEpisode(0);
    m_pEngine->SetFocusWidget("comics");
    ASSERT_EQ(comics->pages.size(), 2u);
    EXPECT_TRUE(m_pEngine->pGUI->IsWindowShown("comics"));

    comics->OnInput(3, 0);  // a typed character: nothing
    comics->OnInput(1, 57);
    EXPECT_EQ(comics->pages.size(), 2u);
    EXPECT_FLOAT_EQ(comics->pages.front()[1].fCountdown, 0.0f);
    comics->OnInput(4, 0);
    ASSERT_EQ(comics->pages.size(), 1u);
    // The last page is in place at once: the next press ends episode 0 on
    // the island, in mode 1, with its windows up and told to refresh.
    comics->OnInput(1, 57);
    EXPECT_TRUE(comics->pages.empty());
    ASSERT_NE(GetIsland(), nullptr);
    EXPECT_EQ(m_pEngine->pFocusWidget, GetIsland());
    EXPECT_EQ(GetIsland()->iMode, 1);
    EXPECT_EQ(m_pGame->shown, (std::vector<std::string>{"score:2", "island:2"}));
    EXPECT_FALSE(m_pEngine->pGUI->IsWindowShown("comics"));
}

TEST_F(Comics, TheBackgroundDimsToAGreyOfOneHundredInOneSecond)
{
    cGardenComics* comics = new cGardenComics;
    comics->SetEpisode(1);
    m_pEngine->SetFocusWidget("comics");
    for (int i = 0; i < 29; ++i) comics->Tick();
    EXPECT_GT(255.0f - comics->fDimming * 155.0f, 100.0f);
    comics->Tick();
    EXPECT_EQ(static_cast<int>(255.0f - comics->fDimming * 155.0f), 100);
    for (int i = 0; i < 30; ++i) comics->Tick();
    EXPECT_FLOAT_EQ(comics->fDimming, 1.0f);

    // Episode 1 has no page windows here: the first press ends it with the
    // main menu.
    comics->OnInput(1, 57);
    EXPECT_EQ(m_pGame->shown, (std::vector<std::string>{"main:1"}));
}

TEST_F(Comics, AnUnknownEpisodeOnlyHidesTheWindowOnThePress)
{
    Window("comics00");
    cGardenComics* comics = new cGardenComics;
    comics->SetEpisode(7);
    m_pEngine->SetFocusWidget("comics");
    EXPECT_TRUE(comics->pages.empty());
    comics->NextPage();  // nothing to remove; ends the episode
    EXPECT_FALSE(m_pEngine->pGUI->IsWindowShown("comics"));
    EXPECT_EQ(m_pEngine->pFocusWidget, comics);
    EXPECT_TRUE(m_pGame->shown.empty());
}

TEST_F(Comics, TheIslandOnlyStoresItsModeWhileAnotherWidgetHasTheFocus)
{
    cRecordingWF* score = nullptr;
    Window("score", &score);  // found first by name? no: the first "score" wins
    auto* island = new cIsland;
    island->SetMode(2);
    EXPECT_EQ(island->iMode, 2);
    EXPECT_TRUE(m_pGame->shown.empty());
    m_pEngine->SetFocusWidget("island");
    island->SetMode(2);
    EXPECT_EQ(m_pGame->shown, (std::vector<std::string>{"score:2", "island:2"}));
    EXPECT_EQ(m_pGame->hideAll, 1);
    SendWindowMessage("missing", 1, 2);  // no such window: nothing
}

}  // namespace
