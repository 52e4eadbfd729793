#include "game/world/balance.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/shell/garden.h"

namespace {

TEST(GameBalance, EveryUpgradeLevelSelectsItsValue)
{
    const cGameBalance b;
    // Every upgrade step helps: the gardener walks faster, works and waters
    // in less time, and the can and the basket hold more.
    const std::vector<std::pair<const std::vector<float>*, float>> floats = {
        {&b.vecWalkSpeed, 1.0f}, {&b.vecWaterTime, -1.0f}, {&b.vecWeedTime, -1.0f}, {&b.vecWorkTime, -1.0f}};
    for (const auto& [table, better] : floats) {
        ASSERT_EQ(table->size(), 4u);
        for (int level = 1; level < 4; ++level) {
            const float step = GetUpgradeValue(*table, level) - GetUpgradeValue(*table, level - 1);
            EXPECT_GT(step * better, 0.0f) << level;
            EXPECT_GT(GetUpgradeValue(*table, level), 0.0f) << level;
        }
    }
    for (int level = 1; level < 4; ++level) {
        EXPECT_GT(GetUpgradeValue(b.vecWaterCapacity, level), GetUpgradeValue(b.vecWaterCapacity, level - 1));
        EXPECT_GT(GetUpgradeValue(b.vecBinCapacity, level), GetUpgradeValue(b.vecBinCapacity, level - 1));
    }
    EXPECT_GT(GetUpgradeValue(b.vecWaterCapacity, 0), 0);
    EXPECT_GT(GetUpgradeValue(b.vecBinCapacity, 0), 0);

    // A damaged upgrade level reads 0, never outside the table.
    for (int level : {4, 100, -1, -2147483647 - 1}) {
        for (const auto& entry : floats) EXPECT_EQ(GetUpgradeValue(*entry.first, level), 0.0f) << level;
        EXPECT_EQ(GetUpgradeValue(b.vecWaterCapacity, level), 0) << level;
        EXPECT_EQ(GetUpgradeValue(b.vecBinCapacity, level), 0) << level;
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

    // The game object asks its own record.
    cGarden game;
    EXPECT_EQ(game.GetAnimalPrice(2), 300);
    EXPECT_EQ(game.GetAnimalPrice(4), 0);
    EXPECT_EQ(game.GetAnimalPrice(0), game.GetBalance().iOstrichPrice);
}

} // namespace
