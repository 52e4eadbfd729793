#include "game/screens/mission_goal.h"

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "game/screens/mission_common.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level_task.h"
#include "game/world/training.h"

void cMissionGoalWF::Fill()
{
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    static const std::vector<cLevelTask> none;
    const std::vector<cLevelTask>& tasks = player ? player->m_TaskSet.vecTasks : none;
    for (size_t i = 0; i < m_Lines.size(); ++i) {
        const cLine& line = m_Lines[i];
        const bool shown = i < tasks.size();
        ShowControl(line.pIcon, shown);
        ShowControl(line.pText, shown);
        ShowControl(line.pNumber, shown);
        if (!shown) continue;
        vek::string texture, sprite, text;
        int amount = 0;
        GetTaskInfo(tasks[i], texture, sprite, text, amount);
        SetImageSprite(line.pIcon, texture, sprite);
        SetLabelText(line.pText, text);
        SetLabelText(line.pNumber, vek::Formatted("x%i", amount));
    }
}

int cMissionGoalWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    // Whatever the screen's state, a pause step it holds is given back when
    // it leaves the screen: a locked or fading screen must not keep the game
    // waiting.
    if (message == vek::cGUI::e_wndHideImmediately && m_bPauseRaised) {
        if (vek::g_pGame && vek::g_pGame->iPause > 0) --vek::g_pGame->iPause;
        m_bPauseRaised = false;
    }
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            m_Lines.clear();
            for (int i = 0; i < kTaskLines; ++i) {
                const vek::string n = vek::Formatted("%i", i);
                cLine line;
                line.pIcon = GetWindowControlAs<vek::cImageCtrl>(window, "icon" + n);
                line.pText = GetWindowControlAs<vek::cLabelCtrl>(window, "text" + n);
                line.pNumber = GetWindowControlAs<vek::cLabelCtrl>(window, "number" + n);
                if (!line.pIcon || !line.pText || !line.pNumber) return OnError(window, "wndAfterCreate");
                m_Lines.push_back(line);
            }
            break;
        case vek::cGUI::e_wndShow:
            if (vek::cGUI* gui = window->GetGUI())
                if (gui->IsWindowShown("hint")) gui->HideWindow("hint");
            // One step per opening: a show while the screen still fades out
            // reuses the step it holds.
            if (!m_bPauseRaised && vek::g_pGame) {
                ++vek::g_pGame->iPause;
                m_bPauseRaised = true;
            }
            Fill();
            break;
        case vek::cGUI::e_wndHideImmediately:
            if (g_pGarden) g_pGarden->m_Training.NextStep(e_lessonPlants, e_stepPlantsTask);
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
