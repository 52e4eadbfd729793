// The car's check and sale against the island's factories: a sort that
// serves a product's task stays on the car only as far as the factory does
// not already hold what the task asks, and the sale delivers it there.
#include <gtest/gtest.h>

#include "game/world/level.h"
#include "game/world/rules.h"
#include "island_fixture.h"

namespace {

class RulesChain : public islandtest::IslandFixture {
protected:
    void SetUp() override
    {
        IslandFixture::SetUp();
        if (HasFatalFailure()) return;
        vektest::IslandPoints points;
        for (int i = 0; i < 45; ++i) points.levels.push_back({100.0f * static_cast<float>(i), 100.0f});
        WritePoints(points);
        MakeIsland();
        oil = static_cast<cFactory*>(m_pGarden->CreateBuilding(2, m_pIsland));  // plant01 -> product00
        ASSERT_NE(oil, nullptr);
        ASSERT_EQ(oil->GetType(), cBuild::e_typeFactory);
        plant01 = g_pWareManager->FindWare("plant01");
        product00 = g_pWareManager->FindWare("product00");
        ASSERT_EQ(oil->iInputWare, plant01);
        ASSERT_EQ(oil->iOutputWare, product00);
    }

    cLevelTask Task(int32_t ware, int32_t amount)
    {
        cLevelTask task;
        task.iWare = ware;
        task.iAmount = amount;
        return task;
    }

    cFactory* oil = nullptr;
    int32_t plant01 = NO_WARE;
    int32_t product00 = NO_WARE;
};

TEST_F(RulesChain, CarKeepsWhatTheFactoryStillNeedsAndSellsItThere)
{
    m_pPlayer->m_Tasks = {Task(product00, 3)};
    oil->iUnits = 1;
    EXPECT_EQ(m_pGarden->FindTaskForWare(plant01), &m_pPlayer->m_Tasks[0]);
    EXPECT_EQ(m_pGarden->CountWareInChain(plant01), 1);
    // Not a sort: no chain counted.
    EXPECT_EQ(m_pGarden->CountWareInChain(product00), 0);

    m_pPlayer->m_CarLoad = {plant01, plant01, plant01, plant01, plant01};
    EXPECT_TRUE(m_pGarden->CheckCarLoad());
    // Three wanted, one already in the factory: two stay.
    EXPECT_EQ(m_pPlayer->m_CarLoad, (std::vector<int32_t>{plant01, plant01}));

    EXPECT_EQ(m_pGarden->SellCarLoad(), 0);
    EXPECT_EQ(oil->iUnits, 3);
    EXPECT_TRUE(m_pPlayer->m_CarLoad.empty());
    // The product's task is not closed by wares for its factory.
    EXPECT_EQ(m_pPlayer->m_Tasks[0].iWare, product00);
}

TEST_F(RulesChain, WithoutATaskForTheProductTheFactoryGetsNothing)
{
    m_pPlayer->m_Tasks = {};
    m_pPlayer->m_CarLoad = {plant01};
    EXPECT_FALSE(m_pGarden->CheckCarLoad());
    m_pPlayer->m_CarLoad = {plant01};
    EXPECT_EQ(m_pGarden->SellCarLoad(), 0);
    EXPECT_EQ(oil->iUnits, 0);
}

TEST_F(RulesChain, WaresInFlightCountTowardTheChainAndAClearedIslandDropsThem)
{
    cLevel level;
    m_pGarden->m_pLevel = &level;
    level.AddWareFlight(product00, 2, oil, 0, nullptr);
    level.AddWareFlight(plant01, 0, nullptr, 1, nullptr);
    EXPECT_EQ(m_pGarden->CountWareInChain(plant01), 1);
    // The island's factories go: flights bound to one go with them.
    m_pIsland->ClearBuildings();
    ASSERT_EQ(level.GetWareFlights().size(), 1u);
    EXPECT_EQ(level.GetWareFlights()[0].iWare, plant01);
    m_pGarden->m_pLevel = nullptr;
}

} // namespace
