// The first lesson played on the real game: a new player on a fresh profile
// follows the tutorial through level 0, clicking only where each step
// points, then finishes the level; the lesson never comes again. And the
// water lesson, come while a plant waits to be weeded, costs the plant
// nothing however slowly the player reads it; nor does the factory lesson,
// which lets him play on beside it while the level clock stands still.
#include "lesson_player.h"

#include "game/play/level_bot.h"
#include "game/shell/profile_host.h"

using namespace lessontest;

namespace {

class FirstLesson : public LessonPlayer {
protected:
    // Runs frames until `done`, noting any frame in which the level clock
    // moved while the lesson ran.
    bool Until(const std::function<bool()>& done, int limit = 900)
    {
        return RunUntil(
            [&] {
                if (Lesson().IsActive() && Clock() != m_fLessonClock) m_bClockMoved = true;
                return done();
            },
            limit);
    }
    bool StepShown(int step) const
    {
        return Lesson().iKind == 0 && Lesson().iStep == step && !Lesson().IsWaiting() && HintShown();
    }
    // The centre of the highlight lies on what the step points at.
    void ExpectHighlightOn(const vek::rectf& target)
    {
        vek::rectf r;
        ASSERT_TRUE(Highlight(r));
        const float cx = r.x + r.w / 2.0f, cy = r.y + r.h / 2.0f;
        EXPECT_TRUE(target.x <= cx && cx < target.x + target.w && target.y <= cy && cy < target.y + target.h)
            << "highlight " << r.x << "," << r.y << " " << r.w << "x" << r.h << " target " << target.x << ","
            << target.y << " " << target.w << "x" << target.h;
    }
    void ExpectHighlightOn(const cObject* object)
    {
        ASSERT_NE(object, nullptr);
        ExpectHighlightOn(object->GetRect());
    }

    float m_fLessonClock = 0.0f;
    bool m_bClockMoved = false;
};

TEST_F(FirstLesson, ANewPlayerIsTaughtLevelZeroOnceAndFinishesIt)
{
    Boot();
    NewProfile("Zed");
    ASSERT_EQ(g_pGarden->GetTraining(), 1) << "hints are on from the start";
    StartToIsland();
    EnterLevel(0);

    // The level's first two seconds belong to the lesson: the field takes
    // no click.
    ASSERT_LT(Clock(), 1.5f);
    ClickObject(First(OBJ_HOLE));
    EXPECT_LT(Clock(), 2.0f);
    EXPECT_TRUE(Gardener()->GetJobs().empty());
    EXPECT_EQ(Gardener()->GetState(), cGardener::e_gsIdle);

    // The lesson opens after two seconds of the level and holds the clock.
    ASSERT_TRUE(RunUntil([&] { return Lesson().IsActive(); }, 150));
    EXPECT_EQ(Lesson().iKind, 0);
    EXPECT_EQ(Player()->m_Events[0], 1);
    m_fLessonClock = Clock();
    EXPECT_GE(m_fLessonClock, 2.0f);
    EXPECT_LT(m_fLessonClock, 2.2f);

    const std::vector<cObject*> holes = Objects(OBJ_HOLE);
    ASSERT_EQ(holes.size(), 3u);
    const int32_t tomato = Ware("plant00");
    for (int step = 0; step <= 12; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        // The pause before each step but the first; a click on the field
        // meanwhile is not taken.
        if (step == 1) {
            ASSERT_TRUE(Lesson().IsWaiting());
            ClickObject(holes[0]);
            EXPECT_TRUE(Gardener()->GetJobs().empty());
            EXPECT_TRUE(Plants().empty());
        }
        int paused = step == 1 ? 3 : 0;  // the frames of that click
        ASSERT_TRUE(Until([&] {
            if (Lesson().IsWaiting()) ++paused;
            return StepShown(step);
        }));
        // The pause can begin inside the frames of the click that ended
        // the step, which this loop does not count.
        if (step > 0) {
            EXPECT_GE(paused, 15) << "0.6 s between steps";
            EXPECT_LE(paused, 20);
        }
        switch (step) {
        case 0: {
            vek::cCtrl* item = ToolbarItem("plants", tomato);
            ASSERT_NE(item, nullptr);
            ExpectHighlightOn(item->GetRect());
            ClickHighlight();
            break;
        }
        case 1:
        case 2:
        case 3:
            ExpectHighlightOn(holes[static_cast<size_t>(step - 1)]);
            ClickHighlight();
            break;
        case 4:
            ExpectHighlightOn(First(OBJ_TOOL_WEED));
            ClickHighlight();
            break;
        case 5:
            ExpectHighlightOn(PlantWithNeed(cPlant::e_NeedWeed));
            ClickHighlight();
            break;
        case 6:
            ExpectHighlightOn(Basket());
            ClickHighlight();
            break;
        case 7:
        case 8:
        case 9: {
            // The player waits for the plant the step shows to ripen.
            cPlant* plant = Plants()[static_cast<size_t>(step - 7)];
            ASSERT_TRUE(Until([&] { return plant->GetNeed() == cPlant::e_NeedRipe; }));
            ExpectHighlightOn(plant);
            ClickHighlight();
            break;
        }
        case 10:
            ExpectHighlightOn(First(OBJ_CAR));
            ClickHighlight();
            break;
        case 11:
            // The task line opens the level's goals; closing them moves on.
            // The highlight takes in the whole line: a click on its count
            // (right of the middle) reaches it as well as one on its icon.
            ExpectHighlightOn(Control("score", "task0")->GetRect());
            {
                vek::rectf r;
                ASSERT_TRUE(Highlight(r));
                const vek::rectf line = Control("score", "task0")->GetRect();
                EXPECT_LE(r.x, line.x);
                EXPECT_GE(r.x + r.w, std::min(line.x + line.w, 1024.0f));
                EXPECT_LE(r.y, line.y);
                EXPECT_GE(r.y + r.h, line.y + line.h);
                ClickAt(static_cast<int>(line.x + line.w * 0.8f), static_cast<int>(768.0f - (line.y + line.h / 2.0f)));
            }
            Until([&] { return Shown("mission_goal"); }, 30);
            ASSERT_TRUE(Shown("mission_goal"));
            ASSERT_TRUE(ClickControl("mission_goal", "ok"));
            break;
        case 12: {
            // The clock, pointed at without a highlight: the hint's button.
            vek::rectf r;
            EXPECT_FALSE(Highlight(r));
            ASSERT_TRUE(ClickControl("hint", "close"));
            break;
        }
        }
        ASSERT_TRUE(Until([&] { return Lesson().iStep != step; })) << "the step waits for ever";
    }
    // Step 13 ends the lesson after its pause.
    ASSERT_TRUE(Until([&] { return !Lesson().IsActive(); }, 60));
    // The frame in which the lesson ended may run one more fixed step.
    EXPECT_LE(Clock(), m_fLessonClock + 1.5f / 30.0f);
    EXPECT_FALSE(m_bClockMoved) << "the level clock ran during the lesson";
    Run(30);
    EXPECT_GT(Clock(), m_fLessonClock) << "the clock runs again";
    EXPECT_GE(Player()->m_Tasks[0].iAmount, 1);
    EXPECT_LE(Player()->m_Tasks[0].iAmount, 3) << "the lesson's three tomatoes were delivered";

    // The rest of the level without help.
    ASSERT_TRUE(PlayLevel());
    EXPECT_FALSE(Lesson().IsActive());
    LeaveFinishScreen();
    FollowIslandSequence();
    EXPECT_EQ(Player()->m_iProgress, 1);

    // After a restart the lesson does not come again, not even on level 0.
    Restart();
    ASSERT_NE(Player(), nullptr);
    EXPECT_EQ(Player()->m_Events[0], 1);
    StartToIsland();
    EnterLevel(0);
    Run(150);
    EXPECT_GT(Clock(), 4.0f);
    EXPECT_FALSE(Lesson().IsActive());
    EXPECT_FALSE(HintShown());
}

TEST_F(FirstLesson, APlantWaitingToBeWeededOutlivesTheWaterLesson)
{
    Boot();
    NewProfile("Ola");
    // A player who won the first level with its lesson and has been shown
    // the watering can.
    gametest::cLevelBot::ReachLevel(1);
    Player()->m_Events.assign(cTraining::kLessons, 0);
    Player()->m_Events[e_lessonPlants] = 1;
    GetProfileHost().iRuleCounter = 1;
    ASSERT_TRUE(Player()->SavePlayer());
    StartToIsland();
    EnterLevel(1);

    // Two olive trees: the first will need weeding, the second water.
    const int32_t olive = Ware("plant01");
    cSort* sort = g_pWareManager->GetSort(static_cast<uint32_t>(olive));
    sort->vecNeedCounters = {sort->vecNeedIntervals[0] - 1, sort->vecNeedIntervals[1] - 1};
    for (int i = 0; i < 2; ++i) {
        ChooseSort(olive);
        Use(FreeHole());
    }
    ASSERT_TRUE(Until([&] { return Lesson().iKind == e_lessonWater && !Lesson().IsWaiting() && HintShown(); }));
    cPlant* weedy = PlantWithNeed(cPlant::e_NeedWeed);
    ASSERT_NE(weedy, nullptr);
    const uint32_t tree = weedy->GetId();

    // The lesson takes no click but on its target; the player reads it for
    // more than the minute a plant waits.
    ClickObject(First(OBJ_TOOL_WEED));
    Run(10);
    ClickObject(weedy);
    Run(62 * 30);
    ASSERT_TRUE(Field()->HasObject(tree)) << "the tree died while the lesson held the input";
    // Then he follows it: the can, the pump, the tree that needs water.
    for (int step = e_stepWaterCan; step <= e_stepWaterPlant; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        ASSERT_TRUE(Until([&] { return Lesson().iStep >= step && !Lesson().IsWaiting() && HintShown(); }));
        if (Lesson().iStep > step) continue;
        ClickHighlight();
        ASSERT_TRUE(Until([&] { return Lesson().iStep != step; }));
    }
    ASSERT_TRUE(Until([&] { return !Lesson().IsActive(); }, 60));
    // And weeds the tree in time.
    ASSERT_TRUE(Field()->HasObject(tree));
    TakeTool(OBJ_TOOL_WEED);
    Use(weedy);
    EXPECT_TRUE(Field()->HasObject(tree));
    EXPECT_NE(weedy->GetNeed(), cPlant::e_NeedWeed);
}

TEST_F(FirstLesson, ThePlantsOutliveTheFactoryLessonLeftUp)
{
    Boot();
    NewProfile("Ida");
    // A player who has met every lesson before the factory's.
    gametest::cLevelBot::ReachLevel(3);
    Player()->m_Events.assign(cTraining::kLessons, 1);
    Player()->m_Events[e_lessonFactory] = 0;
    GetProfileHost().iRuleCounter = 1;
    ASSERT_TRUE(Player()->SavePlayer());
    StartToIsland();
    EnterLevel(3);

    // The lesson's first step opens the level; it points at the car and
    // lets the field be played.
    ASSERT_TRUE(Until([&] { return Lesson().iKind == e_lessonFactory && !Lesson().IsWaiting() && HintShown(); }));
    const float clock = Clock();
    // Two olive trees: the first will need weeding, the second water.
    const int32_t olive = Ware("plant01");
    cSort* sort = g_pWareManager->GetSort(static_cast<uint32_t>(olive));
    sort->vecNeedCounters = {sort->vecNeedIntervals[0] - 1, sort->vecNeedIntervals[1] - 1};
    for (int i = 0; i < 2; ++i) {
        ChooseSort(olive);
        Use(FreeHole());
    }
    ASSERT_EQ(Plants().size(), 2u);
    std::vector<uint32_t> trees;
    for (cPlant* plant : Plants()) trees.push_back(plant->GetId());
    ASSERT_TRUE(Until([&] { return PlantWithNeed(cPlant::e_NeedWeed) && PlantWithNeed(cPlant::e_NeedWater); }, 1800));

    // The player leaves the lesson's hint up for a minute and more.
    Run(62 * 30);
    EXPECT_EQ(Lesson().iKind, e_lessonFactory);
    EXPECT_EQ(Lesson().iStep, 0);
    for (uint32_t tree : trees) EXPECT_TRUE(Field()->HasObject(tree)) << "a tree died while the level clock stood still";
    EXPECT_EQ(Clock(), clock);
}

} // namespace
