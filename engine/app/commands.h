#pragma once
// The engine commands scripts call by name: the engine's tables written to
// the log, the display mode, the two volumes and screenshots. The Print
// Screen key takes the same screenshot.
#include <functional>
#include <memory>

#include "engine/core/filename.h"
#include "engine/core/vekstring.h"

namespace vek {

class cImage;

// Writes a header, the chosen engine tables and a closing line as
// continuation text. Words as for DumpSystemInfo: empty chooses every table;
// otherwise "vbo", "texture", "gui", "sound", "music" and "stream" choose
// theirs wherever they appear. Tables of absent managers are left out. A
// null string writes nothing. Always true.
bool DumpEngineInfo(const char* words);

// Re-creates the window and the render device when the window mode, the
// client size or (bits not 0) the colour depth differs from what is on the
// screen; otherwise does nothing. When the new window cannot be made, the
// previous one is made again; when that fails too the engine quits with code
// 1, as a process without a window could not be closed. False when the
// requested mode is not on the screen afterwards.
bool SetDisplayMode(bool windowed, int width, int height, int bits);

// The sound manager's volumes for the samples and for the music. False
// without a sound manager.
bool SetVolumes(float sound, float music);

// Saves the last drawn frame as the first free "vek00.png" .. "vek99.png" in
// the screenshot folder. Warnings (sender "COM") when the folder is full, the
// frame cannot be read or the file cannot be written; false then.
bool CreateScreenShot();

// ---- the pieces of a screenshot ----

// The user's desktop folder (with a trailing separator), which screenshots
// go to; "{UserPath}/Desktop/" when the system names none. Created when it
// does not exist yet.
filename GetScreenShotFolder();

// The file name for screenshot number n (0..99): "vek00.png" with the two
// digits of n at its first "0".
string ScreenShotName(int n);

// The first screenshot name in the folder that nothing is called, without
// regard to case; false when all 100 are taken.
bool FindScreenShotName(const filename& folder, string& name);

// Steps of CreateScreenShot after the folder is known: a free name, the
// picture from readFrame (RGB rows, bottom row first; null when it cannot be
// read), the PNG file. Same messages and result.
using fnReadFrame = std::function<std::unique_ptr<cImage>()>;
bool SaveScreenShot(const filename& folder, const fnReadFrame& readFrame);

} // namespace vek
