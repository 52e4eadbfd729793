#include "game/shell/middle.h"

#include <algorithm>

#include "engine/app/commands.h"
#include "engine/app/game.h"
#include "engine/core/file.h"
#include "engine/core/format.h"
#include "engine/core/http.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/graphics/scene.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/message_box.h"
#include "game/shell/loading.h"
#include "game/shell/player_base.h"
#include "game/shell/scores.h"
#include "game/shell/texture_info.h"
#include "platform/fs.h"
#include "platform/paths.h"

cMiddle* g_pMiddle = nullptr;

namespace {

constexpr const char* kSender = "cMiddle";

const vek::string& EmptyName()
{
    static const vek::string empty;
    return empty;
}

vek::string Lowered(const vek::string& text)
{
    vek::string copy(text);
    copy.ToLower();
    return copy;
}


void LoadSystemTexture(const char* path)
{
    LoadTextureFile(vek::filename(path));
}

} // namespace

cMiddle::cMiddle()
{
    g_pMiddle = this;
    m_PlayerIter = m_Players.end();
    m_pTransfer = new vek::cTransferHTTP();
}

cMiddle::~cMiddle()
{
    // Unless the game object has saved them already, the current profile
    // saves its game in play, then every profile saves itself and goes.
    const bool saved = m_bProfilesSaved;
    if (!saved && m_pPlayer) m_pPlayer->DeactivateOnExit();
    m_pPlayer = nullptr;
    for (cPlayerBase* player : m_Players) {
        if (!saved) player->SavePlayer();
        delete player;
    }
    m_Players.clear();
    m_PlayerIter = m_Players.end();

    // Cancels a transfer that still runs and waits for its worker.
    delete m_pTransfer;
    m_pTransfer = nullptr;

    SaveScores();

    // The registries, newest first; each Destroy function logs "Ok", also
    // when its registry was already gone.
    vek::DestroyMeshManager();
    vek::DestroySceneManager();
    vek::DestroyMaterialManager();
    DestroyTextureInfos();

    if (g_pMiddle == this) g_pMiddle = nullptr;
}

void cMiddle::SaveProfiles()
{
    if (m_bProfilesSaved) return;
    m_bProfilesSaved = true;
    if (m_pPlayer) m_pPlayer->DeactivateOnExit();
    for (cPlayerBase* player : m_Players) player->SavePlayer();
}

int cMiddle::InitGame()
{
    vek::LogText(kSender, "Start game initialization...\n");
    m_iStartTime = static_cast<int32_t>(vek::GetDayTime() * 1000.0f);

    // The desktop is wherever the system keeps it (screenshots go there).
    vek::cFileSystem fs;
    for (const char* folder : {"{AppPath}/cache/", "{AppPath}/conf/"}) {
        const vek::filename path(folder);
        if (!fs.Exist(path)) fs.CreateFolder(path);
    }
    const vek::filename desktop = vek::GetScreenShotFolder();
    if (!fs.Exist(desktop)) fs.CreateFolder(desktop);

    CreateTextureInfos();
    vek::CreateMaterialManager();
    vek::CreateSceneManager();
    vek::CreateMeshManager();

    // The console's and the GUI's own images, and the system font.
    LoadSystemTexture("{StaticPath}/texture/system/gui_console0.jpg");
    LoadSystemTexture("{StaticPath}/texture/system/gui_console1.jpg");
    LoadSystemTexture("{StaticPath}/texture/system/font_system.png");
    LoadSystemTexture("{StaticPath}/texture/system/gui_system.png");
    if (vek::g_pScript) vek::g_pScript->LoadFile(vek::filename("{StaticPath}/conf/sys_font.lua"));
    return 0;
}

void cMiddle::OnSplashEnd()
{
    vek::LogText(kSender, "End splash screen\n");
    LoadSystemTexture("{StaticPath}/texture/system/gui_loading.jpg");
    LoadSystemTexture("{StaticPath}/texture/system/gui_loading_progress.jpg");
    FillWindow("loading", vek::filename("{StaticPath}/gui/game_loading.lua"), new vek::cWindowFunction());
    // The engine's widget list owns the loading widget.
    new cLoadingWidget(this);
    if (vek::g_pGame) vek::g_pGame->SetFocusWidget("loading");
    vek::LogText(kSender, "Start loading...\n");
}

void cMiddle::FinishInit()
{
    // A second run would list every profile twice.
    if (m_bInitFinished) return;
    m_bInitFinished = true;

    vek::LogText(kSender, "Loading complete. Finish game initialization...\n");
    LoadScores();

    // One profile per sub-folder, named as the folder is on disk. Files,
    // links to files and the folder's own entries are no profiles, and
    // neither is what a delete cut short left aside: it goes now.
    vek::cFileSystem fs;
    std::vector<vek::filename> leftovers;
    for (vek::filename entry = fs.GetFirst(vek::filename("{AppPath}/profile/")); !entry.empty();
         entry = fs.GetNext()) {
        const vek::string name = entry.GetFile();
        if (name.empty() || name == "." || name == ".." || !fs.IsFolder(entry)) continue;
        if (IsFolderBeingDeleted(name)) {
            leftovers.push_back(entry);
            continue;
        }
        // A profile's folder is made just before its first file is written:
        // one left empty by a program ended in between holds no profile,
        // and listed it would take a name it never had.
        if (vek::platform::RemoveDir(vek::platform::ToNativePath(entry.path))) {
            vek::LogText(kSender, "Removed %s, an empty profile folder left by a first save that was cut short\n",
                         entry.path);
            continue;
        }
        cPlayerBase* player = CreatePlayer(name);
        if (!player) continue;
        player->LoadPlayer();
        AddPlayer(player);
    }
    for (const vek::filename& folder : leftovers) {
        if (fs.DeleteFolder(folder))
            vek::LogText(kSender, "Removed %s, left by a profile's delete that was cut short\n", folder.path);
        else
            vek::LogWarning(kSender, "%s, left by a profile's delete that was cut short, cannot be removed\n",
                            folder.path);
    }

    SettleSharedNames();
    m_bProfilesFound = !m_Players.empty();

    vek::LogText(kSender, "Found %i Player profiles\n", static_cast<int>(m_Players.size()));

    if (!m_Players.empty()) {
        m_pPlayer = m_Players.front();
        m_pPlayer->Activate();
    } else {
        m_pPlayer = CreatePlayer("");
        if (m_pPlayer) {
            // The settings name it first, then it is on disk at once, as a
            // profile made on the profile screens: a program ended before
            // its exit still finds it, and never finds profiles without
            // the settings that were written with them.
            if (fnFreshProfileChosen) fnFreshProfileChosen();
            m_pPlayer->SavePlayer();
            AddPlayer(m_pPlayer);
        }
    }
}

void cMiddle::SettleSharedNames()
{
    const std::vector<cPlayerBase*> players(m_Players.begin(), m_Players.end());
    std::vector<bool> settled(players.size(), false);
    for (size_t i = 0; i < players.size(); ++i) {
        if (settled[i]) continue;
        const vek::string name = Lowered(players[i]->GetName());
        std::vector<size_t> same;
        for (size_t j = i; j < players.size(); ++j)
            if (!settled[j] && Lowered(players[j]->GetName()) == name) same.push_back(j);
        if (same.size() < 2) continue;
        // Claims are weighed as the files were found, before any is moved.
        // The surest keeps the name; of equal claims, the first listed.
        std::vector<cPlayerBase::eFileClaim> claims;
        for (size_t j : same) claims.push_back(players[j]->ClaimOnFile());
        size_t owner = 0;
        for (size_t k = 1; k < same.size(); ++k)
            if (claims[k] > claims[owner]) owner = k;
        for (size_t k = 0; k < same.size(); ++k) {
            settled[same[k]] = true;
            if (k != owner) players[same[k]]->DropCopiedFile();
        }
    }
}

// ---- profiles ----

int cMiddle::ChangePlayer(const vek::string& name)
{
    if (name == GetPlayerName()) return 0;
    vek::LogText(kSender, "Change player '%s' to '%s'\n", GetPlayerName(), name);
    cPlayerBase* found = FindPlayer(name);
    if (!found) {
        vek::LogWarning(kSender, "Can't find payer '%s', leave old player.\n", name);
        return 0;
    }
    if (m_pPlayer) m_pPlayer->Deactivate();
    m_pPlayer = found;
    m_pPlayer->Activate();
    return 0;
}

int cMiddle::DeletePlayer(const vek::string& name)
{
    // The name picks one profile: the exact spelling first, then the first
    // match without regard to case, so that the current profile is recognised
    // however the name is written.
    cPlayerBase* target = nullptr;
    for (cPlayerBase* player : m_Players)
        if (player->GetName() == name) {
            target = player;
            break;
        }
    if (!target) target = FindPlayer(name);
    if (target && target == m_pPlayer) return 0;

    vek::LogText(kSender, "Delete player '%s'\n", name);
    if (!target) {
        vek::LogWarning(kSender, "Can't find payer '%s'.\n", name);
        return 0;
    }
    RemoveProfile(target);
    return 0;
}

int cMiddle::DeleteProfile(cPlayerBase* player)
{
    if (!player || player == m_pPlayer) return 0;
    if (std::find(m_Players.begin(), m_Players.end(), player) == m_Players.end()) return 0;
    vek::LogText(kSender, "Delete player '%s'\n", player->GetName());
    RemoveProfile(player);
    return 0;
}

bool cMiddle::RemoveProfile(cPlayerBase* player)
{
    const auto pos = std::find(m_Players.begin(), m_Players.end(), player);
    if (pos == m_Players.end()) return false;
    // Files that cannot be deleted keep their profile listed: it is still
    // on disk and comes back at the next start.
    if (!player->DeleteFiles()) return false;
    // An iteration standing on the profile goes on with the one after it.
    if (pos == m_PlayerIter) {
        m_PlayerIter = m_Players.erase(pos);
        m_bIterPending = true;
    } else {
        m_Players.erase(pos);
    }
    delete player;
    return true;
}

int cMiddle::AddPlayer(cPlayerBase* player)
{
    if (player) m_Players.push_back(player);
    return 0;
}

cPlayerBase* cMiddle::FindPlayer(const vek::string& name)
{
    const vek::string wanted = Lowered(name);
    for (cPlayerBase* player : m_Players)
        if (Lowered(player->GetName()) == wanted) return player;
    return nullptr;
}

cPlayerBase* cMiddle::GetFirstPlayer()
{
    m_PlayerIter = m_Players.begin();
    m_bIterPending = false;
    return m_PlayerIter == m_Players.end() ? nullptr : *m_PlayerIter;
}

cPlayerBase* cMiddle::GetNextPlayer()
{
    if (m_PlayerIter == m_Players.end()) return nullptr;
    if (m_bIterPending)
        m_bIterPending = false;
    else
        ++m_PlayerIter;
    return m_PlayerIter == m_Players.end() ? nullptr : *m_PlayerIter;
}

int cMiddle::GetPlayerCount() { return static_cast<int>(m_Players.size()); }

cPlayerBase* cMiddle::GetPlayerAt(int index)
{
    if (index < 0) return nullptr;
    for (cPlayerBase* player : m_Players)
        if (index-- == 0) return player;
    return nullptr;
}

const vek::string& cMiddle::GetPlayerName()
{
    return m_pPlayer ? m_pPlayer->GetName() : EmptyName();
}

// ---- the window scheme ----

int cMiddle::GetWindowParam() { return m_iWindowParam; }

bool cMiddle::ShowGameWindow(const vek::string& name, int param)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (name == "main" || name == "options" || name == "highscores" || name == "help" ||
        name == "escape") {
        HideAllWindows();
    } else if (name == "profile_select") {
        if (gui && gui->IsWindowShown("profile_add")) gui->HideWindow("profile_add");
    }
    m_iWindowParam = param;
    return gui && gui->ShowWindow(name) == 0;
}

void cMiddle::HideAllWindows()
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (!gui) return;
    for (unsigned i = 0; i < gui->GetWindowCount(); ++i) {
        vek::cWindow* window = gui->GetWindow(i);
        if (!window) continue;
        const vek::string name = window->GetName();
        if (name == "dump" || !gui->IsWindowShown(i)) continue;
        const int index = gui->FindWindow(name);
        if (index != 0) gui->SendMessage(static_cast<unsigned>(index), vek::cGUI::e_wndHide, 0, 0);
    }
}

void cMiddle::OnWindowClose(const vek::string& name)
{
    if (name != "messagebox" || !m_pMessageBox) return;
    const auto command = vek::SplitPair(m_pMessageBox->GetCommand(), "=");
    if (command.first != "delete" || m_pMessageBox->GetResult() != 0) return;
    vek::cGUI* gui = vek::GetEngineGUI();
    if (!gui) return;
    // The profile screen checks the index against its list; text that is
    // no number names no profile (it must not read as index 0).
    const vek::string& digits = command.second;
    const size_t sign = !digits.empty() && digits[0] == '-' ? 1 : 0;
    if (digits.size() == sign || digits.find_first_not_of("0123456789", sign) != vek::string::npos) return;
    const int32_t index = vek::StringToInt(command.second);
    gui->SendMessage(static_cast<unsigned>(gui->FindWindow("profile_select")), kMsgDeleteProfile,
                     static_cast<unsigned>(index), 0);
}

void cMiddle::SetCursor(const vek::string&) {}

vek::cWindow* cMiddle::FillWindow(const vek::string& name, const vek::filename& file,
                                  vek::cWindowFunction* function)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (!gui) {
        vek::LogWarning(kSender, "FillWindow '%s': no GUI\n", name);
        delete function;
        return nullptr;
    }
    auto* window = new vek::cWindow(function, gui);
    window->SetName(name);

    // "FillWindow" is a global: cleared first, so that a file that does not
    // define it never runs the previous window's function on this window.
    vek::cScript* script = vek::g_pScript;
    if (script && script->GetState()) {
        script->DoString("FillWindow = nil");
        if (script->LoadFile(file)) script->CallFunction("FillWindow", window);
    }

    gui->SendMessage(window->GetID(), vek::cGUI::e_wndAfterCreate, 0, 0);
    return window;
}
