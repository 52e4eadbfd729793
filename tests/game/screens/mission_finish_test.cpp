// The level's finish screen over the repository's scripts, with the score
// panel and the garden's toolbars beside it: the money counted into the
// bank, the time bonus, the medal's flight and landing, the awards one
// after another with their lines, stars and grants, the skip, and the way
// on to the upgrades screen or the island.
#include <gtest/gtest.h>

#include <functional>

#include "engine/gui/listctrl.h"
#include "game/screens/mission_finish.h"
#include "game/screens/mission_start.h"
#include "game/screens/upgrades_screen.h"
#include "game/shell/locale_gd.h"
#include "game/world/particles.h"
#include "mission_fixture.h"

using namespace missiontest;

namespace {

TEST(MissionTables, TheTimeBonusIsTwoUnitsASecondToTheNearestFive)
{
    EXPECT_EQ(TimeBonus(0.0f), 0);  // at the limit
    EXPECT_EQ(TimeBonus(-3.0f), 0);  // past it
    EXPECT_EQ(TimeBonus(NAN), 0);
    EXPECT_EQ(TimeBonus(0.2f), 5);  // at least 5
    EXPECT_EQ(TimeBonus(1.0f), 5);
    EXPECT_EQ(TimeBonus(12.4f), 25);  // trunc(24.8) = 24, (24 + 2.5) / 5 -> 5
    EXPECT_EQ(TimeBonus(13.75f), 25);  // 27 -> trunc(29.5 / 5) = 5
    EXPECT_EQ(TimeBonus(14.0f), 30);
    EXPECT_EQ(TimeBonus(10.0f), 20);
    EXPECT_EQ(TimeBonus(3.0e9f), 400000000);  // held where an int still holds it
}

class MissionFinish : public MissionFixture {
protected:
    void SetUp() override
    {
        MissionFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        m_pFinish = new cMissionFinishWF();
        m_pWindow = Fill("mission_finish", m_pFinish);
        ASSERT_NE(m_pWindow, nullptr);
        ASSERT_FALSE(m_pFinish->IsLocked());
        m_pScore = Fill("score", new vek::cWindowFunction());
        m_pGardenWindow = Fill("garden", new vek::cWindowFunction());
        m_pUp = new cUpWF();
        ASSERT_NE(Fill("up", m_pUp), nullptr);
        m_pGarden->m_BedLayouts.resize(3);
        m_pPlayer->m_iProgress = 0;
        m_pPlayer->m_iSorts = 0;
        m_pPlayer->m_iAnimals = -1;
        m_pPlayer->m_iPlayerValue = 0;
    }

    // Level 0 (a new sort and more beds) won at 80 s of 90, with 120 in
    // money and 30 in the bank, with gold.
    void WinLevel0()
    {
        m_pGarden->SetupLevel(0);
        Press(Start(), "ok");
        Run(1.0f);
        m_pPlayer->m_iMoney = 120;
        m_pPlayer->m_iIslandMoney = 30;
        m_pPlayer->m_fClock = 80.0f;
        m_pGarden->m_iLastMedal = 0;
        Sounds().clear();
        ASSERT_TRUE(m_pGarden->ShowGameWindow("mission_finish", 2));
    }
    vek::cWindow* Start()
    {
        if (!m_pStartWindow) m_pStartWindow = Fill("mission_start", new cMissionStartWF());
        return m_pStartWindow;
    }

    // GUI updates until the condition holds (at most `limit` seconds); the
    // seconds it took.
    float Until(const std::function<bool()>& done, float limit = 20.0f)
    {
        float t = 0.0f;
        while (!done() && t < limit) {
            GUI().Update(1.0f / 30.0f);
            t += 1.0f / 30.0f;
        }
        EXPECT_TRUE(done()) << "not within " << limit << " s";
        return t;
    }
    // A burst of that spread at the control's centre.
    bool BurstAt(vek::cWindow* window, const char* name, float spread)
    {
        const vek::vec2 c = ControlCentre(Get<vek::cCtrl>(window, name));
        const cParticlePool& pool = m_pGarden->m_pParticles->poolD;
        for (size_t i = 0; i < pool.GetEmitterCount(); ++i) {
            const cEmitter* e = pool.GetEmitterAt(i);
            if (e->fSpread == spread && e->vPos.x == c.x && e->vPos.y == c.y) return true;
        }
        return false;
    }

    cMissionFinishWF* m_pFinish = nullptr;
    cUpWF* m_pUp = nullptr;
    vek::cWindow* m_pWindow = nullptr;
    vek::cWindow* m_pScore = nullptr;
    vek::cWindow* m_pGardenWindow = nullptr;
    vek::cWindow* m_pStartWindow = nullptr;
};

TEST_F(MissionFinish, TheWholeSequenceAfterTheFirstLevel)
{
    WinLevel0();
    EXPECT_EQ(m_pGarden->GetFlowState(), 2);
    EXPECT_EQ(Text(m_pWindow, "caption"), "Level 1 complete");
    EXPECT_FALSE(Visible(m_pWindow, "imgMedal"));
    for (const char* name : {"lbAward0", "imgAward0", "lbAward1", "imgAward1", "lbAward2", "imgAward2"})
        EXPECT_FALSE(Visible(m_pWindow, name)) << name;
    EXPECT_EQ(Sounds(), std::vector<unsigned>{2});

    // Two seconds of nothing, then the money counted in 1.2 s with coins
    // flying from the panel to the bank.
    const float wait = Until([&] { return m_pPlayer->m_iIslandMoney != 30; });
    EXPECT_NEAR(wait, 2.0f, 0.1f);
    Run(0.6f);
    EXPECT_GT(m_pPlayer->m_iIslandMoney, 30);
    EXPECT_LT(m_pPlayer->m_iIslandMoney, 150);
    EXPECT_EQ(m_pPlayer->m_iMoney + m_pPlayer->m_iIslandMoney, 150);  // nothing lost in between
    EXPECT_GE(SoundCount(25), 2);
    EXPECT_GE(Flights(), 2u);
    const float money = Until([&] { return m_pPlayer->m_iMoney == 0; });
    EXPECT_NEAR(money, 0.6f, 0.1f);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 150);
    GUI().Update(1.0f / 30.0f);  // the bank shows the funds of the step before
    EXPECT_EQ(Text(m_pWindow, "lbBank"), "150");

    // A pause of 1 s, then 10 s left pay 20 while the clock runs up.
    const float pause = Until([&] { return m_pPlayer->m_iIslandMoney != 150; });
    EXPECT_NEAR(pause, 1.0f - 1.0f / 30.0f, 0.1f);
    Until([&] { return m_pPlayer->m_iIslandMoney == 170; });
    EXPECT_FLOAT_EQ(m_pPlayer->m_fClock, 90.0f);
    EXPECT_EQ(m_pPlayer->m_iMoney, 0);

    // The medal flies from the panel's clock and lands after a second,
    // with its burst and "goal_done".
    Until([&] { return Visible(m_pWindow, "imgMedal"); });
    EXPECT_EQ(UV(m_pWindow, "imgMedal"), Frame("houses05", "gold"));
    EXPECT_TRUE(BurstAt(m_pWindow, "imgMedal", 15.0f));
    EXPECT_EQ(SoundCount(1), 1);
    EXPECT_EQ(m_pFinish->GetMedal(), -1);

    // The new sort: its line, "good", and a star to the plant toolbar; the
    // sort itself comes with the star's arrival.
    const size_t before = Flights();
    Until([&] { return Visible(m_pWindow, "lbAward0"); });
    const cSort* sort = g_pWareManager->GetSort(1);
    EXPECT_EQ(Text(m_pWindow, "lbAward0"), sort->strTitle);
    EXPECT_TRUE(Visible(m_pWindow, "imgAward0"));
    EXPECT_EQ(UV(m_pWindow, "imgAward0"), Frame("icons00", sort->strName.c_str()));
    EXPECT_TRUE(BurstAt(m_pWindow, "imgAward0", 10.0f));
    EXPECT_EQ(SoundCount(26), 1);
    EXPECT_EQ(Flights(), before + 1);
    EXPECT_EQ(m_pPlayer->m_iSorts, 0);
    const float grant = Until([&] { return m_pPlayer->m_iSorts == 1; });
    EXPECT_NEAR(grant, 2.0f, 0.1f);

    // Half a second, then more beds.
    const float beds = Until([&] { return Visible(m_pWindow, "lbAward1"); });
    EXPECT_NEAR(beds, 0.5f, 0.1f);
    EXPECT_EQ(Text(m_pWindow, "lbAward1"), GetLocaleGD().AwardHoles);
    EXPECT_EQ(UV(m_pWindow, "imgAward1"), Frame("images00", "hole"));
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 1);
    EXPECT_FALSE(Visible(m_pWindow, "lbAward2"));
    Run(0.1f);
    EXPECT_TRUE(m_pFinish->IsDone());

    // No upgrade offered: "ok" leads back to the island.
    Run(2.0f);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 170);
    EXPECT_EQ(m_pPlayer->m_iSorts, 1);
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 1);
    Press(m_pWindow, "ok");
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
    Run(1.0f);
    EXPECT_FALSE(Shown("mission_finish"));
    EXPECT_FALSE(Shown("up"));
}

TEST_F(MissionFinish, TheStarFliesToTheNextPlaceOfThePlantToolbar)
{
    auto* plants = Get<vek::cListCtrl>(m_pGardenWindow, "plants");
    ASSERT_NE(plants, nullptr);
    for (int i = 0; i < 12; ++i) plants->InsertItemCtrl(99, new vek::cImageCtrl("item", nullptr), i);
    const vek::rect<float> r = plants->GetRect();
    ASSERT_EQ(plants->GetItemSize().x, 64.0f);
    WinLevel0();
    Until([&] { return Visible(m_pWindow, "lbAward0"); });
    const cFlyingItem* star = m_pGarden->m_pFlyingItems->GetItems().back();
    // Sort 0 unlocked: a strip one item wide, the star one place right of it.
    EXPECT_FLOAT_EQ(star->path.GetValue(2.0f).x, r.x + 64.0f - r.h / 2 + 67.0f);
    EXPECT_FLOAT_EQ(star->path.GetValue(2.0f).y, r.y + r.h / 2);
    EXPECT_EQ(star->trail.size(), 5u);
    EXPECT_EQ(plants->GetFirstVisible(), 0u);
}

TEST_F(MissionFinish, OkSkipsToTheEndAndEveryAwardIsStillGranted)
{
    WinLevel0();
    Run(2.5f);  // counting the money
    ASSERT_LT(m_pPlayer->m_iIslandMoney, 150);
    const size_t flights = Flights();
    Press(m_pWindow, "ok");
    EXPECT_TRUE(m_pFinish->IsDone());
    GUI().Update(1.0f / 30.0f);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 170);
    EXPECT_EQ(m_pPlayer->m_iMoney, 0);
    EXPECT_FLOAT_EQ(m_pPlayer->m_fClock, 90.0f);
    EXPECT_TRUE(Visible(m_pWindow, "imgMedal"));
    EXPECT_EQ(SoundCount(1), 1);
    EXPECT_EQ(m_pPlayer->m_iSorts, 1);
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 1);
    EXPECT_TRUE(Visible(m_pWindow, "lbAward0"));
    EXPECT_TRUE(Visible(m_pWindow, "lbAward1"));
    EXPECT_EQ(SoundCount(26), 0);  // no "good" and no stars after the skip
    EXPECT_LE(Flights(), flights);
    Run(3.0f);  // nothing is given twice
    EXPECT_EQ(m_pPlayer->m_iSorts, 1);
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 1);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 170);
    Press(m_pWindow, "ok");
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
}

TEST_F(MissionFinish, TwoOksBeforeAnyStepStillGrantEverything)
{
    WinLevel0();
    Press(m_pWindow, "ok");
    Press(m_pWindow, "ok");
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 170);
    EXPECT_EQ(m_pPlayer->m_iSorts, 1);
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 1);
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
    Run(1.0f);
    EXPECT_FALSE(Shown("mission_finish"));
}

TEST_F(MissionFinish, NoMoneyNoTimeLeftAndAReplayedLevelWithEverythingUnlocked)
{
    m_pPlayer->m_iSorts = 7;  // every sort
    m_pPlayer->m_iPlayerValue = 2;  // the last layout
    m_pGarden->SetupLevel(0);
    Press(Start(), "ok");
    Run(1.0f);
    m_pPlayer->m_iMoney = 0;
    m_pPlayer->m_iIslandMoney = 30;
    m_pPlayer->m_fClock = 120.0f;  // past the limit: silver
    m_pGarden->m_iLastMedal = 1;
    Sounds().clear();
    m_pGarden->ShowGameWindow("mission_finish", 2);
    // Straight to the medal after the first pause.
    const float medal = Until([&] { return SoundCount(25) == 1; });
    EXPECT_NEAR(medal, 2.0f, 0.1f);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 30);
    Until([&] { return m_pFinish->IsDone(); });
    EXPECT_EQ(UV(m_pWindow, "imgMedal"), Frame("houses05", "silver"));
    // Nothing left to unlock: no line, no grant.
    for (const char* name : {"lbAward0", "lbAward1", "lbAward2"}) EXPECT_FALSE(Visible(m_pWindow, name)) << name;
    EXPECT_EQ(m_pPlayer->m_iSorts, 7);
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 2);
    EXPECT_EQ(SoundCount(26), 0);
    EXPECT_FLOAT_EQ(m_pPlayer->m_fClock, 120.0f);
}

TEST_F(MissionFinish, FourAwardsUseThreeLinesAndAreAllGranted)
{
    m_pGarden->SetupLevel(0);
    Press(Start(), "ok");
    Run(1.0f);
    for (int32_t& flag : m_pGarden->m_aiCounters) flag = 1;
    m_pPlayer->m_iMoney = 0;
    m_pPlayer->m_iIslandMoney = 500;
    m_pPlayer->m_fClock = 90.0f;
    m_pGarden->ShowGameWindow("mission_finish", 2);
    Until([&] { return m_pFinish->IsDone(); }, 30.0f);
    EXPECT_EQ(m_pPlayer->m_iSorts, 1);
    EXPECT_EQ(m_pPlayer->m_iAnimals, 0);
    EXPECT_EQ(m_pPlayer->m_iPlayerValue, 1);
    EXPECT_EQ(m_pFinish->GetNextAwardLine(), 3);
    EXPECT_EQ(Text(m_pWindow, "lbAward1"), GetLocaleGD().Ostrich);
    EXPECT_EQ(Text(m_pWindow, "lbAward2"), GetLocaleGD().AwardUp);
    EXPECT_EQ(m_pGarden->m_aiCounters[2], 1);

    // The offer was affordable: "ok" opens the upgrades screen.
    Press(m_pWindow, "ok");
    EXPECT_TRUE(Shown("up"));
    EXPECT_EQ(m_pGarden->GetFlowState(), 3);
}

TEST_F(MissionFinish, AnOfferThePlayerCannotPayIsNoAward)
{
    m_pGarden->SetupLevel(0);
    Press(Start(), "ok");
    Run(1.0f);
    m_pGarden->m_aiCounters[0] = 0;
    m_pGarden->m_aiCounters[1] = 0;
    m_pGarden->m_aiCounters[2] = 1;
    m_pPlayer->m_iMoney = 50;
    m_pPlayer->m_iIslandMoney = 0;
    m_pPlayer->m_fClock = 90.0f;
    m_pGarden->ShowGameWindow("mission_finish", 2);
    Until([&] { return m_pFinish->IsDone(); });
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 50);
    EXPECT_FALSE(Visible(m_pWindow, "lbAward0"));
    EXPECT_EQ(m_pGarden->m_aiCounters[2], 0);
    ASSERT_FALSE(Sounds().empty());
    EXPECT_EQ(Sounds().back(), 26u) << "the offer's turn sounds even with nothing to offer";
    Press(m_pWindow, "ok");
    EXPECT_FALSE(Shown("up"));
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
}

TEST_F(MissionFinish, MissingControlsLockTheScreenAndMissingPanelsOnlyCostTheFlights)
{
    auto* broken = new cMissionFinishWF();
    FillScript("finish_broken",
               "function FillWindow(w)\n"
               "  for i = 0, 2 do cLabelCtrl(w, 'lbAward' .. i) cImageCtrl(w, 'imgAward' .. i) end\n"
               "  cLabelCtrl(w, 'lbBank') cLabelCtrl(w, 'caption') cButtonSysCtrl(w, 'ok')\n"
               "end\n",
               broken);
    EXPECT_TRUE(broken->IsLocked());

    // Without the score panel and the toolbars: no flight at all, the same
    // end.
    auto* bare = new cMissionFinishWF();
    vek::cWindow* w = FillScript("finish_bare",
                                 "function FillWindow(w)\n"
                                 "  for i = 0, 2 do cLabelCtrl(w, 'lbAward' .. i) cImageCtrl(w, 'imgAward' .. i) end\n"
                                 "  cLabelCtrl(w, 'lbBank') cImageCtrl(w, 'imgMedal') cButtonSysCtrl(w, 'ok')\n"
                                 "  local c = cLabelCtrl(w, 'caption') c:SetText('Won %i')\n"
                                 "end\n",
                                 bare);
    ASSERT_FALSE(bare->IsLocked());
    // The repository's windows of the panel and the garden are gone.
    GUI().GetWindow("score")->SetName("score_gone");
    GUI().GetWindow("garden")->SetName("garden_gone");
    m_pGarden->SetupLevel(0);
    Press(Start(), "ok");
    Run(1.0f);
    m_pPlayer->m_iMoney = 100;
    m_pPlayer->m_iIslandMoney = 0;
    m_pPlayer->m_fClock = 80.0f;
    m_pGarden->ShowGameWindow("finish_bare", 2);
    EXPECT_EQ(Text(w, "caption"), "Won 1");
    Until([&] { return bare->IsDone(); });
    EXPECT_EQ(Flights(), 0u);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 120);
    EXPECT_EQ(m_pPlayer->m_iSorts, 1);
    EXPECT_TRUE(Visible(w, "imgMedal"));
}

} // namespace
