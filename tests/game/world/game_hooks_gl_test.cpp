// The started game ties the island's view and the rules to its own code:
// hints, lessons and ships for the view; the house flying to the island
// rating and the fireworks on the island; the gardener, the bin and the new
// holes for the end of a level, the progress snapshot and the bed award.
#include "game/game_fixture.h"

#include <gtest/gtest.h>

#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/tools.h"
#include "game/world/effects.h"
#include "game/world/island.h"
#include "game/world/level.h"

using namespace gametest;

namespace {

TEST_F(GameFixture, TheGameWiresTheIslandViewAndTheRulesToTheField)
{
    WritePack();
    Start();
    ASSERT_TRUE(RunToMainMenu()) << ConsoleLog();
    cGarden* game = g_pGarden;
    cLevel* level = game->GetLevel();
    ASSERT_NE(level, nullptr);
    ASSERT_NE(game->m_pIsland, nullptr);

    const cIslandViewHooks& view = game->m_pIsland->viewHooks;
    ASSERT_TRUE(view.showHint && view.trainingStart && view.renewShips && view.ships);
    EXPECT_EQ(view.ships(), &game->m_Ships);
    ASSERT_TRUE(game->m_pIsland->hooks.flyHouse && game->m_pIsland->hooks.playOnce);
    ASSERT_TRUE(game->fnEndGardenWork && game->fnCarriedTool && game->fnGiveTool && game->fnShowNewHoles);

    auto* gardener = new cGardener(level);
    level->m_uGardenerId = gardener->GetId();
    auto* bin = new cToolBin(level);
    ASSERT_TRUE(bin->AddWare(1));
    EXPECT_GT(bin->GetCount(), 0);

    // The tool he carries is remembered and handed back after a drop.
    ASSERT_TRUE(gardener->TakeTool(bin->GetId()));
    const uint32_t carried = game->fnCarriedTool();
    EXPECT_EQ(carried, bin->GetId());
    gardener->DropTool();
    EXPECT_EQ(game->fnCarriedTool(), 0u);
    game->fnGiveTool(carried);
    EXPECT_EQ(gardener->GetToolId(), bin->GetId());
    game->fnGiveTool(0);
    EXPECT_EQ(gardener->GetToolId(), bin->GetId()) << "no tool to give keeps the one he has";

    // A level's end: his jobs go and the bin is emptied.
    gardener->QueueCell(cell(1, 1));
    gardener->QueueCell(cell(2, 2));
    const bool queued = !gardener->GetJobs().empty();
    game->fnEndGardenWork();
    EXPECT_TRUE(gardener->GetJobs().empty()) << "queued before: " << queued;
    EXPECT_EQ(bin->GetCount(), 0);

    // The bed award: hidden holes show, shown ones stay as they are.
    auto* fresh = new cHole(level);
    fresh->SetShown(false);
    auto* old = new cHole(level);
    game->fnShowNewHoles();
    EXPECT_TRUE(fresh->IsShown());
    EXPECT_TRUE(old->IsShown());
    Frames(2);
}

TEST_F(GameFixture, AFinishedHouseFliesToTheIslandRatingOnTheGamesFlyingItems)
{
    WritePack();
    // The island window with its row of ten rating stars.
    vektest::FixturePack(m_strDir + "/data")
        .GuiScript("island", "for i = 0, 9 do\n"
                             "  local c = cImageCtrl(window, 'island_star' .. i)\n"
                             "  c:SetPos(600 + 24 * i, 680, 0) c:SetSize(20, 20, 0)\n"
                             "end");
    Start();
    ASSERT_TRUE(RunToMainMenu()) << ConsoleLog();
    cGarden* game = g_pGarden;
    cIsland* island = game->m_pIsland;
    ASSERT_NE(island, nullptr);
    cFlyingItems& items = *game->m_pFlyingItems;
    items.Clear();

    // It leaves the building and ends on the centre of the star.
    island->hooks.flyHouse(vek::vec2(300.0f, 200.0f), 3);
    ASSERT_EQ(items.Count(), 1u);
    const cFlyingItem* house = items.GetItems().front();
    EXPECT_FLOAT_EQ(house->path.m_Points.front().x, 300.0f);
    EXPECT_FLOAT_EQ(house->path.m_Points.front().y, 200.0f);
    EXPECT_FLOAT_EQ(house->path.m_Points.back().x, 682.0f);
    EXPECT_FLOAT_EQ(house->path.m_Points.back().y, 690.0f);
    EXPECT_FLOAT_EQ(house->path.m_Params.back(), 2.0f);
    // It lands after its two seconds: the head on the star, then gone.
    for (int i = 0; i < 59; ++i) items.Update(1.0f / 30.0f);
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_NEAR(house->trail[0].x, 682.0f, 15.0f);
    EXPECT_NEAR(house->trail[0].y, 690.0f, 15.0f);
    items.Update(2.0f / 30.0f);
    EXPECT_EQ(items.Count(), 0u);

    // A star the window lacks: nothing flies and nothing fails.
    island->hooks.flyHouse(vek::vec2(300.0f, 200.0f), 10);
    EXPECT_EQ(items.Count(), 0u);

    Frames(2);
}

} // namespace
