#include "game/world/building.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/world/ware.h"

namespace {

struct BuildingFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
    }
    void TearDown() override { DestroyWareManager(); }
};

TEST_F(BuildingFixture, CatalogueInRegistrationOrder)
{
    cBuildingRegistry registry;
    CreateBuildings(registry);
    ASSERT_EQ(registry.Count(), 22u);
    EXPECT_EQ(registry.Get(0)->GetName(), "market00");
    EXPECT_EQ(registry.Get(21)->GetName(), "statue00");
    EXPECT_EQ(registry.Get(22), nullptr);
    EXPECT_EQ(registry.Find("nothing"), nullptr);

    auto* bakery = dynamic_cast<cFactory*>(registry.Find("factory02_1"));
    ASSERT_NE(bakery, nullptr);
    EXPECT_EQ(bakery, registry.Get(13));
    EXPECT_FLOAT_EQ(bakery->fProcessTime, 4.0f);
    EXPECT_EQ(bakery->iInputWare, g_pWareManager->FindWare("product02"));
    EXPECT_EQ(bakery->iOutputWare, 13);
    EXPECT_EQ(bakery->iPrice, 400);
    EXPECT_EQ(bakery->GetValue(), cBuild::e_catFactory);

    auto* mill = dynamic_cast<cFactory*>(registry.Find("factory02"));
    ASSERT_NE(mill, nullptr);
    ASSERT_EQ(mill->vecSprites.size(), 2u);
    EXPECT_EQ(mill->vecSprites[1].second, "factory02_life");
    auto* wine = dynamic_cast<cFactory*>(registry.Find("factory03_1"));
    ASSERT_NE(wine, nullptr);
    EXPECT_EQ(wine->vecSprites[0], std::make_pair(vek::string("houses04"), vek::string("factory03")));

    auto* house = dynamic_cast<cHouse*>(registry.Find("house04"));
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(house->iIncrease, 3);
    EXPECT_EQ(house->iState, -1);
    EXPECT_EQ(registry.Find("statue00")->GetValue(), cBuild::e_catStatue);
    EXPECT_EQ(registry.Find("animals00")->GetValue(), cBuild::e_catAnimals);
    EXPECT_EQ(registry.Find("institute00")->GetValue(), cBuild::e_catInstitute);
}

struct Tracked : cFactory {
    Tracked(int* deaths) : cFactory("factory99", "t"), pDeaths(deaths) {}
    ~Tracked() override { ++*pDeaths; }
    int* pDeaths;
    std::vector<int> payload = std::vector<int>(32, 1);
};

TEST(BuildingRegistry, DeletesDefinitionsThroughTheirVirtualDestructor)
{
    int deaths = 0;
    {
        cBuildingRegistry registry;
        EXPECT_EQ(registry.Register(new Tracked(&deaths)), 0);
        EXPECT_EQ(registry.Register(new Tracked(&deaths)), 1);
        registry.Clear();
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(registry.Count(), 0u);
        registry.Register(new Tracked(&deaths));
    }
    EXPECT_EQ(deaths, 3);
}

} // namespace
