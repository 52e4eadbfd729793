#include "game/shell/entry.h"

#include <cstdio>
#include <string>

#include "engine/core/filename.h"
#include "engine/app/game.h"
#include "engine/app/sysinfo.h"
#include "game/shell/garden.h"
#include "game/world/ware.h"
#include "platform/display.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/window.h"

bool g_bSmallWorkArea = false;

namespace {

// The single-instance lock lives as long as the process runs the game; a
// crash releases it with the process.
constexpr const char* kInstanceName = "GardenMutex";
// How the program names itself in the lines it writes to standard error.
constexpr const char* kProgram = "zembrolavine";

} // namespace

vek::cGame::cSettings MakeApplicationRecord()
{
    vek::cGame::cSettings s;
    s.strTitle = "Zembro Lavine";
    s.strName = "Zembrolavine";
    s.iBits = 32;
    s.iDepthStencil = 1;
    s.iAntiAlias = 0;
    s.iVSync = 0;
    s.fWidth = 1024.0f;
    s.fHeight = 768.0f;
    return s;
}

bool DetectSmallWorkArea()
{
    // Unknown (no display) counts as large enough: nothing to keep to.
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!vek::platform::GetWorkArea(left, top, right, bottom)) return false;
    return right < 1024 || bottom < 768;
}

int EntryMain(int, char**)
{
    // The end of the session or Ctrl+C at any moment from here on ends the
    // game through its teardown below.
    vek::platform::CatchQuitSignals();
    const vek::cGame::cSettings settings = MakeApplicationRecord();

    // 1. One instance at a time; a second one leaves silently. When the
    // runtime folder is missing, the lock goes into the application folder.
    // Anything else that keeps the game from its lock or its data folder is
    // said on standard error: without the folder there would be no log and
    // no save.
    vek::platform::cInstanceLock lock;
    vek::ResolvePathMacros(settings.strName);
    const std::string appFolder = vek::platform::ToNativePath(vek::GetPathMacro(vek::e_macroAppPath));
    std::string reason;
    switch (lock.Acquire(kInstanceName, appFolder, &reason)) {
    case vek::platform::cInstanceLock::e_lockTaken: break;
    case vek::platform::cInstanceLock::e_lockBusy: return 0;
    case vek::platform::cInstanceLock::e_lockFailed:
        std::fprintf(stderr, "%s: cannot take the single-instance lock: %s\n", kProgram, reason.c_str());
        return 1;
    }
    if (appFolder.empty()) {
        std::fprintf(stderr, "%s: no folder for the game's data: neither HOME nor XDG_DATA_HOME is usable\n",
                     kProgram);
        return 1;
    }
    if (!vek::platform::MakeWritableFolder(appFolder, &reason)) {
        std::fprintf(stderr, "%s: cannot use the data folder %s: %s\n", kProgram, appFolder.c_str(),
                     reason.c_str());
        return 1;
    }

    // 2. A desktop smaller than the game keeps the game full screen.
    g_bSmallWorkArea = DetectSmallWorkArea();

    // 3-5.
    vek::cGame* engine = new vek::cGame(settings);

    // 6.
    vek::DumpSystemInfo("cpu os video");

    // 7. Full screen at 1024 x 768 with 32-bit colour.
    if (!engine->CreateWindow(false, 1024, 768, 32)) {
        delete engine;
        // The log has the details; a game started where nothing can show it
        // also says so where it was started.
        if (!vek::platform::WindowSystem().IsInitialised())
            std::fprintf(stderr, "no display: set DISPLAY or WAYLAND_DISPLAY\n");
        return 1;
    }

    // 8-9.
    vek::DumpSystemInfo("render sound");
    CreateWareManager();

    // 10. The game object's start-up ends with the splash screen focused.
    new cGarden();
    g_pGarden->InitGame();

    // 11.
    const int exitCode = engine->Run();

    // 12. Its destructor writes the settings, the profiles and the scores.
    delete g_pGarden;

    // 13-15.
    DestroyWareManager();
    engine->DestroyWindow();
    delete engine;

    // 16-17.
    lock.Release();
    return exitCode;
}
