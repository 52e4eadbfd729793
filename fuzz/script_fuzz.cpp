// Runs arbitrary bytes as a Lua chunk through the script host, with the
// host's print and error paths live (console and HTML log), under a step
// and a memory limit. Functions that touch files, processes or the C
// locale, and loaders of precompiled code, are removed first: the input is
// hostile, the machine is not a sandbox.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <lauxlib.h>
#include <lua.h>
#include <unistd.h>

#include "engine/app/console.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/core/script.h"

namespace {

constexpr long long kMemoryLimit = 64ll << 20;
constexpr int kHookInterval = 1000;  // instructions
constexpr int kHookCalls = 2000;     // 2 million instructions in all

struct cBudget {
    long long llUsed = 0;  // bytes allocated since the limit took over
    bool bLimited = true;
    int iHookCalls = 0;
};
cBudget g_Budget;

void* LimitedAlloc(void* ud, void* block, size_t oldSize, size_t newSize)
{
    auto* budget = static_cast<cBudget*>(ud);
    const long long before = block ? static_cast<long long>(oldSize) : 0;
    if (newSize == 0) {
        budget->llUsed -= before;
        std::free(block);
        return nullptr;
    }
    if (budget->bLimited && budget->llUsed - before + static_cast<long long>(newSize) > kMemoryLimit)
        return nullptr;
    void* grown = std::realloc(block, newSize);
    if (grown)
        budget->llUsed += static_cast<long long>(newSize) - before;
    return grown;
}

void StepHook(lua_State* L, lua_Debug*)
{
    if (++g_Budget.iHookCalls < kHookCalls)
        return;
    // From now on every instruction fails, so no pcall loop outlives it.
    lua_sethook(L, &StepHook, LUA_MASKCOUNT, 1);
    luaL_error(L, "step limit");
}

void Sandbox(lua_State* L)
{
    luaL_dostring(L, "io, dofile, loadfile, load, loadstring = nil, nil, nil, nil, nil "
                     "string.dump = nil "
                     "os.execute, os.exit, os.remove, os.rename = nil, nil, nil, nil "
                     "os.tmpname, os.setlocale = nil, nil");
    lua_settop(L, 0);
}

std::string LogFolder()
{
    static std::string folder;
    if (folder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vek-script-fuzz.XXXXXX";
        if (mkdtemp(pattern.data()))
            folder = pattern;
        std::atexit([] {
            unlink((folder + "/_log.html").c_str());
            rmdir(folder.c_str());
        });
    }
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A fresh log each run keeps the file small; the console is the log's
    // own, or one made here when the log root builds none.
    vek::SetPathMacro(vek::e_macroAppPath, LogFolder());
    vek::cLog log(1024.0f, 768.0f);
    vek::cConsole* ownConsole = nullptr;
    if (!log.pConsole)
        log.pConsole = ownConsole = new vek::cConsole(1024.0f, 768.0f, 384.0f);

    if (vek::CreateScript()) {
        lua_State* L = vek::GetScript()->GetState();
        Sandbox(L);
        g_Budget = cBudget();
        lua_setallocf(L, &LimitedAlloc, &g_Budget);
        lua_sethook(L, &StepHook, LUA_MASKCOUNT, kHookInterval);

        const std::string chunk(reinterpret_cast<const char*>(data), size);
        vek::GetScript()->DoString(chunk.c_str());
        vek::GetScript()->CallFunction("FillWindow");
        vek::GetScript()->CallFunction("WriteSettings", "settings.lua");
    }
    // Closing runs finalizers: native ones need memory to finish, while the
    // step hook stays armed so that finalizers written in Lua cannot hang.
    g_Budget.bLimited = false;
    vek::DestroyScript();

    if (ownConsole) {
        log.pConsole = nullptr;
        delete ownConsole;
    }
    return 0;
}
