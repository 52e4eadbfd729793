// The engine object's calls into its subsystems when those are absent, and
// the GUI layer's view of the engine (its host) across the engine's life.
#include <gtest/gtest.h>

#include "engine/app/game.h"
#include "engine/app/game_calls.h"
#include "engine/core/vekstring.h"
#include "engine/gui/gui.h"
#include "engine/gui/host.h"
#include "engine/gui/widget.h"
#include "engine/graphics/render.h"

namespace {

TEST(GameCalls, WithoutSubsystemsNothingIsTakenAndNoDeviceIsMade)
{
    ASSERT_EQ(vek::g_pRender, nullptr);
    ASSERT_EQ(vek::g_pGame, nullptr);
    // A window without a renderer has no device: reporting success here
    // would let the engine run a window that can never show anything.
    EXPECT_NE(vek::calls::RenderInit(32, 1, 0, 0), 0);
    int x = 7, y = 7, w = 7, h = 7;
    EXPECT_FALSE(vek::calls::RenderGetViewport(x, y, w, h));
    EXPECT_EQ(w, 7);
    EXPECT_NE(vek::calls::RenderBegin(), 0);
    EXPECT_FALSE(vek::calls::GuiApplySystemCursor());
    EXPECT_FALSE(vek::calls::GuiKeyDown(30));
    EXPECT_FALSE(vek::calls::GuiMouseButton(0, 10, 10));
    EXPECT_FALSE(vek::calls::GuiMouseButtonUp(0, 10, 10));
    EXPECT_FALSE(vek::calls::ConsoleKey(30));
    vek::calls::GuiDraw();
    vek::calls::RenderFree();
}

TEST(GuiHost, TheEngineHostsTheGuiWhileItLives)
{
    ASSERT_EQ(vek::GetGuiHost(), nullptr);
    {
        // Without an engine a widget joins nothing and drawing it is a no-op.
        vek::cWidget loose("loose");
        loose.Draw();
    }

    vek::cGame::cSettings settings;
    settings.strName = "HostTest";
    auto* game = new vek::cGame(settings);
    ASSERT_EQ(vek::GetGuiHost(), game);
    EXPECT_EQ(game->GetHostGUI(), game->pGUI);
    EXPECT_EQ(game->GetHostBatch(), game->pBatch);

    auto* a = new vek::cWidget("a");
    auto* b = new vek::cWidget("b");
    ASSERT_EQ(game->lstWidgets.size(), 2u);
    game->SetFocusWidget("b");
    ASSERT_EQ(game->pFocusWidget, b);
    // A widget deleted behind the engine's back leaves a blank entry and no
    // dangling focus.
    delete b;
    EXPECT_EQ(game->pFocusWidget, nullptr);
    EXPECT_EQ(game->lstWidgets.back(), nullptr);
    EXPECT_EQ(game->lstWidgets.front(), a);

    // The engine's locale decides case folding only while it exists.
    game->SetLocale("xx-unknown");
    vek::string s("ABC");
    s.ToLower();
    EXPECT_EQ(s, "abc");

    delete game;  // deletes the remaining widget
    EXPECT_EQ(vek::GetGuiHost(), nullptr);
    vek::cWidget after("after");
    after.Draw();
}

} // namespace
