#pragma once
// Losing the display server, or the game's window, under a running game.
//
// When the X server goes away, Xlib reports a fatal I/O error and, left to
// itself, calls exit() from inside whatever X call noticed it. The static
// teardown that follows talks to the dead server again and never ends. Here
// the error is only recorded: Xlib's later calls on that connection fail at
// once, the window system turns the record into a message that ends the main
// loop, and the usual teardown runs (and skips what would need the server).
//
// Another program may also destroy the window while the server lives on.
// Xlib's default answer to the errors that follow (drawing into a window that
// is gone) is again exit() from inside an X call; here the window is only
// recorded as lost, which likewise ends the game through its teardown. Other
// X errors are recorded for the log and the game goes on.
//
// Should the teardown after either loss hang, a watchdog ends the process:
// the teardown reports each step it finishes (every line it logs), and a
// whole grace period without one is a hang. A slow teardown that still
// makes progress, on a loaded machine, is left to finish.
struct SDL_Window;

namespace vek::platform {

// Watches the connection that the window's display uses and the window
// itself; nothing happens on drivers other than X11. Repeating it for another
// window is harmless: the newest window is the one watched.
void WatchDisplayConnection(SDL_Window* window);

// The watched window is about to be destroyed by the game itself: that is
// no loss. Call before destroying it.
void ForgetWatchedWindow();

// True once the connection to the display server broke.
bool IsDisplayLost();

// True once the watched window was destroyed by someone else (or the server
// reports it gone); cleared when another window is watched.
bool IsWindowLost();
// The window's loss was handed to the game, whose teardown follows: the
// watchdog starts (with a grace of its own; a lost window made again
// during start-up starts none).
void WatchTeardownAfterWindowLoss();

// An X error that the game survived: the error code, the request's major and
// minor opcodes. Only the first few of a process are kept for the log; the
// errors of a window that is gone are expected and not kept.
struct cDisplayError {
    int code = 0;
    int request = 0;
    int minor = 0;
};
bool TakeDisplayError(cDisplayError& out);
bool IsDisplayErrorPending();

// Seconds the watchdog waits for the teardown's next step after a loss
// before it ends the process with exit code 1.
constexpr int kDisplayLossGraceSeconds = 10;

// Starts the watchdog (once a process; later calls do nothing): it ends the
// process with exit code 1 after `seconds` pass without a NoteTeardownStep().
void StartTeardownWatchdog(int seconds);
// A step of the teardown (or of anything the watchdog waits for) finished.
// Cheap enough to call for every line the log writes.
void NoteTeardownStep();

}  // namespace vek::platform
