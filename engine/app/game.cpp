#include "engine/app/game.h"

#include <algorithm>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/core/input.h"
#include "engine/core/script.h"
#include "engine/graphics/buffers.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/app/bind.h"
#include "engine/app/console.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/sound/sound.h"
#include "platform/display.h"
#include "platform/process.h"
#include "platform/window.h"

namespace vek {

cGame* g_pGame = nullptr;

namespace {
constexpr const char* kSender = "cGame";
constexpr int kFrameRing = 100;
} // namespace

cGame::cGame(const cSettings& settings)
{
    // 1-2. Fields start as declared; the frame-time ring holds 100 zeros.
    vecFrameTimes.assign(kFrameRing, 0.0f);
    CreateFrameObjects(settings.fWidth, settings.fHeight);

    // 3. From here on the engine is reachable.
    g_pGame = this;
    SetCaseLocale(&strLocale);
    SetGuiHost(this);

    // 4-5. Paths first: the log lives in {AppPath}.
    ResolvePathMacros(settings.strName);
    new cLog(settings.fWidth, settings.fHeight, cConsole::Make);

    // 6. Frame timing reads the counter's frequency.
    InitFrameTiming();

    // 7. The user name, in the engine's 8-bit text.
    strUserName = platform::GetLoginName();
    LogText(kSender, "User name: %s\n", strUserName);

    // 8.
    LogText(kSender, "System paths:\n");
    LogText(kSender, "  {ExePath} = %s\n", GetPathMacro(e_macroExePath));
    LogText(kSender, "  {StaticPath} = %s\n", GetPathMacro(e_macroStaticPath));
    LogText(kSender, "  {AppPath} = %s\n", GetPathMacro(e_macroAppPath));
    LogText(kSender, "  {UserPath} = %s\n", GetPathMacro(e_macroUserPath));

    // 9-10. The desktop mode and every display mode.
    ReadDesktopDisplayMode();
    EnumDisplayModes();
    LogText(kSender, "Enum all graphics modes... Ok\n");

    // 11.
    strTitle = settings.strTitle;
    strName = settings.strName;
    iBits = settings.iBits;
    iDepthStencil = settings.iDepthStencil;
    iAntiAlias = settings.iAntiAlias;
    iVSync = settings.iVSync;
    fWidth = settings.fWidth;
    fHeight = settings.fHeight;

    // 12. Without a window class there is nothing to draw into: no managers.
    const unsigned atom = RegisterWindowClass();
    if (atom == 0) {
        LogError(kSender, "Registering Class... Failed\n");
        return;
    }
    LogText(kSender, "Registering Class... Ok. Atom: 0x%X\n", atom);
    LogText(kSender, "SetUnhandledExceptionFilter... Ok\n");

    // 13.
    CreateManagers();
    m_bManagersCreated = true;

    // 14-15. Scripts see the engine's classes, the engine and its GUI.
    RegisterLua();
}

cGame::~cGame()
{
    // 1. Widgets first: they may still use the managers.
    DeleteWidgets();

    // 2-7. Managers in the reverse order of their creation.
    if (m_bManagersCreated) DestroyManagers();

    // 8.
    DestroyFrameObjects();

    // 9.
    RestoreDisplaySettings();

    // 10. The log is the last thing to go.
    delete g_pLog;

    // 11.
    vecFrameTimes.clear();
    lstWidgets.clear();
    if (g_pGame == this) {
        g_pGame = nullptr;
        SetCaseLocale(nullptr);
        SetGuiHost(nullptr);
    }
}

void cGame::AddWidget(cWidget* widget) { lstWidgets.push_back(widget); }

void cGame::RemoveWidget(cWidget* widget)
{
    // The entry is blanked rather than erased, so a walk over the list that
    // deletes widgets stays valid.
    std::replace(lstWidgets.begin(), lstWidgets.end(), widget, static_cast<cWidget*>(nullptr));
    if (pFocusWidget == widget) pFocusWidget = nullptr;
}

void cGame::CreateFrameObjects(float width, float height)
{
    pGUI = new cGUI(width, height);
    pBatch = new cQuadBatch();
}

void cGame::DestroyFrameObjects()
{
    delete pBatch;
    pBatch = nullptr;
    delete pGUI;
    pGUI = nullptr;
}

void cGame::CreateManagers()
{
    CreateScript();
    CreateRender();
    CreateBufferRegistry();
    CreateTextureManager();
    CreateInput();
    CreateSoundManager();
    CreateFontManager();
}

void cGame::RegisterLua()
{
    if (!g_pScript) return;
    RegisterEngineLua(g_pScript);
    g_pScript->RegisterVar("theEngine", this);
    g_pScript->RegisterVar("theGUI", pGUI);
}

void cGame::DestroyManagers()
{
    DestroyFontManager();
    DestroySoundManager();
    DestroyInput();
    DestroyTextureManager();
    DestroyBufferRegistry();
    DestroyRender();
    DestroyScript();
}

void cGame::DeleteWidgets()
{
    // A widget's destructor blanks its own entry, so walk a copy.
    const std::list<cWidget*> widgets = lstWidgets;
    for (cWidget* w : widgets) delete w;
    lstWidgets.clear();
}

void cGame::SetLocale(const string& name) { strLocale = name; }

void cGame::EnableConsole(bool enable) { bConsoleEnabled = enable ? 1 : 0; }

int cGame::PauseWidget(bool pause)
{
    if (pause) {
        ++iPause;
        return 1;
    }
    if (iPause > 0) --iPause;
    return -1;
}

} // namespace vek
