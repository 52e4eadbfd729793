// The window scheme: windows built from Lua files, the shell's rules for
// showing and hiding them, the message box and the answer it carries back to
// the profile screen.
#include <lua.h>

#include "../shell/shell_fixture.h"
#include "engine/core/script.h"
#include "engine/gui/ctrl.h"
#include "game/screens/message_box.h"
#include "game/screens/window_functions.h"

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
    EXPECT_EQ(m_pShell->GetWindowParam(), 7);
    EXPECT_FALSE(Shown("profile_add"));
    EXPECT_TRUE(Shown("a") && Shown("b") && Shown("profile_select"));

    EXPECT_TRUE(m_pShell->ShowGameWindow("main", 1));
    EXPECT_FALSE(Shown("a") || Shown("b") || Shown("profile_select"));
    EXPECT_TRUE(Shown("dump") && Shown("main"));

    EXPECT_FALSE(m_pShell->ShowGameWindow("nowhere", 2));
    EXPECT_EQ(m_pShell->GetWindowParam(), 2);
    EXPECT_FALSE(m_pShell->ShowGameWindow("unnamed", 3));

    m_pShell->HideAllWindows();
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
    EXPECT_FALSE(Shown("messagebox"));
    EXPECT_EQ(m_pGame->iPause, 0);
    ASSERT_EQ(requests(), 1);
    EXPECT_EQ(profiles->records.back().uA, 3u);
    EXPECT_EQ(profiles->records.back().uB, 0u);
    EXPECT_EQ(m_pBox->GetResult(), 0);

    Ask("delete=3");
    ClickControl(m_pBoxWindow, "cancel");
    EXPECT_EQ(m_pBox->GetResult(), 1);
    EXPECT_EQ(requests(), 1);

    // Closed without a button after an earlier "ok": no answer.
    Ask("delete=3");
    EXPECT_EQ(m_pBox->GetResult(), 1);
    m_pShell->HideAllWindows();
    EXPECT_FALSE(Shown("messagebox"));
    EXPECT_EQ(requests(), 1);

    // Another command, or a key that is no "delete", sends nothing.
    Ask("deleted=1");
    ClickControl(m_pBoxWindow, "ok");
    Ask("exit_game");
    ClickControl(m_pBoxWindow, "ok");
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
    EXPECT_EQ(m_pGame->iPause, 0);

    m_pBox->SetButtons("Yes", "No");
    Ask("");
    m_pGame->pGUI->SendMessage(m_pBoxWindow->GetID(), vek::cGUI::e_wndKeyDown, 1, 0);
    EXPECT_EQ(m_pBox->GetResult(), 1);
    Ask("");
    m_pGame->pGUI->SendMessage(m_pBoxWindow->GetID(), vek::cGUI::e_wndKeyDown, 28, 0);
    EXPECT_EQ(m_pBox->GetResult(), 0);
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

TEST_F(WindowSchemeTest, TheProfileScreenDeletesOnlyListedProfilesThatAreNotCurrent)
{
    MakeBox();
    m_pShell->FillWindow("profile_select", vek::filename("{StaticPath}/gui/none.lua"), new cProfileSelectWF());
    cTestPlayer* a = m_pShell->Add("a");
    m_pShell->Add("b");
    m_pShell->Add("c");
    m_pShell->SetCurrent(a);

    for (const char* command : {"delete=3", "delete=-1", "delete=99999999999", "delete=0", "delete=x", "delete="}) {
        Ask(command);
        ClickControl(m_pBoxWindow, "ok");
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));

    Ask("delete=1");
    ClickControl(m_pBoxWindow, "ok");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(LogCount("Delete player 'b'"), 1);
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
