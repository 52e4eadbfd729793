#pragma once
// The engine's Lua surface: every engine class, enum, control and free
// function that scripts (GUI screens, configuration, the console) use,
// registered into the script host's state in one pass.
//
// The engine object calls RegisterEngineLua once, right after its managers
// exist and before it publishes "theEngine" and "theGUI". The game's own
// bindings come later and build on these classes (their Lua bases are the
// engine's classes registered here, "vek::cWidget" included).
//
// Ownership at the boundary: objects the engine hands to Lua (globals, call
// arguments, results) are never owned by Lua. Objects that scripts construct
// of the window, font, control and widget classes join a native owner when
// they are made (the GUI, the font manager, the parent window, the engine's
// widget list), and Lua's collector never deletes them. Objects of the
// remaining classes a script constructs (file, file system, file name,
// vectors, rectangles, cursor) belong to the script and are collected.
//
// This header is light; the luabind-facing helpers are in bind_luabind.h.
namespace vek {

class cScript;

// Registers the free functions and the core classes in one module
// statement, then calls RegisterGuiClasses. False only without a script
// state (nothing is registered then).
bool RegisterEngineLua(cScript* script);

// Registers the widget, cursor, window, window-function, GUI and font
// classes, protects script-made windows, fonts and widgets from the
// collector, then calls RegisterControlClasses.
bool RegisterGuiClasses(cScript* script);

// Registers cCtrl and its 16 engine subclasses with their enums and
// protects script-made controls from the collector.
bool RegisterControlClasses(cScript* script);

} // namespace vek
