// The game object's own rules on an engine without a render device: which
// windows a window hides, the message box's commands, the sound table, the
// message texts, and the settings record as Lua sees it.
#include "game/shell/garden.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "engine/core/script.h"
#include "engine/core/script_luabind.h"
#include "engine/sound/sound.h"
#include "game/screens/message_box.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/game_sound.h"
#include "game/world/island.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "shell_fixture.h"

using namespace shelltest;

namespace {

// A message box whose answer and command the test sets.
class cFakeBox : public cMessageBoxWF {
public:
    int GetResult() override { return iResult; }
    const vek::string& GetCommand() override { return strCommand; }
    void SetCommand(const vek::string& command) override { strCommand = command; }
    int SetText(const vek::string& text, const vek::string&) override
    {
        strText = text;
        return 0;
    }
    int iResult = 0;
    vek::string strCommand;
    vek::string strText;
};

// Records the levels it is asked to start.
class cTestGarden : public cGarden {
public:
    bool StartLevel(int level) override
    {
        levels.push_back(level);
        return cGarden::StartLevel(level);
    }
    void FinishLevel() override { ++iFinished; }
    void SetBox(cMessageBoxWF* box) { m_pMessageBox = box; }
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
    std::vector<int> levels;
    int iFinished = 0;
};

class GardenTest : public ShellFixture {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("garden");
        ASSERT_FALSE(m_strDir.empty());
        StartEngine();
        GetProfileHost() = cProfileHost();
        m_pGarden = new cTestGarden();
        m_pShell = nullptr;
        ASSERT_EQ(g_pGarden, m_pGarden);
        for (const char* name : {"main", "options", "escape", "edit", "profile_select", "profile_add", "messagebox"})
            ASSERT_TRUE(Write(std::string("data/gui/") + name + ".lua", "function FillWindow(w) end\n"));
        for (const char* name : {"main", "options", "escape", "edit", "profile_select", "profile_add"})
            m_pGarden->FillWindow(name, vek::filename(std::string("{StaticPath}/gui/") + name + ".lua"),
                                  new vek::cWindowFunction());
        m_pBox = new cFakeBox();
        m_pGarden->FillWindow("messagebox", vek::filename("{StaticPath}/gui/messagebox.lua"), m_pBox);
        m_pGarden->SetBox(m_pBox);
    }
    void TearDown() override
    {
        delete m_pGarden;
        m_pGarden = nullptr;
        EXPECT_EQ(g_pGarden, nullptr);
        StopEngine();
        GetProfileHost() = cProfileHost();
    }

    bool Shown(const char* name) const { return m_pGame->pGUI->IsWindowShown(name); }
    void Close(int result, const std::string& command)
    {
        m_pBox->iResult = result;
        m_pBox->strCommand = command;
        m_pGarden->OnWindowClose("messagebox");
    }
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

    cTestGarden* m_pGarden = nullptr;
    cFakeBox* m_pBox = nullptr;
};

TEST_F(GardenTest, ConstructionSetsTheSharedValues)
{
    EXPECT_EQ(g_iMenuScreenValue, 3);
    if (vek::g_pSoundManager) {
        EXPECT_FLOAT_EQ(vek::g_pSoundManager->GetVolume(vek::cSoundManager::e_Sound), 0.5f);
        EXPECT_FLOAT_EQ(vek::g_pSoundManager->GetVolume(vek::cSoundManager::e_Music), 0.5f);
    }
    EXPECT_EQ(m_pGarden->CreateScoreRow(), nullptr);
    m_pGarden->SetPlayerCounter(1000);
    EXPECT_EQ(m_pGarden->GetPlayerCounter(), 1000);
    cPlayerBase* fresh = m_pGarden->CreatePlayer("");
    EXPECT_EQ(static_cast<cPlayer*>(fresh)->m_strFolder, "plr1000");
    EXPECT_EQ(m_pGarden->GetPlayerCounter(), 1001);
    delete fresh;
}

TEST_F(GardenTest, WindowRules)
{
    // "edit" only in the island's edit mode; the parameter stays otherwise.
    ASSERT_TRUE(m_pGarden->ShowGameWindow("main", 7));
    EXPECT_FALSE(m_pGarden->ShowGameWindow("edit", 9));
    EXPECT_EQ(m_pGarden->GetWindowParam(), 7);
    EXPECT_FALSE(Shown("edit"));
    cIsland* island = new cIsland();
    m_pGarden->m_pIsland = island;
    island->iMode = cIsland::e_modeEdit;
    EXPECT_TRUE(m_pGarden->ShowGameWindow("edit", 9));
    EXPECT_EQ(m_pGarden->GetWindowParam(), 9);

    // "options" hides nothing; "escape" hides only "options".
    EXPECT_TRUE(m_pGarden->ShowGameWindow("options", 1));
    EXPECT_TRUE(Shown("main") && Shown("edit") && Shown("options"));
    EXPECT_TRUE(m_pGarden->ShowGameWindow("escape", 1));
    EXPECT_FALSE(Shown("options"));
    EXPECT_TRUE(Shown("main") && Shown("edit") && Shown("escape"));

    // "main" hides everything first.
    EXPECT_TRUE(m_pGarden->ShowGameWindow("main", 1));
    EXPECT_FALSE(Shown("edit") || Shown("escape"));
    EXPECT_TRUE(Shown("main"));

    // "profile_select" closes "profile_add".
    EXPECT_TRUE(m_pGarden->ShowGameWindow("profile_add", 1));
    EXPECT_TRUE(m_pGarden->ShowGameWindow("profile_select", 1));
    EXPECT_FALSE(Shown("profile_add"));
    m_pGarden->m_pIsland = nullptr;
    delete island;
}

TEST_F(GardenTest, MessageBoxCommandsRunOnlyAfterOk)
{
    int code = -1;
    QuitPosted(code);
    for (const char* command : {"continue_last", "start_level5", "exit_level", "restart_level", "exit_game"})
        Close(1, command);
    EXPECT_TRUE(m_pGarden->levels.empty());
    EXPECT_EQ(m_pGarden->iFinished, 0);
    EXPECT_FALSE(QuitPosted(code));

    Close(0, "continue_last");
    Close(0, "start_level");
    Close(0, "start_level12");
    Close(0, "start_level99");
    Close(0, "something_else");
    EXPECT_EQ(m_pGarden->levels, (std::vector<int>{-1, 0, 12, 99}));
    EXPECT_EQ(LogCount("StartLevel: no level 99"), 1);

    // Leaving a level saves it, lowers the pause (never below 0) and shows
    // the main menu.
    auto* player = new cPlayer("p");
    m_pGarden->AddPlayer(player);
    m_pGarden->SetCurrent(player);
    player->m_iLevel = 4;
    m_pGame->iPause = 1;
    Close(0, "exit_level");
    EXPECT_EQ(m_pGame->iPause, 0);
    EXPECT_TRUE(Shown("main"));
    EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/p/save.dat").empty());
    Close(0, "exit_level");
    EXPECT_EQ(m_pGame->iPause, 0);

    m_pGarden->ShowGameWindow("escape", 1);
    m_pGarden->levels.clear();
    Close(0, "restart_level");
    EXPECT_FALSE(Shown("escape"));
    EXPECT_EQ(m_pGarden->iFinished, 1);
    EXPECT_EQ(m_pGarden->levels, std::vector<int>{4});

    // A level started from a numbered save that cannot be read tells the
    // player once.
    ASSERT_EQ(mkdir((m_strDir + "/app/profile/p/3").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((m_strDir + "/app/profile/p/3/save.dat").c_str(), 0700), 0);
    m_pBox->strText.clear();
    Close(0, "start_level3");
    EXPECT_EQ(m_pBox->strText, GetLocaleGD().ErrorGameDamaged);
    m_pBox->strText.clear();
    Close(0, "start_level3");
    EXPECT_EQ(m_pBox->strText, "");

    Close(0, "exit_game");
    ASSERT_TRUE(QuitPosted(code));
    EXPECT_EQ(code, 0);
}

TEST_F(GardenTest, ShowMessageBoxStoresTheCommand)
{
    m_pGarden->ShowMessageBox(3, 1, "Sure?", "exit_game");
    EXPECT_EQ(m_pBox->strCommand, "exit_game");
    EXPECT_TRUE(Shown("messagebox"));
    m_pGarden->ShowMessageBox(9, 7, "text", "other");
    EXPECT_EQ(m_pBox->strCommand, "other");
}

TEST_F(GardenTest, MessageTextsAndWindowMessages)
{
    EXPECT_EQ(m_pGarden->GetMessageText(0), GetLocaleGD().ErrorOnePlayer);
    EXPECT_EQ(m_pGarden->GetMessageText(1), GetLocaleGD().ConfirmDeletePlayer);
    EXPECT_EQ(m_pGarden->GetMessageText(2), GetLocaleGD().ConfirmExitGame);
    EXPECT_EQ(m_pGarden->GetMessageText(7), "");
    EXPECT_EQ(m_pGarden->GetMessageText(-1), "");
    m_pGarden->SendWindowMessage("no_such_window", 1, 2);
}

TEST_F(GardenTest, ParseResourcesWarnsOncePerUnusableNameAndMissingId)
{
    if (!vek::g_pSoundManager) GTEST_SKIP() << "no sound manager";
    auto& sounds = vek::g_pSoundManager->m_SoundBuffers;
    new vek::cSoundManager::cSoundBuffer("click", 0, false);
    new vek::cSoundManager::cSoundBuffer("mystery", 0, false);
    for (int id = 0; id < kGameSoundCount; ++id)
        if (id != 4 && id != 30) new vek::cSoundManager::cSoundBuffer(g_aGameSoundNames[id], 0, false);
    m_pGarden->ParseResources();
    const std::vector<int32_t>& table = m_pGarden->GetSoundTable();
    ASSERT_EQ(table.size(), 31u);
    EXPECT_EQ(table[4], 0);
    EXPECT_EQ(table[30], 0);
    EXPECT_NE(table[0], 0);
    EXPECT_EQ(sounds.At(static_cast<uint32_t>(table[0]))->GetName(), "market_sold");
    EXPECT_EQ(LogCount("unusable sound found: click"), 0);
    EXPECT_EQ(LogCount("unusable sound found: mystery"), 1);
    EXPECT_EQ(LogCount("ParseResources: unusable sound found"), 1);
    EXPECT_EQ(LogCount("ParseResources: sound not loaded"), 2);
    EXPECT_EQ(LogCount("sound not loaded: 30"), 1);
}

TEST_F(GardenTest, ChangingThePlayerResetsTheIslandView)
{
    cIsland* island = new cIsland();
    m_pGarden->m_pIsland = island;
    island->fPictureHeight = 1500.0f;
    island->fScrollX = 40.0f;
    island->fView = 2.0f;
    // No such profile: the view is reset all the same.
    EXPECT_EQ(m_pGarden->ChangePlayer("nobody"), 0);
    EXPECT_FLOAT_EQ(island->fScrollX, 0.0f);
    EXPECT_FLOAT_EQ(island->fScrollY, 1500.0f - 768.0f);
    EXPECT_FLOAT_EQ(island->fView, 0.0f);
    m_pGarden->m_pIsland = nullptr;
    delete island;
}

TEST_F(GardenTest, LuaSeesTheGamesOwnRecords)
{
    ASSERT_TRUE(RegisterGameClasses(vek::g_pScript));
    vek::g_pScript->RegisterVar("theGame", static_cast<cGarden*>(m_pGarden));
    cIsland* island = new cIsland();
    m_pGarden->m_pIsland = island;
    ASSERT_TRUE(vek::g_pScript->DoString("theGame.m_Settings.fMouseSpeed = 0.5\n"
                                         "theGame.m_Settings.iCheatMode = 2\n"
                                         "assert(theGame.m_pIsland ~= nil)\n"
                                         "theGame.m_pIsland = nil\n"
                                         "theGame.m_iTraining = 0\n"
                                         "theGame:SetPlayerCounter(5)\n"
                                         "gb_result = theGame:gb()\n"
                                         "name_result = theGame:GetName()\n"
                                         "members = ''\n"
                                         "for _, n in ipairs({'ChangePlayer', 'GetName', 'SetPlayerCounter',\n"
                                         "    'GetPlayerCounter', 'GetMoney', 'gb', 'HideAllWindows'}) do\n"
                                         "  if type(theGame[n]) ~= 'function' then members = members .. n .. ' ' end\n"
                                         "end\n"
                                         "local s = theGame.m_Settings\n"
                                         "members = members .. type(s.fMouseSpeed) .. type(s.iRenderInfo) ..\n"
                                         "  type(s.iCheatMode) .. type(theGame.m_strLinkFinishBeta) ..\n"
                                         "  type(theGame.m_iTraining) .. tostring(theGame:GetMoney())\n"));
    EXPECT_FLOAT_EQ(m_pGarden->m_Settings.fMouseSpeed, 0.5f);
    EXPECT_EQ(m_pGarden->m_Settings.iCheatMode, 2);
    EXPECT_EQ(m_pGarden->GetTraining(), 0);
    EXPECT_EQ(m_pGarden->GetPlayerCounter(), 5);
    EXPECT_EQ(m_pGarden->m_pIsland, nullptr);
    EXPECT_EQ(LogCount("rror"), 0);
    lua_State* L = vek::g_pScript->GetState();
    lua_getglobal(L, "gb_result");
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_getglobal(L, "name_result");
    EXPECT_STREQ(lua_tostring(L, -1), "");
    lua_getglobal(L, "members");
    EXPECT_STREQ(lua_tostring(L, -1), "numbernumbernumberstringnumber0");
    lua_pop(L, 3);
    delete island;
}

TEST_F(GardenTest, SettingsAreWrittenOnlyWithACurrentProfile)
{
    ASSERT_TRUE(vek::g_pScript->DoString("function WriteSettings(path) print('written ' .. path .. '\\n') end"));
    delete m_pGarden;
    m_pGarden = nullptr;
    EXPECT_EQ(LogCount("written "), 0);

    m_pGarden = new cTestGarden();
    auto* player = new cPlayer("w");
    m_pGarden->AddPlayer(player);
    m_pGarden->SetCurrent(player);
    delete m_pGarden;
    m_pGarden = nullptr;
    EXPECT_EQ(LogCount("written " + m_strDir + "/app/conf/settings.lua"), 1);
    EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/w/player.dat").empty());
}

// A first start names its profile after the login, cut to the length the
// name field takes, a byte a character: no screen has room for a longer name.
TEST_F(GardenTest, AFirstStartsProfileTakesTheLoginCutToTheNameFieldsLength)
{
    ASSERT_TRUE(vek::g_pScript && vek::g_pScript->DoString("gui = { name_length = 16 }"));
    m_pGame->strUserName = "Bartholomew\xC0\xE1\xE2\xE3Longbottom";
    m_pGarden->cMiddle::FinishInit();
    ASSERT_EQ(m_pGarden->GetPlayerCount(), 1);
    EXPECT_EQ(m_pGarden->GetPlayerName(), "Bartholomew\xC0\xE1\xE2\xE3L");
}

// Profiles other than the current one whose files could not be read whole
// are named at the first main menu, one notice after the other: one whose
// player.dat is empty (listed under its folder's name, not the login name
// another profile has), and the first-listed one whose game in play was
// damaged and saved over as the settings made another profile current.
TEST_F(GardenTest, EveryOtherProfileNotReadWholeIsNamedAtTheFirstMainMenu)
{
    m_pGame->strUserName = "root";
    for (const char* name : {"root", "Zed"}) {
        cPlayer p(name == std::string("root") ? "plr000" : "plr002");
        p.m_strName = name;
        ASSERT_TRUE(p.SavePlayer());
    }
    ASSERT_TRUE(Write("app/profile/plr000/save.dat", ""));
    ASSERT_TRUE(Write("app/profile/plr001/player.dat", ""));
    m_pGarden->cMiddle::FinishInit();
    m_pGarden->ChangePlayer("Zed");
    std::vector<std::string> names;
    for (int i = 0; i < m_pGarden->GetPlayerCount(); ++i) names.push_back(m_pGarden->GetPlayerAt(i)->GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"root", "plr001", "Zed"}));
    ASSERT_EQ(m_pGarden->GetPlayerName(), "Zed");

    ASSERT_TRUE(m_pGarden->ShowGameWindow("main", 1));
    EXPECT_EQ(m_pBox->strText, vek::Formatted(GetLocaleGD().ErrorPlayerDamaged.c_str(), "root"));
    Close(1, "");
    EXPECT_EQ(m_pBox->strText, vek::Formatted(GetLocaleGD().ErrorPlayerDamaged.c_str(), "plr001"));
    Close(1, "");
    m_pBox->strText.clear();
    ASSERT_TRUE(m_pGarden->ShowGameWindow("main", 1));
    m_pGarden->ChangePlayer("root");
    ASSERT_TRUE(m_pGarden->ShowGameWindow("main", 1));
    EXPECT_EQ(m_pBox->strText, "") << "each is told once";
}

// Another profile's player.dat in a profile's folder (a copy, a link to it,
// a hard link) makes no second profile of that name: the profile whose file
// is its own (not a link; of two plain files, the one whose mark is that of
// the save.dat beside it) keeps its name and is the one the settings make
// current; the other keeps the file it held as player.dat.bad, is read from
// its own copy of player.dat (so keeps its own name) and is named at the
// first main menu. Neither profile's files are written with the other's
// name.
TEST_F(GardenTest, AnotherProfilesPlayerFileInAFolderLeavesBothProfilesApart)
{
    namespace fs = std::filesystem;
    enum eHow { e_copy, e_symlink, e_hardLink };
    struct cCase {
        const char* what;
        const char* from;
        const char* into;
        eHow how;
        std::vector<std::string> names;
        const char* current;
    };
    const cCase cases[] = {
        {"root's copied over Zed's", "plr000", "plr001", e_copy, {"root", "Zed"}, "root"},
        {"Zed's copied over root's, listed first", "plr001", "plr000", e_copy, {"root", "Zed"}, "Zed"},
        {"a link to root's in Zed's folder", "plr000", "plr001", e_symlink, {"root", "Zed"}, "root"},
        {"a link to Zed's in root's folder", "plr001", "plr000", e_symlink, {"root", "Zed"}, "Zed"},
        {"a hard link to Zed's in root's folder", "plr001", "plr000", e_hardLink, {"root", "Zed"}, "Zed"},
    };
    bool first = true;
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (!first) {
            TearDown();
            SetUp();
        }
        first = false;
        const std::string profiles = m_strDir + "/app/profile/";
        for (const auto& [folder, name] : {std::pair<const char*, const char*>{"plr000", "root"}, {"plr001", "Zed"}}) {
            cPlayer p(folder);
            p.m_strName = name;
            ASSERT_TRUE(p.SaveGame(-1));
        }
        const std::string source = profiles + c.from + "/player.dat";
        const std::string target = profiles + c.into + "/player.dat";
        const std::string owned = vektest::ReadFile(source);
        ASSERT_FALSE(owned.empty());
        ASSERT_TRUE(fs::remove(target));
        if (c.how == e_copy) fs::copy_file(source, target);
        if (c.how == e_symlink) fs::create_symlink(std::string("../") + c.from + "/player.dat", target);
        if (c.how == e_hardLink) fs::create_hard_link(source, target);

        m_pGarden->cMiddle::FinishInit();
        m_pGarden->ChangePlayer(c.current);
        std::vector<std::string> names;
        for (int i = 0; i < m_pGarden->GetPlayerCount(); ++i) names.push_back(m_pGarden->GetPlayerAt(i)->GetName());
        EXPECT_EQ(names, c.names);
        ASSERT_EQ(m_pGarden->GetPlayerName(), c.current);
        EXPECT_EQ(static_cast<cPlayer*>(m_pGarden->GetCurrentPlayer())->m_strFolder, c.from);
        EXPECT_EQ(vektest::ReadFile(target + ".bad"), owned);
        ASSERT_TRUE(m_pGarden->ShowGameWindow("main", 1));
        const char* ownName = std::string(c.into) == "plr000" ? "root" : "Zed";
        EXPECT_EQ(m_pBox->strText, vek::Formatted(GetLocaleGD().ErrorPlayerRestored.c_str(), ownName));

        delete m_pGarden;
        m_pGarden = nullptr;
        cPlayer owner(c.from);
        ASSERT_TRUE(owner.LoadPlayer());
        EXPECT_EQ(owner.m_strName, c.current);
        cPlayer copy(c.into);
        copy.LoadPlayer();
        EXPECT_EQ(copy.m_strName, ownName);
        EXPECT_EQ(vektest::ReadFile(target + ".bad"), owned);
        m_pGarden = new cTestGarden();
    }
}

// The settings script's file goes through the game's writer: synced before
// it is renamed into place, and past a folder at the name of the fixed
// temporary file, which is told of.
TEST_F(GardenTest, TheSettingsAreWrittenWholeAndSyncedPastAFolderInTheWay)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    if (!repo) GTEST_SKIP() << "VEK_REPO_DIR is not set";
    ASSERT_TRUE(RegisterGameClasses(vek::g_pScript));
    vek::g_pScript->RegisterVar("theGame", static_cast<cGarden*>(m_pGarden));
    ASSERT_TRUE(vek::g_pScript->LoadFile(vek::filename(std::string(repo) + "/data/conf/system.lua")));
    ASSERT_TRUE(Write("app/conf/settings.lua.tmp/left", "x"));
    auto* player = new cPlayer("w");
    player->m_strName = "Wren";
    m_pGarden->AddPlayer(player);
    m_pGarden->SetCurrent(player);
    const std::string path = m_strDir + "/app/conf/settings.lua";
    std::vector<std::string> synced;
    vek::platform::SetReplaceHook([&](const std::string& temp) {
        synced.push_back(temp);
        return true;
    });
    m_pGarden->WriteSettings();
    m_pGarden->WriteSettings();
    vek::platform::SetReplaceHook(nullptr);
    EXPECT_NE(vektest::ReadFile(path).find("player = \"Wren\","), std::string::npos);
    ASSERT_EQ(synced.size(), 2u);
    EXPECT_EQ(synced[0].rfind(path + ".tmp", 0), 0u);
    EXPECT_EQ(LogCount("settings.lua.tmp is a folder"), 1);
}

TEST_F(GardenTest, EveryGameNameIsKnownToLua)
{
    ASSERT_TRUE(RegisterGameClasses(vek::g_pScript));
    const char* script =
        "local names = {'luaDumpGD', 'IsArray', 'IsString', 'IsInt', 'IsFloat', 'luaToImageCtrl',\n"
        "  'cClockCtrl', 'cImageCtrlEx', 'cTaskCtrl', 'cMissionCtrl', 'cSliderCtrlEx', 'cCheckBoxUpCtrl',\n"
        "  'cCheckBoxCtrl', 'cTabButtonCtrl', 'cButtonCtrl', 'cAnimationCtrl', 'cLinkCtrl', 'cToolbarCtrl',\n"
        "  'cLoadStream', 'cLoadMusic', 'cLoadSound', 'cLoadFont', 'cLoadTexture', 'cLoadData', 'cWork',\n"
        "  'cGarden', 'cIsland', 'cNode', 'cSplashWidget', 'cSettings', 'cDataManagerGD', 'cResult',\n"
        "  'cTextureInfo', 'cLocaleGD'}\n"
        "missing = ''\n"
        "for _, n in ipairs(names) do if _G[n] == nil then missing = missing .. n .. ' ' end end\n"
        "if cWork.e_Water ~= 0 or cWork.e_Weed ~= 1 then missing = missing .. 'cWork.e_* ' end\n"
        "predicates = tostring(IsInt('n')) .. tostring(IsInt('ui')) .. tostring(IsInt('u')) ..\n"
        "  tostring(IsString('st')) .. tostring(IsString('str')) .. tostring(IsFloat('')) ..\n"
        "  tostring(IsFloat('f')) .. tostring(IsArray('Arr')) .. tostring(IsArray('arrX')) .. tostring(IsInt(''))\n"
        "luaDumpGD('ignored')\n";
    ASSERT_TRUE(vek::g_pScript->DoString(script));
    lua_State* L = vek::g_pScript->GetState();
    lua_getglobal(L, "missing");
    EXPECT_STREQ(lua_tostring(L, -1), "");
    lua_getglobal(L, "predicates");
    EXPECT_STREQ(lua_tostring(L, -1), "truetruefalsefalsetruefalsetruefalsetruefalse");
    lua_pop(L, 2);
    EXPECT_EQ(LogCount("Game Information"), 1);
    EXPECT_TRUE(LogInOrder({"-----------------------------   Game Information   ---",
                            "-------------------------------------------------------------------------------"}));
}

TEST_F(GardenTest, ScriptMadeControlsAndJobsAreCollectedCleanly)
{
    ASSERT_TRUE(RegisterGameClasses(vek::g_pScript));
    // The controls join a window, which owns them; the jobs wait in the
    // loading queue.
    ASSERT_TRUE(Write("data/gui/all.lua",
        "failed = ''\n"
        "local function make(f) local ok, e = pcall(f) if not ok then failed = failed .. tostring(e) .. ';' end end\n"
        "function FillWindow(w)\n"
        "make(function() return cButtonCtrl(w, 'c0') end)\n"
        "make(function() return cTabButtonCtrl(w, 'c1') end)\n"
        "make(function() return cCheckBoxCtrl(w, 'c2') end)\n"
        "make(function() return cCheckBoxUpCtrl(w, 'c3') end)\n"
        "make(function() return cSliderCtrlEx(w, 'c4') end)\n"
        "make(function() return cMissionCtrl(w, 'c5') end)\n"
        "make(function() return cTaskCtrl(w, 'c6') end)\n"
        "make(function() return cToolbarCtrl(w, 'c7') end)\n"
        "make(function() return cLinkCtrl(w, 'c8') end)\n"
        "make(function() return cAnimationCtrl(w, 'c9') end)\n"
        "make(function() return cClockCtrl(w, 'c10') end)\n"
        "make(function() return cImageCtrlEx(w, 'c11') end)\n"
        "make(function() return cLoadTexture('t') end)\n"
        "make(function() return cLoadFont('f') end)\n"
        "make(function() return cLoadSound('click', nil) end)\n"
        "make(function() return cLoadMusic('m', false) end)\n"
        "make(function() return cLoadStream('s', true) end)\n"
        "collectgarbage('collect')\n"
        "end\n"));
    ASSERT_NE(m_pGarden->FillWindow("all", vek::filename("{StaticPath}/gui/all.lua"), new vek::cWindowFunction()),
              nullptr);
    ASSERT_TRUE(vek::g_pScript->DoString("collectgarbage('collect')"));
    lua_State* L = vek::g_pScript->GetState();
    lua_getglobal(L, "failed");
    EXPECT_STREQ(lua_tostring(L, -1), "");
    lua_pop(L, 1);
}

} // namespace
