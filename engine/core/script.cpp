#include "engine/core/script.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
#include <luabind/open.hpp>

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace vek {

cScript* g_pScript = nullptr;

namespace {

// One call of print joins at most this many bytes (the rest is cut), so a
// huge argument never costs more than a fixed buffer.
constexpr size_t kPrintBufferSize = 2048;

const char* const kSender = "cScript";

// The text of the value at `index` for messages: strings and numbers as
// they are, anything else described by its type (never raises).
const char* MessageText(lua_State* L, int index)
{
    const int type = lua_type(L, index);
    if (type == LUA_TSTRING || type == LUA_TNUMBER)
        return lua_tostring(L, index);
    if (type == LUA_TNONE || type == LUA_TNIL)
        return "nil";
    if (type == LUA_TBOOLEAN)
        return lua_toboolean(L, index) ? "true" : "false";
    return lua_pushfstring(L, "%s: %p", lua_typename(L, type), lua_topointer(L, index));
}

// Hands an error message (on top of the stack) to the script's "_ALERT"
// handler; without one, logs it directly so that no error goes unseen.
// Pops the message.
void ReportError(lua_State* L)
{
    const int type = lua_type(L, -1);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) {
        lua_pushfstring(L, "(error object is a %s value)", lua_typename(L, type));
        lua_replace(L, -2);
    }
    lua_getglobal(L, "_ALERT");
    if (lua_isfunction(L, -1)) {
        lua_insert(L, -2);
        if (lua_pcall(L, 1, 0, 0) != LUA_OK)
            lua_pop(L, 1);
        return;
    }
    lua_pop(L, 1);
    LogWarning(kSender, "%s\n", lua_tostring(L, -1));
    lua_pop(L, 1);
}

// Engine paths use "\" between folders; Lua's own io and os functions hand
// their path straight to the C library, so the separators are mended on the
// way in. Upvalue 1: the original function; upvalue 2: how many leading
// arguments are paths.
int PathArgumentsWrapper(lua_State* L)
{
    const int count = lua_gettop(L);
    const int paths = static_cast<int>(lua_tointeger(L, lua_upvalueindex(2)));
    for (int i = 1; i <= paths && i <= count; ++i) {
        if (lua_type(L, i) != LUA_TSTRING)
            continue;
        const char* path = lua_tostring(L, i);
        if (!std::strchr(path, '\\'))
            continue;
        luaL_gsub(L, path, "\\", "/");
        lua_replace(L, i);
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, count, LUA_MULTRET);
    return lua_gettop(L);
}

// Replaces table[field] (the table on top of the stack) by the wrapper.
void WrapPathFunction(lua_State* L, const char* field, int paths)
{
    lua_getfield(L, -1, field);
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    lua_pushinteger(L, paths);
    lua_pushcclosure(L, &PathArgumentsWrapper, 2);
    lua_setfield(L, -2, field);
}

int OpenLibraries(lua_State* L)
{
    luaL_requiref(L, "_G", luaopen_base, 1);
    luaL_requiref(L, LUA_COLIBNAME, luaopen_coroutine, 1);
    luaL_requiref(L, LUA_MATHLIBNAME, luaopen_math, 1);
    luaL_requiref(L, LUA_IOLIBNAME, luaopen_io, 1);
    luaL_requiref(L, LUA_OSLIBNAME, luaopen_os, 1);
    luaL_requiref(L, LUA_STRLIBNAME, luaopen_string, 1);
    luaL_requiref(L, LUA_TABLIBNAME, luaopen_table, 1);
    lua_settop(L, 0);

    lua_pushcfunction(L, &luaAlert);
    lua_setglobal(L, "_ALERT");
    lua_pushcfunction(L, &luaAlert);
    lua_setglobal(L, "_ERROR");
    lua_pushcfunction(L, &luaPrint);
    lua_setglobal(L, "_VEK_PRINT");
    lua_pushcfunction(L, &luaBasePrint);
    lua_setglobal(L, "print");

    lua_pushglobaltable(L);
    WrapPathFunction(L, "dofile", 1);
    WrapPathFunction(L, "loadfile", 1);
    lua_getfield(L, -1, LUA_IOLIBNAME);
    WrapPathFunction(L, "open", 1);
    WrapPathFunction(L, "lines", 1);
    WrapPathFunction(L, "input", 1);
    WrapPathFunction(L, "output", 1);
    lua_pop(L, 1);
    lua_getfield(L, -1, LUA_OSLIBNAME);
    WrapPathFunction(L, "remove", 1);
    WrapPathFunction(L, "rename", 2);
    lua_settop(L, 0);
    return 0;
}

} // namespace

// ---- native Lua functions ----

int luaAlert(lua_State* L)
{
    const int count = lua_gettop(L);
    const char* text = "";
    if (count > 0 && (lua_type(L, count) == LUA_TSTRING || lua_type(L, count) == LUA_TNUMBER))
        text = lua_tostring(L, count);
    LogWarning(kSender, "%s\n", text);
    return 0;
}

int luaPrint(lua_State* L)
{
    const int count = lua_gettop(L);
    const char* text = count > 0 ? MessageText(L, count) : "";
    // The text is the format: the engine's formatter runs over it with every
    // argument empty, so no sender, level or line end is added.
    if (g_pLog) {
        if (g_pLog->pConsole)
            g_pLog->pConsole->Print(text);
        if (g_pLog->pFile)
            g_pLog->pFile->Print(text);
    }
    return 0;
}

int luaBasePrint(lua_State* L)
{
    const int count = lua_gettop(L);
    lua_getglobal(L, "tostring");
    // On the C stack, not shared: a __tostring that prints again must not
    // clobber the outer call's text, and a Lua error may unwind past here.
    char buffer[kPrintBufferSize];
    size_t used = 0;
    for (int i = 1; i <= count; ++i) {
        lua_pushvalue(L, -1);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        size_t length = 0;
        const char* piece = lua_tolstring(L, -1, &length);
        if (!piece)
            return luaL_error(L, "`tostring' must return a string to `print'");
        if (i > 1 && used < kPrintBufferSize - 1)
            buffer[used++] = '\t';
        const size_t room = kPrintBufferSize - 1 - used;
        const size_t take = length < room ? length : room;
        std::memcpy(buffer + used, piece, take);
        used += take;
        lua_pop(L, 1);
    }
    buffer[used] = '\0';

    lua_getglobal(L, "_VEK_PRINT");
    if (lua_isfunction(L, -1)) {
        lua_pushstring(L, buffer);
        lua_call(L, 1, 0);
    } else {
        lua_pop(L, 1);
    }
    return 0;
}

// ---- the host ----

namespace {

const char* const kQuitStop = "a quit was requested while the file was read";
const char* const kTimeStop = "the file takes too long to read";

// Whether the values file being read must stop: its processor time spent,
// or, with `quit`, a quit request. Says why in `stopped`. A file as the game
// writes it is never looked at for a quit: cut short, it would be taken for
// damaged and the player's settings lost.
bool OutOfBudget(cScript::sMemory& memory, bool quit = true)
{
    if (!memory.stopped && memory.deadline > 0.0) {
        if (quit && platform::IsQuitSignalPending())
            memory.stopped = kQuitStop;
        else if (platform::ThreadProcessorSeconds() >= memory.deadline)
            memory.stopped = kTimeStop;
    }
    return memory.stopped != nullptr;
}

// A run of a values file looks at its budget on every growth of this size
// or more (a string doubled in a few steps costs its time in the copies and
// the fresh pages, between two looks of the step hook), and at its time
// alone on every kLookGrowths-th growth (a long parse).
constexpr size_t kLookBytes = size_t(64) << 10;
constexpr unsigned kLookGrowths = 256;

// The state's allocator: counts what the state holds and refuses what would
// pass the limit (Lua then collects and tries once more before it raises
// "not enough memory"), and, while a run of a values file is under way,
// whatever comes once that file must stop. Freeing and shrinking always
// succeed.
void* CountedAlloc(void* ud, void* ptr, size_t osize, size_t nsize)
{
    auto* memory = static_cast<cScript::sMemory*>(ud);
    const size_t old = ptr ? osize : 0;
    if (nsize == 0) {
        std::free(ptr);
        memory->used -= old;
        return nullptr;
    }
    if (nsize > old && memory->running) {
        const bool big = nsize - old >= kLookBytes;
        if ((big || ++memory->growths % kLookGrowths == 0) && OutOfBudget(*memory, big)) return nullptr;
    }
    if (nsize > old && nsize - old > memory->limit - std::min(memory->limit, memory->used))
        return nullptr;
    void* block = std::realloc(ptr, nsize);
    if (block) memory->used = memory->used - old + nsize;
    return block;
}

int Panic(lua_State* L)
{
    LogWarning(kSender, "unprotected error: %s\n", lua_isstring(L, -1) ? lua_tostring(L, -1) : "?");
    return 0;
}

} // namespace

cScript::~cScript() = default;

bool cScript::Init()
{
    m_Memory = sMemory();
    lua_State* L = lua_newstate(&CountedAlloc, &m_Memory);
    if (!L)
        return false;
    lua_atpanic(L, &Panic);
    lua_pushcfunction(L, &OpenLibraries);
    if (lua_pcall(L, 0, 0, 0) != LUA_OK) {
        lua_close(L);
        return false;
    }
    try {
        luabind::open(L);
    } catch (const std::exception&) {
        lua_close(L);
        return false;
    }
    pLuaState = L;
    return true;
}

bool cScript::DoString(const char* text)
{
    lua_State* L = pLuaState;
    if (!L || !text)
        return false;
    const int top = lua_gettop(L);
    // The chunk is named by its own text, so Lua's messages quote its start.
    // Text mode only: a precompiled chunk could crash the virtual machine.
    int status = luaL_loadbufferx(L, text, std::strlen(text), text, "t");
    if (status == LUA_OK)
        status = lua_pcall(L, 0, LUA_MULTRET, 0);
    if (status != LUA_OK)
        ReportError(L);
    lua_settop(L, top);
    return status == LUA_OK;
}

bool cScript::LoadFile(const filename& file)
{
    if (!pLuaState)
        return false;
    // The reader's result code does not matter: every failure leaves the
    // text empty.
    string text;
    cDataManager::ReadText(&text, file);
    if (text.empty())
        return false;
    if (!DoString(text.c_str())) {
        LogWarning(kSender, "LoadFile: error in file %s\n", file.path);
        return false;
    }
    return true;
}

namespace {

// Steps a values file may take: a table of a few dozen fields needs a few
// hundred. The hook looks every kHookSteps steps: a file as the game writes
// it ends before the first look, so a quit signal never cuts a good one
// short.
constexpr int kHookSteps = 1000;
constexpr int kValueSteps = 100000;
// Memory a values file may claim beyond what the state already holds: the
// settings are a handful of values, and a few string doublings would
// otherwise grow without end.
constexpr size_t kValueMemory = size_t(4) << 20;
// Processor time for a whole values file, every run of it together: a file
// as the game writes it takes well under a millisecond.
constexpr double kValueSeconds = 1.0;

cScript::sMemory& StateMemory(lua_State* L)
{
    void* ud = nullptr;
    lua_getallocf(L, &ud);
    return *static_cast<cScript::sMemory*>(ud);
}

void StopLongRun(lua_State* L, lua_Debug*)
{
    // A quit request (SIGTERM, Ctrl+C) ends the file at once, so that the
    // game can go on to its teardown.
    cScript::sMemory& memory = StateMemory(L);
    if (OutOfBudget(memory)) luaL_error(L, "%s", memory.stopped);
    if (--memory.stepsLeft <= 0) luaL_error(L, "the file takes too many steps");
}

// Bounds the memory and the budget of a values file's run (its parse
// included) for as long as it lives; what the host does around the run
// (making its environment, restoring the string library) is not bounded.
class cBoundedRun {
public:
    explicit cBoundedRun(lua_State* L) : m_Memory(StateMemory(L)), m_iLimit(m_Memory.limit)
    {
        m_Memory.limit = m_Memory.used + kValueMemory;
        m_Memory.running = true;
    }
    ~cBoundedRun()
    {
        m_Memory.limit = m_iLimit;
        m_Memory.running = false;
    }
    cBoundedRun(const cBoundedRun&) = delete;
    cBoundedRun& operator=(const cBoundedRun&) = delete;

private:
    cScript::sMemory& m_Memory;
    size_t m_iLimit;
};

// Runs text as a chunk with an empty table of its own as its only
// environment. Leaves the environment on the stack and returns true when
// the chunk ran; leaves nothing and returns false otherwise. With
// `returned`, the chunk's first result is left above the environment.
bool RunWithoutLibraries(lua_State* L, const string& text, const char* chunkName, bool returned,
                         string* error = nullptr)
{
    const int base = lua_gettop(L);
    int status = LUA_OK;
    {
        const cBoundedRun bounded(L);
        status = luaL_loadbufferx(L, text.data(), text.size(), chunkName, "t");
    }
    if (status != LUA_OK) {
        if (error && lua_isstring(L, -1)) *error = lua_tostring(L, -1);
        lua_settop(L, base);
        return false;
    }
    lua_newtable(L);  // base + 1 the chunk, base + 2 its environment
    lua_pushvalue(L, base + 2);
    lua_setupvalue(L, base + 1, 1);
    // Strings reach their library through their metatable even without an
    // environment: closed for the run (base + 3 a string, + 4 its
    // metatable, + 5 the library it opens on).
    lua_pushliteral(L, "");
    const bool meta = lua_getmetatable(L, -1) != 0;
    if (meta) {
        lua_getfield(L, base + 4, "__index");
        lua_pushnil(L);
        lua_setfield(L, base + 4, "__index");
    } else {
        lua_settop(L, base + 2);
    }
    lua_pushvalue(L, base + 1);
    bool ran = false;
    {
        const cBoundedRun bounded(L);
        StateMemory(L).stepsLeft = kValueSteps / kHookSteps;
        lua_sethook(L, &StopLongRun, LUA_MASKCOUNT, kHookSteps);
        ran = lua_pcall(L, 0, returned ? 1 : 0, 0) == LUA_OK;
        lua_sethook(L, nullptr, 0, 0);
    }
    if (meta) {
        lua_pushvalue(L, base + 5);
        lua_setfield(L, base + 4, "__index");
    }
    if (!ran) {
        if (error && lua_isstring(L, -1)) *error = lua_tostring(L, -1);
        lua_settop(L, base);
        return false;
    }
    if (returned) {
        lua_replace(L, base + 1);  // the result in place of the chunk
        lua_settop(L, base + 2);
        lua_insert(L, base + 1);   // the environment, then the result
    } else {
        lua_settop(L, base + 2);
        lua_remove(L, base + 1);
    }
    return true;
}

} // namespace

int cScript::LoadValuesFile(const filename& file, const char* name)
{
    lua_State* L = pLuaState;
    string text;
    const int read = cDataManager::ReadText(&text, file);
    if (read == cDataManager::FileNotFound) return e_valuesMissing;
    if (!L || !name) return e_valuesDamaged;
    // One budget for the whole file, the run of it as one and the runs of
    // its lines together: a file of many lines that each give up quickly
    // must not hold the start for the sum of them.
    struct sBudget {
        explicit sBudget(sMemory& memory) : m(memory)
        {
            m.deadline = platform::ThreadProcessorSeconds() + kValueSeconds;
            m.stopped = nullptr;
        }
        ~sBudget()
        {
            m.deadline = 0.0;
            m.stopped = nullptr;
        }
        sBudget(const sBudget&) = delete;
        sBudget& operator=(const sBudget&) = delete;
        sMemory& m;
    } budget(m_Memory);
    const int top = lua_gettop(L);
    string error = "it is empty or cannot be read";
    if (read == cDataManager::Ok && RunWithoutLibraries(L, text, name, false, &error)) {
        lua_getfield(L, -1, name);
        if (lua_istable(L, -1)) {
            lua_setglobal(L, name);
            lua_settop(L, top);
            return e_valuesOk;
        }
        error = string("it assigns no table to ") + name;
    }
    lua_settop(L, top);
    if (!m_Memory.stopped) LogWarning(kSender, "LoadValuesFile: %s: %s\n", file.path, error);
    // The lines that still read as one field each.
    lua_newtable(L);
    int fields = 0;
    size_t start = 0;
    while (read == cDataManager::Ok && start < text.size() && !OutOfBudget(m_Memory)) {
        size_t end = text.find('\n', start);
        if (end == string::npos) end = text.size();
        const string line = text.substr(start, end - start);
        start = end + 1;
        if (line.find('=') == string::npos) continue;
        if (!RunWithoutLibraries(L, "return {" + line + "\n}", name, true)) continue;
        if (lua_istable(L, -1)) {
            lua_pushnil(L);
            while (lua_next(L, -2) != 0) {
                // Plain values only, under names.
                if (lua_type(L, -2) == LUA_TSTRING && !lua_istable(L, -1) && !lua_isfunction(L, -1)) {
                    lua_pushvalue(L, -2);
                    lua_insert(L, -2);
                    lua_settable(L, -6);  // the salvaged table, below env and the line's table
                    ++fields;
                } else {
                    lua_pop(L, 1);
                }
            }
        }
        lua_pop(L, 2);  // the line's table and its environment
    }
    if (m_Memory.stopped) {
        // What the lines gave before the stop depends on how fast this
        // machine is: none of it counts.
        lua_settop(L, top);
        LogWarning(kSender, "LoadValuesFile: %s: %s; none of its values are kept\n", file.path, m_Memory.stopped);
        return e_valuesDamaged;
    }
    if (fields > 0)
        lua_setglobal(L, name);
    lua_settop(L, top);
    return e_valuesDamaged;
}

bool cScript::CallFunction(const char* name)
{
    return CallFunctionImpl(name, nullptr, nullptr);
}

bool cScript::CallFunction(const char* name, const char* text)
{
    return CallFunctionImpl(
        name,
        [](lua_State* L, const void* context) { lua_pushstring(L, static_cast<const char*>(context)); },
        text ? text : "");
}

bool cScript::CallFunction(const char* name, const string& text)
{
    return CallFunctionImpl(
        name,
        [](lua_State* L, const void* context) {
            const string& value = *static_cast<const string*>(context);
            lua_pushlstring(L, value.data(), value.size());
        },
        &text);
}

void cScript::PushObjectArgument(lua_State* L, const void* context)
{
    script_detail::PushPointer(L, *static_cast<const script_detail::cObjectRef*>(context));
}

bool cScript::CallFunctionImpl(const char* name, PushArguments push, const void* context)
{
    lua_State* L = pLuaState;
    if (!L || !name)
        return false;
    const int top = lua_gettop(L);
    lua_getglobal(L, name);
    if (lua_isnil(L, -1)) {
        // Optional hooks: a script need not define them.
        lua_settop(L, top);
        return false;
    }
    if (push)
        push(L, context);
    const int arguments = lua_gettop(L) - top - 1;
    const int status = lua_pcall(L, arguments, 1, 0);
    if (status != LUA_OK)
        LogWarning(kSender, "Call %s: %s\n", name, MessageText(L, -1));
    lua_settop(L, top);
    return status == LUA_OK;
}

// ---- the singleton ----

bool CreateScript()
{
    if (g_pScript) {
        LogWarning("CreateScript", "Script system already exists\n");
        return false;
    }
    g_pScript = new cScript();
    if (!g_pScript->Init()) {
        LogWarning("CreateScript", "Init\n");
        return false;
    }
    LogText(kSender, "CreateScript: Ok\n");
    return true;
}

bool DestroyScript()
{
    if (!g_pScript) {
        LogWarning("DestroyScript", "Script system does not exist\n");
        return false;
    }
    if (g_pScript->pLuaState) {
        lua_close(g_pScript->pLuaState);
        g_pScript->pLuaState = nullptr;
    }
    delete g_pScript;
    g_pScript = nullptr;
    LogText("DestroyScript", "Ok\n");
    return true;
}

cScript* GetScript()
{
    return g_pScript;
}

} // namespace vek
