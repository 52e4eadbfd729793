#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/app/console.h"
#include "engine/core/script.h"
#include "platform/window.h"
#include "script_fixture.h"
#include "support/temp_dir.h"
#include "support/time_scale.h"

namespace {

using namespace std::string_literals;
using vektest::ReadFile;
using vektest::ScriptFixture;
using vektest::WriteFile;

size_t CountOf(const std::string& text, const std::string& piece)
{
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// ---- the host's life ----

TEST(ScriptHostLife, SecondCreateKeepsTheFirstHostAndDestroyNeedsOne)
{
    EXPECT_FALSE(vek::DestroyScript());
    ASSERT_TRUE(vek::CreateScript());
    vek::cScript* first = vek::GetScript();
    lua_State* state = first->GetState();
    EXPECT_FALSE(vek::CreateScript());
    EXPECT_EQ(vek::GetScript(), first);
    EXPECT_EQ(vek::GetScript()->GetState(), state);
    EXPECT_TRUE(vek::DestroyScript());
    EXPECT_EQ(vek::GetScript(), nullptr);
    EXPECT_FALSE(vek::DestroyScript());
}

TEST(ScriptHostLife, OperationsWithoutAStateDoNothing)
{
    // A host whose Init failed keeps a null state; the engine goes on.
    vek::cScript host;
    ASSERT_EQ(host.GetState(), nullptr);
    EXPECT_FALSE(host.LoadFile(vek::filename("{StaticPath}/conf/system.lua")));
    EXPECT_FALSE(host.DoString("x = 1"));
    EXPECT_FALSE(host.CallFunction("LoadSettings"));
    EXPECT_FALSE(host.CallFunction("WriteSettings", vek::string("path")));
    int object = 0;
    host.RegisterVar("theObject", &object);
    EXPECT_FALSE(host.CallFunction("FillWindow", &object));
    vek::push_pointer(nullptr, &object);
    vek::undelete_class_rep<int>(nullptr);
}

// ---- libraries ----

class ScriptHost : public ScriptFixture {};

TEST_F(ScriptHost, OpensTheExpectedLibrariesOnly)
{
    ASSERT_TRUE(Run("ok = type(coroutine.create) == 'function' and type(math.floor) == 'function'"
                    " and type(io.open) == 'function' and type(os.time) == 'function'"
                    " and type(string.format) == 'function' and type(table.insert) == 'function'"
                    " and debug == nil and package == nil and require == nil"
                    " and type(_ALERT) == 'function' and type(_ERROR) == 'function'"
                    " and type(_VEK_PRINT) == 'function'"));
    EXPECT_EQ(Global("ok"), "true");
}

// ---- print ----

TEST_F(ScriptHost, PrintJoinsItsArgumentsWithTabsAndNoLineEnd)
{
    ASSERT_TRUE(Run("got = {} _VEK_PRINT = function(t) got[#got + 1] = t end"
                    " print() print(1, nil, true) print('a', 'b')"
                    " first, second, third, count = got[1], got[2], got[3], #got"));
    EXPECT_EQ(Global("count"), "3");
    EXPECT_EQ(Global("first"), "");
    EXPECT_EQ(Global("second"), "1\tnil\ttrue");
    EXPECT_EQ(Global("third"), "a\tb");
}

TEST_F(ScriptHost, PrintWithoutAHandlerIsSilentAndBadTostringIsAnError)
{
    EXPECT_TRUE(Run("_VEK_PRINT = nil print('nowhere') _VEK_PRINT = 5 print('nowhere')"));
    EXPECT_TRUE(Run("tostring = function() return {} end"
                    " ok, message = pcall(print, 'x')"));
    EXPECT_EQ(Global("message"), "`tostring' must return a string to `print'");
}

TEST_F(ScriptHost, PrintCutsLongTextAndSurvivesNestedPrints)
{
    ASSERT_TRUE(Run("got = {} _VEK_PRINT = function(t) got[#got + 1] = t end"
                    " print(string.rep('x', 5000), string.rep('y', 10))"
                    " long = #got[1]"
                    " inner = setmetatable({}, {__tostring = function() print('inner') return 'outer' end})"
                    " print('a', inner, 'b')"
                    " nested1, nested2 = got[2], got[3]"));
    EXPECT_EQ(Global("long"), "2047");
    EXPECT_EQ(Global("nested1"), "inner");
    EXPECT_EQ(Global("nested2"), "a\touter\tb");
}

TEST_F(ScriptHost, PrintReachesConsoleAndLogAsAFormatWithEmptyArguments)
{
    ASSERT_TRUE(Run("print('score %d of 100%% done\\n')"));
    const auto& lines = Console().vecLines;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "score  of 100% done");
    EXPECT_NE(LogContents().find("of 100% done"), std::string::npos);
}

TEST_F(ScriptHost, PrintHandlerTakesAnyValue)
{
    // The native print handler is reachable from scripts with any argument.
    EXPECT_TRUE(Run("_VEK_PRINT({}) _VEK_PRINT() _VEK_PRINT(nil) _VEK_PRINT(false) _VEK_PRINT(12)"));
    const auto& lines = Console().vecLines;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("table: ", 0), 0u);
    EXPECT_NE(LogContents().find("nilfalse12"), std::string::npos);
}

// ---- running files and chunks ----

TEST_F(ScriptHost, LoadFileRunsAFileAndIsSilentForMissingOrEmptyOnes)
{
    WriteData("conf/ok.lua", "loaded = 'yes'\n");
    WriteData("conf/empty.lua", "");
    EXPECT_TRUE(Host().LoadFile(vek::filename("{StaticPath}/conf/ok.lua")));
    EXPECT_EQ(Global("loaded"), "yes");

    EXPECT_FALSE(Host().LoadFile(vek::filename("{StaticPath}/conf/missing.lua")));
    EXPECT_FALSE(Host().LoadFile(vek::filename("{StaticPath}/conf/empty.lua")));
    // The file layer may report the missing file; the host adds nothing.
    EXPECT_EQ(LogContents().find("cScript: </span><span class='warning'>"), std::string::npos);
}

TEST_F(ScriptHost, ScriptErrorsReachTheLogWithLineAndFile)
{
    WriteData("conf/syntax.lua", "x = 1\ny = (\n");
    WriteData("conf/runtime.lua", "a = 1\nb = 2\nc = nil + 1\n");
    const int top = lua_gettop(L);

    EXPECT_FALSE(Host().LoadFile(vek::filename("{StaticPath}/conf/syntax.lua")));
    EXPECT_FALSE(Host().LoadFile(vek::filename("{StaticPath}/conf/runtime.lua")));
    EXPECT_EQ(lua_gettop(L), top);

    const std::string log = LogContents();
    EXPECT_NE(log.find(":3: unexpected symbol near"), std::string::npos) << log;
    EXPECT_NE(log.find(":3: attempt to perform arithmetic on a nil value"), std::string::npos) << log;
    EXPECT_NE(log.find("LoadFile: error in file"), std::string::npos);
    EXPECT_NE(log.find("syntax.lua"), std::string::npos);
    EXPECT_NE(log.find("runtime.lua"), std::string::npos);
    // Lua's message and the file line, for each of the two files.
    EXPECT_EQ(CountOf(log, "class='warning'"), 4u) << log;
    // The statements before the failing one ran.
    EXPECT_EQ(Global("b"), "2");
}

TEST_F(ScriptHost, ErrorsGoThroughTheScriptsAlertHandler)
{
    ASSERT_TRUE(Run("alerts = {} _ALERT = function(m) alerts[#alerts + 1] = m end"));
    EXPECT_FALSE(Run("error('first')"));
    EXPECT_FALSE(Run("error({})"));
    EXPECT_TRUE(Run("count, last = #alerts, alerts[2]"));
    EXPECT_EQ(Global("count"), "2");
    EXPECT_EQ(Global("last"), "(error object is a table value)");

    // Without a handler the message is still logged.
    EXPECT_TRUE(Run("_ALERT = nil"));
    EXPECT_FALSE(Run("error('unhandled one')"));
    EXPECT_NE(LogContents().find("unhandled one"), std::string::npos);
}

TEST_F(ScriptHost, ChunksStopAtAZeroByteAndPrecompiledCodeIsRefused)
{
    WriteData("conf/zero.lua", "before = 1\0after = 1\n"s);
    EXPECT_TRUE(Host().LoadFile(vek::filename("{StaticPath}/conf/zero.lua")));
    EXPECT_EQ(Global("before"), "1");
    EXPECT_EQ(Global("after"), "");

    ASSERT_TRUE(Run("dumped = string.dump(function() return 1 end)"));
    const std::string dumped = Global("dumped");
    ASSERT_FALSE(dumped.empty());
    // Precompiled chunks hold zero bytes, so they reach the loader through a
    // file that starts with the signature only; even that must not load.
    WriteData("conf/binary.lua", dumped.substr(0, dumped.find('\0')));
    EXPECT_FALSE(Host().LoadFile(vek::filename("{StaticPath}/conf/binary.lua")));
    EXPECT_NE(LogContents().find("attempt to load a binary chunk"), std::string::npos);
}

// ---- functions called by name ----

TEST_F(ScriptHost, CallingAMissingFunctionIsSilentAndLeavesTheStack)
{
    lua_pushinteger(L, 42);
    const int top = lua_gettop(L);
    const std::string before = LogContents();
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(Host().CallFunction("LoadSettings"));
    EXPECT_FALSE(Host().CallFunction("WriteSettings", "path"));
    EXPECT_EQ(lua_gettop(L), top);
    EXPECT_EQ(lua_tointeger(L, -1), 42);
    EXPECT_EQ(LogContents(), before);
    lua_pop(L, 1);
}

TEST_F(ScriptHost, CalledFunctionsGetTheirArgumentAndLeaveNoResults)
{
    ASSERT_TRUE(Run("calls = 0 function WriteSettings(path) calls = calls + 1 written = path"
                    " return 1, 2, 3 end"));
    const int top = lua_gettop(L);
    for (int i = 0; i < 1000; ++i)
        EXPECT_TRUE(Host().CallFunction("WriteSettings", vek::string("/home/u/settings.lua")));
    EXPECT_EQ(lua_gettop(L), top);
    EXPECT_EQ(Global("calls"), "1000");
    EXPECT_EQ(Global("written"), "/home/u/settings.lua");
}

TEST_F(ScriptHost, AnErrorInACalledFunctionIsAWarningWithItsText)
{
    ASSERT_TRUE(Run("function LoadSettings() error('settings are broken') end FillWindow = 5"));
    const int top = lua_gettop(L);
    for (int i = 0; i < 50; ++i)
        EXPECT_FALSE(Host().CallFunction("LoadSettings"));
    EXPECT_FALSE(Host().CallFunction("FillWindow"));
    EXPECT_EQ(lua_gettop(L), top);
    const std::string log = LogContents();
    EXPECT_EQ(CountOf(log, "settings are broken"), 50u);
    EXPECT_NE(log.find("LoadSettings"), std::string::npos);
    EXPECT_NE(log.find("attempt to call a number value"), std::string::npos);
}

// ---- paths handed to Lua's io and os ----

TEST_F(ScriptHost, IoAndOsPathsWithBackslashesWork)
{
    std::filesystem::create_directories(m_strDir + "/work/sub");
    lua_pushstring(L, (m_strDir + "\\work").c_str());
    lua_setglobal(L, "root");
    ASSERT_TRUE(Run("local f = assert(io.open(root .. '\\\\sub\\\\a.txt', 'w'))"
                    " f:write('one\\ntwo\\n') f:close()"
                    " lines = {} for l in io.lines(root .. '\\\\sub\\\\a.txt') do lines[#lines + 1] = l end"
                    " count = #lines"
                    " assert(os.rename(root .. '\\\\sub\\\\a.txt', root .. '\\\\sub\\\\b.txt'))"
                    " io.output(root .. '\\\\sub\\\\out.lua') io.write('done = true\\n') io.close()"
                    " io.output(io.stdout)"
                    " io.input(root .. '\\\\sub\\\\b.txt') first = io.read('*l') io.input():close()"
                    " io.input(io.stdin)"
                    " dofile(root .. '\\\\sub\\\\out.lua')"
                    " fn = assert(loadfile(root .. '\\\\sub\\\\out.lua'))"
                    " assert(os.remove(root .. '\\\\sub\\\\out.lua'))"
                    " missing = io.open(root .. '\\\\sub\\\\none.txt') == nil"))
        << LogContents();
    EXPECT_EQ(Global("count"), "2");
    EXPECT_EQ(Global("first"), "one");
    EXPECT_TRUE(std::filesystem::exists(m_strDir + "/work/sub/b.txt"));
    EXPECT_FALSE(std::filesystem::exists(m_strDir + "/work/sub/a.txt"));
    EXPECT_FALSE(std::filesystem::exists(m_strDir + "/work/sub/out.lua"));
    ASSERT_TRUE(Run("ok = done == true and type(fn) == 'function' and missing"));
    EXPECT_EQ(Global("ok"), "true");
}

// ---- values files ----

TEST_F(ScriptHost, AValuesFileIsBoundInMemoryAndEndsOnAQuitRequest)
{
    // Doubling a string claims memory in few steps: refused at a few MiB,
    // long before the 32 MiB this one asks for (the work done, as CPU time,
    // which a loaded machine does not stretch). The bound holds for the
    // file only.
    WriteData("conf/grow.lua", "local s = 'A' for i = 1, 25 do s = s .. s end settings = { player = s }\n");
    const double cpuStart = vektest::ProcessCpuSeconds();
    EXPECT_EQ(Host().LoadValuesFile(vek::filename("{StaticPath}/conf/grow.lua"), "settings"),
              vek::cScript::e_valuesDamaged);
    EXPECT_LT(vektest::ProcessCpuSeconds() - cpuStart, 1.0);
    EXPECT_NE(LogContents().find("not enough memory"), std::string::npos);
    ASSERT_TRUE(Run("local s = 'A' for i = 1, 23 do s = s .. s end big = #s"));
    EXPECT_EQ(Global("big"), "8388608");

    // A file that runs a while, within its steps, stops when a quit signal
    // comes (checked in a child, which owns the signal); a file as the game
    // writes it is read whole all the same.
    WriteData("conf/slow.lua", "local n = 0 for i = 1, 20000 do n = n + 1 end settings = { count = n }\n");
    const vek::filename slow("{StaticPath}/conf/slow.lua");
    EXPECT_EQ(Host().LoadValuesFile(slow, "settings"), vek::cScript::e_valuesOk);
    WriteData("conf/written.lua", "-- Written by the game at exit; plain values only.\nsettings = {\n"
                                  "  windowed = true,\n  width = 1024,\n  height = 768,\n  gamma = 1,\n"
                                  "  sound = 0.5,\n  music = 0.5,\n  mouse_speed = 0.30000001192092896,\n"
                                  "  render_info = 0,\n  cheat_mode = 0,\n  player = \"Somebody\",\n"
                                  "  player_counter = 3,\n}\n");
    EXPECT_EXIT(
        {
            vek::platform::CatchQuitSignals();
            std::raise(SIGTERM);
            if (Host().LoadValuesFile(vek::filename("{StaticPath}/conf/written.lua"), "settings") !=
                vek::cScript::e_valuesOk)
                std::exit(100);
            std::exit(Host().LoadValuesFile(slow, "settings"));
        },
        ::testing::ExitedWithCode(vek::cScript::e_valuesDamaged), "");
}

TEST_F(ScriptHost, AValuesFileOfManyRunawayLinesIsBoundAsAWhole)
{
    // Each line on its own stays within the memory a file may claim only
    // because it is refused: the file as a whole ends within its budget,
    // not after every line has claimed and given back its few MiB.
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "x = (function() local s=\"A\" for i=1,40 do s=s..s end return s end)()\n";
    WriteData("conf/long.lua", text);
    const vek::filename file("{StaticPath}/conf/long.lua");
    const double started = vektest::ProcessCpuSeconds();
    EXPECT_EQ(Host().LoadValuesFile(file, "settings"), vek::cScript::e_valuesDamaged);
    EXPECT_LT(vektest::ProcessCpuSeconds() - started, vektest::Scaled(2.0));
    EXPECT_EQ(Global("settings"), "");

    // A quit request that comes while it runs ends it at once.
    EXPECT_EXIT(
        {
            vek::platform::CatchQuitSignals();
            std::thread([] {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                std::raise(SIGTERM);
            }).detach();
            const double begun = vektest::ProcessCpuSeconds();
            const int result = Host().LoadValuesFile(file, "settings");
            std::exit(vektest::ProcessCpuSeconds() - begun < vektest::Scaled(0.5) ? result : 100);
        },
        ::testing::ExitedWithCode(vek::cScript::e_valuesDamaged), "");
}

// ---- a long, noisy session ----

TEST_F(ScriptHost, ANoisyScriptRunsToItsEndWithBoundedMemory)
{
    WriteData("conf/noisy.lua",
              "local line = string.rep('0123456789', 500)\n"
              "for i = 1, 10000 do print(line) end\n"
              "for i = 1, 1000 do pcall(error, 'caught') end\n"
              "for i = 1, 200 do pcall(function() no_such_function() end) end\n"
              "function Boom() error('boom in a loop') end\n"
              "finished = 'yes'\n");
    EXPECT_TRUE(Host().LoadFile(vek::filename("{StaticPath}/conf/noisy.lua")));
    EXPECT_EQ(Global("finished"), "yes");
    for (int i = 0; i < 100; ++i) {
        Host().CallFunction("Boom");
        Host().CallFunction("NoSuchFunction");
        Host().DoString("error('raised at the top')");
    }
    EXPECT_LE(Console().vecLines.size(), vek::cConsole::kMaxLines);
    EXPECT_EQ(lua_gettop(L), 0);
    const std::string log = LogContents();
    EXPECT_EQ(CountOf(log, "boom in a loop"), 100u);
    EXPECT_EQ(CountOf(log, "]:1: raised at the top"), 100u);
}

} // namespace
