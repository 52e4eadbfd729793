#include "engine/app/commands.h"

#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/app/game.h"
#include "engine/core/image.h"
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "engine/app/sysinfo.h"
#include "engine/graphics/buffers.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/gui.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace {

constexpr const char* kShotSender = "COM";
constexpr const char* kDisplaySender = "SetDisplayMode";
constexpr const char* kShotPattern = "vek00.png";
constexpr int kShotCount = 100;

const char c_szEngineHeader[] =
    "-----------------------------  Engine Information  ----------------------------\n";

void DumpSoundTables(int kind)
{
    if (g_pSoundManager) g_pSoundManager->Dump(kind);
}

} // namespace

// ---- engine tables ----

bool DumpEngineInfo(const char* words)
{
    if (!words) return true;
    LogContinuation(c_szEngineHeader);
    if (IsInfoSectionChosen(words, "vbo") && g_pBufferRegistry) g_pBufferRegistry->Dump();
    if (IsInfoSectionChosen(words, "texture") && g_pTextureManager) g_pTextureManager->Dump();
    if (IsInfoSectionChosen(words, "gui") && g_pGame && g_pGame->pGUI) g_pGame->pGUI->Dump();
    if (words[0] == '\0') {
        // Every sound table in one dump, with the totals over all of them.
        DumpSoundTables(cSoundManager::e_All);
    } else {
        if (IsInfoSectionChosen(words, "sound")) DumpSoundTables(cSoundManager::e_Sound);
        if (IsInfoSectionChosen(words, "music")) DumpSoundTables(cSoundManager::e_Music);
        if (IsInfoSectionChosen(words, "stream")) DumpSoundTables(cSoundManager::e_DumpStreams);
    }
    LogContinuation("%s", string(79, '-') + "\n");
    return true;
}

// ---- display mode ----

bool SetDisplayMode(bool windowed, int width, int height, int bits)
{
    if (!g_pGame) return false;
    cGame& game = *g_pGame;
    int oldWidth = 0, oldHeight = 0;
    game.GetClientSize(oldWidth, oldHeight);
    const bool oldWindowed = game.bWindowed;
    const int oldBits = GetCurrentDisplayMode().iBits;
    if (windowed == oldWindowed && width == oldWidth && height == oldHeight &&
        (bits == 0 || bits == oldBits))
        return true;

    game.DestroyWindow();
    if (game.CreateWindow(windowed, width, height, bits)) return true;

    // CreateWindow has said why. A half-made window (one without a device)
    // goes before the old settings are tried again.
    LogWarning(kDisplaySender, "Going back to the previous display mode (%ix%i)\n", oldWidth, oldHeight);
    game.DestroyWindow();
    if (game.CreateWindow(oldWindowed, oldWidth, oldHeight, oldBits)) return false;

    // Without a window nothing could be seen, and nothing could close the
    // process: end it the normal way.
    LogError(kDisplaySender, "No window can be created; the engine quits\n");
    game.DestroyWindow();
    game.Exit(1);
    return false;
}

// ---- volumes ----

bool SetVolumes(float sound, float music)
{
    if (!g_pSoundManager) return false;
    g_pSoundManager->SetVolume(cSoundManager::e_Sound, sound);
    g_pSoundManager->SetVolume(cSoundManager::e_Music, music);
    return true;
}

// ---- screenshots ----

filename GetScreenShotFolder()
{
    const std::string desktop = platform::GetDesktopFolder();
    if (desktop.empty()) return filename("{UserPath}/Desktop/");
    // Made with its real name: the engine's form of the path is lower case.
    if (!platform::IsFolder(desktop)) platform::MakeDir(desktop);
    return filename(desktop + "/");
}

string ScreenShotName(int n)
{
    string name(kShotPattern);
    const size_t at = name.find('0');
    if (at == std::string::npos || at + 1 >= name.size() || n < 0 || n >= kShotCount) return name;
    name[at] = static_cast<char>('0' + n / 10);
    name[at + 1] = static_cast<char>('0' + n % 10);
    return name;
}

bool FindScreenShotName(const filename& folder, string& name)
{
    cFileSystem fs;
    for (int n = 0; n < kShotCount; ++n) {
        const string candidate = ScreenShotName(n);
        if (!fs.Exist(AppendPath(folder, candidate))) {
            name = candidate;
            return true;
        }
    }
    return false;
}

bool SaveScreenShot(const filename& folder, const fnReadFrame& readFrame)
{
    string name;
    if (!FindScreenShotName(folder, name)) {
        LogWarning(kShotSender, "Destination folder (%s) is full. Erase it.\n", folder.path);
        return false;
    }
    const filename file = AppendPath(folder, name);
    const std::unique_ptr<cImage> picture = readFrame ? readFrame() : nullptr;
    if (!picture) {
        LogWarning(kShotSender, "Creating Screen Shot %s failed! Can't get buffer data.\n", file.path);
        return false;
    }
    if (cDataManager::WritePNG(picture.get(), file) != cDataManager::Ok) {
        LogWarning(kShotSender, "Creating Screen Shot %s failed! Error writing in file.\n", file.path);
        return false;
    }
    LogText(kShotSender, "Creating Screen Shot %s... Ok\n", file.path);
    return true;
}

bool CreateScreenShot()
{
    return SaveScreenShot(GetScreenShotFolder(), []() -> std::unique_ptr<cImage> {
        return g_pRender ? g_pRender->ReadFrontBuffer(nullptr) : nullptr;
    });
}

} // namespace vek
