#pragma once
// The engine object's calls into the subsystems it drives: the render
// device, the texture manager, the GUI, the console, the sound manager and
// the screenshot command. The window, the main loop and the frame reach them
// only through these functions, each of which does nothing (and reports
// "not taken" / "not ready") while its subsystem is absent.
namespace vek::calls {

// ---- render device ----
// Creates the device for the engine window; 0 on success, nonzero when it
// failed or there is no renderer to create it.
int RenderInit(int bits, int depthStencil, int antiAlias, int vsync);
void RenderFree();
// The drawable area; false without a renderer.
bool RenderGetViewport(int& x, int& y, int& w, int& h);
void RenderSetViewport(int x, int y, int w, int h);
// 0 when the scene has begun and may be drawn.
int RenderBegin();
// Clears the back buffer to transparent black (depth 1, the clear stencil).
void RenderClearBlack();
void RenderEnd();
void RenderPresent();
// The desktop changed under the device: the next Begin resets it.
void RenderMarkDeviceLost();

// ---- texture manager ----
void TexturesCreateContext();
void TexturesDeleteContext();

// ---- GUI ----
void GuiSetDeviceRect(int x, int y, int w, int h);
void GuiDraw();
// Lets the GUI choose between its own pointer sprite and the system's;
// false without a GUI.
bool GuiApplySystemCursor();
bool GuiKeyDown(int code);
bool GuiKeyUp(int code);
// A mouse button pressed or released at a client-pixel position; the GUI
// converts it to its own space and offers the message to the shown windows.
bool GuiMouseButton(int button, int x, int y);
bool GuiMouseButtonUp(int button, int x, int y);
bool GuiMouseMove(int x, int y);
bool GuiChar(int character);
void GuiUpdate(float step);

// ---- console ----
bool ConsoleKey(int code);
bool ConsoleChar(int character);
void ConsoleDraw(float elapsed);

// ---- sound manager ----
// Focus lost: mark the manager inactive and pause the output; regained: the reverse.
void SoundSetActive(bool active);

// ---- engine commands ----
void SaveScreenshot();

} // namespace vek::calls
