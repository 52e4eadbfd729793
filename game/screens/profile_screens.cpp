#include "game/screens/profile_screens.h"

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/core/input.h"
#include "engine/core/locale.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/main_menu.h"
#include "game/screens/message_box.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"

namespace {

// The selection screen's list and its scroll bar, and the add screen's name
// field, kept for the run.
vek::cListSysCtrl* g_pProfileList = nullptr;
vek::cSliderCtrl* g_pProfileSlider = nullptr;
vek::cEditCtrl* g_pNameEdit = nullptr;

int ItemCount() { return g_pProfileList ? static_cast<int>(g_pProfileList->GetItemCount()) : 0; }

// The selected item; -1 when none is.
int SelectedItem()
{
    if (!g_pProfileList) return -1;
    const unsigned selected = g_pProfileList->GetSelectedItem(0);
    return selected < g_pProfileList->GetItemCount() ? static_cast<int>(selected) : -1;
}

// The scroll bar runs upward while the list runs downward: at its maximum
// it shows the list from its first item.
void UpdateSlider()
{
    if (!g_pProfileSlider || !g_pProfileList) return;
    g_pProfileSlider->SetMinMax(0.0f, static_cast<float>(ItemCount() - 1));
    g_pProfileSlider->SetValue(g_pProfileSlider->GetMax() - static_cast<float>(g_pProfileList->GetFirstVisible()));
}

void FillList()
{
    if (!g_pProfileList || !g_pMiddle) return;
    g_pProfileList->DeleteAllItems();
    const vek::string current = g_pMiddle->GetCurrentPlayer() ? g_pMiddle->GetPlayerName() : vek::string();
    unsigned i = 0;
    for (cPlayerBase* player = g_pMiddle->GetFirstPlayer(); player; player = g_pMiddle->GetNextPlayer(), ++i) {
        g_pProfileList->InsertItem(i, player->GetName(), 0);
        if (g_pMiddle->GetCurrentPlayer() && player->GetName() == current) {
            g_pProfileList->SelectItem(i, true, false);
            g_pProfileList->EnsureVisible(i);
        }
    }
    UpdateSlider();
}

// A box filled here rather than through the game's short form: these carry
// a title and the profile picture.
void ShowProfileBox(const vek::string& text, const vek::string& title, const char* image, bool question,
                    const vek::string& command)
{
    cMessageBoxWF* box = g_pMiddle ? g_pMiddle->GetMessageBox() : nullptr;
    if (!box) return;
    const vek::cLocale& locale = vek::GetLocale();
    box->SetText(text, title);
    box->SetImage(image, "icon_head");
    if (question)
        box->SetButtons(locale.Yes, locale.No);
    else
        box->SetButtons(locale.Ok, "");
    box->SetCommand(command);
    g_pMiddle->ShowGameWindow("messagebox", 1);
}

// The profile at index a is deleted after its neighbour (the one before
// it, or the second for the first) became current.
void DeleteAt(int index)
{
    // The index comes back from a command text: anything that names no
    // listed profile, and the last profile, are left alone.
    if (!g_pMiddle || !g_pProfileList) return;
    if (index < 0 || index >= ItemCount() || index >= g_pMiddle->GetPlayerCount()) return;
    if (g_pMiddle->GetPlayerCount() < 2) return;
    const int neighbour = index == 0 ? 1 : index - 1;
    cPlayerBase* next = g_pMiddle->GetPlayerAt(neighbour);
    cPlayerBase* victim = g_pMiddle->GetPlayerAt(index);
    if (!next || !victim) return;
    g_pProfileList->SelectItem(static_cast<unsigned>(neighbour), true, false);
    const vek::string name = victim->GetNameCopy();
    g_pMiddle->ChangePlayer(next->GetNameCopy());
    // The settings name the profile that stays before the other goes.
    if (g_pGarden) g_pGarden->WriteSettings();
    const int before = g_pMiddle->GetPlayerCount();
    g_pMiddle->DeletePlayer(name);
    if (g_pMiddle->GetPlayerCount() == before) {
        // Its files could not be deleted: it stays listed, and the player
        // hears of it once the question has left the screen.
        if (g_pGarden) {
            const vek::string text = vek::Formatted(GetLocaleGD().ErrorDeletePlayer.c_str(), name);
            g_pGarden->ShowMessageBoxAfterClose(0, 0, text, "");
        }
        return;
    }
    g_pProfileList->DeleteItem(static_cast<unsigned>(index));
    UpdateSlider();
}

} // namespace

vek::string TrimProfileName(const vek::string& text)
{
    std::string name = text;
    vek::TrimLeft(name);
    vek::TrimRight(name);
    return name;
}

// ---- the selection ----

int cProfileSelectWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndDestroy) {
        g_pProfileList = nullptr;
        g_pProfileSlider = nullptr;
    }
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            g_pProfileList = GetWindowControlAs<vek::cListSysCtrl>(window, "lstProfile");
            g_pProfileSlider = GetWindowControlAs<vek::cSliderCtrl>(window, "slProfile");
            if (!g_pProfileList || !g_pProfileSlider) return OnError(window, "List or Slider not found");
            break;
        case vek::cGUI::e_wndUpdateHover:
            FillList();
            // A first start goes straight to naming a profile.
            if (ItemCount() == 0) ClickControl(window, "btAdd");
            break;
        case vek::cGUI::e_wndKeyDown:
            if (a == vek::e_keyEscape) {
                if (SelectedItem() >= 0 && g_pMiddle) g_pMiddle->ShowGameWindow("main", 1);
            } else if (a == vek::e_keyEnter) {
                ClickControl(window, "btOk");
            }
            break;
        case vek::cGUI::e_wndCommand:
            if (!g_pMiddle) break;
            if (IsControl(window, b, "btAdd")) {
                g_pMiddle->ShowGameWindow("profile_add", 1);
            } else if (IsControl(window, b, "btDelete")) {
                const vek::cLocale& locale = vek::GetLocale();
                if (ItemCount() < 2) {
                    ShowProfileBox(g_pMiddle->GetMessageText(0), locale.Error, "icon_error", false, "");
                } else if (const int selected = SelectedItem(); selected >= 0) {
                    if (cPlayerBase* player = g_pMiddle->GetPlayerAt(selected))
                        ShowProfileBox(vek::Formatted(g_pMiddle->GetMessageText(1).c_str(), player->GetName()),
                                       locale.Warning, "icon_warning", true, vek::Formatted("delete=%i", selected));
                }
            } else if (IsControl(window, b, "btOk")) {
                const int selected = SelectedItem();
                cPlayerBase* player = selected >= 0 ? g_pMiddle->GetPlayerAt(selected) : nullptr;
                if (player) {
                    g_pMiddle->ChangePlayer(player->GetNameCopy());
                    if (g_pGarden) g_pGarden->WriteSettings();
                    g_pMiddle->ShowGameWindow("main", 1);
                }
            }
            break;
        case vek::cGUI::e_wndSliderChange:
            if (g_pProfileSlider && g_pProfileList && static_cast<int>(b) == g_pProfileSlider->GetID() && b != 0) {
                const int first = static_cast<int>(g_pProfileSlider->GetMax()) - static_cast<int>(a);
                if (first >= 0) g_pProfileList->SetFirstVisible(static_cast<unsigned>(first));
            }
            break;
        case kMsgDeleteProfile:
            DeleteAt(static_cast<int>(a));
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}

// ---- a new profile ----

int cProfileAddWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndDestroy) g_pNameEdit = nullptr;
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            g_pNameEdit = GetWindowControlAs<vek::cEditCtrl>(window, "name");
            if (!g_pNameEdit) return OnError(window, "elements not found");
            break;
        case vek::cGUI::e_wndShow:
            if (g_pNameEdit) {
                vek::string login = vek::g_pGame ? vek::g_pGame->strUserName : vek::string();
                const int most = g_pNameEdit->GetMaxLength();
                if (most >= 0 && login.size() > static_cast<size_t>(most)) login.resize(static_cast<size_t>(most));
                g_pNameEdit->SetText(login);
            }
            break;
        case vek::cGUI::e_wndUpdateHover:
            if (g_pNameEdit) window->SetActiveControl(g_pNameEdit);
            break;
        case vek::cGUI::e_wndKeyDown:
            if (a == vek::e_keyEscape)
                ClickControl(window, "cancel");
            else if (a == vek::e_keyEnter)
                ClickControl(window, "ok");
            break;
        case vek::cGUI::e_wndCommand: {
            if (!g_pGarden) break;
            if (IsControl(window, b, "ok") && g_pNameEdit) {
                const vek::string name = TrimProfileName(g_pNameEdit->GetText());
                if (name.empty()) {
                    g_pGarden->ShowMessageBox(0, 0, GetLocaleGD().ErrorEmptyPlayerName, "");
                    break;
                }
                if (g_pGarden->FindPlayer(name)) {
                    g_pGarden->ShowMessageBox(0, 0, GetLocaleGD().ErrorPlayerExist, "");
                    break;
                }
                auto* player = dynamic_cast<cPlayer*>(g_pGarden->CreatePlayer(""));
                if (!player) break;
                player->m_strName = name;
                // On disk at once, before the settings name it as current:
                // a program ended now still finds the profile by its name.
                player->SavePlayer();
                g_pGarden->AddPlayer(player);
                g_pGarden->ChangePlayer(name);
                g_pGarden->WriteSettings();
            }
            g_pGarden->ShowGameWindow("profile_select", 1);
            break;
        }
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
