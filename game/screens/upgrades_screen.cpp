#include "game/screens/upgrades_screen.h"

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "game/screens/controls.h"
#include "game/screens/mission_common.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"

namespace {

constexpr float kCloseDelay = 0.9f;

struct cUpgradeInfo {
    const char* sheet;
    const char* sprite;
    vek::string cLocaleGD::*text;
};

// By cUpgrades::eUpgrade.
const cUpgradeInfo kUpgrades[cUpgrades::kCount] = {
    {"gui_ups00", "speed", &cLocaleGD::UpSpeedGardener},
    {"gui_ups00", "volume_water", &cLocaleGD::UpVolumeWater},
    {"gui_ups00", "volume_bin", &cLocaleGD::UpVolumeBin},
    {"gui_ups01", "time_water", &cLocaleGD::UpTimeWater},
    {"gui_ups01", "time_weed", &cLocaleGD::UpTimeWeed},
    {"gui_ups00", "time_bin", &cLocaleGD::UpTimeBin},
};

// The box's picture of a part (e_cbNormal, e_cbPush) from a sprite, when
// the sprite exists.
void SetBoxPicture(cCheckBoxUpCtrl* box, const vek::string& sheet, const vek::string& sprite, int part)
{
    cSprite found;
    if (!g_pGarden || !g_pGarden->GetSprite(sheet, &found, sprite)) return;
    const vek::rectf& frame = found.pFrames[0];
    box->SetTexture(sheet, part);
    box->SetUVPos(frame.x, frame.y, part);
    box->SetUVSize(frame.w, frame.h, part);
}

} // namespace

vek::string GetUpgradeText(int index)
{
    if (index < 0 || index >= cUpgrades::kCount) return vek::string();
    return GetLocaleGD().*(kUpgrades[index].text);
}

bool GetUpgradeIcon(int index, vek::string& sheet, vek::string& sprite)
{
    if (index < 0 || index >= cUpgrades::kCount) return false;
    sheet = kUpgrades[index].sheet;
    sprite = kUpgrades[index].sprite;
    return true;
}

bool cUpWF::FindControls(vek::cWindow* window)
{
    g_vecCheckGroup.clear();
    for (int i = 0; i < kChoices; ++i) {
        const vek::string n = vek::Formatted("%i", i);
        m_pChoices[i] = GetWindowControlAs<cCheckBoxUpCtrl>(window, "ch" + n);
        m_pPrices[i] = GetWindowControlAs<vek::cLabelCtrl>(window, "price" + n);
        if (!m_pChoices[i] || !m_pPrices[i]) return false;
        m_pChoices[i]->SetStarCount(3);
        g_vecCheckGroup.push_back(m_pChoices[i]->GetID());
    }
    m_pDesc = GetWindowControlAs<vek::cLabelCtrl>(window, "desc");
    m_pDone = GetWindowControl(window, "done");
    m_pBank = GetWindowControlAs<vek::cLabelCtrl>(window, "bank");
    return m_pDesc && m_pDone && m_pBank;
}

int cUpWF::OfferOfControl(int id) const
{
    // A hidden choice (one the player cannot pay) is no choice.
    for (int i = 0; i < kChoices && static_cast<size_t>(i) < m_Offers.size(); ++i)
        if (id != 0 && m_pChoices[i]->GetID() == id && m_pChoices[i]->GetState(vek::cCtrl::e_Visibility)) return i;
    return -1;
}

void cUpWF::Show(vek::cWindow* window)
{
    ClearTimer(m_Close);
    g_pGarden->SetFlowState(cGarden::e_playUpgrades);
    m_strChosen.clear();
    m_Offers = g_pGarden->GetUpgradeOffers();
    cPlayer* player = g_pGarden->GetPlayer();
    if (m_Offers.empty() || !player) {
        // Nothing left to offer: no offer waits any more.
        if (player) player->m_iWinStep = cPlayer::e_winNone;
        if (window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
        return;
    }
    for (int i = 0; i < kChoices; ++i) {
        cCheckBoxUpCtrl* box = m_pChoices[i];
        vek::cLabelCtrl* price = m_pPrices[i];
        const bool offered = static_cast<size_t>(i) < m_Offers.size();
        ShowControl(box, offered);
        ShowControl(price, offered);
        if (!offered) continue;
        const int u = m_Offers[static_cast<size_t>(i)];
        box->DisableState(vek::cCtrl::e_Disabled);
        box->SetCheck(false);
        const int p = player->m_Upgrades.GetPrice(u);
        // What the player cannot pay is not offered.
        if (p > player->m_iIslandMoney) {
            ShowControl(box, false);
            ShowControl(price, false);
        }
        price->SetText(vek::Formatted("$%i", p));
        box->SetFilledStars(player->m_Upgrades.GetLevel(u));
        vek::string sheet, sprite;
        if (GetUpgradeIcon(u, sheet, sprite)) {
            SetBoxPicture(box, sheet, sprite, vek::cCtrl::e_cbNormal);
            SetBoxPicture(box, sheet, sprite + "_checked", vek::cCtrl::e_cbPush);
        }
    }
    m_pDesc->SetText("");
    m_pDone->EnableState(vek::cCtrl::e_Disabled);
}

void cUpWF::Buy()
{
    cPlayer* player = g_pGarden->GetPlayer();
    for (int i = 0; player && i < kChoices && static_cast<size_t>(i) < m_Offers.size(); ++i) {
        cCheckBoxUpCtrl* box = m_pChoices[i];
        if (!box->IsChecked()) continue;
        const int u = m_Offers[static_cast<size_t>(i)];
        const int p = player->m_Upgrades.GetPrice(u);
        // Paid for, or not granted: funds that shrank since the screen was
        // shown (or an upgrade already at its top) buy nothing.
        const int before = player->m_iIslandMoney;
        if (p > 0 && p <= before) {
            g_pGarden->SpendIslandMoney(p);
            if (player->m_iIslandMoney == before - p) {
                player->m_Upgrades.Upgrade(u);
                cFlyingItem* item = AddFlyingIcon("peacock01", "money", -0.1f, 1);
                if (item) {
                    item->AddPoint(ControlCentre(m_pBank), 0.0f);
                    item->AddPoint(ControlCentre(box), 0.6f);
                }
                PlayScreenSound(e_sndMoneyInc);
            }
        }
        break;
    }
    // The offer is taken: the upgrade and its price are kept at once, and
    // the win goes on with its result sequence.
    if (player) {
        player->m_iWinStep = cPlayer::e_winNone;
        player->SaveGameDuringResults();
    }
    StartTimer(m_Close, kCloseDelay);
    m_pDone->EnableState(vek::cCtrl::e_Disabled);
    for (cCheckBoxUpCtrl* box : m_pChoices) box->EnableState(vek::cCtrl::e_Disabled);
}

int cUpWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            if (!FindControls(window)) return OnError(window, "wndAfterCreate");
            break;
        case vek::cGUI::e_wndShow:
            if (g_pGarden) {
                Show(window);
                // An empty offer hides the screen again at once: it never
                // fades in.
                if (m_Offers.empty()) return 0;
            }
            break;
        case vek::cGUI::e_wndCheck: {
            const int chosen = OfferOfControl(static_cast<int>(b));
            const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
            if (chosen < 0 || !player || m_Close.m_To > 0.0f) break;
            CheckGroupControl(window, static_cast<int>(b));
            for (int i = 0; i < kChoices && static_cast<size_t>(i) < m_Offers.size(); ++i) {
                const int u = m_Offers[static_cast<size_t>(i)];
                const int level = player->m_Upgrades.GetLevel(u);
                if (i == chosen) {
                    m_strChosen = GetUpgradeText(u);
                    m_pChoices[i]->SetFilledStars(level + 1);
                } else {
                    m_pChoices[i]->SetFilledStars(level);
                }
            }
            m_pDesc->SetText(m_strChosen);
            m_pDone->DisableState(vek::cCtrl::e_Disabled);
            break;
        }
        case vek::cGUI::e_wndMouseEnter: {
            const int over = OfferOfControl(static_cast<int>(b));
            if (over >= 0) m_pDesc->SetText(GetUpgradeText(m_Offers[static_cast<size_t>(over)]));
            break;
        }
        case vek::cGUI::e_wndMouseLeave:
            m_pDesc->SetText(m_strChosen);
            break;
        case vek::cGUI::e_wndCommand:
            // Once paid, the screen only waits to close: a second "done"
            // must not buy again.
            if (g_pGarden && b != 0 && static_cast<int>(b) == m_pDone->GetID() && m_Close.m_To == 0.0f) Buy();
            break;
        case vek::cGUI::e_wndTimer: {
            const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
            if (player) m_pBank->SetText(vek::Formatted("%i", player->m_iIslandMoney));
            const float dt = window->GetGUI() ? window->GetGUI()->ParamToTime(a) : 0.0f;
            if (m_Close.Update(dt) == vek::mover<float>::e_Arrived && window->GetGUI())
                window->GetGUI()->HideWindow(window->GetName());
            break;
        }
        case vek::cGUI::e_wndHide:
            if (g_pGarden) g_pGarden->SetFlowState(cGarden::e_playLevel);
            FocusWidget("island");
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
