// The game from its start to the main menu and back down, as the entry
// routine runs it, on a small pack.
#include "game_fixture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "engine/gui/window.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"

using namespace gametest;

namespace {

TEST_F(GameFixture, StartsToTheMainMenuAndShutsDownInOrder)
{
    WritePack();
    Start();
    ASSERT_TRUE(RunToMainMenu()) << ConsoleLog();
    Frames(2);

    // The windows, in the table's order, after the loading screen.
    vek::cGUI* gui = m_pGame->pGUI;
    int last = gui->FindWindow("loading");
    for (const std::string& name : GameWindows()) {
        const int index = gui->FindWindow(name);
        EXPECT_GT(index, last) << name;
        last = index;
    }
    EXPECT_TRUE(gui->IsWindowShown("main"));
    EXPECT_FALSE(m_pGame->bRunInactive);
    ASSERT_NE(g_pGarden->GetCurrentPlayer(), nullptr);
    EXPECT_EQ(g_pGarden->GetPlayerCount(), 1);
    EXPECT_NE(g_pGarden->GetLevel(), nullptr);
    EXPECT_NE(g_pGarden->m_pIsland, nullptr);
    EXPECT_EQ(g_pGarden->GetSoundTable().size(), 31u);
    EXPECT_NE(g_pGarden->GetSoundTable()[1], 0);  // "goal_done"
    EXPECT_EQ(GetLocaleGD().ConfirmExitGame, "Leave?");
    // A fresh profile carries the login name.
    const std::string login = m_pGame->strUserName.empty() ? "Player" : std::string(m_pGame->strUserName);
    EXPECT_EQ(g_pGarden->GetPlayerName(), login);

    Stop();
    const std::string log = HtmlLog();
    EXPECT_TRUE(InOrder(log, {"Start game initialization...", "Start game initialization...",
                              "Show splash screen...", "End splash screen", "Start loading...",
                              "Loading complete. Finish game initialization...", "Found 0 Player profiles",
                              "Loading complete. Finish game initialization...", "settings loaded",
                              "Game initialization complete. Run game...", "autoexec ran"}))
        << log;
    const std::string native = m_strDir + "/app/conf/settings.lua";
    EXPECT_TRUE(InOrder(log, {"Game initialization complete", "WriteSettings " + native,
                              "DestroyTextureInfos"}));
    EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/plr000/player.dat").empty());
    EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/plr000/save.dat").empty());
    EXPECT_FALSE(vektest::ReadFile(native).empty());
}

TEST_F(GameFixture, ASecondStartFindsTheProfileAndRunsTheSettings)
{
    WritePack();
    Start();
    ASSERT_TRUE(RunToMainMenu());
    Stop();

    // What a kill between writing and renaming leaves (the pid no process
    // has) goes at the next start; the profile's own files stay.
    const std::string app = m_strDir + "/app";
    const std::string stale[] = {app + "/profile/plr000/save.dat.tmp99999999.0",
                                 app + "/profile/plr000/3/level.dat.tmp99999999.4", app + "/conf/settings.lua.tmp"};
    for (const std::string& file : stale) ASSERT_TRUE(vektest::WriteFile(file, "half"));
    Start();
    ASSERT_TRUE(RunToMainMenu());
    for (const std::string& file : stale) EXPECT_NE(access(file.c_str(), F_OK), 0) << file;
    EXPECT_FALSE(vektest::ReadFile(app + "/profile/plr000/save.dat").empty());
    EXPECT_NE(ConsoleLog().find("left by a save that was cut short"), std::string::npos);
    EXPECT_FLOAT_EQ(g_pGarden->m_Settings.fMouseSpeed, 0.7f);
    EXPECT_EQ(g_pGarden->GetPlayerCount(), 1);
    ASSERT_NE(g_pGarden->GetCurrentPlayer(), nullptr);
    EXPECT_EQ(static_cast<cPlayer*>(g_pGarden->GetCurrentPlayer())->m_strFolder, "plr000");
    Stop();
    const std::string log = HtmlLog();
    EXPECT_TRUE(InOrder(log, {"hardware settings", "Show splash screen...", "Found 1 Player profiles"}));
}

TEST_F(GameFixture, ASettingsFileThatFailsLeavesTheDefaultsAndIsWrittenAfresh)
{
    WritePack();
    const std::string file = m_strDir + "/app/conf/settings.lua";
    const std::string written = "settings = {\n  mouse_speed = 0.7,\n}\n";
    // A file that does not run, an empty one, one cut in the middle of a
    // value (the values on the lines before it are kept), one that runs
    // a command: each is kept as settings.lua.bad, logged, and written
    // afresh at exit; no command runs, whatever the file holds.
    const std::string marker = m_strDir + "/ran";
    const struct {
        std::string text;
        float speed;
    } cases[] = {
        {"error('damaged settings')\n", 0.3f},
        {"", 0.3f},
        {"settings = {\n  mouse_speed = 0.7,\n  width = 10", 0.7f},
        {"os.execute('touch " + marker + "')\nsettings = { mouse_speed = 0.7 }\n", 0.3f},
        {"settings = { mouse_speed = 0.7, (io.open('" + marker + "', 'w')) }\n", 0.3f},
        {"settings = { mouse_speed = (\"x\"):rep(1e9) }\n", 0.3f},
        {"while true do end\n", 0.3f},
        // Memory claimed in few steps, and a deep recursion.
        {"local s = \"A\" for i = 1, 40 do s = s .. s end\nsettings = { player = s }\n", 0.3f},
        {"local function f(n) return 1 + f(n + 1) end\nsettings = { mouse_speed = f(1) }\n", 0.3f},
    };
    int round = 0;
    for (const auto& c : cases) {
        ASSERT_TRUE(vektest::WriteFile(file, c.text));
        Start();
        ASSERT_TRUE(RunToMainMenu());
        EXPECT_FLOAT_EQ(g_pGarden->m_Settings.fMouseSpeed, c.speed) << round;
        EXPECT_NE(ConsoleLog().find("settings.lua is damaged; kept as settings.lua.bad"), std::string::npos) << round;
        // Lua's word on why it did not run (no library, not even error()).
        if (round == 0) {
            EXPECT_NE(ConsoleLog().find("attempt to call global 'error'"), std::string::npos);
        }
        Stop();
        EXPECT_EQ(vektest::ReadFile(file + ".bad"), c.text) << round;
        EXPECT_EQ(vektest::ReadFile(file), written) << round;
        EXPECT_NE(access(marker.c_str(), F_OK), 0) << round;
        std::remove((file + ".bad").c_str());
        ++round;
    }
}

} // namespace
