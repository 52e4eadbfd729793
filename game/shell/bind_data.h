#pragma once
// The Lua face of the game's data classes: "cResult" (the data manager's
// result codes Ok 0, Stop 1, FileNotFound 2, InternalError 3),
// "cDataManagerGD" (over the engine's "cDataManager") and "cTextureInfo"
// with its constructor (name, reserved) and the nine "AddNode" forms, which
// the ".tex" scripts use. Texture infos a script constructs belong to the
// texture-info registry; Lua's collector never deletes them.
//
// Needs the engine's bindings registered first (cDataManagerGD's Lua base).
namespace vek {
class cScript;
}

// False without a script state or when luabind refuses the registration
// (logged); true otherwise.
bool RegisterDataClasses(vek::cScript* script);
