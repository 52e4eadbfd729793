#pragma once
// What every translation unit that binds classes to Lua includes instead of
// <luabind/luabind.hpp>: luabind itself plus the conversion of the engine's
// string type, so that vek::string arguments, results and properties travel
// as plain Lua strings (like std::string) rather than as a bound class.
// The luabind headers are heavy: include this only in binding files.
// The installed luabind library is built with its C++11 interface
// (std::unique_ptr instead of std::auto_ptr in its signatures); every
// translation unit must see the same choice or it will not link.
#ifndef LUABIND_USE_CXX11
#define LUABIND_USE_CXX11
#endif
// luabind still uses boost::bind's global placeholders.
#ifndef BOOST_BIND_GLOBAL_PLACEHOLDERS
#define BOOST_BIND_GLOBAL_PLACEHOLDERS
#endif
#include <luabind/luabind.hpp>

#include "engine/core/vekstring.h"

namespace luabind {

template <>
struct default_converter<vek::string> : native_converter_base<vek::string> {
    static int compute_score(lua_State* L, int index)
    {
        return lua_type(L, index) == LUA_TSTRING ? 0 : -1;
    }

    vek::string from(lua_State* L, int index)
    {
        size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        return text ? vek::string(text, length) : vek::string();
    }

    void to(lua_State* L, const vek::string& value)
    {
        lua_pushlstring(L, value.data(), value.size());
    }
};

template <>
struct default_converter<vek::string const> : default_converter<vek::string> {};

template <>
struct default_converter<vek::string const&> : default_converter<vek::string> {};

template <>
struct default_converter<vek::string&&> : default_converter<vek::string> {};

} // namespace luabind
