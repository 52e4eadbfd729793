// The part of the script host that works on luabind's class records: native
// objects handed to Lua without ownership, and classes whose Lua-made
// objects Lua must not delete.
#ifndef LUABIND_USE_CXX11
#define LUABIND_USE_CXX11  // as in script_luabind.h: the library's interface
#endif
#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <utility>

#include <lauxlib.h>
#include <lua.h>
#include <luabind/detail/class_registry.hpp>
#include <luabind/detail/class_rep.hpp>
#include <luabind/detail/inheritance.hpp>
#include <luabind/detail/instance_holder.hpp>
#include <luabind/detail/object_rep.hpp>

#include "engine/core/log.h"
#include "engine/core/script.h"

namespace vek {

namespace {

using luabind::detail::cast_graph;
using luabind::detail::class_id;
using luabind::detail::class_registry;
using luabind::detail::class_rep;
using luabind::detail::instance_holder;
using luabind::detail::object_rep;

// The holder behind an object that Lua only borrows: it casts the pointer
// like luabind's own holders do, and owns nothing, so neither Lua's
// collector nor closing the state ever deletes the object.
class cBorrowedHolder final : public instance_holder {
public:
    cBorrowedHolder(void* object, class_id staticId, class_id dynamicId, void* dynamic)
        : instance_holder(false),
          m_pObject(object),
          m_StaticId(staticId),
          m_DynamicId(dynamicId),
          m_pDynamic(dynamic)
    {
    }

    std::pair<void*, int> get(cast_graph const& casts, class_id target) const override
    {
        if (!m_pObject)
            return std::pair<void*, int>(nullptr, 0);
        return casts.cast(m_pObject, m_StaticId, target, m_DynamicId, m_pDynamic);
    }

    void release() override {}

private:
    void* m_pObject;
    class_id m_StaticId;
    class_id m_DynamicId;
    void* m_pDynamic;
};

class_id DynamicClassId(lua_State* L, const std::type_info& type)
{
    lua_rawgetp(L, LUA_REGISTRYINDEX, &luabind::detail::classid_map_tag);
    auto* ids = static_cast<luabind::detail::class_id_map*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    if (!ids)
        return luabind::detail::allocate_class_id(type);
    return ids->get_local(type);
}

// luabind's instance records live in Lua userdata, which Lua aligns to 8
// bytes while the record's type asks for 16; its fields need no more than 8,
// so the sanitizer's alignment check is silenced where we touch them.
#define VEK_LUABIND_RECORD_ACCESS __attribute__((no_sanitize("alignment")))

// Registry key of the set of undeleted classes (class record -> true).
char g_UndeletedClassesKey;

// The __gc of every luabind instance once a class has been undeleted (all
// native classes share one instance metatable): an instance of an undeleted
// class gives up its object before luabind's own finaliser (upvalue 1)
// destroys the holder.
VEK_LUABIND_RECORD_ACCESS int UndeletedInstanceGc(lua_State* L)
{
    if (object_rep* instance = luabind::detail::get_instance(L, 1)) {
        lua_rawgetp(L, LUA_REGISTRYINDEX, &g_UndeletedClassesKey);
        bool undeleted = false;
        if (lua_istable(L, -1)) {
            lua_rawgetp(L, -1, instance->crep());
            undeleted = lua_toboolean(L, -1) != 0;
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
        if (undeleted) {
            try {
                instance->release();
            } catch (const std::exception&) {
                // Holders of plain pointers own nothing and refuse to release.
            }
        }
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushvalue(L, 1);
    lua_call(L, 1, 0);
    return 0;
}

} // namespace

namespace script_detail {

string TypeName(const std::type_info& type)
{
    int status = 0;
    char* readable = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    string name(status == 0 && readable ? readable : type.name());
    std::free(readable);
    return name;
}

VEK_LUABIND_RECORD_ACCESS ePushResult PushBorrowed(lua_State* L, const cObjectRef& ref)
{
    if (!ref.pObject) {
        lua_pushnil(L);
        return e_pushOk;
    }
    class_registry* registry = class_registry::get_registry(L);
    if (!registry)
        return e_pushNoRegistry;
    class_rep* crep = registry->find_class(luabind::type_id(*ref.pStaticType));
    if (!crep)
        return e_pushNoClass;

    const class_id staticId = luabind::detail::allocate_class_id(*ref.pStaticType);
    const class_id dynamicId =
        ref.pDynamicType == ref.pStaticType ? staticId : DynamicClassId(L, *ref.pDynamicType);

    object_rep* instance = luabind::detail::push_new_instance(L, crep);
    void* storage = instance->allocate(sizeof(cBorrowedHolder));
    instance->set_instance(new (storage) cBorrowedHolder(ref.pObject, staticId, dynamicId, ref.pDynamic));
    return e_pushOk;
}

void PushPointer(lua_State* L, const cObjectRef& ref)
{
    if (!L)
        return;
    if (PushBorrowed(L, ref) == e_pushNoRegistry)
        LogWarning("push_pointer", "class_registry::get_registry\n");
}

void UndeleteClass(lua_State* L, const std::type_info& type)
{
    if (!L)
        return;
    class_registry* registry = class_registry::get_registry(L);
    if (!registry) {
        LogWarning("undelete_class_rep", "class_registry::get_registry\n");
        return;
    }
    class_rep* crep = registry->find_class(luabind::type_id(type));
    if (!crep) {
        LogWarning("undelete_class_rep", "registry->find_class(...)\n");
        return;
    }
    lua_rawgetp(L, LUA_REGISTRYINDEX, &g_UndeletedClassesKey);
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_rawsetp(L, LUA_REGISTRYINDEX, &g_UndeletedClassesKey);
    }
    lua_pushboolean(L, 1);
    lua_rawsetp(L, -2, crep);
    lua_pop(L, 1);

    lua_rawgeti(L, LUA_REGISTRYINDEX, crep->metatable_ref());
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    lua_getfield(L, -1, "__gc");
    if (!lua_isfunction(L, -1) || lua_tocfunction(L, -1) == &UndeletedInstanceGc) {
        lua_pop(L, 2);
        return;
    }
    lua_pushcclosure(L, &UndeletedInstanceGc, 1);
    lua_setfield(L, -2, "__gc");
    lua_pop(L, 1);
}

} // namespace script_detail

void cScript::RegisterVarImpl(const char* name, const script_detail::cObjectRef& ref)
{
    lua_State* L = pLuaState;
    if (!L || !name)
        return;
    switch (script_detail::PushBorrowed(L, ref)) {
    case script_detail::e_pushNoRegistry:
        LogWarning("cScript", "RegisterVar: class_registry::get_registry\n");
        return;
    case script_detail::e_pushNoClass:
        LogWarning("cScript", "RegisterVar: registry->find_class(...): %s\n",
                   script_detail::TypeName(*ref.pStaticType));
        return;
    case script_detail::e_pushOk:
        break;
    }
    lua_setglobal(L, name);
}

} // namespace vek
