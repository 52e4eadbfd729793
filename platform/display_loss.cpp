#include "platform/display_loss.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vek::platform {

namespace {

std::atomic<bool> g_bLost{false};
std::atomic<bool> g_bWatchdogStarted{false};

void StartWatchdog()
{
    if (g_bWatchdogStarted.exchange(true)) return;
    try {
        std::thread([] {
            std::this_thread::sleep_for(std::chrono::seconds(kDisplayLossGraceSeconds));
            static const char text[] = "the display was lost and the game did not end in time\n";
            (void)!write(STDERR_FILENO, text, sizeof text - 1);
            _exit(1);
        }).detach();
    } catch (...) {
        // No thread: the teardown has to finish on its own.
    }
}

void MarkLost()
{
    g_bLost = true;
    StartWatchdog();
}

#if defined(SDL_VIDEO_DRIVER_X11)
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

using tSetIOErrorHandler = XIOErrorHandler (*)(XIOErrorHandler);
using tSetIOErrorExitHandler = void (*)(Display*, XIOErrorExitHandler, void*);
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
    if (setHandler) setHandler(OnIOError);
    // Older Xlib has no exit handler: a loss then still exits at once, and
    // the window system's static teardown leaves the dead server alone.
    if (setExit) setExit(info.info.x11.display, OnIOErrorExit, nullptr);
#else
    (void)window;
#endif
}

bool IsDisplayLost() { return g_bLost; }

}  // namespace vek::platform
