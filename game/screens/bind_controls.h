#pragma once
// The Lua face of the game's controls: the twelve control classes, each with
// the constructor (parent window or nil, name) and the setters the screen
// scripts call, and the free function "luaToImageCtrl". Controls a script
// makes belong to their window; Lua's collector never deletes them.
//
// Needs the engine's control classes registered first (the Lua bases).
namespace vek {
class cScript;
}

// False without a script state or when luabind refuses the registration
// (logged); true otherwise.
bool RegisterGameControls(vek::cScript* script);
