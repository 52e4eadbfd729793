#pragma once
// A log root, a script host with the engine's bindings, a font manager and
// a GUI of the game's size published as "theGUI", for the binding tests. The GUI is torn
// down after the script state, as in the engine.
#include <gtest/gtest.h>

#include <lauxlib.h>
#include <lua.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/graphics/font.h"
#include "engine/app/bind.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "support/temp_dir.h"

namespace bindtest {

// Records the messages of a window, then handles them as the base does.
class cRecordingWF : public vek::cWindowFunction {
public:
    struct cRecord {
        int iMessage;
        unsigned uA;
        unsigned uB;
    };

    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override
    {
        if (message != vek::cGUI::e_wndPaint && message != vek::cGUI::e_wndTimer)
            records.push_back({message, a, b});
        return vek::cWindowFunction::Call(window, message, a, b);
    }

    // How often the message arrived with b (a control id) = id.
    int Count(int message, unsigned id) const
    {
        int n = 0;
        for (const cRecord& r : records)
            if (r.iMessage == message && r.uB == id) ++n;
        return n;
    }

    std::vector<cRecord> records;
};

class BindFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("bind");
        ASSERT_FALSE(m_strDir.empty());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
        ASSERT_TRUE(vek::CreateScript());
        L = vek::GetScript()->GetState();
        ASSERT_NE(L, nullptr);
        ASSERT_TRUE(vek::CreateFontManager());
        m_pGUI = new vek::cGUI(1024.0f, 768.0f);
        m_pGUI->SetViewport(0, 0, 1024, 768);
        ASSERT_TRUE(vek::RegisterEngineLua(vek::GetScript()));
        vek::GetScript()->RegisterVar("theGUI", m_pGUI);
    }

    void TearDown() override
    {
        if (vek::GetScript()) vek::DestroyScript();
        delete m_pGUI;
        m_pGUI = nullptr;
        vek::DestroyFontManager();
        m_pLog.reset();
    }

    bool Run(const std::string& chunk) { return vek::GetScript()->DoString(chunk.c_str()); }

    // Runs the chunk in protected mode: "" when it ran, else Lua's message.
    std::string Try(const std::string& chunk)
    {
        if (luaL_loadstring(L, chunk.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0) {
            const char* message = lua_tostring(L, -1);
            std::string text = message ? message : "error";
            lua_pop(L, 1);
            return text;
        }
        return "";
    }

    // The global as Lua prints it; booleans as "true" / "false", nil as "nil".
    std::string Global(const char* name)
    {
        lua_getglobal(L, name);
        std::string value;
        if (lua_isnil(L, -1))
            value = "nil";
        else if (lua_isboolean(L, -1))
            value = lua_toboolean(L, -1) ? "true" : "false";
        else if (const char* text = lua_tostring(L, -1))
            value = text;
        lua_pop(L, 1);
        return value;
    }

    std::string LogContents() const { return vektest::ReadFile(m_strDir + "/app/_log.html"); }

    // A window with a recording function, named and active, registered in the GUI.
    vek::cWindow* MakeWindow(const char* name, cRecordingWF** function = nullptr)
    {
        auto* wf = new cRecordingWF();
        auto* window = new vek::cWindow(wf, m_pGUI);
        window->SetName(name);
        window->SetActive(true);
        if (function) *function = wf;
        return window;
    }

    std::string m_strDir;
    lua_State* L = nullptr;
    std::unique_ptr<vek::cLog> m_pLog;
    vek::cGUI* m_pGUI = nullptr;
};

} // namespace bindtest
