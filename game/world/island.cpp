#include "game/world/island.h"

#include "engine/app/game.h"
#include "game/shell/middle.h"
#include "game/shell/window_message.h"

namespace {
cIsland* g_pIsland = nullptr;
} // namespace

cIsland* GetIsland() { return g_pIsland; }

cIsland::cIsland() : vek::cWidget("island") { g_pIsland = this; }

cIsland::~cIsland()
{
    if (g_pIsland == this) g_pIsland = nullptr;
}

void cIsland::SetMode(int mode)
{
    iMode = mode;
    if (mode == e_modeNone || !vek::g_pGame || vek::g_pGame->pFocusWidget != this || !g_pMiddle) return;
    g_pMiddle->HideAllWindows();
    g_pMiddle->ShowGameWindow("score", 2);
    g_pMiddle->ShowGameWindow("island", 2);
    if (mode == e_modeIsland) {
        SendWindowMessage("score", 0, 0);
        SendWindowMessage("island", 0, 0);
    }
}

void cIsland::Load(int) {}
void cIsland::Save(int) {}
