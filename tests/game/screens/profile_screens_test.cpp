// The profile screens driven through their window messages: the list and
// its scroll bar, choosing, adding and deleting profiles with the questions
// and refusals of the message box.
#include <gtest/gtest.h>

#include "engine/core/locale.h"
#include "engine/gui/listctrl.h"
#include "game/screens/profile_screens.h"
#include "game/shell/locale_gd.h"
#include "platform/fs.h"
#include "screen_fixture.h"

using namespace screentest;

namespace {

constexpr unsigned kEscape = 1;
constexpr unsigned kEnter = 28;

class ProfileScreensTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        MakeScreens(false);
    }

    vek::cListSysCtrl* List() { return Control<vek::cListSysCtrl>(m_pSelect, "lstProfile"); }
    vek::cSliderCtrl* Slider() { return Control<vek::cSliderCtrl>(m_pSelect, "slProfile"); }
    vek::cEditCtrl* Edit() { return Control<vek::cEditCtrl>(m_pAdd, "name"); }
    std::vector<std::string> Items()
    {
        std::vector<std::string> items;
        for (unsigned i = 0; i < List()->GetItemCount(); ++i) items.push_back(List()->GetItemText(i));
        return items;
    }
    int Selected() { return static_cast<int>(List()->GetSelectedItem(0)); }
    void Select(unsigned i) { List()->SelectItem(i, true, false); }
    void OpenSelection()
    {
        Show("profile_select", 1);
        Run();
    }
    // Types a name into the add screen and presses "ok".
    void AddNamed(const std::string& name)
    {
        Show("profile_add", 1);
        Run();
        Edit()->SetText(name);
        ClickControl(m_pAdd, "ok");
    }
    // Five profiles, the third current.
    void Five()
    {
        for (const char* name : {"p0", "p1", "p2", "p3", "p4"}) AddProfile(name, std::string(name) == "p2");
    }
    // The delete answer the game sends once the box said yes.
    void DeleteAnswer(int index) { Send(m_pSelect, kMsgDeleteProfile, static_cast<unsigned>(index), 0); }
};

TEST_F(ProfileScreensTest, TheListShowsEveryProfileWithTheCurrentOneSelected)
{
    Five();
    OpenSelection();
    EXPECT_EQ(Items(), (std::vector<std::string>{"p0", "p1", "p2", "p3", "p4"}));
    EXPECT_EQ(Selected(), 2);
    EXPECT_FLOAT_EQ(Slider()->GetMin(), 0.0f);
    EXPECT_FLOAT_EQ(Slider()->GetMax(), 4.0f);
    // The list shows four rows from the first: the bar stands at its top.
    EXPECT_EQ(List()->GetFirstVisible(), 0u);
    EXPECT_FLOAT_EQ(Slider()->GetValue(), 4.0f);

    // The bar runs upward while the list runs downward.
    Send(m_pSelect, vek::cGUI::e_wndSliderChange, 3, Slider()->GetID());
    EXPECT_EQ(List()->GetFirstVisible(), 1u);
    Send(m_pSelect, vek::cGUI::e_wndSliderChange, 4, Slider()->GetID());
    EXPECT_EQ(List()->GetFirstVisible(), 0u);
    Send(m_pSelect, vek::cGUI::e_wndSliderChange, 9, Slider()->GetID());
    EXPECT_EQ(List()->GetFirstVisible(), 0u) << "a value past the range moves nothing";

    // Rebuilt on every activation: a profile added meanwhile appears.
    AddProfile("p5");
    Send(m_pSelect, vek::cGUI::e_wndUpdateHover);
    EXPECT_EQ(List()->GetItemCount(), 6u);
}

TEST_F(ProfileScreensTest, OneProfileKeepsTheBarAtItsStart)
{
    AddProfile("solo", true);
    OpenSelection();
    EXPECT_FLOAT_EQ(Slider()->GetMax(), 0.0f);
    EXPECT_FLOAT_EQ(Slider()->GetValue(), 0.0f);
    EXPECT_EQ(Slider()->GetValue(), Slider()->GetValue()) << "no NaN";
}

TEST_F(ProfileScreensTest, WithoutProfilesTheAddScreenOpensAtOnce)
{
    OpenSelection();
    EXPECT_TRUE(Shown("profile_add"));
    EXPECT_EQ(Edit()->GetText(), "garden") << "the login name cut to the field's six characters";
}

TEST_F(ProfileScreensTest, OkChoosesTheSelectedProfileAndEscapeNeedsASelection)
{
    Five();
    OpenSelection();
    Select(4);
    Key(m_pSelect, kEnter);
    EXPECT_EQ(m_pGarden->GetPlayerName(), "p4");
    Run();
    EXPECT_TRUE(Shown("main"));
    EXPECT_FALSE(Shown("profile_select"));

    OpenSelection();
    List()->SelectItem(static_cast<unsigned>(Selected()), false, false);
    ASSERT_EQ(Selected(), 5);
    Key(m_pSelect, kEscape);
    ClickControl(m_pSelect, "btOk");
    Run();
    EXPECT_TRUE(Shown("profile_select")) << "nothing selected: the screen stays";
    Select(1);
    Key(m_pSelect, kEscape);
    Run();
    EXPECT_FALSE(Shown("profile_select"));
    EXPECT_EQ(m_pGarden->GetPlayerName(), "p4") << "Escape chooses nothing";
}

TEST_F(ProfileScreensTest, AddingTrimsTheNameAndRefusesEmptyAndTakenNames)
{
    AddProfile("Ann", true);
    const cLocaleGD& texts = GetLocaleGD();
    struct cCase {
        const char* typed;
        std::string refusal;
    };
    for (const cCase& c : {cCase{"", texts.ErrorEmptyPlayerName}, cCase{"   \t ", texts.ErrorEmptyPlayerName},
                           cCase{"aNN", texts.ErrorPlayerExist}, cCase{" ann ", texts.ErrorPlayerExist}}) {
        AddNamed(c.typed);
        ASSERT_TRUE(Shown("messagebox")) << c.typed;
        EXPECT_EQ(BoxText(), c.refusal);
        EXPECT_EQ(BoxCommand(), "");
        // The game's short form shows its icon in both pictures.
        EXPECT_TRUE(Control<vek::cImageCtrl>(m_pBoxWindow, "image")->GetState(vek::cCtrl::e_Visibility));
        EXPECT_TRUE(Control<vek::cImageCtrl>(m_pBoxWindow, "icon")->GetState(vek::cCtrl::e_Visibility));
        EXPECT_TRUE(Shown("profile_add")) << "the screen stays for another name";
        Answer(true);
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"Ann"});

    const int counter = m_pGarden->GetPlayerCounter();
    AddNamed("  Bo b ");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", "Bo b"}));
    EXPECT_EQ(m_pGarden->GetPlayerName(), "Bo b");
    auto* made = static_cast<cPlayer*>(m_pGarden->GetCurrentPlayer());
    EXPECT_EQ(made->m_strFolder, vek::Formatted("plr%03i", counter));
    Run();
    EXPECT_FALSE(Shown("profile_add"));
    EXPECT_TRUE(Shown("profile_select"));
    EXPECT_EQ(Items(), (std::vector<std::string>{"Ann", "Bo b"}));
    EXPECT_EQ(Selected(), 1);

    // Cancel and Escape only go back.
    Show("profile_add", 1);
    Run();
    Key(m_pAdd, kEscape);
    Run();
    EXPECT_TRUE(Shown("profile_select"));
    EXPECT_FALSE(Shown("profile_add"));
    EXPECT_EQ(m_pGarden->GetPlayerCount(), 2);
}

TEST_F(ProfileScreensTest, TheAddScreenFocusesTheNameFieldAndEnterConfirms)
{
    AddProfile("Ann", true);
    Show("profile_add", 1);
    EXPECT_EQ(m_pAdd->GetActiveControl(), Edit());
    Edit()->SetText("Cy");
    Key(m_pAdd, kEnter);
    EXPECT_EQ(m_pGarden->GetPlayerName(), "Cy");
}

TEST_F(ProfileScreensTest, DeletingAsksAndMakesTheNeighbourCurrentFirst)
{
    Five();
    OpenSelection();
    Select(3);
    ClickControl(m_pSelect, "btDelete");
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(BoxCommand(), "delete=3");
    EXPECT_EQ(BoxText(), vek::Formatted(GetLocaleGD().ConfirmDeletePlayer.c_str(), "p3"));
    EXPECT_EQ(Control<vek::cLabelCtrl>(m_pBoxWindow, "title")->GetText(), vek::GetLocale().Warning);
    EXPECT_EQ(Control<vek::cButtonSysCtrl>(m_pBoxWindow, "cancel")->GetText(), vek::GetLocale().No);
    EXPECT_TRUE(Control<vek::cImageCtrl>(m_pBoxWindow, "icon")->GetState(vek::cCtrl::e_Visibility));
    Answer(false);
    EXPECT_EQ(m_pGarden->GetPlayerCount(), 5);

    // The list came back with the current profile selected.
    EXPECT_EQ(Selected(), 2);
    Select(3);
    ClickControl(m_pSelect, "btDelete");
    Answer(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"p0", "p1", "p2", "p4"}));
    EXPECT_EQ(m_pGarden->GetPlayerName(), "p2");
    EXPECT_EQ(Items(), Names());
    EXPECT_EQ(Selected(), 2);

    // The first item: the second becomes current, though the first was.
    m_pGarden->ChangePlayer("p0");
    OpenSelection();
    ClickControl(m_pSelect, "btDelete");
    EXPECT_EQ(BoxCommand(), "delete=0");
    Answer(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"p1", "p2", "p4"}));
    EXPECT_EQ(m_pGarden->GetPlayerName(), "p1");
    EXPECT_EQ(Selected(), 0);
    EXPECT_FLOAT_EQ(Slider()->GetMax(), 2.0f);
}

TEST_F(ProfileScreensTest, TheLastProfileAndBadIndicesAreNeverDeleted)
{
    AddProfile("only", true);
    OpenSelection();
    ClickControl(m_pSelect, "btDelete");
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(BoxText(), GetLocaleGD().ErrorOnePlayer);
    EXPECT_EQ(Control<vek::cLabelCtrl>(m_pBoxWindow, "title")->GetText(), vek::GetLocale().Error);
    EXPECT_FALSE(Control<vek::cButtonSysCtrl>(m_pBoxWindow, "cancel")->GetState(vek::cCtrl::e_Visibility));
    EXPECT_EQ(BoxCommand(), "");
    Answer(true);
    DeleteAnswer(0);
    EXPECT_EQ(Names(), std::vector<std::string>{"only"}) << "refused even when asked directly";

    AddProfile("two");
    AddProfile("three");
    OpenSelection();
    for (const int bad : {-1, 3, 4, 1 << 30}) DeleteAnswer(bad);
    EXPECT_EQ(Names(), (std::vector<std::string>{"only", "two", "three"}));
    EXPECT_EQ(m_pGarden->GetPlayerName(), "only");
    EXPECT_EQ(Selected(), 0);

    // Through the box's command text as the game reads it.
    OpenSelection();
    for (const char* command : {"delete=-1", "delete=3", "delete=x"}) {
        m_pBox->SetCommand(command);
        Show("messagebox", 1);
        Answer(true);
    }
    EXPECT_EQ(m_pGarden->GetPlayerCount(), 3);

    // With nothing selected, "btDelete" asks nothing.
    List()->SelectItem(0, false, false);
    ClickControl(m_pSelect, "btDelete");
    EXPECT_FALSE(Shown("messagebox"));
}

TEST_F(ProfileScreensTest, ADeletedProfileTakesItsFolderAlong)
{
    AddProfile("keep", true);
    cPlayer* gone = AddProfile("gone");
    ASSERT_TRUE(gone->SavePlayer());
    const std::string folder = m_strDir + "/app/profile/" + gone->m_strFolder;
    ASSERT_TRUE(vek::platform::IsFolder(folder));
    OpenSelection();
    DeleteAnswer(1);
    EXPECT_FALSE(vek::platform::IsFolder(folder));
    EXPECT_EQ(Names(), std::vector<std::string>{"keep"});

    // A folder that cannot be moved aside (a file has the name it would
    // take) keeps its profile listed, and the player hears of it.
    cPlayer* stuck = AddProfile("stuck");
    ASSERT_TRUE(stuck->SavePlayer());
    const std::string stuckFolder = m_strDir + "/app/profile/" + stuck->m_strFolder;
    ASSERT_TRUE(vektest::WriteFile(stuckFolder + ".deleting", "in the way"));
    OpenSelection();
    DeleteAnswer(1);
    Run();
    EXPECT_TRUE(vek::platform::IsFolder(stuckFolder));
    EXPECT_EQ(Names(), (std::vector<std::string>{"keep", "stuck"}));
    EXPECT_EQ(Items(), Names());
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(BoxText(), vek::Formatted(GetLocaleGD().ErrorDeletePlayer.c_str(), "stuck"));
}

TEST_F(ProfileScreensTest, ScreensWithoutTheirControlsLockAndSayWhy)
{
    auto* select = new cProfileSelectWF();
    Make("select_bare", "function FillWindow(w) cListSysCtrl(w, 'lstProfile') end\n", select);
    auto* add = new cProfileAddWF();
    Make("add_bare", "function FillWindow(w) cButtonSysCtrl(w, 'ok') end\n", add);
    EXPECT_TRUE(select->IsLocked());
    EXPECT_TRUE(add->IsLocked());
    EXPECT_EQ(LogCount("[select_bare] List or Slider not found"), 1);
    EXPECT_EQ(LogCount("[add_bare] elements not found"), 1);
    EXPECT_EQ(TrimProfileName("\t a b \n"), "a b");
}

} // namespace
