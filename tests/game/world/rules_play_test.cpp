// The level in play: the car's check and sale against the tasks, the task
// panel's pass, finishing a level, the ships and the session step's holds.
#include "game/objects/product.h"
#include "game/objects/tools.h"
#include "game/world/rules.h"

#include <gtest/gtest.h>

#include "engine/core/filename.h"
#include "game/shell/garden.h"
#include "game/objects/object.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/level_defs.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace {

// An object of any type code.
struct Thing : cObject {
    Thing(cLevel* level, uint32_t type) : cObject(level), uType(type) {}
    uint32_t GetType() const override { return uType; }
    vek::rectf GetRect() const override { return vek::rectf(m_vPos.x, m_vPos.y, 100.0f, 40.0f); }
    uint32_t uType;
};

class cPlayGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

struct RulesPlay : ::testing::Test {
    void SetUp() override
    {
        dir = vektest::MakeTempDir("rulesplay");
        ASSERT_FALSE(dir.empty());
        vek::SetPathMacro(vek::e_macroAppPath, dir);
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        game = new cPlayGarden();
        player = new cPlayer("plrplay");
        game->SetCurrent(player);
        plant00 = g_pWareManager->FindWare("plant00");
        plant01 = g_pWareManager->FindWare("plant01");
        ASSERT_NE(plant00, NO_WARE);
        ASSERT_NE(plant01, NO_WARE);
    }
    void TearDown() override
    {
        game->SetCurrent(nullptr);
        delete player;
        delete game;
        DestroyWareManager();
    }

    cLevelTask Task(int32_t ware, int32_t amount)
    {
        cLevelTask task;
        task.iWare = ware;
        task.iAmount = amount;
        return task;
    }

    std::string dir;
    cPlayGarden* game = nullptr;
    cPlayer* player = nullptr;
    int32_t plant00 = NO_WARE;
    int32_t plant01 = NO_WARE;
};

TEST_F(RulesPlay, CarCheckKeepsWantedWaresAndTakesBackOverDelivery)
{
    // One still wanted: both entries stay (the task's amount is not lowered
    // by the check).
    player->m_Tasks = {Task(plant00, 2)};
    player->m_CarLoad = {plant00, plant00};
    EXPECT_TRUE(game->CheckCarLoad());
    EXPECT_EQ(player->m_CarLoad.size(), 2u);
    EXPECT_EQ(player->m_Tasks[0].iAmount, 2);

    // Over-delivered by two: each entry takes one back and, with no factory
    // to serve, leaves the car.
    player->m_Tasks = {Task(plant00, -2)};
    player->m_CarLoad = {plant00, plant01, plant00};
    EXPECT_FALSE(game->CheckCarLoad());
    EXPECT_TRUE(player->m_CarLoad.empty());
    EXPECT_EQ(player->m_Tasks[0].iAmount, 0);

    // Over-delivered by one: the first entry goes, the second stays.
    player->m_Tasks = {Task(plant00, -1)};
    player->m_CarLoad = {plant00, plant00};
    EXPECT_TRUE(game->CheckCarLoad());
    EXPECT_EQ(player->m_CarLoad.size(), 1u);
}

TEST_F(RulesPlay, SaleSumsPricesAndClosesMetTasks)
{
    const int32_t price = g_pWareManager->GetWare(static_cast<uint32_t>(plant00))->iPrice;
    player->m_Tasks = {Task(plant00, 0), Task(plant01, 3)};
    player->m_CarLoad = {plant00, plant00, plant01};
    const int32_t p1 = g_pWareManager->GetWare(static_cast<uint32_t>(plant01))->iPrice;
    EXPECT_EQ(game->SellCarLoad(), 2 * price + p1);
    EXPECT_TRUE(player->m_CarLoad.empty());
    // The met task is closed; the other still wants wares.
    EXPECT_TRUE(player->m_Tasks[0].IsEmpty());
    EXPECT_EQ(player->m_Tasks[1].iWare, plant01);

    // Nothing a task wants: nothing earned, the load still goes.
    player->m_CarLoad = {plant00};
    EXPECT_EQ(game->SellCarLoad(), 0);
    EXPECT_TRUE(player->m_CarLoad.empty());
}

TEST_F(RulesPlay, SaleSumHoldsAtTheLargestInt)
{
    g_pWareManager->GetWare(static_cast<uint32_t>(plant00))->iPrice = 0x7fffffff;
    player->m_Tasks = {Task(plant00, 5)};
    player->m_CarLoad = {plant00, plant00};
    EXPECT_EQ(game->SellCarLoad(), 0x7fffffff);
}

TEST_F(RulesPlay, PanelErasesEmptyTasksWithoutLines)
{
    cLevelTask empty;
    player->m_Tasks = {empty, Task(plant00, 1), empty};
    UpdateTaskPanel(player->m_Tasks, false);
    ASSERT_EQ(player->m_Tasks.size(), 1u);
    EXPECT_EQ(player->m_Tasks[0].iWare, plant00);
}

TEST_F(RulesPlay, DeliveriesCountDownAndNeedIsJudgedByAmount)
{
    player->m_Tasks = {Task(plant00, 1)};
    EXPECT_TRUE(IsWareNeeded(player->m_Tasks, plant00));
    game->CountTaskWare(plant00);
    EXPECT_EQ(player->m_Tasks[0].iAmount, 0);
    EXPECT_FALSE(IsWareNeeded(player->m_Tasks, plant00));
    EXPECT_FALSE(IsWareNeeded(player->m_Tasks, plant01));
    game->CountTaskWare(NO_WARE);
    EXPECT_EQ(player->m_Tasks[0].iAmount, 0);
}

TEST_F(RulesPlay, FinishingKeepsTheMedalAndTimeAndEmptiesTheCar)
{
    game->SetupLevel(0);
    player->m_fClock = 100.0f;  // limit 90: silver
    player->m_CarLoad = {plant00};
    game->FinishLevel();
    EXPECT_EQ(game->m_iLastMedal, 1);
    ASSERT_GE(player->m_Times.size(), 1u);
    EXPECT_FLOAT_EQ(player->m_Times[0], 100.0f);
    EXPECT_TRUE(player->m_CarLoad.empty());
    // Level 0 grants more beds: they are shown a second later.
    EXPECT_TRUE(game->m_BedTimer.IsMoving());
    int shown = 0;
    game->fnShowNewHoles = [&] { ++shown; };
    for (int i = 0; i < 31; ++i) game->UpdateSession();
    EXPECT_EQ(shown, 1);
}

TEST_F(RulesPlay, SessionHoldsTheClockDuringALessonAndJoinsTasks)
{
    game->SetupLevel(1);  // two tasks at once
    game->m_Training.iKind = 2;
    for (int i = 0; i < 30; ++i) game->UpdateSession();
    EXPECT_EQ(player->m_fClock, 0.0f);
    EXPECT_TRUE(player->m_Tasks.empty());
    game->m_Training.iKind = -1;
    for (int i = 0; i < 30; ++i) game->UpdateSession();
    EXPECT_EQ(player->m_Tasks.size(), 2u);
    EXPECT_GT(player->m_fClock, 0.9f);
    // No field, no car: never won.
    player->m_Tasks.clear();
    game->UpdateSession();
    EXPECT_EQ(player->m_TaskSet.bDone, 0);
}

TEST_F(RulesPlay, ShipsSailAndLeave)
{
    game->AddShip(5);
    game->AddShip(0);
    ASSERT_EQ(game->m_Ships.size(), 2u);
    // The ship with people crosses in 1 / 0.15 s = 200 steps.
    for (int i = 0; i < 205; ++i) game->UpdateShips();
    ASSERT_EQ(game->m_Ships.size(), 1u);
    EXPECT_EQ(game->m_Ships[0].iPeople, 0);
    game->ClearShips();
    EXPECT_TRUE(game->m_Ships.empty());
}

TEST_F(RulesPlay, EmptyShipsPassEveryFiftySecondsAboveLevelZero)
{
    game->SetupLevel(2);
    player->m_Tasks.clear();
    player->m_TaskSet.bDone = 1;
    for (int i = 0; i < 50 * 30 + 2; ++i) game->UpdateSession();
    EXPECT_EQ(game->m_Ships.size(), 1u);
    game->ClearShips();
    game->SetupLevel(0);
    player->m_TaskSet.bDone = 1;
    for (int i = 0; i < 50 * 30 + 2; ++i) game->UpdateSession();
    EXPECT_TRUE(game->m_Ships.empty());
}

TEST_F(RulesPlay, StartRefusesLevelsOutsideTheTable)
{
    EXPECT_FALSE(game->StartLevel(45));
    EXPECT_FALSE(game->StartLevel(-2));
}

TEST_F(RulesPlay, WaterReminderComesOnce)
{
    EXPECT_FALSE(game->IsWaterEventSet());
    game->ShowWaterReminder();
    EXPECT_TRUE(game->IsWaterEventSet());
    game->ShowWaterReminder();
    EXPECT_TRUE(game->IsWaterEventSet());
}

TEST_F(RulesPlay, ProgressSnapshotWithoutGardenerLeavesTheTool)
{
    int asked = 0;
    game->fnCarriedTool = [&] {
        ++asked;
        return 3u;
    };
    game->fnGiveTool = [&](uint32_t) { ++asked; };
    player->m_iContinueLevel = 4;
    EXPECT_TRUE(game->AdvanceProgress());
    EXPECT_EQ(player->m_iProgress, 1);
    EXPECT_EQ(player->m_iContinueLevel, -1);
    EXPECT_EQ(asked, 0);
}

// The same with a level field and its car.
struct RulesField : RulesPlay {
    void SetUp() override
    {
        RulesPlay::SetUp();
        level = new cLevel();
        game->m_pLevel = level;
        car = new Thing(level, OBJ_CAR);
        car->SetPos(200.0f, 300.0f);
        level->m_uCarId = car->GetId();
    }
    void TearDown() override
    {
        game->m_pLevel = nullptr;
        delete level;
        RulesPlay::TearDown();
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) level->MoveWareFlights(kRuleStep);
    }
    cLevel* level = nullptr;
    Thing* car = nullptr;
};

TEST_F(RulesField, WaresToTheCarWaitForItAndLandInTheLoad)
{
    player->m_Tasks = {Task(plant01, 3)};
    level->AddWareFlight(plant01, 2, nullptr, 0, nullptr);
    // Source 0 to the car is no flight the game makes: dropped.
    level->AddWareFlight(plant01, 0, nullptr, 0, nullptr);
    Frames(30);
    // The car is not parked yet: the factory's ware waits.
    ASSERT_EQ(level->GetWareFlights().size(), 2u);
    car->SetState(1);
    Frames(1);
    ASSERT_EQ(level->GetWareFlights().size(), 1u);
    EXPECT_EQ(level->CountWaresInFlight(plant01), 1);
    Frames(25);
    EXPECT_TRUE(level->GetWareFlights().empty());
    EXPECT_EQ(player->m_CarLoad, std::vector<int32_t>{plant01});
    EXPECT_EQ(player->m_Tasks[0].iAmount, 2);
    // The car point is where the car was when first asked.
    EXPECT_FLOAT_EQ(level->GetCarPoint().x, 200.0f);
    EXPECT_FLOAT_EQ(level->GetCarPoint().y, 320.0f);
}

TEST_F(RulesField, WaresLeaveTheCarApart)
{
    player->m_Tasks = {Task(plant00, -2)};
    player->m_CarLoad = {plant00, plant00};
    EXPECT_FALSE(game->CheckCarLoad());
    ASSERT_EQ(level->GetWareFlights().size(), 2u);
    Frames(1);
    // The first has left; the second waits for it to be 0.3 s along.
    EXPECT_GT(level->GetWareFlights()[0].progress.m_fDuration, 0.0f);
    EXPECT_EQ(level->GetWareFlights()[1].progress.m_fDuration, 0.0f);
    Frames(8);
    EXPECT_EQ(level->GetWareFlights()[1].progress.m_fDuration, 0.0f);
    Frames(3);
    EXPECT_GT(level->GetWareFlights()[1].progress.m_fDuration, 0.0f);
    Frames(40);
    EXPECT_TRUE(level->GetWareFlights().empty());
    // Wares sent away are not loaded again.
    EXPECT_TRUE(player->m_CarLoad.empty());
}

TEST_F(RulesField, ProductsNoTaskWantsLeaveTheField)
{
    const int32_t egg = g_pWareManager->FindWare("egg");
    const int32_t nib = g_pWareManager->FindWare("nib");
    const uint32_t eggs = (new cEgg(level))->GetId();
    const uint32_t nibs = (new cNib(level))->GetId();
    player->m_Tasks = {Task(egg, 2), Task(nib, 0)};
    level->UpdateNeeds(&player->m_Tasks[0]);
    level->FlushRemoved();
    // Only the egg's task was looked at: both stay.
    EXPECT_TRUE(level->HasObject(eggs));
    EXPECT_TRUE(level->HasObject(nibs));
    level->UpdateNeeds(nullptr);
    level->FlushRemoved();
    EXPECT_TRUE(level->HasObject(eggs));
    EXPECT_FALSE(level->HasObject(nibs));
    // The field's own answer for a plant decides its need.
    auto* plant = new Thing(level, OBJ_PLANT);
    std::vector<bool> told;
    level->fnObjectWare = [&](const cObject* o) { return o == plant ? plant00 : egg; };
    level->fnRenewNeed = [&](cObject*, bool needed) {
        told.push_back(needed);
        return !needed;
    };
    level->UpdateNeeds(nullptr);
    EXPECT_EQ(told, std::vector<bool>{false});
}

TEST_F(RulesField, IncomeRisesAtTheCar)
{
    ASSERT_EQ(game->m_pTextPopups, nullptr);
    game->m_pTextPopups = new cTextPopups(nullptr, "header24x24");
    level->ShowIncome(25);
    ASSERT_EQ(game->m_pTextPopups->Count(), 1u);
    EXPECT_EQ(game->m_pTextPopups->GetEntries().front().strText, "+$25");
}

TEST_F(RulesField, FinishingClearsTheFieldsLivingThings)
{
    const uint32_t plant = (new Thing(level, OBJ_PLANT))->GetId();
    const uint32_t hole = (new Thing(level, OBJ_HOLE))->GetId();
    const uint32_t eggs = (new Thing(level, OBJ_EGG))->GetId();
    level->AddWareFlight(plant00, 0, nullptr, 1, nullptr);
    int stopped = 0;
    game->fnEndGardenWork = [&] { ++stopped; };
    game->FinishLevel();
    EXPECT_FALSE(level->HasObject(plant));
    EXPECT_FALSE(level->HasObject(eggs));
    EXPECT_TRUE(level->HasObject(hole));
    EXPECT_TRUE(level->HasObject(car->GetId()));
    EXPECT_TRUE(level->GetWareFlights().empty());
    EXPECT_EQ(stopped, 1);
}

TEST_F(RulesField, WonOnceEveryTaskIsDoneAndTheCarIsBack)
{
    game->SetupLevel(0);
    for (int i = 0; i < 20; ++i) game->UpdateSession();
    ASSERT_EQ(player->m_Tasks.size(), 1u);
    player->m_Tasks[0].iWare = NO_WARE;  // sold and closed
    for (int i = 0; i < 20; ++i) game->UpdateSession();
    EXPECT_TRUE(player->m_Tasks.empty());
    EXPECT_EQ(player->m_TaskSet.bDone, 0);  // the car is away
    car->SetState(1);
    game->UpdateSession();
    EXPECT_EQ(player->m_TaskSet.bDone, 1);
    EXPECT_EQ(game->m_iLastMedal, 0);
    const float clock = player->m_fClock;
    game->UpdateSession();
    EXPECT_EQ(player->m_fClock, clock);
}

TEST_F(RulesField, ALevelStartsWithAFullCanOnceTheWaterLessonIsBehind)
{
    auto* can = new cToolWater(level);
    can->SetCapacity(4);
    const auto Start = [&](int levelIndex) {
        can->SetWater(1);
        game->SetupLevel(levelIndex);
        return can->GetWater();
    };
    EXPECT_EQ(Start(3), 1) << "no water event yet";
    GetProfileHost().iRuleCounter = 1;
    EXPECT_EQ(Start(3), 1) << "the water lesson has not come";
    player->m_Events.assign(15, 0);
    player->m_Events[1] = 1;
    EXPECT_EQ(Start(3), 4);
    EXPECT_EQ(Start(-1), 1) << "a continued level keeps what the can held";
    GetProfileHost().iRuleCounter = 0;
}

TEST_F(RulesField, ProgressSnapshotHandsTheToolBack)
{
    auto* gardener = new Thing(level, OBJ_GARDENER);
    level->m_uGardenerId = gardener->GetId();
    uint32_t given = 0;
    game->fnCarriedTool = [] { return 7u; };
    game->fnGiveTool = [&](uint32_t tool) { given = tool; };
    EXPECT_TRUE(game->AdvanceProgress());
    EXPECT_EQ(given, 7u);
}

} // namespace
