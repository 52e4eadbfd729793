// The first two levels played with the hints switched off on the options
// screen: no lesson shows, yet the lessons whose situation came up are
// spent, so they do not come later when the hints are switched on again.
#include "lesson_player.h"

#include <set>

using namespace lessontest;

namespace {

class HintsOff : public LessonPlayer {};

TEST_F(HintsOff, LevelsZeroAndOnePlayWithoutALessonAndSpendTheirLessons)
{
    Boot();
    NewProfile("Ada");
    SetHintsFromOptions(false);
    ASSERT_EQ(g_pGarden->GetTraining(), 0);
    StartToIsland();

    EnterLevel(0);
    ASSERT_TRUE(RunUntil([&] { return Clock() >= 2.5f; }, 150)) << "the clock does not wait for a lesson";
    EXPECT_EQ(Player()->m_Events[0], 1) << "the first lesson is spent";
    bool lesson = false;
    const auto noLesson = [&] { lesson = lesson || Lesson().IsActive(); };
    ASSERT_TRUE(PlayLevel(240.0f, noLesson));
    EXPECT_FALSE(lesson);
    LeaveFinishScreen();
    FollowIslandSequence();
    ASSERT_EQ(Player()->m_iProgress, 1);

    // Level 1: the fourth olive sown while olives are still wanted has to
    // be watered, which spends the watering lesson.
    EnterLevel(1);
    const int32_t olive = Ware("plant01");
    std::set<uint32_t> olives;
    int olivesAtThirst = -1;
    bool taskOpenAtThirst = false;
    const auto watch = [&] {
        noLesson();
        for (cPlant* p : Plants())
            if (p->GetWareId() == olive) olives.insert(p->GetId());
        if (olivesAtThirst < 0 && PlantWithNeed(cPlant::e_NeedWater)) {
            olivesAtThirst = static_cast<int>(olives.size());
            const cLevelTask* task = FindTaskByWare(Player()->m_Tasks, olive);
            taskOpenAtThirst = task && task->iAmount > 0;
            EXPECT_EQ(PlantWithNeed(cPlant::e_NeedWater)->GetWareId(), olive);
            RunUntil([&] { return Player()->m_Events[1] != 0; }, 10);
            EXPECT_EQ(Player()->m_Events[1], 1) << "the watering lesson is spent";
            EXPECT_FALSE(Lesson().IsActive()) << "and not shown";
        }
    };
    // Four olives first, each in a bed of its own.
    for (int i = 0; i < 4; ++i) {
        cObject* hole = FreeHole();
        ASSERT_NE(hole, nullptr);
        ChooseSort(olive);
        Use(hole);
        watch();
    }
    ASSERT_EQ(olives.size(), 4u);
    ASSERT_TRUE(PlayLevel(300.0f, watch));

    EXPECT_FALSE(lesson);
    EXPECT_EQ(olivesAtThirst, 4);
    EXPECT_TRUE(taskOpenAtThirst);
    EXPECT_EQ(Player()->m_Events[1], 1);
    LeaveFinishScreen();
    FollowIslandSequence();
    EXPECT_EQ(Player()->m_iProgress, 2);
}

} // namespace
