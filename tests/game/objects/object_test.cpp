#include "game/objects/object.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/world/balance.h"
#include "game/world/level.h"

namespace {

struct Counted : cObject {
    Counted(cLevel* level, int* deaths) : cObject(level), pDeaths(deaths) {}
    ~Counted() override { ++*pDeaths; }
    int* pDeaths;
};

TEST(LevelObjects, TheFieldHoldsAndReportsItsObjects)
{
    cLevel level;
    EXPECT_EQ(level.GetName(), "garden");
    cObject* none = level.GetObject(0);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->GetType(), 0u);
    EXPECT_FALSE(level.HasObject(0));  // the null object is no object

    cGardener* gardener = new cGardener(&level);
    cToolWater* can = new cToolWater(&level);
    EXPECT_TRUE(level.HasObject(gardener->GetId()));
    EXPECT_EQ(level.GetObject(can->GetId()), can);
    EXPECT_EQ(level.FindObject(OBJ_GARDENER), gardener);
    EXPECT_EQ(level.FindObject(OBJ_TOOL), can);
    EXPECT_EQ(level.FindObject(0x02000000u), none);  // no animal product on the field

    const uint32_t canId = can->GetId();
    delete can;
    EXPECT_FALSE(level.HasObject(canId));
    EXPECT_EQ(level.GetObject(canId), none);
    EXPECT_FALSE(level.HasObject(1000));

    // Loading and saving keep the field as it is for now.
    level.Load(-1);
    level.Save(-1);
    EXPECT_TRUE(level.HasObject(gardener->GetId()));
}

TEST(LevelObjects, UpgradesReachTheGardenerAndEveryWateringCan)
{
    cLevel level;
    const cGameBalance balance;
    cGardener* gardener = new cGardener(&level);
    cToolWater* can1 = new cToolWater(&level);
    cToolWater* can2 = new cToolWater(&level);

    // What a speed and a can-volume upgrade to level 2 do to a running level.
    const uint32_t id = level.FindObject(OBJ_GARDENER)->GetId();
    ASSERT_TRUE(level.HasObject(id));
    static_cast<cGardener*>(level.GetObject(id))->SetSpeed(GetUpgradeValue(balance.vecWalkSpeed, 2));
    for (cObject* object : level.GetObjects())
        if (object->GetType() == OBJ_TOOL_WATER)
            static_cast<cToolWater*>(object)->SetCapacity(GetUpgradeValue(balance.vecWaterCapacity, 2));

    EXPECT_FLOAT_EQ(gardener->GetSpeed(), 340.0f);
    EXPECT_EQ(can1->GetCapacity(), 5);
    EXPECT_EQ(can2->GetCapacity(), 5);
    EXPECT_TRUE(can1->IsType(OBJ_TOOL));
    EXPECT_FALSE(gardener->IsType(OBJ_TOOL));
}

TEST(LevelObjects, TheFieldDeletesItsObjectsThroughTheirDestructors)
{
    int deaths = 0;
    {
        cLevel level;
        for (int i = 0; i < 4; ++i) new Counted(&level, &deaths);
        delete level.GetObject(2);
        EXPECT_EQ(deaths, 1);
    }
    EXPECT_EQ(deaths, 4);
}

} // namespace
