#include "game/world/training.h"

#include "engine/app/game.h"
#include "engine/gui/gui.h"

void cTraining::Stop()
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
    iKind = -1;
    iStep = -1;
}

bool cTraining::NextStep(int kind, int step)
{
    if (kind < 0 || kind != iKind || step != iStep) return false;
    vek::cGUI* gui = vek::GetEngineGUI();
    if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
    ++iStep;
    return true;
}
