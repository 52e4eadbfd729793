// The click road: what a left click on the field becomes for the gardener,
// the right button, the hover cell and the cell marks.
#include <gtest/gtest.h>

#include "game/scripted_player.h"

namespace {

using gardentest::cScriptedPlayer;

class ClickRoad : public gardentest::GardenWorld {
protected:
    void SetUp() override
    {
        GardenWorld::SetUp();
        LoadField();
    }
};

TEST_F(ClickRoad, CellsHolesAndPlantsBecomeTheRightJobs)
{
    cScriptedPlayer p(*level);
    p.Step(2);
    cGardener* g = p.Gardener();
    // An empty open cell: a walk there.
    ASSERT_TRUE(p.ClickCell(cell(6, 1)));
    ASSERT_EQ(g->GetJobs().size(), 1u);
    EXPECT_EQ(g->GetJobs()[0].iKind, cGardener::cJob::e_Cell);
    EXPECT_EQ(g->GetJobs()[0].at, cell(6, 1));
    vek::cQuadBatch marks;
    level->DrawCellMarks(marks);
    EXPECT_EQ(gardentest::QuadCount(marks), 1u);
    // Outside the field with nothing under the point: nothing.
    EXPECT_FALSE(p.Click(vek::vec2(900.0f, 700.0f)));
    EXPECT_FALSE(p.Click(vek::vec2(0.2f, 0.5f)));  // where the null object sits
    EXPECT_EQ(g->GetJobs().size(), 1u);
    p.RightClick();
    EXPECT_TRUE(g->GetJobs().empty());

    // A bed with a crop on it means the crop.
    cHole* bed = p.Beds()[0];
    cObject* crop = level->GetObject(level->AddPlant(bed->GetCell(), Ware("plant00")));
    static_cast<cPlant*>(crop)->SetNeed(cPlant::e_NeedRipe);
    ASSERT_TRUE(p.ClickOn(p.First(OBJ_TOOL_BIN)));
    ASSERT_TRUE(p.WaitIdle());
    ASSERT_TRUE(p.ClickOn(bed));
    ASSERT_EQ(g->GetJobs().size(), 1u);
    EXPECT_EQ(g->GetJobs()[0].iId, static_cast<int32_t>(crop->GetId()));
    EXPECT_EQ(crop->GetTargets(), 1);
    // Twice while busy: queued once, one mark.
    p.Step(1);
    ASSERT_TRUE(p.ClickOn(bed));
    EXPECT_EQ(g->GetJobs().size(), 1u);
    EXPECT_EQ(crop->GetTargets(), 1);
    p.RightClick();
    EXPECT_EQ(crop->GetTargets(), 0);

    // A crop seed clicked onto the crop goes to the bed under it and
    // replaces the plant there.
    const uint32_t cropId = crop->GetId();
    ASSERT_TRUE(p.ChooseSeed("plant01"));
    ASSERT_TRUE(p.ClickCell(crop->GetCell()));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_FALSE(level->HasObject(cropId));
    const std::vector<cPlant*> plants = p.Plants();
    ASSERT_EQ(plants.size(), 1u);
    EXPECT_EQ(plants[0]->GetWareId(), Ware("plant01"));
    EXPECT_EQ(plants[0]->GetCell(), bed->GetCell());
    EXPECT_TRUE(game->IsEventSeen(11));
    EXPECT_FALSE(game->IsEventSeen(15));
    EXPECT_FALSE(game->IsEventSeen(1000000));

    // A bed still hidden (while new beds are revealed) takes no seed.
    cHole* hidden = p.Beds()[1];
    hidden->SetShown(false);
    EXPECT_NE(level->PickOnCell(hidden->GetCell()), hidden);
    ASSERT_TRUE(p.ChooseSeed("plant01"));
    p.ClickCell(hidden->GetCell());
    ASSERT_TRUE(p.WaitIdle());
    for (const cPlant* plant : p.Plants()) EXPECT_NE(plant->GetCell(), hidden->GetCell());
}

TEST_F(ClickRoad, FlowersAreSownOnFreeCellsAndWateredByTheirCell)
{
    cScriptedPlayer p(*level);
    GetProfileHost().iRuleCounter = 1;
    player->m_iMoney = 200;
    p.Step(2);
    const vek::vec2 over = level->GetCellPos(6, 6) + vek::vec2(0.0f, 30.0f);
    EXPECT_EQ(level->GardenHoverCell(over, false), cell());
    ASSERT_TRUE(p.ChooseSeed("flowers"));
    EXPECT_EQ(level->GardenHoverCell(over, false), cell(6, 6));
    EXPECT_EQ(level->GardenHoverCell(over, true), cell());
    ASSERT_TRUE(p.ClickCell(cell(6, 6)));
    // A job on another object after the seed ends the sowing on cells.
    p.Gardener()->QueueObject(p.First(OBJ_TOOL_WEED)->GetId());
    EXPECT_EQ(level->GardenHoverCell(over, false), cell());
    p.Gardener()->PopJob();
    p.RightClick();
    ASSERT_TRUE(p.ChooseSeed("flowers"));
    ASSERT_TRUE(p.ClickCell(cell(6, 6)));
    ASSERT_TRUE(p.WaitIdle());
    ASSERT_EQ(p.Plants().size(), 1u);
    cPlant* flowers = p.Plants()[0];
    EXPECT_EQ(flowers->GetCell(), cell(6, 6));
    EXPECT_EQ(player->m_iMoney, 150);
    // Sown flowers do not take a second seed on their cell.
    ASSERT_TRUE(p.ClickCell(cell(6, 6)));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(p.Plants().size(), 1u);

    ASSERT_TRUE(p.StepUntil([&] { return flowers->GetNeed() == cPlant::e_NeedWater; }));
    EXPECT_EQ(level->PickOnCell(cell(6, 6)), flowers);
    p.RightClick();
    p.Gardener()->TakeTool(p.First(OBJ_TOOL_WATER)->GetId());
    p.Gardener()->GetCan()->SetWater(1);
    ASSERT_TRUE(p.ClickCell(cell(6, 6)));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_NE(flowers->GetNeed(), cPlant::e_NeedWater);
    EXPECT_EQ(p.Gardener()->GetCan()->GetWater(), 0);
}

TEST_F(ClickRoad, TheRightButtonKeepsTheJobsDuringATutorialStep)
{
    cScriptedPlayer p(*level);
    p.Step(2);
    ASSERT_TRUE(p.ChooseSeed("plant00"));
    ASSERT_TRUE(p.ClickCell(cell(6, 1)));
    game->m_Training.iKind = 0;
    game->m_Training.iStep = 1;
    p.RightClick();
    EXPECT_EQ(p.Gardener()->GetJobs().size(), 2u);
    game->m_Training.iKind = -1;
    p.RightClick();
    EXPECT_TRUE(p.Gardener()->GetJobs().empty());
    EXPECT_EQ(p.Gardener()->GetWare(), NO_WARE);

    // With the hints on, the first level ignores clicks for its first 2 s.
    game->SetTraining(1);
    player->m_iLevel = 0;
    player->m_fClock = 1.0f;
    EXPECT_FALSE(p.ClickCell(cell(6, 1)));
    player->m_fClock = 2.5f;
    EXPECT_TRUE(p.ClickCell(cell(6, 1)));
}

} // namespace
