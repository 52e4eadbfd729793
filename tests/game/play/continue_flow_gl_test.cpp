// Leaving a level and coming back to it, played on the real pack with
// injected input only: a level left through the pause menu and continued
// after the program was ended and started again, or later in the same run,
// is the level as it was left (clock, tasks, money, the plants on their
// cells, the gardener's tools and basket) and can still be won; a restart
// from the pause menu begins the level afresh. The options set with the
// sliders before the program ended (volumes, brightness, mouse speed) are
// there at the next start: they go out and come back through the settings
// script. A profile made, chosen or deleted on the profile screens is on
// disk as soon as it is, and a first session ended by a kill leaves nothing
// the next start would take for lost settings.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/gui/sysctrl.h"
#include "engine/sound/sound.h"
#include "flow_play.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/world/level_defs.h"
#include "platform/fs.h"
#include "support/save_marks.h"

using namespace gametest;

namespace {

const char* const kLogFooter = "</p></body>\n</html>\n";

class ContinueLevel : public PlayLevel {
protected:
    struct cOptions {
        float sound, music, gamma, mouse;
    };
    static float Volume(vek::cSoundManager::eStream kind) { return vek::g_pSoundManager->GetVolume(kind); }
    cOptions Options() const
    {
        return {Volume(vek::cSoundManager::e_Sound), Volume(vek::cSoundManager::e_Music), m_pGame->GetGamma(),
                g_pGarden->m_Settings.fMouseSpeed};
    }
    // The options' sliders dragged between their ends (the options show).
    void DragOptionSliders()
    {
        ASSERT_TRUE(DragSlider("options", "slSound", 0.3f));
        ASSERT_TRUE(DragSlider("options", "slMusic", 0.8f));
        ASSERT_TRUE(DragSlider("options", "slGamma", 0.25f));
        ASSERT_TRUE(DragSlider("options", "slMouseSpeed", 0.6f));
        Run(5);
        const cOptions set = Options();
        // The values are the sliders' own, not their whole-number parts;
        // the engine reads its gamma back from the ramp, near the set one.
        EXPECT_NEAR(set.sound, 0.3f, 0.02f);
        EXPECT_NEAR(set.music, 0.8f, 0.02f);
        EXPECT_FLOAT_EQ(set.sound, SliderValue("options", "slSound"));
        EXPECT_FLOAT_EQ(set.music, SliderValue("options", "slMusic"));
        EXPECT_NEAR(set.gamma, 4.0f - SliderValue("options", "slGamma"), 1e-3f);
        EXPECT_NEAR(set.gamma, 1.25f, 0.02f);
        EXPECT_FLOAT_EQ(set.mouse, SliderValue("options", "slMouseSpeed"));
    }
    // The options as they were set, and the sliders showing them.
    void ExpectOptions(const cOptions& set)
    {
        const cOptions now = Options();
        EXPECT_FLOAT_EQ(now.sound, set.sound);
        EXPECT_FLOAT_EQ(now.music, set.music);
        EXPECT_NEAR(now.gamma, set.gamma, 1e-3f);
        EXPECT_FLOAT_EQ(now.mouse, set.mouse);
        EXPECT_FLOAT_EQ(SliderValue("options", "slSound"), set.sound);
        EXPECT_FLOAT_EQ(SliderValue("options", "slMusic"), set.music);
        EXPECT_NEAR(SliderValue("options", "slGamma"), 4.0f - set.gamma, 1e-3f);
        EXPECT_FLOAT_EQ(SliderValue("options", "slMouseSpeed"), set.mouse);
    }

    int32_t Tomato() const { return g_pWareManager->FindWare("plant00"); }

    // Level 0 partly played: one load of three delivered and paid, three
    // more sown and growing, the gardener standing with the basket.
    void PlayHalfOfLevelZero()
    {
        const int32_t sort = Tomato();
        ASSERT_TRUE(PlayUntil(sort, [&] {
            const cCar* car = Car();
            const cGardener* g = Gardener();
            return Wanted(sort) == 3 && Plants().size() == 3 && GardenerIdle() && g->GetBasket() &&
                   car && car->GetState() == cCar::e_csParked;
        })) << Picture().Text();
        EXPECT_GT(Player()->m_iMoney, 0);
    }

    // The rest of the level until its finish screen shows.
    void PlayToTheFinish()
    {
        ASSERT_TRUE(PlayUntil(Tomato(), [&] { return Shown("mission_finish"); })) << Picture().Text();
    }

    // The pause menu, by the Escape key or by the score panel's menu
    // button.
    void OpenPauseMenu(bool button)
    {
        if (button)
            ClickControl("score", "menu");
        else
            Key(SDL_SCANCODE_ESCAPE);
        Run(10);
    }
    // The pause menu, its "Leave level" and "Yes": the main menu shows.
    // Returns the level as it was when the menu opened.
    cLevelPicture LeaveLevel(bool button)
    {
        OpenPauseMenu(button);
        EXPECT_TRUE(Shown("escape"));
        const cLevelPicture left = Picture();
        EXPECT_TRUE(Press("escape", "btEnd"));
        EXPECT_EQ(BoxCommand(), "exit_level");
        // The level is kept for "Continue": the question says so, and no
        // loss.
        const std::string question = Text("messagebox", "text");
        EXPECT_NE(question.find("Leave"), std::string::npos) << question;
        EXPECT_NE(question.find("continue"), std::string::npos) << question;
        EXPECT_EQ(question.find("lost"), std::string::npos) << question;
        EXPECT_TRUE(Press("messagebox", "ok", 30));
        EXPECT_TRUE(Shown("main"));
        EXPECT_EQ(Focus(), "island");
        EXPECT_EQ(m_pGame->iPause, 0);
        EXPECT_EQ(Player()->m_iContinueLevel, 0);
        return left;
    }

    // "Start" with a saved level asks to continue it; "Yes" and the first
    // frame of the level in play, before it has taken a step.
    // The player rests the pointer on "Options", takes it out of the
    // window and back in over "Play", and clicks there without moving:
    // the click reaches "Play".
    void ContinueSavedLevel()
    {
        const vek::cCtrl* options = Control("main", "btOptions");
        const vek::cCtrl* start = Control("main", "btStart");
        ASSERT_TRUE(options && start);
        int x = 0, y = 0;
        GuiToClient(options->GetRect().x + 20.0f, options->GetRect().y + 20.0f, x, y);
        MoveTo(x, y);
        Run(5);
        GuiToClient(start->GetRect().x + 20.0f, start->GetRect().y + 20.0f, x, y);
        LeaveAndEnterAt(x, y);
        Button(x, y, true);
        Button(x, y, false);
        Run(20);
        EXPECT_FALSE(Shown("options")) << "the click reached the button it was made over";
        EXPECT_EQ(g_pGarden->m_pIsland->iMode, cIsland::e_modeIsland);
        ASSERT_TRUE(Shown("messagebox"));
        ASSERT_EQ(BoxCommand(), "continue_last");
        ASSERT_TRUE(ClickControl("messagebox", "ok"));
        ASSERT_TRUE(RunUntil([&] { return Focus() == "garden"; }, 60));
        EXPECT_FALSE(Shown("mission_start")) << "a continued level has no start screen";
    }

    // The Players screen opened from the main menu, the named profile
    // selected in its list.
    void SelectProfile(const std::string& name)
    {
        ASSERT_TRUE(Press("main", "btProfile"));
        auto* list = dynamic_cast<vek::cListSysCtrl*>(Control("profile_select", "lstProfile"));
        ASSERT_NE(list, nullptr);
        for (unsigned i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItemText(i) == name) list->SelectItem(i, true, false);
    }
    // A profile made on the Players screen opened from the main menu; the
    // screen shows again.
    void MakeProfile(const char* name)
    {
        ASSERT_TRUE(Press("main", "btProfile"));
        ASSERT_TRUE(Press("profile_select", "btAdd"));
        for (int i = 0; i < 16; ++i) Key(SDL_SCANCODE_BACKSPACE);
        Type(name);
        ASSERT_TRUE(Press("profile_add", "ok"));
    }

    // The program ended after the way out was taken, and started again on
    // the same folders; "Continue" brings the level back. The level and what
    // the profile keeps are as they were when the program ended.
    void EndStartAgainAndContinue(const char* way)
    {
        SCOPED_TRACE(way);
        ASSERT_TRUE(RunUntil([&] { return m_iQuitCode >= 0; }, 30));
        EXPECT_EQ(m_iQuitCode, 0);
        const cLevelPicture left = Picture();
        const cKeptPicture kept = Kept();
        Stop();
        EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");

        StartToMainMenu();
        EXPECT_EQ(Player()->m_iContinueLevel, left.level);
        ContinueSavedLevel();
        const cLevelPicture continued = Picture();
        EXPECT_EQ(continued, left) << "left:\n " << left.Text() << "\ncontinued:\n " << continued.Text();
        EXPECT_EQ(left.ToolsDiffer(continued), "") << "left:\n " << left.Text() << "\ncontinued:\n "
                                                   << continued.Text();
        EXPECT_EQ(Kept(), kept) << "left:\n " << kept.Text() << "\nnow:\n " << Kept().Text();
    }

    // The island funds in the game in play as it is on disk: the last
    // thirteen values of "save.dat" are the rule counter, two values, the
    // island funds, six upgrade levels, the sorts, the animals and the won
    // level's next step.
    int32_t SavedIslandMoney() const
    {
        // The island funds stand 40 bytes before the end of the values, which
        // the mark the three files of one save share follows.
        const std::string bytes = vektest::ReadFile(m_strDir + "/app/profile/plr000/save.dat");
        const size_t tail = 52 + save_set::kMarkBytes;
        if (bytes.size() < tail) return -1;
        int32_t value = 0;
        std::memcpy(&value, bytes.data() + bytes.size() - tail + 12, 4);
        return value;
    }

    // From the finish screen to the level map: the screen's button (a
    // first press may only hurry its counting), an upgrade offer taken as
    // it is, and the island's result sequence.
    void FinishToTheLevelMap()
    {
        for (int i = 0; i < 4 && Shown("mission_finish"); ++i) Press("mission_finish", "ok", 30);
        ASSERT_FALSE(Shown("mission_finish"));
        if (Shown("up")) Press("up", "done", 30);
        // The sequence stops at the level's new building until the player
        // buys it (closing the hint that points at it first).
        cIsland* island = g_pGarden->m_pIsland;
        cHouse* house = LevelHouse(Player()->m_iLevel);
        ASSERT_NE(house, nullptr);
        ASSERT_TRUE(RunUntil(
            [&] {
                if (Shown("hint")) {
                    ClickControl("hint", "close");
                    Run(20);
                } else if (house->iState == cHouse::e_stateNone && island->iMode == cIsland::e_modeLevel &&
                           g_pGarden->m_iShownHint == -1 && Player()->m_iIslandMoney > 0) {
                    ClickBuilding(house);
                }
                return Focus() == "island" && island->iMode == cIsland::e_modeIsland;
            },
            3000))
            << "focus " << Focus() << ", island mode " << island->iMode << ", building state " << house->iState
            << ", funds " << Player()->m_iIslandMoney;
        EXPECT_NE(house->iState, cHouse::e_stateNone);
        EXPECT_EQ(Player()->m_iProgress, 1);
        EXPECT_EQ(Player()->m_iContinueLevel, -1);
        ASSERT_GE(Player()->m_Results.size(), 1u);
    }
    // A new game's level 0 won, its finish screen left, and the island's
    // result sequence on until the level's building is offered.
    void WinLevelZeroToTheOffer()
    {
        StartToMainMenu();
        HintsOff();
        NewGameToLevelZero();
        PlayToTheFinish();
        for (int i = 0; i < 4 && Shown("mission_finish"); ++i) Press("mission_finish", "ok", 30);
        if (Shown("up")) Press("up", "done", 30);
        ASSERT_TRUE(UntilTheBuildingIsOffered()) << "focus " << Focus();
    }
    // The island's result sequence until it waits for the level's building
    // to be bought.
    bool UntilTheBuildingIsOffered()
    {
        cIsland* island = g_pGarden->m_pIsland;
        const vek::mover<float>& offer = island->stages[3];
        return RunUntil(
            [&] {
                return Focus() == "island" && island->iMode == cIsland::e_modeLevel && offer.m_To > 0.0f &&
                       !offer.IsMoving();
            },
            600);
    }


    // ---- the disk a program ended without its teardown leaves ----

    std::string ProfileFolder() const { return m_strDir + "/app/profile/plr000"; }
    // A copy of the profile folder as it is now: what a kill -9 would leave.
    void CopyProfile(const std::string& moment)
    {
        namespace fs = std::filesystem;
        const std::string to = m_strDir + "/moments/" + std::to_string(m_Moments.size());
        fs::create_directories(to);
        fs::copy(ProfileFolder(), to, fs::copy_options::recursive);
        m_Moments.emplace_back(moment, to);
    }
    // The profile folder replaced by a copy.
    void PutBack(const std::string& copy)
    {
        namespace fs = std::filesystem;
        fs::remove_all(ProfileFolder());
        fs::copy(copy, ProfileFolder(), fs::copy_options::recursive);
    }
    std::vector<std::pair<std::string, std::string>> m_Moments;
    std::string m_strFirstName;

    // The profiles and the settings as a program ended now leaves them, as
    // the next disk of `disks` (a write's temporary file, which the next
    // start removes, left out).
    std::string CopyDisk(std::vector<std::string>& disks) const
    {
        namespace fs = std::filesystem;
        const std::string app = m_strDir + "/app";
        const std::string to = m_strDir + "/disks/" + std::to_string(disks.size());
        fs::create_directories(to);
        for (const char* part : {"profile", "conf"})
            if (fs::exists(app + "/" + part)) fs::copy(app + "/" + part, to + "/" + part, fs::copy_options::recursive);
        std::vector<fs::path> temporaries;
        for (const auto& entry : fs::recursive_directory_iterator(to))
            if (entry.path().filename().string().find(".tmp") != std::string::npos) temporaries.push_back(entry.path());
        for (const fs::path& path : temporaries) fs::remove(path);
        disks.push_back(to);
        return to;
    }
    // The profiles and the settings replaced by a disk CopyDisk made.
    void PutBackDisk(const std::string& disk) const
    {
        namespace fs = std::filesystem;
        const std::string app = m_strDir + "/app";
        for (const char* part : {"profile", "conf"}) {
            fs::remove_all(app + "/" + part);
            if (fs::exists(disk + "/" + part)) fs::copy(disk + "/" + part, app + "/" + part, fs::copy_options::recursive);
        }
    }

    // What the won levels grant: the profile holds the win of every level
    // below its progress, and of the newest one once its medal is recorded.
    static cKeptPicture Granted(int won)
    {
        cKeptPicture k;
        k.animals = -1;
        for (int level = 0; level < won; ++level) {
            const cLevelDef& def = GetLevelDef(level);
            if (def.Has(cLevelDef::e_NewSort)) ++k.sorts;
            if (def.Has(cLevelDef::e_MoreBeds)) ++k.bedLayout;
            if (def.Has(cLevelDef::e_NewAnimal)) ++k.animals;
        }
        return k;
    }
    // The profile as loaded from a copy belongs to one moment of the game
    // played: its awards are what its wins grant, the building stands
    // exactly when its price is paid (the funds before the win, after it,
    // and after the purchase), and the level to continue agrees.
    void ExpectOneMoment(const cKeptPicture& before, const cKeptPicture& won, const cKeptPicture& bought)
    {
        const cPlayer* player = Player();
        const cKeptPicture now = Kept();
        const int progress = player->m_iProgress;
        const bool newestWon = player->m_Results.size() > static_cast<size_t>(progress);
        const cKeptPicture granted = Granted(progress + (newestWon ? 1 : 0));
        EXPECT_EQ(now.sorts, granted.sorts) << now.Text();
        EXPECT_EQ(now.bedLayout, granted.bedLayout) << now.Text();
        EXPECT_EQ(now.animals, granted.animals) << now.Text();
        EXPECT_EQ(now.upgrades, before.upgrades) << now.Text();
        const cHouse* hut = LevelHouse(0);
        ASSERT_NE(hut, nullptr);
        const bool standing = hut->iState != cHouse::e_stateNone;
        if (standing) {
            EXPECT_EQ(now.islandMoney, bought.islandMoney) << now.Text();
            EXPECT_EQ(progress, 1) << now.Text();
        } else if (newestWon || progress > 0) {
            EXPECT_EQ(now.islandMoney, won.islandMoney) << now.Text();
        } else {
            EXPECT_EQ(now.islandMoney, before.islandMoney) << now.Text();
        }
        EXPECT_EQ(now.results.size(), static_cast<size_t>(progress + (newestWon ? 1 : 0))) << now.Text();
        // A level to continue is the one in play, or the newest one while
        // its result sequence waits; a later level's start left none.
        EXPECT_TRUE(player->m_iContinueLevel == -1 || player->m_iContinueLevel == progress)
            << "continue " << player->m_iContinueLevel << ", " << now.Text();
    }

    // The program ended after the way out was taken (or the main menu
    // reached by "Leave level"), started again; "Play": the result sequence
    // goes on with the win counted once, not its finish. A won level is no
    // game in play: "Continue the last game?" is not asked, so no "No" can
    // give up its building.
    void EndAndContinueTheWin(const char* way, const cKeptPicture& won, bool ended = true)
    {
        SCOPED_TRACE(way);
        if (ended) {
            ASSERT_TRUE(RunUntil([&] { return m_iQuitCode >= 0; }, 30));
            EXPECT_EQ(m_iQuitCode, 0);
            Stop();
            EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
            StartToMainMenu();
        }
        EXPECT_EQ(Player()->m_iContinueLevel, 0);
        ASSERT_TRUE(Press("main", "btStart"));
        ASSERT_FALSE(Shown("messagebox")) << BoxCommand();
        ASSERT_FALSE(Shown("mission_finish")) << "the finish is played again: " << Kept().Text();
        ASSERT_TRUE(UntilTheBuildingIsOffered()) << "focus " << Focus();
        EXPECT_EQ(Kept(), won) << "won:\n " << won.Text() << "\nnow:\n " << Kept().Text();
    }
};

TEST_F(ContinueLevel, ALevelLeftBeforeTheProgramEndedContinuesAsItWasAndIsWon)
{
    StartToMainMenu();
    ASSERT_NE(vek::g_pSoundManager, nullptr);
    HintsOff([&] { DragOptionSliders(); });
    const cOptions set = Options();
    NewGameToLevelZero();
    PlayHalfOfLevelZero();
    const cLevelPicture left = LeaveLevel(false);
    EXPECT_EQ(left.level, 0);
    EXPECT_GT(left.clock, 0.0f);
    ASSERT_EQ(left.tasks.size(), 1u);
    EXPECT_EQ(left.tasks[0].amount, 3);
    EXPECT_EQ(left.plants.size(), 3u);
    EXPECT_EQ(left.tool, cTool::e_Basket);

    // Escape on the main menu asks before the game ends; "Yes" ends it
    // through the main loop's quit with code 0.
    Key(SDL_SCANCODE_ESCAPE);
    Run(20);
    ASSERT_EQ(BoxCommand(), "exit_game");
    ASSERT_TRUE(Press("messagebox", "ok", 30));
    EXPECT_EQ(m_iQuitCode, 0);
    Stop();
    const std::string log = HtmlLog();
    ASSERT_GE(log.size(), std::strlen(kLogFooter));
    EXPECT_EQ(log.substr(log.size() - std::strlen(kLogFooter)), kLogFooter);
    EXPECT_EQ(UnexpectedProblems(log), "");
    EXPECT_TRUE(InOrder(log, {"DestroyTextureInfos", "DestroyFontManager"}));
    for (const char* file : {"player.dat", "save.dat", "level.dat", "island.dat"})
        EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/plr000/" + file).empty()) << file;
    const std::string settings = vektest::ReadFile(m_strDir + "/app/conf/settings.lua");
    EXPECT_NE(settings.find("gamma = "), std::string::npos) << settings;

    // The next start, on the same profile and settings folders.
    StartToMainMenu();
    HintsOff([&] { ExpectOptions(set); });
    EXPECT_EQ(Player()->m_iContinueLevel, 0);
    ContinueSavedLevel();
    const cLevelPicture continued = Picture();
    EXPECT_EQ(continued, left) << "left:\n " << left.Text() << "\ncontinued:\n " << continued.Text();
    EXPECT_EQ(left.ToolsDiffer(continued), "") << "left:\n " << left.Text() << "\ncontinued:\n " << continued.Text();

    PlayToTheFinish();
    EXPECT_EQ(Player()->m_iContinueLevel, 0) << "the won level is saved as the running game";
    FinishToTheLevelMap();
    Stop();
    EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
    // The settings are written again unchanged: the gamma read back from
    // the engine does not creep from one start to the next.
    EXPECT_EQ(vektest::ReadFile(m_strDir + "/app/conf/settings.lua"), settings);
}

// Every way out of the program keeps the level in play whole: the pause
// menu's "Exit game", the window's close button, the end of the desktop
// session (SIGTERM) and, after a purchase on the island, the main menu's
// "Exit". Between them a full disk on leaving the level is told once.
TEST_F(ContinueLevel, EveryWayOutOfTheProgramKeepsTheGameAsItWas)
{
    StartToMainMenu();
    HintsOff();
    NewGameToLevelZero();
    const int32_t sort = Tomato();

    // Two beds sown: the pause menu and its "Exit game".
    ASSERT_TRUE(PlayUntil(sort, [&] { return Plants().size() == 2 && GardenerIdle(); })) << Picture().Text();
    OpenPauseMenu(false);
    ASSERT_TRUE(Shown("escape"));
    ASSERT_TRUE(ClickControl("escape", "btExit"));
    EndStartAgainAndContinue("the pause menu's Exit game");

    // Played on: the window's close button.
    const float clock = Player()->m_fClock;
    ASSERT_TRUE(PlayUntil(sort, [&] { return Player()->m_fClock > clock + 5.0f && GardenerIdle(); }));
    CloseWindow();
    EndStartAgainAndContinue("the window's close button");

    // Played on to the first load delivered: the end of the session.
    ASSERT_TRUE(PlayUntil(sort, [&] {
        const cCar* car = Car();
        return Wanted(sort) == 3 && GardenerIdle() && car && car->GetState() == cCar::e_csParked;
    })) << Picture().Text();
    ASSERT_EQ(raise(SIGTERM), 0);
    EndStartAgainAndContinue("SIGTERM");

    // A full disk when the level is left: the player is told once, and the
    // log says why without a file said to be missing.
    vek::platform::SetReplaceHook([](const std::string&) {
        errno = ENOSPC;
        return false;
    });
    OpenPauseMenu(false);
    ASSERT_TRUE(Press("escape", "btEnd"));
    ASSERT_EQ(BoxCommand(), "exit_level");
    ASSERT_TRUE(Press("messagebox", "ok", 60));
    vek::platform::SetReplaceHook(nullptr);
    EXPECT_TRUE(Shown("main"));
    ASSERT_TRUE(Shown("messagebox"));
    auto* text = dynamic_cast<vek::cLabelCtrl*>(Control("messagebox", "text"));
    ASSERT_NE(text, nullptr);
    // (The label pads the text's last line.)
    EXPECT_EQ(text->GetText().compare(0, GetLocaleGD().ErrorSaveGame.size(), GetLocaleGD().ErrorSaveGame), 0)
        << text->GetText();
    EXPECT_EQ(BoxCommand(), "");
    ASSERT_TRUE(Press("messagebox", "ok", 60));
    EXPECT_FALSE(Shown("messagebox")) << "told once";
    EXPECT_EQ(m_pGame->iPause, 0);
    const std::vector<std::string> problems = vektest::LogProblemEntries(HtmlLog());
    const auto full = std::find_if(problems.begin(), problems.end(), [](const std::string& entry) {
        return entry.find("cannot be written: No space left on device") != std::string::npos;
    });
    ASSERT_NE(full, problems.end());
    for (auto entry = full; entry != problems.end(); ++entry)
        EXPECT_EQ(entry->find("not found on disk"), std::string::npos) << *entry;

    // The level won, its building bought on the island: the funds left are
    // in the game in play on disk at once. Then the main menu's "Exit".
    ContinueSavedLevel();
    PlayToTheFinish();
    FinishToTheLevelMap();
    EXPECT_EQ(SavedIslandMoney(), Player()->m_iIslandMoney) << "the purchase is saved when it is made";
    Key(SDL_SCANCODE_ESCAPE);
    Run(20);
    ASSERT_TRUE(Press("escape", "btEnd"));
    ASSERT_TRUE(RunUntil([&] { return Shown("main"); }, 120));
    Run(20);
    EXPECT_EQ(Focus(), "island");
    Key(SDL_SCANCODE_ESCAPE);
    Run(20);
    ASSERT_EQ(BoxCommand(), "exit_game");
    ASSERT_TRUE(ClickControl("messagebox", "ok"));
    ASSERT_TRUE(RunUntil([&] { return m_iQuitCode >= 0; }, 60));
    EXPECT_EQ(m_iQuitCode, 0);
    const cKeptPicture kept = Kept();
    Stop();
    std::string unexpected;
    for (const std::string& line : vektest::LogProblemEntries(HtmlLog()))
        if (line.find("No space left on device") == std::string::npos &&
            line.find("annot write") == std::string::npos &&
            line.find("could not be saved") == std::string::npos &&
            UnexpectedProblems(HtmlLog()).find(line) != std::string::npos)
            unexpected += line + "\n";
    EXPECT_EQ(unexpected, "");
    StartToMainMenu();
    EXPECT_EQ(Player()->m_iContinueLevel, -1);
    EXPECT_EQ(Kept(), kept) << "left:\n " << kept.Text() << "\nnow:\n " << Kept().Text();
    ASSERT_TRUE(Press("main", "btStart"));
    EXPECT_EQ(Focus(), "island");
    EXPECT_EQ(Kept(), kept) << "left:\n " << kept.Text() << "\nnow:\n " << Kept().Text();
    Stop();
}

// A profile whose saved game cannot be read says so once at the start; its
// files are what they were after it is played and the program ended. One
// with a damaged value says so too, and its game in play is not offered:
// the level starts again from its start screen, never as a level won.
TEST_F(ContinueLevel, ASavedGameThatCannotBeReadIsToldOnceAndItsFilesStay)
{
    StartToMainMenu();
    HintsOff();
    NewGameToLevelZero();
    PlayHalfOfLevelZero();
    LeaveLevel(false);
    Key(SDL_SCANCODE_ESCAPE);
    Run(20);
    ASSERT_TRUE(Press("messagebox", "ok", 30));
    Stop();
    const std::string folder = m_strDir + "/app/profile/plr000/";
    const char* const names[] = {"player.dat", "save.dat", "level.dat", "island.dat"};
    std::map<std::string, std::string> whole;
    for (const char* name : names) whole[name] = vektest::ReadFile(folder + name);
    const auto restore = [&] {
        for (const char* name : names) {
            rmdir((folder + name).c_str());
            ASSERT_TRUE(vektest::WriteFile(folder + name, whole[name]));
        }
    };

    // A folder in a file's place reads as a marker.
    const auto contents = [&](const char* name) {
        struct stat st {};
        if (stat((folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return std::string("<folder>");
        return vektest::ReadFile(folder + name);
    };
    struct cCase {
        const char* what;
        std::function<void()> damage;
        const vek::string* told;
    };
    const cCase cases[] = {
        // (Written whole by that game: its checksum matches.)
        {"player.dat of another version",
         [&] {
             ASSERT_TRUE(vektest::WriteFile(folder + "player.dat",
                                            vektest::Resealed(std::string("\0\0\0@", 4) + whole["player.dat"].substr(4))));
         },
         &GetLocaleGD().ErrorGameRefused},
        {"save.dat unreadable", [&] { std::remove((folder + "save.dat").c_str()); mkdir((folder + "save.dat").c_str(), 0700); },
         &GetLocaleGD().ErrorGameRefused},
        {"level.dat unreadable", [&] { std::remove((folder + "level.dat").c_str()); mkdir((folder + "level.dat").c_str(), 0700); },
         &GetLocaleGD().ErrorGameRefused},
        // The sort index, eight bytes before the mark, flipped to 0x82.
        {"save.dat with a sort index out of range",
         [&] {
             std::string bytes = whole["save.dat"];
             bytes[bytes.size() - save_set::kMarkBytes - 8] = static_cast<char>(0x82);
             ASSERT_TRUE(vektest::WriteFile(folder + "save.dat", bytes));
         },
         &GetLocaleGD().ErrorGameDamaged},
        // player.dat's stamp (before the checksum) changed, the checksum
        // written again: a whole player.dat of another save.
        {"player.dat of another save",
         [&] {
             std::string bytes = whole["player.dat"];
             bytes[bytes.size() - 5] = static_cast<char>(bytes[bytes.size() - 5] ^ 0x5a);
             ASSERT_TRUE(vektest::WriteFile(folder + "player.dat", vektest::Resealed(bytes)));
         },
         &GetLocaleGD().ErrorGameDamaged},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(c.what);
        restore();
        c.damage();
        std::map<std::string, std::string> before;
        for (const char* name : names) before[name] = contents(name);
        StartToMainMenu();
        ASSERT_TRUE(Shown("messagebox"));
        EXPECT_EQ(Text("messagebox", "text").compare(0, c.told->size(), *c.told), 0) << Text("messagebox", "text");
        ASSERT_TRUE(Press("messagebox", "ok", 60));
        EXPECT_FALSE(Shown("messagebox")) << "told once";
        const bool refused = c.told == &GetLocaleGD().ErrorGameRefused;
        if (!refused) {
            EXPECT_EQ(Player()->m_iContinueLevel, -1) << "a damaged game in play is not offered";
        }
        if (Player()->m_iProgress == 0 && Player()->m_iContinueLevel < 0) {
            NewGameToLevelZero();
        } else {
            // A game in play that was not read is not offered: its level
            // starts again through its start screen.
            ASSERT_TRUE(Press("main", "btStart"));
            EXPECT_FALSE(Shown("messagebox")) << BoxCommand();
            StartLevelFromTheMap(0);
            ASSERT_TRUE(Press("mission_start", "ok"));
        }
        Run(200);
        EXPECT_EQ(Wanted(Tomato()), 6);
        EXPECT_GT(Player()->m_iMoney, 0) << "the level starts with its own money";
        if (refused) {
            OpenPauseMenu(false);
            ASSERT_TRUE(Press("escape", "btExit"));
        } else {
            LeaveLevel(false);
            Key(SDL_SCANCODE_ESCAPE);
            Run(20);
            ASSERT_TRUE(Press("messagebox", "ok", 30));
        }
        ASSERT_TRUE(RunUntil([&] { return m_iQuitCode >= 0; }, 60));
        Stop();
        if (refused) {
            for (const char* name : names) EXPECT_EQ(contents(name), before[name]) << name;
        } else {
            for (const char* name : names) EXPECT_TRUE(vektest::KeptAsBad(folder + name, before[name])) << name;
        }
        // The next start has nothing more to tell of a save it wrote.
        if (!refused) {
            StartToMainMenu();
            EXPECT_FALSE(Shown("messagebox"));
            Stop();
        }
    }

    // A damaged task list (its count -1, 1000 or 2^31 - 1, the name's
    // length 0xFFFF, a kind of 4 or -327681, an amount of 2^31 - 1 or -6)
    // never continues as a level without tasks, which would be won at once:
    // the level starts again. Unchanged, the game in play is continued. In
    // "save.dat": the task count at 12, the name's length at 16, the name
    // "plant00" at 18, the kind at 25, the amount at 29.
    ASSERT_EQ(whole["save.dat"].substr(12, 17), std::string("\1\0\0\0\7\0plant00\xff\xff\xff\xff", 17));
    const auto int32 = [](int32_t v) {
        std::string bytes;
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xff);
        return bytes;
    };
    // A flipped bit that leaves a value in its range is damage too: the
    // ware "plant08" (no ware: an empty task, done at once) or an amount of
    // 1 (the level won with one tomato).
    const std::pair<size_t, std::string> taskDamages[] = {
        {12, int32(-1)},       {12, int32(1000)}, {12, int32(0x7fffffff)}, {16, std::string("\xff\xff", 2)},
        {25, int32(4)},        {27, int32(-6)},   {29, int32(0x7fffffff)}, {29, int32(-6)},
        {24, "8"},             {29, int32(1)},    {0, ""},
    };
    for (const auto& [at, with] : taskDamages) {
        SCOPED_TRACE(at);
        restore();
        std::string bytes = whole["save.dat"];
        bytes.replace(at, with.size(), with);
        ASSERT_TRUE(vektest::WriteFile(folder + "save.dat", bytes));
        StartToMainMenu();
        const bool damaged = !with.empty();
        EXPECT_EQ(Shown("messagebox"), damaged);
        if (damaged) {
            ASSERT_TRUE(Press("messagebox", "ok", 60));
            EXPECT_EQ(Player()->m_iContinueLevel, -1);
            if (Player()->m_iContinueLevel < 0) {
                NewGameToLevelZero();
            } else {
                // "Play" and "Continue": "Yes", as the player would.
                ASSERT_TRUE(Press("main", "btStart"));
                ASSERT_TRUE(Press("messagebox", "ok", 60));
            }
        } else {
            ContinueSavedLevel();
        }
        Run(90);
        EXPECT_FALSE(Shown("mission_finish"));
        EXPECT_TRUE(Player()->m_Results.empty());
        EXPECT_EQ(Wanted(Tomato()), damaged ? 6 : 3);
        Stop();
    }

    // One flipped bit in each file's record, and a medal added to
    // player.dat by hand (its checksum written again) while
    // the level's task is open: told, the game in play not offered, no win.
    std::vector<std::pair<std::string, std::string>> flips;
    for (const char* name : names) {
        const std::string& bytes = whole[name];
        ASSERT_GT(bytes.size(), save_set::kMarkBytes) << name;
        const size_t at = bytes.size() / 2;
        std::string flipped = bytes;
        flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
        flips.emplace_back(name, flipped);
    }
    {
        std::string medal = whole["player.dat"];
        // The medals' count after the version, the name, the progress, the
        // level to continue, 15 events and 10 hints.
        const size_t count = 6 + static_cast<uint8_t>(medal[4]) + 256u * static_cast<uint8_t>(medal[5]) + 8 + 64 + 44;
        ASSERT_EQ(medal.substr(count, 4), std::string(4, '\0'));
        medal.replace(count, 4, std::string("\1\0\0\0\0\0\0\0", 8));
        flips.emplace_back("player.dat", vektest::Resealed(medal));
    }
    for (const auto& [name, bytes] : flips) {
        SCOPED_TRACE(name + " of " + std::to_string(bytes.size()) + " bytes, flipped");
        restore();
        ASSERT_TRUE(vektest::WriteFile(folder + name, bytes));
        StartToMainMenu();
        EXPECT_TRUE(Shown("messagebox"));
        EXPECT_FALSE(Player()->HasGameToContinue());
        EXPECT_EQ(Player()->m_iProgress, 0);
        EXPECT_TRUE(Player()->m_Results.empty());
        Stop();
        // The field's and the island's files are read at the start and
        // again when the profile is made current: logged once.
        if (name != "level.dat" && name != "island.dat") continue;
        const std::vector<std::string> problems = vektest::LogProblemEntries(HtmlLog());
        EXPECT_EQ(std::count_if(problems.begin(), problems.end(),
                                [&](const std::string& line) { return line.find(name + " is damaged") != std::string::npos; }),
                  1)
            << ::testing::PrintToString(problems);
    }

    // Another profile whose game cannot be read, made current on the
    // profile screens: told once, when the main menu shows again.
    const auto choose = [&](const std::string& name) {
        SelectProfile(name);
        ASSERT_TRUE(Press("profile_select", "btOk"));
        ASSERT_EQ(Player()->m_strName, name);
    };
    StartToMainMenu();
    const std::string first = Player()->m_strName;
    MakeProfile("Second");
    ASSERT_TRUE(Press("profile_select", "btOk"));
    const std::string second = m_strDir + "/app/profile/" + Player()->m_strFolder + "/save.dat";
    choose(first);
    Stop();
    std::remove(second.c_str());
    ASSERT_EQ(mkdir(second.c_str(), 0700), 0);
    StartToMainMenu();
    EXPECT_FALSE(Shown("messagebox"));
    choose("Second");
    ASSERT_TRUE(Shown("messagebox"));
    const vek::string& told = GetLocaleGD().ErrorGameRefused;
    EXPECT_EQ(Text("messagebox", "text").compare(0, told.size(), told), 0) << Text("messagebox", "text");
    ASSERT_TRUE(Press("messagebox", "ok", 60));
    choose(first);
    choose("Second");
    EXPECT_FALSE(Shown("messagebox")) << "told once";
    Stop();
}

// A won level left while the island shows its result sequence, in every
// way, before and after its building is bought: continuing never plays the
// finish again, the awards, medal, funds and the building's price count
// once, and the sequence still leads to the next level.
TEST_F(ContinueLevel, AWinLeftDuringItsResultSequenceCountsOnce)
{
    ASSERT_NO_FATAL_FAILURE(WinLevelZeroToTheOffer());
    const cKeptPicture won = Kept();
    ASSERT_EQ(won.results.size(), 1u);
    EXPECT_EQ(won.progress, 0);

    OpenPauseMenu(false);
    ASSERT_TRUE(ClickControl("escape", "btExit"));
    EndAndContinueTheWin("the pause menu's Exit game", won);
    CloseWindow();
    EndAndContinueTheWin("the window's close button", won);
    ASSERT_EQ(raise(SIGTERM), 0);
    EndAndContinueTheWin("SIGTERM", won);
    OpenPauseMenu(false);
    ASSERT_TRUE(Press("escape", "btEnd"));
    ASSERT_EQ(BoxCommand(), "exit_level");
    ASSERT_TRUE(Press("messagebox", "ok", 30));
    ASSERT_TRUE(Shown("main"));
    EndAndContinueTheWin("Leave level", won, false);

    // Bought, and the program ended while it is being built.
    cHouse* house = LevelHouse(0);
    ASSERT_NE(house, nullptr);
    ClickBuilding(house);
    ASSERT_TRUE(RunUntil([&] { return house->iState != cHouse::e_stateNone; }, 30));
    const cKeptPicture bought = Kept();
    EXPECT_LT(bought.islandMoney, won.islandMoney);
    ASSERT_EQ(raise(SIGTERM), 0);
    ASSERT_TRUE(RunUntil([&] { return m_iQuitCode >= 0; }, 30));
    EXPECT_EQ(g_pGarden->m_pIsland->iMode, cIsland::e_modeLevel) << "left before the sequence ended";
    Stop();
    StartToMainMenu();
    EXPECT_EQ(Player()->m_iContinueLevel, -1) << "nothing is left of the level to continue";
    ASSERT_TRUE(Press("main", "btStart"));
    Run(60);
    EXPECT_FALSE(Shown("messagebox"));
    EXPECT_EQ(g_pGarden->m_pIsland->iMode, cIsland::e_modeIsland);
    cKeptPicture onwards = bought;
    onwards.progress = 1;
    onwards.buildings = Kept().buildings;
    EXPECT_EQ(Kept(), onwards) << "bought:\n " << bought.Text() << "\nnow:\n " << Kept().Text();
    EXPECT_NE(LevelHouse(0)->iState, cHouse::e_stateNone);
    Stop();
    EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
}

// The profile folder copied at many moments of a played game, each copy
// the disk a program ended without its teardown (kill -9, a power cut)
// leaves: started on any of them, the progress, medals, awards, funds and
// buildings belong to one moment of the game, and a win continued from
// there counts once.
TEST_F(ContinueLevel, AProfileCopiedAtAnyMomentHoldsOneMomentOfTheGame)
{
    StartToMainMenu();
    // A new profile's first start: its island's file is not there yet,
    // which is nothing to log.
    for (const std::string& entry : vektest::LogProblemEntries(HtmlLog()))
        EXPECT_EQ(entry.find("island.dat"), std::string::npos) << entry;
    HintsOff();
    m_strFirstName = Player()->m_strName;
    NewGameToLevelZero();
    const cKeptPicture before = Kept();
    PlayHalfOfLevelZero();
    CopyProfile("in the middle of a level");
    PlayToTheFinish();
    CopyProfile("on the finish screen");
    for (int i = 0; i < 4 && Shown("mission_finish"); ++i) Press("mission_finish", "ok", 30);
    if (Shown("up")) Press("up", "done", 30);
    CopyProfile("as the result sequence begins");
    ASSERT_TRUE(UntilTheBuildingIsOffered()) << "focus " << Focus();
    const cKeptPicture won = Kept();
    CopyProfile("while the building is offered");
    cHouse* house = LevelHouse(0);
    ASSERT_NE(house, nullptr);
    ClickBuilding(house);
    ASSERT_TRUE(RunUntil([&] { return house->iState != cHouse::e_stateNone; }, 30));
    const cKeptPicture bought = Kept();
    ASSERT_LT(bought.islandMoney, won.islandMoney);
    CopyProfile("just after the purchase");
    ASSERT_TRUE(RunUntil([&] { return Focus() == "island" && g_pGarden->m_pIsland->iMode == cIsland::e_modeIsland; }, 600));
    CopyProfile("on the level map after the sequence");
    Run(60);
    if (Shown("hint")) Press("hint", "close");
    StartLevelFromTheMap(1);
    CopyProfile("on the next level's start screen");
    ASSERT_TRUE(Press("mission_start", "ok"));
    Run(300);
    CopyProfile("in the middle of the next level");
    OpenPauseMenu(false);
    ASSERT_TRUE(Press("escape", "btEnd"));
    ASSERT_TRUE(Press("messagebox", "ok", 30));
    ASSERT_TRUE(Shown("main"));
    CopyProfile("after Leave level");
    const cKeptPicture left = Kept();
    Stop();

    for (const auto& [moment, copy] : m_Moments) {
        SCOPED_TRACE(moment);
        PutBack(copy);
        StartToMainMenu();
        EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
        ExpectOneMoment(before, won, bought);
        // A win continued from here is played on to the next level once.
        const int progress = Player()->m_iProgress;
        if (progress == 0 && Player()->m_iContinueLevel == 0) {
            ASSERT_TRUE(Press("main", "btStart"));
            // Only the level in play is asked about; a won one, even before
            // its finish has counted it, goes on at once.
            if (moment == "in the middle of a level") {
                ASSERT_EQ(BoxCommand(), "continue_last");
                ASSERT_TRUE(Press("messagebox", "ok", 30));
            } else {
                ASSERT_FALSE(Shown("messagebox")) << BoxCommand();
            }
            if (Focus() == "garden" && !Shown("mission_finish")) PlayToTheFinish();
            FinishToTheLevelMap();
            EXPECT_EQ(Kept().sorts, Granted(1).sorts) << Kept().Text();
            EXPECT_EQ(Kept().bedLayout, Granted(1).bedLayout) << Kept().Text();
            EXPECT_EQ(Kept().islandMoney, bought.islandMoney) << Kept().Text();
        }
        Stop();
    }

    // Damaged or incomplete copies of level 0 saved as it is won, before
    // its awards (A), and of the next level left (B) are told, hand out
    // nothing beyond what was saved, and hold the sorts and beds the
    // progress they keep has earned: no hut before level 0 is won, never a
    // finish without play, never a level continued without money.
    namespace fs = std::filesystem;
    ASSERT_EQ(m_Moments[1].first, "on the finish screen");
    const std::string a = m_Moments[1].second, b = m_Moments.back().second;
    const std::string work = m_strDir + "/damaged";
    const auto setOf = [&](const std::string& from) {
        fs::remove_all(work);
        fs::copy(from, work, fs::copy_options::recursive);
    };
    const auto flip = [&](const char* name, size_t at, int bit) {
        std::string bytes = vektest::ReadFile(work + "/" + name);
        ASSERT_LT(at, bytes.size()) << name;
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << bit));
        ASSERT_TRUE(vektest::WriteFile(work + "/" + name, bytes));
    };
    // The record of "save.dat" ends with the bed layout, money, funds, six
    // upgrades, the sorts, the animals and the won level's next step,
    // before the mark.
    const auto changeSave = [&](size_t fromEnd, char value) {
        std::string bytes = vektest::ReadFile(work + "/save.dat");
        ASSERT_GT(bytes.size(), save_set::kMarkBytes + fromEnd);
        bytes[bytes.size() - save_set::kMarkBytes - fromEnd] = value;
        ASSERT_TRUE(vektest::WriteFile(work + "/save.dat", bytes));
    };
    // In "player.dat": the progress after the version and the name, the
    // level to continue after it.
    const auto progressAt = [&] {
        const std::string bytes = vektest::ReadFile(work + "/player.dat");
        return bytes.size() < 6 ? 0 : 6 + static_cast<uint8_t>(bytes[4]) + 256u * static_cast<uint8_t>(bytes[5]);
    };
    struct cRow {
        std::string what;
        std::function<void()> make;
        cKeptPicture saved;  // the most the files hold
        std::function<void()> after;
    };
    std::vector<cRow> rows = {
        {"A's player.dat without its mark over set B",
         [&] {
             setOf(b);
             std::string bytes = vektest::ReadFile(a + "/player.dat");
             ASSERT_GT(bytes.size(), save_set::kMarkBytes);
             bytes.resize(bytes.size() - save_set::kMarkBytes);
             ASSERT_TRUE(vektest::WriteFile(work + "/player.dat", bytes));
         },
         left, nullptr},
        {"set B without player.dat", [&] { setOf(b); fs::remove(work + "/player.dat"); }, left, nullptr},
        {"set A with the sort index 1", [&] { setOf(a); changeSave(12, 1); }, left, nullptr},
        {"set A with the bed layout 1", [&] { setOf(a); changeSave(48, 1); }, left, nullptr},
        // In-range values of one flipped bit: the progress 1 to 3 (levels
        // opened, buildings unpaid), the level to continue 1 to 9.
        {"set B with the progress 3", [&] { setOf(b); flip("player.dat", progressAt(), 1); }, left, nullptr},
        {"set B with the level to continue 9", [&] { setOf(b); flip("player.dat", progressAt() + 4, 3); }, left, nullptr},
        // The game in play's save.dat gone beside the player.dat saved with
        // it: told, not offered, and the funds are those of level 1's save.
        {"set B without save.dat", [&] { setOf(b); fs::remove(work + "/save.dat"); }, left,
         [&] { EXPECT_EQ(Kept().islandMoney, bought.islandMoney) << Kept().Text(); }},
        // B's player.dat over the earlier set A: its copy pairs with A's
        // save, and A's win waiting for its finish goes on once, with
        // level 0's awards; B's progress is told as lost.
        {"B's player.dat over set A",
         [&] {
             setOf(a);
             fs::copy_file(b + "/player.dat", work + "/player.dat", fs::copy_options::overwrite_existing);
         },
         left,
         [&] {
             ASSERT_TRUE(Player()->HasWinToResume());
             ASSERT_TRUE(Press("main", "btStart"));
             ASSERT_FALSE(Shown("messagebox")) << BoxCommand();
             FinishToTheLevelMap();
             EXPECT_EQ(Player()->m_iSorts, Granted(1).sorts);
             EXPECT_EQ(Player()->m_iPlayerValue, Granted(1).bedLayout);
             EXPECT_EQ(Player()->m_iAnimals, Granted(1).animals);
         }},
    };
    // Beside the copy of player.dat no file claims an older layout: B's
    // save.dat with its mark's magic flipped and its funds raised; the
    // next level left in play without its level.dat.
    rows.push_back({"set B's save.dat claiming an older layout, its funds raised",
                    [&] {
                        setOf(b);
                        std::string bytes = vektest::ReadFile(work + "/save.dat");
                        ASSERT_GT(bytes.size(), save_set::kMarkBytes + 40);
                        bytes[bytes.size() - save_set::kMarkBytes + 3] = '3';
                        bytes[bytes.size() - save_set::kMarkBytes - 38] = 0x10;
                        ASSERT_TRUE(vektest::WriteFile(work + "/save.dat", bytes));
                    },
                    left, nullptr});
    // The same without the copy: the marks of B's other files still say
    // that none of it is of an older layout.
    rows.push_back({rows.back().what + ", without player.bak",
                    [&, olderClaim = rows.back().make] {
                        olderClaim();
                        fs::remove(work + "/player.bak");
                    },
                    left, nullptr});
    rows.push_back({"set B, the next level in play, without its level.dat",
                    [&] {
                        setOf(b);
                        fs::remove(work + "/level.dat");
                    },
                    left, nullptr});
    // B's island gone: told, and the funds and upgrades come with the island
    // of one whole save, level 1's, never B's funds beside no island.
    rows.push_back({"set B without island.dat", [&] { setOf(b); fs::remove(work + "/island.dat"); }, left, [&] {
                        EXPECT_EQ(Kept().islandMoney, bought.islandMoney) << Kept().Text();
                    }});
    // A flipped bit in player.dat's name: the copy keeps the profile whole.
    rows.push_back({"set B with a bit of its name flipped", [&] { setOf(b); flip("player.dat", 6, 2); }, left, [&] {
                        EXPECT_EQ(Player()->m_strName, m_strFirstName);
                        EXPECT_EQ(Kept().progress, left.progress);
                        EXPECT_EQ(Kept().results, left.results);
                    }});
    // One flipped bit in each other file of B (player.dat's is its
    // progress's, above): in the record of one, in the mark of the others.
    for (const char* name : {"save.dat", "level.dat", "island.dat"}) {
        const size_t size = vektest::ReadFile(b + "/" + name).size();
        ASSERT_GT(size, save_set::kMarkBytes) << name;
        const size_t at = name[0] == 'l' ? size / 3 : size - 7;
        rows.push_back({std::string("set B with bit ") + std::to_string(at % 8) + " of " + name + "'s byte " +
                            std::to_string(at) + " flipped",
                        [&, name, at] { setOf(b); flip(name, at, static_cast<int>(at % 8)); }, left, nullptr});
    }
    for (const cRow& row : rows) {
        SCOPED_TRACE(row.what);
        row.make();
        PutBack(work);
        StartToMainMenu();
        EXPECT_TRUE(Shown("messagebox"));
        // Restored from the copy: nothing was lost.
        const bool restored =
            Text("messagebox", "text").compare(0, GetLocaleGD().ErrorGameRestored.size(), GetLocaleGD().ErrorGameRestored) == 0;
        // A lost file, of which no copy could be kept, is told as lost;
        // one damaged as kept.
        const bool lost =
            row.what.find("without") != std::string::npos && row.what.find("without player.bak") == std::string::npos;
        const std::string& told = restored ? GetLocaleGD().ErrorGameRestored
                                  : lost   ? GetLocaleGD().ErrorGameMissing
                                           : GetLocaleGD().ErrorGameDamaged;
        EXPECT_EQ(Text("messagebox", "text").compare(0, told.size(), told), 0) << Text("messagebox", "text");
        // A lost file is told once: the disk a kill leaves right after it
        // was told starts without a word.
        const std::string killed = m_strDir + "/killed";
        if (lost) {
            fs::remove_all(killed);
            fs::copy(ProfileFolder(), killed, fs::copy_options::recursive);
        }
        const cPlayer* player = Player();
        const cKeptPicture now = Kept();
        if (restored) {
            EXPECT_EQ(now, row.saved) << now.Text();
        }
        const int progress = player->m_iProgress;
        const bool newestWon = player->m_Results.size() > static_cast<size_t>(progress);
        const cKeptPicture granted = Granted(progress + (newestWon ? 1 : 0));
        EXPECT_EQ(now.sorts, granted.sorts) << now.Text();
        EXPECT_EQ(now.bedLayout, granted.bedLayout) << now.Text();
        EXPECT_LE(progress, row.saved.progress) << now.Text();
        EXPECT_LE(now.islandMoney, row.saved.islandMoney) << now.Text();
        const cHouse* hut = LevelHouse(0);
        ASSERT_NE(hut, nullptr);
        EXPECT_TRUE(hut->iState == cHouse::e_stateNone || progress >= 1) << now.Text();
        // A game in play offered is one read whole: never a finish without
        // play, never a level without money.
        if (player->HasGameToContinue() && !player->HasWinToResume()) {
            Press("messagebox", "ok", 60);
            ASSERT_TRUE(Press("main", "btStart"));
            ASSERT_EQ(BoxCommand(), "continue_last");
            ASSERT_TRUE(Press("messagebox", "ok", 60));
            EXPECT_FALSE(Shown("mission_finish"));
            if (Focus() == "garden") {
                EXPECT_GT(Player()->m_iMoney, 0);
            }
        } else if (row.after) {
            Press("messagebox", "ok", 60);
            row.after();
        }
        Stop();
        if (lost) {
            SCOPED_TRACE("started again from the disk a kill left");
            PutBack(killed);
            StartToMainMenu();
            EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
            Stop();
        }
    }

    // Copies that are whole but do not pair, or not files at all, and a
    // waiting win that lost a part: each start is one moment, told or not,
    // never less than the set's save holds and never more; told at most
    // once, so the starts after the first (from what the exit wrote) are
    // silent.
    const auto startSeveralTimes = [&](int starts, const std::function<void()>& check) {
        int told = 0;
        for (int start = 0; start < starts; ++start) {
            SCOPED_TRACE("start " + std::to_string(start + 1));
            StartToMainMenu();
            if (Shown("messagebox")) {
                ++told;
                EXPECT_EQ(start, 0) << Text("messagebox", "text");
                Press("messagebox", "ok", 60);
            }
            check();
            Stop();
        }
        return told;
    };
    const auto expectLeft = [&] {
        EXPECT_EQ(Player()->m_strName, m_strFirstName);
        EXPECT_EQ(Kept(), left) << "left:\n " << left.Text() << "\nnow:\n " << Kept().Text();
        EXPECT_FALSE(Player()->IsGameRefused(-1));
    };
    {
        SCOPED_TRACE("A's whole player.dat over set B");
        setOf(b);
        fs::copy_file(a + "/player.dat", work + "/player.dat", fs::copy_options::overwrite_existing);
        PutBack(work);
        startSeveralTimes(2, expectLeft);
    }
    for (const char* odd : {"a FIFO", "a folder"}) {
        SCOPED_TRACE(std::string("set B with player.dat ") + odd);
        setOf(b);
        fs::remove(work + "/player.dat");
        PutBack(work);
        const std::string at = ProfileFolder() + "/player.dat";
        if (odd[2] == 'F')
            ASSERT_EQ(mkfifo(at.c_str(), 0600), 0);
        else
            ASSERT_TRUE(fs::create_directory(at));
        startSeveralTimes(2, expectLeft);
    }
    // A win waiting for its finish (set A), or for its sequence once the
    // finish has counted its prize, whose field or island is lost: it
    // stands whole, or is given up with all it counted (medal, time, prize,
    // sorts and beds), over three starts.
    ASSERT_EQ(m_Moments[2].first, "as the result sequence begins");
    for (const std::string& moment : {a, m_Moments[2].second}) {
        SCOPED_TRACE(moment == a ? "on the finish screen" : "as the result sequence begins");
        const cKeptPicture waiting = [&] {
            setOf(moment);
            PutBack(work);
            StartToMainMenu();
            const cKeptPicture k = Kept();
            Stop();
            return k;
        }();
        const auto expectWholeOrGone = [&] {
            const cPlayer* player = Player();
            if (player->HasWinToResume()) {
                EXPECT_EQ(Kept(), waiting) << "waiting:\n " << waiting.Text() << "\nnow:\n " << Kept().Text();
                return;
            }
            EXPECT_EQ(player->m_iProgress, 0);
            EXPECT_TRUE(player->m_Results.empty()) << Kept().Text();
            EXPECT_TRUE(player->m_Times.empty() || player->m_Times[0] == 0.0f) << player->m_Times[0];
            const cKeptPicture granted = Granted(0);
            EXPECT_EQ(Kept().sorts, granted.sorts) << Kept().Text();
            EXPECT_EQ(Kept().bedLayout, granted.bedLayout) << Kept().Text();
            EXPECT_EQ(Kept().islandMoney, before.islandMoney) << Kept().Text();
        };
        for (const char* lost :
             {"a bit of level.dat flipped", "island.dat missing", "save.dat damaged", "level.dat.next damaged"}) {
            SCOPED_TRACE(std::string("with ") + lost);
            setOf(moment);
            if (lost[0] == 'a') {
                flip("level.dat", vektest::ReadFile(moment + "/level.dat").size() / 3, 4);
            } else if (lost[0] == 'l') {
                // A save cut short after it was committed, its field's part
                // then damaged.
                fs::rename(work + "/level.dat", work + "/level.dat.next");
                flip("level.dat.next", vektest::ReadFile(moment + "/level.dat").size() / 3, 4);
            } else if (lost[0] == 'i')
                fs::remove(work + "/island.dat");
            else
                flip("save.dat", vektest::ReadFile(moment + "/save.dat").size() - 20, 1);
            PutBack(work);
            startSeveralTimes(3, expectWholeOrGone);
        }
    }

    // Level 1's own save gone: nothing to tell at the start, told as level
    // 1 starts from the map, with the funds and upgrades of one whole save
    // (the game in play's, the next after it), never level 0's.
    setOf(b);
    fs::remove(work + "/1/save.dat");
    PutBack(work);
    StartToMainMenu();
    EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
    ASSERT_TRUE(Press("main", "btStart"));
    // Not continued: the level starts afresh from the map.
    ASSERT_EQ(BoxCommand(), "continue_last");
    ASSERT_TRUE(ClickControl("messagebox", "cancel"));
    Run(60);
    if (Shown("hint")) Press("hint", "close");
    StartLevelFromTheMap(1);
    Run(20);
    EXPECT_TRUE(Shown("messagebox"));
    EXPECT_EQ(Kept().islandMoney, left.islandMoney) << Kept().Text();
    EXPECT_EQ(Kept().upgrades, left.upgrades) << Kept().Text();
    // Told once: the level's save is written again as it is restored, so
    // the disk a kill leaves now starts the level without a word.
    const std::string killed = m_strDir + "/killed";
    fs::remove_all(killed);
    fs::copy(ProfileFolder(), killed, fs::copy_options::recursive);
    Stop();
    PutBack(killed);
    StartToMainMenu();
    EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
    ASSERT_TRUE(Press("main", "btStart"));
    if (Shown("messagebox")) {
        ASSERT_TRUE(ClickControl("messagebox", "cancel"));
    }
    Run(60);
    if (Shown("hint")) Press("hint", "close");
    StartLevelFromTheMap(1);
    Run(20);
    EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
    EXPECT_EQ(Kept().islandMoney, left.islandMoney) << Kept().Text();
    Stop();
}

// A win waiting for its building, then a fresh start of the same level
// (the pause menu's restart on the result screen) whose start screen the
// window's close ends: the win is still the one the profile holds, and
// continuing never plays its finish again.
TEST_F(ContinueLevel, ALevelStartedAgainAfterAnUnfinishedSequenceKeepsTheWinOnce)
{
    ASSERT_NO_FATAL_FAILURE(WinLevelZeroToTheOffer());
    const cKeptPicture won = Kept();
    OpenPauseMenu(false);
    ASSERT_TRUE(Press("escape", "btRestart"));
    ASSERT_EQ(BoxCommand(), "restart_level");
    ASSERT_TRUE(Press("messagebox", "ok", 30));
    ASSERT_TRUE(Shown("mission_start"));
    CloseWindow();
    EndAndContinueTheWin("the window's close on the start screen", won);
    Stop();
}

TEST_F(ContinueLevel, ContinuedInTheSameRunThenRestartedFromThePauseMenu)
{
    StartToMainMenu();
    HintsOff();
    NewGameToLevelZero();
    PlayHalfOfLevelZero();
    EXPECT_EQ(TaskLinesOut(), 1);
    const cLevelPicture left = LeaveLevel(true);

    ContinueSavedLevel();
    const cLevelPicture continued = Picture();
    EXPECT_EQ(continued, left) << "left:\n " << left.Text() << "\ncontinued:\n " << continued.Text();
    EXPECT_EQ(left.ToolsDiffer(continued), "") << "left:\n " << left.Text() << "\ncontinued:\n " << continued.Text();
    // The task gets its line back, and only that one shows.
    ASSERT_TRUE(RunUntil([&] { return Player()->m_Tasks.size() == 1 && Player()->m_Tasks[0].pLine; }, 60));
    Run(30);
    EXPECT_EQ(TaskLinesOut(), 1);

    // Play on a little, then restart: the level begins again.
    const int32_t sort = Tomato();
    ASSERT_TRUE(PlayUntil(sort, [&] { return Player()->m_fClock > left.clock + 5.0f && GardenerIdle(); }));
    OpenPauseMenu(true);
    ASSERT_TRUE(Shown("escape"));
    auto* restart = Control("escape", "btRestart");
    ASSERT_NE(restart, nullptr);
    EXPECT_FALSE(restart->GetState(vek::cCtrl::e_Disabled));
    ASSERT_TRUE(Press("escape", "btRestart"));
    ASSERT_EQ(BoxCommand(), "restart_level");
    // The question says what "Yes" does: the level starts over, what was
    // done in it is gone.
    const std::string question = Text("messagebox", "text");
    EXPECT_NE(question.find("again"), std::string::npos) << question;
    EXPECT_NE(question.find("lost"), std::string::npos) << question;
    EXPECT_EQ(question.find("Leave"), std::string::npos) << question;
    // The box fades, then the pause menu.
    ASSERT_TRUE(Press("messagebox", "ok", 50));
    EXPECT_FALSE(Shown("escape"));
    ASSERT_TRUE(Shown("mission_start"));
    EXPECT_EQ(Focus(), "garden");
    const cLevelPicture fresh = Picture();
    EXPECT_EQ(fresh.level, 0);
    EXPECT_EQ(fresh.clock, 0.0f);
    EXPECT_EQ(fresh.money, 50);
    EXPECT_EQ(fresh.next, 0);
    EXPECT_TRUE(fresh.tasks.empty());
    EXPECT_TRUE(fresh.car.empty());
    EXPECT_TRUE(fresh.plants.empty()) << fresh.Text();
    EXPECT_EQ(fresh.tool, -1);
    EXPECT_TRUE(fresh.basket.empty());
    // The old level's line is gone before the new level's task comes.
    Run(30);
    EXPECT_EQ(TaskLinesOut(), 0);

    ASSERT_TRUE(Press("mission_start", "ok"));
    ASSERT_TRUE(RunUntil([&] { return !Player()->m_Tasks.empty() && Player()->m_Tasks[0].pLine; }, 120));
    Run(30);
    EXPECT_EQ(TaskLinesOut(), 1);
    EXPECT_EQ(Wanted(sort), 6);

#if !defined(__SANITIZE_ADDRESS__)
    // The restarted level can be won (its play is the same as the first
    // test's; the sanitizers' run leaves it out to stay short).
    PlayToTheFinish();
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "garden");
#endif
    Stop();
    EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
}

// Settings that cannot be read (gone beside the profiles, or damaged) leave
// the first profile current: the first main menu says so once, naming the
// profile that plays, and the log says so too. A first run has no settings
// to lose. Each damaged file is kept under a name of its own, the older
// ones left as they were; when every name is taken, the oldest gives way.
TEST_F(ContinueLevel, SettingsLostOrDamagedAreToldAtTheFirstMainMenu)
{
    StartToMainMenu();
    EXPECT_FALSE(Shown("messagebox")) << "a first run: " << Text("messagebox", "text");
    EXPECT_EQ(ConsoleLog().find("is missing"), std::string::npos) << "a first run";
    MakeProfile("Zed");
    ASSERT_TRUE(Press("profile_select", "btOk"));
    Stop();
    const std::string settings = m_strDir + "/app/conf/settings.lua";
    const std::string bad = settings + ".bad";
    const std::string first = "settings = {\n  player = \"Ze";
    const std::string second = "settings = {\n  sound = 0.";
    const std::string third = "settings = {\n  music = ";
    for (const std::string& damage : {std::string(), first, second, third}) {
        SCOPED_TRACE(damage.empty() ? "gone" : "damaged: " + damage);
        if (damage == third) {
            // Every other name taken.
            for (int n = 2; n < 100; ++n) ASSERT_TRUE(vektest::WriteFile(bad + std::to_string(n), std::to_string(n)));
        }
        if (!damage.empty())
            ASSERT_TRUE(vektest::WriteFile(settings, damage));
        else
            ASSERT_EQ(std::remove(settings.c_str()), 0);
        StartToMainMenu();
        ASSERT_TRUE(Shown("messagebox"));
        const std::string told = vek::Formatted(GetLocaleGD().ErrorSettingsLost.c_str(), Player()->m_strName).c_str();
        EXPECT_EQ(Text("messagebox", "text").compare(0, told.size(), told), 0) << Text("messagebox", "text");
        if (damage.empty()) {
            EXPECT_NE(ConsoleLog().find("settings.lua is missing beside the profiles; player '" + Player()->m_strName +
                                        "' is chosen"),
                      std::string::npos);
        }
        ASSERT_TRUE(Press("messagebox", "ok", 60));
        EXPECT_FALSE(Shown("messagebox")) << "told once";
        if (damage == second) {
            EXPECT_EQ(vektest::ReadFile(bad), first) << "an earlier damage stays as it was kept";
            EXPECT_EQ(vektest::ReadFile(bad + "1"), second);
        }
        if (damage == third) {
            EXPECT_NE(ConsoleLog().find("settings.lua.bad, the oldest kept damaged settings file"), std::string::npos);
        }
        Stop();
    }
    // The first damage gave way to the third; the others moved down one.
    EXPECT_EQ(vektest::ReadFile(bad), second);
    EXPECT_EQ(vektest::ReadFile(bad + "1"), "2");
    EXPECT_EQ(vektest::ReadFile(bad + "98"), "99");
    EXPECT_EQ(vektest::ReadFile(bad + "99"), third);
    StartToMainMenu();
    EXPECT_FALSE(Shown("messagebox")) << "the settings written at the exit are read";
    Stop();
}

// A new player's first session ended without its teardown (kill -9, a
// power cut): at the main menu, or between any two of the files the start
// writes. No settings were ever lost, and the next start says nothing.
TEST_F(ContinueLevel, AFirstSessionEndedByAKillStartsWithoutANotice)
{
    std::vector<std::string> disks;
    const auto copyDisk = [&] { CopyDisk(disks); };
    vek::platform::SetReplaceHook([&](const std::string&) {
        copyDisk();
        return true;
    });
    StartToMainMenu();
    vek::platform::SetReplaceHook(nullptr);
    ASSERT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
    ASSERT_GE(disks.size(), 2u) << "the start writes the profile's files";
    copyDisk();
    Stop();
    for (size_t moment = 0; moment < disks.size(); ++moment) {
        SCOPED_TRACE(moment + 1 == disks.size() ? std::string("at the main menu")
                                                : "before the write " + std::to_string(moment + 1));
        PutBackDisk(disks[moment]);
        StartToMainMenu();
        EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
        Stop();
        EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
    }
}

// ---- profiles made, chosen and deleted on the profile screens ----

// Each change on the profile screens is on disk when it is made: the disk a
// program ended without its teardown leaves (kill -9, a power cut) right
// after a profile was made, or another chosen, starts with that profile
// there by its name and current; a delete ended at any of its removals
// leaves the whole profile or none of it.
TEST_F(ContinueLevel, AProfileMadeChosenOrDeletedIsOnDiskAsSoonAsItIs)
{
    namespace fs = std::filesystem;
    const std::string app = m_strDir + "/app";
    std::vector<std::string> disks;
    const auto copyDisk = [&] { return CopyDisk(disks); };
    const auto startOn = [&](const std::string& disk) {
        Stop();
        PutBackDisk(disk);
        StartToMainMenu();
        EXPECT_FALSE(Shown("messagebox")) << Text("messagebox", "text");
        EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
    };
    const auto names = [] {
        std::vector<std::string> out;
        for (cPlayerBase* p = g_pGarden->GetFirstPlayer(); p; p = g_pGarden->GetNextPlayer()) out.push_back(p->GetName());
        return out;
    };
    const auto choose = [&](const std::string& name) { SelectProfile(name); };

    // The first start's profile, saved by its exit; then "Zed" made.
    StartToMainMenu();
    Stop();
    StartToMainMenu();
    const std::string first = Player()->m_strName;
    MakeProfile("Zed");
    const std::string made = copyDisk();
    ASSERT_TRUE(Press("profile_select", "btOk"));
    Stop();
    StartToMainMenu();
    ASSERT_EQ(Player()->m_strName, "Zed");
    choose(first);
    ASSERT_TRUE(Press("profile_select", "btOk"));
    const std::string chosen = copyDisk();

    startOn(made);
    EXPECT_EQ(names(), (std::vector<std::string>{first, "Zed"}));
    EXPECT_EQ(Player()->m_strName, "Zed");
    startOn(chosen);
    EXPECT_EQ(Player()->m_strName, first);

    // Zed deleted: the disk before the delete, before each of its removals
    // and after it.
    const std::string zed = app + "/profile/plr001";
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(zed))
        files.push_back(fs::relative(entry.path(), zed).string());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 2u);
    choose("Zed");
    ASSERT_TRUE(Press("profile_select", "btDelete"));
    ASSERT_EQ(BoxCommand(), "delete=1");
    const size_t firstMoment = disks.size();
    copyDisk();
    vek::platform::SetRemoveHook([&](const std::string&) { copyDisk(); });
    EXPECT_TRUE(Press("messagebox", "ok", 30));
    vek::platform::SetRemoveHook(nullptr);
    copyDisk();
    ASSERT_GT(disks.size() - firstMoment, files.size() + 1);
    EXPECT_EQ(names(), (std::vector<std::string>{first}));

    for (size_t moment = firstMoment; moment < disks.size(); ++moment) {
        SCOPED_TRACE("the delete ended at its step " + std::to_string(moment - firstMoment));
        startOn(disks[moment]);
        EXPECT_EQ(Player()->m_strName, first);
        std::vector<std::string> folders;
        for (const auto& entry : fs::directory_iterator(app + "/profile")) folders.push_back(entry.path().filename());
        std::sort(folders.begin(), folders.end());
        if (names().size() == 1) {
            // None of it: nothing of the profile is left on disk.
            EXPECT_EQ(names(), (std::vector<std::string>{first}));
            EXPECT_EQ(folders, (std::vector<std::string>{"plr000"}));
        } else {
            // The whole profile, every file it had.
            EXPECT_EQ(names(), (std::vector<std::string>{first, "Zed"}));
            std::vector<std::string> now;
            for (const auto& entry : fs::recursive_directory_iterator(zed))
                now.push_back(fs::relative(entry.path(), zed).string());
            std::sort(now.begin(), now.end());
            EXPECT_EQ(now, files);
        }
    }
    Stop();
}

} // namespace
