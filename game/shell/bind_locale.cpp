// The Lua class of the game's texts, apart from locale_gd.cpp so that only
// this file pays for the luabind headers.
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/core/script_luabind.h"
#include "game/shell/locale_gd.h"

bool RegisterLocaleClass(vek::cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        vek::LogWarning("RegisterLocaleClass", "No script state\n");
        return false;
    }
    luabind::class_<cLocaleGD> locale("cLocaleGD");
#define LOCALE_GD_PROPERTY(field, text) locale.def_readwrite(#field, &cLocaleGD::field);
    LOCALE_GD_TEXTS(LOCALE_GD_PROPERTY)
#undef LOCALE_GD_PROPERTY
    try {
        luabind::module(L)[locale];
    } catch (const std::exception& e) {
        vek::LogError("RegisterLocaleClass", "%s\n", e.what());
        return false;
    }
    return true;
}
