// The started game ties the island's view and the rules to its own code:
// hints, lessons and ships for the view; the gardener, the bin and the new
// holes for the end of a level, the progress snapshot and the bed award.
#include "game/game_fixture.h"

#include <gtest/gtest.h>

#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/tools.h"
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

} // namespace
