#pragma once
// The options screen ("options"): sound and music volumes, brightness, mouse
// speed, window or full screen, the screen size and the tutorial switch.
// It returns to the screen it was opened from: the main menu (parameter 1)
// or the pause menu (parameter 2).
#include "game/screens/window_functions.h"

// One row of the screen-size list: its text, its item data (width times
// height) and the mode it asks for.
struct cResolutionRow {
    const char* pszText;
    int iData;
    int iWidth;
    int iHeight;
};
constexpr int kResolutionCount = 5;
extern const cResolutionRow g_aResolutions[kResolutionCount];

// The row whose data is the value; null for data not in the table.
const cResolutionRow* FindResolution(int data);
