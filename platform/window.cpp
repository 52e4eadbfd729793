#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <signal.h>

#include "platform/clock.h"
#include "platform/display_loss.h"
#include "platform/text.h"

namespace vek::platform {

// ---- quit signals ----

namespace {

volatile std::sig_atomic_t g_iQuitSignal = 0;

extern "C" void OnQuitSignal(int) { g_iQuitSignal = 1; }

// Hands the pending signal out once.
bool TakeQuitSignal()
{
    if (!g_iQuitSignal) return false;
    g_iQuitSignal = 0;
    return true;
}

}  // namespace

void CatchQuitSignals()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool IsQuitSignalPending() { return g_iQuitSignal != 0; }

// ---- letterbox geometry ----

cPixelRect FitAspect(int srcW, int srcH, int dstW, int dstH)
{
    cPixelRect r;
    if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0) return r;
    const int64_t sw = srcW, sh = srcH, dw = dstW, dh = dstH;
    if (dw * sh <= dh * sw) {
        // Width decides: bars above and below.
        r.w = dstW;
        r.h = static_cast<int>((dw * sh + sw / 2) / sw);
    } else {
        r.h = dstH;
        r.w = static_cast<int>((dh * sw + sh / 2) / sh);
    }
    r.w = std::max(1, std::min(r.w, dstW));
    r.h = std::max(1, std::min(r.h, dstH));
    r.x = (dstW - r.w) / 2;
    r.y = (dstH - r.h) / 2;
    return r;
}

bool MapToPicture(const cPixelRect& placed, int srcW, int srcH, int x, int y, int& outX,
                  int& outY)
{
    outX = outY = 0;
    if (placed.w <= 0 || placed.h <= 0 || srcW <= 0 || srcH <= 0) return false;
    const int64_t dx = static_cast<int64_t>(x) - placed.x;
    const int64_t dy = static_cast<int64_t>(y) - placed.y;
    // Floor division, so that points left of or above the picture stay outside
    // until clamped.
    auto floorDiv = [](int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    int64_t px = floorDiv(dx * srcW, placed.w);
    int64_t py = floorDiv(dy * srcH, placed.h);
    px = std::clamp<int64_t>(px, 0, srcW - 1);
    py = std::clamp<int64_t>(py, 0, srcH - 1);
    outX = static_cast<int>(px);
    outY = static_cast<int>(py);
    return true;
}

// ---- the native window ----

void cNativeWindow::GetClientSize(int& w, int& h) const
{
    w = m_iClientW;
    h = m_iClientH;
}

void cNativeWindow::GetWindowSize(int& w, int& h) const
{
    w = h = 0;
    if (m_pWindow) SDL_GetWindowSize(m_pWindow, &w, &h);
}

void cNativeWindow::GetDrawableSize(int& w, int& h) const
{
    w = h = 0;
    if (!m_pWindow) return;
    if (SDL_GetWindowFlags(m_pWindow) & SDL_WINDOW_OPENGL)
        SDL_GL_GetDrawableSize(m_pWindow, &w, &h);
    else
        SDL_GetWindowSize(m_pWindow, &w, &h);
}

cPixelRect cNativeWindow::GetPresentRect() const
{
    int dw = 0, dh = 0;
    GetDrawableSize(dw, dh);
    cPixelRect r = FitAspect(m_iClientW, m_iClientH, dw, dh);
    // GL counts rows from the bottom.
    r.y = dh - (r.y + r.h);
    return r;
}

bool cNativeWindow::IsScaled() const
{
    int dw = 0, dh = 0;
    GetDrawableSize(dw, dh);
    return dw != m_iClientW || dh != m_iClientH;
}

void cNativeWindow::WindowToClient(int wx, int wy, int& cx, int& cy) const
{
    int ww = 0, wh = 0;
    GetWindowSize(ww, wh);
    if (ww == m_iClientW && wh == m_iClientH) {
        // Plain window: positions outside the client area pass through
        // unclamped, as a screen-to-client conversion gives them.
        cx = wx;
        cy = wy;
        return;
    }
    const cPixelRect placed = FitAspect(m_iClientW, m_iClientH, ww, wh);
    if (!MapToPicture(placed, m_iClientW, m_iClientH, wx, wy, cx, cy)) {
        cx = wx;
        cy = wy;
    }
}

// ---- software gamma ramp ----

namespace {

struct cGammaState {
    uint16_t ramp[3][256];
    uint32_t serial = 0;
    bool identity = true;
    cGammaState()
    {
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 256; ++i) ramp[c][i] = static_cast<uint16_t>(i * 256);
    }
};

cGammaState& Gamma()
{
    static cGammaState state;
    return state;
}

// Windows that exist now; setting the ramp needs one (there is nothing to
// apply it to otherwise).
int g_iLiveWindows = 0;

}  // namespace

bool GetGammaRamp(uint16_t r[256], uint16_t g[256], uint16_t b[256])
{
    const cGammaState& s = Gamma();
    std::memcpy(r, s.ramp[0], sizeof s.ramp[0]);
    std::memcpy(g, s.ramp[1], sizeof s.ramp[1]);
    std::memcpy(b, s.ramp[2], sizeof s.ramp[2]);
    return true;
}

bool SetGammaRamp(const uint16_t r[256], const uint16_t g[256], const uint16_t b[256])
{
    if (g_iLiveWindows <= 0) return false;
    cGammaState& s = Gamma();
    std::memcpy(s.ramp[0], r, sizeof s.ramp[0]);
    std::memcpy(s.ramp[1], g, sizeof s.ramp[1]);
    std::memcpy(s.ramp[2], b, sizeof s.ramp[2]);
    s.identity = true;
    for (int c = 0; c < 3 && s.identity; ++c)
        for (int i = 0; i < 256; ++i)
            if (s.ramp[c][i] != i * 256) {
                s.identity = false;
                break;
            }
    ++s.serial;
    return true;
}

uint32_t GammaRampSerial() { return Gamma().serial; }
bool IsGammaRampIdentity() { return Gamma().identity; }

// ---- the window system ----

namespace {

// The application's icon: a small sun over a green leaf, drawn here so that
// the program needs no image file to get its icon.
SDL_Surface* MakeIcon()
{
    const int n = 32;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, n, n, 32, SDL_PIXELFORMAT_RGBA32);
    if (!s) return nullptr;
    SDL_LockSurface(s);
    for (int y = 0; y < n; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < n; ++x) {
            Uint8* p = row + x * 4;
            const float fx = x + 0.5f, fy = y + 0.5f;
            const float sun = std::hypot(fx - 20.0f, fy - 11.0f);
            // The leaf: the overlap of two discs.
            const bool leaf =
                std::hypot(fx - 8.0f, fy - 30.0f) < 17.0f && std::hypot(fx - 24.0f, fy - 14.0f) < 17.0f;
            if (leaf) {
                const bool vein = std::fabs((fx - 5.0f) - (27.0f - fy)) < 0.9f;
                p[0] = vein ? 170 : 46;
                p[1] = vein ? 220 : 150;
                p[2] = vein ? 120 : 60;
                p[3] = 255;
            } else if (sun < 9.0f) {
                p[0] = 255;
                p[1] = static_cast<Uint8>(200 + sun * 4);
                p[2] = 40;
                p[3] = 255;
            } else {
                p[0] = p[1] = p[2] = p[3] = 0;
            }
        }
    }
    SDL_UnlockSurface(s);
    return s;
}

// The application cursor is invisible: the GUI draws its own pointer sprite,
// and a system arrow on top would show a second pointer.
SDL_Cursor* MakeAppCursor()
{
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 8, 8, 32, SDL_PIXELFORMAT_RGBA32);
    if (!s) return nullptr;
    SDL_FillRect(s, nullptr, 0);
    SDL_Cursor* c = SDL_CreateColorCursor(s, 0, 0);
    SDL_FreeSurface(s);
    return c;
}

int SdlButtonToIndex(int sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    case SDL_BUTTON_X2: return 4;
    default: return (sdlButton >= 6 && sdlButton <= 8) ? sdlButton - 1 : -1;
    }
}

// The desktop area of the window's display (display 0 without a window).
SDL_Rect DesktopBounds(SDL_Window* win)
{
    SDL_Rect r{0, 0, 0, 0};
    int display = win ? SDL_GetWindowDisplayIndex(win) : 0;
    if (display < 0) display = 0;
    if (SDL_GetDisplayBounds(display, &r) != 0) r = SDL_Rect{0, 0, 0, 0};
    return r;
}

void DesktopOfWindow(SDL_Window* win, int& w, int& h, int& bits)
{
    w = h = bits = 0;
    int display = win ? SDL_GetWindowDisplayIndex(win) : 0;
    if (display < 0) display = 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(display, &mode) != 0) return;
    w = mode.w;
    h = mode.h;
    bits = SDL_BYTESPERPIXEL(mode.format) == 4 ? 32 : static_cast<int>(SDL_BITSPERPIXEL(mode.format));
}

// The video drivers tried, in this order, when none is named.
const char* const kVisibleVideoDrivers[] = {"x11", "wayland"};

}  // namespace

cWindowSystem::cWindowSystem(iClock* clock) : m_pClock(clock ? clock : &SystemClock()) {}

cWindowSystem::~cWindowSystem()
{
    DestroyWindow();
    if (m_pIcon) {
        SDL_FreeSurface(static_cast<SDL_Surface*>(m_pIcon));
        m_pIcon = nullptr;
    }
    // Shutting video down talks to the display server; a lost one would
    // never answer.
    if (IsDisplayLost()) return;
    ReleaseCursors();
    // Video shutdown would destroy the abandoned window after all.
    if (m_bWindowAbandoned) return;
    if (m_bGlLibraryHeld && SDL_WasInit(SDL_INIT_VIDEO)) SDL_GL_UnloadLibrary();
    m_bGlLibraryHeld = false;
    if (m_bOwnsSdl && SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool cWindowSystem::Init()
{
    if (m_bInit) return true;
    // A failed attempt is not repeated: every query of the display would
    // otherwise try to reach it again.
    if (m_bInitFailed) return false;
    // The engine minimises its full-screen window itself when it loses the
    // focus; SDL must not do it a second time.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The quit signals are the window system's own from the process's start
    // (SDL would only catch them from here on, and its quit event is lost
    // when the queue is drained).
    CatchQuitSignals();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const char* named = SDL_getenv("SDL_VIDEODRIVER");
    if (named && *named) {
        // A driver named explicitly (tests use "dummy" and "offscreen") is
        // used as it is.
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            m_strInitError = SDL_GetError();
            m_bInitFailed = true;
            return false;
        }
    } else {
        // Only drivers that show the window to a person. Left to itself SDL
        // would end up on its offscreen driver, where the game would run
        // unseen and forever.
        std::string errors;
        for (const char* driver : kVisibleVideoDrivers) {
            // The hint keeps the driver that worked (or the last one tried).
            SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
            if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0) {
                errors.clear();
                break;
            }
            const std::string error = SDL_GetError();
            if (!errors.empty()) errors += "; ";
            errors += error.empty() ? std::string(driver) + " not available" : error;
        }
        if (!errors.empty()) {
            m_strInitError = errors;
            m_bInitFailed = true;
            return false;
        }
    }
    m_bInit = true;
    m_bOwnsSdl = true;
    return true;
}

unsigned cWindowSystem::RegisterWindowClass(const std::string& name)
{
    if (!m_bInit) return 0;
    if (!m_pIcon) m_pIcon = MakeIcon();
    if (!m_pAppCursor) m_pAppCursor = MakeAppCursor();
    if (!m_pArrowCursor) m_pArrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    // Shaped like a registered class atom: 0xC000 to 0xFFFF, stable per name.
    uint32_t h = 2166136261u;
    for (unsigned char ch : name) h = (h ^ ch) * 16777619u;
    return 0xC000u | (h & 0x3FFFu);
}

void cWindowSystem::ReleaseCursors()
{
    // Video shutdown frees every cursor itself; freeing them again would be a
    // double free.
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        if (m_pAppCursor) SDL_FreeCursor(static_cast<SDL_Cursor*>(m_pAppCursor));
        if (m_pArrowCursor) SDL_FreeCursor(static_cast<SDL_Cursor*>(m_pArrowCursor));
    }
    m_pAppCursor = m_pArrowCursor = nullptr;
}

bool cWindowSystem::CreateWindow(const cWindowDesc& d)
{
    if (!m_bInit || HasWindow() || d.width <= 0 || d.height <= 0) return false;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (d.opengl) {
        flags |= SDL_WINDOW_OPENGL;
        // Each window and device loads the GL library and gives it back,
        // and the last one back unloads it. Loading it again costs what
        // the libraries below never return: every load of libEGL takes a
        // thread-local key for good (a process has 1024, so after about a
        // thousand starts in one process no GL context could be made),
        // every load for GLX an X colormap. So it is loaded once and kept
        // until video shuts down.
        if (!m_bGlLibraryHeld && SDL_GL_LoadLibrary(nullptr) == 0) m_bGlLibraryHeld = true;
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, std::max(0, d.depthBits));
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, std::max(0, d.stencilBits));
    }
    int x = SDL_WINDOWPOS_UNDEFINED, y = SDL_WINDOWPOS_UNDEFINED;
    int w = d.width, h = d.height;
    if (!d.windowed) {
        // A borderless window over the whole desktop, also marked full
        // screen for the window manager: without one (a bare X server) the
        // mark alone would leave the window at the requested size.
        const SDL_Rect desk = DesktopBounds(nullptr);
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP;
        x = desk.x;
        y = desk.y;
        if (desk.w > 0 && desk.h > 0) {
            w = desk.w;
            h = desk.h;
        }
    }
    SDL_Window* win = SDL_CreateWindow(Cp1251ToUtf8(d.title).c_str(), x, y, w, h, flags);
    if (!win) return false;
    WatchDisplayConnection(win);
    m_bWindowLossPosted = false;
    m_Window.m_pWindow = win;
    m_Window.m_iClientW = d.width;
    m_Window.m_iClientH = d.height;
    m_Window.m_bWindowed = d.windowed;
    m_iLastSizeType = m_iLastSizeW = m_iLastSizeH = -1;
    m_bFocused = true;
    ++g_iLiveWindows;
    if (m_pIcon) SDL_SetWindowIcon(win, static_cast<SDL_Surface*>(m_pIcon));
    SDL_StartTextInput();
    return true;
}

void cWindowSystem::DestroyWindow()
{
    if (!m_Window.m_pWindow) return;
    // Destroying waits for the server to unmap the window; a lost server
    // never does, nor does one whose window is gone already, so the window
    // is only forgotten then.
    ForgetWatchedWindow();
    if (IsWindowLost())
        m_bWindowAbandoned = true;
    else if (!IsDisplayLost())
        SDL_DestroyWindow(m_Window.m_pWindow);
    m_Window = cNativeWindow();
    --g_iLiveWindows;
    m_iLastSizeType = m_iLastSizeW = m_iLastSizeH = -1;
}

void cWindowSystem::DrainMessages()
{
    // A request to end the game is the player's, whatever happens to the
    // window meanwhile: it survives the drain.
    bool endSession = false, close = false;
    for (const cMessage& m : m_Queue) {
        endSession = endSession || m.type == e_msgEndSession;
        close = close || m.type == e_msgClose;
    }
    if (m_bInit && !IsDisplayLost()) {
        SDL_PumpEvents();
        endSession = endSession || SDL_HasEvent(SDL_QUIT);
        SDL_Event events[32];
        int count = 0;
        while ((count = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT)) > 0)
            for (int i = 0; i < count; ++i) close = close || events[i].window.event == SDL_WINDOWEVENT_CLOSE;
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    m_Queue.clear();
    if (endSession) PostMessage(e_msgEndSession);
    if (close) PostMessage(e_msgClose);
    // A timer message that was due is dropped with the rest.
    if (m_bTimerArmed && m_pClock->Counter() >= m_iTimerDeadline)
        m_iTimerDeadline = m_pClock->Counter() + m_iTimerPeriod;
}

void cWindowSystem::SetTitle(const std::string& title)
{
    if (m_Window.m_pWindow) SDL_SetWindowTitle(m_Window.m_pWindow, Cp1251ToUtf8(title).c_str());
}

void cWindowSystem::Show()
{
    if (!m_Window.m_pWindow) return;
    SDL_ShowWindow(m_Window.m_pWindow);
    SDL_RaiseWindow(m_Window.m_pWindow);
    // The window reports its size once when it appears.
    PostSizeIfChanged(0);
}

void cWindowSystem::Minimize()
{
    if (m_Window.m_pWindow) SDL_MinimizeWindow(m_Window.m_pWindow);
}

void cWindowSystem::Restore()
{
    if (m_Window.m_pWindow) SDL_RestoreWindow(m_Window.m_pWindow);
}

bool cWindowSystem::IsMinimized() const
{
    return m_Window.m_pWindow && (SDL_GetWindowFlags(m_Window.m_pWindow) & SDL_WINDOW_MINIMIZED);
}

bool cWindowSystem::SetFullscreen(bool fullscreen, int w, int h)
{
    if (!m_Window.m_pWindow || w <= 0 || h <= 0) return false;
    SDL_Window* win = m_Window.m_pWindow;
    const bool wasWindowed = m_Window.m_bWindowed;
    int rc = 0;
    if (fullscreen && wasWindowed) {
        const SDL_Rect desk = DesktopBounds(win);
        SDL_SetWindowBordered(win, SDL_FALSE);
        if (desk.w > 0 && desk.h > 0) {
            SDL_SetWindowSize(win, desk.w, desk.h);
            SDL_SetWindowPosition(win, desk.x, desk.y);
        }
        rc = SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else if (!fullscreen && !wasWindowed) {
        rc = SDL_SetWindowFullscreen(win, 0);
        SDL_SetWindowBordered(win, SDL_TRUE);
    }
    m_Window.m_bWindowed = !fullscreen;
    FitClientArea(w, h);
    return rc == 0;
}

bool cWindowSystem::GetClientSize(int& w, int& h) const
{
    if (!m_Window.m_pWindow) return false;
    m_Window.GetClientSize(w, h);
    return true;
}

void cWindowSystem::FitClientArea(int w, int h)
{
    SDL_Window* win = m_Window.m_pWindow;
    if (!win || w <= 0 || h <= 0) return;
    m_Window.m_iClientW = w;
    m_Window.m_iClientH = h;
    if (m_Window.m_bWindowed) {
        SDL_SetWindowSize(win, w, h);
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(win, &top, &left, &bottom, &right) != 0)
            top = left = bottom = right = 0;
        int display = SDL_GetWindowDisplayIndex(win);
        if (display < 0) display = 0;
        SDL_Rect bounds{0, 0, 0, 0};
        SDL_GetDisplayBounds(display, &bounds);
        // Centre the outer frame; the halves round toward zero.
        const int outerW = w + left + right, outerH = h + top + bottom;
        const int outerX = (bounds.w - outerW) / 2, outerY = (bounds.h - outerH) / 2;
        SDL_SetWindowPosition(win, bounds.x + outerX + left, bounds.y + outerY + top);
    }
    PostSizeIfChanged(m_iLastSizeType == 2 ? 2 : 0);
}

void cWindowSystem::PostMessage(eMessage type, int a, int b, int c)
{
    cMessage m;
    m.type = type;
    m.a = a;
    m.b = b;
    m.c = c;
    m_Queue.push_back(m);
}

void cWindowSystem::PostSizeIfChanged(int type)
{
    if (!m_Window.m_pWindow) return;
    const int w = m_Window.m_iClientW, h = m_Window.m_iClientH;
    if (type == m_iLastSizeType && w == m_iLastSizeW && h == m_iLastSizeH) return;
    m_iLastSizeType = type;
    m_iLastSizeW = w;
    m_iLastSizeH = h;
    PostMessage(e_msgSize, type, w, h);
}

bool cWindowSystem::Translate(const SDL_Event& ev)
{
    auto ours = [this](Uint32 windowID) {
        return !m_Window.m_pWindow || windowID == 0 ||
               windowID == SDL_GetWindowID(m_Window.m_pWindow);
    };
    auto deliver = [this](const cRawInput& in) {
        if (!m_bFocused || !m_pSink) return false;
        m_pSink->OnRawInput(in);
        return true;
    };
    cRawInput in;
    switch (ev.type) {
    case SDL_QUIT:
        PostMessage(e_msgEndSession);
        return false;
    case SDL_WINDOWEVENT:
        if (!ours(ev.window.windowID)) return false;
        switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE: PostMessage(e_msgClose); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_bFocused = true;
            PostMessage(e_msgActivate, 1);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_bFocused = false;
            PostMessage(e_msgActivate, 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // A plain window's client area is the window; full screen keeps
            // the requested size whatever the desktop's.
            if (m_Window.m_pWindow && m_Window.m_bWindowed && ev.window.data1 > 0 &&
                ev.window.data2 > 0) {
                m_Window.m_iClientW = ev.window.data1;
                m_Window.m_iClientH = ev.window.data2;
            }
            PostSizeIfChanged(m_iLastSizeType == 2 ? 2 : 0);
            break;
        case SDL_WINDOWEVENT_MINIMIZED: PostSizeIfChanged(1); break;
        case SDL_WINDOWEVENT_MAXIMIZED: PostSizeIfChanged(2); break;
        case SDL_WINDOWEVENT_RESTORED: PostSizeIfChanged(0); break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED: {
            int w, h, bits;
            DesktopOfWindow(m_Window.m_pWindow, w, h, bits);
            PostMessage(e_msgDisplayChange, w, h, bits);
            break;
        }
        default: break;
        }
        return false;
    case SDL_DISPLAYEVENT: {
        int w, h, bits;
        DesktopOfWindow(m_Window.m_pWindow, w, h, bits);
        PostMessage(e_msgDisplayChange, w, h, bits);
        return false;
    }
    case SDL_TEXTINPUT: {
        if (!m_bFocused) return false;
        // Characters without a windows-1251 byte are dropped.
        const std::string bytes = Utf8ToCp1251(ev.text.text, '\0');
        for (unsigned char c : bytes)
            if (c) PostMessage(e_msgChar, c);
        return false;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (!m_bFocused) return false;
        if (ev.type == SDL_KEYDOWN) {
            // These keys type control characters, repeating while held; SDL's
            // text input never carries them.
            int ch = 0;
            switch (ev.key.keysym.sym) {
            case SDLK_BACKSPACE: ch = 8; break;
            case SDLK_TAB: ch = 9; break;
            case SDLK_RETURN:
            case SDLK_KP_ENTER: ch = 13; break;
            case SDLK_ESCAPE: ch = 27; break;
            default: break;
            }
            if (ch) PostMessage(e_msgChar, ch);
        }
        in.kind = cRawInput::e_rawKey;
        in.index = ev.key.keysym.scancode;
        in.value = ev.type == SDL_KEYDOWN ? 1 : 0;
        in.repeat = ev.key.repeat != 0;
        return deliver(in);
    }
    case SDL_MOUSEMOTION:
        in.kind = cRawInput::e_rawMouseMove;
        in.value = ev.motion.xrel;
        in.value2 = ev.motion.yrel;
        return deliver(in);
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int b = SdlButtonToIndex(ev.button.button);
        if (b < 0) return false;
        in.kind = cRawInput::e_rawMouseButton;
        in.index = b;
        in.value = ev.type == SDL_MOUSEBUTTONDOWN ? 1 : 0;
        return deliver(in);
    }
    case SDL_MOUSEWHEEL: {
        // 120 per notch, as wheel deltas are counted on the platform the
        // game was tuned for; fractional wheels give their share of it.
        long delta = ev.wheel.preciseY != 0.0f ? std::lround(ev.wheel.preciseY * 120.0f)
                                               : static_cast<long>(ev.wheel.y) * 120;
        if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
        if (delta == 0) return false;
        in.kind = cRawInput::e_rawWheel;
        in.value = static_cast<int>(delta);
        return deliver(in);
    }
    case SDL_JOYAXISMOTION:
        in.kind = cRawInput::e_rawJoyAxis;
        in.device = ev.jaxis.which;
        in.index = ev.jaxis.axis;
        in.value = ev.jaxis.value;
        return deliver(in);
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        in.kind = cRawInput::e_rawJoyButton;
        in.device = ev.jbutton.which;
        in.index = ev.jbutton.button;
        in.value = ev.type == SDL_JOYBUTTONDOWN ? 1 : 0;
        return deliver(in);
    case SDL_JOYHATMOTION:
        in.kind = cRawInput::e_rawJoyHat;
        in.device = ev.jhat.which;
        in.index = ev.jhat.hat;
        in.value = ev.jhat.value;
        return deliver(in);
    default:
        return false;
    }
}

bool cWindowSystem::TimerDue()
{
    return m_bTimerArmed && m_pClock->Counter() >= m_iTimerDeadline;
}

bool cWindowSystem::PeekMessage(cMessage& out)
{
    if (TakeQuitSignal()) PostMessage(e_msgEndSession);
    const bool lost = IsDisplayLost();
    if (lost && !m_bLossPosted) {
        m_bLossPosted = true;
        out = cMessage();
        out.type = e_msgDisplayLost;
        return true;
    }
    if (m_Window.m_pWindow && IsWindowLost() && !m_bWindowLossPosted) {
        m_bWindowLossPosted = true;
        WatchTeardownAfterWindowLoss();
        out = cMessage();
        out.type = e_msgWindowLost;
        return true;
    }
    cDisplayError error;
    if (TakeDisplayError(error)) {
        out = cMessage();
        out.type = e_msgDisplayError;
        out.a = error.code;
        out.b = error.request;
        out.c = error.minor;
        return true;
    }
    if (m_Queue.empty() && m_bInit && !lost) {
        SDL_Event ev;
        while (m_Queue.empty() && SDL_PollEvent(&ev)) {
            if (Translate(ev)) {
                out = cMessage();
                return true;
            }
        }
    }
    if (!m_Queue.empty()) {
        out = m_Queue.front();
        m_Queue.pop_front();
        return true;
    }
    if (m_bQuitPosted) {
        m_bQuitPosted = false;
        out = cMessage();
        out.type = e_msgQuit;
        out.a = m_iQuitCode;
        return true;
    }
    if (TimerDue()) {
        // Periods missed meanwhile merge into this one message.
        const int64_t now = m_pClock->Counter();
        const int64_t missed = m_iTimerPeriod > 0 ? (now - m_iTimerDeadline) / m_iTimerPeriod : 0;
        m_iTimerDeadline += (missed + 1) * std::max<int64_t>(m_iTimerPeriod, 1);
        out = cMessage();
        out.type = e_msgTimer;
        return true;
    }
    return false;
}

void cWindowSystem::WaitMessage()
{
    if (!m_Queue.empty() || m_bQuitPosted || TimerDue() || IsQuitSignalPending()) return;
    if (IsDisplayLost() && !m_bLossPosted) return;
    if ((m_Window.m_pWindow && IsWindowLost() && !m_bWindowLossPosted) || IsDisplayErrorPending()) return;
    if (m_bTimerArmed) {
        const int64_t left = m_iTimerDeadline - m_pClock->Counter();
        const int64_t freq = std::max<int64_t>(m_pClock->Frequency(), 1);
        const int64_t ms = std::clamp<int64_t>((left * 1000 + freq - 1) / freq, 1, 0x7FFFFFFF);
        if (m_bInit)
            SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
        else
            SleepMs(static_cast<unsigned>(ms));
    } else if (m_bInit) {
        SDL_WaitEvent(nullptr);
    }
}

void cWindowSystem::PostQuit(int code)
{
    m_bQuitPosted = true;
    m_iQuitCode = code;
}

void cWindowSystem::SetTimer(unsigned ms)
{
    const int64_t freq = std::max<int64_t>(m_pClock->Frequency(), 1);
    m_iTimerPeriod = std::max<int64_t>(static_cast<int64_t>(ms) * freq / 1000, 1);
    m_iTimerDeadline = m_pClock->Counter() + m_iTimerPeriod;
    m_bTimerArmed = true;
}

void cWindowSystem::KillTimer() { m_bTimerArmed = false; }

void cWindowSystem::SetSystemCursor(eSystemCursor cursor)
{
    if (!m_bInit) return;
    void* c = cursor == e_cursorApp ? m_pAppCursor : m_pArrowCursor;
    if (c) SDL_SetCursor(static_cast<SDL_Cursor*>(c));
}

bool cWindowSystem::GetCursorClientPos(int& x, int& y)
{
    SDL_Window* win = m_Window.m_pWindow;
    if (!win) return false;
    int wx = 0, wy = 0;
    if (SDL_GetMouseFocus() == win) {
        SDL_GetMouseState(&wx, &wy);
    } else {
        int gx = 0, gy = 0, px = 0, py = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        SDL_GetWindowPosition(win, &px, &py);
        wx = gx - px;
        wy = gy - py;
    }
    m_Window.WindowToClient(wx, wy, x, y);
    return true;
}

cWindowSystem& WindowSystem()
{
    static cWindowSystem system;
    return system;
}

}  // namespace vek::platform
