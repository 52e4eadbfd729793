#pragma once
// A script host with a log root around it, for the script and console tests.
// "{StaticPath}" and "{AppPath}" point into a fresh temporary folder; the
// HTML log lands in "{AppPath}/_log.html" and can be read back.
#include <gtest/gtest.h>

#include <lua.h>

#include <memory>
#include <string>

#include "engine/app/console.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "support/temp_dir.h"

namespace vektest {

class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = MakeTempDir("script");
        ASSERT_FALSE(m_strDir.empty());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f, vek::cConsole::Make);
        ASSERT_TRUE(vek::CreateScript());
        L = vek::GetScript()->GetState();
        ASSERT_NE(L, nullptr);
    }

    void TearDown() override
    {
        if (vek::GetScript())
            vek::DestroyScript();
        m_pLog.reset();
    }

    vek::cScript& Host() { return *vek::GetScript(); }
    vek::cConsole& Console() { return *vek::cConsole::OfLog(); }

    // Everything the HTML log holds so far.
    std::string LogContents() const { return ReadFile(m_strDir + "/app/_log.html"); }

    // Writes a file below "{StaticPath}" (name in lower case).
    void WriteData(const std::string& name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFile(m_strDir + "/data/" + name, bytes));
    }

    bool Run(const std::string& chunk) { return Host().DoString(chunk.c_str()); }

    // The global as a string: strings and numbers as Lua shows them,
    // booleans as "true" / "false", anything else "".
    std::string Global(const char* name)
    {
        lua_getglobal(L, name);
        const char* text = lua_tostring(L, -1);
        std::string value = text ? text : "";
        if (lua_isboolean(L, -1))
            value = lua_toboolean(L, -1) ? "true" : "false";
        lua_pop(L, 1);
        return value;
    }

    std::string m_strDir;
    lua_State* L = nullptr;
    std::unique_ptr<vek::cLog> m_pLog;
    std::unique_ptr<vek::cConsole> m_pOwnConsole;
};

} // namespace vektest
