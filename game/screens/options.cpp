#include "game/screens/options.h"

#include "engine/app/commands.h"
#include "engine/app/game.h"
#include "engine/core/input.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/listctrl.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "engine/sound/sound.h"
#include "game/screens/main_menu.h"
#include "game/shell/entry.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/world/effects.h"

const cResolutionRow g_aResolutions[kResolutionCount] = {
    {"800x600", 480000, 800, 600},
    {"1024x768", 786432, 1024, 768},
    {"1152x720", 829440, 1152, 720},
    {"1280x720", 921600, 1280, 720},
    {"1280x1024", 1310720, 1280, 1024},
};

const cResolutionRow* FindResolution(int data)
{
    for (const cResolutionRow& row : g_aResolutions)
        if (row.iData == data) return &row;
    return nullptr;
}

namespace {

// The controls the screen keeps for the run; null when the script made
// none (only the volumes are required).
vek::cSliderCtrl* g_pGamma = nullptr;
vek::cSliderCtrl* g_pSound = nullptr;
vek::cSliderCtrl* g_pMusic = nullptr;
vek::cSliderCtrl* g_pMouseSpeed = nullptr;
vek::cCheckBoxSysCtrl* g_pWindowed = nullptr;
vek::cCheckBoxSysCtrl* g_pHints = nullptr;
// Played while the sound volume moves, one at a time.
vek::cSound* g_pTyping = nullptr;
// The screen the options were opened from, taken when they show: a box
// shown over them (the window-mode refusal) changes the game's window
// parameter, and "Back" must still go where the player came from.
int g_iReturnTo = 0;

void ClientSize(int& width, int& height)
{
    width = 0;
    height = 0;
    if (vek::g_pGame) vek::g_pGame->GetClientSize(width, height);
}

bool Is(const vek::cCtrl* control, unsigned b) { return control && b != 0 && control->GetID() == static_cast<int>(b); }

void Forget()
{
    g_pGamma = g_pSound = g_pMusic = g_pMouseSpeed = nullptr;
    g_pWindowed = g_pHints = nullptr;
    delete g_pTyping;
    g_pTyping = nullptr;
}

} // namespace

int cOptionsGDWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndShow:
            if (g_pHints && g_pGarden) g_pHints->SetCheck(g_pGarden->GetTraining() != 0);
            break;
        case vek::cGUI::e_wndHide:
            if (g_pGarden && g_pGarden->GetTraining() == 0) g_pGarden->m_Training.Stop();
            break;
        case vek::cGUI::e_wndAfterCreate:
            g_pHints = GetWindowControlAs<vek::cCheckBoxSysCtrl>(window, "cbHints");
            g_pWindowed = GetWindowControlAs<vek::cCheckBoxSysCtrl>(window, "cbWindowed");
            break;
        case vek::cGUI::e_wndCheck:
            if (Is(g_pHints, b) && g_pGarden) {
                g_pGarden->SetTraining(static_cast<int>(a));
            } else if (Is(g_pWindowed, b) && g_bSmallWorkArea) {
                // A window would not fit the desktop: full screen stays.
                if (g_pGarden) g_pGarden->ShowMessageBox(0, 0, GetLocaleGD().ErrorWindowMode, "");
                g_pWindowed->SetCheck(false);
                return 0;
            }
            break;
        default:
            break;
        }
    }
    return cOptionsWF::Call(window, message, a, b);
}

int cOptionsWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    // The kept controls die with the window, whatever state the screen is in.
    if (message == vek::cGUI::e_wndDestroy) {
        Forget();
        g_iResolutionList = 0;
    }
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndKeyDown:
            if (a == vek::e_keyEscape) ClickControl(window, "btBack");
            break;
        case vek::cGUI::e_wndShow: {
            g_iReturnTo = g_pMiddle ? g_pMiddle->GetWindowParam() : 0;
            int width = 0, height = 0;
            ClientSize(width, height);
            SelectListItem(window, width * height);
            if (g_pWindowed && vek::g_pGame) g_pWindowed->SetCheck(vek::g_pGame->bWindowed);
            // The slider shows brightness: the higher, the lower the gamma.
            if (g_pGamma && vek::g_pGame) g_pGamma->SetValue(4.0f - vek::g_pGame->GetGamma());
            if (GetSoundManager()) {
                if (g_pSound) g_pSound->SetValue(GetSoundManager()->GetVolume(vek::cSoundManager::e_Sound));
                if (g_pMusic) g_pMusic->SetValue(GetSoundManager()->GetVolume(vek::cSoundManager::e_Music));
            }
            if (g_pMouseSpeed && g_pMiddle) g_pMouseSpeed->SetValue(g_pMiddle->m_Settings.fMouseSpeed);
            break;
        }
        case vek::cGUI::e_wndAfterCreate: {
            g_iResolutionList = window->FindControl("lstResolution");
            g_pGamma = GetWindowControlAs<vek::cSliderCtrl>(window, "slGamma");
            g_pSound = GetWindowControlAs<vek::cSliderCtrl>(window, "slSound");
            g_pMusic = GetWindowControlAs<vek::cSliderCtrl>(window, "slMusic");
            g_pMouseSpeed = GetWindowControlAs<vek::cSliderCtrl>(window, "slMouseSpeed");
            g_pWindowed = GetWindowControlAs<vek::cCheckBoxSysCtrl>(window, "cbWindowed");
            if (!g_pSound || !g_pMusic) return OnError(window, "one or more controls not found");
            if (auto* list = GetWindowControlAs<vek::cListSysCtrl>(window, "lstResolution")) {
                for (int i = 0; i < kResolutionCount; ++i)
                    list->InsertItem(static_cast<unsigned>(i), g_aResolutions[i].pszText,
                                     static_cast<unsigned>(g_aResolutions[i].iData));
            }
            // Without a sound manager there is nothing to play (and no
            // warning about a sample that cannot be found).
            if (!g_pTyping && GetSoundManager()) g_pTyping = new vek::cSound(vek::string("typing"));
            break;
        }
        case vek::cGUI::e_wndCommand:
            if (IsControl(window, b, "btBack") && g_pMiddle) {
                if (g_iReturnTo == 1)
                    g_pMiddle->ShowGameWindow("main", 1);
                else if (g_iReturnTo == 2)
                    g_pMiddle->ShowGameWindow("escape", 2);
            }
            break;
        case vek::cGUI::e_wndCheck:
            if (Is(g_pWindowed, b)) {
                int width = 0, height = 0;
                ClientSize(width, height);
                vek::SetDisplayMode(a == 1, width, height, 0);
            }
            break;
        case vek::cGUI::e_wndSliderChange: {
            // The message carries the value cut to a whole number, which
            // would leave a volume of 0 to 1 only its ends: the slider's own
            // value is the one to apply.
            if (Is(g_pGamma, b)) {
                if (vek::g_pGame) vek::g_pGame->SetGamma(4.0f - g_pGamma->GetValue());
            } else if (Is(g_pSound, b)) {
                if (g_pTyping && !g_pTyping->IsPlaying()) g_pTyping->Play(true);
                if (GetSoundManager())
                    GetSoundManager()->SetVolume(vek::cSoundManager::e_Sound, g_pSound->GetValue());
            } else if (Is(g_pMusic, b)) {
                if (GetSoundManager())
                    GetSoundManager()->SetVolume(vek::cSoundManager::e_Music, g_pMusic->GetValue());
            } else if (Is(g_pMouseSpeed, b)) {
                if (g_pMiddle) g_pMiddle->m_Settings.fMouseSpeed = g_pMouseSpeed->GetValue();
            }
            break;
        }
        case vek::cGUI::e_wndItemSelect: {
            if (b == 0 || static_cast<int>(b) != g_iResolutionList) break;
            auto* list = dynamic_cast<vek::cListCtrl*>(window->GetControl(b));
            if (!list || a >= list->GetItemCount() || !list->IsSelectedItem(a)) break;
            const bool windowed = g_pWindowed && g_pWindowed->IsChecked();
            int width = 0, height = 0;
            ClientSize(width, height);
            const int data = list->GetItemData(a);
            if (data == width * height) break;
            if (const cResolutionRow* row = FindResolution(data))
                vek::SetDisplayMode(windowed, row->iWidth, row->iHeight, 0);
            break;
        }
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
