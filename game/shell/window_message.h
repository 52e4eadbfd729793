#pragma once
// The game's own window message: what the game object sends a screen's
// window function to make it refresh itself from the game state.
#include "engine/core/vekstring.h"

inline constexpr int kGameWindowMessage = 100000;

// What the game's message asks of the "garden" screen (a): refresh the
// factory panels and the toolbars, the toolbars only, or the panels only.
enum eGardenRefresh : unsigned { e_refreshAll = 0, e_refreshToolbars = 1, e_refreshPanels = 2 };
// The value (b) with which e_refreshAll and e_refreshPanels snap the factory
// panels away at once instead of refreshing them (a level starts).
inline constexpr unsigned kSnapPanels = 20;

// Sends the game's window message with (a, b) to the function of the GUI
// window of that name. Nothing happens without a GUI or such a window.
void SendWindowMessage(const vek::string& window, unsigned a, int b);
