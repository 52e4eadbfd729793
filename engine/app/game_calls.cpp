#include "engine/app/game_calls.h"

#include "engine/app/commands.h"
#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/gui.h"

namespace vek::calls {

namespace {

cConsole* Console() { return cConsole::OfLog(); }

} // namespace

// ---- render device ----
// An engine without managers has no renderer: there is no device to create
// (RenderInit fails) or free.

int RenderInit(int bits, int depthStencil, int antiAlias, int vsync)
{
    if (!g_pRender) return -1;
    cRenderSettings settings;
    settings.iBits = bits;
    settings.iDepthStencil = depthStencil;
    settings.iAntiAlias = antiAlias;
    settings.iVSync = vsync;
    return g_pRender->Init(settings);
}

void RenderFree()
{
    if (g_pRender) g_pRender->Free();
}

bool RenderGetViewport(int& x, int& y, int& w, int& h)
{
    if (!g_pRender) return false;
    const recti v = g_pRender->GetViewport();
    x = v.x;
    y = v.y;
    w = v.w;
    h = v.h;
    return true;
}

void RenderSetViewport(int x, int y, int w, int h)
{
    if (g_pRender) g_pRender->SetViewport(x, y, w, h);
}

int RenderBegin() { return g_pRender ? g_pRender->Begin() : cRender::e_beginNoDevice; }

void RenderClearBlack()
{
    if (!g_pRender) return;
    g_pRender->SetClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    g_pRender->Clear();
}

void RenderEnd()
{
    if (g_pRender) g_pRender->End();
}

void RenderPresent()
{
    if (g_pRender) g_pRender->SwapBuffers();
}

void RenderMarkDeviceLost()
{
    if (g_pRender) g_pRender->MarkDeviceLost();
}

// ---- texture manager ----

void TexturesCreateContext()
{
    if (g_pTextureManager) g_pTextureManager->OnCreateContext();
}

void TexturesDeleteContext()
{
    if (g_pTextureManager) g_pTextureManager->OnDeleteContext();
}

// ---- GUI ----

void GuiSetDeviceRect(int x, int y, int w, int h)
{
    if (cGUI* gui = GetEngineGUI()) gui->SetViewport(x, y, w, h);
}

void GuiDraw()
{
    if (cGUI* gui = GetEngineGUI()) gui->Draw();
}

bool GuiApplySystemCursor()
{
    cGUI* gui = GetEngineGUI();
    if (gui) gui->ApplySystemCursor();
    return gui != nullptr;
}

bool GuiKeyDown(int code)
{
    cGUI* gui = GetEngineGUI();
    return gui && gui->OnKeyDown(code);
}

bool GuiKeyUp(int code)
{
    cGUI* gui = GetEngineGUI();
    return gui && gui->OnKeyUp(code);
}

bool GuiMouseButton(int button, int x, int y)
{
    cGUI* gui = GetEngineGUI();
    return gui && gui->OnMouseButton(false, button, x, y);
}

bool GuiMouseMove(int x, int y)
{
    cGUI* gui = GetEngineGUI();
    return gui && gui->OnMouseMove(x, y);
}

bool GuiMouseButtonUp(int button, int x, int y)
{
    cGUI* gui = GetEngineGUI();
    return gui && gui->OnMouseButton(true, button, x, y);
}

bool GuiChar(int character)
{
    cGUI* gui = GetEngineGUI();
    return gui && gui->OnChar(character);
}

void GuiUpdate(float step)
{
    if (cGUI* gui = GetEngineGUI()) gui->Update(step);
}

// ---- console ----

bool ConsoleKey(int code)
{
    cConsole* c = Console();
    return c && c->OnKey(code);
}

bool ConsoleChar(int character)
{
    cConsole* c = Console();
    return c && c->OnChar(character);
}

void ConsoleDraw(float elapsed)
{
    if (cConsole* c = Console()) c->Draw(elapsed);
}

// ---- sound manager ----

void SoundSetActive(bool active)
{
    if (g_pSoundManager) g_pSoundManager->OnActivateApp(active);
}

// ---- engine commands ----

void SaveScreenshot() { CreateScreenShot(); }

} // namespace vek::calls
