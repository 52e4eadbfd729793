#pragma once
// The game's menu screens on a whole engine object (a window with a render
// device only when a test asks for one) with the real game object, its
// message box, island and comics widgets, and windows built from small
// scripts that make the controls the screens look up. Profiles are the
// game's own, in a temporary {AppPath}.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/message_box.h"
#include "game/screens/window_functions.h"
#include "game/shell/comics.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/island.h"
#include "platform/window.h"
#include "support/temp_dir.h"

namespace screentest {

// The scripts of the screens, with every control their handlers look up.
inline std::string MainScript()
{
    return "function FillWindow(w)\n"
           "  local l = cLabelCtrl(w, 'lbProfile') l:SetText('Hello, %s!')\n"
           "  cButtonSysCtrl(w, 'btStart') cButtonSysCtrl(w, 'btProfile')\n"
           "  cButtonSysCtrl(w, 'btOptions') cButtonSysCtrl(w, 'btExit')\n"
           "end\n";
}
inline std::string EscapeScript()
{
    return "function FillWindow(w)\n"
           "  w:SetModal(true)\n"
           "  cButtonSysCtrl(w, 'btResume') cButtonSysCtrl(w, 'btRestart') cButtonSysCtrl(w, 'btEnd')\n"
           "  cButtonSysCtrl(w, 'btOptions') cButtonSysCtrl(w, 'btExit')\n"
           "end\n";
}
inline std::string OptionsScript()
{
    return "function FillWindow(w)\n"
           "  w:SetModal(true)\n"
           "  local s = cSliderSysCtrl(w, 'slSound') s:SetMinMax(0, 1)\n"
           "  local m = cSliderSysCtrl(w, 'slMusic') m:SetMinMax(0, 1)\n"
           "  local g = cSliderSysCtrl(w, 'slGamma') g:SetMinMax(2.5, 3.5)\n"
           "  local ms = cSliderSysCtrl(w, 'slMouseSpeed') ms:SetMinMax(0.1, 0.6)\n"
           "  cListSysCtrl(w, 'lstResolution')\n"
           "  cCheckBoxSysCtrl(w, 'cbWindowed') cCheckBoxSysCtrl(w, 'cbHints')\n"
           "  cButtonSysCtrl(w, 'btBack')\n"
           "end\n";
}
inline std::string ProfileSelectScript()
{
    return "function FillWindow(w)\n"
           "  w:SetModal(true)\n"
           "  local l = cListSysCtrl(w, 'lstProfile') l:SetSize(300, 100, 0) l:SetSize(300, 25, cCtrl.e_lstItems)\n"
           "  local s = cSliderSysCtrl(w, 'slProfile') s:SetVertical(true)\n"
           "  cButtonSysCtrl(w, 'btAdd') cButtonSysCtrl(w, 'btDelete') cButtonSysCtrl(w, 'btOk')\n"
           "end\n";
}
inline std::string ProfileAddScript()
{
    return "function FillWindow(w)\n"
           "  w:SetModal(true)\n"
           "  local e = cEditSysCtrl(w, 'name') e:SetMaxLength(6)\n"
           "  cButtonSysCtrl(w, 'ok') cButtonSysCtrl(w, 'cancel')\n"
           "end\n";
}
inline std::string ComicsScript() { return "function FillWindow(w) cButtonSysCtrl(w, 'next') end\n"; }
inline std::string MessageBoxScript()
{
    return "function FillWindow(w)\n"
           "  w:SetModal(true)\n"
           "  cLabelCtrl(w, 'title') cLabelCtrl(w, 'text') cImageCtrl(w, 'image') cImageCtrl(w, 'icon')\n"
           "  cButtonSysCtrl(w, 'ok') cButtonSysCtrl(w, 'cancel')\n"
           "end\n";
}

// The game object with its level starts recorded instead of run.
class cScreenGarden : public cGarden {
public:
    bool StartLevel(int level) override
    {
        levels.push_back(level);
        return true;
    }
    void FinishLevel() override { ++iFinished; }
    void SetBox(cMessageBoxWF* box) { m_pMessageBox = box; }
    std::vector<int> levels;
    int iFinished = 0;
};

class ScreenFixture : public ::testing::Test {
protected:
    // Set before SetUp for a window with a render device (gamma, modes).
    bool m_bWindow = false;

    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("screens");
        ASSERT_FALSE(m_strDir.empty());
        GetProfileHost() = cProfileHost();
        if (m_bWindow) vek::platform::WindowSystem().bOpenGL = true;
        vek::cGame::cSettings s;
        s.strTitle = "Screen test";
        s.strName = "ScreenTest";
        s.fWidth = 1024.0f;
        s.fHeight = 768.0f;
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        if (m_bWindow) {
            ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        }
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        m_pGarden = new cScreenGarden();
        m_pGarden->m_pIsland = new cIsland();
        m_pGarden->m_pComics = new cGardenComics();
        m_pGame->strUserName = "gardener";
    }

    void TearDown() override
    {
        delete m_pGarden;
        m_pGarden = nullptr;
        if (vek::platform::WindowSystem().HasWindow()) m_pGame->DestroyWindow();
        delete m_pGame;
        m_pGame = nullptr;
        GetProfileHost() = cProfileHost();
    }

    // Builds a window from the script with the function, as the game does.
    vek::cWindow* Make(const std::string& name, const std::string& script, vek::cWindowFunction* function)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strDir + "/data/gui/" + name + ".lua", script));
        vek::cWindow* window =
            m_pGarden->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), function);
        EXPECT_NE(window, nullptr);
        return window;
    }

    // The message box, the menus, the profile screens and the strip's
    // window; the options only when asked (they need the window for some
    // of what they show).
    void MakeScreens(bool options = true)
    {
        m_pBox = new cMessageBoxWF();
        m_pBoxWindow = Make("messagebox", MessageBoxScript(), m_pBox);
        m_pGarden->SetBox(m_pBox);
        m_pMain = Make("main", MainScript(), m_pMainWF = new cMainGDWF());
        m_pEscape = Make("escape", EscapeScript(), m_pEscapeWF = new cEscapeGDWF());
        m_pSelect = Make("profile_select", ProfileSelectScript(), m_pSelectWF = new cProfileSelectWF());
        if (options) m_pOptions = Make("options", OptionsScript(), m_pOptionsWF = new cOptionsGDWF());
        m_pAdd = Make("profile_add", ProfileAddScript(), m_pAddWF = new cProfileAddWF());
        Make("score", "function FillWindow(w) cLabelCtrl(w, 'x') end\n", new cScoreWF());
        m_pComicsWindow = Make("comics", ComicsScript(), m_pComicsWF = new cComicsWF());
    }

    // A profile of the game's own kind, listed; current when asked.
    cPlayer* AddProfile(const std::string& name, bool current = false)
    {
        auto* player = static_cast<cPlayer*>(m_pGarden->CreatePlayer(""));
        player->m_strName = name;
        m_pGarden->AddPlayer(player);
        if (current) m_pGarden->ChangePlayer(name);
        return player;
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < m_pGarden->GetPlayerCount(); ++i) names.push_back(m_pGarden->GetPlayerAt(i)->GetName());
        return names;
    }

    // GUI updates for that many seconds: fades run, faded screens leave,
    // posted messages arrive.
    void Run(float seconds = 1.0f)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 30.0f) m_pGame->pGUI->Update(1.0f / 30.0f);
    }

    bool Shown(const char* name) const { return m_pGame->pGUI->IsWindowShown(name); }
    bool Show(const char* name, int param) { return m_pGarden->ShowGameWindow(name, param); }
    int Send(vek::cWindow* window, int message, unsigned a = 0, unsigned b = 0)
    {
        return m_pGame->pGUI->SendMessage(window->GetID(), message, a, b);
    }
    void Key(vek::cWindow* window, unsigned key) { Send(window, vek::cGUI::e_wndKeyDown, key, 0); }
    template <class T>
    T* Control(vek::cWindow* window, const char* name)
    {
        return dynamic_cast<T*>(window->GetControl(static_cast<unsigned>(window->FindControl(name))));
    }

    // The question on screen: its text and command.
    std::string BoxText() { return Control<vek::cLabelCtrl>(m_pBoxWindow, "text")->GetText(); }
    std::string BoxCommand() { return m_pBox->GetCommand(); }
    // Answers the box with its first (true) or second button and lets it go.
    void Answer(bool first)
    {
        ClickControl(m_pBoxWindow, first ? "ok" : "cancel");
        Run();
    }

    // The quit message the engine posted, if any.
    bool QuitPosted(int& code)
    {
        vek::platform::cMessage msg;
        while (vek::platform::WindowSystem().PeekMessage(msg))
            if (msg.type == vek::platform::e_msgQuit) {
                code = msg.a;
                return true;
            }
        return false;
    }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        if (const vek::cConsole* console = vek::cConsole::OfLog())
            for (const vek::string& line : console->vecLines) lines.push_back(line);
        return lines;
    }
    int LogCount(const std::string& text) const
    {
        int n = 0;
        for (const std::string& line : LogLines()) n += line.find(text) != std::string::npos;
        return n;
    }

    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cScreenGarden* m_pGarden = nullptr;
    cMessageBoxWF* m_pBox = nullptr;
    vek::cWindow* m_pBoxWindow = nullptr;
    vek::cWindow* m_pMain = nullptr;
    vek::cWindow* m_pEscape = nullptr;
    vek::cWindow* m_pSelect = nullptr;
    vek::cWindow* m_pOptions = nullptr;
    vek::cWindow* m_pAdd = nullptr;
    vek::cWindow* m_pComicsWindow = nullptr;
    cMainGDWF* m_pMainWF = nullptr;
    cEscapeGDWF* m_pEscapeWF = nullptr;
    cProfileSelectWF* m_pSelectWF = nullptr;
    cOptionsGDWF* m_pOptionsWF = nullptr;
    cProfileAddWF* m_pAddWF = nullptr;
    cComicsWF* m_pComicsWF = nullptr;
};

} // namespace screentest
