#pragma once
// The engine's own user-visible texts: names of mouse buttons and keys, the
// two messages of an online transfer, message-box captions and titles, and
// the word used for a player without a name. English defaults are built in;
// the locale script (published to Lua as "vek_locale") overwrites any of
// them. The game keeps its own, larger table beside this one.
#include "engine/core/vekstring.h"

namespace luabind {
class scope;
}

namespace vek {

class cLocale {
public:
    string Mouse = "Mouse";
    string MouseButton = "Mouse button";
    string MouseButtonLeft = "Left mouse button";
    string MouseButtonRight = "Right mouse button";
    string MouseButtonMiddle = "Middle mouse button";
    string MouseWheelUp = "Mouse wheel up";
    string MouseWheelDown = "Mouse wheel down";
    string Keyboard = "Keyboard";
    string KeyboardControl = "Control";
    string KeyboardEnter = "Enter";
    string KeyboardSpace = "Space";
    string KeyboardBackspace = "Backspace";
    string KeyboardShift = "Shift";
    string KeyboardLeft = "Left";
    string KeyboardRight = "Right";
    string KeyboardUp = "Up";
    string KeyboardDown = "Down";
    string Joystick = "Joystick";
    string TransferWait = "Please wait...";
    string TransferFailed = "Connection failed";
    string Ok = "Ok";
    string Cancel = "Cancel";
    string Yes = "Yes";
    string No = "No";
    string Ignore = "Ignore";
    string Abort = "Abort";
    string Help = "Help";
    string Information = "Information";
    string Warning = "Warning";
    string Error = "Error";
    string Player = "Player";

    // The Lua class "cLocale": the 31 texts as read-write string properties
    // under their own names, in declaration order. Meant to be placed inside
    // the engine's module statement (needs <luabind/luabind.hpp> at the call).
    static luabind::scope LuaClass();
};

// The process-wide table. Code that runs during static initialisation must
// use GetLocale() instead, which is safe from any translation unit.
extern cLocale& g_Locale;
cLocale& GetLocale();

} // namespace vek
