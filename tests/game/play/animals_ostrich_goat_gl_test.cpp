// A level that asks for eggs and milk, played from the profile a player
// reaching it would have: the scripted player buys an ostrich and a goat
// from the garden toolbar, sows their grass, picks up the eggs, milks the
// goat and carries it all to the car.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/play/level_bot.h"

using namespace gametest;

namespace {

class AnimalLevels : public PackGame {
protected:
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
    ASSERT_TRUE(bot.BootAtLevel(17)) << bot.Log();
    ASSERT_TRUE(g_pGarden->m_bFreeRange != 0);
#if defined(__SANITIZE_ADDRESS__)
    // The whole level is slow under the sanitizers: there the run ends once
    // a third of the eggs and the milk have been sold.
    cPlayer* player = cLevelBot::Player();
    const auto left = [&](const char* ware) {
        const cLevelTask* task = FindTaskByWare(player->m_Tasks, g_pWareManager->FindWare(ware));
        return task ? task->iAmount : 0;
    };
    ASSERT_TRUE(bot.PlayUntil([&] { return left("egg") <= 10 && left("milk") <= 7; }, 30 * 300)) << bot.Log(100000);
    EXPECT_GE(Count(bot, "click product"), 5) << bot.Log();
    EXPECT_GE(Count(bot, "click goat"), 3) << bot.Log();
#else
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log(100000);
    EXPECT_TRUE(Won());
    EXPECT_GE(Count(bot, "click product"), 15) << bot.Log();
    EXPECT_GE(Count(bot, "click goat"), 10) << bot.Log();
#endif
    EXPECT_GE(Count(bot, "buy egg giver"), 1) << bot.Log();
    EXPECT_GE(Count(bot, "buy milk giver"), 1) << bot.Log();
    EXPECT_GE(Count(bot, "sow grass"), 2) << bot.Log();
    // No warning once the game runs.
    const std::vector<std::string> warnings = cLevelBot::PlayWarnings(HtmlLog());
    EXPECT_TRUE(warnings.empty()) << cLevelBot::Lines(warnings);
}

} // namespace
