// The task panel: the score panel's four task lines and the garden
// screen's factory panels, following the level's active tasks.
#include "engine/core/format.h"
#include "game/screens/controls.h"
#include "game/screens/garden_screen.h"
#include "game/screens/screen_seams.h"
#include "game/shell/garden.h"
#include "game/world/building.h"
#include "game/world/game_sound.h"
#include "game/world/hints.h"
#include "game/world/island.h"
#include "game/world/level_task.h"
#include "game/world/particles.h"
#include "game/world/ware.h"

namespace {

constexpr uint32_t kBurstCount = 50;
constexpr float kBurstSpread = 30.0f;

cTaskCtrl* FirstHiddenLine()
{
    for (int i = 0; i < kTaskLines; ++i) {
        cTaskCtrl* line = GetTaskControl(i);
        if (line && line->GetSlideState() == cTaskCtrl::e_slideHidden) return line;
    }
    return nullptr;
}

bool IsProduct(int32_t ware)
{
    if (!g_pWareManager || ware < 0 || ware == NO_WARE) return false;
    const cWare* w = g_pWareManager->GetWare(static_cast<uint32_t>(ware));
    return w && w->GetType() == WARE_PRODUCT;
}

cFactory* FactoryMaking(int32_t ware)
{
    const cIsland* island = g_pGarden ? g_pGarden->m_pIsland : nullptr;
    return island ? island->FindFactoryByOutput(ware) : nullptr;
}

// Binds the first hidden panel to the factory (or to none) and slides it
// in; null when every panel is in use.
cFactoryControl* TakePanel(cFactory* factory)
{
    cFactoryControl* panel = FindHiddenFactoryPanel();
    if (!panel) return nullptr;
    panel->SetFactory(factory);
    panel->Show();
    return panel;
}

void GiveLine(cLevelTask& task, cTaskCtrl& line)
{
    vek::string texture = "icons00";
    vek::string sprite;
    vek::string text;
    int amount = 0;
    GetTaskInfo(task, texture, sprite, text, amount);
    line.SetText(vek::Formatted("%i", amount));
    line.SetIcon("icons00", sprite);
    line.SetCheck(task.iAmount < 1);
    line.Show();
    task.pLine = &line;
}

} // namespace

bool AllTaskLinesHidden()
{
    for (int i = 0; i < kTaskLines; ++i) {
        const cTaskCtrl* line = GetTaskControl(i);
        if (line && line->GetSlideState() != cTaskCtrl::e_slideHidden) return false;
    }
    return true;
}

void ClearTaskPanel(std::vector<cLevelTask>& tasks)
{
    for (int i = 0; i < kTaskLines; ++i) {
        if (cTaskCtrl* line = GetTaskControl(i)) {
            line->SetCheck(false);
            line->HideImmediately();
        }
    }
    for (cLevelTask& task : tasks) {
        task.pLine = nullptr;
        task.pFactory = nullptr;
        task.pInputFactory = nullptr;
    }
}

void UpdateTaskPanel(std::vector<cLevelTask>& tasks, bool taskHints)
{
    size_t i = 0;
    while (i < tasks.size()) {
        cLevelTask& task = tasks[i];
        if (!task.IsEmpty() && !task.pLine) {
            if (cTaskCtrl* line = FirstHiddenLine()) {
                GiveLine(task, *line);
                if (taskHints) RequestHint(static_cast<int>(i), e_hintNewTask);
            }
        }
        if (!task.IsEmpty() && task.pLine && !task.pFactory && IsProduct(task.iWare)) {
            cFactory* factory = FactoryMaking(task.iWare);
            if (factory && IsProduct(factory->iInputWare))
                task.pInputFactory = TakePanel(FactoryMaking(factory->iInputWare));
            task.pFactory = TakePanel(factory);
        }
        // A done task without a line (a saved game keeps no lines) leaves
        // quietly, or the level could never end.
        if (task.IsEmpty() && !task.pLine) {
            if (task.pFactory) task.pFactory->Hide();
            if (task.pInputFactory) task.pInputFactory->Hide();
            tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (task.IsEmpty() && task.pLine && task.pLine->GetSlideState() == cTaskCtrl::e_slideShown) {
            cTaskCtrl& line = *task.pLine;
            if (g_pGarden && g_pGarden->m_pParticles) {
                const vek::rectf r = line.GetRect();
                g_pGarden->m_pParticles->EmitBurst(kBurstCount, kBurstSpread,
                                                   vek::vec3(r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f));
            }
            if (g_pGarden) g_pGarden->PlayGameSound(e_sndGood);
            line.SetCheck(false);
            line.Hide();
            if (task.pFactory) task.pFactory->Hide();
            if (task.pInputFactory) task.pInputFactory->Hide();
            tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
}
