// The car's cycle and what holds it, its rear part, the pump's overlays,
// and the money a sale adds.
#include <gtest/gtest.h>

#include <climits>

#include "game/objects/garden_hooks.h"
#include "game/scripted_player.h"
#include "game/world/level_task.h"

namespace {

using gardentest::cScriptedPlayer;

class Stations : public gardentest::GardenWorld {
protected:
    void SetUp() override
    {
        GardenWorld::SetUp();
        // The level wants the first crop, so a load of it is sold.
        cLevelTask task;
        task.iWare = 0;
        task.iAmount = 5;
        player->m_Tasks = {task};
        LoadField();
        car = static_cast<cCar*>(level->GetObject(level->m_uCarId));
        back = level->GetObject(level->m_uCarBackId);
    }
    cCar* car = nullptr;
    cObject* back = nullptr;
};

TEST_F(Stations, TheCarRunsItsCycleAndItsBackFollows)
{
    cScriptedPlayer p(*level);
    EXPECT_EQ(car->GetCell(), cell(3, 0));
    EXPECT_EQ(level->GetObject(level->m_uPumpId)->GetCell(), cell(2, 9));
    for (int row : {1, 2, 3}) EXPECT_EQ(level->GetCellValue(row, 9), 0.0f);
    p.Step(2);
    EXPECT_EQ(car->GetState(), cCar::e_csParked);
    const float parked = car->GetBodyPos().x;

    // A flight to the car holds the sale until it lands.
    player->m_CarLoad = {0};
    level->AddWareFlight(0, 2, nullptr, 0, nullptr);
    p.Step(5);
    EXPECT_EQ(car->GetState(), cCar::e_csParked);
    level->GetWareFlights().clear();

    std::vector<int> states;
    bool followed = true;
    p.StepUntil([&] {
        if (states.empty() || states.back() != car->GetState()) states.push_back(car->GetState());
        followed = followed && back->GetPos().x == std::trunc(car->GetBodyPos().x) + 160.0f;
        return states.size() > 1 && car->GetState() == cCar::e_csParked;
    });
    EXPECT_EQ(states, (std::vector<int>{1, 3, 4, 5, 6, 1}));
    EXPECT_TRUE(followed);
    EXPECT_FLOAT_EQ(car->GetBodyPos().x, parked);
    EXPECT_TRUE(player->m_CarLoad.empty());
}

TEST_F(Stations, TheCarWaitsForTheGardenerAndForFlightsAway)
{
    cScriptedPlayer p(*level);
    p.Step(2);
    // He is on his way to unload: the car stays.
    ASSERT_TRUE(p.Gardener()->TakeTool(p.First(OBJ_TOOL_BIN)->GetId()));
    p.Gardener()->GetBasket()->AddWare(0);
    p.Gardener()->QueueObject(car->GetId());
    ASSERT_EQ(p.Gardener()->GetJobs().size(), 1u);
    player->m_CarLoad = {0};
    p.Step(3);
    EXPECT_EQ(car->GetState(), cCar::e_csParked);
    p.Gardener()->ClearJobs();
    p.StepUntil([&] { return car->GetState() == cCar::e_csAway; });
    // A ware sent away from the car holds it while it flies.
    level->AddWareFlight(0, 0, nullptr, 1, nullptr);
    const float x = car->GetBodyPos().x;
    p.Step(10);
    EXPECT_EQ(car->GetState(), cCar::e_csAway);
    EXPECT_FLOAT_EQ(car->GetBodyPos().x, x);
    level->GetWareFlights().clear();
    p.Step(2);
    EXPECT_LT(car->GetBodyPos().x, x);

    // An empty load never opens the car.
    p.StepUntil([&] { return car->GetState() == cCar::e_csParked; });
    p.Step(10);
    EXPECT_EQ(car->GetState(), cCar::e_csParked);
}

TEST_F(Stations, ThePumpStandsAtTheRightEdgeAndPumpsOnlyInStateThree)
{
    cScriptedPlayer p(*level);
    auto* pump = static_cast<cWaterPump*>(level->GetObject(level->m_uPumpId));
    EXPECT_EQ(pump->GetRect().w, 0.0f);  // not shown to the player yet
    GetProfileHost().iRuleCounter = 1;
    const vek::rectf r = pump->GetRect();
    EXPECT_FLOAT_EQ(r.x + r.w, 1024.0f);
    EXPECT_FLOAT_EQ(r.y, 251.0f);
    p.Step(3);
    EXPECT_EQ(pump->GetWater().anim.iFrame, 0);
    EXPECT_NE(pump->GetTop().anim.iFrame + pump->GetTop().anim.fElapsed, 0.0f);
    pump->SetState(cWaterPump::e_wpPumping);
    p.Step(3);
    EXPECT_NE(pump->GetWater().anim.iFrame, 0);
    pump->SetState(cWaterPump::e_wpIdle);
    const int frame = pump->GetWater().anim.iFrame;
    p.Step(4);
    EXPECT_EQ(pump->GetWater().anim.iFrame, frame);
}

TEST_F(Stations, MoneyEarnedSaturatesInsteadOfWrapping)
{
    player->m_iMoney = INT_MAX - 5;
    garden::EarnMoney(100);
    EXPECT_EQ(player->m_iMoney, INT_MAX);
    player->m_iMoney = 3;
    garden::EarnMoney(-10);
    EXPECT_EQ(player->m_iMoney, 0);
}

TEST_F(Stations, AFlapWithoutFramesCountsAsStopped)
{
    // A car made without its flap and wheel pictures still drives its
    // cycle instead of waiting for ever on a flap that cannot play.
    cStationPart flap;
    EXPECT_FALSE(flap.Set("car", "missing", 1));
    EXPECT_TRUE(flap.Stopped());
}

} // namespace
