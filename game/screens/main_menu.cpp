#include "game/screens/main_menu.h"

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/core/input.h"
#include "engine/core/locale.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/message_box.h"
#include "game/shell/comics.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/world/island.h"

namespace {

// The main menu's profile label and the text the script gave it, which is
// the format of the greeting (one "%s" for the player's name).
vek::cLabelCtrl* g_pProfileLabel = nullptr;
vek::string g_strProfileTemplate;
// The first show of the main menu in a run centres the island view on the
// level the player has reached.
bool g_bMainFirstShow = true;
// The progress from which the level map scrolls.
constexpr int kFirstScrolledProgress = 7;
// The pause menu's restart button, disabled outside a level.
vek::cCtrl* g_pRestartButton = nullptr;

cIsland* Island() { return g_pGarden ? g_pGarden->m_pIsland : nullptr; }

vek::string FocusName() { return vek::g_pGame ? vek::g_pGame->GetFocusWidgetName() : vek::string(); }

// The main menu shows over the island's level map too (the pause menu's
// "btEnd" there): focusing the widget that has the focus would only log a
// warning.
void Focus(const char* widget)
{
    if (vek::g_pGame && FocusName() != widget) vek::g_pGame->SetFocusWidget(widget);
}

bool ShowWindow(const char* name, int param) { return g_pMiddle && g_pMiddle->ShowGameWindow(name, param); }

// Over the island's menu backdrop or level map, not in a level and not on
// the result screen after one.
bool OnIslandMenus()
{
    const cIsland* island = Island();
    return FocusName() == "island" && !(island && island->iMode == cIsland::e_modeLevel);
}

void LowerPause()
{
    if (vek::g_pGame && vek::g_pGame->iPause > 0) --vek::g_pGame->iPause;
}

} // namespace

void AskQuestion(const vek::string& text, const vek::string& command)
{
    cMessageBoxWF* box = g_pMiddle ? g_pMiddle->GetMessageBox() : nullptr;
    if (!box) return;
    const vek::cLocale& locale = vek::GetLocale();
    box->SetText(text, "");
    box->SetImage("icon_question", "icon_question");
    box->SetButtons(locale.Yes, locale.No);
    box->SetCommand(command);
    g_pMiddle->ShowGameWindow("messagebox", 1);
}

// ---- main menu ----

int cMainGDWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            // One main window per game object: its first show is the run's.
            g_bMainFirstShow = true;
            break;
        case vek::cGUI::e_wndShow: {
            cIsland* island = Island();
            if (island) island->SetMode(cIsland::e_modeNone);
            Focus("island");
            if (g_bMainFirstShow) {
                g_bMainFirstShow = false;
                const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
                // Only a map the player can scroll is centred: before level 7
                // it stays at the picture's top, where its first points and
                // buildings lie clear of the score panel; a view centred lower
                // could not be scrolled back.
                if (island && player && player->m_iProgress >= kFirstScrolledProgress && g_pGarden->CanScrollIsland()) {
                    const int progress = player->m_iProgress;
                    if (progress >= 0 && progress < static_cast<int>(island->vecLevelPoints.size())) {
                        const vek::vec2& point = island->vecLevelPoints[static_cast<size_t>(progress)];
                        island->CenterView(point.x, point.y);
                    }
                }
            }
            break;
        }
        case vek::cGUI::e_wndCommand:
            if (IsControl(window, b, "btStart")) {
                const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
                if (!player) break;
                if (player->m_iProgress == 0 && player->m_iContinueLevel < 0) {
                    // A new game begins with the comic strip.
                    g_pGarden->HideAllWindows();
                    if (g_pGarden->m_pComics) g_pGarden->m_pComics->SetEpisode(0);
                    Focus("comics");
                } else {
                    if (cIsland* island = Island()) island->SetMode(cIsland::e_modeIsland);
                    // A won level is no game to give up: what its win still
                    // offers (the upgrade, the building that opens the next
                    // level) comes at once, and only a level in play is asked
                    // about.
                    if (player->HasWinToResume())
                        g_pGarden->ContinueGame();
                    else if (player->HasGameToContinue())
                        AskQuestion(GetLocaleGD().MessageContinueLast, "continue_last");
                }
            } else if (IsControl(window, b, "btExit")) {
                // The question replaces the generic layer's quit.
                AskQuestion(GetLocaleGD().ConfirmExitGame, "exit_game");
                return cBaseWF::Call(window, message, a, b);
            }
            break;
        default:
            break;
        }
    }
    return cMainWF::Call(window, message, a, b);
}

int cMainWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndDestroy) g_pProfileLabel = nullptr;
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndKeyDown:
            if (a == vek::e_keyEscape) ClickControl(window, "btExit");
            break;
        case vek::cGUI::e_wndAfterCreate:
            if (auto* label = GetWindowControlAs<vek::cLabelCtrl>(window, "lbProfile")) {
                g_pProfileLabel = label;
                g_strProfileTemplate = label->GetText();
            } else if (!g_pProfileLabel) {
                return OnError(window, "lbProfile or btProfile not found");
            }
            break;
        case vek::cGUI::e_wndUpdateHover: {
            const vek::string name = g_pMiddle && g_pMiddle->GetCurrentPlayer() ? g_pMiddle->GetPlayerName() : "";
            if (!name.empty()) {
                if (g_pProfileLabel) g_pProfileLabel->SetText(vek::Formatted(g_strProfileTemplate.c_str(), name));
            } else {
                ClickControl(window, "btProfile");
            }
            break;
        }
        case vek::cGUI::e_wndCommand:
            if (IsControl(window, b, "btProfile"))
                ShowWindow("profile_select", 1);
            else if (IsControl(window, b, "btOptions"))
                ShowWindow("options", 1);
            else if (IsControl(window, b, "btHighscores"))
                ShowWindow("highscores", 1);
            else if (IsControl(window, b, "btHelp"))
                ShowWindow("help", 1);
            else if (IsControl(window, b, "btExit") && vek::g_pGame)
                vek::g_pGame->Exit(0);
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}

// ---- pause menu ----

int cEscapeGDWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndDestroy) g_pRestartButton = nullptr;
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndShow:
            if (g_pRestartButton) {
                if (OnIslandMenus())
                    g_pRestartButton->EnableState(vek::cCtrl::e_Disabled);
                else
                    g_pRestartButton->DisableState(vek::cCtrl::e_Disabled);
            }
            break;
        case vek::cGUI::e_wndHide:
            LowerPause();
            break;
        case vek::cGUI::e_wndAfterCreate:
            g_pRestartButton = GetWindowControl(window, "btRestart");
            break;
        case vek::cGUI::e_wndCommand:
            if (IsControl(window, b, "btResume")) {
                const vek::string focused = FocusName();
                if (window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
                ShowWindow(focused.c_str(), 2);
                ShowWindow("score", 2);
            } else if (IsControl(window, b, "btRestart")) {
                // A disabled button is not pressed from code either: there
                // is no level to restart over the island's menus.
                if (!(g_pRestartButton && g_pRestartButton->GetState(vek::cCtrl::e_Disabled)))
                    AskQuestion(GetLocaleGD().MessageRestartLevel, "restart_level");
            } else if (IsControl(window, b, "btEnd")) {
                if (OnIslandMenus())
                    ShowWindow("main", 1);
                else
                    AskQuestion(GetLocaleGD().MessageExitLevel, "exit_level");
            }
            break;
        default:
            break;
        }
    }
    return cEscapeWF::Call(window, message, a, b);
}

int cEscapeWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndKeyDown:
            if (a == vek::e_keyEscape) ClickControl(window, "btResume");
            break;
        case vek::cGUI::e_wndShow:
            if (vek::g_pGame && vek::g_pGame->iPause == 0) vek::g_pGame->iPause = 1;
            break;
        case vek::cGUI::e_wndRButtonDown:
            ClickControl(window, "btResume");
            break;
        case vek::cGUI::e_wndCommand:
            if (IsControl(window, b, "btOptions"))
                ShowWindow("options", 2);
            else if (IsControl(window, b, "btExit") && vek::g_pGame)
                vek::g_pGame->Exit(0);
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
