// A late level whose four crops join one after another at 0, 30, 60 and 90
// seconds of level clock, played from the profile a player reaching it
// would have: every sort unlocked, the last bed layout, the island built up
// to it (the view scrolls to its point on the map).
#include <gtest/gtest.h>

#include "game/play/level_bot.h"
#include "game/world/level_defs.h"

using namespace gametest;

namespace {

constexpr int kLevel = 37;

class TimedTasks : public PackGame {};

TEST_F(TimedTasks, FourCropsJoiningAtTheirTimesAreAllDelivered)
{
    cLevelBot bot(*this);
    ASSERT_TRUE(bot.Boot()) << bot.Log();
    cLevelBot::ReachLevel(kLevel);
    cPlayer* player = cLevelBot::Player();
    ASSERT_EQ(player->m_iSorts, 7);
    ASSERT_EQ(static_cast<size_t>(player->m_iPlayerValue) + 1, g_pGarden->GetBedLayouts().size());
    ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
    // When each task joined, by the level clock.
    const cLevelDef& def = GetLevelDef(kLevel);
    ASSERT_EQ(def.vecTasks.size(), 4u);
    std::vector<float> joined(4, -1.0f);
    fnAfterFrame = [&] {
        for (size_t i = 0; i < 4; ++i)
            if (player->m_iLevel == kLevel && joined[i] < 0.0f && player->m_iLevelValue > static_cast<int32_t>(i))
                joined[i] = player->m_fClock;
    };
    // Watched from the level's first frame on.
    ASSERT_TRUE(bot.StartLevel(kLevel)) << bot.Log();
    ASSERT_EQ(player->m_iLevel, kLevel);
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
    fnAfterFrame = nullptr;

    for (size_t i = 0; i < 4; ++i) {
        EXPECT_GE(joined[i], def.vecTasks[i].fTime) << "task " << i;
        EXPECT_LT(joined[i], def.vecTasks[i].fTime + 0.2f) << "task " << i;
    }
    EXPECT_EQ(g_pGarden->GetWindowParam(), 2);
    EXPECT_TRUE(player->m_Tasks.empty());
    ASSERT_GE(player->m_Times.size(), static_cast<size_t>(kLevel + 1));
    EXPECT_FLOAT_EQ(player->m_Times[kLevel], player->m_fClock);
    RecordProperty("clock", std::to_string(player->m_fClock));
}

} // namespace
