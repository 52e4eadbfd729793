// The tutorial's lessons over the game object, a real hint window and a
// field of stand-in objects: when lessons start, how each step points at
// its target, what moves a step on, and when a lesson stops.
#include "training_fixture.h"

#include <set>

#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "game/objects/hive.h"
#include "game/objects/plant.h"
#include "game/objects/tools.h"

namespace {

using tuttest::Thing;
using vek::rectf;
using vek::vec2;

class Tutorial : public tuttest::TutorialFixture {
protected:
    // The pause of a step change, in fixed steps: the step shows on the
    // 18th (0.6 s), not before. A step passed over during a fixed step has
    // that step's 1/30 s counted already.
    void WaitForStep(int steps = 18)
    {
        Steps(steps - 1);
        EXPECT_FALSE(HintShown()) << "the pause before the next step still runs";
        EXPECT_TRUE(Training().IsWaiting());
        Steps(1);
        EXPECT_FALSE(Training().IsWaiting());
    }
};

TEST(TrainingTable, EveryLessonRunsFromStepZeroToAStopAndNamesItsText)
{
    int count = 0;
    const cTrainingStep* rows = GetTrainingSteps(&count);
    std::set<int> lessons;
    for (int i = 0; i < count; ++i) {
        const cTrainingStep& row = rows[i];
        SCOPED_TRACE(testing::Message() << "lesson " << row.kind << " step " << row.step);
        lessons.insert(row.kind);
        EXPECT_EQ(FindTrainingStep(row.kind, row.step), &row);
        const bool first = i == 0 || rows[i - 1].kind != row.kind;
        EXPECT_EQ(row.step, first ? 0 : rows[i - 1].step + 1) << "steps follow one another";
        const bool stop = row.target == cTrainingStep::e_tStop || row.target == cTrainingStep::e_tStopDropWare;
        const bool last = i + 1 == count || rows[i + 1].kind != row.kind;
        EXPECT_EQ(stop, last) << "each lesson ends in exactly one stop";
        EXPECT_EQ(row.text != nullptr, !stop);
        if (row.target == cTrainingStep::e_tControl) {
            EXPECT_TRUE(row.window && row.name);
        }
    }
    EXPECT_EQ(lessons.size(), 15u);
    EXPECT_EQ(FindTrainingStep(0, 14), nullptr);
    EXPECT_EQ(FindTrainingStep(15, 0), nullptr);
    // The texts the locale gives the lessons' first and last steps.
    EXPECT_EQ(&(GetLocaleGD().*(FindTrainingStep(0, 12)->text)), &GetLocaleGD().TrainingPlants12);
    EXPECT_EQ(&(GetLocaleGD().*(FindTrainingStep(9, 2)->text)), &GetLocaleGD().TrainingHive2);
}

TEST(TrainingTable, HighlightsGrowAroundToolbarItemsAndHugPlants)
{
    const cHighlight item = ControlHighlight(100.0f, 20.0f, 0, 15.0f);
    EXPECT_EQ(rectf(item.x, item.y, item.w, item.h), rectf(85.0f, 5.0f, 94.0f, 94.0f));
    EXPECT_EQ(vec2(item.ax, item.ay), vec2(179.0f, 5.0f)) << "the arrow at the right edge";
    const cHighlight third = ControlHighlight(100.0f, 20.0f, 2, 2.0f);
    EXPECT_EQ(rectf(third.x, third.y, third.w, third.h), rectf(232.0f, 18.0f, 68.0f, 68.0f));
    const cHighlight panel = ControlHighlight(900.0f, 300.0f, 0, 20.0f);
    EXPECT_EQ(rectf(panel.x, panel.y, panel.w, panel.h), rectf(880.0f, 280.0f, 104.0f, 104.0f));
    // A control that fits in the square keeps it; a wider one (a task line)
    // is covered whole, so a click on any part of it reaches it.
    const cHighlight button = ControlHighlight(536.0f, 700.0f, 68.0f, 32.0f, 15.0f);
    EXPECT_EQ(rectf(button.x, button.y, button.w, button.h), rectf(521.0f, 685.0f, 98.0f, 94.0f));
    const cHighlight small = ControlHighlight(536.0f, 700.0f, 40.0f, 32.0f, 15.0f);
    EXPECT_EQ(rectf(small.x, small.y, small.w, small.h), rectf(521.0f, 685.0f, 94.0f, 94.0f));
    const cHighlight line = ControlHighlight(874.0f, 560.0f, 148.0f, 56.0f, 15.0f);
    EXPECT_EQ(rectf(line.x, line.y, line.w, line.h), rectf(859.0f, 545.0f, 165.0f, 94.0f)) << "up to the screen's edge";
    EXPECT_EQ(vec2(line.ax, line.ay), vec2(1024.0f, 545.0f)) << "the arrow at the corner of what it covers";
    EXPECT_EQ(vec2(button.ax, button.ay), vec2(619.0f, 685.0f));

    const cHighlight plant = ObjectHighlight(200.0f, 300.0f, 60.0f, 80.0f, true);
    EXPECT_EQ(rectf(plant.x, plant.y, plant.w, plant.h), rectf(212.0f, 282.0f, 36.0f, 116.0f));
    EXPECT_EQ(vec2(plant.ax, plant.ay), vec2(248.0f, 398.0f));
    const cHighlight tool = ObjectHighlight(200.0f, 300.0f, 60.0f, 80.0f, false);
    EXPECT_EQ(rectf(tool.x, tool.y, tool.w, tool.h), rectf(200.0f, 300.0f, 60.0f, 80.0f));
}

TEST_F(Tutorial, LessonZeroWalksThePlayerThroughAHarvest)
{
    // The field of level 0: three beds, the tools, three plants, the car.
    auto* hole0 = new Thing(m_pLevel, OBJ_HOLE, 1, 1);
    auto* hole1 = new Thing(m_pLevel, OBJ_HOLE, 1, 2);
    new Thing(m_pLevel, OBJ_HOLE, 1, 3);
    auto* weed = new Thing(m_pLevel, OBJ_TOOL_WEED, 0, 5, 30.0f, 30.0f);
    auto* bin = new Thing(m_pLevel, OBJ_TOOL_BIN, 0, 6, 30.0f, 30.0f);
    auto* car = new Thing(m_pLevel, OBJ_CAR, 0, 9, 120.0f, 80.0f);
    m_pLevel->m_uGardenerId = (new Thing(m_pLevel, OBJ_GARDENER, 0, 0))->GetId();
    m_pPlayer->m_iLevel = 0;

    m_pPlayer->m_fClock = 1.9f;
    Steps(3);
    EXPECT_FALSE(Training().IsActive()) << "not before 2 s of level clock";
    m_pPlayer->m_fClock = 2.0f;
    Steps(1);
    ASSERT_EQ(Training().iKind, 0);
    EXPECT_EQ(Training().iStep, 0);
    EXPECT_EQ(m_pPlayer->m_Events[0], 1);
    EXPECT_EQ(m_World.clearedJobs, 1) << "the gardener drops his jobs";
    EXPECT_TRUE(HintShown()) << "the first step shows at once";
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingPlants0);
    EXPECT_EQ(Highlight(), rectf(85.0f, 5.0f, 94.0f, 94.0f));
    EXPECT_EQ(Arrow(), vec2(179.0f, 5.0f));
    EXPECT_FALSE(Visible("close")) << "a step with a highlight waits for the player, not a button";

    EXPECT_FALSE(Training().NextStep(0, 1)) << "not the step shown";
    EXPECT_FALSE(Training().NextStep(1, 0));
    EXPECT_EQ(Training().iStep, 0);
    ASSERT_TRUE(Training().NextStep(0, 0));
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingPlants1);
    const rectf h0 = hole0->GetRect();
    EXPECT_EQ(Highlight(), h0);
    EXPECT_EQ(Arrow(), vec2(h0.x + h0.w, h0.y + h0.h));

    Training().NextStep(0, 1);
    WaitForStep();
    EXPECT_EQ(Highlight(), hole1->GetRect()) << "the second bed";
    Training().NextStep(0, 2);
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingPlants3);

    // Sown: three plants, the second needs weeding.
    auto* p0 = new Thing(m_pLevel, OBJ_PLANT, 1, 1, 60.0f, 80.0f);
    auto* p1 = new Thing(m_pLevel, OBJ_PLANT, 1, 2, 60.0f, 80.0f);
    auto* p2 = new Thing(m_pLevel, OBJ_PLANT, 1, 3, 60.0f, 80.0f);
    m_World.need[p1] = 1;
    Training().NextStep(0, 3);
    WaitForStep();
    EXPECT_EQ(Highlight(), weed->GetRect());
    Training().NextStep(0, 4);
    WaitForStep();
    const rectf r1 = p1->GetRect();
    EXPECT_EQ(Highlight(), rectf(r1.x + 12.0f, r1.y - 18.0f, r1.w - 24.0f, r1.h + 36.0f)) << "the weedy plant";
    Training().NextStep(0, 5);
    WaitForStep();
    EXPECT_EQ(Highlight(), bin->GetRect());
    for (int step = 6; step <= 8; ++step) {
        Training().NextStep(0, step);
        WaitForStep();
        const rectf p = (step == 6 ? p0 : step == 7 ? p1 : p2)->GetRect();
        EXPECT_EQ(Highlight(), rectf(p.x + 12.0f, p.y - 18.0f, p.w - 24.0f, p.h + 36.0f)) << "plant " << step - 6;
    }
    Training().NextStep(0, 9);
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingPlants10);
    EXPECT_EQ(Highlight(), car->GetRect());
    Training().NextStep(0, 10);
    WaitForStep();
    EXPECT_EQ(Highlight(), rectf(785.0f, 685.0f, 230.0f, 94.0f)) << "the first task line, whole";
    // The goal screen moves this step on.
    Training().NextStep(0, 11);
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingPlants12);
    EXPECT_FALSE(Visible("highlight")) << "the clock is shown without a highlight";
    EXPECT_TRUE(Visible("close"));
    EXPECT_EQ(Arrow(), vec2(764.0f, 720.0f)) << "at the clock's right edge";

    // The hint's close button ends the lesson after the pause.
    vek::cWindow* hint = m_pGame->pGUI->GetWindow("hint");
    ClickControl(hint, "close");
    EXPECT_EQ(Training().iStep, 13);
    Steps(18);
    EXPECT_FALSE(Training().IsActive());
    EXPECT_EQ(Training().iStep, -1);

    // It never comes again in this profile.
    Steps(30);
    EXPECT_FALSE(Training().IsActive());
}

TEST_F(Tutorial, OnlyTheFirstLessonWhoseSituationHoldsRunsTheOthersAreSpent)
{
    auto* plant = new Thing(m_pLevel, OBJ_PLANT, 2, 2);
    m_World.need[plant] = 0;
    m_pPlayer->m_fClock = 2.5f;
    AddTask("egg");
    Steps(1);
    EXPECT_EQ(Training().iKind, 0);
    EXPECT_EQ(m_pPlayer->m_Events[1], 1) << "the water lesson is spent";
    EXPECT_EQ(m_pPlayer->m_Events[4], 1) << "the ostrich lesson too";
    EXPECT_EQ(m_pPlayer->m_Events[3], 0) << "its situation does not hold";
    Training().Stop();
    Steps(5);
    EXPECT_FALSE(Training().IsActive()) << "a stopped lesson and the spent ones do not come back";
}

TEST_F(Tutorial, NoLessonStartsOutsideThePlayingGarden)
{
    m_pPlayer->m_fClock = 3.0f;
    m_pGarden->SetFlowState(1);
    Steps(2);
    EXPECT_FALSE(Training().IsActive());
    EXPECT_EQ(m_pPlayer->m_Events[0], 0) << "a mission screen is open";
    m_pGarden->SetFlowState(0);
    m_pGame->SetFocusWidget("island");
    Steps(2);
    EXPECT_EQ(m_pPlayer->m_Events[0], 0) << "the garden is not in view";
}

TEST_F(Tutorial, WithTheTutorialOffALessonIsOnlyMarked)
{
    m_pGarden->SetTraining(0);
    m_pPlayer->m_fClock = 3.0f;
    Steps(1);
    EXPECT_FALSE(Training().IsActive());
    EXPECT_EQ(m_pPlayer->m_Events[0], 1);
    m_pGarden->SetTraining(1);
    Steps(3);
    EXPECT_FALSE(Training().IsActive()) << "a lesson whose situation passed while off never comes";

    // Switched off during a lesson, the lesson stops at its next display.
    Training().Start(6);
    EXPECT_FALSE(Training().IsActive()) << "no basket on the field: the lesson stops at once";
    EXPECT_EQ(m_pPlayer->m_Events[6], 1);
    new Thing(m_pLevel, OBJ_TOOL_BIN, 0, 6);
    m_pPlayer->m_Events[8] = 0;
    Training().Start(8);
    ASSERT_TRUE(Training().IsActive());
    m_pGarden->SetTraining(0);
    Training().NextStep(8, 0);
    Steps(18);
    EXPECT_FALSE(Training().IsActive());

    // Kinds outside the lessons do nothing.
    m_pGarden->SetTraining(1);
    Training().Start(-1);
    Training().Start(15);
    EXPECT_FALSE(Training().IsActive());
    EXPECT_EQ(m_pPlayer->m_Events.size(), 15u);
}

TEST_F(Tutorial, TheWaterLessonSkipsWhatIsDoneAndNeedsMoney)
{
    auto* can = new Thing(m_pLevel, OBJ_TOOL_WATER, 0, 4, 30.0f, 30.0f);
    auto* pump = new Thing(m_pLevel, OBJ_PUMP, 0, 0, 50.0f, 90.0f);
    auto* plant = new Thing(m_pLevel, OBJ_PLANT, 3, 3, 60.0f, 80.0f);
    m_World.need[plant] = 0;
    m_pPlayer->m_iLevel = 1;
    m_pPlayer->m_Events[0] = 1;

    // The can already in his hands: straight on to the pump.
    m_World.inUse[can] = 1;
    Steps(1);
    ASSERT_EQ(Training().iKind, 1);
    EXPECT_EQ(Training().iStep, 1);
    EXPECT_FALSE(HintShown());
    WaitForStep(17);
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingWater1);
    EXPECT_EQ(Highlight(), pump->GetRect());
    // Filled meanwhile: the pump step passes by itself.
    Training().Stop();
    m_pPlayer->m_Events[1] = 0;
    m_World.full[can] = 1;
    Steps(1);
    EXPECT_EQ(Training().iStep, 1);
    Steps(17);
    EXPECT_EQ(Training().iStep, 2) << "the pump step passed without showing";
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingWater2);
    Training().NextStep(1, 2);
    Steps(18);
    EXPECT_FALSE(Training().IsActive());

    // Too poor to fill the can: the lesson ends at its first step.
    Training().Stop();
    m_pPlayer->m_Events[1] = 0;
    m_World.inUse.clear();
    m_pPlayer->m_iMoney = 4;
    Steps(1);
    EXPECT_FALSE(Training().IsActive());
    EXPECT_EQ(m_pPlayer->m_Events[1], 1);
}

TEST_F(Tutorial, LevelFiveSuggestsTheCheaperSeedOnTheOliveBed)
{
    m_pPlayer->m_Events[0] = 1;
    auto* hole = new Thing(m_pLevel, OBJ_HOLE, 2, 4);
    auto* olive = new Thing(m_pLevel, OBJ_PLANT, 2, 4);
    m_World.ware[olive] = WareOf("plant00");
    AddTask("plant02");
    m_pPlayer->m_iLevel = 4;
    Steps(1);
    EXPECT_FALSE(Training().IsActive()) << "only on level 5";
    m_pPlayer->m_iLevel = 5;
    AddTask("plant00");
    Steps(1);
    EXPECT_FALSE(Training().IsActive()) << "not while the olive is still wanted";
    m_pPlayer->m_Tasks.erase(m_pPlayer->m_Tasks.begin() + 1);
    Steps(1);
    ASSERT_EQ(Training().iKind, 11);
    EXPECT_EQ(Highlight(), rectf(100.0f + 134.0f - 15.0f, 5.0f, 94.0f, 94.0f)) << "the third seed of the panel";
    Training().NextStep(11, 0);
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingPlantInstead1);
    EXPECT_EQ(Highlight(), hole->GetRect()) << "the bed under the olive";
}

TEST_F(Tutorial, TheHiveLessonLooksForFreeCellsInsideTheGrid)
{
    m_pPlayer->m_Events[0] = 1;
    m_pPlayer->m_iMoney = 0;
    AddTask("honey");
    m_pPlayer->m_fClock = 2.0f;
    Steps(1);
    EXPECT_FALSE(Training().IsActive()) << "no money for a hive: the lesson ends at once";
    EXPECT_EQ(m_pPlayer->m_Events[9], 1);

    // A hive in column 0 of row 7; the only free cell left of it lies
    // beyond the grid's edge, so the scan starts at column 0.
    auto* hive = new Thing(m_pLevel, OBJ_HIVE, 7, 0);
    for (int column = 1; column < 4; ++column) new Thing(m_pLevel, OBJ_HOLE, 7, column);
    Training().iKind = 9;
    Training().iStep = 2;
    m_pGarden->ShowTrainingStep();
    ASSERT_TRUE(Training().IsActive());
    const vec2 size = m_pLevel->GetCellSize();
    EXPECT_EQ(Highlight(), rectf(130.0f + 4.0f * size.x, 130.0f + 7.0f * size.y, size.x, size.y));

    // Nowhere left: the lesson ends.
    for (int column = 4; column < 10; ++column) new Thing(m_pLevel, OBJ_HOLE, 7, column);
    m_pGarden->ShowTrainingStep();
    EXPECT_FALSE(Training().IsActive());
    // Without a hive it ends too.
    hive->SetState(2);
    m_pLevel->FlushRemoved();
    Training().iKind = 9;
    Training().iStep = 2;
    m_pGarden->ShowTrainingStep();
    EXPECT_FALSE(Training().IsActive());

    // The last step drops the ware the gardener carries.
    auto* gardener = new Thing(m_pLevel, OBJ_GARDENER, 0, 0);
    m_pLevel->m_uGardenerId = gardener->GetId();
    Training().iKind = 9;
    Training().iStep = 3;
    m_pGarden->ShowTrainingStep();
    EXPECT_EQ(m_World.droppedWare, 1);
    EXPECT_FALSE(Training().IsActive());
}

TEST_F(Tutorial, AStepWithoutItsTargetEndsTheLessonAndStepsPastTheTableDoNothing)
{
    m_pPlayer->m_fClock = 2.0f;
    Steps(1);
    ASSERT_EQ(Training().iKind, 0);
    Training().NextStep(0, 0);
    Steps(18);
    EXPECT_FALSE(Training().IsActive()) << "no bed on the field";

    Training().iKind = 3;
    Training().iStep = 7;
    m_pGarden->ShowTrainingStep();
    EXPECT_EQ(Training().iKind, 3) << "a step beyond the rows changes nothing";
    EXPECT_FALSE(HintShown());
}

TEST_F(Tutorial, TheHintsCloseButtonAndCheckBoxDriveTheTutorial)
{
    m_pPlayer->m_Events[0] = 1;
    new Thing(m_pLevel, OBJ_TOOL_BIN, 0, 3);
    new Thing(m_pLevel, OBJ_OSTRICH, 3, 3);
    auto* animal = new Thing(m_pLevel, OBJ_OSTRICH, 3, 5);
    animal->SetState(3);
    Steps(1);
    ASSERT_EQ(Training().iKind, 5) << "a hungry ostrich and money for grass";
    Training().NextStep(5, 0);
    WaitForStep();
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingAnimalFood1);
    const vec2 size = m_pLevel->GetCellSize();
    EXPECT_EQ(Highlight(), rectf(130.0f + 8.0f * size.x, 130.0f + size.y, size.x, size.y))
        << "row 1 from column 8 down";
    Training().NextStep(5, 1);
    WaitForStep();
    vek::cWindow* hint = m_pGame->pGUI->GetWindow("hint");
    ClickControl(hint, "close");
    EXPECT_EQ(Training().iStep, 3);

    // The check box switches the whole tutorial off.
    Training().iKind = 8;
    Training().iStep = 0;
    auto* show = GetWindowControlAs<vek::cCheckBoxSysCtrl>(hint, "show");
    ASSERT_NE(show, nullptr);
    m_pGame->pGUI->SendMessage(hint->GetID(), vek::cGUI::e_wndCheck, 0, static_cast<unsigned>(show->GetID()));
    EXPECT_EQ(m_pGarden->GetTraining(), 0);
    EXPECT_FALSE(Training().IsActive());
}

TEST_F(Tutorial, FinishedAndInterruptedLessonsStaySpentAcrossAReload)
{
    m_pPlayer->m_fClock = 2.0f;
    Steps(1);
    ASSERT_TRUE(Training().IsActive());
    Training().Stop();
    m_pPlayer->m_Events[13] = 1;
    ASSERT_TRUE(m_pPlayer->SavePlayer());

    auto* again = new cPlayer("tut");
    ASSERT_TRUE(again->LoadPlayer());
    EXPECT_EQ(again->m_Events[0], 1);
    EXPECT_EQ(again->m_Events[13], 1);
    EXPECT_EQ(again->m_Events[1], 0);
    delete again;
}

} // namespace

TEST_F(Tutorial, TheDefaultWorldAsksTheFieldsRealObjectsAndTheGame)
{
    SetTrainingWorld(nullptr);
    const cTrainingWorld& world = GetTrainingWorld();

    cPlant plant(m_pLevel, 1);
    EXPECT_EQ(world.GetPlantNeed(plant), cPlant::e_NeedNone);
    plant.SetNeed(cPlant::e_NeedWater);
    EXPECT_EQ(world.GetPlantNeed(plant), plant.GetNeed());
    EXPECT_EQ(world.GetPlantWare(plant), plant.GetWareId());

    cToolWater can(m_pLevel);
    can.SetCapacity(2);
    can.SetWater(1);
    EXPECT_FALSE(world.IsToolFull(can));
    can.SetWater(2);
    EXPECT_TRUE(world.IsToolFull(can));
    EXPECT_FALSE(world.IsToolInUse(can));
    can.SetInUse(true);
    EXPECT_TRUE(world.IsToolInUse(can));

    cToolBin bin(m_pLevel);
    EXPECT_EQ(world.IsToolFull(bin), bin.IsFull());

    cHive hive(m_pLevel);
    EXPECT_FALSE(world.HiveHasHoney(hive));
    hive.SetHoney(1);
    EXPECT_TRUE(world.HiveHasHoney(hive));

    // An object of another class than the one asked about gets the quiet answer.
    EXPECT_EQ(world.GetPlantNeed(can), cPlant::e_NeedNone);
    EXPECT_FALSE(world.IsToolFull(plant));
    EXPECT_FALSE(world.HiveHasHoney(plant));

    m_pGarden->m_Ships.clear();
    EXPECT_EQ(world.GetFirstShip(), nullptr);
    m_pGarden->m_Ships.resize(2);
    EXPECT_EQ(world.GetFirstShip(), &m_pGarden->m_Ships.front());

    world.StartHintTimer(4.0f);
    EXPECT_TRUE(m_pGarden->m_HintTimer.IsMoving());
}

// The honey's and the milk's lessons open with taking the basket. A basket
// already in the gardener's hands passes that step, and a basket that
// moves while its step shows (dropped where the gardener took another
// tool) is pointed at where it lies now: the hint lets clicks through only
// inside its highlight, so either case would otherwise hold the lesson,
// and the level's clock, for ever.
TEST_F(Tutorial, TheBasketStepsFollowTheBasket)
{
    for (int kind = 0; kind < cTraining::kLessons; ++kind) m_pPlayer->m_Events[static_cast<size_t>(kind)] = 1;
    auto* bin = new Thing(m_pLevel, OBJ_TOOL_BIN, 2, 2);
    auto* hive = new Thing(m_pLevel, OBJ_HIVE, 5, 5);
    m_World.honey[hive] = 1;

    m_World.inUse[bin] = 1;
    m_pPlayer->m_Events[10] = 0;
    Steps(1);
    ASSERT_EQ(Training().iKind, 10);
    EXPECT_EQ(Training().iStep, 1) << "the basket in hand: straight on to the hive";
    WaitForStep(17);
    EXPECT_EQ(HintText(), GetLocaleGD().TrainingHoney1);

    Training().Stop();
    m_World.inUse.clear();
    m_pPlayer->m_Events[10] = 0;
    Steps(1);
    ASSERT_EQ(Training().iKind, 10);
    ASSERT_EQ(Training().iStep, 0);
    EXPECT_EQ(Highlight(), bin->GetRect());
    bin->SetCell(4, 1);
    Steps(1);
    EXPECT_EQ(Training().iStep, 0);
    EXPECT_EQ(Highlight(), bin->GetRect()) << "the highlight follows the basket";
    // Taken now that it is in hand.
    m_World.inUse[bin] = 1;
    bin->SetCell(4, 2);
    Steps(1);
    EXPECT_EQ(Training().iStep, 1);
}
