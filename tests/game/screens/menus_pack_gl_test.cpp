// The menu and profile screens on the real data pack, in the whole game
// started as the entry routine starts it: their scripts make every control
// the handlers need, and a new player is named, chosen and greeted, and
// starts the comic strip, without a warning from any of the screens.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../game_fixture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/window_functions.h"
#include "game/shell/comics.h"
#include "game/world/island.h"

using namespace gametest;

namespace {

class MenusOnThePack : public GameFixture {
protected:
    void StartOnPack()
    {
        const char* repo = std::getenv("VEK_REPO_DIR");
        ASSERT_TRUE(repo && *repo) << "VEK_REPO_DIR names the repository";
        StartWith(std::string(repo) + "/data");
    }
    vek::cWindow* Window(const char* name) { return m_pGame->pGUI->GetWindow(name); }
    template <class T>
    T* Control(const char* window, const char* name)
    {
        vek::cWindow* w = Window(window);
        return w ? dynamic_cast<T*>(w->GetControl(static_cast<unsigned>(w->FindControl(name)))) : nullptr;
    }
    bool Shown(const char* name) { return m_pGame->pGUI->IsWindowShown(name); }
    bool Click(const char* window, const char* control)
    {
        const bool sent = ClickControl(Window(window), control);
        Frames(20);
        return sent;
    }
};

TEST_F(MenusOnThePack, ANewPlayerIsNamedChosenGreetedAndStartsTheStrip)
{
    StartOnPack();
    ASSERT_TRUE(RunToMainMenu(3000)) << ConsoleLog();
    Frames(20);
    ASSERT_TRUE(Shown("main"));
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
    auto* label = Control<vek::cLabelCtrl>("main", "lbProfile");
    ASSERT_NE(label, nullptr);
    EXPECT_NE(label->GetText().find(g_pGarden->GetPlayerName()), std::string::npos) << label->GetText();
    EXPECT_EQ(label->GetText().find("%s"), std::string::npos);

    ASSERT_TRUE(Click("main", "btProfile"));
    ASSERT_TRUE(Shown("profile_select"));
    EXPECT_EQ(Control<vek::cListSysCtrl>("profile_select", "lstProfile")->GetItemCount(), 1u);
    Click("profile_select", "btAdd");
    ASSERT_TRUE(Shown("profile_add"));
    auto* name = Control<vek::cEditCtrl>("profile_add", "name");
    ASSERT_NE(name, nullptr);
    name->SetText("  Zed  ");
    Click("profile_add", "ok");
    EXPECT_FALSE(Shown("profile_add"));
    EXPECT_EQ(g_pGarden->GetPlayerName(), "Zed");
    Click("profile_select", "btOk");
    EXPECT_FALSE(Shown("profile_select"));
    EXPECT_NE(label->GetText().find("Zed"), std::string::npos) << label->GetText();

    // The options open from the menu and go back to it.
    Click("main", "btOptions");
    ASSERT_TRUE(Shown("options"));
    EXPECT_EQ(Control<vek::cListCtrl>("options", "lstResolution")->GetItemCount(), 5u);
    Click("options", "btBack");
    EXPECT_FALSE(Shown("options"));
    EXPECT_TRUE(Shown("main"));

    // A new game: the comic strip, turned to its end, then the level map.
    Click("main", "btStart");
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "comics");
    ASSERT_TRUE(Shown("comics"));
    for (int page = 0; page < 4 && m_pGame->GetFocusWidgetName() == "comics"; ++page) Click("comics", "next");
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "island");
    EXPECT_EQ(g_pGarden->m_pIsland->iMode, cIsland::e_modeIsland);

    // The pause menu over the map leaves to the main menu without a question.
    m_pGame->pGUI->OnKeyDown(1);
    Frames(20);
    if (Shown("escape")) {
        Click("escape", "btEnd");
        EXPECT_FALSE(Shown("messagebox"));
        EXPECT_TRUE(Shown("main"));
    }

    const std::string log = ConsoleLog();
    for (const char* screen : {"[main]", "[escape]", "[options]", "[profile_select]", "[profile_add]", "[comics]"})
        EXPECT_EQ(log.find(screen), std::string::npos) << log;
}

} // namespace
