#include "game/screens/score_panel.h"

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/mission_common.h"
#include "game/screens/screen_seams.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"
#include "game/world/hints.h"
#include "game/world/island.h"
#include "game/world/level_task.h"
#include "game/world/particles.h"

namespace {

constexpr uint32_t kBurstCount = 30;
constexpr float kBurstSpread = 15.0f;

struct cMedalPicture {
    int32_t iTexture = 0;
    vek::rectf uv;
    bool bFound = false;
};

struct cMedals {
    bool bLooked = false;
    cMedalPicture pictures[3];
    int iLastShown = -1;
};
cMedals g_Medals;

cMedalPicture LookupMedal(const char* area)
{
    cMedalPicture picture;
    cSprite sprite;
    if (FindSprite("icons01", area, &sprite) == e_spriteFound && sprite.iFrameCount > 0 && sprite.pFrames) {
        picture.iTexture = sprite.iTexture;
        picture.uv = sprite.pFrames[0];
        picture.bFound = true;
    }
    return picture;
}

vek::string FocusName() { return vek::g_pGame ? vek::g_pGame->GetFocusWidgetName() : vek::string(); }

} // namespace

int cScoreWF::GetLastMedal() { return g_Medals.iLastShown; }

void cScoreWF::ForgetMedal() { g_Medals = cMedals(); }

int cScoreWF::AfterCreate(vek::cWindow* window)
{
    m_pMoney = GetWindowControlAs<vek::cLabelCtrl>(window, "money");
    m_pClock = GetWindowControlAs<cClockCtrl>(window, "clock");
    m_pClockBack = GetWindowControl(window, "clock_back");
    m_pMedal = GetWindowControlAs<vek::cImageCtrl>(window, "clock_medal");
    m_TaskLines.clear();
    for (int i = 0; i < kTaskLines; ++i) {
        // A line of another class counts as missing.
        cTaskCtrl* line = GetWindowControlAs<cTaskCtrl>(window, vek::Formatted("task%i", i));
        if (!line) continue;
        line->SetIconCheck("icons00", "success");
        const vek::rectf r = line->GetRect();
        line->SetShownPos(vek::vec2(r.x, r.y));
        line->SetHiddenPos(vek::vec2(kHiddenTaskX, r.y));
        line->HideImmediately();
        m_TaskLines.push_back(line);
    }
    m_pMoneyFrame = GetWindowControl(window, "frmMoney");
    m_pMoneyImage = GetWindowControl(window, "imgMoney");
    m_pMoneyDeco[0] = GetWindowControl(window, "decMoney0");
    m_pMoneyDeco[1] = GetWindowControl(window, "decMoney1");
    if (!m_pMoney || !m_pClock || !m_pClockBack || !m_pMedal || !m_pMoneyFrame || !m_pMoneyImage || !m_pMoneyDeco[0] ||
        !m_pMoneyDeco[1])
        return OnError(window, "wndAfterCreate");
    m_pMedal->SetTexture("icons01");
    ShowControl(GetWindowControl(window, "dump_fps"), false);
    ShowControl(GetWindowControl(window, "dump_time"), false);
    return 0;
}

void cScoreWF::Tick(float seconds)
{
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    if (player) {
        const int money = FocusName() == "garden" ? player->m_iMoney : player->m_iIslandMoney;
        m_pMoney->SetText(vek::Formatted("%i", money));
    }
    if (g_pGarden) m_pClock->SetElapsed(g_pGarden->GetMedalProgress());

    if (!g_Medals.bLooked) {
        g_Medals.bLooked = true;
        const char* const names[3] = {"gold", "silver", "bronze"};
        for (int i = 0; i < 3; ++i) g_Medals.pictures[i] = LookupMedal(names[i]);
    }
    const bool medals = g_Medals.pictures[0].bFound && g_Medals.pictures[1].bFound && g_Medals.pictures[2].bFound;
    const int medal = g_pGarden ? g_pGarden->GetMedal() : 0;
    if (medals && medal >= 0 && medal < 3 && medal != g_Medals.iLastShown) {
        if (medal == 1) RequestHint(0, e_hintSilver);
        if (medal == 2) RequestHint(0, e_hintBronze);
        const cMedalPicture& picture = g_Medals.pictures[medal];
        m_pMedal->SetUVPos(picture.uv.x, picture.uv.y, 0);
        m_pMedal->SetUVSize(picture.uv.w, picture.uv.h, 0);
        g_Medals.iLastShown = medal;
        if (g_pGarden && g_pGarden->m_pParticles) {
            const vek::rectf r = m_pMedal->GetRect();
            g_pGarden->m_pParticles->EmitBurst(kBurstCount, kBurstSpread,
                                               vek::vec3(r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f));
        }
    }

    if (g_pGarden && g_pGarden->m_pTextPopups) g_pGarden->m_pTextPopups->Update(seconds);
    if (player && player->m_fClock > kTaskStartDelay)
        for (cTaskCtrl* line : m_TaskLines) line->Update(seconds);
}

void cScoreWF::ShowGroups(bool clock)
{
    const bool island = FocusName() == "island";
    if (clock) {
        ShowControl(m_pClock, !island);
        ShowControl(m_pClockBack, !island);
        ShowControl(m_pMedal, !island);
    }
    const bool levelMap = island && g_pGarden && g_pGarden->m_pIsland &&
                          g_pGarden->m_pIsland->iMode == cIsland::e_modeIsland;
    vek::cCtrl* const money[] = {m_pMoneyFrame, m_pMoney, m_pMoneyImage, m_pMoneyDeco[0], m_pMoneyDeco[1]};
    for (vek::cCtrl* c : money) ShowControl(c, !levelMap);
}

int cScoreWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (window && !IsLocked()) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            AfterCreate(window);
            // A panel without its controls stops here, without the base.
            if (IsLocked()) return 0;
            break;
        case vek::cGUI::e_wndPaint: {
            const int result = cBaseGDWF::Call(window, message, a, b);
            if (g_pGarden && g_pGarden->m_pTextPopups) g_pGarden->m_pTextPopups->Draw();
            return result;
        }
        case vek::cGUI::e_wndTimer:
            Tick(static_cast<float>(a) / 1000.0f);
            break;
        case vek::cGUI::e_wndShow:
            ShowGroups(true);
            break;
        case kMsgProgress:
            ShowGroups(false);
            break;
        case vek::cGUI::e_wndCommand: {
            vek::cCtrl* menu = GetWindowControl(window, "menu");
            if (menu && menu->GetID() == static_cast<int>(b)) {
                if (g_pGarden) g_pGarden->ShowGameWindow("escape", 2);
                break;
            }
            for (cTaskCtrl* line : m_TaskLines) {
                if (line->GetID() != static_cast<int>(b)) continue;
                if (g_pGarden) g_pGarden->ShowGameWindow("mission_goal", 2);
                break;
            }
            break;
        }
        default:
            break;
        }
    }
    return cBaseGDWF::Call(window, message, a, b);
}
