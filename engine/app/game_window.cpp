// The engine's window: display modes and the full-screen switch, creation
// and destruction around the render device, sizing, gamma, and the window
// procedure that turns window-system messages into engine behaviour.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "engine/app/game.h"
#include "engine/app/game_calls.h"
#include "engine/core/log.h"
#include "platform/display.h"
#include "platform/window.h"

namespace vek {

namespace {

constexpr const char* kSender = "cGame";
constexpr const char* kLoopSender = "LOOP";

// Engine-wide display state: the desktop's mode as found at start-up, the
// mode full screen asks for, and the sorted list of listed modes.
cDisplayMode g_SavedMode;
cDisplayMode g_CurrentMode;
std::vector<cDisplayMode> g_vecModes;

} // namespace

bool operator<(const cDisplayMode& a, const cDisplayMode& b)
{
    return std::tie(a.iWidth, a.iHeight, a.iBits, a.iFrequency) <
           std::tie(b.iWidth, b.iHeight, b.iBits, b.iFrequency);
}

bool operator==(const cDisplayMode& a, const cDisplayMode& b)
{
    return a.iWidth == b.iWidth && a.iHeight == b.iHeight && a.iBits == b.iBits &&
           a.iFrequency == b.iFrequency;
}

// ---- display modes ----

int EnumDisplayModes()
{
    g_vecModes.clear();
    for (const platform::cModeInfo& m : platform::EnumModes()) {
        cDisplayMode mode;
        mode.iWidth = m.width;
        mode.iHeight = m.height;
        mode.iBits = m.bits;
        mode.iFrequency = m.frequency;
        g_vecModes.push_back(mode);
    }
    std::sort(g_vecModes.begin(), g_vecModes.end());
    return 0;
}

const std::vector<cDisplayMode>& GetDisplayModes() { return g_vecModes; }

const cDisplayMode& GetCurrentDisplayMode() { return g_CurrentMode; }

int SnapDisplayMode(const std::vector<cDisplayMode>& sorted, cDisplayMode& request)
{
    size_t i = 0;
    while (i < sorted.size() && !(request < sorted[i])) ++i;
    if (i == 0) return 1;
    request = sorted[i - 1];
    return 0;
}

int SnapDisplayMode(int& width, int& height, int& bits, int& frequency)
{
    cDisplayMode m;
    m.iWidth = width;
    m.iHeight = height;
    m.iBits = bits;
    m.iFrequency = frequency;
    const int result = SnapDisplayMode(g_vecModes, m);
    width = m.iWidth;
    height = m.iHeight;
    bits = m.iBits;
    frequency = m.iFrequency;
    return result;
}

void cGame::ReadDesktopDisplayMode()
{
    LogText(kSender, "Enum current display settings: ");
    platform::cModeInfo m;
    if (platform::GetDesktopMode(m)) {
        g_SavedMode.iWidth = m.width;
        g_SavedMode.iHeight = m.height;
        g_SavedMode.iBits = m.bits;
        g_SavedMode.iFrequency = m.frequency;
        LogContinuation("(%i, %i, %i, %i)\n", m.width, m.height, m.bits, m.frequency);
    } else {
        LogContinuation("Failed!\n");
    }
    g_CurrentMode = g_SavedMode;
}

unsigned cGame::RegisterWindowClass()
{
    platform::cWindowSystem& ws = platform::WindowSystem();
    if (!ws.Init()) {
        LogError(kSender, "No display: %s\n", ws.InitError());
        return 0;
    }
    return ws.RegisterWindowClass(strName);
}

void cGame::ChangeDisplaySettings(int width, int bits, int height)
{
    // The picture the game draws keeps the size asked for (0 keeps the
    // current one).
    int pictureW = width, pictureH = height;
    if (pictureW == 0 || pictureH == 0) {
        int w = g_CurrentMode.iWidth, h = g_CurrentMode.iHeight;
        GetClientSize(w, h);
        if (pictureW == 0) pictureW = w;
        if (pictureH == 0) pictureH = h;
    }
    if (width) g_CurrentMode.iWidth = width;
    if (height) g_CurrentMode.iHeight = height;
    if (bits) g_CurrentMode.iBits = bits;
    g_CurrentMode.iFrequency = 85;
    SnapDisplayMode(g_vecModes, g_CurrentMode);
    LogText(kSender, "ChangeDisplaySettings(%i, %i, %i, %i)\n", g_CurrentMode.iWidth,
            g_CurrentMode.iHeight, g_CurrentMode.iBits, g_CurrentMode.iFrequency);
    // The desktop's mode never changes: the chosen mode is only recorded,
    // and the picture is scaled into the desktop whatever its size. Drawing
    // at a smaller listed mode would only blur the picture on the way up.
    platform::SetFullscreenPicture(platform::WindowSystem(), pictureW, pictureH);
}

void cGame::RestoreDisplaySettings()
{
    LogText(kSender, "Restore display settings\n");
    g_CurrentMode = g_SavedMode;
    platform::RestoreDesktopMode(platform::WindowSystem());
}

void cGame::DumpResolutions()
{
    LogContinuation("Resolutions:\n");
    for (size_t i = 0; i < g_vecModes.size(); ++i) {
        const cDisplayMode& m = g_vecModes[i];
        // Five values: the number and the mode's four come in two calls.
        string line;
        AppendFormat(line, "  %3i) %4ix%4i, %2i - %3i\n", static_cast<int>(i + 1), m.iWidth,
                     m.iHeight, m.iBits, m.iFrequency);
        LogContinuation("%s", line);
    }
}

// ---- the window ----

bool cGame::CreateWindow(bool windowed, int width, int height, int bits)
{
    LogText(kSender, "CreateWindow Started...\n");
    bWindowed = windowed;

    platform::cWindowSystem& ws = platform::WindowSystem();
    platform::cWindowDesc desc;
    desc.title = strTitle;
    desc.windowed = windowed;
    desc.width = width;
    desc.height = height;
    desc.depthBits = (iDepthStencil & 0xFF) ? 24 : 0;
    desc.stencilBits = (iDepthStencil & 0xFF00) ? 8 : 0;
    desc.opengl = ws.bOpenGL;
    if (!ws.Init() || !ws.CreateWindow(desc)) {
        LogError(kSender, "CreateWindowEx failed!\n");
        return false;
    }
    LogText(kSender, "CreateWindowEx... Ok\n");

    if (windowed) {
        RestoreDisplaySettings();
        FitWindow(width, height);
    } else {
        ChangeDisplaySettings(width, bits, height);
    }
    ws.Show();
    LogText(kSender, "Resizing and Updating Window... Ok\n");

    if (calls::RenderInit(g_CurrentMode.iBits, iDepthStencil, iAntiAlias, iVSync) != 0) {
        calls::TexturesDeleteContext();
        calls::RenderFree();
        return false;
    }
    calls::TexturesCreateContext();
    int x = 0, y = 0, w = 0, h = 0;
    if (calls::RenderGetViewport(x, y, w, h)) calls::GuiSetDeviceRect(x, y, w, h);
    LogText(kSender, "Resizing GUI... Ok\n");
    return true;
}

void cGame::DestroyWindow()
{
    calls::TexturesDeleteContext();
    calls::RenderFree();
    platform::cWindowSystem& ws = platform::WindowSystem();
    ws.DestroyWindow();
    LogText(kSender, "DestroyWindow... Ok\n");
    ws.DrainMessages();
    LogText(kSender, "Clear message's queue... Ok\n");
}

void cGame::FitWindow(int width, int height) { platform::WindowSystem().FitClientArea(width, height); }

void cGame::GetClientSize(int& width, int& height)
{
    int w = 0, h = 0;
    if (platform::WindowSystem().GetClientSize(w, h) && w != 0 && h != 0) {
        width = w;
        height = h;
        return;
    }
    int x = 0, y = 0;
    if (calls::RenderGetViewport(x, y, w, h)) {
        width = w;
        height = h;
    }
}

void cGame::ResizeViewport(int width, int height)
{
    if (height == 0) height = 1;
    calls::RenderSetViewport(0, 0, width, height);
    calls::GuiSetDeviceRect(0, 0, width, height);
}

void cGame::SetWindowTitle(const string& title)
{
    strTitle = title;
    platform::WindowSystem().SetTitle(title);
}

// ---- gamma ----

float cGame::GetGamma()
{
    uint16_t ramp[3][256];
    if (!platform::GetGammaRamp(ramp[0], ramp[1], ramp[2])) {
        LogWarning(kSender, "GetDeviceGammaRamp failed, return standard value\n");
        return 1.0f;
    }
    double total = 0.0;
    int channels = 0;
    for (int c = 0; c < 3; ++c) {
        double sum = 0.0;
        int count = 0;
        for (int i = 0; i < 256; ++i) {
            const uint16_t v = ramp[c][i];
            if (v == 0) continue;
            sum += std::log(v / 65536.0) / std::log((i % 256) / 256.0);
            ++count;
        }
        // A channel that is all zeros says nothing about its gamma (and would
        // divide by zero).
        if (count == 0) continue;
        total += sum / count;
        ++channels;
    }
    return channels ? static_cast<float>(total / channels) : 1.0f;
}

bool cGame::SetGamma(float gamma)
{
    // A gamma that is no finite number has no ramp: NaN would make every
    // entry dark, +inf turn the picture black and -inf white. The screen
    // keeps the one it has.
    if (!std::isfinite(gamma)) return false;
    uint16_t ramp[256];
    for (int i = 0; i < 256; ++i) {
        double v = std::pow(i / 256.0, static_cast<double>(gamma)) * 65536.0;
        if (!(v >= 0.0)) v = 0.0;
        if (v > 65535.0) v = 65535.0;
        ramp[i] = static_cast<uint16_t>(v);
    }
    return platform::SetGammaRamp(ramp, ramp, ramp);
}

// ---- the window procedure ----

void cGame::WndProc(const platform::cMessage& msg)
{
    platform::cWindowSystem& ws = platform::WindowSystem();
    switch (msg.type) {
    case platform::e_msgClose:
    case platform::e_msgEndSession:
        // Both end the game the normal way, which saves.
        ws.PostQuit(0);
        break;
    case platform::e_msgSize:
        // Minimising is not a size of the client area.
        if (msg.a == 0 || msg.a == 2) {
            LogText(kLoopSender, "Size of window was changed to %ix%i, Window state is - %#X\n",
                    msg.b, msg.c, msg.a);
            if (msg.b != 0 || msg.c != 0) ResizeViewport(msg.b, msg.c);
        }
        break;
    case platform::e_msgActivate:
        if (msg.a) {
            LogText(kLoopSender, "Window get focus\n");
            if (!bWindowed) {
                int w = 0, h = 0;
                if (ws.GetClientSize(w, h)) platform::SetFullscreenPicture(ws, w, h);
                if (ws.IsMinimized()) ws.Restore();
            }
            // The GUI knows whether it draws its own pointer; without a GUI
            // the system's arrow stays, so there is always exactly one.
            if (!calls::GuiApplySystemCursor()) ws.SetSystemCursor(platform::e_cursorArrow);
            RestartFrameTiming();
            bActive = true;
            calls::SoundSetActive(true);
        } else {
            LogText(kLoopSender, "Window lose focus\n");
            calls::SoundSetActive(false);
            bActive = false;
            if (!bWindowed) {
                ws.Minimize();
                platform::RestoreDesktopMode(ws);
            }
            ws.SetSystemCursor(platform::e_cursorArrow);
        }
        break;
    case platform::e_msgDisplayChange:
        LogText(kLoopSender, "Resolution of display was changed to %ix%ix%i\n", msg.a, msg.b, msg.c);
        calls::RenderMarkDeviceLost();
        break;
    case platform::e_msgChar:
        OnChar(msg.a);
        break;
    case platform::e_msgTimer:
        TimerProc();
        break;
    case platform::e_msgDisplayLost:
        // Nothing can be shown any more: end the normal way, which saves
        // and closes the log.
        LogError(kLoopSender, "The connection to the display was lost\n");
        ws.PostQuit(1);
        break;
    case platform::e_msgWindowLost:
        // Another program destroyed the window: as with a window destroyed
        // in any other way, the game ends the normal way, which saves and
        // closes the log.
        LogWarning(kLoopSender, "The window was destroyed from outside the game\n");
        ws.PostQuit(0);
        break;
    case platform::e_msgDisplayError:
        LogMessage(g_szColourWarning, "The display refused a request: error %i, request %i.%i\n",
                   g_szLevelWarning, kLoopSender, msg.a, msg.b, msg.c);
        break;
    case platform::e_msgNone:
    case platform::e_msgQuit:
        break;
    }
}

} // namespace vek
