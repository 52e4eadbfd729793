#include "game/shell/window_message.h"

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"

void SendWindowMessage(const vek::string& name, unsigned a, int b)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    if (!gui) return;
    const int index = gui->FindWindow(name);
    // Index 0 is the GUI's default window: no window of that name.
    if (index == 0) return;
    vek::cWindow* window = gui->GetWindow(static_cast<unsigned>(index));
    if (window && window->GetFunction())
        window->GetFunction()->Call(window, kGameWindowMessage, a, static_cast<unsigned>(b));
}
