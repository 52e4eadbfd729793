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
