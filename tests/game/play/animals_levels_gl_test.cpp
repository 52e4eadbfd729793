// Levels that ask for animal products, played from the profile a player
// reaching them would have: the scripted player buys the animals and the
// hive from the garden toolbar, sows their grass and flowers, picks up the
// eggs, milks the goat, takes the honey and carries it all to the car.
#include <gtest/gtest.h>

#include <string>

#include "game/play/level_bot.h"

using namespace gametest;

namespace {

class AnimalLevels : public PackGame {
protected:
    void StartAt(cLevelBot& bot, int level)
    {
        cLevelBot::ForgetProcessCaches();
        StartOnPack();
        m_pGame->iDrawInterval = 60;
        ASSERT_TRUE(RunToMainMenu(3000));
        Run(20);
        ASSERT_TRUE(bot.MakeProfile("Zed")) << bot.Log();
        ASSERT_TRUE(bot.HintsOff()) << bot.Log();
        cLevelBot::ReachLevel(level);
        ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
        ASSERT_TRUE(bot.StartLevel(level)) << bot.Log();
        ASSERT_EQ(cLevelBot::Player()->m_iLevel, level);
    }
    // The log lines holding the text, and the level clock of the first.
    static int Count(const cLevelBot& bot, const std::string& text, float* first = nullptr)
    {
        int n = 0;
        for (const std::string& line : bot.log) {
            if (line.find(text) == std::string::npos) continue;
            if (n++ == 0 && first) *first = std::stof(line);
        }
        return n;
    }
    static bool Won() { return g_pGarden->GetWindowParam() == 2; }
};

// Free range: fifteen eggs and ten milks, from an ostrich and a goat bought
// with the level's money and fed on grass.
TEST_F(AnimalLevels, EggsAndMilkFromAnOstrichAndAGoatFedOnGrass)
{
    cLevelBot bot(*this);
    ASSERT_NO_FATAL_FAILURE(StartAt(bot, 17));
    ASSERT_TRUE(g_pGarden->m_bFreeRange != 0);
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log(100000);
    EXPECT_TRUE(Won());
    EXPECT_GE(Count(bot, "buy egg giver"), 1) << bot.Log();
    EXPECT_GE(Count(bot, "buy milk giver"), 1) << bot.Log();
    EXPECT_GE(Count(bot, "sow grass"), 2) << bot.Log();
    EXPECT_GE(Count(bot, "click product"), 15) << bot.Log();
    EXPECT_GE(Count(bot, "click goat"), 10) << bot.Log();
}

// Crops first; eggs join at 20 s and honey at 90 s: the hive is bought
// once its task is there, flowers go beside it, and its bee's honey is
// taken four times.
TEST_F(AnimalLevels, CropsEggsAndHoneyFromAHiveWithFlowers)
{
    cLevelBot bot(*this);
    ASSERT_NO_FATAL_FAILURE(StartAt(bot, 25));
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log(100000);
    EXPECT_TRUE(Won());
    float ostrich = 0.0f, hive = 0.0f;
    EXPECT_GE(Count(bot, "buy egg giver", &ostrich), 1) << bot.Log();
    EXPECT_GE(ostrich, 20.0f) << "bought for the egg task";
    EXPECT_GE(Count(bot, "buy honey giver", &hive), 1) << bot.Log();
    EXPECT_GE(hive, 90.0f) << "bought for the honey task";
    EXPECT_GE(Count(bot, "sow flowers"), 1) << bot.Log();
    EXPECT_GE(Count(bot, "click hive"), 4) << bot.Log();
}

} // namespace
