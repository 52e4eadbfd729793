#include "platform/display.h"

#include <SDL.h>

#include "platform/window.h"

namespace vek::platform {

int BitsOfPixelFormat(uint32_t sdlFormat)
{
    if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN) return 32;
    if (SDL_BYTESPERPIXEL(sdlFormat) == 4) return 32;
    return static_cast<int>(SDL_BITSPERPIXEL(sdlFormat));
}

bool GetDesktopMode(cModeInfo& out)
{
    if (!WindowSystem().Init()) return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    out.width = mode.w;
    out.height = mode.h;
    out.bits = BitsOfPixelFormat(mode.format);
    out.frequency = mode.refresh_rate;
    return true;
}

std::vector<cModeInfo> CleanModeList(const std::vector<cModeInfo>& raw, const cModeInfo& desktop,
                                     bool haveDesktop)
{
    std::vector<cModeInfo> modes;
    for (const cModeInfo& m : raw)
        if (m.width > 0 && m.height > 0) modes.push_back(m);
    if (modes.empty() && haveDesktop && desktop.width > 0 && desktop.height > 0)
        modes.push_back(desktop);
    return modes;
}

std::vector<cModeInfo> EnumModes()
{
    std::vector<cModeInfo> raw;
    if (!WindowSystem().Init()) return raw;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        cModeInfo m;
        m.width = mode.w;
        m.height = mode.h;
        m.bits = BitsOfPixelFormat(mode.format);
        m.frequency = mode.refresh_rate;
        raw.push_back(m);
    }
    cModeInfo desktop;
    const bool haveDesktop = GetDesktopMode(desktop);
    return CleanModeList(raw, desktop, haveDesktop);
}

bool SetFullscreenPicture(cWindowSystem& ws, int width, int height)
{
    return ws.SetFullscreen(true, width, height);
}

void RestoreDesktopMode(cWindowSystem&) {}

bool GetWorkArea(int& left, int& top, int& right, int& bottom)
{
    if (!WindowSystem().Init()) return false;
    SDL_Rect r;
    if (SDL_GetDisplayUsableBounds(0, &r) != 0) return false;
    left = r.x;
    top = r.y;
    right = r.x + r.w;
    bottom = r.y + r.h;
    return true;
}

}  // namespace vek::platform
