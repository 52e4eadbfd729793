// The island after a won level, in the whole game started on the real data
// pack: the result sequence records the medal, flies a star to the rating,
// offers the level's house, which a click buys and which is built with
// fireworks; a house flies to the island rating, the progress moves on and
// the level map returns, where the played point shows its pop-up and a
// click on the next point with "Yes" starts that level. Mouse events take
// the engine's road: the GUI first, what it leaves to the island.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "../game_fixture.h"
#include "engine/core/input.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/window_functions.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/island.h"

using namespace gametest;

namespace {

class IslandOnThePack : public GameFixture {
protected:
    void StartOnPack()
    {
        const char* repo = std::getenv("VEK_REPO_DIR");
        ASSERT_TRUE(repo && *repo) << "VEK_REPO_DIR names the repository";
        StartWith(std::string(repo) + "/data");
    }

    // The island point in client pixels (y down) under the island's view.
    void ToClient(const vek::vec2& p, int* x, int* y) const
    {
        const cIsland* island = g_pGarden->m_pIsland;
        *x = static_cast<int>(std::lround(p.x - island->fScrollX));
        *y = static_cast<int>(std::lround(768.0f - (p.y - island->fScrollY)));
    }
    // One mouse event at an island point, as the engine's frame hands it on.
    void Mouse(int kind, const vek::vec2& at, int code = 0)
    {
        int x = 0, y = 0;
        ToClient(at, &x, &y);
        MouseAt(kind, x, y, code);
    }
    // The same at a client pixel (y down).
    void MouseAt(int kind, int x, int y, int code = 0)
    {
        m_iCursorX = x;
        m_iCursorY = y;
        vek::cGUI* gui = m_pGame->pGUI;
        bool taken = false;
        if (kind == vek::e_inMouseMove) taken = gui->OnMouseMove(m_iCursorX, m_iCursorY);
        else taken = gui->OnMouseButton(kind == vek::e_inMouseUp, code, m_iCursorX, m_iCursorY);
        if (!taken && m_pGame->pFocusWidget && m_pGame->iPause == 0) m_pGame->pFocusWidget->OnInput(kind, code);
    }
    void Click(const vek::vec2& at)
    {
        Mouse(vek::e_inMouseMove, at);
        Mouse(vek::e_inMouseDown, at);
        Mouse(vek::e_inMouseUp, at);
    }
    // A key skips each picture of the splash screen.
    void SkipSplash()
    {
        for (int i = 0; i < 100 && m_pGame->GetFocusWidgetName() != "loading"; ++i) {
            if (m_pGame->pFocusWidget && m_pGame->GetFocusWidgetName() == "splash")
                m_pGame->pFocusWidget->OnInput(vek::e_inKeyDown, 57);
            Frames(1);
        }
    }
    // The frame's fixed step and its movement, without drawing (drawing
    // the whole island on the software renderer is what takes the time).
    void Steps(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_Clock.iTicks += 33;
            if (m_pGame->pFocusWidget && m_pGame->iPause == 0) m_pGame->pFocusWidget->Tick();
            m_pGame->pGUI->Update(1.0f / 30.0f);
            if (m_pGame->pFocusWidget && m_pGame->iPause == 0) m_pGame->pFocusWidget->Update(1.0f / 30.0f);
        }
    }
    // Steps until the condition holds (at most `limit`).
    template <class F>
    bool StepsUntil(F done, int limit)
    {
        for (int i = 0; i < limit && !done(); ++i) Steps(1);
        return done();
    }
    bool Shown(const char* name) const { return m_pGame->pGUI->IsWindowShown(name); }
    vek::string Text(const char* window, const char* control) const
    {
        const auto* label = dynamic_cast<vek::cLabelCtrl*>(GetWindowControl(m_pGame->pGUI->GetWindow(window), control));
        return label ? label->GetText() : vek::string("<none>");
    }
    static vek::vec2 Centre(const char* window, const char* control)
    {
        const vek::cCtrl* c = GetWindowControl(vek::GetEngineGUI()->GetWindow(window), control);
        if (!c) return vek::vec2(-1.0f, -1.0f);
        const vek::rectf r = c->GetRect();
        return vek::vec2(r.x + r.w / 2.0f, r.y + r.h / 2.0f);
    }
    // The flying item of that sprite area, or null.
    static const cFlyingItem* Flying(const char* area)
    {
        cSprite sprite;
        if (!g_pGarden->GetSprite("icons00", &sprite, area) || !sprite.pFrames) return nullptr;
        for (const cFlyingItem* item : g_pGarden->m_pFlyingItems->GetItems())
            if (!item->frames.empty() && item->frames[0].x == sprite.pFrames[0].x &&
                item->frames[0].y == sprite.pFrames[0].y)
                return item;
        return nullptr;
    }

    int m_iCursorX = 512, m_iCursorY = 384;
};

TEST_F(IslandOnThePack, AWonLevelRunsTheResultSequenceAndOpensTheNextLevel)
{
    StartOnPack();
    SkipSplash();
    ASSERT_TRUE(RunToMainMenu(3000)) << ConsoleLog();
    Frames(10);
    cGarden* game = g_pGarden;
    cIsland* island = game->m_pIsland;
    ASSERT_NE(island, nullptr);
    island->viewHooks.cursor = [this](int* x, int* y) {
        *x = m_iCursorX;
        *y = m_iCursorY;
        return true;
    };
    cPlayer* player = game->GetPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_EQ(player->m_iProgress, 0);
    ASSERT_GE(island->vecLevelPoints.size(), 2u);
    game->SetTraining(0);

    // Level 0, won quickly: the finish screen's "ok" leaves for the island.
    ASSERT_TRUE(game->StartLevel(0));
    Frames(5);
    ASSERT_EQ(m_pGame->GetFocusWidgetName(), "garden");
    EXPECT_EQ(island->iMode, cIsland::e_modeLevel);
    player->m_fClock = 20.0f;
    player->m_TaskSet.bDone = 1;
    game->FinishLevel();
    ASSERT_EQ(game->m_iLastMedal, 0) << "a quick win is gold";
    ASSERT_EQ(player->m_Times.size(), 1u);
    game->SetFlowState(0);
    m_pGame->SetFocusWidget("island");
    Frames(2);
    EXPECT_TRUE(Shown("island"));

    // The medal lands on level point 0 and a star flies to the first star.
    ASSERT_TRUE(StepsUntil([&] { return Flying("star") != nullptr; }, 60)) << ConsoleLog();
    ASSERT_EQ(player->m_Results.size(), 1u);
    EXPECT_EQ(player->m_Results[0], 0);
    EXPECT_EQ(game->m_iLastMedal, -1);
    const cFlyingItem* star = Flying("star");
    const vek::vec2 starEnd = star->path.m_Points.back();
    const vek::vec2 firstStar = Centre("island", "star0");
    EXPECT_NEAR(starEnd.x, firstStar.x, 0.5f);
    EXPECT_NEAR(starEnd.y, firstStar.y, 0.5f);
    const vek::vec2 point0 = island->vecLevelPoints[0];
    EXPECT_NEAR(star->path.m_Points.front().x, point0.x - island->fScrollX, 0.5f);

    // The house of level 0 is offered with its hint.
    cHouse* house = island->GetLevelHouse(0);
    ASSERT_NE(house, nullptr);
    ASSERT_TRUE(StepsUntil([&] { return game->m_iShownHint == 1; }, 200)) << ConsoleLog();
    EXPECT_TRUE(Shown("hint"));
    EXPECT_EQ(house->iState, cHouse::e_stateNone);
    EXPECT_TRUE(house->bAvailable);
    EXPECT_EQ(player->m_iProgress, 0) << "the sequence waits for the purchase";
    Steps(60);
    Frames(1);
    EXPECT_EQ(island->iMode, cIsland::e_modeLevel);

    // A click on it buys it: construction, then built with fireworks and a
    // house flying to the island rating.
    player->m_iIslandMoney = 200;  // what the level earned
    const int funds = player->m_iIslandMoney;
    Click(house->GetCenter());
    EXPECT_EQ(house->iState, cHouse::e_stateBuilding) << ConsoleLog();
    EXPECT_LT(player->m_iIslandMoney, funds);
    EXPECT_EQ(game->m_iShownHint, -1);
    ASSERT_TRUE(StepsUntil([&] { return house->iState == cHouse::e_stateBuilt; }, 300));
    const cFlyingItem* flight = Flying("house");
    ASSERT_NE(flight, nullptr) << "a house flies to the island rating";
    const vek::vec2 rated = Centre("island", "island_star0");
    EXPECT_NEAR(flight->path.m_Points.back().x, rated.x, 0.5f);
    EXPECT_NEAR(flight->path.m_Points.back().y, rated.y, 0.5f);
    EXPECT_NEAR(flight->path.m_Points.front().x, house->GetScreenCenter().x, 0.5f);
    ASSERT_TRUE(StepsUntil([&] { return island->GetAnimations()->Count() > 0; }, 10)) << "fireworks on the island";
    // The flight lands: once its path is flown the item is dropped.
    const size_t flights = game->m_pFlyingItems->Count();
    ASSERT_TRUE(StepsUntil([&] { return Flying("house") == nullptr; }, 90));
    EXPECT_LT(game->m_pFlyingItems->Count(), flights);

    // The progress becomes 1 and the level map returns.
    ASSERT_TRUE(StepsUntil([&] { return island->iMode == cIsland::e_modeIsland; }, 120));
    EXPECT_EQ(player->m_iProgress, 1);
    EXPECT_EQ(house->iState, cHouse::e_stateBuilt);
    EXPECT_TRUE(Shown("island"));
    Steps(60);  // the fireworks play out
    Frames(1);
    EXPECT_EQ(island->GetAnimations()->Count(), 0u);

    // The new people's ship is pointed out once; the hint holds the mouse
    // until it is closed with its button.
    if (Shown("hint")) {
        const vek::vec2 close = Centre("hint", "close");
        MouseAt(vek::e_inMouseMove, static_cast<int>(close.x), static_cast<int>(768.0f - close.y));
        MouseAt(vek::e_inMouseDown, static_cast<int>(close.x), static_cast<int>(768.0f - close.y));
        MouseAt(vek::e_inMouseUp, static_cast<int>(close.x), static_cast<int>(768.0f - close.y));
        ASSERT_TRUE(StepsUntil([&] { return !Shown("hint"); }, 60)) << ConsoleLog();
    }

    // Level point 0 shows its pop-up with the time and the medal; point 1,
    // never played, none (not even the one of the point left last).
    Mouse(vek::e_inMouseMove, point0);
    Frames(2);
    EXPECT_EQ(island->iHoveredPoint, 0);
    EXPECT_TRUE(Shown("hint_mp"));
    EXPECT_EQ(Text("hint_mp", "day"), "1");
    EXPECT_EQ(Text("hint_mp", "time"), "0 : 20");
    EXPECT_EQ(Text("hint_mp", "medal"), GetLocaleGD().Gold);
    const vek::vec2 point1 = island->vecLevelPoints[1];
    Mouse(vek::e_inMouseMove, point1);
    Frames(2);
    EXPECT_EQ(island->iHoveredPoint, 1);
    EXPECT_FALSE(Shown("hint_mp"));
    Mouse(vek::e_inMouseMove, point0);
    Mouse(vek::e_inMouseMove, point1 + vek::vec2(200.0f, 200.0f));
    Mouse(vek::e_inMouseMove, point1);
    Frames(2);
    EXPECT_FALSE(Shown("hint_mp"));

    // A click on level point 1 asks; "Yes" starts level 1.
    Click(point1);
    Frames(2);
    ASSERT_TRUE(Shown("messagebox")) << ConsoleLog();
    ASSERT_TRUE(ClickControl(m_pGame->pGUI->GetWindow("messagebox"), "ok"));
    ASSERT_TRUE(StepsUntil([&] { return m_pGame->GetFocusWidgetName() == "garden"; }, 60)) << ConsoleLog();
    EXPECT_EQ(player->m_iLevel, 1);
    EXPECT_EQ(island->iMode, cIsland::e_modeLevel);
    Frames(5);
}

} // namespace
