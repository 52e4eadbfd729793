// The second level played through the garden and score screens: the task
// lines slide in, count down, get their check marks and slide out, and the
// level is won only once the last line has left; a dawdling player sees the
// medal picture turn silver just after the gold time and is told so once.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "game/play/level_bot.h"
#include "game/screens/score_panel.h"
#include "game/screens/screen_seams.h"
#include "game/shell/texture_info.h"

using namespace gametest;

namespace {

constexpr int kLevel = 1;
constexpr float kGoldTime = 100.0f;

class TaskLines : public PackGame {
protected:
    void TearDown() override
    {
        fnAfterFrame = nullptr;
        GetScreenHooks() = cScreenHooks();
        PackGame::TearDown();
    }
    void StartLevelOne(cLevelBot& bot)
    {
        // Each test runs a game of its own.
        ASSERT_TRUE(bot.Boot()) << bot.Log();
        cLevelBot::ReachLevel(kLevel);
        ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
        GetScreenHooks().showHint = [this](int, unsigned kind) {
            ++hints[kind];
            return true;
        };
        ASSERT_TRUE(bot.StartLevel(kLevel)) << bot.Log();
        ASSERT_EQ(cLevelBot::Player()->m_iLevel, kLevel);
    }
    static std::vector<cTaskCtrl*> Lines()
    {
        std::vector<cTaskCtrl*> lines;
        for (int i = 0; i < 4; ++i)
            if (cTaskCtrl* line = GetTaskControl(i)) lines.push_back(line);
        return lines;
    }
    static vek::rectf MedalUV(const char* name)
    {
        cSprite sprite;
        if (FindSprite("icons01", name, &sprite) != e_spriteFound || !sprite.pFrames) return vek::rectf();
        return sprite.pFrames[0];
    }
    static bool SameUV(const vek::rect<float>& a, const vek::rectf& b)
    {
        return std::fabs(a.x - b.x) < 1e-4f && std::fabs(a.y - b.y) < 1e-4f && std::fabs(a.w - b.w) < 1e-4f &&
               std::fabs(a.h - b.h) < 1e-4f;
    }

    std::map<unsigned, int> hints;
};

TEST_F(TaskLines, SlideInCountDownAreCheckedAndLeaveBeforeTheWin)
{
    cLevelBot bot(*this);
    float firstShown = -1.0f;
    std::set<const cTaskCtrl*> checked, leaving;
    int wrongText = 0, uncheckedDone = 0, wonWithLine = 0;
    fnAfterFrame = [&] {
        cPlayer* player = cLevelBot::Player();
        if (!player || Focus() != "garden") return;
        for (cTaskCtrl* line : Lines()) {
            if (line->GetSlideState() != cTaskCtrl::e_slideHidden && firstShown < 0.0f) firstShown = player->m_fClock;
            if (line->GetSlideState() == cTaskCtrl::e_slideHiding) leaving.insert(line);
        }
        for (const cLevelTask& task : player->m_Tasks) {
            if (!task.pLine) continue;
            if (task.pLine->GetText() != std::to_string(task.iAmount < 0 ? 0 : task.iAmount)) ++wrongText;
            if (task.pLine->IsChecked()) checked.insert(task.pLine);
            else if (task.iAmount < 1) ++uncheckedDone;
        }
        if (player->m_TaskSet.bDone && !AllTaskLinesHidden()) ++wonWithLine;
    };
    // Watched from the level's first frame on.
    ASSERT_NO_FATAL_FAILURE(StartLevelOne(bot));
    ASSERT_EQ(Lines().size(), 4u);
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
    fnAfterFrame = nullptr;

    EXPECT_GE(firstShown, 0.5f) << "the lines wait half a second";
    EXPECT_LT(firstShown, 0.6f);
    EXPECT_EQ(wrongText, 0) << "each line shows what its task still wants";
    EXPECT_EQ(uncheckedDone, 0) << "a done task's line is checked at once";
    EXPECT_EQ(checked.size(), 2u) << "both tasks were checked";
    EXPECT_EQ(leaving.size(), 2u) << "both lines slid out";
    EXPECT_EQ(wonWithLine, 0);
    EXPECT_TRUE(AllTaskLinesHidden());
    EXPECT_EQ(g_pGarden->GetWindowParam(), 2);
    EXPECT_LE(cLevelBot::Player()->m_fClock, kGoldTime) << bot.Log();
    EXPECT_EQ(hints[7], 0) << "no silver hint for a gold run";

}

// The slowed run plays the same code as the quick one for two minutes of
// game time; under the sanitizers the quick run alone keeps the program
// fast.
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(TaskLines, TheMedalTurnsSilverJustAfterTheGoldTimeAndTheHintComesOnce)
{
    cLevelBot bot(*this);
    ASSERT_NO_FATAL_FAILURE(StartLevelOne(bot));
    bot.iIdleFrames = 30 * 3;
    auto* medal = dynamic_cast<vek::cImageCtrl*>(Control("score", "clock_medal"));
    ASSERT_NE(medal, nullptr);
    const vek::rectf gold = MedalUV("gold"), silver = MedalUV("silver");
    ASSERT_GT(gold.w, 0.0f);
    ASSERT_GT(silver.w, 0.0f);

    float lastGold = -1.0f, firstSilver = -1.0f;
    int other = 0;
    fnAfterFrame = [&] {
        cPlayer* player = cLevelBot::Player();
        if (!player || Focus() != "garden" || player->m_TaskSet.bDone) return;
        const float clock = player->m_fClock;
        if (SameUV(medal->GetUV(), gold)) lastGold = clock;
        else if (SameUV(medal->GetUV(), silver)) {
            if (firstSilver < 0.0f) firstSilver = clock;
        } else {
            ++other;
        }
    };
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
    fnAfterFrame = nullptr;

    const float clock = cLevelBot::Player()->m_fClock;
    RecordProperty("clock", std::to_string(clock));
    ASSERT_GT(clock, kGoldTime) << bot.Log();
    ASSERT_LT(clock, kGoldTime * 1.5f);
    EXPECT_EQ(other, 0);
    EXPECT_LE(lastGold, kGoldTime) << "at the gold time itself the medal is still gold";
    EXPECT_GT(firstSilver, kGoldTime);
    EXPECT_LT(firstSilver, kGoldTime + 1.5f / 30.0f) << "silver on the first step past the gold time";
    EXPECT_EQ(hints[7], 1);
    EXPECT_EQ(hints[8], 0);
    // The first empty ship passes 50 s in; its hint points at the ship on
    // this screen, where the mouse reaches its "OK".
    EXPECT_NE(bot.Log().find("hint: New settlers"), std::string::npos) << bot.Log();
    EXPECT_EQ(g_pGarden->GetMedal(), 1);
}
#endif

} // namespace
