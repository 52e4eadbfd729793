#pragma once
// The process entry routine: single instance, engine, window, game, main loop,
// teardown. Returns the process exit code.
#include "engine/app/game.h"

int EntryMain(int argc, char** argv);

// The engine's settings the game starts with: its title and name, 32 bits,
// a depth and stencil buffer, 1024 x 768.
vek::cGame::cSettings MakeApplicationRecord();

// Set when the desktop's usable area is smaller than 1024 x 768; the game's
// start-up then keeps full screen even when the settings ask for a window.
extern bool g_bSmallWorkArea;

// Whether the desktop's usable area (right or bottom edge) is below
// 1024 x 768: the value the entry routine stores in g_bSmallWorkArea.
bool DetectSmallWorkArea();
