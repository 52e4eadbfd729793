// The screen hints over the game object and a real hint window: where each
// kind points, which come once per profile, and when none shows at all.
#include "training_fixture.h"

#include "game/screens/controls.h"
#include "game/world/building.h"

namespace {

using tuttest::Thing;
using vek::rectf;
using vek::vec2;

class ScreenHints : public tuttest::TutorialFixture {
protected:
    int32_t State(int kind) const { return m_pPlayer->m_Hints[static_cast<size_t>(kind)]; }
    // Hides the hint and lets it fade out.
    void Dismiss()
    {
        m_pGarden->HideHint(-1);
        for (int i = 0; i < 30; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);
    }
};

TEST_F(ScreenHints, TheBinHintPointsAtTheBasketOncePerProfile)
{
    m_pGarden->ShowHint(0, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "no basket: nothing to point at";
    EXPECT_EQ(State(0), 0);

    auto* bin = new Thing(m_pLevel, OBJ_TOOL_BIN, 0, 3, 30.0f, 30.0f);
    m_pGarden->ShowHint(0, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, 0);
    EXPECT_TRUE(HintShown());
    EXPECT_EQ(HintText(), GetLocaleGD().HintBinUp);
    const rectf r = bin->GetRect();
    EXPECT_EQ(Arrow(), vec2(r.x + r.w, r.y + r.h));
    EXPECT_FALSE(Visible("highlight"));
    EXPECT_TRUE(Visible("close")) << "it waits for its button";
    EXPECT_EQ(State(0), 1);

    Dismiss();
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);
    m_pGarden->ShowHint(0, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "done for good";
    EXPECT_FALSE(HintShown());

    // Across a save and a reload of the profile.
    ASSERT_TRUE(m_pPlayer->SavePlayer());
    m_pPlayer->m_Hints.assign(10, 0);
    ASSERT_TRUE(m_pPlayer->LoadPlayer());
    EXPECT_EQ(State(0), 1);
    m_pGarden->ShowHint(0, 0);
    EXPECT_FALSE(HintShown());
}

TEST_F(ScreenHints, NoHintWhileALessonRunsAMissionScreenIsOpenOrTheKindIsUnknown)
{
    new Thing(m_pLevel, OBJ_TOOL_BIN, 0, 3);
    m_pGarden->m_Training.iKind = 0;
    m_pGarden->m_Training.iStep = 4;
    m_pGarden->ShowHint(0, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "not even remembered";
    EXPECT_EQ(State(0), 0);
    m_pGarden->m_Training.iKind = -1;
    m_pGarden->SetFlowState(2);
    m_pGarden->ShowHint(0, 0);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);
    m_pGarden->SetFlowState(0);
    m_pGarden->ShowHint(0, 10);
    m_pGarden->ShowHint(0, 0xffffffffu);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);
    EXPECT_EQ(m_pPlayer->m_Hints.size(), 10u);
    EXPECT_FALSE(HintShown());
}

TEST_F(ScreenHints, TheTaskHintExplainsTheFirstTaskThenJustAnnouncesNewOnes)
{
    tuttest::TaskLine line0(rectf(800.0f, 700.0f, 200.0f, 40.0f));
    AddTask("plant00");
    AddTask("plant01");
    m_pPlayer->m_Tasks[0].pLine = &line0;

    m_pGarden->ShowHint(1, 4);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "a task without a line";
    m_pGarden->ShowHint(2, 4);
    m_pGarden->ShowHint(-1, 4);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "past the active tasks";
    EXPECT_EQ(State(4), 0);

    m_pGarden->ShowHint(0, 4);
    EXPECT_EQ(m_pGarden->m_iShownHint, 4);
    EXPECT_EQ(HintText(), GetLocaleGD().HintNewTask0);
    EXPECT_EQ(Arrow(), vec2(800.0f, 700.0f));
    EXPECT_FALSE(Visible("close")) << "it goes by itself";
    EXPECT_EQ(m_World.hintTimer, 6.0f);
    EXPECT_EQ(State(4), 2);
    Dismiss();

    m_pGarden->ShowHint(0, 4);
    EXPECT_EQ(HintText(), GetLocaleGD().HintNewTask);
    EXPECT_EQ(m_World.hintTimer, 4.0f);
    EXPECT_EQ(State(4), 2) << "it can come again";
}

TEST_F(ScreenHints, MedalHintsPointAtTheClocksMedal)
{
    m_pGarden->ShowHint(0, 7);
    EXPECT_EQ(HintText(), GetLocaleGD().HintSilver);
    EXPECT_EQ(Arrow(), vec2(760.0f, 720.0f));
    Dismiss();
    m_pGarden->ShowHint(0, 8);
    EXPECT_EQ(HintText(), GetLocaleGD().HintBronze);
    Dismiss();
    EXPECT_EQ(State(7), 1);
    EXPECT_EQ(State(8), 1);
    m_pGarden->ShowHint(0, 7);
    EXPECT_FALSE(HintShown());

    // The island's rating buttons; kind 6 points at the far corner.
    // The arrow's mirrored size tells the frame's side: kind 5 below and
    // to the left of its point, kind 6 above and to the right.
    m_pGarden->ShowHint(0, 5);
    EXPECT_EQ(HintText(), GetLocaleGD().HintStatGarden);
    EXPECT_EQ(Arrow(), vec2(20.0f, 600.0f));
    EXPECT_LT(Hint("arrow")->GetRect().w, 0.0f);
    EXPECT_LT(Hint("arrow")->GetRect().h, 0.0f);
    Dismiss();
    m_pGarden->ShowHint(0, 6);
    EXPECT_EQ(HintText(), GetLocaleGD().HintStatIsland);
    EXPECT_EQ(Arrow(), vec2(70.0f, 540.0f));
    EXPECT_GT(Hint("arrow")->GetRect().w, 0.0f);
    EXPECT_GT(Hint("arrow")->GetRect().h, 0.0f);
    EXPECT_EQ(State(5), 1);
    EXPECT_EQ(State(6), 1);
    Dismiss();
    // Both come once per profile.
    m_pGarden->ShowHint(0, 5);
    m_pGarden->ShowHint(0, 6);
    EXPECT_FALSE(HintShown());
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);
}

TEST_F(ScreenHints, TheFlowersHintFindsThirstyFlowers)
{
    auto* olive = new Thing(m_pLevel, OBJ_PLANT, 2, 2);
    auto* dry = new Thing(m_pLevel, OBJ_PLANT, 3, 3, 60.0f, 80.0f);
    auto* thirsty = new Thing(m_pLevel, OBJ_PLANT, 4, 4, 60.0f, 80.0f);
    m_World.need[olive] = 0;
    m_World.ware[dry] = WareOf("flowers");
    m_World.need[dry] = 1;
    m_pGarden->ShowHint(0, 9);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "only flowers that need water";
    m_World.ware[thirsty] = WareOf("flowers");
    m_World.need[thirsty] = 0;
    m_pGarden->ShowHint(0, 9);
    EXPECT_EQ(HintText(), GetLocaleGD().HintFlowersWater);
    const rectf r = thirsty->GetRect();
    EXPECT_EQ(Arrow(), vec2(r.x + r.w, r.y + r.h));
    EXPECT_EQ(State(9), 1);
}

TEST_F(ScreenHints, HideHintForgetsTheShownKind)
{
    m_pGarden->ShowHint(0, 7);
    ASSERT_EQ(m_pGarden->m_iShownHint, 7);
    m_pGarden->HideHint(4);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1) << "another kind is forgotten, not hidden";
    EXPECT_TRUE(HintShown());
    m_pGarden->m_iShownHint = 7;
    m_pGarden->HideHint(7);
    for (int i = 0; i < 30; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);
    EXPECT_FALSE(HintShown());

    // The start hint stays remembered with no island to point at.
    m_pGarden->m_pIsland = nullptr;
    m_pGarden->ShowHint(0, 3);
    EXPECT_EQ(m_pGarden->m_iShownHint, 3);
    EXPECT_FALSE(HintShown());
    // Without a ship there is no settlers' hint.
    m_pGarden->HideHint(-1);
    m_pGarden->ShowHint(0, 2);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);
    EXPECT_EQ(State(2), 0);
}

TEST_F(ScreenHints, AHintsCostFollowsTheBuildingsPurchase)
{
    cHouse house("house00", "Hut");
    house.iPrice = 100;
    const struct {
        int funds, cost;
    } cases[] = {{250, 100}, {100, 100}, {99, 94}, {5, 0}, {4, 4}, {0, 0}};
    for (const auto& c : cases) {
        m_pPlayer->m_iIslandMoney = c.funds;
        EXPECT_EQ(m_pGarden->GetHintCost(&house), c.cost) << "funds " << c.funds;
    }
    EXPECT_EQ(m_pGarden->GetHintCost(nullptr), 0);
    EXPECT_EQ(m_pGarden->FindLevelSpot(nullptr), -1);
}

TEST_F(ScreenHints, EventFlagsOfTheProfile)
{
    EXPECT_FALSE(m_pGarden->IsEventSeen(11));
    m_pGarden->SetEventSeen11();
    EXPECT_TRUE(m_pGarden->IsEventSeen(11));
    EXPECT_FALSE(m_pGarden->IsEventSeen(10));
    EXPECT_FALSE(m_pGarden->IsEventSeen(15)) << "past the list";
    ASSERT_TRUE(m_pPlayer->SavePlayer());
    m_pPlayer->m_Events.assign(15, 0);
    ASSERT_TRUE(m_pPlayer->LoadPlayer());
    EXPECT_TRUE(m_pGarden->IsEventSeen(11));
}

} // namespace
