// The island's model: which buildings the progress has built, the people
// they hold, the lookups over the building list, the areas, and clearing
// the buildings while other parts of the game point at them.
#include "game/world/island.h"
#include "game/world/level_defs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "island_fixture.h"

using namespace islandtest;
using vektest::IslandPlacement;

namespace {

class Island : public IslandFixture {
protected:
    // Level i's map point at (100 i, 100); one big area over the landing
    // column and the gathering point, a small one elsewhere.
    void SetUp() override
    {
        IslandFixture::SetUp();
        if (HasFatalFailure()) return;
        vektest::IslandPoints points;
        for (int i = 0; i < 45; ++i) points.levels.push_back({100.0f * static_cast<float>(i), 100.0f});
        points.areas = {vektest::SquareArea(0, 1000, 1000), vektest::SquareArea(2000, 0, 300)};
        points.route = {{0, 0}, {10, 10}};
        WritePoints(points);
    }
    // A building of that name centred on the point of a level.
    static IslandPlacement At(const std::string& name, uint32_t value, uint32_t kind, int level)
    {
        return {name, value, kind, 100.0f * static_cast<float>(level) - 50.0f, 50.0f};
    }
    cIsland* Load(const std::vector<IslandPlacement>& records)
    {
        WriteGlobal(records);
        cIsland* island = MakeIsland();
        island->LoadGlobal();
        return island;
    }
};

TEST_F(Island, TheProgressBuildsWhatEarlierLevelsMadeAvailable)
{
    cIsland* island = Load({At("house00", 0, 3, 0), At("market00", 0, 3, 1), At("factory00", 0, 4, 2),
                            At("market01", 0, 3, 9), At("market01", 1, 3, 4), At("house99", 0, 3, 3)});
    m_pPlayer->m_iProgress = 2;
    m_pPlayer->m_iLevel = 2;
    island->iMode = cIsland::e_modeIsland;
    island->UpdateHouses();
    auto state = [&](const char* name, int value) { return island->FindPlacedBuilding(name, value)->iState; };
    auto available = [&](const char* name, int value) { return island->FindPlacedBuilding(name, value)->bAvailable; };
    EXPECT_EQ(state("house00", 0), 2);
    EXPECT_EQ(state("market00", 0), 2);
    EXPECT_EQ(available("market00", 0), 1);
    EXPECT_EQ(state("factory00", 0), 0);
    EXPECT_EQ(available("factory00", 0), 0);
    EXPECT_EQ(state("market01", 0), 0);
    EXPECT_EQ(Logged("UpdateHouses: unuseful house found - house99"), 1);
    EXPECT_EQ(island->FindLevelSpot(*island->FindPlacedBuilding("market01", 0)), 9);
    EXPECT_EQ(island->FindLevelSpot(*island->FindPlacedBuilding("market01", 1)), 4);
    EXPECT_EQ(island->GetLevelHouse(4), island->FindPlacedBuilding("market01", 1));
    EXPECT_EQ(island->GetLevelHouse(3), nullptr);

    // On the result screen of the newest level its building waits to be bought.
    island->iMode = cIsland::e_modeLevel;
    island->UpdateHouses();
    EXPECT_EQ(state("factory00", 0), 0);
    EXPECT_EQ(available("factory00", 0), 1);
    // A replayed level makes nothing new available.
    m_pPlayer->m_iLevel = 1;
    island->UpdateHouses();
    EXPECT_EQ(available("factory00", 0), 0);
    // Whether a house is built follows from the progress alone.
    m_pPlayer->m_iProgress = 0;
    island->UpdateHouses();
    EXPECT_EQ(state("house00", 0), 0);
    EXPECT_FALSE(island->IsHouseBuilt("house00"));
    m_pPlayer->m_iProgress = 10;
    island->UpdateHouses();
    EXPECT_TRUE(island->IsHouseBuilt("market01"));
    EXPECT_FALSE(island->IsHouseBuilt("house03"));
    EXPECT_EQ(state("house99", 0), 0);  // left as it was
}

TEST_F(Island, PeopleLiveInTheBuiltHousesAndArriveByShip)
{
    cIsland* island = Load({At("house00", 0, 3, 0), At("house01", 0, 3, 6), At("house01", 1, 3, 8),
                            At("market00", 0, 3, 1), At("house02", 0, 3, 14)});
    m_pPlayer->m_iProgress = 9;
    island->UpdateHouses();
    EXPECT_EQ(island->CountPeople(), 3);  // 1 + 1 + 1; markets bring no people
    int count = 0, stars = 0;
    EXPECT_TRUE(island->GetIslandRate(&count, &stars));
    EXPECT_EQ(count, 4);
    EXPECT_EQ(stars, 4);

    island->AddPeople(1, island->CountPeople());
    ASSERT_EQ(island->GetWalkMap().GetFollowerCount(), 3u);
    for (const cWalker& w : island->GetWalkMap().GetFollowers()) {
        bool atBuilt = false;
        for (const cHouse* b : island->GetBuildings())
            if (b->iState == 2 && w.pos == b->GetCenter()) atBuilt = true;
        EXPECT_TRUE(atBuilt);
    }
    island->GetWalkMap().ClearFollowers();
    island->AddPeople(1, 1);
    EXPECT_EQ(island->GetWalkMap().GetFollowers().front().pos, cWalkMap::kGatheringPoint);
    island->GetWalkMap().ClearFollowers();

    // From a ship: a column below the landing point, each on its way.
    island->AddPeople(0, 3);
    int i = 0;
    for (const cWalker& w : island->GetWalkMap().GetFollowers()) {
        EXPECT_EQ(w.pos, vek::vec2(412.0f, 1971.0f - 20.0f * static_cast<float>(i)));
        ASSERT_EQ(w.uKeyCount, 2u);
        EXPECT_EQ(w.keys[1], cWalkMap::kGatheringPoint);
        ++i;
    }
    island->AddPeople(5, 3);
    EXPECT_EQ(island->GetWalkMap().GetFollowerCount(), 3u);
}

TEST_F(Island, AfterTheLastLevelTheStatueStaysBuiltThroughAReload)
{
    WriteGlobal({At("statue00", 0, 3, 44), At("house05", 0, 3, 43)});
    cIsland* island = MakeIsland();
    m_pPlayer->m_iProgress = 45;
    m_pPlayer->m_iLevel = 44;
    island->Load(-1);
    ASSERT_TRUE(island->Save(-1));
    island->Load(-1);
    EXPECT_TRUE(island->IsHouseBuilt("statue00"));
    EXPECT_EQ(island->FindPlacedBuilding("statue00", 0)->GetCurrentSprite().counter.iFrame, 4);
    EXPECT_EQ(island->CountPeople(), 3);
    EXPECT_EQ(island->GetWalkMap().GetFollowerCount(), 3u);
}

TEST_F(Island, LookupsOverTheBuildingList)
{
    cIsland* island = Load({At("factory00", 4, 4, 2), At("factory01", 0, 4, 7), At("factory01_1", 2, 4, 11)});
    EXPECT_EQ(island->FindFactoryByInput(g_pWareManager->FindWare("plant01")), island->FindPlacedBuilding("factory00", 4));
    EXPECT_EQ(island->FindFactoryByInput(g_pWareManager->FindWare("product01")),
              island->FindPlacedBuilding("factory01_1", 2));
    EXPECT_EQ(island->FindFactoryByOutput(g_pWareManager->FindWare("product01")),
              island->FindPlacedBuilding("factory01", 0));
    EXPECT_EQ(island->FindFactoryByOutput(g_pWareManager->FindWare("product03")), nullptr);
    EXPECT_EQ(island->FindFactoryByInput(NO_WARE), nullptr);
    EXPECT_EQ(island->FindPlacedBuilding("factory00", 0), nullptr);

    // New buildings never share their key with another.
    EXPECT_EQ(island->GetMaxIslandValue(), 4);
    cHouse* made = m_pGarden->CreateBuilding(1, island);
    EXPECT_EQ(made->iIslandValue, 5);
    made->iIslandValue = 999999;
    EXPECT_EQ(m_pGarden->CreateBuilding(1, island)->iIslandValue, 0);
    island->ClearBuildings();
    EXPECT_EQ(island->GetMaxIslandValue(), -1);
    EXPECT_EQ(m_pGarden->CreateBuilding(0, island)->iIslandValue, 0);
    EXPECT_EQ(m_pGarden->CreateBuilding(0, island)->iIslandValue, 1);
}

TEST_F(Island, AreasAndRectangles)
{
    cIsland* island = MakeIsland();
    EXPECT_EQ(island->FindAreaForRect(vek::rectf(100, 1100, 50, 50)), 0u);
    EXPECT_EQ(island->FindAreaForRect(vek::rectf(2100, 100, 50, 50)), 1u);
    EXPECT_EQ(island->FindAreaForRect(vek::rectf(950, 1100, 100, 50)), 2u);  // a corner outside
    EXPECT_EQ(island->FindAreaForRect(vek::rectf(5000, 5000, 1, 1)), 2u);

    const vek::rectf r(10, 10, 20, 20);
    EXPECT_TRUE(r.Contains(15, 15));
    EXPECT_FALSE(r.Contains(10, 15));  // on an edge
    EXPECT_FALSE(r.Contains(15, 30));
    EXPECT_TRUE(r.Intersects(vek::rectf(29, 29, 5, 5)));
    EXPECT_FALSE(r.Intersects(vek::rectf(30, 10, 5, 5)));  // sharing an edge
    EXPECT_FALSE(r.Intersects(vek::rectf(10, 30, 5, 5)));
    cHouse h("house00", "");
    h.rect = r;
    EXPECT_EQ(h.HitTest(15, 15), 1);
    EXPECT_EQ(h.HitTest(vek::vec2(30, 15)), 0);
    EXPECT_TRUE(h.IsNear(vek::vec2(20, 20), 14.2f));
    EXPECT_FALSE(h.IsNear(vek::vec2(20, 20), 14.1f));
    h.MoveBy(vek::vec2(5, -5));
    EXPECT_TRUE(h.Overlaps(vek::rectf(34, 24, 1, 1)));
    EXPECT_FALSE(h.Overlaps(vek::rectf(34, 25, 1, 1)));
}

TEST_F(Island, ReloadingLetsGoOfEverythingThatPointedAtTheBuildings)
{
    WriteGlobal({At("house00", 0, 3, 0), At("factory00", 0, 4, 2), At("market00", 0, 3, 1)});
    cIsland* island = MakeIsland();
    island->Load(-1);
    int cleared = 0;
    island->hooks.buildingsCleared = [&] { ++cleared; };
    island->pHovered = island->FindPlacedBuilding("factory00", 0);
    island->pSelected = island->FindPlacedBuilding("market00", 0);
    island->iPlacing = 1;
    cLevelTask task;
    int panel = 0;
    task.pFactory = reinterpret_cast<cFactoryPanel*>(&panel);
    task.pInputFactory = reinterpret_cast<cFactoryPanel*>(&panel);
    m_pPlayer->m_Tasks.push_back(task);
    island->Load(-1);
    EXPECT_GE(cleared, 1);
    EXPECT_EQ(island->pHovered, nullptr);
    EXPECT_EQ(island->pSelected, nullptr);
    EXPECT_EQ(island->iPlacing, 0);
    EXPECT_EQ(m_pPlayer->m_Tasks[0].pFactory, nullptr);
    EXPECT_EQ(m_pPlayer->m_Tasks[0].pInputFactory, nullptr);
    for (int i = 0; i < 30; ++i) island->TickWorld();

    // A building deleted on its own leaves the selection too.
    island->pSelected = island->FindPlacedBuilding("market00", 0);
    island->pHovered = island->pSelected;
    delete island->pSelected;
    EXPECT_EQ(island->pSelected, nullptr);
    EXPECT_EQ(island->pHovered, nullptr);
    EXPECT_EQ(island->GetBuildings().size(), 2u);
}

TEST_F(Island, TheLevelMapRestartsTheHintDelay)
{
    cIsland* island = MakeIsland();
    island->SetMode(cIsland::e_modeIsland);
    EXPECT_EQ(island->iMode, 1);
    EXPECT_FLOAT_EQ(island->hintTimer.m_To, 1.5f);
    EXPECT_EQ(GetLevelBuilding(0), "house00");
    EXPECT_EQ(GetLevelBuilding(33), "factory03_1");
    EXPECT_EQ(GetLevelBuilding(44), "statue00");
    EXPECT_EQ(GetLevelBuilding(45), "");
    EXPECT_EQ(GetLevelBuilding(-1), "");
}

} // namespace
