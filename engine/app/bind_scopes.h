#pragma once
// The pieces of the engine's Lua registration that live in their own
// translation units (luabind is slow to compile), joined into the module
// statements of bind_core.cpp and bind_gui.cpp. Internal to the bindings.
#include "engine/app/bind_luabind.h"

namespace vek::bind {

// "strlist", "vectorf", "vectori", "recti", "rectf", and "vec2" / "vec3",
// which the cursor's Set and the coloured label's SetColor take.
luabind::scope ValueClasses();

// The free function "GetSound" and the class "cSoundManager".
luabind::scope SoundFunction();
luabind::scope SoundClass();

// "GetFonts", "cFontManager" and "cFont".
luabind::scope FontClasses();

} // namespace vek::bind
