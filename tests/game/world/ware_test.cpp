#include "game/world/ware.h"

#include <gtest/gtest.h>

namespace {

struct WareManagerFixture : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(CreateWareManager()); }
    void TearDown() override
    {
        if (g_pWareManager) DestroyWareManager();
    }
};

TEST_F(WareManagerFixture, DefaultsStayOutOfTheTable)
{
    ASSERT_NE(g_pWareManager->pDefaultSort, nullptr);
    ASSERT_NE(g_pWareManager->pDefaultProduct, nullptr);
    EXPECT_EQ(g_pWareManager->pDefaultSort->strName, "default");
    EXPECT_EQ(g_pWareManager->DefaultProduct()->GetType(), 0x80000002u);
    EXPECT_FLOAT_EQ(g_pWareManager->DefaultSort()->fGrowthTime, 3.0f);
    EXPECT_TRUE(g_pWareManager->vecWares.empty());
    EXPECT_EQ(g_pWareManager->FindWare("default"), NO_WARE);
    EXPECT_EQ(g_pWareManager->FindWare(""), NO_WARE);
}

TEST_F(WareManagerFixture, WaresRegisterInCreationOrder)
{
    new cSort("plant00", "Tomato");
    new cProduct("product00", "OliveOil");
    new cWare("egg", "Egg");
    cWare* unnamed = new cWare("", "never registered");  // stays out of the table
    EXPECT_EQ(g_pWareManager->vecWares.size(), 3u);
    EXPECT_EQ(g_pWareManager->FindWare("plant00"), 0);
    EXPECT_EQ(g_pWareManager->FindWare("egg"), 2);
    EXPECT_EQ(g_pWareManager->FindWare("EGG"), NO_WARE);  // names are case-sensitive
    EXPECT_EQ(g_pWareManager->GetWare(2)->iIndex, 2);
    delete unnamed;
}

TEST_F(WareManagerFixture, BadLookupsNeverFail)
{
    new cSort("plant00", "Tomato");
    new cProduct("product00", "OliveOil");
    cWare* empty = g_pWareManager->GetWare(NO_WARE);
    EXPECT_TRUE(empty->strName.empty());
    EXPECT_EQ(empty->iPrice, 0);
    EXPECT_EQ(g_pWareManager->GetWare(static_cast<uint32_t>(-1)), empty);
    // A product is not a sort: the default sort stands in.
    EXPECT_EQ(g_pWareManager->GetSort(1), g_pWareManager->DefaultSort());
    EXPECT_EQ(g_pWareManager->GetSort(0)->strName, "plant00");
    EXPECT_EQ(g_pWareManager->GetSort(99), g_pWareManager->DefaultSort());
}

TEST(WareManager, CreateAndDestroyAreRefusedTwice)
{
    ASSERT_TRUE(CreateWareManager());
    cWareManager* first = g_pWareManager;
    EXPECT_FALSE(CreateWareManager());
    EXPECT_EQ(g_pWareManager, first);
    EXPECT_TRUE(DestroyWareManager());
    EXPECT_EQ(g_pWareManager, nullptr);
    EXPECT_FALSE(DestroyWareManager());
}

} // namespace

namespace {

TEST_F(WareManagerFixture, CatalogueFillsTheTableInIndexOrder)
{
    CreateWares();
    ASSERT_EQ(g_pWareManager->vecWares.size(), 21u);
    EXPECT_EQ(g_pWareManager->FindWare("plant00"), 0);
    EXPECT_EQ(g_pWareManager->FindWare("product01_1"), 12);
    EXPECT_EQ(g_pWareManager->FindWare("nib"), 20);
    EXPECT_EQ(g_pWareManager->GetWare(20)->iPrice, 60);
    EXPECT_EQ(g_pWareManager->GetWare(17)->GetType(), 0x80000000u);  // animal products are plain wares
    EXPECT_EQ(g_pWareManager->GetWare(8)->GetType(), 0x80000002u);
    EXPECT_EQ(g_pWareManager->GetSort(8), g_pWareManager->DefaultSort());
    const cSort* flowers = g_pWareManager->GetSort(15);
    EXPECT_EQ(flowers->strName, "flowers");
    EXPECT_EQ(flowers->vecNeedIntervals, (std::vector<int32_t>{2, 0}));
    const cSort* pineapple = g_pWareManager->GetSort(7);
    EXPECT_FLOAT_EQ(pineapple->fGrowthTime, 8.5f);
    EXPECT_EQ(pineapple->iPrice, 40);
    EXPECT_FALSE(g_pWareManager->GetWare(0)->strTitle.empty());
}

} // namespace
