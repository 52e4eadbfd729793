#include "game/world/balance.h"

#include <gtest/gtest.h>

namespace {

TEST(GameBalance, TablesHoldTheirValuesAndNothingPastTheEnds)
{
    const cGameBalance b;
    EXPECT_FLOAT_EQ(GetUpgradeValue(b.vecWalkSpeed, 0), 280.0f);
    EXPECT_FLOAT_EQ(GetUpgradeValue(b.vecWalkSpeed, 3), 370.0f);
    EXPECT_EQ(GetUpgradeValue(b.vecWaterCapacity, 0), 3);
    EXPECT_EQ(GetUpgradeValue(b.vecWaterCapacity, 3), 6);
    EXPECT_EQ(GetUpgradeValue(b.vecBinCapacity, 2), 5);
    EXPECT_FLOAT_EQ(GetUpgradeValue(b.vecWaterTime, 3), 0.4f);
    EXPECT_FLOAT_EQ(GetUpgradeValue(b.vecWeedTime, 1), 0.8f);
    EXPECT_FLOAT_EQ(GetUpgradeValue(b.vecWorkTime, 0), 0.9f);
    EXPECT_FLOAT_EQ(b.fPumpWait, 0.3f);

    // A damaged upgrade level reads 0, never outside the table.
    for (int level : {4, 100, -1, -2147483647 - 1}) {
        EXPECT_EQ(GetUpgradeValue(b.vecWalkSpeed, level), 0.0f) << level;
        EXPECT_EQ(GetUpgradeValue(b.vecWaterCapacity, level), 0) << level;
    }
}

TEST(GameBalance, AnimalPricesByKind)
{
    const cGameBalance b;
    EXPECT_EQ(b.GetAnimalPrice(0), 100);
    EXPECT_EQ(b.GetAnimalPrice(1), 200);
    EXPECT_EQ(b.GetAnimalPrice(2), 300);
    EXPECT_EQ(b.GetAnimalPrice(3), 400);
    EXPECT_EQ(b.GetAnimalPrice(4), 0);
    EXPECT_EQ(b.GetAnimalPrice(-1), 0);
}

} // namespace
