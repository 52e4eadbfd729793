#pragma once
// The engine object's calls into the subsystems it drives: the render
// device, the texture manager, the GUI, the console, the sound manager and
// the screenshot command. The window, the main loop and the frame reach them
// only through these functions, each of which does nothing (and reports
// "not taken" / "not ready") while its subsystem is absent.
namespace vek::calls {

// ---- render device ----
// Creates the device for the engine window; 0 on success.
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
// The GUI's device size; false without a GUI.
bool GuiGetDeviceSize(int& w, int& h);
void GuiDraw();
bool GuiKeyDown(int code);
bool GuiKeyUp(int code);
bool GuiMouseButton(int button, int x, int y);
bool GuiMouseMove(int x, int y);
// Offers a window message with a packed GUI point to the shown windows, top
// down; true when a window took it or a modal window stopped the walk.
bool GuiWindowsMessage(int message, int packedPoint);
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
