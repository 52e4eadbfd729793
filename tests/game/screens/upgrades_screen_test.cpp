// The upgrades screen over the repository's script: the six upgrades'
// pictures, texts and prices, the offers it shows and hides, the choice
// with its preview star and description, the purchase (paid, raised and in
// effect at once, or nothing at all), and its closing to the island.
#include <gtest/gtest.h>

#include "game/objects/gardener.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/screens/upgrades_screen.h"
#include "game/shell/locale_gd.h"
#include "game/shell/profile_host.h"
#include "game/world/level.h"
#include "mission_fixture.h"

using namespace missiontest;

namespace {

TEST(UpgradeTable, SheetsSpritesTextsLevelsAndPrices)
{
    const cLocaleGD& t = GetLocaleGD();
    const struct {
        const char* sheet;
        const char* sprite;
        const vek::string* text;
        std::vector<int> prices;
    } table[6] = {
        {"gui_ups00", "speed", &t.UpSpeedGardener, {200, 600, 1000}},
        {"gui_ups00", "volume_water", &t.UpVolumeWater, {300, 500, 800}},
        {"gui_ups00", "volume_bin", &t.UpVolumeBin, {100, 700}},
        {"gui_ups01", "time_water", &t.UpTimeWater, {250, 400, 600}},
        {"gui_ups01", "time_weed", &t.UpTimeWeed, {150, 400, 600}},
        {"gui_ups00", "time_bin", &t.UpTimeBin, {350, 500, 900}},
    };
    cUpgrades upgrades;
    for (int i = 0; i < 6; ++i) {
        vek::string sheet, sprite;
        ASSERT_TRUE(GetUpgradeIcon(i, sheet, sprite));
        EXPECT_EQ(sheet, table[i].sheet) << i;
        EXPECT_EQ(sprite, table[i].sprite) << i;
        EXPECT_EQ(GetUpgradeText(i), *table[i].text) << i;
        // The prices of each next level, then nothing once at the top.
        std::vector<int> prices;
        for (int price = upgrades.GetPrice(i); price != 0 && prices.size() < 5; price = upgrades.GetPrice(i)) {
            prices.push_back(price);
            upgrades.SetLevel(i, upgrades.GetLevel(i) + 1);
        }
        EXPECT_EQ(prices, table[i].prices) << i;
    }
    for (int bad : {-1, 6, 1000}) {
        vek::string sheet = "x", sprite = "y";
        EXPECT_FALSE(GetUpgradeIcon(bad, sheet, sprite));
        EXPECT_EQ(sheet, "x");
        EXPECT_EQ(sprite, "y");
        EXPECT_EQ(GetUpgradeText(bad), "");
    }
}

class UpgradesScreen : public MissionFixture {
protected:
    void SetUp() override
    {
        MissionFixture::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        m_pUp = new cUpWF();
        m_pWindow = Fill("up", m_pUp);
        ASSERT_NE(m_pWindow, nullptr);
        ASSERT_FALSE(m_pUp->IsLocked());
        for (int i = 0; i < 3; ++i) {
            m_pBox[i] = Get<cCheckBoxUpCtrl>(m_pWindow, ("ch" + std::to_string(i)).c_str());
            ASSERT_NE(m_pBox[i], nullptr);
        }
        m_pDone = Get<vek::cCtrl>(m_pWindow, "done");
        // A field with the gardener and a can, for upgrades in effect at once.
        m_pField = new cLevel("field");
        m_pGardener = new cGardener(m_pField);
        m_pCan = new cToolWater(m_pField);
        GetProfileHost().pLevel = m_pField;
    }
    void TearDown() override
    {
        GetProfileHost().pLevel = nullptr;
        MissionFixture::TearDown();
    }

    void Open(int funds)
    {
        m_pPlayer->m_iIslandMoney = funds;
        ASSERT_TRUE(m_pGarden->ShowGameWindow("up", 1));
        Run(0.6f);
    }
    // The box's checked state as the window learns it: the box posts 49.
    void Check(int i)
    {
        m_pBox[i]->SetCheck(true);
        GUI().SendMessage(m_pWindow->GetID(), vek::cGUI::e_wndCheck, 1, m_pBox[i]->GetID());
    }
    // The description; the text box may keep a space where it broke a line.
    std::string Desc()
    {
        std::string text = Text(m_pWindow, "desc");
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }
    bool Enabled(const vek::cCtrl* c) const { return !c->GetState(vek::cCtrl::e_Disabled); }

    cUpWF* m_pUp = nullptr;
    vek::cWindow* m_pWindow = nullptr;
    cCheckBoxUpCtrl* m_pBox[3] = {};
    vek::cCtrl* m_pDone = nullptr;
    cLevel* m_pField = nullptr;
    cGardener* m_pGardener = nullptr;
    cToolWater* m_pCan = nullptr;
};

TEST_F(UpgradesScreen, OffersTheCheapestThreeAndHidesWhatThePlayerCannotPay)
{
    Open(160);
    EXPECT_EQ(m_pGarden->GetFlowState(), 3);
    EXPECT_EQ(m_pUp->GetOffers(), (std::vector<int>{2, 4, 0}));  // bin 100, weed 150, speed 200
    EXPECT_TRUE(Visible(m_pWindow, "ch0"));
    EXPECT_TRUE(Visible(m_pWindow, "ch1"));
    EXPECT_FALSE(Visible(m_pWindow, "ch2"));  // 200 is above 160
    EXPECT_FALSE(Visible(m_pWindow, "price2"));
    EXPECT_EQ(Text(m_pWindow, "price0"), "$100");
    EXPECT_EQ(Text(m_pWindow, "price1"), "$150");
    EXPECT_EQ(Text(m_pWindow, "bank"), "160");
    EXPECT_EQ(Desc(), "");
    EXPECT_FALSE(Enabled(m_pDone));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(m_pBox[i]->GetStarCount(), 3);
        EXPECT_EQ(m_pBox[i]->GetFilledStars(), 0);
        EXPECT_FALSE(m_pBox[i]->IsChecked());
    }
    // Each box shows its upgrade's pictures.
    const vek::rectf bin = Frame("gui_ups00", "volume_bin");
    EXPECT_EQ(m_pBox[0]->GetBox().GetUV(), bin);
    EXPECT_EQ(m_pBox[0]->GetCheckImage().GetUV(), Frame("gui_ups00", "volume_bin_checked"));
    EXPECT_EQ(m_pBox[1]->GetBox().GetUV(), Frame("gui_ups01", "time_weed"));
    // The hidden offer cannot be chosen, even by a message from elsewhere.
    GUI().SendMessage(m_pWindow->GetID(), vek::cGUI::e_wndCheck, 1, m_pBox[2]->GetID());
    EXPECT_FALSE(Enabled(m_pDone));
    EXPECT_EQ(Desc(), "");
}

TEST_F(UpgradesScreen, OnlyUpgradesBelowTheirTopAreOfferedAndNoneHidesTheScreen)
{
    for (int i : {0, 1, 3, 5}) m_pPlayer->m_Upgrades.SetLevel(i, 3);
    m_pPlayer->m_Upgrades.SetLevel(2, 1);
    Open(5000);
    EXPECT_EQ(m_pUp->GetOffers(), (std::vector<int>{4, 2}));  // weed 150, bin 700
    EXPECT_TRUE(Visible(m_pWindow, "ch1"));
    EXPECT_EQ(m_pBox[1]->GetFilledStars(), 1);
    EXPECT_FALSE(Visible(m_pWindow, "ch2"));
    EXPECT_FALSE(Visible(m_pWindow, "price2"));
    ClickControl(m_pWindow, "done");
    Run(1.5f);
    EXPECT_FALSE(Shown("up"));

    // Everything at its top: the screen goes at once and the island runs.
    m_pPlayer->m_Upgrades.SetLevel(2, 2);
    m_pPlayer->m_Upgrades.SetLevel(4, 3);
    m_pGame->SetFocusWidget("garden");
    m_pGarden->ShowGameWindow("up", 1);
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
    Run(0.1f);
    EXPECT_FALSE(Shown("up"));
}

TEST_F(UpgradesScreen, AChoiceShowsOneMoreStarAndHoverShowsDescriptions)
{
    m_pPlayer->m_Upgrades.SetLevel(4, 1);  // weed 400
    Open(1000);
    ASSERT_EQ(m_pUp->GetOffers(), (std::vector<int>{2, 0, 3}));  // bin 100, speed 200, water time 250
    Check(1);
    EXPECT_TRUE(m_pBox[1]->IsChecked());
    EXPECT_EQ(m_pBox[1]->GetFilledStars(), 1);
    EXPECT_EQ(Desc(), GetUpgradeText(0));
    EXPECT_TRUE(Enabled(m_pDone));

    // Another choice: only it is checked, the first star preview is gone.
    Check(2);
    EXPECT_FALSE(m_pBox[1]->IsChecked());
    EXPECT_TRUE(m_pBox[2]->IsChecked());
    EXPECT_EQ(m_pBox[1]->GetFilledStars(), 0);
    EXPECT_EQ(m_pBox[2]->GetFilledStars(), 1);

    // The mouse over another choice shows its text until it leaves.
    GUI().SendMessage(m_pWindow->GetID(), vek::cGUI::e_wndMouseEnter, 0, m_pBox[0]->GetID());
    EXPECT_EQ(Desc(), GetUpgradeText(2));
    GUI().SendMessage(m_pWindow->GetID(), vek::cGUI::e_wndMouseLeave, 0, m_pBox[0]->GetID());
    EXPECT_EQ(Desc(), GetUpgradeText(3));
    // Over something that is no choice: the text stays.
    GUI().SendMessage(m_pWindow->GetID(), vek::cGUI::e_wndMouseEnter, 0, m_pDone->GetID());
    EXPECT_EQ(Desc(), GetUpgradeText(3));
}

TEST_F(UpgradesScreen, APurchaseIsPaidRaisedAndInEffectAtOnceThenTheIslandFollows)
{
    Open(1000);
    ASSERT_EQ(m_pUp->GetOffers(), (std::vector<int>{2, 4, 0}));
    Check(2);  // speed, 200
    Sounds().clear();
    ClickControl(m_pWindow, "done");
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 800);
    EXPECT_EQ(m_pPlayer->m_Upgrades.GetLevel(0), 1);
    EXPECT_FLOAT_EQ(m_pGardener->GetSpeed(), 310.0f);
    EXPECT_EQ(Sounds(), std::vector<unsigned>{25});
    EXPECT_EQ(Flights(), 1u);
    EXPECT_FALSE(Enabled(m_pDone));
    for (const cCheckBoxUpCtrl* box : m_pBox) EXPECT_FALSE(Enabled(box));
    // A second "done" while it waits buys nothing more.
    ClickControl(m_pWindow, "done");
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 800);
    EXPECT_EQ(m_pPlayer->m_Upgrades.GetLevel(0), 1);

    // 0.9 s later the screen goes and the island has the focus.
    Run(0.8f);
    EXPECT_EQ(m_pGarden->GetFlowState(), 3);
    Run(0.2f);
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
    Run(1.0f);
    EXPECT_FALSE(Shown("up"));

    // The can's volume next time, in effect on the field's can.
    m_pPlayer->m_Upgrades.SetLevel(2, 2);
    m_pPlayer->m_Upgrades.SetLevel(4, 3);
    Open(1000);
    ASSERT_EQ(m_pUp->GetOffers(), (std::vector<int>{3, 1, 5}));  // water time 250, can 300, bin time 350
    Check(1);
    ClickControl(m_pWindow, "done");
    EXPECT_EQ(m_pPlayer->m_Upgrades.GetLevel(1), 1);
    EXPECT_EQ(m_pCan->GetCapacity(), 4);
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 700);
}

TEST_F(UpgradesScreen, NothingIsBoughtWithoutAChoiceOrWithFundsThatShrank)
{
    Open(1000);
    ClickControl(m_pWindow, "done");  // nothing checked
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 1000);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(m_pPlayer->m_Upgrades.GetLevel(i), 0);
    Run(1.0f);
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
    Run(1.0f);
    EXPECT_FALSE(Shown("up"));

    // The speed was affordable when shown; the funds fell before "done".
    Open(1000);
    Check(2);
    m_pPlayer->m_iIslandMoney = 150;
    ClickControl(m_pWindow, "done");
    EXPECT_EQ(m_pPlayer->m_iIslandMoney, 150);
    EXPECT_EQ(m_pPlayer->m_Upgrades.GetLevel(0), 0);
    EXPECT_FLOAT_EQ(m_pGardener->GetSpeed(), 280.0f);
    EXPECT_EQ(Flights(), 0u);
}

TEST_F(UpgradesScreen, AScriptWithoutItsControlsLocksTheScreen)
{
    auto* broken = new cUpWF();
    FillScript("up_broken",
               "function FillWindow(w)\n"
               "  for i = 0, 2 do cCheckBoxUpCtrl(w, 'ch' .. i) cLabelCtrl(w, 'price' .. i) end\n"
               "  cLabelCtrl(w, 'desc') cLabelCtrl(w, 'bank')\n"
               "end\n",
               broken);
    EXPECT_TRUE(broken->IsLocked());
    auto* plain = new cUpWF();
    FillScript("up_plain",
               "function FillWindow(w)\n"
               "  for i = 0, 2 do cCheckBoxSysCtrl(w, 'ch' .. i) cLabelCtrl(w, 'price' .. i) end\n"
               "  cLabelCtrl(w, 'desc') cLabelCtrl(w, 'bank') cButtonSysCtrl(w, 'done')\n"
               "end\n",
               plain);
    EXPECT_TRUE(plain->IsLocked());  // plain boxes have no star row
    m_pGarden->ShowGameWindow("up_plain", 1);
    EXPECT_EQ(m_pGarden->GetFlowState(), 0);
}

} // namespace
