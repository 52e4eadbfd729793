// The main menu, the pause menu and the comic strip's window, driven through
// their window messages on the real game object.
#include <gtest/gtest.h>

#include "engine/core/locale.h"
#include "engine/gui/widget.h"
#include "game/screens/main_menu.h"
#include "game/shell/locale_gd.h"
#include "screen_fixture.h"

using namespace screentest;

namespace {

constexpr unsigned kEscape = 1;

class MenusTest : public ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        for (const char* page : {"comics00", "comics01", "comics02"})
            Make(page, "function FillWindow(w) cImageCtrl(w, '0') end\n", new vek::cWindowFunction());
        MakeScreens(false);
        // A widget standing for the level field.
        new vek::cWidget("garden");
    }

    cPlayer* Player(int progress, int saved)
    {
        cPlayer* player = AddProfile("Ann", true);
        player->m_iProgress = progress;
        player->m_iContinueLevel = saved;
        return player;
    }
    void ShowMain()
    {
        Show("main", 1);
        Run();
    }
    std::string Focused() const { return m_pGame->GetFocusWidgetName(); }
    cIsland& Island() { return *m_pGarden->m_pIsland; }
    vek::cCtrl* Restart() { return m_pEscape->GetControl(static_cast<unsigned>(m_pEscape->FindControl("btRestart"))); }
};

TEST_F(MenusTest, EachMenuQuestionCarriesItsCommandTextAndYesNo)
{
    const cLocaleGD& texts = GetLocaleGD();
    struct cCase {
        vek::cWindow** window;
        const char* button;
        const char* focus;
        const char* command;
        std::string text;
    };
    const cCase cases[] = {
        {&m_pMain, "btStart", "island", "continue_last", texts.MessageContinueLast},
        {&m_pMain, "btExit", "island", "exit_game", texts.ConfirmExitGame},
        {&m_pEscape, "btRestart", "garden", "restart_level", texts.MessageRestartLevel},
        {&m_pEscape, "btEnd", "garden", "exit_level", texts.MessageExitLevel},
    };
    Player(3, 3);
    for (const cCase& c : cases) {
        ShowMain();
        m_pGame->SetFocusWidget(c.focus);
        if (*c.window == m_pEscape) {
            Show("escape", 2);
            Run();
        }
        m_pBox->SetCommand("");
        ASSERT_TRUE(ClickControl(*c.window, c.button));
        EXPECT_TRUE(Shown("messagebox")) << c.button;
        EXPECT_EQ(BoxCommand(), c.command);
        EXPECT_EQ(BoxText(), c.text) << c.command;
        EXPECT_EQ(Control<vek::cLabelCtrl>(m_pBoxWindow, "title")->GetText(), "");
        EXPECT_EQ(Control<vek::cButtonSysCtrl>(m_pBoxWindow, "ok")->GetText(), vek::GetLocale().Yes);
        EXPECT_EQ(Control<vek::cButtonSysCtrl>(m_pBoxWindow, "cancel")->GetText(), vek::GetLocale().No);
        Answer(false);
    }
    EXPECT_TRUE(m_pGarden->levels.empty()) << "every question was answered No";
    int code = -1;
    EXPECT_FALSE(QuitPosted(code));
}

TEST_F(MenusTest, StartBeginsTheStripSwitchesToTheMapOrAsksToContinue)
{
    // A new game: the comic strip from its first page.
    cPlayer* player = Player(0, -1);
    ShowMain();
    ClickControl(m_pMain, "btStart");
    EXPECT_EQ(Focused(), "comics");
    EXPECT_EQ(m_pGarden->m_pComics->iEpisode, 0);
    EXPECT_EQ(m_pGarden->m_pComics->pages.size(), 2u);
    Run();
    EXPECT_FALSE(Shown("main"));
    EXPECT_TRUE(Shown("comics"));

    // Levels played, none saved: only the level map.
    player->m_iProgress = 4;
    ShowMain();
    EXPECT_EQ(Focused(), "island");
    EXPECT_EQ(Island().iMode, cIsland::e_modeNone);
    ClickControl(m_pMain, "btStart");
    EXPECT_EQ(Island().iMode, cIsland::e_modeIsland);
    EXPECT_EQ(Focused(), "island");
    EXPECT_FALSE(Shown("messagebox"));
    Run();
    EXPECT_FALSE(Shown("main"));

    // A saved level, even before any progress: the question, and "Yes"
    // continues it.
    player->m_iProgress = 0;
    player->m_iContinueLevel = 0;
    ShowMain();
    ClickControl(m_pMain, "btStart");
    EXPECT_EQ(Focused(), "island");
    EXPECT_EQ(Island().iMode, cIsland::e_modeIsland);
    ASSERT_TRUE(Shown("messagebox"));
    Answer(true);
    EXPECT_EQ(m_pGarden->levels, std::vector<int>{-1});
}

TEST_F(MenusTest, EscapeOnTheMainMenuAsksBeforeTheGameEnds)
{
    Player(0, -1);
    ShowMain();
    Key(m_pMain, kEscape);
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(BoxCommand(), "exit_game");
    int code = -1;
    EXPECT_FALSE(QuitPosted(code)) << "the generic quit must not run for the main menu";
    Answer(true);
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 0);
}

TEST_F(MenusTest, TheGreetingNamesTheProfileOrTheProfileScreenOpens)
{
    AddProfile("Bea");
    ShowMain();
    EXPECT_TRUE(Shown("profile_select")) << "no current profile: choose one";
    Run();

    m_pGarden->ChangePlayer("Bea");
    ShowMain();
    EXPECT_EQ(Control<vek::cLabelCtrl>(m_pMain, "lbProfile")->GetText(), "Hello, Bea!");
    EXPECT_FALSE(Shown("profile_select"));
    // The template stays the script's: a second name replaces the first.
    AddProfile("%s%i", true);
    ShowMain();
    EXPECT_EQ(Control<vek::cLabelCtrl>(m_pMain, "lbProfile")->GetText(), "Hello, %s%i!");

    ClickControl(m_pMain, "btProfile");
    EXPECT_TRUE(Shown("profile_select"));
    EXPECT_EQ(m_pGarden->GetWindowParam(), 1);
}

TEST_F(MenusTest, TheIslandIsCentredOnTheReachedLevelOnlyOnTheFirstShow)
{
    Island().fPictureWidth = 2048.0f;
    Island().fPictureHeight = 2000.0f;
    Island().vecLevelPoints.assign(7, {100.0f, 100.0f});
    Island().vecLevelPoints.push_back({1000.0f, 900.0f});
    Island().vecLevelPoints.push_back({2000.0f, 1990.0f});
    cPlayer* player = Player(7, -1);
    ShowMain();
    EXPECT_FLOAT_EQ(Island().fScrollX, 1000.0f - 512.0f);
    EXPECT_FLOAT_EQ(Island().fScrollY, 900.0f - 384.0f);

    player->m_iProgress = 8;
    Island().fScrollX = Island().fScrollY = 7.0f;
    ShowMain();
    EXPECT_FLOAT_EQ(Island().fScrollX, 7.0f) << "once per run";

    // Limits: the view stays on the picture.
    Island().CenterView(2000.0f, 1990.0f);
    EXPECT_FLOAT_EQ(Island().fScrollX, 2048.0f - 1024.0f);
    EXPECT_FLOAT_EQ(Island().fScrollY, 2000.0f - 768.0f);
    Island().CenterView(100.0f, 100.0f);
    EXPECT_FLOAT_EQ(Island().fScrollX, 0.0f);
    EXPECT_FLOAT_EQ(Island().fScrollY, 0.0f);
}

// Before level 7 the level map does not scroll: a view centred on a lower
// point could not be scrolled back, and the score panel would stand over the
// first buildings at the picture's top.
TEST_F(MenusTest, BeforeTheMapScrollsTheIslandOpensAtItsTop)
{
    Island().fPictureWidth = 2048.0f;
    Island().fPictureHeight = 2048.0f;
    Island().vecLevelPoints = {{190.0f, 1830.0f}, {190.0f, 1600.0f}, {150.0f, 1390.0f}, {1000.0f, 900.0f}};
    Island().fScrollY = 2048.0f - 768.0f;
    Player(2, -1);
    ShowMain();
    EXPECT_FLOAT_EQ(Island().fScrollX, 0.0f);
    EXPECT_FLOAT_EQ(Island().fScrollY, 2048.0f - 768.0f);
}

TEST_F(MenusTest, ProgressPastTheLevelPointsLeavesTheViewAlone)
{
    Island().vecLevelPoints = {{600.0f, 500.0f}};
    Player(45, -1);
    Island().fScrollX = 3.0f;
    ShowMain();
    EXPECT_FLOAT_EQ(Island().fScrollX, 3.0f);
}

TEST_F(MenusTest, RestartIsOfferedOnlyInALevelOrOnItsResult)
{
    Player(2, -1);
    struct cCase {
        const char* focus;
        int mode;
        bool disabled;
    };
    for (const cCase& c : {cCase{"island", cIsland::e_modeNone, true}, cCase{"island", cIsland::e_modeIsland, true},
                           cCase{"garden", cIsland::e_modeNone, false},
                           cCase{"island", cIsland::e_modeLevel, false}, cCase{"island", cIsland::e_modeNone, true}}) {
        m_pGame->SetFocusWidget(c.focus);
        Island().iMode = c.mode;
        Show("escape", 2);
        EXPECT_EQ(Restart()->GetState(vek::cCtrl::e_Disabled), c.disabled) << c.focus << " " << c.mode;
        Send(m_pEscape, vek::cGUI::e_wndHide);
        Run();
    }
    // Disabled, it asks nothing even when pressed from code.
    ClickControl(m_pEscape, "btRestart");
    EXPECT_FALSE(Shown("messagebox"));
}

TEST_F(MenusTest, LeavingReturnsToTheMenuOverTheIslandAndAsksInALevel)
{
    Player(2, -1);
    m_pGame->SetFocusWidget("island");
    Island().iMode = cIsland::e_modeIsland;
    Show("escape", 2);
    Run();
    ClickControl(m_pEscape, "btEnd");
    EXPECT_FALSE(Shown("messagebox"));
    Run();
    EXPECT_TRUE(Shown("main"));
    EXPECT_FALSE(Shown("escape"));
    EXPECT_EQ(m_pGame->iPause, 0);

    // In a level: the question, and "Yes" saves and goes to the menu.
    m_pGame->SetFocusWidget("garden");
    Show("escape", 2);
    Run();
    EXPECT_EQ(m_pGame->iPause, 1);
    ClickControl(m_pEscape, "btEnd");
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(BoxCommand(), "exit_level");
    EXPECT_EQ(m_pGame->iPause, 2);
    Answer(true);
    Run();
    EXPECT_TRUE(Shown("main"));
    EXPECT_FALSE(Shown("escape"));
    EXPECT_EQ(m_pGame->iPause, 0);
}

TEST_F(MenusTest, ThePauseMenuHoldsThePauseAndResumesOnEscapeOrARightClick)
{
    Player(2, -1);
    m_pGame->SetFocusWidget("garden");
    Show("garden", 2);
    m_pGame->iPause = 0;
    Show("escape", 2);
    EXPECT_EQ(m_pGame->iPause, 1);
    Run();
    ClickControl(m_pEscape, "btResume");
    EXPECT_EQ(m_pGame->iPause, 0);
    Run();
    EXPECT_FALSE(Shown("escape"));
    EXPECT_TRUE(Shown("score"));
    EXPECT_EQ(m_pGarden->GetWindowParam(), 2);

    // A pause someone else holds is not raised again, and a hide lowers it
    // by one.
    m_pGame->iPause = 2;
    Show("escape", 2);
    EXPECT_EQ(m_pGame->iPause, 2);
    Run();
    Send(m_pEscape, vek::cGUI::e_wndRButtonDown);
    EXPECT_EQ(m_pGame->iPause, 1);
    Run();
    EXPECT_FALSE(Shown("escape"));

    m_pGame->iPause = 0;
    Show("escape", 2);
    Run();
    Key(m_pEscape, kEscape);
    Run();
    EXPECT_FALSE(Shown("escape"));
    EXPECT_EQ(m_pGame->iPause, 0);
    Send(m_pEscape, vek::cGUI::e_wndHide);
    EXPECT_EQ(m_pGame->iPause, 0) << "never below 0";
}

TEST_F(MenusTest, TheMenusOpenTheOptionsWithTheirReturnParameter)
{
    Player(2, -1);
    Make("options", "function FillWindow(w) cLabelCtrl(w, 'x') end\n", new cBaseWF());
    ShowMain();
    ClickControl(m_pMain, "btOptions");
    EXPECT_TRUE(Shown("options"));
    EXPECT_EQ(m_pGarden->GetWindowParam(), 1);
    m_pGame->SetFocusWidget("garden");
    Show("escape", 2);
    ClickControl(m_pEscape, "btOptions");
    EXPECT_EQ(m_pGarden->GetWindowParam(), 2);
    // Windows the game does not have: nothing shows, nothing breaks.
    EXPECT_FALSE(Show("highscores", 1));
    ClickControl(m_pEscape, "btExit");
    int code = -1;
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 0);
}

TEST_F(MenusTest, AMainMenuWithoutItsLabelLocksAndTheGameRunsOn)
{
    auto* wf = new cMainGDWF();
    vek::cWindow* bare = Make("main_bare", "function FillWindow(w) cButtonSysCtrl(w, 'btStart') end\n", wf);
    // A label from an earlier main menu of the run still counts.
    EXPECT_FALSE(wf->IsLocked());
    Send(m_pMain, vek::cGUI::e_wndDestroy);
    auto* second = new cMainGDWF();
    Make("main_bare2", "function FillWindow(w) cButtonSysCtrl(w, 'btStart') end\n", second);
    EXPECT_TRUE(second->IsLocked());
    EXPECT_EQ(LogCount("[main_bare2] lbProfile or btProfile not found"), 1);
    Player(0, -1);
    m_pGame->pGUI->ShowWindow("main_bare2");
    Run();
    ClickControl(m_pGame->pGUI->GetWindow("main_bare2"), "btStart");
    EXPECT_NE(Focused(), "comics") << "a locked screen runs none of its cases";
    (void)bare;
}

TEST_F(MenusTest, NextTurnsThePagesToTheEndOfTheEpisode)
{
    Player(0, -1);
    ShowMain();
    ClickControl(m_pMain, "btStart");
    Run();
    ASSERT_EQ(m_pGarden->m_pComics->pages.size(), 2u);
    ClickControl(m_pComicsWindow, "next");
    EXPECT_EQ(m_pGarden->m_pComics->pages.size(), 1u);
    ClickControl(m_pComicsWindow, "next");
    // The episode ended: the strip's window fades out and the map comes.
    EXPECT_EQ(Focused(), "island");
    EXPECT_EQ(Island().iMode, cIsland::e_modeIsland);
    EXPECT_TRUE(m_pGarden->m_pComics->pages.empty());

    // A click while the window fades out turns nothing, not even a page of
    // a strip that started again meanwhile.
    m_pGarden->m_pComics->BuildPage("comics02");
    ClickControl(m_pComicsWindow, "next");
    EXPECT_EQ(m_pGarden->m_pComics->pages.size(), 1u);
    // Another control of the window turns nothing either.
    Send(m_pComicsWindow, vek::cGUI::e_wndCommand, 0, 0);
    EXPECT_EQ(m_pGarden->m_pComics->pages.size(), 1u);
}

TEST_F(MenusTest, AStripWindowWithoutNextHasNoPageButtonAndNoWarning)
{
    auto* wf = new cComicsWF();
    vek::cWindow* window = Make("comics_plain", "function FillWindow(w) cLabelCtrl(w, 'x') end\n", wf);
    m_pGarden->m_pComics->BuildPage("comics00");
    m_pGame->pGUI->ShowWindow("comics_plain");
    Run();
    ClickControl(window, "next");
    Send(window, vek::cGUI::e_wndCommand, 0, 1);
    EXPECT_EQ(m_pGarden->m_pComics->pages.size(), 1u);
    EXPECT_FALSE(wf->IsLocked());
    EXPECT_EQ(LogCount("[comics_plain]"), 0);
}

} // namespace
