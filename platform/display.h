#pragma once
// Display modes, the desktop's own mode and its work area.
//
// Full screen never changes the desktop's resolution: the window covers the
// desktop and the render device scales the requested picture into it (see
// window.h). The mode list is still what the display reports, so the engine
// can pick and show modes as it always did.
#include <cstdint>
#include <vector>

namespace vek::platform {

class cWindowSystem;

struct cModeInfo {
    int width = 0, height = 0, bits = 0, frequency = 0;
};

// The desktop's current mode (display 0); false without a display.
bool GetDesktopMode(cModeInfo& out);

// Every mode the display lists, unsorted, with 0 x 0 entries dropped; the
// desktop mode alone when the display lists none.
std::vector<cModeInfo> EnumModes();

// Colour bits of an SDL pixel format as the engine counts them: 32 for every
// format stored in 4 bytes (an X8R8G8B8 desktop is a 32-bit desktop).
int BitsOfPixelFormat(uint32_t sdlFormat);

// The list cleaning of EnumModes, for any raw list.
std::vector<cModeInfo> CleanModeList(const std::vector<cModeInfo>& raw, const cModeInfo& desktop,
                                     bool haveDesktop);

// Full screen: the window covers the desktop at the desktop's own mode and
// the engine's client size becomes width x height, the picture the game
// draws, scaled into the desktop with its aspect kept. False without a window.
bool SetFullscreenPicture(cWindowSystem& ws, int width, int height);

// Back to the desktop's own mode. As full screen never changed it, there is
// nothing to undo; kept so that callers read as the mode switch pairs up.
void RestoreDesktopMode(cWindowSystem& ws);

// The desktop area not taken by panels and docks (display 0), right and
// bottom exclusive. False when it cannot be read.
bool GetWorkArea(int& left, int& top, int& right, int& bottom);

}  // namespace vek::platform
