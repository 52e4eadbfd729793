// The first level won on a fresh profile by injected mouse events only,
// with the hints turned off on the options screen: quickly for gold, and
// with a player who dawdles between actions for silver and for bronze.
// The field shows each tool with its own picture, and each sale's "+$"
// rises from the car where the level's income popup puts it.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/graphics/draw2d.h"
#include "game/play/level_bot.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"

using namespace gametest;

namespace {

class FirstLevel : public PackGame {
protected:
    // A fresh profile, the hints off, level 0 started from the level map.
    void StartLevelZero(cLevelBot& bot)
    {
        ASSERT_TRUE(bot.Boot()) << bot.Log();
        ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
        ASSERT_TRUE(bot.StartLevel(0)) << bot.Log();
        cPlayer* player = cLevelBot::Player();
        ASSERT_NE(player, nullptr);
        ASSERT_EQ(player->m_iLevel, 0);
        ASSERT_EQ(cLevelBot::Beds().size(), 3u);
        // What the finish writes is checked against files that are gone.
        const std::string folder = Folder();
        std::remove((folder + "/save.dat").c_str());
        std::remove((folder + "/level.dat").c_str());
    }
    std::string Folder() const
    {
        const cPlayer* player = cLevelBot::Player();
        return m_strDir + "/app/profile/" + std::string(player ? player->m_strFolder : "");
    }
    // Plays to the finish screen and checks what every win leaves: the
    // screen with parameter 2, the clock in the time list, the medal by the
    // clock, the saved game and field.
    float WinAndCheck(cLevelBot& bot, int expectedMedal)
    {
        EXPECT_TRUE(bot.PlayLevel()) << bot.Log();
        cPlayer* player = cLevelBot::Player();
        EXPECT_TRUE(Shown("mission_finish"));
        EXPECT_EQ(g_pGarden->GetWindowParam(), 2);
        EXPECT_EQ(player->m_TaskSet.bDone, 1);
        EXPECT_TRUE(player->m_Tasks.empty());
        const float clock = player->m_fClock;
        RecordProperty("clock", std::to_string(clock));
        EXPECT_GE(player->m_Times.size(), 1u);
        if (!player->m_Times.empty()) {
            EXPECT_FLOAT_EQ(player->m_Times[0], clock);
        }
        EXPECT_EQ(LevelMedal(clock, 90.0f), expectedMedal) << "clock " << clock << "\n" << bot.Log();
        EXPECT_EQ(g_pGarden->GetMedal(), expectedMedal);
        EXPECT_FALSE(vektest::ReadFile(Folder() + "/save.dat").empty());
        EXPECT_FALSE(vektest::ReadFile(Folder() + "/level.dat").empty());
        return clock;
    }
};

TEST_F(FirstLevel, AQuickPlayerWinsGold)
{
    cLevelBot bot(*this);
    ASSERT_NO_FATAL_FAILURE(StartLevelZero(bot));
    // The weeding tool lies on the field as the garden sheet draws it.
    const cObject* weeder = cLevelBot::FirstOf(OBJ_TOOL_WEED);
    ASSERT_NE(weeder, nullptr);
    cSprite weed;
    ASSERT_TRUE(LookUpSprite("images00", "weed", &weed));
    EXPECT_EQ(weeder->GetTexture(), weed.iTexture);
    EXPECT_EQ(weeder->GetSize().x, weed.fWidth);
    // Where each sale's popup first shows, against the car's rectangle.
    int sales = 0;
    std::string misplaced;
    const cTextPopups* popups = g_pGarden->m_pTextPopups;
    ASSERT_NE(popups, nullptr);
    size_t before = 0;
    fnAfterFrame = [&] {
        const size_t now = popups->Count();
        if (now > before && popups->GetEntries().back().strText.rfind("+$", 0) == 0) {
            const cTextPopups::cEntry& e = popups->GetEntries().back();
            const cCar* car = bot.Car();
            const vek::vec2 size = vek::MeasureText(popups->GetFontId(), e.strText);
            const vek::rectf r = car ? car->GetRect() : vek::rectf();
            ++sales;
            if (std::fabs(e.x + size.x / 2.0f - (r.x + r.w)) > 0.5f ||
                std::fabs(e.y + size.y / 2.0f - (r.y + r.h / 2.0f)) > 0.5f)
                misplaced += std::string(e.strText) + " at " + std::to_string(e.x) + "," + std::to_string(e.y) + "\n";
        }
        before = now;
    };
    const float clock = WinAndCheck(bot, 0);
    fnAfterFrame = nullptr;
    EXPECT_LE(clock, 90.0f);
    EXPECT_GT(sales, 0);
    EXPECT_TRUE(misplaced.empty()) << misplaced;
    // No warning once the game runs.
    const std::vector<std::string> warnings = cLevelBot::PlayWarnings(HtmlLog());
    EXPECT_TRUE(warnings.empty()) << cLevelBot::Lines(warnings);
}

// The slowed runs play the same code as the quick one for two and three
// minutes of game time; under the sanitizers the quick run alone keeps the
// program fast.
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(FirstLevel, ASlowPlayerWinsSilver)
{
    cLevelBot bot(*this);
    ASSERT_NO_FATAL_FAILURE(StartLevelZero(bot));
    bot.iIdleFrames = 30 * 5;
    const float clock = WinAndCheck(bot, 1);
    EXPECT_GT(clock, 90.0f);
    EXPECT_LT(clock, 135.0f);
}

TEST_F(FirstLevel, ASlowerPlayerWinsBronze)
{
    cLevelBot bot(*this);
    ASSERT_NO_FATAL_FAILURE(StartLevelZero(bot));
    bot.iIdleFrames = 30 * 9;
    const float clock = WinAndCheck(bot, 2);
    EXPECT_GE(clock, 135.0f);
}
#endif

} // namespace
