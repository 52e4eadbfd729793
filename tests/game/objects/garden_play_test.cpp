// Whole plays of the garden by the scripted player: sowing into beds,
// weeding, harvesting into the basket and the car's cycle; then watering
// with water bought at the pump.
#include <gtest/gtest.h>

#include "game/scripted_player.h"
#include "game/objects/ostrich.h"
#include "game/objects/product.h"
#include "game/world/level_task.h"

namespace {

using gardentest::cScriptedPlayer;

class GardenPlay : public gardentest::GardenWorld {};

TEST_F(GardenPlay, SowWeedHarvestAndSendTheCarAway)
{
    // The level wants three of the crop: the car sells them.
    cLevelTask task;
    task.iWare = Ware("plant00");
    task.iAmount = 3;
    player->m_Tasks = {task};
    LoadField();
    cScriptedPlayer p(*level);
    ASSERT_NE(p.Gardener(), nullptr);
    EXPECT_EQ(p.Gardener()->GetCell(), cell(5, 5));
    const std::vector<cHole*> beds = p.Beds();
    ASSERT_EQ(beds.size(), 6u);

    ASSERT_TRUE(p.ChooseSeed("plant00"));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(p.ClickOn(beds[static_cast<size_t>(i)]));
    ASSERT_TRUE(p.WaitIdle());
    ASSERT_EQ(p.Plants().size(), 3u);
    EXPECT_EQ(player->m_iMoney, 35);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(p.Plants()[i]->GetCell(), beds[i]->GetCell());

    // With a weeding interval of 2 the second plant asks for weeding.
    ASSERT_TRUE(p.StepUntil([&] { return p.PlantAsking(cPlant::e_NeedWeed) != nullptr; }));
    cPlant* weedy = p.PlantAsking(cPlant::e_NeedWeed);
    EXPECT_EQ(weedy->GetCell(), beds[1]->GetCell());
    ASSERT_TRUE(p.ClickOn(p.First(OBJ_TOOL_WEED)));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(p.CarriedTool(), cTool::e_Weed);
    ASSERT_TRUE(p.ClickCell(weedy->GetCell()));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_NE(weedy->GetNeed(), cPlant::e_NeedWeed);

    ASSERT_TRUE(p.ClickOn(p.First(OBJ_TOOL_BIN)));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(p.CarriedTool(), cTool::e_Basket);
    ASSERT_TRUE(p.StepUntil([&] {
        for (cPlant* plant : p.Plants())
            if (plant->GetNeed() != cPlant::e_NeedRipe) return false;
        return true;
    }));
    for (cPlant* plant : p.Plants()) ASSERT_TRUE(p.ClickCell(plant->GetCell()));
    ASSERT_TRUE(p.WaitIdle());
    cToolBin* basket = p.Gardener()->GetBasket();
    ASSERT_NE(basket, nullptr);
    EXPECT_EQ(basket->GetWareCount(0), 3);

    auto* car = static_cast<cCar*>(level->GetObject(level->m_uCarId));
    const float parked = car->GetBodyPos().x;
    ASSERT_TRUE(p.ClickOn(car));
    ASSERT_TRUE(p.StepUntil([&] { return !game->delivered.empty() && p.Gardener()->GetState() != 28; }));
    EXPECT_EQ(game->delivered, (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(basket->GetCount(), 0);
    // The car opens, drives off screen and comes back to its place.
    bool wentAway = false;
    ASSERT_TRUE(p.StepUntil([&] {
        if (car->GetBodyPos().x < parked - 100.0f) wentAway = true;
        return wentAway && car->GetState() == cCar::e_csParked;
    }));
    EXPECT_FLOAT_EQ(car->GetBodyPos().x, parked);
    EXPECT_TRUE(player->m_CarLoad.empty());
    EXPECT_EQ(player->m_iMoney, 35 + 3 * g_pWareManager->GetWare(static_cast<uint32_t>(task.iWare))->iPrice);
}

TEST_F(GardenPlay, FillTheCanAtThePumpAndWater)
{
    GetProfileHost().iRuleCounter = 1;  // the can and the pump have been shown
    player->m_iMoney = 60;
    LoadField();
    cScriptedPlayer p(*level);
    ASSERT_TRUE(p.ChooseSeed("plant01"));
    const std::vector<cHole*> beds = p.Beds();
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(p.ClickOn(beds[static_cast<size_t>(i)]));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(player->m_iMoney, 20);
    ASSERT_TRUE(p.StepUntil([&] { return p.PlantAsking(cPlant::e_NeedWater) != nullptr; }));
    cPlant* thirsty = p.PlantAsking(cPlant::e_NeedWater);
    EXPECT_EQ(thirsty->GetCell(), beds[3]->GetCell());
    cPlant* weedy = p.PlantAsking(cPlant::e_NeedWeed);
    ASSERT_NE(weedy, nullptr);
    EXPECT_EQ(weedy->GetCell(), beds[2]->GetCell());

    ASSERT_TRUE(p.ClickOn(p.First(OBJ_TOOL_WATER)));
    ASSERT_TRUE(p.WaitIdle());
    ASSERT_EQ(p.CarriedTool(), cTool::e_Can);
    // An empty can: the plant is refused and the pump hint shows.
    ASSERT_TRUE(p.ClickCell(thirsty->GetCell()));
    EXPECT_TRUE(p.Gardener()->IsHintShown());
    EXPECT_TRUE(p.Gardener()->GetJobs().empty());

    ASSERT_TRUE(p.ClickOn(level->GetObject(level->m_uPumpId)));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(p.Gardener()->GetCan()->GetWater(), 3);
    EXPECT_EQ(player->m_iMoney, 5);
    EXPECT_EQ(level->GetObject(level->m_uPumpId)->GetState(), cWaterPump::e_wpIdle);

    ASSERT_TRUE(p.ClickCell(thirsty->GetCell()));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(p.Gardener()->GetCan()->GetWater(), 2);
    EXPECT_NE(thirsty->GetNeed(), cPlant::e_NeedWater);
}

TEST_F(GardenPlay, TheLevelsNeedsReachTheAnimalsAndTheirProducts)
{
    LoadField();
    cLevelTask eggs;
    eggs.iWare = Ware("egg");
    eggs.iAmount = 2;
    player->m_Tasks = {eggs};
    auto* ostrich = new cOstrich(level);
    ostrich->SetCell(2, 6);
    auto* egg = new cEgg(level);
    egg->SetCell(2, 7);
    level->UpdateNeeds(nullptr);
    EXPECT_TRUE(ostrich->IsNeeded());
    EXPECT_NE(egg->GetState(), cObject::e_stRemove);

    // Met: the ostrich no longer lays and the egg on the field goes.
    player->m_Tasks[0].iAmount = 0;
    level->UpdateNeeds(&player->m_Tasks[0]);
    EXPECT_FALSE(ostrich->IsNeeded());
    EXPECT_EQ(egg->GetState(), cObject::e_stRemove);
}

} // namespace
