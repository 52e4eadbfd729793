// The window scheme: windows built from Lua files, the shell's rules for
// showing and hiding them, the message box and the answer it carries back to
// the profile screen.
#include <lua.h>

#include "../shell/shell_fixture.h"
#include "engine/core/script.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/sysctrl.h"
#include "game/screens/controls.h"
#include "game/screens/message_box.h"
#include "game/screens/mission_finish.h"
#include "game/screens/mission_goal.h"
#include "game/screens/mission_start.h"
#include "game/screens/upgrades_screen.h"
#include "game/screens/window_functions.h"
#include "game/shell/locale_gd.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"

using namespace shelltest;

namespace {

// Records every message but paint and timer, then acts as the base.
class cRecordingWF : public cBaseWF {
public:
    struct cRecord {
        int iMessage;
        unsigned uA;
        unsigned uB;
    };
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override
    {
        if (message != vek::cGUI::e_wndPaint && message != vek::cGUI::e_wndTimer)
            records.push_back({message, a, b});
        return cBaseWF::Call(window, message, a, b);
    }
    int Count(int message) const
    {
        int n = 0;
        for (const cRecord& r : records) n += r.iMessage == message;
        return n;
    }
    std::vector<cRecord> records;
};

class WindowSchemeTest : public ShellFixture {
protected:
    vek::cWindow* Fill(const std::string& name, const std::string& script, cRecordingWF** function)
    {
        auto* wf = new cRecordingWF();
        if (function) *function = wf;
        if (!script.empty()) {
            EXPECT_TRUE(Write("data/gui/" + name + ".lua", script));
        }
        return m_pShell->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), wf);
    }

    bool Shown(const char* name) const { return m_pGame->pGUI->IsWindowShown(name); }

    // Runs the GUI's fixed steps for that many seconds: fades advance and
    // faded screens leave.
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 30.0f) m_pGame->pGUI->Update(1.0f / 30.0f);
    }

    // A message box with "ok" and "cancel" and a profile screen that records.
    void MakeBox()
    {
        ASSERT_TRUE(Write("data/gui/messagebox.lua",
                          "function FillWindow(w)\n"
                          "  cLabelCtrl(w, 'title') cLabelCtrl(w, 'line0') cLabelCtrl(w, 'line1')\n"
                          "  cLabelCtrl(w, 'line2') cButtonSysCtrl(w, 'ok') cButtonSysCtrl(w, 'cancel')\n"
                          "end\n"));
        m_pBox = new cMessageBoxWF();
        EXPECT_EQ(m_pBox->SetText("early", ""), 1);
        m_pBoxWindow = m_pShell->FillWindow("messagebox", vek::filename("{StaticPath}/gui/messagebox.lua"),
                                            m_pBox);
        m_pBoxWindow->SetActive(true);
        m_pShell->SetMessageBox(m_pBox);
    }

    void Ask(const char* command)
    {
        m_pBox->SetCommand(command);
        ASSERT_TRUE(m_pShell->ShowGameWindow("messagebox", 1));
    }

    cMessageBoxWF* m_pBox = nullptr;
    vek::cWindow* m_pBoxWindow = nullptr;
};

TEST_F(WindowSchemeTest, EveryWindowIsMadeAndToldItIsCreatedWhateverItsScriptDoes)
{
    cRecordingWF* missing = nullptr;
    vek::cWindow* w1 = Fill("missing", "", &missing);
    cRecordingWF* good = nullptr;
    vek::cWindow* w2 = Fill("good", "function FillWindow(w) cLabelCtrl(w, 'x') end\n", &good);
    cRecordingWF* failing = nullptr;
    vek::cWindow* w3 = Fill("failing",
                            "function FillWindow(w)\n cLabelCtrl(w, 'a')\n error('boom')\n"
                            " cLabelCtrl(w, 'b')\nend\n",
                            &failing);
    // Defines no "FillWindow": the one of the file before must not run.
    cRecordingWF* bare = nullptr;
    vek::cWindow* w4 = Fill("bare", "local nothing = 1\n", &bare);
    cRecordingWF* broken = nullptr;
    vek::cWindow* w5 = Fill("broken", "function FillWindow(w) cLabelCtrl(w, 'x') end\nerror('top')\n", &broken);

    for (vek::cWindow* w : {w1, w2, w3, w4, w5}) ASSERT_NE(w, nullptr);
    EXPECT_EQ(w1->GetName(), "missing");
    EXPECT_EQ(m_pGame->pGUI->FindWindow("bare"), static_cast<int>(w4->GetID()));
    EXPECT_EQ(w1->GetControlCount(), 1u);
    EXPECT_EQ(w2->FindControl("x"), 1);
    EXPECT_EQ(w3->FindControl("a"), 1);
    EXPECT_EQ(w3->FindControl("b"), 0);
    EXPECT_EQ(w4->GetControlCount(), 1u);
    EXPECT_EQ(w5->GetControlCount(), 1u);
    for (cRecordingWF* f : {missing, good, failing, bare, broken}) {
        EXPECT_EQ(f->Count(vek::cGUI::e_wndAfterCreate), 1);
        EXPECT_EQ(f->records.back().iMessage, vek::cGUI::e_wndAfterCreate);
    }
    EXPECT_GE(LogCount("boom"), 1);
}

TEST_F(WindowSchemeTest, BuildingWindowsLeavesTheLuaStackAsItWas)
{
    lua_State* L = vek::g_pScript->GetState();
    ASSERT_TRUE(Write("data/gui/w.lua", "function FillWindow(w) cLabelCtrl(w, 'x') return 1, 2, 3 end\n"));
    ASSERT_TRUE(Write("data/gui/e.lua", "function FillWindow(w) error('no') end\n"));
    const int top = lua_gettop(L);
    for (int i = 0; i < 30; ++i)
        m_pShell->FillWindow("w", vek::filename(i % 3 == 2 ? "{StaticPath}/gui/e.lua" : "{StaticPath}/gui/w.lua"),
                             nullptr);
    EXPECT_EQ(lua_gettop(L), top);
}

TEST_F(WindowSchemeTest, ShowingFollowsTheShellsRulesAndHidingAllSparesTheDump)
{
    for (const char* name : {"a", "b", "dump", "profile_add", "profile_select", "main"}) Fill(name, "", nullptr);
    for (const char* name : {"a", "b", "dump", "profile_add"}) ASSERT_TRUE(m_pShell->ShowGameWindow(name, 0));

    EXPECT_TRUE(m_pShell->ShowGameWindow("profile_select", 7));
    Run(1.0f);
    EXPECT_EQ(m_pShell->GetWindowParam(), 7);
    EXPECT_FALSE(Shown("profile_add"));
    EXPECT_TRUE(Shown("a") && Shown("b") && Shown("profile_select"));

    EXPECT_TRUE(m_pShell->ShowGameWindow("main", 1));
    Run(1.0f);
    EXPECT_FALSE(Shown("a") || Shown("b") || Shown("profile_select"));
    EXPECT_TRUE(Shown("dump") && Shown("main"));

    EXPECT_FALSE(m_pShell->ShowGameWindow("nowhere", 2));
    EXPECT_EQ(m_pShell->GetWindowParam(), 2);
    EXPECT_FALSE(m_pShell->ShowGameWindow("unnamed", 3));

    m_pShell->HideAllWindows();
    Run(1.0f);
    EXPECT_FALSE(Shown("main"));
    EXPECT_TRUE(Shown("dump"));
}

TEST_F(WindowSchemeTest, OnlyAnOkOfTheShownBoxSendsTheDeleteRequest)
{
    MakeBox();
    cRecordingWF* profiles = nullptr;
    Fill("profile_select", "", &profiles);
    const auto requests = [&] { return profiles->Count(kMsgDeleteProfile); };

    Ask("delete=3");
    EXPECT_EQ(m_pGame->iPause, 1);
    EXPECT_TRUE(ClickControl(m_pBoxWindow, "ok"));
    // The answer is acted on once the box has faded out.
    EXPECT_TRUE(Shown("messagebox"));
    EXPECT_EQ(requests(), 0);
    Run(1.0f);
    EXPECT_FALSE(Shown("messagebox"));
    EXPECT_EQ(m_pGame->iPause, 0);
    ASSERT_EQ(requests(), 1);
    EXPECT_EQ(profiles->records.back().uA, 3u);
    EXPECT_EQ(profiles->records.back().uB, 0u);
    EXPECT_EQ(m_pBox->GetResult(), 0);

    Ask("delete=3");
    ClickControl(m_pBoxWindow, "cancel");
    Run(1.0f);
    EXPECT_EQ(m_pBox->GetResult(), 1);
    EXPECT_EQ(requests(), 1);

    // Closed without a button after an earlier "ok": no answer.
    Ask("delete=3");
    EXPECT_EQ(m_pBox->GetResult(), 1);
    m_pShell->HideAllWindows();
    Run(1.0f);
    EXPECT_FALSE(Shown("messagebox"));
    EXPECT_EQ(requests(), 1);

    // Another command, or a key that is no "delete", sends nothing.
    Ask("deleted=1");
    ClickControl(m_pBoxWindow, "ok");
    Run(1.0f);
    Ask("exit_game");
    ClickControl(m_pBoxWindow, "ok");
    Run(1.0f);
    EXPECT_EQ(requests(), 1);
    EXPECT_EQ(m_pGame->iPause, 0);
}

TEST_F(WindowSchemeTest, TheBoxMapsKeysOnItsButtonsAndHoldsThePauseOnce)
{
    MakeBox();
    EXPECT_EQ(m_pBox->SetButtons("Yes", ""), 0);
    Ask("");
    Ask("");  // shown again while shown
    EXPECT_EQ(m_pGame->iPause, 1);
    // Escape with "cancel" hidden presses "ok".
    m_pGame->pGUI->SendMessage(m_pBoxWindow->GetID(), vek::cGUI::e_wndKeyDown, 1, 0);
    EXPECT_EQ(m_pBox->GetResult(), 0);
    Run(1.0f);
    EXPECT_EQ(m_pGame->iPause, 0);

    m_pBox->SetButtons("Yes", "No");
    Ask("");
    Run(1.0f);
    m_pGame->pGUI->SendMessage(m_pBoxWindow->GetID(), vek::cGUI::e_wndKeyDown, 1, 0);
    EXPECT_EQ(m_pBox->GetResult(), 1);
    Run(1.0f);
    Ask("");
    Run(1.0f);
    m_pGame->pGUI->SendMessage(m_pBoxWindow->GetID(), vek::cGUI::e_wndKeyDown, 28, 0);
    EXPECT_EQ(m_pBox->GetResult(), 0);
    Run(1.0f);
    EXPECT_FALSE(Shown("messagebox"));

    // A pause the box did not raise is not its to lower.
    m_pGame->iPause = 2;
    m_pGame->pGUI->SendMessage(m_pBoxWindow->GetID(), vek::cGUI::e_wndHideImmediately, 0, 0);
    EXPECT_EQ(m_pGame->iPause, 2);
    m_pGame->iPause = 0;

    // The text without a "text" control goes out line by line.
    auto label = [&](const char* name) {
        return static_cast<vek::cLabelCtrl*>(m_pBoxWindow->GetControl(m_pBoxWindow->FindControl(name)))->GetText();
    };
    EXPECT_EQ(m_pBox->SetText("one\ntwo\nthree", "T"), 0);
    EXPECT_EQ(m_pBox->SetText("first\nsecond", "Title"), 0);
    EXPECT_EQ(label("title"), "Title");
    EXPECT_EQ(label("line0"), "first");
    EXPECT_EQ(label("line1"), "second");
    EXPECT_EQ(label("line2"), "");
    EXPECT_EQ(m_pBox->SetImage("image", "icon"), 0);
}

TEST_F(WindowSchemeTest, AQuestionAskedAgainWhileTheLastFadesOutNeedsItsOwnAnswer)
{
    MakeBox();
    cRecordingWF* profiles = nullptr;
    Fill("profile_select", "", &profiles);
    for (int i = 0; i < 20; ++i) {
        Ask("delete=5");
        Run(0.6f);
        ClickControl(m_pBoxWindow, i == 7 ? "ok" : "cancel");
        if (i == 7) {
            // The "ok" fades out with the box; the question asked now has
            // not been answered when everything is hidden.
            Run(0.2f);
            Ask("delete=6");
            EXPECT_EQ(m_pBox->GetResult(), 1);
            m_pShell->HideAllWindows();
        }
        Run(1.0f);
        EXPECT_FALSE(Shown("messagebox"));
    }
    EXPECT_EQ(profiles->Count(kMsgDeleteProfile), 0);
    EXPECT_EQ(m_pGame->iPause, 0);

    // The box taken off the screen halfway through its fade gives its pause
    // back all the same.
    Ask("delete=5");
    ClickControl(m_pBoxWindow, "cancel");
    Run(0.2f);
    m_pGame->pGUI->HideWindowImmediately(m_pBoxWindow->GetID());
    EXPECT_EQ(m_pGame->iPause, 0);
}

TEST_F(WindowSchemeTest, TheBoxCaptionsTheGamesOwnButtons)
{
    auto* box = new cMessageBoxWF();
    vek::cWindow* w = m_pShell->FillWindow("messagebox", vek::filename("{StaticPath}/gui/none.lua"), box);
    auto* ok = new cButtonCtrl("ok", w);
    auto* cancel = new cButtonCtrl("cancel", w);
    m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndAfterCreate, 0, 0);
    EXPECT_EQ(box->SetButtons("Yes", "No"), 0);
    EXPECT_EQ(ok->GetText(), "Yes");
    EXPECT_EQ(cancel->GetText(), "No");
    EXPECT_TRUE(cancel->GetState(vek::cCtrl::e_Visibility));
    box->SetButtons("Ok", "");
    EXPECT_EQ(ok->GetText(), "Ok");
    EXPECT_FALSE(cancel->GetState(vek::cCtrl::e_Visibility));
}

TEST_F(WindowSchemeTest, TheProfileScreenDeletesOnlyListedProfilesThatAreNotCurrent)
{
    MakeBox();
    ASSERT_TRUE(Write("data/gui/profile_select.lua",
                      "function FillWindow(w) cListSysCtrl(w, 'lstProfile') cSliderSysCtrl(w, 'slProfile') end\n"));
    m_pShell->FillWindow("profile_select", vek::filename("{StaticPath}/gui/profile_select.lua"),
                         new cProfileSelectWF());
    cTestPlayer* a = m_pShell->Add("a");
    m_pShell->Add("b");
    m_pShell->Add("c");
    m_pShell->SetCurrent(a);
    // The screen lists the profiles when it shows.
    m_pShell->ShowGameWindow("profile_select", 1);

    for (const char* command : {"delete=3", "delete=-1", "delete=99999999999", "delete=x", "delete=", "delete=1x"}) {
        Ask(command);
        ClickControl(m_pBoxWindow, "ok");
        Run(1.0f);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));

    Ask("delete=1");
    ClickControl(m_pBoxWindow, "ok");
    Run(1.0f);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(LogCount("Delete player 'b'"), 1);
}

// The sounds the screens and controls asked for, in order.
std::vector<std::string> g_Sounds;
void RecordSound(const vek::string& name) { g_Sounds.push_back(name); }

TEST_F(WindowSchemeTest, AHiddenScreenFadesOutForHalfASecondBeforeTheGameIsTold)
{
    cRecordingWF* f = nullptr;
    vek::cWindow* w = Fill("fader", "", &f);
    ASSERT_TRUE(m_pShell->ShowGameWindow("fader", 0));
    EXPECT_EQ(f->GetFade().m_Value, 0.0f) << "a screen starts invisible";
    Run(0.6f);
    EXPECT_EQ(f->GetFade().m_Value, 1.0f);
    EXPECT_TRUE(f->CanHandle());

    m_pGame->pGUI->HideWindow("fader");
    EXPECT_TRUE(Shown("fader"));
    EXPECT_FALSE(f->CanHandle()) << "no own cases while fading out";
    Run(0.4f);
    EXPECT_TRUE(Shown("fader"));
    EXPECT_EQ(f->Count(vek::cGUI::e_wndHideImmediately), 0);
    Run(0.2f);
    EXPECT_FALSE(Shown("fader"));
    EXPECT_EQ(f->Count(vek::cGUI::e_wndHideImmediately), 1);
    EXPECT_TRUE(f->CanHandle());

    // Shown again halfway through a fade-out: it turns back and stays.
    // A step of no time right after showing leaves it there, unseen.
    m_pShell->ShowGameWindow("fader", 0);
    m_pGame->pGUI->Update(0.0f);
    m_pGame->pGUI->Update(0.0f);
    EXPECT_TRUE(Shown("fader"));
    EXPECT_EQ(f->Count(vek::cGUI::e_wndHideImmediately), 1);
    Run(1.0f);
    m_pGame->pGUI->HideWindow("fader");
    Run(0.25f);
    EXPECT_GT(f->GetFade().m_Value, 0.0f);
    m_pShell->ShowGameWindow("fader", 0);
    EXPECT_TRUE(f->CanHandle());
    Run(1.0f);
    EXPECT_TRUE(Shown("fader"));
    EXPECT_EQ(f->GetFade().m_Value, 1.0f);
    EXPECT_EQ(f->Count(vek::cGUI::e_wndHideImmediately), 1);
    // Painting a faded or a whole screen leaves no modulation behind.
    EXPECT_EQ(m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndPaint, 0, 0), 0);
}

TEST_F(WindowSchemeTest, EscapeClosesOnlyALockedScreenAndKeysAreNeverTaken)
{
    cRecordingWF* f = nullptr;
    vek::cWindow* w = Fill("locker", "", &f);
    m_pShell->ShowGameWindow("locker", 0);
    Run(1.0f);
    EXPECT_EQ(m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndKeyDown, 1, 0), 0);
    Run(1.0f);
    EXPECT_TRUE(Shown("locker")) << "an ordinary screen maps Escape itself";

    EXPECT_EQ(f->OnError(w, "no 'ok'"), 0);
    EXPECT_EQ(f->OnError(w, ""), 0);
    EXPECT_EQ(LogCount("[locker] no 'ok'"), 1);
    EXPECT_EQ(LogCount("[locker]"), 1) << "an empty text locks without a warning";
    EXPECT_FALSE(f->CanHandle());
    EXPECT_EQ(m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndKeyDown, 28, 0), 0);
    Run(1.0f);
    EXPECT_TRUE(Shown("locker")) << "only Escape closes a locked screen";
    EXPECT_EQ(m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndKeyDown, 1, 0), 0);
    Run(1.0f);
    EXPECT_FALSE(Shown("locker"));
    m_pShell->ShowGameWindow("locker", 0);
    Run(1.0f);
    EXPECT_FALSE(f->CanHandle()) << "locked for the run";
}

TEST_F(WindowSchemeTest, APopUpShowsAtOnceAndLeavesAtTheNextUpdate)
{
    auto* pop = new cBaseGDWF();
    m_pShell->FillWindow("pop", vek::filename("{StaticPath}/gui/none.lua"), pop);
    ASSERT_TRUE(m_pShell->ShowGameWindow("pop", 2));
    Run(1.0f);
    m_pGame->pGUI->HideWindow("pop");
    EXPECT_TRUE(Shown("pop"));
    m_pGame->pGUI->Update(1.0f / 30.0f);
    m_pGame->pGUI->Update(1.0f / 30.0f);
    EXPECT_FALSE(Shown("pop"));

    // Shown again before the update: the hide request is forgotten.
    m_pShell->ShowGameWindow("pop", 2);
    m_pGame->pGUI->HideWindow("pop");
    m_pShell->ShowGameWindow("pop", 2);
    Run(0.5f);
    EXPECT_TRUE(Shown("pop"));
    EXPECT_EQ(pop->OnError(m_pGame->pGUI->GetWindow("pop"), "wndAfterCreate"), 0);
    EXPECT_TRUE(pop->IsLocked());
    EXPECT_EQ(LogCount("[pop] wndAfterCreate"), 1);
}

TEST_F(WindowSchemeTest, EditingPlaysTheTypingSound)
{
    g_Sounds.clear();
    SetInterfaceSoundHook(&RecordSound);
    vek::cWindow* w = Fill("typer", "", nullptr);
    m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndEditChange, 0, 1);
    SetInterfaceSoundHook(nullptr);
    EXPECT_EQ(g_Sounds, std::vector<std::string>{"typing"});
}

TEST_F(WindowSchemeTest, HelpersFindPressAndGroupOnlyControlsOfTheirKind)
{
    cRecordingWF* f = nullptr;
    vek::cWindow* w = Fill("helpers", "", &f);
    auto* a = new vek::cCheckBoxSysCtrl("a", w);
    auto* b = new vek::cCheckBoxSysCtrl("b", w);
    auto* c = new vek::cCheckBoxSysCtrl("c", w);
    auto* label = new vek::cLabelCtrl("label", w);
    auto* t1 = new cTabButtonCtrl("t1", w);
    auto* t2 = new cTabButtonCtrl("t2", w);
    auto* list = new vek::cListSysCtrl("list", w);

    EXPECT_EQ(FindControl("helpers", "b"), b);
    EXPECT_EQ(FindControl("nowhere", "b"), nullptr);
    EXPECT_EQ(FindControl("helpers", "nothing"), nullptr);
    EXPECT_EQ(LogCount("window 'nowhere' not found"), 1);
    EXPECT_EQ(LogCount("control 'nothing' not found in wondow 'helpers'"), 1);
    EXPECT_EQ(GetWindowControlAs<vek::cCheckBoxSysCtrl>(w, "label"), nullptr) << "a label is no check box";
    EXPECT_EQ(GetWindowControlAs<vek::cCtrl>(w, "unnamed"), nullptr) << "the placeholder is no control";

    // A name the window lacks still presses: the command names control 0.
    EXPECT_TRUE(ClickControl(w, "nothing"));
    ASSERT_EQ(f->Count(vek::cGUI::e_wndCommand), 1);
    EXPECT_EQ(f->records.back().uB, 0u);

    g_vecCheckGroup = {a->GetID(), b->GetID(), label->GetID(), 0, 999};
    EXPECT_TRUE(CheckGroupControl(w, a->GetID()));
    EXPECT_TRUE(a->IsChecked());
    EXPECT_TRUE(CheckGroupControl(w, b->GetID()));
    EXPECT_FALSE(a->IsChecked());
    EXPECT_TRUE(b->IsChecked());
    for (int bad : {0, -1, 999, label->GetID()}) EXPECT_FALSE(CheckGroupControl(w, bad)) << bad;
    EXPECT_TRUE(b->IsChecked()) << "a refused index changes nothing";
    EXPECT_FALSE(CheckGroupControl(nullptr, a->GetID()));
    // Outside the group, still checked; the group is released.
    EXPECT_TRUE(CheckGroupControl(w, c->GetID()));
    EXPECT_TRUE(c->IsChecked());
    EXPECT_FALSE(a->IsChecked() || b->IsChecked());

    g_vecTabGroup = {t1->GetID(), t2->GetID(), label->GetID(), 0, 77, c->GetID()};
    t1->SetCheck(true);
    t2->SetCheck(true);
    ReleaseGroupTabs(w, t2->GetID());
    ReleaseGroupTabs(nullptr, t2->GetID());
    EXPECT_FALSE(t1->IsChecked());
    EXPECT_TRUE(t2->IsChecked());
    EXPECT_TRUE(c->IsChecked()) << "a check box in the tab group is no tab";

    list->InsertItem(0, "640 x 480", 1);
    list->InsertItem(1, "800 x 600", 2);
    list->InsertItem(2, "1024 x 768", 3);
    g_iResolutionList = label->GetID();
    SelectListItem(w, 2);
    EXPECT_EQ(list->GetSelectedItem(0), 3u) << "the list index names a label: nothing";
    g_iResolutionList = list->GetID();
    SelectListItem(w, 2);
    SelectListItem(nullptr, 3);
    EXPECT_EQ(list->GetSelectedItem(0), 1u);
    EXPECT_EQ(f->Count(vek::cGUI::e_wndItemSelect), 0) << "selected without notification";

    g_vecCheckGroup.clear();
    g_vecTabGroup.clear();
    g_iResolutionList = 0;
}

TEST_F(WindowSchemeTest, TaskAndBuildingDisplayData)
{
    ASSERT_TRUE(CreateWareManager());
    CreateWares();
    const cWare* first = g_pWareManager->GetWare(0);
    vek::string texture, sprite = "keep", text;
    int amount = 0;

    cLevelTask ware;
    ware.iWare = 0;
    ware.iAmount = 7;
    GetTaskInfo(ware, texture, sprite, text, amount);
    EXPECT_EQ(texture, "icons00");
    EXPECT_EQ(sprite, first->strName);
    EXPECT_EQ(text, first->strTitle);
    EXPECT_EQ(amount, 7);

    cLevelTask goat;
    goat.iKind = 1;
    goat.iAmount = 2;
    GetTaskInfo(goat, texture, sprite, text, amount);
    EXPECT_EQ(sprite, "goat");
    EXPECT_EQ(text, GetLocaleGD().Goat);
    EXPECT_EQ(amount, 2);

    cLevelTask empty;
    empty.iAmount = -3;
    sprite = "keep";
    texture.clear();
    GetTaskInfo(empty, texture, sprite, text, amount);
    EXPECT_EQ(texture, "icons00");
    EXPECT_EQ(sprite, "keep");
    EXPECT_EQ(text, GetLocaleGD().Goat);
    EXPECT_EQ(amount, -3);

    // An unknown kind has no text, and still leaves the sprite alone.
    cLevelTask unknown;
    unknown.iKind = 9;
    GetTaskInfo(unknown, texture, sprite, text, amount);
    EXPECT_EQ(sprite, "keep");
    EXPECT_EQ(text, "");

    // No game object: no registry to know the building.
    int value = 55;
    GetBuildingInfo("market00", texture, sprite, text, value);
    EXPECT_EQ(texture, "icons00");
    EXPECT_EQ(sprite, "");
    EXPECT_EQ(value, 55);
    DestroyWareManager();
}

TEST(WindowFunctions, EveryScreenIsMadeWithoutArgumentsAndTheMenusCopyTheSharedValue)
{
    g_iMenuScreenValue = 0;
    EXPECT_EQ(cMainGDWF().GetScreenValue(), 0);
    g_iMenuScreenValue = 3;
    EXPECT_EQ(cMainGDWF().GetScreenValue(), 3);
    EXPECT_EQ(cOptionsGDWF().GetScreenValue(), 3);
    g_iMenuScreenValue = 0;

    std::vector<std::unique_ptr<vek::cWindowFunction>> all;
    all.emplace_back(new cMessageBoxWF());
    all.emplace_back(new cHintGDWF());
    all.emplace_back(new cHintMPWF());
    all.emplace_back(new cMissionStartWF());
    all.emplace_back(new cMissionFinishWF());
    all.emplace_back(new cMissionGoalWF());
    all.emplace_back(new cMainGDWF());
    all.emplace_back(new cEscapeGDWF());
    all.emplace_back(new cProfileSelectWF());
    all.emplace_back(new cOptionsGDWF());
    all.emplace_back(new cProfileAddWF());
    all.emplace_back(new cGardenWF());
    all.emplace_back(new cStatGardenWF());
    all.emplace_back(new cStatIslandWF());
    all.emplace_back(new cIslandWF());
    all.emplace_back(new cEditWF());
    all.emplace_back(new cUpWF());
    all.emplace_back(new cScoreWF());
    all.emplace_back(new cComicsWF());
    // Without a window or a game object every handler stays quiet.
    for (auto& f : all) EXPECT_EQ(f->Call(nullptr, vek::cGUI::e_wndHideImmediately, 0, 0), 0);
    EXPECT_FALSE(ClickControl(nullptr, "ok"));
    EXPECT_EQ(GetWindowControl(nullptr, "ok"), nullptr);
}

} // namespace
