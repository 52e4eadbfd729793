// The whole game as a new player plays it, on the real pack from an empty
// home folder with the tutorial on (a fresh start's default), through
// injected input only: the profile screens, the opening comics, the levels
// in order with every lesson followed and every hint closed, the finish and
// upgrades screens, the island's purchases, the statue and the closing
// comics, and the end of the program from the main menu. The log of the
// run may hold no warning or error but those the allow-list beside this
// test names. A second start then shows what the run left behind.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "engine/gui/ctrl.h"
#include "game/play/lesson_follower.h"
#include "game/world/level_defs.h"
#include "game/world/level_task.h"
#include "game/world/training.h"
#include "platform/process.h"
#include "support/log_problems.h"
#include "support/temp_dir.h"

using namespace gametest;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizers the run is many times slower: the first six levels,
// then the way out through the pause menu.
constexpr int kLevels = 6;
#else
constexpr int kLevels = kLevelCount;
#endif

const char* const kLogFooter = "</p></body>\n</html>\n";

// The log's warning and error entries (sender and text) that no line of
// the allow-list covers, one a line.
std::string UnexpectedProblems(const std::string& log, const std::vector<std::string>& allowed)
{
    std::string out;
    for (const std::string& entry : vektest::LogProblemEntries(log)) {
        bool ok = false;
        for (const std::string& a : allowed) ok = ok || vektest::AllowedBy(entry, a);
        if (!ok) out += entry + "\n";
    }
    return out;
}

class WholeGame : public LessonFollowingGame {
protected:
    // Escape on the main menu and "Yes" of its question.
    void QuitFromMainMenu()
    {
        Key(SDL_SCANCODE_ESCAPE);
        Run(20);
        ASSERT_TRUE(Shown("messagebox")) << "Escape asks before the game ends";
        EXPECT_EQ(m_iQuitCode, -1);
        ASSERT_TRUE(ClickControl("messagebox", "ok"));
        Run(40);
    }

    std::string ProfileLabel() const
    {
        auto* label = dynamic_cast<vek::cLabelCtrl*>(Control("main", "lbProfile"));
        return label ? std::string(label->GetText().c_str()) : std::string();
    }

    // The program starts again on the same home and profile folders.
    void Restart()
    {
        Stop();
        GetProfileHost() = cProfileHost();
        m_iCursorX = m_iCursorY = -1;
        m_iQuitCode = -1;
        StartOnPack();
        m_pGame->iDrawInterval = 60;
        ASSERT_TRUE(RunToMainMenu(3000));
        Run(20);
    }
};

TEST_F(WholeGame, ANewPlayerPlaysFromTheProfileScreensToTheStatueAndQuits)
{
    const std::string repo = std::getenv("VEK_REPO_DIR");
    const std::vector<std::string> allowed = vektest::ReadAllowLines(repo + "/tests/game/play/whole_game_allow.txt");
    ASSERT_FALSE(allowed.empty());
    cLevelBot bot(*this);
    fnAfterFrame = [this] { WatchScreenHint(); };
    StartOnPack();
    m_pGame->iDrawInterval = 60;
    ASSERT_TRUE(RunToMainMenu(3000));
    Run(20);

    // The first start made a profile named after the login name.
    const std::string login = vek::platform::GetLoginNameUtf8();
    if (!login.empty()) {
        EXPECT_NE(ProfileLabel().find(login.substr(0, 8)), std::string::npos) << ProfileLabel();
    }
    ASSERT_EQ(g_pGarden->GetTraining(), 1) << "the tutorial is on from the start";

    // A profile of the player's own, typed on the profile screens.
    ASSERT_TRUE(bot.MakeProfile("Zed")) << bot.Log();
    EXPECT_NE(ProfileLabel().find("Zed"), std::string::npos) << ProfileLabel();
    EXPECT_EQ(std::string(cLevelBot::Player()->GetName().c_str()), "Zed");

    // "Start", the opening comics turned with "next", the level map.
    ASSERT_TRUE(bot.Click("main", "btStart")) << bot.Log();
    ASSERT_TRUE(Shown("comics")) << "a new game opens with the comic strip";
    int pages = 0;
    for (int i = 0; i < 40 && Focus() != "island"; ++i) {
        if (Shown("comics") && ClickControl("comics", "next")) ++pages;
        Run(20);
    }
    ASSERT_EQ(Focus(), "island");
    EXPECT_GE(pages, 2) << "the opening episode's pages";
    Run(60);
    cPlayer* player = cLevelBot::Player();

    for (int level = 0; level < kLevels; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        // The island is free: a lesson or a hint still up is seen to first.
        for (int i = 0; i < 600 && (FollowLesson(bot) || bot.HintWaits()); ++i)
            if (bot.HintWaits()) bot.CloseHint();
        ASSERT_TRUE(bot.StartLevel(level)) << Situation() << "\n" << bot.Log();
        ASSERT_EQ(player->m_iLevel, level);
        ASSERT_TRUE(PlayLevelFollowing(bot)) << Situation() << "\n" << bot.Log();
        ASSERT_TRUE(FinishToMapFollowing(bot)) << Situation() << "\n" << bot.Log();
        ASSERT_EQ(player->m_iProgress, level + 1) << bot.Log();
        ASSERT_EQ(g_pGarden->GetLevelHouse(level)->GetState(), cHouse::e_stateBuilt) << bot.Log();
    }
    std::string silent;
    for (const std::string& step : m_vecSilentSteps) silent += step + "\n";
    EXPECT_EQ(silent, "") << "steps that wait for a click on a control say so";
    fnAfterFrame = nullptr;
    std::string covering;
    for (const std::string& step : m_vecCoveringSteps) covering += step + "\n";
    EXPECT_EQ(covering, "") << "neither a hint nor the gardener hides what a step points at";
    std::string kinds;
    for (int kind : m_setHintKindsSeen) kinds += " " + std::to_string(kind);
    EXPECT_NE(kinds, "") << "screen hints were seen and checked";
    std::cout << "screen hints checked:" << kinds << "\n";

    if (kLevels == kLevelCount) {
        // The statue's fireworks, then the closing comics to their end and
        // the main menu.
        ASSERT_TRUE(RunUntil([&] { return Focus() == "comics"; }, 30 * 30)) << "focus " << Focus();
        Run(20);
        for (int i = 0; i < 40 && Focus() == "comics"; ++i) {
            if (Shown("comics")) ClickControl("comics", "next");
            Run(20);
        }
        ASSERT_TRUE(RunUntil([&] { return Shown("main"); }, 120)) << "focus " << Focus();
        Run(20);
    } else {
        // A shortened run leaves from the level map by the pause menu.
        Key(SDL_SCANCODE_ESCAPE);
        Run(20);
        ASSERT_TRUE(bot.Click("escape", "btEnd")) << bot.Log();
        ASSERT_TRUE(RunUntil([&] { return Shown("main"); }, 120));
        Run(20);
    }

    // Escape and "Yes" end the program through the main loop's quit.
    QuitFromMainMenu();
    EXPECT_EQ(m_iQuitCode, 0);
    Stop();
    const std::string log = HtmlLog();
    ASSERT_GE(log.size(), std::strlen(kLogFooter));
    EXPECT_EQ(log.substr(log.size() - std::strlen(kLogFooter)), kLogFooter);
    EXPECT_EQ(UnexpectedProblems(log, allowed), "");

    // A second start: the profile as the run left it.
    Restart();
    EXPECT_NE(ProfileLabel().find("Zed"), std::string::npos) << ProfileLabel();
    player = cLevelBot::Player();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->m_iProgress, kLevels);
    EXPECT_EQ(player->m_Results.size(), static_cast<size_t>(kLevels));
    EXPECT_EQ(player->m_Times.size(), static_cast<size_t>(kLevels));
    if (kLevels == kLevelCount) {
        ASSERT_GE(player->m_Events.size(), static_cast<size_t>(cTraining::kLessons));
        for (int lesson = 0; lesson < cTraining::kLessons; ++lesson)
            if (lesson != 11) {
                EXPECT_EQ(player->m_Events[static_cast<size_t>(lesson)], 1) << "lesson " << lesson;
            }
    } else {
        ASSERT_GE(player->m_Events.size(), 1u);
        EXPECT_EQ(player->m_Events[0], 1) << "the first lesson";
    }

    // "Start" with the progress made and no level left open goes straight
    // to the level map: every building of the levels won stands, and the
    // map's points up to the progress are open.
    ASSERT_TRUE(bot.Click("main", "btStart")) << bot.Log();
    EXPECT_FALSE(Shown("comics"));
    ASSERT_TRUE(RunUntil([&] { return Focus() == "island"; }, 120)) << "focus " << Focus();
    Run(30);
    cIsland* island = cLevelBot::Island();
    ASSERT_NE(island, nullptr);
    for (int level = 0; level < kLevels; ++level) {
        const cHouse* house = island->GetLevelHouse(level);
        ASSERT_NE(house, nullptr);
        EXPECT_EQ(house->GetState(), cHouse::e_stateBuilt) << "the building of level " << level;
    }
    int open = 0;
    for (size_t i = 0; i < island->vecLevelPoints.size(); ++i)
        if (island->LevelPointAt(island->vecLevelPoints[i]) == static_cast<int>(i)) ++open;
    EXPECT_EQ(open, kLevels == kLevelCount ? kLevelCount : kLevels + 1);
}

} // namespace
