// The level's start and goal screens over the repository's scripts: the
// task rows a level begins with, the building row, the gold time, the play
// mode and the pause counter they hold, and the tutorial step the goal
// screen ends. With them, the time format and the counter the finish
// screen counts with.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/format.h"
#include "game/screens/mission_goal.h"
#include "game/screens/mission_start.h"
#include "game/world/level_defs.h"
#include "mission_fixture.h"

using namespace missiontest;

namespace {

TEST(MissionTables, TimesAreMinutesAndTwoDigitSeconds)
{
    EXPECT_EQ(FormatLevelTime(65.0f), "1:05");
    EXPECT_EQ(FormatLevelTime(150.0f), "2:30");
    EXPECT_EQ(FormatLevelTime(90.9f), "1:30");  // whole seconds
    EXPECT_EQ(FormatLevelTime(9.0f), "0:09");
    EXPECT_EQ(FormatLevelTime(600.0f), "10:00");
    EXPECT_EQ(FormatLevelTime(0.0f), "0:00");
    EXPECT_EQ(FormatLevelTime(-5.0f), "0:00");
    EXPECT_EQ(FormatLevelTime(NAN), "0:00");
    EXPECT_EQ(FormatLevelTime(1e30f), "35791394:07");  // held at the int limit
}

TEST(MissionTables, CounterRunsToItsTargetAtItsSpeedAndReportsTheArrival)
{
    cIntCounter c;
    c.Clear();
    c.SetTarget(128);
    // Speed 0 after clearing: it would never arrive.
    EXPECT_EQ(c.iValue, 0);
    EXPECT_EQ(c.Update(10.0f), 1);
    EXPECT_EQ(c.iValue, 0);
    c.SetSpeed(128.0f / 2.0f);
    EXPECT_FLOAT_EQ(c.fDuration, 2.0f);
    EXPECT_EQ(c.Update(0.5f), 1);
    EXPECT_EQ(c.iValue, 32);
    EXPECT_EQ(c.Update(1.0f), 1);
    EXPECT_EQ(c.iValue, 96);
    EXPECT_EQ(c.Update(1.0f), 2);
    EXPECT_EQ(c.iValue, 128);
    EXPECT_EQ(c.Update(0.5f), 0);

    // Downward, truncated toward zero, and across the whole int range.
    cIntCounter down;
    down.iValue = 10;
    down.SetTarget(0);
    EXPECT_FLOAT_EQ(down.fDuration, 10.0f);
    down.Update(2.5f);
    EXPECT_EQ(down.iValue, 7);  // 7.5 truncated
    cIntCounter wide;
    wide.iValue = INT32_MIN;
    wide.fSpeed = 1e9f;
    wide.SetTarget(INT32_MAX);
    EXPECT_GT(wide.fDuration, 4.0f);
    wide.Update(2.0f);
    EXPECT_GT(wide.iValue, INT32_MIN);
    EXPECT_LT(wide.iValue, INT32_MAX);
    wide.Finish();
    EXPECT_EQ(wide.iValue, INT32_MAX);
    EXPECT_EQ(wide.Update(1.0f), 0);

    // No distance arrives at once.
    cIntCounter same;
    same.iValue = 5;
    same.SetTarget(5);
    EXPECT_EQ(same.fDuration, 0.0f);
    EXPECT_EQ(same.Update(1.0f), 0);
}

class MissionStart : public MissionFixture {
protected:
    void SetUp() override
    {
        MissionFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        m_pStart = new cMissionStartWF();
        m_pWindow = Fill("mission_start", m_pStart);
        ASSERT_NE(m_pWindow, nullptr);
        ASSERT_FALSE(m_pStart->IsLocked());
    }
    // Which of the four task rows are shown.
    std::vector<bool> Rows()
    {
        std::vector<bool> rows;
        for (int i = 0; i < 4; ++i) {
            const std::string n = std::to_string(i);
            const bool icon = Visible(m_pWindow, ("icon" + n).c_str());
            EXPECT_EQ(icon, Visible(m_pWindow, ("text" + n).c_str()));
            EXPECT_EQ(icon, Visible(m_pWindow, ("number" + n).c_str()));
            rows.push_back(icon);
        }
        return rows;
    }
    cMissionStartWF* m_pStart = nullptr;
    vek::cWindow* m_pWindow = nullptr;
};

TEST_F(MissionStart, ALevelsStartShowsItsTasksBuildingAndGoldTimeAndHoldsTheLevel)
{
    m_pPlayer->m_iProgress = 0;
    m_pGarden->SetupLevel(0);
    ASSERT_TRUE(Shown("mission_start"));
    EXPECT_EQ(m_pGarden->GetFlowState(), 1);
    EXPECT_EQ(Text(m_pWindow, "tasks"), "Level 1");
    EXPECT_EQ(Rows(), (std::vector<bool>{true, false, false, false}));
    const cWare* wheat = g_pWareManager->GetWare(static_cast<uint32_t>(g_pWareManager->FindWare("plant00")));
    ASSERT_NE(wheat, nullptr);
    EXPECT_EQ(Text(m_pWindow, "text0"), wheat->strTitle);
    EXPECT_EQ(Text(m_pWindow, "number0"), "x6");
    EXPECT_EQ(UV(m_pWindow, "icon0"), Frame("icons00", "plant00"));
    EXPECT_EQ(Text(m_pWindow, "time"), "1:30");

    // The building the level makes available, from the catalogue.
    const cHouse* house = dynamic_cast<const cHouse*>(m_pGarden->GetBuildings().Find("house00"));
    ASSERT_NE(house, nullptr);
    for (const char* name : {"build", "icon", "text", "number"}) EXPECT_TRUE(Visible(m_pWindow, name)) << name;
    EXPECT_EQ(Text(m_pWindow, "text"), house->strTitle);
    EXPECT_EQ(Text(m_pWindow, "number"), vek::Formatted("$%i", house->iPrice));
    EXPECT_EQ(UV(m_pWindow, "icon"), Frame("icons01", "house00"));

    // Held until "ok"; the level runs once the screen is going.
    Run(1.0f);
    EXPECT_EQ(m_pGarden->GetFlowState(), 1);
    Press(m_pWindow, "ok");
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
    Run(1.0f);
    EXPECT_FALSE(Shown("mission_start"));
}

TEST_F(MissionStart, RowsStopAtTheFirstTaskThatComesLater)
{
    // Level 18: three tasks at once, then eggs at 70 s and milk at once.
    m_pPlayer->m_iProgress = 30;
    m_pGarden->SetupLevel(18);
    EXPECT_EQ(Text(m_pWindow, "tasks"), "Level 19");
    EXPECT_EQ(Rows(), (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(Text(m_pWindow, "number2"), "x8");
    // Not the newest level: no building row.
    for (const char* name : {"build", "icon", "text", "number"}) EXPECT_FALSE(Visible(m_pWindow, name)) << name;
    EXPECT_EQ(Text(m_pWindow, "time"), "4:10");
    Press(m_pWindow, "ok");
    Run(1.0f);

    // Level 25: the second task comes at 20 s, every later row stays hidden
    // too, even those of tasks due at once.
    m_pGarden->SetupLevel(25);
    EXPECT_EQ(Rows(), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(Text(m_pWindow, "time"), "4:20");
}

TEST_F(MissionStart, AScriptWithoutRequiredControlsLocksTheScreenButTimeIsOptional)
{
    std::string rows;
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i);
        rows += "cImageCtrl(w, 'icon" + n + "') cLabelCtrl(w, 'text" + n + "') cLabelCtrl(w, 'number" + n + "')\n";
    }
    const std::string common = "cImageCtrl(w, 'icon') cLabelCtrl(w, 'text') cLabelCtrl(w, 'number')\n"
                               "cLabelCtrl(w, 'build') cButtonSysCtrl(w, 'ok')\n";
    // No "time": it works and shows no time.
    auto* noTime = new cMissionStartWF();
    vek::cWindow* w1 = FillScript("start_notime",
                                  "function FillWindow(w)\n" + rows + common +
                                      "local t = cLabelCtrl(w, 'tasks') t:SetText('L%i')\nend\n",
                                  noTime);
    EXPECT_FALSE(noTime->IsLocked());
    m_pGarden->SetupLevel(0);
    GUI().ShowWindow("start_notime");
    EXPECT_EQ(Text(w1, "tasks"), "L1");
    EXPECT_EQ(m_pGarden->GetFlowState(), 1);

    // No "tasks" (or "number2" as an image): locked with one warning, its
    // cases never run.
    auto* broken = new cMissionStartWF();
    FillScript("start_broken", "function FillWindow(w)\n" + rows + common + "end\n", broken);
    EXPECT_TRUE(broken->IsLocked());
    auto* wrong = new cMissionStartWF();
    std::string swapped = rows;
    swapped.replace(swapped.find("cLabelCtrl(w, 'number2')"), 10, "cImageCtrl");
    FillScript("start_wrong", "function FillWindow(w)\n" + swapped + common + "cLabelCtrl(w, 'tasks')\nend\n",
               wrong);
    EXPECT_TRUE(wrong->IsLocked());
    m_pGarden->SetFlowState(0);
    GUI().ShowWindow("start_broken");
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
}

class MissionGoal : public MissionFixture {
protected:
    void SetUp() override
    {
        MissionFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        m_pGoal = new cMissionGoalWF();
        m_pWindow = Fill("mission_goal", m_pGoal);
        ASSERT_NE(m_pWindow, nullptr);
        ASSERT_FALSE(m_pGoal->IsLocked());
        ASSERT_EQ(m_pGoal->GetLines().size(), 4u);
        m_pHint = FillScript("hint", "function FillWindow(w) cLabelCtrl(w, 'x') end\n", new vek::cWindowFunction());
    }
    cMissionGoalWF* m_pGoal = nullptr;
    vek::cWindow* m_pWindow = nullptr;
    vek::cWindow* m_pHint = nullptr;
};

TEST_F(MissionGoal, ShowsTheLevelsGoalsWhileTheGameWaits)
{
    ApplyLevelDef(1, m_pPlayer->m_TaskSet);  // two tasks
    ASSERT_EQ(m_pPlayer->m_TaskSet.vecTasks.size(), 2u);
    m_pGame->iPause = 0;
    GUI().ShowWindow("mission_goal");
    EXPECT_EQ(m_pGame->iPause, 1);
    for (const char* name : {"icon0", "text0", "number0", "icon1", "text1", "number1"})
        EXPECT_TRUE(Visible(m_pWindow, name)) << name;
    for (const char* name : {"icon2", "text2", "number2", "icon3", "text3", "number3"})
        EXPECT_FALSE(Visible(m_pWindow, name)) << name;
    EXPECT_EQ(Text(m_pWindow, "number0"), "x6");
    EXPECT_EQ(Text(m_pWindow, "number1"), "x3");
    EXPECT_EQ(UV(m_pWindow, "icon1"), Frame("icons00", "plant01"));

    // "ok": the pause is given back once the screen has left.
    Press(m_pWindow, "ok");
    EXPECT_EQ(m_pGame->iPause, 1);
    Run(1.0f);
    EXPECT_FALSE(Shown("mission_goal"));
    EXPECT_EQ(m_pGame->iPause, 0);
}

TEST_F(MissionGoal, EachOpeningHoldsOnePauseStepEvenWhenReopenedWhileFading)
{
    ApplyLevelDef(0, m_pPlayer->m_TaskSet);
    m_pGame->iPause = 0;
    for (int round = 0; round < 3; ++round) {
        GUI().ShowWindow("mission_goal");
        Run(0.6f);
        Press(m_pWindow, "ok");
        Run(0.1f);  // fading out ...
        GUI().ShowWindow("mission_goal");  // ... and shown again
        EXPECT_EQ(m_pGame->iPause, 1) << round;
        Run(0.6f);
        Press(m_pWindow, "ok");
        Run(1.0f);
        EXPECT_FALSE(Shown("mission_goal"));
        EXPECT_EQ(m_pGame->iPause, 0) << round;
    }
    // Another pop-up's step is not taken.
    m_pGame->iPause = 2;
    GUI().ShowWindow("mission_goal");
    Press(m_pWindow, "ok");
    Run(1.0f);
    EXPECT_EQ(m_pGame->iPause, 2);
}

TEST_F(MissionGoal, ItHidesAShownHintAndEndsTheTutorialsGoalStep)
{
    ApplyLevelDef(0, m_pPlayer->m_TaskSet);
    GUI().ShowWindow("hint");
    m_pGarden->m_Training.iKind = 0;
    m_pGarden->m_Training.iStep = 11;
    GUI().ShowWindow("mission_goal");
    GUI().Update(0.0f);
    EXPECT_FALSE(Shown("hint"));
    EXPECT_EQ(m_pGarden->m_Training.iStep, 11);  // not before the screen has gone
    Press(m_pWindow, "ok");
    Run(1.0f);
    EXPECT_EQ(m_pGarden->m_Training.iStep, 12);
    // Another step is left alone.
    GUI().ShowWindow("mission_goal");
    Press(m_pWindow, "ok");
    Run(1.0f);
    EXPECT_EQ(m_pGarden->m_Training.iStep, 12);
    EXPECT_EQ(m_pGarden->m_Training.iKind, 0);
}

} // namespace
