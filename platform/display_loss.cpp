#include "platform/display_loss.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace vek::platform {

namespace {

std::atomic<bool> g_bLost{false};
std::atomic<bool> g_bWindowLost{false};
std::atomic<bool> g_bWatchdogStarted{false};
// Steps the teardown has finished; the watchdog reads it.
std::atomic<unsigned long> g_ulTeardownSteps{0};

void MarkLost()
{
    g_bLost = true;
    StartTeardownWatchdog(kDisplayLossGraceSeconds);
}

// The errors kept for the log: the first few of the process.
constexpr size_t kKeptErrors = 16;
std::mutex g_ErrorLock;
cDisplayError g_aErrors[kKeptErrors];
size_t g_uErrorsKept = 0;
size_t g_uErrorsTaken = 0;

#if defined(SDL_VIDEO_DRIVER_X11)
void MarkWindowLost() { g_bWindowLost = true; }

void KeepError(int code, int request, int minor)
{
    std::lock_guard<std::mutex> lock(g_ErrorLock);
    if (g_uErrorsKept >= kKeptErrors) return;
    g_aErrors[g_uErrorsKept++] = cDisplayError{code, request, minor};
}

// The watched window and the connection it lives on.
std::atomic<Display*> g_pDisplay{nullptr};
std::atomic<unsigned long> g_ulWindow{0};
// A handler installed before ours that is neither Xlib's nor SDL's (both
// end the process); errors that do not concern the window go on to it.
std::atomic<XErrorHandler> g_pChained{nullptr};

// Called by Xlib for any connection that breaks. Returning hands over to the
// connection's exit handler: ours for the window's connection, Xlib's exit()
// for any other.
int OnIOError(Display*)
{
    MarkLost();
    return 0;
}

// Returning instead of exiting: the connection stays marked as broken and
// Xlib's later calls on it fail at once.
void OnIOErrorExit(Display*, void*) { MarkLost(); }

// Called by Xlib for every error reply; returning goes on with the program.
// It may make no request on the connection.
int OnError(Display* display, XErrorEvent* error)
{
    // Whatever still touches a window that is gone (the frames before the
    // loop ends, the teardown) fails as expected.
    if (g_bWindowLost) return 0;
    const unsigned long window = g_ulWindow;
    if (window != 0 && display == g_pDisplay && error->resourceid == window &&
        (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        MarkWindowLost();
        return 0;
    }
    if (const XErrorHandler chained = g_pChained) return chained(display, error);
    KeepError(error->error_code, error->request_code, error->minor_code);
    return 0;
}

// The window's destruction also reaches the program as an event: should
// nothing touch the window afterwards (a game in the background draws
// nothing), no error would ever tell of it.
int OnEvent(void*, SDL_Event* event)
{
    if (event->type != SDL_SYSWMEVENT || !event->syswm.msg || event->syswm.msg->subsystem != SDL_SYSWM_X11)
        return 0;
    const XEvent& x = event->syswm.msg->msg.x11.event;
    const unsigned long window = g_ulWindow;
    if (x.type == DestroyNotify && window != 0 && x.xdestroywindow.window == window) MarkWindowLost();
    return 0;
}

// The shared object a function lives in.
const void* LibraryOf(const void* function)
{
    Dl_info info;
    return function && dladdr(function, &info) ? info.dli_fbase : nullptr;
}

using tSetIOErrorHandler = XIOErrorHandler (*)(XIOErrorHandler);
using tSetIOErrorExitHandler = void (*)(Display*, XIOErrorExitHandler, void*);
using tSetErrorHandler = XErrorHandler (*)(XErrorHandler);
#endif

}  // namespace

void WatchDisplayConnection(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    if (!window) return;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        !info.info.x11.display)
        return;
    // The Xlib that SDL loaded, not one of our own: its handlers are the ones
    // that count. It stays loaded as long as SDL's video runs.
    static void* s_pXlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!s_pXlib) return;
    auto setHandler = reinterpret_cast<tSetIOErrorHandler>(dlsym(s_pXlib, "XSetIOErrorHandler"));
    auto setExit = reinterpret_cast<tSetIOErrorExitHandler>(dlsym(s_pXlib, "XSetIOErrorExitHandler"));
    auto setError = reinterpret_cast<tSetErrorHandler>(dlsym(s_pXlib, "XSetErrorHandler"));
    if (setHandler) setHandler(OnIOError);
    // Older Xlib has no exit handler: a loss then still exits at once, and
    // the window system's static teardown leaves the dead server alone.
    if (setExit) setExit(info.info.x11.display, OnIOErrorExit, nullptr);

    g_pDisplay = info.info.x11.display;
    g_ulWindow = info.info.x11.window;
    g_bWindowLost = false;
    if (setError) {
        // SDL's own lasting handler only puts the desktop's video mode back
        // and then hands over to Xlib's, which exits; the handlers SDL puts
        // in place around single requests come and go above ours.
        const XErrorHandler previous = setError(OnError);
        if (previous != OnError) {
            const void* library = LibraryOf(reinterpret_cast<void*>(previous));
            const bool ends = !library || library == LibraryOf(reinterpret_cast<void*>(setError)) ||
                              library == LibraryOf(reinterpret_cast<void*>(&SDL_Init));
            g_pChained = ends ? nullptr : previous;
        }
    }
    // SDL hands out the X events themselves only when asked; the watch sees
    // them before anything could drop them from the queue.
    SDL_DelEventWatch(OnEvent, nullptr);
    SDL_AddEventWatch(OnEvent, nullptr);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
#else
    (void)window;
#endif
}

void ForgetWatchedWindow()
{
#if defined(SDL_VIDEO_DRIVER_X11)
    g_ulWindow = 0;
#endif
}

void StartTeardownWatchdog(int seconds)
{
    if (g_bWatchdogStarted.exchange(true)) return;
    try {
        std::thread([seconds] {
            // A teardown on a loaded machine may be slow, yet it goes on: only
            // a whole grace period without a finished step is a hang.
            unsigned long seen = g_ulTeardownSteps.load();
            for (;;) {
                std::this_thread::sleep_for(std::chrono::seconds(seconds));
                const unsigned long now = g_ulTeardownSteps.load();
                if (now == seen) break;
                seen = now;
            }
            static const char text[] = "the display or the window was lost and the game did not end in time\n";
            (void)!write(STDERR_FILENO, text, sizeof text - 1);
            _exit(1);
        }).detach();
    } catch (...) {
        // No thread: the teardown has to finish on its own.
    }
}

void NoteTeardownStep() { g_ulTeardownSteps.fetch_add(1, std::memory_order_relaxed); }

bool IsDisplayLost() { return g_bLost; }

bool IsWindowLost() { return g_bWindowLost; }

void WatchTeardownAfterWindowLoss()
{
    // The server still answers, so nothing should wait for it; the watchdog
    // only guards against a wait that never ends.
    StartTeardownWatchdog(kDisplayLossGraceSeconds);
}

bool TakeDisplayError(cDisplayError& out)
{
    std::lock_guard<std::mutex> lock(g_ErrorLock);
    if (g_uErrorsTaken >= g_uErrorsKept) return false;
    out = g_aErrors[g_uErrorsTaken++];
    return true;
}

bool IsDisplayErrorPending()
{
    std::lock_guard<std::mutex> lock(g_ErrorLock);
    return g_uErrorsTaken < g_uErrorsKept;
}

}  // namespace vek::platform
