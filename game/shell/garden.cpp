#include "game/shell/garden.h"

#include <cstdio>
#include <cstdlib>

#include "engine/app/commands.h"
#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "engine/core/locale.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/graphics/render.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "engine/sound/sound.h"
#include "game/objects/animal.h"
#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/object.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/screens/garden_screen.h"
#include "game/screens/island_screens.h"
#include "game/screens/message_box.h"
#include "game/screens/mission_finish.h"
#include "game/screens/mission_goal.h"
#include "game/screens/mission_start.h"
#include "game/screens/score_panel.h"
#include "game/screens/upgrades_screen.h"
#include "game/screens/window_functions.h"
#include "game/shell/comics.h"
#include "game/shell/datamanager_gd.h"
#include "game/shell/entry.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/shell/save_set.h"
#include "game/shell/splash.h"
#include "game/shell/window_message.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/particles.h"
#include "game/world/ware.h"
#include "platform/fs.h"
#include "platform/paths.h"

cGarden* g_pGarden = nullptr;

namespace {

constexpr const char* kSender = "cGarden";


vek::cRender* Render() { return vek::g_pRender; }

template <class T>
vek::cWindowFunction* MakeFunction()
{
    return new T();
}

} // namespace

const std::vector<cGameWindowRow>& GetGameWindowTable()
{
    static const std::vector<cGameWindowRow> rows = {
        {"messagebox", MakeFunction<cMessageBoxWF>},
        {"hint", MakeFunction<cHintGDWF>},
        {"hint_mp", MakeFunction<cHintMPWF>},
        {"mission_start", MakeFunction<cMissionStartWF>},
        {"mission_finish", MakeFunction<cMissionFinishWF>},
        {"mission_goal", MakeFunction<cMissionGoalWF>},
        {"main", MakeFunction<cMainGDWF>},
        {"escape", MakeFunction<cEscapeGDWF>},
        {"profile_select", MakeFunction<cProfileSelectWF>},
        {"options", MakeFunction<cOptionsGDWF>},
        {"profile_add", MakeFunction<cProfileAddWF>},
        {"garden", MakeFunction<cGardenWF>},
        {"stat_garden", MakeFunction<cStatGardenWF>},
        {"stat_island", MakeFunction<cStatIslandWF>},
        {"island", MakeFunction<cIslandWF>},
        {"edit", MakeFunction<cEditWF>},
        {"up", MakeFunction<cUpWF>},
        {"score", MakeFunction<cScoreWF>},
        {"comics", MakeFunction<cComicsWF>},
        {"comics00", MakeFunction<vek::cWindowFunction>},
        {"comics01", MakeFunction<vek::cWindowFunction>},
        {"comics02", MakeFunction<vek::cWindowFunction>},
    };
    return rows;
}

cGarden::cGarden()
{
    // The tutorial switch, counters, flow state and profile counter start
    // from their initial values with every game object.
    GetProfileHost() = cProfileHost();
    m_pParticles = new cParticleSystem();
    m_pFlyingItems = new cFlyingItems(Render(), true);
    m_pSecondList = new cFlyingItems(Render(), false);
    m_pSpriteAnimations = new cSpriteAnimations(Render());
    g_pGarden = this;
    if (GetSoundManager()) {
        GetSoundManager()->SetVolume(vek::cSoundManager::e_Sound, 0.5f);
        GetSoundManager()->SetVolume(vek::cSoundManager::e_Music, 0.5f);
    }
    g_iMenuScreenValue = 3;
    // A first start's settings are on disk before its profile is: a start
    // after a kill at any moment never finds profiles without settings.
    fnFreshProfileChosen = [this] { WriteSettings(); };
}

cGarden::~cGarden()
{
    // Every way out of the game ends here: the settings, the game in play
    // (its level field and island included) and every profile are written
    // while everything they are read from still exists.
    WriteSettings();
    SaveProfiles();
    m_Buildings.Clear();
    ClearIslandWalkers();
    delete m_pParticles;
    m_pParticles = nullptr;
    delete m_pFlyingItems;
    m_pFlyingItems = nullptr;
    delete m_pTextPopups;
    m_pTextPopups = nullptr;
    delete m_pSecondList;
    m_pSecondList = nullptr;
    delete m_pSpriteAnimations;
    m_pSpriteAnimations = nullptr;
    // The widgets belong to the engine's list; the profiles stop reaching
    // the level field through the shared record.
    if (GetProfileHost().pLevel == m_pLevel) GetProfileHost().pLevel = nullptr;
    // The screens keep the pictures they looked up for as long as the game
    // runs; they point into the sprite registry, which goes with the game.
    // A game made after this one looks them up again.
    ForgetIslandScreenSprites();
    cIsland::ForgetSharedSprites();
    ForgetControlSprites();
    cClockCtrl::ForgetSprite();
    cToolbarCtrl::ForgetStripReference();
    cScoreWF::ForgetMedal();
    ForgetAnimalLookups();
    if (g_pGarden == this) g_pGarden = nullptr;
}

namespace {

// A damaged settings file is moved aside as "settings.lua.bad" (a later
// one as "settings.lua.bad1" and so on, as the profiles' damaged files), so
// that the game starts as on a first run (in a window) with whatever values
// of it could still be read; the next write makes a whole one. A damage is
// kept even when every name is taken: the oldest copy gives way to it.
void KeepDamagedSettings(const vek::filename& file)
{
    const std::string native = vek::platform::ToNativePath(file.path);
    const bool keptBefore = save_set::WasKeptAsBad(file);
    if (!keptBefore) {
        const std::string dropped = save_set::DropOldestBad(native);
        if (!dropped.empty())
            vek::LogWarning(kSender, "Removed %s, the oldest kept damaged settings file, to keep a newer damage\n",
                            dropped);
    }
    const std::string bad = save_set::FreeBadName(native);
    vek::string kept;
    if (save_set::MoveAsideAsBad(file, kSender)) {
        const size_t slash = bad.rfind('/');
        if (keptBefore)
            kept = "; a copy of it is kept already";
        else if (!bad.empty())
            kept = "; kept as " + bad.substr(slash == std::string::npos ? 0 : slash + 1);
    }
    vek::LogWarning(kSender, "%s is damaged%s; the values it still holds are kept\n", file.path, kept);
}

// What a save cut short by a kill leaves: the temporary files of the
// game's own files, in its folder and in the profiles' folders.
void RemoveStaleTemporaries()
{
    const std::string folder = vek::platform::ToNativePath(vek::filename("{AppPath}").path);
    for (const std::string& path : vek::platform::RemoveStaleTemporaries(folder, 3, {"settings.lua.tmp"}))
        vek::LogText(kSender, "Removed %s, left by a save that was cut short\n", path);
}

} // namespace

int cGarden::InitGame()
{
    if (const int result = cMiddle::InitGame()) return result;
    vek::LogText(kSender, "Start game initialization...\n");
    RemoveStaleTemporaries();
    if (vek::g_pGame) vek::g_pGame->bRunInactive = true;

    vek::cScript* script = vek::g_pScript;
    if (script) {
        RegisterGameClasses(script);
        script->RegisterVar("theGame", this);
        vek::cFileSystem fs;
        const vek::filename locale("{StaticPath}/conf/locale.lua");
        if (fs.Exist(locale)) {
            script->RegisterVar("locale", &GetLocaleGD());
            script->RegisterVar("vek_locale", &vek::GetLocale());
            script->LoadFile(locale);
        }
        // The settings are plain values: they run without the libraries,
        // before the script that reads them.
        const vek::filename settingsFile("{AppPath}/conf/settings.lua");
        const int settings = script->LoadValuesFile(settingsFile, "settings");
        m_iSettingsFound = settings;
        if (settings == vek::cScript::e_valuesDamaged) KeepDamagedSettings(settingsFile);
        script->LoadFile(vek::filename("{StaticPath}/conf/system.lua"));
        if (settings != vek::cScript::e_valuesMissing) script->CallFunction("LoadHardwareSettings");
    }

    if (vek::g_pGame && vek::g_pGame->bWindowed && g_bSmallWorkArea) vek::SetDisplayMode(false, 1024, 768, 0);

    // The engine's widget list owns the splash widget.
    new cSplashWidget(this);
    if (vek::g_pGame) vek::g_pGame->SetFocusWidget("splash");
    vek::LogText(kSender, "Show splash screen...\n");
    return 0;
}

void cGarden::FinishInit()
{
    if (IsInitFinished()) return;
    ParseResources();
    if (m_pParticles) m_pParticles->LoadTextures();
    CreateWares();
    CreateBuildings(m_Buildings);

    // Widgets: the engine's widget list owns them.
    m_pComics = new cGardenComics();
    m_pLevel = new cLevel();
    GetProfileHost().pLevel = m_pLevel;
    m_pIsland = new cIsland();
    // Loading a game deletes the island's factories; the garden screen's
    // panels must not go on showing them.
    m_pIsland->hooks.buildingsCleared = [cleared = m_pIsland->hooks.buildingsCleared] {
        if (cleared) cleared();
        for (cFactoryControl* panel : GetFactoryPanels())
            if (panel) panel->ForgetFactory();
    };
    // A factory's first ware and its first work move the factory lesson on.
    m_pIsland->hooks.trainingStep = [](int kind, int step) {
        if (g_pGarden) g_pGarden->m_Training.NextStep(kind, step);
    };
    // The view's hints, lessons and ships are the game's own.
    m_pIsland->viewHooks.showHint = [this](int kind) { ShowHint(0, static_cast<unsigned>(kind)); };
    m_pIsland->viewHooks.trainingStart = [this](int kind) { m_Training.Start(kind); };
    m_pIsland->viewHooks.renewShips = [this] { RenewShips(); };
    m_pIsland->viewHooks.ships = [this]() -> const std::vector<cShip>* { return &m_Ships; };
    // A finished house's icon flies to the island rating on the game's
    // flying items.
    m_pIsland->hooks.flyHouse = [this](const vek::vec2& from, int star) {
        if (m_pIsland) m_pIsland->FlyHouse(from, star);
    };
    // What the rules ask of the field's gardener, tools and holes.
    fnEndGardenWork = [this] {
        if (!m_pLevel) return;
        if (auto* gardener = dynamic_cast<cGardener*>(m_pLevel->GetGardenerObject())) gardener->ClearJobs();
        for (cObject* object : m_pLevel->GetObjects())
            if (auto* bin = dynamic_cast<cToolBin*>(object))
                for (int32_t n = bin->GetCount(); n > 0; --n) bin->TakeFirstWare();
    };
    fnCarriedTool = [this]() -> uint32_t {
        auto* gardener = m_pLevel ? dynamic_cast<cGardener*>(m_pLevel->GetGardenerObject()) : nullptr;
        return gardener ? gardener->GetToolId() : 0;
    };
    fnGiveTool = [this](uint32_t tool) {
        auto* gardener = m_pLevel ? dynamic_cast<cGardener*>(m_pLevel->GetGardenerObject()) : nullptr;
        if (gardener && tool != 0) gardener->TakeTool(tool);
    };
    // The holes the new bed layout added show, each with a burst of sparks.
    fnShowNewHoles = [this] {
        if (!m_pLevel) return;
        for (cObject* object : m_pLevel->GetObjects()) {
            auto* hole = dynamic_cast<cHole*>(object);
            if (!hole || hole->IsShown()) continue;
            hole->SetShown(true);
            const vek::rectf r = hole->GetRect();
            if (m_pParticles)
                m_pParticles->EmitBurst(30, 15.0f, vek::vec3(r.x + r.w / 2.0f, r.y + r.h / 2.0f, 0.0f));
        }
    };
    m_pTextPopups = new cTextPopups(Render(), "header24x24");

    if (GetSoundManager()) {
        const auto& musics = GetSoundManager()->m_Musics;
        const uint32_t index = static_cast<uint32_t>(FindMusicIndex("music_menu"));
        m_pMenuMusic = index < musics.Count() ? musics.At(index) : musics.At(0);
        if (m_pMenuMusic) m_pMenuMusic->SetLoop();
    }

    cMiddle::FinishInit();
    vek::LogText(kSender, "Loading complete. Finish game initialization...\n");
    if (vek::g_pScript) vek::g_pScript->CallFunction("LoadSettings");
    // The settings are written before any profile is made: profiles without
    // them lost them (the player is told at the first main menu).
    if (m_iSettingsFound == vek::cScript::e_valuesMissing && m_bProfilesFound)
        vek::LogWarning(kSender,
                        "%s is missing beside the profiles; player '%s' is chosen and the options are at their "
                        "defaults\n",
                        vek::filename("{AppPath}/conf/settings.lua").path, GetPlayerName());

    // A window that cannot be made frees its function: the game keeps only
    // functions whose window exists.
    const auto fill = [this](const char* name, vek::cWindowFunction* function) {
        return FillWindow(name, vek::filename(vek::string("{StaticPath}/gui/") + name + ".lua"), function) !=
               nullptr;
    };
    for (const cGameWindowRow& row : GetGameWindowTable()) {
        vek::cWindowFunction* function = row.make();
        if (!fill(row.name, function)) continue;
        if (auto* box = dynamic_cast<cMessageBoxWF*>(function)) m_pMessageBox = box;
        if (auto* hint = dynamic_cast<cHintGDWF*>(function)) m_pHint = hint;
    }

    cDataManagerGD::ReadTheme(vek::filename("{StaticPath}/conf/holes.lvs"), m_BedLayouts);
    SetCursor("pointer");
    vek::LogText(kSender, "Game initialization complete. Run game...\n");
    ShowGameWindow("main", 1);
    if (vek::g_pGame) vek::g_pGame->bRunInactive = false;
    if (vek::g_pScript) vek::g_pScript->LoadFile(vek::filename("{StaticPath}/conf/autoexec.lua"));
    if (m_pPlayer) m_pPlayer->Activate();
    TellLoadNotice();
}

void cGarden::TellLoadNotice(int slot, bool afterClose)
{
    cPlayer* player = GetPlayer();
    if (!player) return;
    const auto show = [this, afterClose](int icon, const vek::string& text) {
        if (afterClose) ShowMessageBoxAfterClose(icon, 0, text, "");
        else ShowNotice(icon, text);
    };
    switch (player->TakeLoadNotice(slot)) {
    case cPlayer::e_noticeRefused:
        show(0, GetLocaleGD().ErrorGameRefused);
        break;
    case cPlayer::e_noticeDamaged:
        show(2, GetLocaleGD().ErrorGameDamaged);
        break;
    case cPlayer::e_noticeRestored:
        show(2, GetLocaleGD().ErrorGameRestored);
        break;
    case cPlayer::e_noticeMissing:
        show(2, GetLocaleGD().ErrorGameMissing);
        break;
    case cPlayer::e_noticeNone:
        break;
    }
}

void cGarden::TellProfileNotices()
{
    if (m_bProfileNoticesTold || !IsInitFinished()) return;
    m_bProfileNoticesTold = true;
    // Settings that could not be read leave the first profile current and
    // the options at their defaults: the player hears which profile plays.
    // A first run has neither settings nor profiles, and nothing to hear.
    if (m_iSettingsFound == vek::cScript::e_valuesDamaged ||
        (m_iSettingsFound == vek::cScript::e_valuesMissing && m_bProfilesFound))
        ShowNotice(2, vek::Formatted(GetLocaleGD().ErrorSettingsLost.c_str(), GetPlayerName()));
    // Only the current profile's game is told of when it is played; the
    // others would otherwise go unnoticed (read under their folder's name,
    // or mended by the save made as the settings chose another profile).
    for (cPlayerBase* base : m_Players) {
        auto* player = dynamic_cast<cPlayer*>(base);
        if (!player || base == m_pPlayer) continue;
        switch (player->TakeLoadNotice(-1)) {
        case cPlayer::e_noticeRefused:
            ShowNotice(0, vek::Formatted(GetLocaleGD().ErrorPlayerRefused.c_str(), player->GetName()));
            break;
        case cPlayer::e_noticeDamaged:
            ShowNotice(2, vek::Formatted(GetLocaleGD().ErrorPlayerDamaged.c_str(), player->GetName()));
            break;
        case cPlayer::e_noticeRestored:
            ShowNotice(2, vek::Formatted(GetLocaleGD().ErrorPlayerRestored.c_str(), player->GetName()));
            break;
        case cPlayer::e_noticeMissing:
            ShowNotice(2, vek::Formatted(GetLocaleGD().ErrorPlayerMissing.c_str(), player->GetName()));
            break;
        case cPlayer::e_noticeNone:
            break;
        }
    }
}

void cGarden::ShowNotice(int icon, const vek::string& text)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (gui && gui->IsWindowShown("messagebox")) {
        m_QueuedNotices.push_back({icon, text});
        return;
    }
    ShowMessageBox(icon, 0, text, "");
}

cPlayerBase* cGarden::CreatePlayer(const vek::string& name) { return new cPlayer(name); }

void cGarden::WriteSettings()
{
    if (!m_pPlayer || !vek::g_pScript) return;
    // The script and the file writer it calls take the native path.
    const vek::string path = vek::platform::ToNativePath(vek::filename("{AppPath}/conf/settings.lua").path);
    // The settings go through a temporary file of a fresh name: a folder
    // at the fixed name an older writer used is in no save's way. It is
    // taken away when empty, and told of once otherwise.
    const std::string oldTemporary = path + ".tmp";
    if (!m_bSettingsFolderTold && vek::platform::IsFolder(oldTemporary)) {
        m_bSettingsFolderTold = true;
        if (vek::platform::RemoveDir(oldTemporary))
            vek::LogText(kSender, "Removed the empty folder %s\n", oldTemporary);
        else
            vek::LogWarning(kSender, "%s is a folder and is left as it is; the settings are written beside it\n",
                            oldTemporary);
    }
    vek::g_pScript->CallFunction("WriteSettings", path);
}

bool cGarden::WriteSettingsFile(const vek::string& path, const vek::string& text)
{
    namespace fs = vek::platform;
    bool ok = fs::WriteFileReplacing(path, text.data(), text.size());
    if (!ok) {
        // The folder may not exist yet on a first run.
        const size_t slash = path.rfind('/');
        if (slash != std::string::npos && slash > 0 && !fs::IsFolder(path.substr(0, slash)))
            vek::cFileSystem().CreateFolder(vek::filename(path.substr(0, slash) + "/"));
        ok = fs::WriteFileReplacing(path, text.data(), text.size());
    }
    if (!ok) vek::LogWarning(kSender, "Cannot write %s; the settings are not saved\n", path);
    return ok;
}

int cGarden::ChangePlayer(const vek::string& name)
{
    const bool differs = name != GetPlayerName();
    const int result = cMiddle::ChangePlayer(name);
    if (differs && m_pIsland) {
        m_pIsland->fScrollX = 0.0f;
        m_pIsland->fScrollY = m_pIsland->fPictureHeight - 768.0f;
        m_pIsland->fView = 0.0f;
    }
    return result;
}

bool cGarden::ShowGameWindow(const vek::string& name, int param)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (name == "main") {
        HideAllWindows();
    } else if (name == "edit") {
        if (!m_pIsland || m_pIsland->iMode != cIsland::e_modeEdit) return false;
    } else if (name == "escape") {
        if (gui) gui->HideWindow("options");
    } else if (name == "profile_select") {
        if (gui && gui->IsWindowShown("profile_add")) gui->HideWindow("profile_add");
    }
    m_iWindowParam = param;
    const bool shown = gui && gui->ShowWindow(name) == 0;
    // A profile chosen on the profile screens tells of its saved game once
    // the menu it returns to shows.
    if (shown && name == "main") {
        TellLoadNotice();
        TellProfileNotices();
    }
    return shown;
}

bool cGarden::ResumeResultSequence(int level)
{
    cPlayer* player = GetPlayer();
    cIsland* island = m_pIsland;
    if (!player || !island || level < 0 || level > player->m_iProgress) return false;
    const bool offer = player->m_iWinStep == cPlayer::e_winUpgrades;
    const bool medal = level == player->m_iProgress && player->m_Results.size() > static_cast<size_t>(level);
    if (!offer && !medal) return false;
    player->m_iLevel = level;
    player->m_TaskSet.bDone = 1;
    island->SetMode(cIsland::e_modeLevel);
    if (vek::g_pGame && vek::g_pGame->GetFocusWidgetName() != "island")
        vek::g_pGame->SetFocusWidget("island");
    else
        island->StartResultSequence();
    // The sequence stands still while the offer is shown, and goes on once
    // it is taken.
    if (offer && !ShowGameWindow("up", 1)) player->m_iWinStep = cPlayer::e_winNone;
    return true;
}

void cGarden::ContinueGame()
{
    // A win saved before its finish counted it plays that finish again.
    const cPlayer* player = GetPlayer();
    if (player && player->m_iWinStep != cPlayer::e_winFinish && ResumeResultSequence(player->m_iContinueLevel)) return;
    StartLevel(-1);
}

void cGarden::OnWindowClose(const vek::string& name)
{
    // A notice closed: the next one waiting shows.
    if (name == "messagebox" && m_pMessageBox && m_pMessageBox->GetCommand().empty() && !m_QueuedNotices.empty()) {
        const cNotice next = m_QueuedNotices.front();
        m_QueuedNotices.erase(m_QueuedNotices.begin());
        ShowMessageBoxAfterClose(next.icon, 0, next.text, "");
    }
    if (name == "messagebox" && m_pMessageBox && m_pMessageBox->GetResult() == 0) {
        const vek::string command = m_pMessageBox->GetCommand();
        if (command == "continue_last") {
            ContinueGame();
        } else if (command.compare(0, 11, "start_level") == 0) {
            StartLevel(std::atoi(command.c_str() + 11));
        } else if (command == "exit_level") {
            cPlayer* player = GetPlayer();
            const bool saved = !player || player->SaveGame(-1);
            if (vek::g_pGame && vek::g_pGame->iPause > 0) --vek::g_pGame->iPause;
            ShowGameWindow("main", 1);
            // A full disk or a folder that cannot be written: the player
            // hears of it once, not once per file.
            if (!saved) ShowMessageBoxAfterClose(0, 0, GetLocaleGD().ErrorSaveGame, "");
        } else if (command == "restart_level") {
            if (vek::cGUI* gui = vek::GetEngineGUI()) gui->HideWindow("escape");
            m_Training.Stop();
            FinishLevel();
            if (cPlayer* player = GetPlayer()) StartLevel(player->m_iLevel);
        } else if (command == "exit_game") {
            if (vek::g_pGame) vek::g_pGame->Exit(0);
        }
    }
    cMiddle::OnWindowClose(name);
}

// "hand" over what a click opens (a link, an open level point), the
// arrow for every other name.
void cGarden::SetCursor(const vek::string& name)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (!gui || !gui->GetCursor()) return;
    gui->GetCursor()->Set(name == "hand" ? "cursor_hand" : "cursor_pointer", vek::vec2(32.0f, 64.0f), 9, 1, 1);
}

const vek::string& cGarden::GetMessageText(int kind)
{
    static const vek::string empty;
    cLocaleGD& texts = GetLocaleGD();
    switch (kind) {
    case 0: return texts.ErrorOnePlayer;
    case 1: return texts.ConfirmDeletePlayer;
    case 2: return texts.ConfirmExitGame;
    default: return empty;
    }
}

void cGarden::SetPlayerCounter(int counter) { GetProfileHost().iPlayerCounter = counter; }

int cGarden::GetPlayerCounter() { return GetProfileHost().iPlayerCounter; }

void cGarden::SendWindowMessage(const vek::string& name, unsigned a, int b) { ::SendWindowMessage(name, a, b); }

void cGarden::ShowMessageBox(int icon, int buttons, const vek::string& text, const vek::string& command)
{
    if (!FillMessageBox(icon, buttons, text, command)) return;
    ShowGameWindow("messagebox", 1);
}

void cGarden::ShowMessageBoxAfterClose(int icon, int buttons, const vek::string& text, const vek::string& command)
{
    if (!FillMessageBox(icon, buttons, text, command)) return;
    vek::cGUI* gui = vek::GetEngineGUI();
    const int index = gui ? gui->FindWindow("messagebox") : 0;
    if (index != 0) gui->PostMessage(static_cast<unsigned>(index), kMsgShowMessageBox, 0, 0);
}

bool cGarden::FillMessageBox(int icon, int buttons, const vek::string& text, const vek::string& command)
{
    if (!m_pMessageBox) return false;
    static const char* const kIcons[] = {"icon_error", "icon_info", "icon_warning", "icon_question"};
    const vek::string iconName = icon >= 0 && icon < 4 ? kIcons[icon] : "";
    m_pMessageBox->SetText(text, "");
    // The icon stands in both pictures, as the boxes the screens fill
    // themselves do.
    m_pMessageBox->SetImage(iconName, iconName);
    const vek::cLocale& locale = vek::GetLocale();
    switch (buttons) {
    case 0: m_pMessageBox->SetButtons(locale.Ok, ""); break;
    case 1: m_pMessageBox->SetButtons(locale.Ok, locale.Cancel); break;
    case 2: m_pMessageBox->SetButtons(locale.Yes, locale.No); break;
    default: break;
    }
    m_pMessageBox->SetCommand(command);
    return true;
}

void cGarden::ParseResources()
{
    m_SoundTable.assign(kGameSoundCount, 0);
    if (GetSoundManager()) {
        const auto& sounds = GetSoundManager()->m_SoundBuffers;
        for (uint32_t i = 1; i < sounds.Count(); ++i) {
            const vek::cSoundManager::cSoundBuffer* sound = sounds.At(i);
            if (!sound) continue;
            const vek::string& name = sound->GetName();
            bool known = false;
            for (int id = 0; id < kGameSoundCount; ++id)
                if (name == g_aGameSoundNames[id]) {
                    m_SoundTable[static_cast<size_t>(id)] = static_cast<int32_t>(i);
                    known = true;
                }
            if (known || name == "click" || name == "typing" || name == "mouse_in") continue;
            vek::LogWarning(kSender, "ParseResources: unusable sound found: %s\n", name);
        }
    }
    for (int id = 0; id < kGameSoundCount; ++id)
        if (m_SoundTable[static_cast<size_t>(id)] == 0)
            vek::LogWarning(kSender, "ParseResources: sound not loaded: %i\n", id);
}


void cGarden::ClearIslandWalkers()
{
    ClearShips();
    for (cObject* walker : m_IslandWalkers) delete walker;
    m_IslandWalkers.clear();
}

int cGarden::GetMoney() const
{
    const cPlayer* player = GetPlayer();
    return player ? player->m_iMoney : 0;
}

cPlayer* cGarden::GetPlayer() const { return dynamic_cast<cPlayer*>(m_pPlayer); }

cGameBalance& cGarden::GetBalance() { return GetProfileHost().balance; }
int cGarden::GetTraining() const { return GetProfileHost().iTraining; }
void cGarden::SetTraining(int on) { GetProfileHost().iTraining = on; }
int cGarden::GetFlowState() const { return GetProfileHost().iFlowState; }
void cGarden::SetFlowState(int state) { GetProfileHost().iFlowState = state; }
