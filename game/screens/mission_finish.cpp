#include "game/screens/mission_finish.h"

#include <algorithm>
#include <cmath>

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/listctrl.h"
#include "engine/sound/sound.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/rules.h"
#include "game/world/ware.h"

namespace {

// The counts run in this many seconds.
constexpr float kCountTime = 1.2f;

const char* const kAnimalNames[4] = {"ostrich", "goat", "hive", "peacock"};

bool AwardFlag(int which) { return g_pGarden && g_pGarden->m_aiCounters[which] != 0; }

void Burst(const vek::cCtrl* control, uint32_t count, float spread)
{
    if (!g_pGarden || !g_pGarden->m_pParticles || !control) return;
    const vek::vec2 c = ControlCentre(control);
    g_pGarden->m_pParticles->EmitBurst(count, spread, vek::vec3(c.x, c.y, 0.0f));
}

// A toolbar's visible item count, held where an int holds it.
int ToolbarVisible(const vek::cListCtrl& bar) { return static_cast<int>(std::min(bar.GetVisibleCount(), 1000000u)); }

// The width of a toolbar's strip of n items.
float StripWidth(const vek::cListCtrl& bar, int n)
{
    if (bar.GetItemCount() == 0) return 0.0f;
    return (bar.GetItemSize().x + 3.0f) * static_cast<float>(std::min(n, ToolbarVisible(bar))) - 3.0f;
}

bool HasAffordableOffer(const cPlayer& player)
{
    for (int u : g_pGarden->GetUpgradeOffers()) {
        const int price = player.m_Upgrades.GetPrice(u);
        if (price > 0 && price <= player.m_iIslandMoney) return true;
    }
    return false;
}

} // namespace

int TimeBonus(float left)
{
    if (!(left > 0.0f)) return 0;
    // Two units a second; a limit beyond any level's is held where the sum
    // still fits an int.
    const double units = std::min(std::trunc(2.0 * static_cast<double>(left)), 4.0e8);
    const double bonus = 5.0 * std::trunc((units + 2.5) / 5.0);
    return std::max(5, static_cast<int>(bonus));
}

bool cMissionFinishWF::HasPendingAwards() const
{
    return m_bMedalPending || m_MedalTimer.m_To > 0.0f || m_bSortPending || m_bAnimalPending || m_bBedsPending ||
           m_bUpgradePending || (AwardFlag(e_AwardSort) && m_SortTimer.m_To > 0.0f) ||
           (AwardFlag(e_AwardAnimal) && m_AnimalTimer.m_To > 0.0f);
}

bool cMissionFinishWF::FindControls(vek::cWindow* window)
{
    bool whole = true;
    for (int i = 0; i < kAwardLines; ++i) {
        const vek::string n = vek::Formatted("%i", i);
        m_pAwardText[i] = GetWindowControlAs<vek::cLabelCtrl>(window, "lbAward" + n);
        m_pAwardPicture[i] = GetWindowControlAs<vek::cImageCtrl>(window, "imgAward" + n);
        whole = whole && m_pAwardText[i] && m_pAwardPicture[i];
    }
    m_pBank = GetWindowControlAs<vek::cLabelCtrl>(window, "lbBank");
    m_pMedalPicture = GetWindowControlAs<vek::cImageCtrl>(window, "imgMedal");
    m_pCaption = GetWindowControlAs<vek::cLabelCtrl>(window, "caption");
    if (!whole || !m_pBank || !m_pMedalPicture || !m_pCaption) return false;
    m_pMedalPicture->SetTexture("houses05");
    m_strCaption = m_pCaption->GetText();
    return true;
}

void cMissionFinishWF::FindOtherControls()
{
    if (m_bOthersLooked) return;
    m_bOthersLooked = true;
    m_pScoreMoney = ::FindControl("score", "imgMoney");
    m_pScoreClock = ::FindControl("score", "clock");
    m_pScoreMedal = ::FindControl("score", "clock_medal");
    m_pPlants = dynamic_cast<vek::cListCtrl*>(::FindControl("garden", "plants"));
    m_pAnimals = dynamic_cast<vek::cListCtrl*>(::FindControl("garden", "animals"));
}

void cMissionFinishWF::Start()
{
    cPlayer* player = g_pGarden->GetPlayer();
    const int level = player ? player->m_iLevel : 0;
    m_pCaption->SetText(vek::Formatted(m_strCaption.c_str(), level + 1));

    if (g_pGarden->m_pGameMusic && g_pGarden->m_pGameMusic->IsPlaying()) g_pGarden->m_pGameMusic->Pause();
    g_pGarden->SetFlowState(cGarden::e_playMissionFinish);
    // While the result is counted every tool is offered.
    if (g_pGarden->m_pLevel) g_pGarden->m_pLevel->UpdateToolbars();

    m_iMedal = g_pGarden->m_iLastMedal;
    ShowControl(m_pMedalPicture, false);
    m_bMedalPending = true;
    m_bSortPending = AwardFlag(e_AwardSort);
    m_bBedsPending = AwardFlag(e_AwardBeds);
    m_bUpgradePending = AwardFlag(e_AwardUpgrade);
    m_bAnimalPending = AwardFlag(e_AwardAnimal);
    m_bDone = false;
    m_bKept = false;
    m_iBankStart = player ? player->m_iIslandMoney : 0;
    m_iMoneyStart = player ? player->m_iMoney : 0;
    for (int i = 0; i < kAwardLines; ++i) {
        ShowControl(m_pAwardText[i], false);
        ShowControl(m_pAwardPicture[i], false);
    }
    m_iNextLine = 0;

    PlayScreenSound(e_sndLevelSuccess);

    m_Money.Clear();
    m_Money.SetTarget(m_iMoneyStart);
    if (m_Money.iTo >= 1) m_Money.SetSpeed(static_cast<float>(m_Money.iTo) / kCountTime);

    const float clock = player ? player->m_fClock : 0.0f;
    const float limit = player ? player->m_TaskSet.fTimeLimit : 0.0f;
    ClearTimer(m_Clock);
    m_Clock.Reset(clock);
    m_Bonus.Clear();
    const float left = limit - clock;
    if (left > 0.0f) {
        m_Bonus.SetTarget(TimeBonus(left));
        if (m_Bonus.iTo >= 1) m_Bonus.SetSpeed(static_cast<float>(m_Bonus.iTo) / kCountTime);
        // The score panel's clock runs up to the limit with the count.
        m_Clock.m_fSpeed = left / kCountTime;
        m_Clock.SetTarget(limit);
    }
    ClearTimer(m_Coin);

    StartTimer(m_SortTimer, 2.0f);
    StartTimer(m_AnimalTimer, 2.0f);
    StartTimer(m_MedalTimer, 1.0f);
    StartTimer(m_Pause, 2.0f);
}

void cMissionFinishWF::FlyCoin(float dt, vek::cCtrl* from)
{
    if (m_Coin.Update(dt) == vek::mover<float>::e_Moving || m_bDone || !from || !m_pBankPicture) return;
    FlyIcon("peacock01", "money", -0.1f, ControlCentre(from), ControlCentre(m_pBankPicture), vek::vec2(30.0f, 30.0f));
    StartTimer(m_Coin, 0.3f);
    PlayScreenSound(e_sndMoneyInc);
}

void cMissionFinishWF::FlyStar(const vek::vec2& from, const vek::vec2& to)
{
    cFlyingItem* item = AddFlyingIcon("peacock01", "star", -0.1f, 5);
    if (!item) return;
    item->AddPoint(from, 0.0f);
    item->AddPoint(Lerp(from, to, 0.3f) + vek::vec2(100.0f, 0.0f), 0.7f);
    item->AddPoint(Lerp(from, to, 0.6f) - vek::vec2(100.0f, 0.0f), 1.4f);
    item->AddPoint(to, 2.0f);
}

vek::cImageCtrl* cMissionFinishWF::ShowAwardLine(const vek::string& text, const vek::string& texture,
                                                 const vek::string& area)
{
    // No level gives more than three awards; a fourth is granted without a
    // line of its own.
    if (m_iNextLine < 0 || m_iNextLine >= kAwardLines) return nullptr;
    const int k = m_iNextLine++;
    ShowControl(m_pAwardText[k], true);
    m_pAwardText[k]->SetText(text);
    vek::cImageCtrl* picture = m_pAwardPicture[k];
    ShowControl(picture, true);
    Burst(picture, 25, 10.0f);
    SetImageSprite(picture, texture, area);
    return picture;
}

void cMissionFinishWF::Step(float dt, bool settle)
{
    cPlayer* player = g_pGarden->GetPlayer();
    if (!player) return;
    // From the end of the sequence on, everything runs in one pass, without
    // flights and without the "good" sound.
    const bool fly = !m_bDone;

    m_pBank->SetText(vek::Formatted("%i", player->m_iIslandMoney));

    if (settle) ClearTimer(m_Pause);
    if (m_Pause.Update(dt) == vek::mover<float>::e_Moving) return;

    FindOtherControls();

    // The level's money into the bank.
    if (m_Money.iTo >= 1) {
        FlyCoin(dt, m_pScoreMoney);
        const int r = m_Money.Update(dt);
        player->m_iIslandMoney = SaturatingAdd(m_iBankStart, m_Money.iValue);
        g_pGarden->SetMoney(m_iMoneyStart - m_Money.iValue);
        if (r != 1) {
            m_Money.Clear();
            StartTimer(m_Pause, 1.0f);
            m_iBankStart = player->m_iIslandMoney;
        }
        if (fly) return;
    }

    // The bonus for the time left, with the clock running up to the limit.
    if (m_Bonus.iTo >= 1) {
        FlyCoin(dt, m_pScoreClock);
        m_Clock.Update(dt);
        player->m_fClock = m_Clock.m_Value;
        const int r = m_Bonus.Update(dt);
        player->m_iIslandMoney = SaturatingAdd(m_iBankStart, m_Bonus.iValue);
        if (r != 1) {
            m_Bonus.Clear();
            StartTimer(m_Pause, 1.0f);
            m_iBankStart = player->m_iIslandMoney;
        }
        if (fly) return;
    }

    // The medal flies from the score panel's clock ...
    if (m_bMedalPending) {
        m_bMedalPending = false;
        if (fly) {
            // Without the panel's medal it lands without a flight.
            if (!m_pScoreMedal) return;
            const char* area = m_iMedal == 1 ? "silver" : m_iMedal == 2 ? "bronze" : "gold";
            FlyIcon("icons01", area, 0.0f, ControlCentre(m_pScoreMedal), ControlCentre(m_pMedalPicture),
                    vek::vec2(-30.0f, 30.0f));
            PlayScreenSound(e_sndMoneyInc);
            return;
        }
    }

    // ... and lands.
    if (m_MedalTimer.m_To > 0.0f) {
        if (m_MedalTimer.Update(dt) != vek::mover<float>::e_Moving) {
            ClearTimer(m_MedalTimer);
            cSprite medal;
            if (g_pGarden->GetMedalSprite(m_iMedal, &medal)) {
                m_pMedalPicture->SetUVPos(medal.pFrames[0].x, medal.pFrames[0].y, 0);
                m_pMedalPicture->SetUVSize(medal.pFrames[0].w, medal.pFrames[0].h, 0);
            }
            ShowControl(m_pMedalPicture, true);
            Burst(m_pMedalPicture, 30, 15.0f);
            PlayScreenSound(e_sndGoalDone);
            StartTimer(m_Pause, 0.8f);
            m_iMedal = -1;
        }
        if (fly) return;
    }

    // A new plant sort: its line, and a star flying to the plant toolbar.
    if (m_bSortPending) {
        m_bSortPending = false;
        const int32_t unlocked = player->m_iSorts;
        const cSort* sort = nullptr;
        if (g_pWareManager && unlocked >= 0 && unlocked < kLastSort) {
            sort = g_pWareManager->GetSort(static_cast<uint32_t>(unlocked + 1));
            if (sort == g_pWareManager->DefaultSort()) sort = nullptr;
        }
        if (!sort) {
            // Every sort is there already (a replayed level): nothing to
            // show, nothing to grant.
            ClearTimer(m_SortTimer);
        } else {
            if (fly) PlayScreenSound(e_sndGood);
            vek::cImageCtrl* picture = ShowAwardLine(sort->strTitle, "icons00", sort->strName);
            if (m_pPlants) {
                const vek::rect<float> r = m_pPlants->GetRect();
                const int visible = ToolbarVisible(*m_pPlants);
                vek::vec2 spot(r.x + StripWidth(*m_pPlants, unlocked + 1) - r.h * 0.5f, r.y + r.h * 0.5f);
                if (unlocked + 1 < visible) spot.x += m_pPlants->GetItemSize().x + 3.0f;
                if (fly && picture) FlyStar(ControlCentre(picture), spot);
                if (unlocked + 1 >= visible) m_pPlants->SetFirstVisible(static_cast<unsigned>(unlocked - visible + 1));
            }
            if (fly) return;
        }
    }

    if (AwardFlag(e_AwardSort) && m_SortTimer.m_To > 0.0f) {
        if (m_SortTimer.Update(dt) != vek::mover<float>::e_Moving) {
            g_pGarden->UnlockNextSort();
            ClearTimer(m_SortTimer);
            if (m_bAnimalPending || m_bUpgradePending || m_bBedsPending) StartTimer(m_Pause, 0.5f);
        }
        if (fly) return;
    }

    // A new animal: its line, and a star flying to the animal toolbar.
    if (m_bAnimalPending) {
        m_bAnimalPending = false;
        const int32_t kind = player->m_iAnimals + 1;
        if (kind < 0 || kind > 3) {
            ClearTimer(m_AnimalTimer);
        } else {
            if (fly) PlayScreenSound(e_sndGood);
            const cLocaleGD& locale = GetLocaleGD();
            const vek::string* titles[4] = {&locale.Ostrich, &locale.Goat, &locale.Hive, &locale.Peacock};
            vek::cImageCtrl* picture = ShowAwardLine(*titles[kind], "icons00", kAnimalNames[kind]);
            if (m_pAnimals && fly && picture) {
                const vek::rect<float> r = m_pAnimals->GetRect();
                // The animal toolbar's items are animals, not foods: its
                // strip is as wide as its visible items.
                const vek::vec2 spot(r.x + StripWidth(*m_pAnimals, 20) + r.h * 0.5f, r.y + r.h * 0.5f);
                FlyStar(ControlCentre(picture), spot);
            }
            if (fly) return;
        }
    }

    if (AwardFlag(e_AwardAnimal) && m_AnimalTimer.m_To > 0.0f) {
        if (m_AnimalTimer.Update(dt) != vek::mover<float>::e_Moving) {
            g_pGarden->UnlockNextAnimal();
            ClearTimer(m_AnimalTimer);
            if (m_bUpgradePending || m_bBedsPending) StartTimer(m_Pause, 0.5f);
        }
        if (fly) return;
    }

    // An upgrade offer, when the funds cover one.
    if (m_bUpgradePending) {
        m_bUpgradePending = false;
        if (fly) PlayScreenSound(e_sndGood);
        if (HasAffordableOffer(*player)) {
            ShowAwardLine(GetLocaleGD().AwardUp, "icons00", "star");
            if (m_bBedsPending) StartTimer(m_Pause, 0.5f);
        } else {
            g_pGarden->m_aiCounters[e_AwardUpgrade] = 0;
        }
        if (fly) return;
    }

    // More beds, when there is a larger layout left.
    if (m_bBedsPending) {
        m_bBedsPending = false;
        if (g_pGarden->ExpandGarden()) {
            if (fly) PlayScreenSound(e_sndGood);
            ShowAwardLine(GetLocaleGD().AwardHoles, "images00", "hole");
        }
    } else {
        m_bDone = true;
    }
    if (m_bDone && !m_bKept && !HasPendingAwards() && m_Money.iTo < 1 && m_Bonus.iTo < 1) KeepWin();
}

bool cMissionFinishWF::OffersUpgrade() const
{
    const cPlayer* player = g_pGarden->GetPlayer();
    return AwardFlag(e_AwardUpgrade) && player && HasAffordableOffer(*player);
}

void cMissionFinishWF::KeepWin()
{
    m_bKept = true;
    cPlayer* player = g_pGarden->GetPlayer();
    if (!player) return;
    // From here on the win is no game in play: a program ended on this
    // screen, on the upgrades screen or in the result sequence never plays
    // this finish again, and what the win still offers waits on disk.
    player->m_iWinStep = OffersUpgrade() ? cPlayer::e_winUpgrades : cPlayer::e_winNone;
    player->SaveGameDuringResults();
}

void cMissionFinishWF::Skip()
{
    m_Money.Finish();
    m_Bonus.Finish();
    FinishTimer(m_Clock);
    FinishTimer(m_MedalTimer);
    FinishTimer(m_SortTimer);
    FinishTimer(m_AnimalTimer);
    ClearTimer(m_Pause);
    m_bDone = true;
}

void cMissionFinishWF::Leave(vek::cWindow* window)
{
    // Awards still outstanding (a skip not yet followed by a timer step)
    // are granted before the screen goes: leaving must not lose them.
    if (HasPendingAwards() || m_Money.iTo >= 1 || m_Bonus.iTo >= 1) Step(0.0f, true);
    if (!m_bKept) KeepWin();
    if (window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
    cPlayer* player = g_pGarden->GetPlayer();
    if (player && player->m_iWinStep == cPlayer::e_winUpgrades) {
        if (g_pGarden->ShowGameWindow("up", 1)) return;
        // No screen to take it: the offer does not wait on disk either.
        player->m_iWinStep = cPlayer::e_winNone;
        player->SaveGameDuringResults();
    }
    FocusWidget("island");
}

int cMissionFinishWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            if (!FindControls(window)) return OnError(window, "wndAfterCreate");
            break;
        case vek::cGUI::e_wndShow:
            if (!m_bBankLooked) {
                m_bBankLooked = true;
                m_pBankPicture = GetWindowControl(window, "imgBank");
            }
            if (g_pGarden) Start();
            break;
        case vek::cGUI::e_wndHide:
            if (g_pGarden) g_pGarden->SetFlowState(cGarden::e_playLevel);
            break;
        case vek::cGUI::e_wndTimer:
            if (g_pGarden && window->GetGUI()) Step(window->GetGUI()->ParamToTime(a), false);
            break;
        case vek::cGUI::e_wndCommand:
            if (!g_pGarden || !IsControl(window, b, "ok")) break;
            if (m_bDone)
                Leave(window);
            else
                Skip();
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
