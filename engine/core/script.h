#pragma once
// The script host: the one Lua state of the process.
//
// It opens the standard libraries (base, coroutine, math, io, os, string,
// table; no debug library, no module loader), routes Lua's print and error
// messages to the console and the log, opens luabind, runs script files and
// hands native objects to Lua without ever giving Lua ownership of them.
//
// This header stays free of the luabind headers so that every caller that
// only publishes objects or calls script functions compiles quickly; the
// luabind-facing work lives in script_luabind.cpp. Main thread only.
#include <type_traits>
#include <typeinfo>

#include "engine/core/vekstring.h"

struct lua_State;

namespace vek {

class filename;

namespace script_detail {

// A native object as the host needs it to build a Lua instance: the static
// type the caller names it by, and for polymorphic classes the most derived
// type and address (luabind keys its cast cache on them).
struct cObjectRef {
    const std::type_info* pStaticType = nullptr;
    void* pObject = nullptr;
    const std::type_info* pDynamicType = nullptr;
    void* pDynamic = nullptr;
};

template <class T>
cObjectRef MakeObjectRef(T* object)
{
    using Plain = std::remove_cv_t<T>;
    cObjectRef ref;
    ref.pStaticType = &typeid(Plain);
    ref.pObject = const_cast<Plain*>(object);
    if constexpr (std::is_polymorphic_v<Plain>) {
        if (object) {
            ref.pDynamicType = &typeid(*object);
            ref.pDynamic = const_cast<void*>(dynamic_cast<const void*>(object));
        }
    }
    if (!ref.pDynamicType) {
        ref.pDynamicType = ref.pStaticType;
        ref.pDynamic = ref.pObject;
    }
    return ref;
}

enum ePushResult { e_pushOk = 0, e_pushNoRegistry = 1, e_pushNoClass = 2 };

// Pushes a Lua instance of the class registered for the static type that
// refers to the object without owning it (nil for a null object). On
// e_pushNoRegistry / e_pushNoClass nothing is pushed.
ePushResult PushBorrowed(lua_State* L, const cObjectRef& ref);

// The readable name of a type for messages.
string TypeName(const std::type_info& type);

void PushPointer(lua_State* L, const cObjectRef& ref);
void UndeleteClass(lua_State* L, const std::type_info& type);

} // namespace script_detail

class cScript {
public:
    cScript() = default;
    // Releases the object only; DestroyScript closes the state before.
    virtual ~cScript();
    cScript(const cScript&) = delete;
    cScript& operator=(const cScript&) = delete;

    // Creates the state, opens the libraries, installs the print and error
    // hooks and the path-mending wrappers of io/os, and opens luabind.
    // Called by CreateScript only.
    bool Init();

    // Runs a Lua file read through the file layer. False (silently) when the
    // file is missing or empty; false with two warnings (Lua's message, then
    // "LoadFile: error in file ...") when it fails to compile or run.
    bool LoadFile(const filename& file);

    // What LoadValuesFile found.
    enum eValuesResult {
        e_valuesMissing = 0,  // no file at the path
        e_valuesOk = 1,       // the file ran and assigned a table to `name`
        e_valuesDamaged = 2,  // empty, unreadable, or it did not run or assign a table
    };
    // Runs a file that holds plain values (a table assigned to the global
    // `name`, as the settings are written): in an environment of its own
    // with none of the libraries (no io, no os, no string methods), a bound
    // on the steps it may take and on the memory it may claim (a few MiB),
    // and it stops when a quit signal comes. The table it assigns becomes the
    // global `name`. A damaged file gives, line by line, the fields of the
    // lines that still read as "key = value," (when there are any). The
    // whole file, read as one and line by line, has about a second of
    // processor time: a file that takes longer, or that a quit stops, is
    // damaged and gives no values at all.
    int LoadValuesFile(const filename& file, const char* name);

    // Runs text as one chunk named by the text itself; an error goes to the
    // script's "_ALERT" handler. Only the text before the first zero byte
    // runs. Precompiled chunks are refused. Leaves the stack as it was.
    bool DoString(const char* text);

    // Sets the Lua global `name` to the object, as an instance of the class
    // bound for T. Lua never owns or deletes it. A class luabind does not
    // know leaves the global unset and is named in a warning.
    template <class T>
    void RegisterVar(const char* name, T* object)
    {
        RegisterVarImpl(name, script_detail::MakeObjectRef(object));
    }

    // Calls the global function `name` in protected mode with the given
    // argument (none, a string, or a bound object pushed like push_pointer).
    // A missing function does nothing; an error inside it is logged as a
    // warning with its message. The stack is left as it was in every case.
    // True when the function ran to its end.
    bool CallFunction(const char* name);
    bool CallFunction(const char* name, const char* text);
    bool CallFunction(const char* name, const string& text);
    template <class T>
    bool CallFunction(const char* name, T* object)
    {
        const script_detail::cObjectRef ref = script_detail::MakeObjectRef(object);
        return CallFunctionImpl(name, &PushObjectArgument, &ref);
    }

    lua_State* GetState() const { return pLuaState; }

    // The Lua state, owned; null until Init succeeds and after DestroyScript.
    lua_State* pLuaState = nullptr;

    // What the state has allocated, and the most it may hold while a values
    // file runs (no bound otherwise). The state's allocator keeps it.
    struct sMemory {
        size_t used = 0;
        size_t limit = static_cast<size_t>(-1);
        int stepsLeft = 0;  // one run's step budget, in hook calls
        // While a values file is read: the thread's processor time at which
        // the whole file (every run of it together) is given up (0 when none
        // is read), whether one of its runs is under way, and why it was
        // stopped (null while it may go on).
        double deadline = 0.0;
        bool running = false;
        const char* stopped = nullptr;
        unsigned growths = 0;  // since the budget was last looked at
    };

private:
    sMemory m_Memory;

    // Pushes the call's arguments (any number, possibly none).
    using PushArguments = void (*)(lua_State* L, const void* context);

    void RegisterVarImpl(const char* name, const script_detail::cObjectRef& ref);
    bool CallFunctionImpl(const char* name, PushArguments push, const void* context);
    static void PushObjectArgument(lua_State* L, const void* context);
};

// The host while it exists.
extern cScript* g_pScript;

// Makes the host and runs Init. A second call warns and keeps the first
// host; a failed Init warns and leaves a host with a null state.
bool CreateScript();
// Closes the state and deletes the host.
bool DestroyScript();
cScript* GetScript();

// Pushes the object as an instance of its bound class, not owned by Lua;
// nil for a null object; nothing when the class is unknown.
template <class T>
void push_pointer(lua_State* L, T* object)
{
    script_detail::PushPointer(L, script_detail::MakeObjectRef(object));
}

// Makes objects that scripts construct through T's bound constructor immune
// to Lua's collector: they hand themselves to a native owner when made, and
// that owner deletes them. Call right after binding the class.
template <class T>
void undelete_class_rep(lua_State* L)
{
    script_detail::UndeleteClass(L, typeid(std::remove_cv_t<T>));
}

// The native functions behind "_ALERT" / "_ERROR", "_VEK_PRINT" and print.
int luaAlert(lua_State* L);
int luaPrint(lua_State* L);
int luaBasePrint(lua_State* L);

} // namespace vek
