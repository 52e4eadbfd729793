#pragma once
// The game's own window message: what the game object sends a screen's
// window function to make it refresh itself from the game state.
#include "engine/core/vekstring.h"

inline constexpr int kGameWindowMessage = 100000;

// Sends the game's window message with (a, b) to the function of the GUI
// window of that name. Nothing happens without a GUI or such a window.
void SendWindowMessage(const vek::string& window, unsigned a, int b);
