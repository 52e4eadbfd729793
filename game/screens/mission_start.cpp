#include "game/screens/mission_start.h"

#include <cmath>

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "game/screens/mission_common.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level_task.h"

namespace {

// A task that joins after this many seconds comes later in the level.
constexpr float kLater = 1.1920929e-7f;

void ShowRow(const cMissionStartWF::cRow& row, bool shown)
{
    ShowControl(row.pIcon, shown);
    ShowControl(row.pText, shown);
    ShowControl(row.pNumber, shown);
}

} // namespace

vek::string FormatLevelTime(float seconds)
{
    // Whole seconds; a time past what an int holds is no level's.
    const double whole = std::isfinite(seconds) ? std::trunc(static_cast<double>(seconds)) : 0.0;
    const int total = whole <= 0.0 ? 0 : whole >= 2147483647.0 ? 2147483647 : static_cast<int>(whole);
    const int minutes = total / 60;
    const int rest = total % 60;
    return vek::Formatted(rest >= 10 ? "%i:%i" : "%i:0%i", minutes, rest);
}

bool cMissionStartWF::FindControls(vek::cWindow* window)
{
    bool whole = true;
    auto row = [&](const vek::string& suffix, cRow& r) {
        r.pIcon = GetWindowControlAs<vek::cImageCtrl>(window, "icon" + suffix);
        r.pText = GetWindowControlAs<vek::cLabelCtrl>(window, "text" + suffix);
        r.pNumber = GetWindowControlAs<vek::cLabelCtrl>(window, "number" + suffix);
        whole = whole && r.pIcon && r.pText && r.pNumber;
    };
    for (int i = 0; i < kRows; ++i) row(vek::Formatted("%i", i), m_Rows[i]);
    row("", m_Building);
    m_pBuild = GetWindowControl(window, "build");
    m_pTasks = GetWindowControlAs<vek::cLabelCtrl>(window, "tasks");
    m_pTime = GetWindowControlAs<vek::cLabelCtrl>(window, "time");
    return whole && m_pBuild && m_pTasks;
}

void cMissionStartWF::Fill()
{
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    const int level = player ? player->m_iLevel : 0;
    SetLabelText(m_pTasks, vek::Formatted(m_strCaption.c_str(), level + 1));

    // Only the tasks the level begins with: from the first one that joins
    // later on, every row is hidden.
    static const std::vector<cLevelTask> none;
    const std::vector<cLevelTask>& tasks = player ? player->m_TaskSet.vecTasks : none;
    bool hiding = false;
    for (int i = 0; i < kRows; ++i) {
        const size_t index = static_cast<size_t>(i);
        if (index >= tasks.size() || tasks[index].fTime > kLater) hiding = true;
        ShowRow(m_Rows[i], !hiding);
        if (hiding) continue;
        vek::string texture, sprite, text;
        int amount = 0;
        GetTaskInfo(tasks[index], texture, sprite, text, amount);
        SetImageSprite(m_Rows[i].pIcon, texture, sprite);
        SetLabelText(m_Rows[i].pText, text);
        SetLabelText(m_Rows[i].pNumber, vek::Formatted("x%i", amount));
    }

    const vek::string building = player ? player->m_TaskSet.strName : vek::string();
    const bool hasBuilding = !building.empty();
    ShowControl(m_pBuild, hasBuilding);
    ShowRow(m_Building, hasBuilding);
    if (hasBuilding) {
        vek::string texture, sprite, text;
        int value = 0;
        GetBuildingInfo(building, texture, sprite, text, value);
        SetImageSprite(m_Building.pIcon, texture, sprite);
        SetLabelText(m_Building.pText, text);
        SetLabelText(m_Building.pNumber, vek::Formatted("$%i", value));
    }

    SetLabelText(m_pTime, FormatLevelTime(player ? player->m_TaskSet.fTimeLimit : 0.0f));
}

int cMissionStartWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            if (!FindControls(window)) return OnError(window, "wndAfterCreate");
            m_strCaption = m_pTasks->GetText();
            break;
        case vek::cGUI::e_wndShow:
            if (g_pGarden) g_pGarden->SetFlowState(cGarden::e_playMissionStart);
            Fill();
            break;
        case vek::cGUI::e_wndHide:
            if (g_pGarden) g_pGarden->SetFlowState(cGarden::e_playLevel);
            break;
        case vek::cGUI::e_wndCommand:
            HideOnCommandFrom(window, b, "ok");
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
