#pragma once
// The one top-level window, its event pump turned into the few messages the
// engine handles, the frame-rate timer, the quit request, the cursor, and
// the presentation data the render device needs (virtual client size,
// letterbox, software gamma ramp).
//
// The engine always sees a client area of the size it asked for (1024 x 768).
// Windowed, that is the real window. Full screen, the window covers the
// desktop at the desktop's own resolution and the device presents the
// client-sized picture scaled to fit, aspect kept, with black bars; mouse
// positions are mapped back. The desktop mode is never changed.
#include <cstdint>
#include <deque>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace vek::platform {

class iClock;

enum eMessage {
    e_msgNone,           // an input event went to the input sink; still one turn of the loop
    e_msgQuit,           // a: exit code
    e_msgClose,          // the user closed the window
    e_msgEndSession,     // the session or the process is ending (logout, SIGINT, SIGTERM)
    e_msgActivate,       // a: 1 gained, 0 lost
    e_msgSize,           // a: 0 restored, 1 minimised, 2 maximised; b, c: client width, height
    e_msgChar,           // a: the typed character as a windows-1251 byte (0..255)
    e_msgDisplayChange,  // a, b, c: desktop width, height, bits per pixel
    e_msgTimer,          // the frame-rate timer's period elapsed
    e_msgDisplayLost,    // the connection to the display server broke (sent once)
    e_msgWindowLost,     // someone else destroyed the window (sent once)
    e_msgDisplayError,   // the display refused a request; a: error code, b, c: request opcodes
};

struct cMessage {
    eMessage type = e_msgNone;
    int a = 0, b = 0, c = 0;
};

enum eSystemCursor { e_cursorApp, e_cursorArrow };

// A rectangle in pixels.
struct cPixelRect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Where a picture of srcW x srcH lands when scaled to fit dstW x dstH with
// its aspect ratio kept and centred (letterbox or pillarbox bars around it).
// Origin top-left. Degenerate sizes give an empty rectangle.
cPixelRect FitAspect(int srcW, int srcH, int dstW, int dstH);

// Maps a point of the destination (top-left origin) back into the picture's
// own pixels. Points on the bars clamp to the picture's edge. False (and 0, 0)
// when the rectangle is empty.
bool MapToPicture(const cPixelRect& placed, int srcW, int srcH, int x, int y, int& outX,
                  int& outY);

// Raw input from the pump, before the input layer turns it into device
// items. Only delivered while the window has the focus.
struct cRawInput {
    enum eKind {
        e_rawKey,          // index: SDL scan code; value: 1 down, 0 up; repeat set for auto-repeat
        e_rawMouseMove,    // value: dx, value2: dy (window pixels)
        e_rawMouseButton,  // index: button 0..7 (0 left, 1 right, 2 middle, 3 X1, 4 X2); value: 1/0
        e_rawWheel,        // value: signed delta, 120 per notch
        e_rawJoyAxis,      // device: joystick instance id; index: axis; value: -32768..32767
        e_rawJoyButton,    // device, index: button; value 1/0
        e_rawJoyHat,       // device, index: hat; value: SDL hat bits
    };
    eKind kind = e_rawKey;
    int device = 0;
    int index = 0;
    int value = 0;
    int value2 = 0;
    bool repeat = false;
};

class iInputSink {
public:
    virtual ~iInputSink() = default;
    virtual void OnRawInput(const cRawInput& input) = 0;
};

struct cWindowDesc {
    std::string title;  // engine text (windows-1251)
    bool windowed = true;
    int width = 1024;   // client size the engine sees
    int height = 768;
    int depthBits = 24;   // 0: no depth buffer
    int stencilBits = 0;  // 0: no stencil buffer
    // Create the window with an OpenGL 3.3 core context configuration. Tests
    // under the dummy video driver (which has no GL) turn it off.
    bool opengl = true;
};

// The engine's window handle. The render device draws into it: it renders
// the frame at GetClientSize() and presents it into GetPresentRect() of the
// drawable, applying the software gamma ramp (GetGammaRamp) on the way.
class cNativeWindow {
public:
    SDL_Window* GetSdlWindow() const { return m_pWindow; }

    // The client size the engine works with (the requested size, also when
    // full screen on a larger desktop).
    void GetClientSize(int& w, int& h) const;
    // The window's size in screen units and the GL drawable's size in pixels
    // (they differ on high-density displays).
    void GetWindowSize(int& w, int& h) const;
    void GetDrawableSize(int& w, int& h) const;
    // Where the client-sized picture goes inside the drawable, in drawable
    // pixels with the origin at the BOTTOM-left (ready for glViewport or
    // glBlitFramebuffer). Equal to the whole drawable when no scaling is needed.
    cPixelRect GetPresentRect() const;
    // True when the picture must be scaled (client size differs from the drawable).
    bool IsScaled() const;
    bool IsFullscreen() const { return !m_bWindowed; }

    // A position in window coordinates (top-left origin, screen units, as
    // SDL reports the mouse) to client coordinates.
    void WindowToClient(int wx, int wy, int& cx, int& cy) const;

private:
    friend class cWindowSystem;
    SDL_Window* m_pWindow = nullptr;
    int m_iClientW = 0, m_iClientH = 0;
    bool m_bWindowed = true;
};

// The software gamma ramp: three channels of 256 entries. Starts as the
// identity (entry i = i * 256) and is never applied to the desktop, so no
// setting outlives the game. Reading always succeeds; setting fails while no
// window exists. GammaRampSerial() changes on every successful set, so the
// device re-uploads its lookup table only then.
bool GetGammaRamp(uint16_t r[256], uint16_t g[256], uint16_t b[256]);
bool SetGammaRamp(const uint16_t r[256], const uint16_t g[256], const uint16_t b[256]);
uint32_t GammaRampSerial();
bool IsGammaRampIdentity();

class cWindowSystem {
public:
    // clock: the counter the timer deadline uses (SystemClock() when null).
    explicit cWindowSystem(iClock* clock = nullptr);
    ~cWindowSystem();
    cWindowSystem(const cWindowSystem&) = delete;
    cWindowSystem& operator=(const cWindowSystem&) = delete;

    // Video and events up; false when there is no display. Idempotent; a
    // failure is final. Unless SDL_VIDEODRIVER names a driver, only drivers
    // that show a window to a person are used (x11, then wayland).
    bool Init();
    bool IsInitialised() const { return m_bInit; }
    // Why Init failed (the video drivers' own words); empty before a failure.
    const std::string& InitError() const { return m_strInitError; }
    // A non-zero id once video is up (0 without a display). Also prepares
    // the window icon and the application cursor.
    unsigned RegisterWindowClass(const std::string& name);

    bool CreateWindow(const cWindowDesc& desc);
    void DestroyWindow();
    bool HasWindow() const { return m_Window.m_pWindow != nullptr; }
    cNativeWindow* GetWindow() { return HasWindow() ? &m_Window : nullptr; }

    // Removes every waiting message but a request to end the game: a posted
    // quit stays posted, and the window's close and the end of the session
    // (queued or still in the event queue) stay waiting.
    void DrainMessages();
    void SetTitle(const std::string& title);  // engine text (windows-1251)
    void Show();
    void Minimize();
    void Restore();
    bool IsMinimized() const;
    // Full screen on the desktop (no mode change) or back to a window; the
    // client size the engine sees becomes w x h either way.
    bool SetFullscreen(bool fullscreen, int w, int h);
    // Client size (the virtual one); false without a window.
    bool GetClientSize(int& w, int& h) const;
    // Windowed: the client area becomes w x h and the window is centred on
    // the desktop. Full screen: only the virtual client size changes.
    void FitClientArea(int w, int h);

    // One message per call; false when nothing is waiting. Input events are
    // handed to the sink and reported as e_msgNone. Once the display is lost
    // (display_loss.h) the display is not asked again: e_msgDisplayLost comes
    // first, then what is queued. A window lost to someone else is reported
    // once as e_msgWindowLost, ahead of what is queued.
    bool PeekMessage(cMessage& out);
    // Blocks until a message is ready (the timer's deadline included).
    void WaitMessage();
    // Ends the loop with this code once the messages already queued are taken.
    void PostQuit(int code);
    // One periodic timer delivered as e_msgTimer through PeekMessage when
    // nothing else waits; missed periods merge into one message.
    void SetTimer(unsigned ms);
    void KillTimer();

    void SetSystemCursor(eSystemCursor cursor);
    // The cursor in client coordinates (top-left origin); false without a window.
    bool GetCursorClientPos(int& x, int& y);
    bool HasFocus() const { return m_bFocused; }

    void SetEventSink(iInputSink* sink) { m_pSink = sink; }

    // Windows the engine creates get an OpenGL configuration. Tests under a
    // video driver without GL turn it off.
    bool bOpenGL = true;

    // Translates one SDL event into queued messages and sink calls; true when
    // the event went to the input sink. Public so that tests can feed events
    // without a real event source.
    bool Translate(const SDL_Event& ev);

private:
    void PostMessage(eMessage type, int a = 0, int b = 0, int c = 0);
    void PostSizeIfChanged(int type);
    bool TimerDue();
    void ReleaseCursors();

    iClock* m_pClock;
    bool m_bInit = false;
    bool m_bInitFailed = false;
    std::string m_strInitError;
    bool m_bOwnsSdl = false;
    cNativeWindow m_Window;
    std::deque<cMessage> m_Queue;
    iInputSink* m_pSink = nullptr;
    bool m_bFocused = true;
    bool m_bQuitPosted = false;
    bool m_bLossPosted = false;
    bool m_bWindowLossPosted = false;
    // A window destroyed by someone else that SDL still counts as its own:
    // SDL must not be asked to destroy it (it would wait for the server to
    // unmap a window that no longer exists).
    bool m_bWindowAbandoned = false;
    int m_iQuitCode = 0;
    bool m_bTimerArmed = false;
    int64_t m_iTimerPeriod = 0;
    int64_t m_iTimerDeadline = 0;
    int m_iLastSizeType = -1, m_iLastSizeW = -1, m_iLastSizeH = -1;
    void* m_pAppCursor = nullptr;
    void* m_pArrowCursor = nullptr;
    void* m_pIcon = nullptr;
    // The GL library stays loaded from the first OpenGL window on until
    // video shuts down, however many windows come and go.
    bool m_bGlLibraryHeld = false;
};

// The process's window system (the engine's and the entry routine's).
cWindowSystem& WindowSystem();

// SIGTERM and SIGINT (the end of the desktop session, Ctrl+C) become a quit
// request that the window system hands out as e_msgEndSession, whenever it
// came: before the window exists, while it is made again, while the game
// loads. Set up as early as the process can, so that no moment of start-up
// ends the process without its teardown. Safe to call again.
void CatchQuitSignals();
// Whether a quit signal came and has not been handed out yet.
bool IsQuitSignalPending();

}  // namespace vek::platform
