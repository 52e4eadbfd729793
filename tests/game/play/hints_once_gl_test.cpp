// The screen hints that come once per profile, met where a player meets
// them: the new people's ship after the first building, the bigger
// basket's hint at a level's start, the medal slipping to silver and to
// bronze.
// After a restart of the program none of them comes again. A hint that
// waits for its "OK" holds the level clock until it is closed, with one
// click.
#include "lesson_player.h"

#include "game/play/level_bot.h"

using namespace lessontest;

namespace {

class HintsOnce : public LessonPlayer {
protected:
    // The level runs with the player idle but for reading the hints.
    void IdleUntil(float clock)
    {
        ASSERT_TRUE(RunUntil(
            [&] {
                CloseHint();
                return Clock() >= clock;
            },
            static_cast<int>(clock * 40.0f)));
    }
    int State(int kind) const { return Player()->m_Hints[static_cast<size_t>(kind)]; }
};

TEST_F(HintsOnce, EachComesOnceAcrossARestart)
{
    Boot();
    NewProfile("Eve");
    // The lessons stay out of the way; the screen hints do not depend on
    // them.
    SetHintsFromOptions(false);
    StartToIsland();

    EnterLevel(0);
    ASSERT_TRUE(PlayLevel());
    LeaveFinishScreen();
    // A player who bought the bigger basket after his first level; the
    // island keeps it for the next level when it moves the progress on.
    Player()->m_Upgrades.Upgrade(2);
    // The first building brings a ship with new people.
    FollowIslandSequence();
    EXPECT_EQ(m_HintsRead[2], 1);

    // Level 1: the basket's hint at the start, ships every 50 s, the medal
    // slipping to silver after 100 s and to bronze after 150 s.
    EnterLevel(1);
    ASSERT_EQ(Player()->m_Upgrades.GetLevel(2), 1);
    IdleUntil(151.0f);
    EXPECT_EQ(g_pGarden->GetMedal(), 2);
    const std::map<int, int> expected = {{0, 1}, {2, 1}, {7, 1}, {8, 1}};
    EXPECT_EQ(m_HintsRead, expected);
    for (int kind : {0, 2, 7, 8}) EXPECT_EQ(State(kind), 1) << "kind " << kind;

    Restart();
    ASSERT_NE(Player(), nullptr);
    for (int kind : {0, 2, 7, 8}) EXPECT_EQ(State(kind), 1) << "kind " << kind;
    StartToIsland();
    EnterLevel(1);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers make the long wait slow: the start's and the first
    // ship's hints are checked there, the medals only in the plain build.
    IdleUntil(51.0f);
#else
    IdleUntil(151.0f);
    EXPECT_EQ(g_pGarden->GetMedal(), 2);
#endif
    EXPECT_EQ(m_HintsRead, expected) << "no hint came again";
    EXPECT_FALSE(HintShown());
}

TEST_F(HintsOnce, TheBasketsHintHoldsTheClockUntilOneClickOnItsOk)
{
    Boot();
    NewProfile("Eve");
    SetHintsFromOptions(false);
    // A player who bought the bigger basket after level 4.
    gametest::cLevelBot::ReachLevel(5);
    Player()->m_Upgrades.Upgrade(2);
    ASSERT_TRUE(Player()->SavePlayer());
    Player()->SaveGame(5);
    StartToIsland();
    EnterLevel(5);
    ASSERT_TRUE(RunUntil([&] { return HintShown() && g_pGarden->m_iShownHint == 0; }, 90));

    // He reads it for a while: the level waits for him.
    const float clock = Clock();
    Run(20 * 30);
    EXPECT_EQ(Clock(), clock) << "the level clock ran while the hint waited for its OK";
    ASSERT_TRUE(ClickControl("hint", "close"));
    Run(20);
    EXPECT_FALSE(HintShown()) << "one click on the OK closes the hint";
    Run(30);
    EXPECT_GT(Clock(), clock);
}

} // namespace
