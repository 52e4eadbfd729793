#include "game/world/balance.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/shell/garden.h"

namespace {

TEST(GameBalance, EveryUpgradeLevelSelectsItsValue)
{
    const cGameBalance b;
    // What each of the six upgrades selects at levels 0 to 3.
    EXPECT_EQ(b.vecWaterCapacity, (std::vector<int32_t>{3, 4, 5, 6}));
    EXPECT_EQ(b.vecBinCapacity, (std::vector<int32_t>{3, 4, 5, 6}));
    const std::vector<std::pair<const std::vector<float>*, std::vector<float>>> floats = {
        {&b.vecWalkSpeed, {280.0f, 310.0f, 340.0f, 370.0f}},
        {&b.vecWaterTime, {1.1f, 0.8f, 0.6f, 0.4f}},
        {&b.vecWeedTime, {1.1f, 0.8f, 0.6f, 0.4f}},
        {&b.vecWorkTime, {0.9f, 0.7f, 0.5f, 0.4f}},
    };
    for (const auto& [table, expected] : floats)
        for (int level = 0; level < 4; ++level)
            EXPECT_FLOAT_EQ(GetUpgradeValue(*table, level), expected[static_cast<size_t>(level)]) << level;
    for (int level = 0; level < 4; ++level) {
        EXPECT_EQ(GetUpgradeValue(b.vecWaterCapacity, level), 3 + level);
        EXPECT_EQ(GetUpgradeValue(b.vecBinCapacity, level), 3 + level);
    }
    EXPECT_FLOAT_EQ(b.fPumpWait, 0.3f);

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
