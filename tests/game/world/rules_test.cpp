#include "game/world/rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/filename.h"
#include "engine/graphics/curve.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/level_defs.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace {

// A game object whose current profile the test hands in.
class cRulesGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

struct Rules : ::testing::Test {
    void SetUp() override
    {
        dir = vektest::MakeTempDir("rules");
        ASSERT_FALSE(dir.empty());
        vek::SetPathMacro(vek::e_macroAppPath, dir);
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        game = new cRulesGarden();
        player = new cPlayer("plrrules");
        game->SetCurrent(player);
    }
    void TearDown() override
    {
        game->SetCurrent(nullptr);
        delete player;
        delete game;
        DestroyWareManager();
    }

    // Fixed steps of the clock and the joins, as a level in play runs them.
    void Steps(int count)
    {
        for (int i = 0; i < count; ++i) {
            AdvanceLevelClock(*player, kRuleStep);
            JoinNextTask(*player);
            EXPECT_LE(player->m_Tasks.size(), kMaxActiveTasks);
        }
    }

    std::string dir;
    cRulesGarden* game = nullptr;
    cPlayer* player = nullptr;
};

TEST_F(Rules, TasksJoinOneAStepAtTheirTimes)
{
    game->SetupLevel(37);  // four crops joining at 0, 30, 60 and 90 s
    ASSERT_EQ(player->m_TaskSet.vecTasks.size(), 4u);
    // The first task joins on the first step, before the clock has moved.
    Steps(1);
    EXPECT_EQ(player->m_Tasks.size(), 1u);
    EXPECT_EQ(player->m_fClock, 0.0f);
    Steps(30 * 30 - 1);
    EXPECT_EQ(player->m_Tasks.size(), 1u);
    Steps(2);
    ASSERT_EQ(player->m_Tasks.size(), 2u);
    EXPECT_EQ(player->m_Tasks[1].iWare, 5);
    EXPECT_EQ(player->m_Tasks[1].pLine, nullptr);

    // Every active task done early: the clock still runs to the next task's
    // time, so the level can go on.
    player->m_Tasks.clear();
    const float before = player->m_fClock;
    Steps(10);
    EXPECT_GT(player->m_fClock, before);
    Steps(31 * 30);
    EXPECT_EQ(player->m_Tasks.size(), 1u);
    EXPECT_EQ(player->m_Tasks[0].iWare, 6);
    Steps(31 * 30);
    EXPECT_EQ(player->m_Tasks.size(), 2u);
    EXPECT_FALSE(AllTasksJoinedAndDone(*player));

    // All joined and done: the clock stands.
    player->m_Tasks.clear();
    EXPECT_TRUE(AllTasksJoinedAndDone(*player));
    const float end = player->m_fClock;
    Steps(100);
    EXPECT_EQ(player->m_fClock, end);
}

TEST_F(Rules, NeverMoreThanFourActive)
{
    game->SetupLevel(44);  // seven tasks, all at once
    Steps(3);
    EXPECT_EQ(player->m_Tasks.size(), 3u);  // one per step
    Steps(10);
    EXPECT_EQ(player->m_Tasks.size(), 4u);
    EXPECT_EQ(player->m_iLevelValue, 4);
    player->m_Tasks.erase(player->m_Tasks.begin());
    Steps(1);
    EXPECT_EQ(player->m_Tasks.size(), 4u);
    EXPECT_EQ(player->m_Tasks.back().iWare, g_pWareManager->FindWare("honey"));
}

TEST_F(Rules, DeliveriesCountDown)
{
    player->m_Tasks = {MakeLevelTask("egg", 2, 0), MakeLevelTask("goat", 2, 0), MakeLevelTask("egg", 1, 0)};
    EXPECT_EQ(CountDownWare(player->m_Tasks, 17).size(), 2u);
    EXPECT_EQ(CountDownWare(player->m_Tasks, 17).size(), 2u);
    EXPECT_EQ(player->m_Tasks[0].iAmount, 0);
    EXPECT_EQ(player->m_Tasks[2].iAmount, -1);  // over-delivered
    EXPECT_TRUE(CountDownWare(player->m_Tasks, NO_WARE).empty());

    game->CountTaskKind(1);
    EXPECT_EQ(player->m_Tasks[1].iAmount, 1);
    EXPECT_FALSE(player->m_Tasks[1].IsEmpty());
    game->CountTaskKind(1);
    EXPECT_TRUE(player->m_Tasks[1].IsEmpty());
    game->CountTaskKind(1);  // an empty task is no longer counted
    EXPECT_EQ(player->m_Tasks[1].iAmount, 0);
    game->CountTaskKind(-1);  // ware tasks are not animal tasks
    game->CountTaskKind(7);
    EXPECT_EQ(player->m_Tasks[0].iAmount, 0);
    EXPECT_EQ(player->m_Tasks[0].iKind, -1);
}

TEST_F(Rules, TheTaskAWareServesThroughTheFactories)
{
    // Oranges make orange juice, which makes lemonade.
    cBuildingRegistry buildings;
    CreateBuildings(buildings);
    std::vector<const cFactory*> built = {dynamic_cast<const cFactory*>(buildings.Find("factory01")),
                                          dynamic_cast<const cFactory*>(buildings.Find("factory01_1"))};
    ASSERT_NE(built[0], nullptr);
    ASSERT_NE(built[1], nullptr);
    auto factoryOf = [&built](int32_t input) -> const cFactory* {
        for (const cFactory* f : built)
            if (f && f->iInputWare == input) return f;
        return nullptr;
    };
    const int32_t orange = g_pWareManager->FindWare("plant02");
    const int32_t juice = g_pWareManager->FindWare("product01");
    std::vector<cLevelTask> tasks = {MakeLevelTask("plant00", 2, 0), MakeLevelTask("product01_1", 3, 0)};
    // Through both factories, then directly once oranges are wanted.
    EXPECT_EQ(FindTaskForWare(tasks, orange, factoryOf), &tasks[1]);
    tasks.push_back(MakeLevelTask("product01", 1, 0));
    EXPECT_EQ(FindTaskForWare(tasks, orange, factoryOf), &tasks[2]);
    tasks.push_back(MakeLevelTask("plant02", 1, 0));
    EXPECT_EQ(FindTaskForWare(tasks, orange, factoryOf), &tasks[3]);
    // A product is not carried on through factories; no ware serves nothing.
    tasks.pop_back();
    tasks.pop_back();
    EXPECT_EQ(FindTaskForWare(tasks, juice, factoryOf), nullptr);
    EXPECT_EQ(FindTaskForWare(tasks, NO_WARE, factoryOf), nullptr);

    // A missing factory ends the search: none after the first, none at all.
    built[1] = nullptr;
    EXPECT_EQ(FindTaskForWare(tasks, orange, factoryOf), nullptr);
    tasks.push_back(MakeLevelTask("product01", 4, 0));
    EXPECT_EQ(FindTaskForWare(tasks, orange, factoryOf), &tasks[2]);
    built[0] = nullptr;
    EXPECT_EQ(FindTaskForWare(tasks, orange, factoryOf), nullptr);
    EXPECT_EQ(FindTaskForWare(tasks, orange, cFactoryByInput()), nullptr);
    // A closed task is no task.
    tasks[0].iWare = NO_WARE;
    EXPECT_EQ(FindTaskForWare(tasks, g_pWareManager->FindWare("plant00"), factoryOf), nullptr);
}

TEST_F(Rules, SetupStartsAfreshOrContinues)
{
    player->m_iProgress = 10;
    player->m_iMoney = 999;
    game->SetupLevel(10);
    EXPECT_EQ(player->m_iLevel, 10);
    EXPECT_EQ(player->m_iMoney, 160);
    EXPECT_EQ(player->m_TaskSet.fTimeLimit, 180.0f);
    EXPECT_EQ(player->m_TaskSet.strName, "house01");  // the newest level
    EXPECT_EQ(game->m_bFreeRange, 1);
    Steps(200);
    ASSERT_EQ(player->m_Tasks.size(), 2u);

    // Replaying an older level: no building hint, and its own flags.
    game->SetupLevel(3);
    EXPECT_TRUE(player->m_TaskSet.strName.empty());
    EXPECT_EQ(game->m_bFreeRange, 0);
    EXPECT_EQ(game->m_aiCounters[0], 1);  // new sort
    EXPECT_EQ(game->m_aiCounters[1], 1);  // more beds
    EXPECT_EQ(game->m_aiCounters[3], 0);
    EXPECT_TRUE(player->m_Tasks.empty());
    EXPECT_EQ(player->m_fClock, 0.0f);

    // A continued game keeps its money, clock and active tasks and rebuilds
    // the saved level's definition and awards.
    player->m_iContinueLevel = 5;
    player->m_iMoney = 77;
    player->m_fClock = 12.5f;
    player->m_Tasks = {MakeLevelTask("plant02", 3, 0)};
    player->m_iLevelValue = 2;
    player->m_iProgress = 5;
    game->SetupLevel(-1);
    EXPECT_EQ(player->m_iLevel, 5);
    EXPECT_EQ(player->m_iMoney, 77);
    EXPECT_EQ(player->m_fClock, 12.5f);
    EXPECT_EQ(player->m_Tasks.size(), 1u);
    EXPECT_EQ(player->m_iLevelValue, 2);
    EXPECT_EQ(player->m_TaskSet.vecTasks.size(), 3u);
    EXPECT_TRUE(player->m_TaskSet.strName.empty());
    EXPECT_EQ(game->m_aiCounters[0], 0);
    EXPECT_EQ(game->m_aiCounters[3], 1);  // new animal

    // A damaged next-task index starts the tasks again: at the definition's
    // end it would count every task as done and win the level at once.
    player->m_iLevelValue = 1000;
    game->SetupLevel(-1);
    EXPECT_EQ(player->m_iLevelValue, 0);
    player->m_iLevelValue = 3;  // every task joined: a true state
    game->SetupLevel(-1);
    EXPECT_EQ(player->m_iLevelValue, 3);
    player->m_iLevelValue = -2;
    game->SetupLevel(-1);
    EXPECT_EQ(player->m_iLevelValue, 0);

    // Beyond the levels: nothing to do, no limit, no money.
    game->SetupLevel(45);
    EXPECT_TRUE(player->m_TaskSet.vecTasks.empty());
    EXPECT_EQ(player->m_TaskSet.fTimeLimit, 0.0f);
    EXPECT_EQ(player->m_iMoney, 0);
}

TEST_F(Rules, PlayingEveryLevelInOrderUnlocksWhatTheNextAsks)
{
    // The finish screen hands out the awards SetupLevel flagged; a player
    // who plays every level in order always has what the next one asks for.
    game->m_BedLayouts.assign(5, cBedLayout());
    for (int level = 0; level < kLevelCount; ++level) {
        player->m_iProgress = level;
        game->SetupLevel(level);
        EXPECT_EQ(player->m_TaskSet.strName, GetLevelBuilding(level));
        for (const cLevelTask& task : player->m_TaskSet.vecTasks) {
            ASSERT_NE(task.iWare, NO_WARE) << level;
            if (g_pWareManager->GetWare(static_cast<uint32_t>(task.iWare))->GetType() == 0x80000001u) {
                EXPECT_LE(task.iWare, player->m_iSorts) << "level " << level;
            }
            const int animal = task.iWare >= 17 ? task.iWare - 17 : -1;  // egg, milk, honey, nib
            EXPECT_LE(animal, player->m_iAnimals) << "level " << level;
        }
        if (game->m_aiCounters[0]) {
            EXPECT_TRUE(game->UnlockNextSort()) << level;
        }
        if (game->m_aiCounters[1]) {
            EXPECT_TRUE(game->ExpandGarden()) << level;
        }
        if (game->m_aiCounters[3]) {
            EXPECT_TRUE(game->UnlockNextAnimal()) << level;
        }
    }
    EXPECT_EQ(player->m_iSorts, 7);
    EXPECT_EQ(player->m_iAnimals, 3);
    EXPECT_EQ(player->m_iPlayerValue, 4);
}

TEST_F(Rules, MedalOnTheRunningClock)
{
    game->SetupLevel(0);  // 90 s
    player->m_fClock = 90.0f;
    EXPECT_EQ(game->GetMedal(), 0);
    EXPECT_FLOAT_EQ(game->GetMedalProgress(), 0.0f);
    player->m_fClock = 112.5f;
    EXPECT_EQ(game->GetMedal(), 1);
    EXPECT_FLOAT_EQ(game->GetMedalProgress(), 0.5f);
    player->m_fClock = 135.0f;
    EXPECT_EQ(game->GetMedal(), 2);
    // Finishing stores the time at the level and gives the medal.
    player->m_fClock = 134.9f;
    EXPECT_EQ(RecordFinishedLevel(*player), 1);
    ASSERT_EQ(player->m_Times.size(), 1u);
    EXPECT_EQ(player->m_Times[0], 134.9f);
    game->SetupLevel(50);  // no limit: always gold
    player->m_fClock = 1000.0f;
    EXPECT_EQ(game->GetMedal(), 0);
    EXPECT_EQ(game->GetMedalProgress(), 0.0f);
    EXPECT_EQ(RecordFinishedLevel(*player), 0);
    EXPECT_EQ(player->m_Times.size(), 1u);  // no such level: no time kept
}

TEST_F(Rules, MoneyAndAwards)
{
    game->SetMoney(-5);
    EXPECT_EQ(player->m_iMoney, 0);
    game->SetMoney(40);
    game->SpendMoney(41);
    EXPECT_EQ(player->m_iMoney, 40);
    game->SpendMoney(40);
    EXPECT_EQ(player->m_iMoney, 0);
    player->m_iMoney = 10;
    game->SpendMoney(std::numeric_limits<int>::min());  // never wraps
    EXPECT_EQ(player->m_iMoney, std::numeric_limits<int>::max());
    player->m_iIslandMoney = 30;
    game->SpendIslandMoney(31);
    EXPECT_EQ(player->m_iIslandMoney, 30);
    game->SpendIslandMoney(30);
    EXPECT_EQ(player->m_iIslandMoney, 0);

    int sorts = 0;
    while (game->UnlockNextSort()) ++sorts;
    EXPECT_EQ(sorts, 7);
    EXPECT_EQ(player->m_iSorts, 7);
    int animals = 0;
    while (game->UnlockNextAnimal()) ++animals;
    EXPECT_EQ(animals, 4);
    EXPECT_EQ(player->m_iAnimals, 3);

    EXPECT_FALSE(game->ExpandGarden());  // no layouts read
    game->m_BedLayouts.assign(5, cBedLayout());
    int beds = 0;
    while (game->ExpandGarden()) ++beds;
    EXPECT_EQ(beds, 4);
    EXPECT_EQ(player->m_iPlayerValue, 4);

    // Cheapest first; equal prices in index order; nothing at the top.
    EXPECT_EQ(game->GetUpgradeOffers(), (std::vector<int>{2, 4, 0}));
    const int levels[] = {3, 2, 2, 1, 1, 2};
    for (int i = 0; i < 6; ++i) player->m_Upgrades.SetLevel(i, levels[i]);
    EXPECT_EQ(game->GetUpgradeOffers(), (std::vector<int>{3, 4, 1}));
    for (int i = 0; i < 6; ++i) player->m_Upgrades.SetLevel(i, 3);
    EXPECT_TRUE(game->GetUpgradeOffers().empty());
}

TEST_F(Rules, RatingsAndStatistics)
{
    // n, per text step: text, stars, within range.
    const struct {
        int n, per, text, stars;
        bool within;
    } rates[] = {{0, 5, 0, 0, true},    {7, 5, 1, 2, true},    {20, 5, 4, 5, true},
                 {27, 5, 4, 5, false},  {39, 10, 3, 9, true},  {40, 10, 4, 10, true},
                 {41, 10, 4, 10, false}};
    int text = -1, stars = -1;
    for (const auto& r : rates) {
        EXPECT_EQ(RateCount(r.n, r.per, &text, &stars), r.within) << r.n;
        EXPECT_EQ(text, r.text) << r.n;
        EXPECT_EQ(stars, r.stars) << r.n;
    }
    EXPECT_TRUE(RateCount(3, 5, nullptr, nullptr));

    // Gold medals are the entries 0 of the medal list.
    player->m_Results = {0, 1, 0, 2, 0, 0, 0, 0, -1};
    vek::string rate;
    EXPECT_TRUE(game->GetRate(&rate, &stars));
    EXPECT_EQ(rate, GetLocaleGD().Rate1);
    EXPECT_EQ(stars, 1);
    EXPECT_TRUE(game->GetRate(nullptr, nullptr));

    game->CountWare(20);
    game->CountWare(20);
    EXPECT_EQ(player->m_Values.size(), 21u);
    EXPECT_EQ(player->m_Values[20], 2);
    for (int bad : {NO_WARE, -1, 21, std::numeric_limits<int>::max()}) game->CountWare(bad);
    EXPECT_EQ(player->m_Values.size(), 21u);
    game->CountAnimal(1);
    for (int bad : {-1, 4, 1000}) game->CountAnimal(bad);
    EXPECT_EQ(player->m_AnimalCounts, (std::vector<int32_t>{0, 1}));
}

TEST_F(Rules, IslandScrollingAndLevelContext)
{
    cIsland island;
    game->m_pIsland = &island;
    island.iMode = cIsland::e_modeIsland;
    player->m_iProgress = 6;
    EXPECT_FALSE(game->CanScrollIsland());
    EXPECT_TRUE(game->IsLevelContext());  // progress above 0
    player->m_iProgress = 7;
    EXPECT_TRUE(game->CanScrollIsland());
    game->m_iShownHint = 3;
    EXPECT_TRUE(game->CanScrollIsland());
    game->m_iShownHint = 1;
    EXPECT_FALSE(game->CanScrollIsland());
    island.iMode = cIsland::e_modeLevel;
    EXPECT_FALSE(game->CanScrollIsland());
    island.iMode = cIsland::e_modeEdit;
    EXPECT_TRUE(game->CanScrollIsland());

    player->m_iProgress = 0;
    EXPECT_FALSE(game->IsLevelContext());
    island.iMode = cIsland::e_modeLevel;
    EXPECT_TRUE(game->IsLevelContext());
    game->m_pIsland = nullptr;
}

TEST_F(Rules, AdvancingTakesTheSnapshotOfTheNewLevel)
{
    player->m_iProgress = 4;
    player->m_iContinueLevel = 3;
    player->m_iMoney = 321;
    // No gardener on the field (no field at all): the snapshot is still made.
    EXPECT_TRUE(game->AdvanceProgress());
    EXPECT_EQ(player->m_iProgress, 5);
    EXPECT_EQ(player->m_iContinueLevel, -1);
    player->m_iMoney = 0;
    ASSERT_TRUE(player->LoadGame(5));
    EXPECT_EQ(player->m_iMoney, 321);

    player->m_iProgress = kLevelCount;
    EXPECT_FALSE(game->AdvanceProgress());
    EXPECT_EQ(player->m_iProgress, kLevelCount);
}

TEST(Ships, SailBeepOnceAndBringTheirPeople)
{
    std::vector<cShip> ships = {MakeShip(12), MakeShip(0)};
    EXPECT_FLOAT_EQ(ships[0].fSpeed, 0.15f);
    EXPECT_FLOAT_EQ(ships[1].fSpeed, 0.018f);
    EXPECT_EQ(ShipPosition(ships[0]), vek::vec2(150.0f, 701.0f));

    int beeps = 0, people = 0, steps = 0;
    std::vector<size_t> removed;
    while (ships.size() == 2 && steps < 1000) {
        const cShipEvents events = StepShips(ships, &removed);
        beeps += events.iBeeps;
        people += events.iPeople;
        ++steps;
    }
    // 1 / (0.15 / 30) = 200 steps to cross, and just past 1 it is gone.
    EXPECT_EQ(steps, 201);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(people, 12);
    EXPECT_EQ(removed, std::vector<size_t>{0});
    ASSERT_EQ(ships.size(), 1u);
    EXPECT_EQ(ships[0].iPeople, 0);

    // The empty ship sails on silently and brings nobody.
    for (int i = 0; i < 2000 && !ships.empty(); ++i) {
        const cShipEvents events = StepShips(ships);
        EXPECT_EQ(events.iBeeps, 0);
        EXPECT_EQ(events.iPeople, 0);
    }
    EXPECT_TRUE(ships.empty());

    // An empty ship every 50 s, only on levels above 0.
    float clock = 0.0f;
    int due = 0;
    for (int i = 0; i < 30 * 101; ++i) due += StepShipClock(clock, 3) ? 1 : 0;
    EXPECT_EQ(due, 2);
    clock = 0.0f;
    for (int i = 0; i < 30 * 60; ++i) EXPECT_FALSE(StepShipClock(clock, 0));
}

TEST(FlightPath, ZigzagsAcrossTheLine)
{
    vek::curve_CatmullRomSpline<vek::vec2> path;
    MakeZigzagPath(path, vek::vec2(0, 0), vek::vec2(100, 0), 2, 10.0f, 2.0f);
    ASSERT_EQ(path.GetCount(), 4);
    EXPECT_EQ(path.m_Params, (std::vector<float>{0.0f, 0.5f, 1.5f, 2.0f}));
    EXPECT_FLOAT_EQ(path.m_Points[1].x, 25.0f);
    EXPECT_FLOAT_EQ(path.m_Points[1].y, 10.0f);  // left of the way
    EXPECT_FLOAT_EQ(path.m_Points[2].x, 75.0f);
    EXPECT_FLOAT_EQ(path.m_Points[2].y, -10.0f);
    EXPECT_EQ(path.m_Points[3], vek::vec2(100, 0));

    // One point: just the two ends, and no NaN anywhere.
    MakeZigzagPath(path, vek::vec2(5, 5), vek::vec2(5, 5), 3, 10.0f, 1.0f);
    ASSERT_EQ(path.GetCount(), 2);
    for (const vek::vec2& p : path.m_Points) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

TEST_F(Rules, HostileProfileValuesAreBounded)
{
    EXPECT_EQ(CheckProfileValues(*player), 0);

    const int32_t big = std::numeric_limits<int32_t>::max();
    player->m_iProgress = big;
    player->m_iContinueLevel = big;
    player->m_iPlayerValue = big;
    player->m_iSorts = big;
    player->m_iAnimals = big;
    player->m_iMoney = -1;
    player->m_iIslandMoney = std::numeric_limits<int32_t>::min();
    player->m_iLevelValue = -3;
    player->m_Results.assign(1000, 0);
    player->m_Times.assign(46, 1.0f);
    player->m_Values.assign(22, 1);
    player->m_AnimalCounts.assign(5, 1);
    player->m_fClock = std::nanf("");
    // The bed layout is bounded where it is used: the value stays.
    EXPECT_EQ(CheckProfileValues(*player), 12);
    EXPECT_EQ(player->m_iProgress, 45);
    EXPECT_EQ(player->m_iContinueLevel, 44);
    EXPECT_EQ(player->m_iPlayerValue, big);
    EXPECT_EQ(player->m_iSorts, 7);
    EXPECT_EQ(player->m_iAnimals, 3);
    EXPECT_EQ(player->m_iMoney, 0);
    EXPECT_EQ(player->m_iIslandMoney, 0);
    EXPECT_EQ(player->m_iLevelValue, 0);
    EXPECT_EQ(player->m_Results.size(), 45u);
    EXPECT_EQ(player->m_Times.size(), 45u);
    EXPECT_EQ(player->m_Values.size(), 21u);
    EXPECT_EQ(player->m_AnimalCounts.size(), 4u);
    EXPECT_EQ(player->m_fClock, 0.0f);
    EXPECT_EQ(CheckProfileValues(*player), 0);

    // The same values saved and loaded again come back bounded.
    player->m_iProgress = big;
    player->m_iContinueLevel = big;
    player->m_iSorts = big;
    player->m_iAnimals = -big;
    player->m_iMoney = -big;
    player->m_Results.assign(200, 0);
    player->m_iPlayerValue = big;
    game->m_BedLayouts.assign(3, cBedLayout());
    ASSERT_TRUE(player->SavePlayer());
    ASSERT_TRUE(player->SaveGame(-1));
    {
        // Values of "player.dat" out of range after reading mean a file read
        // from the wrong bytes: none is kept, nor is the file written over
        // unseen. "save.dat", whose layout is beyond what the levels won
        // grant, keeps its defaults whole.
        cPlayer loaded("plrrules");
        ASSERT_TRUE(loaded.LoadPlayer());
        EXPECT_EQ(loaded.m_iProgress, 0);
        EXPECT_EQ(loaded.m_iContinueLevel, -1);
        EXPECT_TRUE(loaded.m_Results.empty());
        ASSERT_TRUE(loaded.LoadGame(-1));
        EXPECT_EQ(loaded.m_iSorts, 0);
        EXPECT_EQ(loaded.m_iAnimals, -1);
        EXPECT_EQ(loaded.m_iMoney, 0);
        EXPECT_EQ(loaded.m_fClock, 0.0f);
        EXPECT_EQ(loaded.m_iPlayerValue, 0);
        EXPECT_EQ(CheckProfileValues(loaded), 0);
        const std::string bad = vektest::ReadFile(dir + "/profile/plrrules/player.dat");
        ASSERT_TRUE(loaded.SavePlayer());
        EXPECT_EQ(vektest::ReadFile(dir + "/profile/plrrules/player.dat.bad"), bad);
    }
    CheckProfileValues(*player);

    player->m_iContinueLevel = -7;
    player->m_iAnimals = -2;
    player->m_fClock = -1.0f;
    player->m_iPlayerValue = 9;
    EXPECT_EQ(CheckProfileValues(*player), 3);
    EXPECT_EQ(player->m_iContinueLevel, -1);
    EXPECT_EQ(player->m_iAnimals, -1);
    EXPECT_EQ(player->m_fClock, 0.0f);
    EXPECT_EQ(player->m_iPlayerValue, 9);
    player->m_iPlayerValue = -1;
    EXPECT_EQ(CheckProfileValues(*player), 1);
    EXPECT_EQ(player->m_iPlayerValue, 0);
}

} // namespace
