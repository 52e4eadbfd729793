#pragma once
// Losing the display server under a running game.
//
// When the X server goes away, Xlib reports a fatal I/O error and, left to
// itself, calls exit() from inside whatever X call noticed it. The static
// teardown that follows talks to the dead server again and never ends. Here
// the error is only recorded: Xlib's later calls on that connection fail at
// once, the window system turns the record into a message that ends the main
// loop, and the usual teardown runs (and skips what would need the server).
// Should the teardown still not finish, a watchdog ends the process.
struct SDL_Window;

namespace vek::platform {

// Watches the connection that the window's display uses; nothing happens on
// drivers other than X11. Repeating it for another window is harmless.
void WatchDisplayConnection(SDL_Window* window);

// True once the connection to the display server broke.
bool IsDisplayLost();

// Seconds the watchdog gives the teardown after a loss before it ends the
// process with exit code 1.
constexpr int kDisplayLossGraceSeconds = 4;

}  // namespace vek::platform
