#pragma once
// Helpers for the translation units that bind classes to Lua (the engine's
// and the game's). Heavy: include only in binding files.
//
// Lua constructors whose argument order differs from the native one (every
// control takes (parent, name) in Lua and (name, parent) natively; a window
// takes (GUI, function) in Lua) are bound as "__init" overloads, which is
// what luabind's own constructor<> registers: luabind makes the instance,
// then calls "__init" with it and the script's arguments. Adopt completes
// such a call exactly as constructor<> would, so the instance holds the new
// object the same way and undelete_class_rep treats it the same way.
#include <memory>
#include <stdexcept>
#include <utility>

// First: it sets the configuration the installed luabind was built with.
#include "engine/core/script_luabind.h"

#include <luabind/detail/instance_holder.hpp>
#include <luabind/detail/object_rep.hpp>
#include <luabind/out_value_policy.hpp>

#include "engine/core/vekstring.h"

namespace vek {

class cWindow;

namespace bind {

// luabind's instance records live in Lua userdata, which Lua aligns to 8
// bytes while the record's type asks for 16; its fields need no more than 8,
// so the sanitizer's alignment check is silenced where we touch them.
#define VEK_BIND_RECORD_ACCESS __attribute__((no_sanitize("alignment")))

// The instance a Lua constructor call is filling. Throws (a Lua error for
// the script) when self is not a luabind instance or already holds an
// object of T, as when a script calls "__init" by hand.
template <class T>
VEK_BIND_RECORD_ACCESS luabind::detail::object_rep* FreshInstance(const luabind::argument& self)
{
    lua_State* L = self.interpreter();
    self.push(L);
    luabind::detail::object_rep* instance = luabind::detail::get_instance(L, -1);
    lua_pop(L, 1);
    if (!instance || instance->get_instance(luabind::detail::registered_class<T>::id).second != -1)
        throw std::runtime_error("constructor called on something that is not a new instance");
    return instance;
}

// Hands a natively made object to the Lua instance under construction.
template <class T>
VEK_BIND_RECORD_ACCESS void Adopt(luabind::detail::object_rep* instance, T* object)
{
    using holder_type = luabind::detail::pointer_holder<std::unique_ptr<T>, T>;
    std::unique_ptr<T> owned(object);
    void* storage = instance->allocate(sizeof(holder_type));
    instance->set_instance(new (storage) holder_type(
        std::move(owned), luabind::detail::registered_class<T>::id, object));
}

// Makes T from the arguments and hands it to the instance under construction.
template <class T, class... Args>
void Construct(const luabind::argument& self, Args&&... args)
{
    luabind::detail::object_rep* instance = FreshInstance<T>(self);
    Adopt(instance, new T(std::forward<Args>(args)...));
}

// The Lua constructor (parent window or nil, name) of a control class T
// whose native constructor is T(name, parent). The control joins the parent
// window, which owns it; pass T through undelete_class_rep after binding.
template <class T>
void InitControl(const luabind::argument& self, cWindow* parent, const string& name)
{
    Construct<T>(self, name, parent);
}

} // namespace bind
} // namespace vek
