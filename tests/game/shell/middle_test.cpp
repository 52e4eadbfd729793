// The shell object: start-up, the profile list and its operations, and the
// order of its teardown.
#include "shell_fixture.h"

#include <algorithm>

#include "engine/core/script.h"
#include "engine/graphics/scene.h"
#include "engine/graphics/texture.h"
#include "game/shell/loading.h"
#include "game/shell/texture_info.h"
#include "platform/fs.h"
#include "support/image_files.h"

using namespace shelltest;

namespace {

class MiddleTest : public ShellFixture {
protected:
    // A small picture file of the kind the name's extension says.
    static std::string Picture(const std::string& name)
    {
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".jpg") == 0)
            return vektest::MakeJPEG(8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 120));
        return vektest::MakePNG(8, 8, 6, 8, std::vector<uint8_t>(8 * 8 * 4, 200));
    }
    bool Happened(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
};

TEST_F(MiddleTest, StartUpMakesTheFoldersAndRegistriesAndRunsTheSystemFont)
{
    for (const char* name : {"gui_console0.jpg", "gui_console1.jpg", "font_system.png", "gui_system.png"})
        ASSERT_TRUE(Write(std::string("data/texture/system/") + name, Picture(name)));
    ASSERT_TRUE(Write("data/conf/sys_font.lua", "sys_font_ran = 1\n"));
    EXPECT_EQ(m_pShell->InitGame(), 0);

    EXPECT_TRUE(vektest::WriteFile(m_strDir + "/app/cache/x", "x"));
    EXPECT_TRUE(vektest::WriteFile(m_strDir + "/app/conf/x", "x"));
    EXPECT_NE(vek::g_pMaterialManager, nullptr);
    EXPECT_NE(vek::g_pSceneManager, nullptr);
    EXPECT_NE(vek::g_pMeshManager, nullptr);
    // Textures 1 to 4, in this order, after the default texture.
    ASSERT_NE(vek::g_pTextureManager, nullptr);
    EXPECT_EQ(vek::g_pTextureManager->Count(), 5u);
    EXPECT_EQ(vek::g_pTextureManager->Find("gui_console0"), 1u);
    EXPECT_EQ(vek::g_pTextureManager->Find("gui_console1"), 2u);
    EXPECT_EQ(vek::g_pTextureManager->Find("font_system"), 3u);
    EXPECT_EQ(vek::g_pTextureManager->Find("gui_system"), 4u);
    EXPECT_NE(g_pTextureInfos, nullptr);
    EXPECT_TRUE(vek::g_pScript->DoString("assert(sys_font_ran == 1)"));
    EXPECT_EQ(LogCount("Start game initialization..."), 1);
}

TEST_F(MiddleTest, TheSplashEndsInTheLoadingWindowAndStartUpLogsInOrder)
{
    for (const char* name : {"gui_loading.jpg", "gui_loading_progress.jpg"})
        ASSERT_TRUE(Write(std::string("data/texture/system/") + name, Picture(name)));
    ASSERT_TRUE(Write("data/gui/game_loading.lua", "function FillWindow(w) cLabelCtrl(w, 'label') end\n"));

    m_pShell->InitGame();
    m_pShell->OnSplashEnd();
    // The loading screen has the focus, for this game object.
    auto* loading = dynamic_cast<cLoadingWidget*>(m_pGame->pFocusWidget);
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(loading->pGame, m_pShell);
    EXPECT_EQ(GetLoadingWidget(), loading);
    EXPECT_NE(vek::g_pTextureManager->Find("gui_loading"), 0u);
    EXPECT_NE(vek::g_pTextureManager->Find("gui_loading_progress"), 0u);
    m_pShell->FinishInit();

    const vek::cWindow* window = m_pGame->pGUI->GetWindow(m_pGame->pGUI->FindWindow("loading"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->FindControl("label"), 1);
    EXPECT_TRUE(LogInOrder({"Start game initialization...", "CreateMaterialManager", "CreateSceneManager",
                            "CreateMeshManager", "End splash screen", "Start loading...",
                            "Loading complete. Finish game initialization...", "Highscores not found",
                            "Found 0 Player profiles"}));
    EXPECT_EQ(m_pShell->GetPlayerCount(), 1);
    // Start time: the time of day in milliseconds.
    EXPECT_GE(m_pShell->GetStartTime(), 0);
    EXPECT_LT(m_pShell->GetStartTime(), 24 * 3600 * 1000 + 1000);
}

TEST_F(MiddleTest, WithoutProfileFoldersOneFreshProfileIsAddedButNotActivated)
{
    ASSERT_TRUE(Write("app/profile/stray.txt", "not a profile"));
    m_pShell->FinishInit();
    EXPECT_EQ(m_pShell->GetPlayerCount(), 1);
    EXPECT_EQ(m_pShell->GetCurrentPlayer(), m_pShell->GetPlayerAt(0));
    EXPECT_EQ(m_pShell->GetPlayerName(), "plr000");
    EXPECT_FALSE(Happened("activate plr000"));
    EXPECT_TRUE(LogInOrder({"Loading complete. Finish game initialization...", "Highscores not found",
                            "Found 0 Player profiles"}));
}

TEST_F(MiddleTest, OnlySubFoldersBecomeProfilesNamedAsOnDiskAndFinishingTwiceChangesNothing)
{
    for (const char* folder : {"plr000", "plr002", "Plr001.old"})
        ASSERT_TRUE(Write(std::string("app/profile/") + folder + "/player.dat", ""));
    ASSERT_TRUE(Write("app/profile/notes.txt", "x"));
    ASSERT_TRUE(Write("app/profile/desktop.ini", "x"));
    // An empty folder (a first save cut short before its file) goes.
    const std::string empty = m_strDir + "/app/profile/plr003";
    ASSERT_TRUE(vek::platform::MakeDir(empty));

    m_pShell->FinishInit();
    EXPECT_FALSE(vek::platform::PathExists(empty));
    EXPECT_EQ(m_pShell->folders, (std::vector<std::string>{"Plr001.old", "plr000", "plr002"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Plr001.old", "plr000", "plr002"}));
    EXPECT_EQ(m_pShell->GetPlayerName(), "Plr001.old");
    EXPECT_TRUE(Happened("activate Plr001.old"));
    EXPECT_EQ(LogCount("Found 3 Player profiles"), 1);

    // The loading screen may finish again after a later activation.
    m_pShell->FinishInit();
    EXPECT_EQ(m_pShell->GetPlayerCount(), 3);
    EXPECT_EQ(LogCount("Loading complete."), 1);
}

TEST_F(MiddleTest, ChangingPlayersGoesByCaseInsensitiveNamesButSkipsTheExactCurrentName)
{
    cTestPlayer* anna = m_pShell->Add("anna");
    cTestPlayer* bert = m_pShell->Add("bert");
    m_pShell->SetCurrent(anna);

    EXPECT_EQ(m_pShell->FindPlayer("BERT"), bert);
    EXPECT_EQ(m_pShell->FindPlayer("carl"), nullptr);

    EXPECT_EQ(m_pShell->ChangePlayer("anna"), 0);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(LogCount("Change player"), 0);

    // Another spelling of the current name goes through the whole change.
    m_pShell->ChangePlayer("Anna");
    EXPECT_EQ(events, (Events{"deactivate anna", "activate anna"}));
    EXPECT_EQ(LogCount("Change player 'anna' to 'Anna'"), 1);

    events.clear();
    m_pShell->ChangePlayer("Bert");
    EXPECT_EQ(m_pShell->GetCurrentPlayer(), bert);
    EXPECT_EQ(events, (Events{"deactivate anna", "activate bert"}));

    events.clear();
    m_pShell->ChangePlayer("carl");
    EXPECT_EQ(m_pShell->GetCurrentPlayer(), bert);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(LogCount("Can't find payer 'carl', leave old player."), 1);
}

TEST_F(MiddleTest, NoSpellingOfItsNameDeletesTheCurrentProfile)
{
    cTestPlayer* anna = m_pShell->Add("anna");
    m_pShell->Add("Anna");
    m_pShell->Add("bert");
    m_pShell->SetCurrent(anna);

    m_pShell->DeletePlayer("Anna");
    EXPECT_EQ(Names(), (std::vector<std::string>{"anna", "bert"}));
    EXPECT_EQ(events, (Events{"delete Anna", "free Anna"}));
    EXPECT_EQ(LogCount("Delete player 'Anna'"), 1);

    events.clear();
    for (const char* name : {"anna", "ANNA", "aNNa"}) m_pShell->DeletePlayer(name);
    EXPECT_EQ(Names(), (std::vector<std::string>{"anna", "bert"}));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(LogCount("Delete player 'anna'"), 0);
    EXPECT_EQ(m_pShell->GetPlayerName(), "anna");

    m_pShell->DeletePlayer("nobody");
    EXPECT_EQ(LogCount("Can't find payer 'nobody'."), 1);
    m_pShell->DeletePlayer("BERT");
    EXPECT_EQ(Names(), (std::vector<std::string>{"anna"}));

    // By object: neither the current profile nor one that is not listed.
    EXPECT_EQ(m_pShell->DeleteProfile(anna), 0);
    cTestPlayer stranger(nullptr, "x", "x");
    EXPECT_EQ(m_pShell->DeleteProfile(&stranger), 0);
    EXPECT_EQ(m_pShell->DeleteProfile(nullptr), 0);
    EXPECT_EQ(m_pShell->GetPlayerCount(), 1);
}

TEST_F(MiddleTest, IterationEndsForGoodAndSurvivesDeletions)
{
    EXPECT_EQ(m_pShell->GetFirstPlayer(), nullptr);
    EXPECT_EQ(m_pShell->GetNextPlayer(), nullptr);

    cTestPlayer* a = m_pShell->Add("a");
    m_pShell->Add("b");
    m_pShell->Add("c");
    m_pShell->Add("d");
    m_pShell->SetCurrent(a);
    EXPECT_EQ(m_pShell->GetPlayerAt(3)->GetName(), "d");
    EXPECT_EQ(m_pShell->GetPlayerAt(4), nullptr);
    EXPECT_EQ(m_pShell->GetPlayerAt(-1), nullptr);

    // Every profile is visited once while each visited one (but the
    // current) is deleted on the way.
    std::vector<std::string> visited;
    for (cPlayerBase* p = m_pShell->GetFirstPlayer(); p; p = m_pShell->GetNextPlayer()) {
        visited.push_back(p->GetName());
        if (p != a) m_pShell->DeletePlayer(p->GetNameCopy());
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(m_pShell->GetNextPlayer(), nullptr);
    EXPECT_EQ(m_pShell->GetNextPlayer(), nullptr);

    // Deleting another profile than the one the cursor stands on leaves the
    // iteration as it was.
    m_pShell->Add("e");
    m_pShell->Add("f");
    EXPECT_EQ(m_pShell->GetFirstPlayer(), a);
    m_pShell->DeletePlayer("e");
    EXPECT_EQ(m_pShell->GetNextPlayer()->GetName(), "f");
    EXPECT_EQ(m_pShell->GetNextPlayer(), nullptr);
}

TEST_F(MiddleTest, TeardownSavesProfilesThenWritesScoresThenDestroysTheRegistries)
{
    vek::CreateMaterialManager();
    vek::CreateSceneManager();
    vek::CreateMeshManager();
    CreateTextureInfos();
    ASSERT_TRUE(Write("app/conf/keep", ""));
    m_pShell->FinishInit();  // one fresh profile, "plr000"
    cTestPlayer* a = m_pShell->Add("a");
    m_pShell->Add("b");
    m_pShell->SetCurrent(a);
    m_pShell->AddScore(new cTestRow(5));

    delete m_pShell;
    m_pShell = nullptr;

    // The fresh profile is on disk as soon as it is made.
    EXPECT_EQ(events, (Events{"save plr000", "deactivate a", "save plr000", "free plr000", "save a", "free a",
                              "save b", "free b"}));
    EXPECT_EQ(vektest::ReadFile(m_strDir + "/app/conf/highscore.dat").size(), 8u);
    EXPECT_EQ(g_pTextureInfos, nullptr);
    EXPECT_EQ(vek::g_pMeshManager, nullptr);
    EXPECT_EQ(vek::g_pSceneManager, nullptr);
    EXPECT_EQ(vek::g_pMaterialManager, nullptr);
    EXPECT_TRUE(LogInOrder({"DestroyMeshManager", "DestroySceneManager", "DestroyMaterialManager",
                            "DestroyTextureInfos"}));
    EXPECT_EQ(g_pMiddle, nullptr);
}

TEST_F(MiddleTest, AScoreFileThatCannotBeWrittenIsOnlyLogged)
{
    ASSERT_TRUE(Write("app/conf", "a file where the folder should be"));
    m_pShell->FinishInit();
    m_pShell->AddScore(new cTestRow(5));
    delete m_pShell;
    m_pShell = nullptr;
    EXPECT_EQ(LogCount("Can't save highscores in {AppPath}/conf/highscore.dat file"), 1);
}

TEST_F(MiddleTest, AGameEndedBeforeItReadTheScoresLeavesTheirFileAlone)
{
    ASSERT_TRUE(Write("app/conf/highscore.dat", std::string(8, '\1')));
    m_pShell->InitGame();
    delete m_pShell;
    m_pShell = nullptr;
    EXPECT_EQ(vektest::ReadFile(m_strDir + "/app/conf/highscore.dat"), std::string(8, '\1'));
}

// The engine and the shell made and torn down together, again and again in
// one process: nothing stays behind (the sanitizer build checks for leaks).
TEST(MiddleCycle, EngineAndShellComeAndGoThreeTimes)
{
    const std::string dir = vektest::MakeTempDir("cycle");
    for (int round = 0; round < 3; ++round) {
        vek::cGame::cSettings s;
        s.strName = "ShellCycle";
        auto* engine = new vek::cGame(s);
        vek::SetPathMacro(vek::e_macroStaticPath, dir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, dir + "/app");
        Events events;
        auto* shell = new cTestGame(&events);
        shell->InitGame();
        shell->FinishInit();
        shell->AddScore(new cTestRow(round));
        shell->FillWindow("w", vek::filename("{StaticPath}/gui/none.lua"), nullptr);
        delete shell;
        EXPECT_EQ(g_pMiddle, nullptr);
        EXPECT_EQ(vek::g_pMeshManager, nullptr);
        delete engine;
        EXPECT_EQ(vek::g_pGame, nullptr);
    }
    // Each round wrote its score and the next one read it back.
    EXPECT_EQ(vektest::ReadFile(dir + "/app/conf/highscore.dat").size(), 3u * 8u);
}

} // namespace
