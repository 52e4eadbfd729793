#pragma once
// The whole game without a screen: the engine, its window on SDL's offscreen
// driver, the ware manager and the garden game object, made and destroyed in
// the entry routine's order, on a small data pack written for the test.
// Frames run on a fake clock; the HTML log is read back as text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/gui/gui.h"
#include "game/shell/garden.h"
#include "game/shell/profile_host.h"
#include "game/world/ware.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "support/fixture_pack.h"
#include "support/temp_dir.h"

namespace gametest {

// The game screens in the order the game object builds them (its table).
inline const std::vector<std::string>& GameWindows()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const cGameWindowRow& row : GetGameWindowTable()) list.push_back(row.name);
        return list;
    }();
    return names;
}

class cFakeClock : public vek::platform::iClock {
public:
    int64_t Counter() override { return iTicks; }
    int64_t Frequency() override { return 1000; }
    int64_t iTicks = 0;
};

class GameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("game");
        ASSERT_FALSE(m_strDir.empty());
        GetProfileHost() = cProfileHost();
    }

    void TearDown() override { Stop(); }

    // The small pack: system textures and font, the loading screen, a
    // texture and a sound to load, the settings functions, a locale, the
    // 22 screens with one labelled control each, and an autoexec script.
    void WritePack()
    {
        vektest::FixturePack pack(m_strDir + "/data");
        pack.Texture("texture/system/gui_console0", 16, 16, {}, vektest::PackImage::Jpeg);
        pack.Texture("texture/system/gui_console1", 16, 16, {}, vektest::PackImage::Jpeg);
        pack.Texture("texture/system/font_system", 32, 32);
        pack.Texture("texture/system/gui_system", 32, 32);
        pack.Font("conf/sys_font");
        pack.Texture("texture/system/gui_loading", 16, 16, {}, vektest::PackImage::Jpeg);
        pack.Texture("texture/system/gui_loading_progress", 16, 16, {}, vektest::PackImage::Jpeg);
        pack.GuiScript("game_loading", "cLabelCtrl(window, 'label') cProgressBarSysCtrl(window, 'progress')");
        for (const std::string& name : GameWindows())
            pack.GuiScript(name, "cLabelCtrl(window, 'label_" + name + "')");
        pack.File("conf/system.lua",
                  "function LoadHardwareSettings() print('hardware settings\\n')\n"
                  "  if settings and settings.mouse_speed then theGame.m_Settings.fMouseSpeed = settings.mouse_speed end\n"
                  "end\n"
                  "function LoadSettings() print('settings loaded\\n') end\n"
                  "function WriteSettings(path)\n"
                  "  print('WriteSettings ' .. path .. '\\n')\n"
                  "  local f = io.open(path, 'w') f:write('settings = {\\n  mouse_speed = 0.7,\\n}\\n') f:close()\n"
                  "end\n");
        pack.File("conf/locale.lua", "locale.ConfirmExitGame = 'Leave?'\n");
        pack.File("conf/autoexec.lua", "print('autoexec ran\\n')\n");
        vektest::FixturePack jobs(m_strDir + "/data");
        jobs.Texture("texture/cursor_pointer", 32, 64);
        jobs.Sound("sound/goal_done");
        jobs.LoadingScript();
        ASSERT_TRUE(pack.Ok() && jobs.Ok());
    }

    // Engine, window, ware manager, game object and its start-up, as the
    // entry routine makes them, on the test's own pack.
    void Start() { StartWith(m_strDir + "/data"); }

    // The same on the pack in that folder.
    void StartWith(const std::string& staticPath)
    {
        vek::platform::WindowSystem().bOpenGL = true;
        vek::cGame::cSettings s;
        s.strTitle = "Zembro Lavine";
        s.strName = "Zembrolavine";
        s.iBits = 32;
        s.iDepthStencil = 1;
        s.fWidth = 1024.0f;
        s.fHeight = 768.0f;
        m_pGame = new vek::cGame(s);
        // The engine opened its log where its own folders are.
        m_strLogPath = std::string(vek::GetPathMacro(vek::e_macroAppPath)) + "/_log.html";
        vek::SetPathMacro(vek::e_macroStaticPath, staticPath);
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->InitFrameTiming(&m_Clock);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        ASSERT_TRUE(CreateWareManager());
        new cGarden();
        ASSERT_NE(g_pGarden, nullptr);
        ASSERT_EQ(g_pGarden->InitGame(), 0);
    }

    // One frame a thirtieth of a second after the last.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_Clock.iTicks += 33;
            m_pGame->UpdateFrame();
            m_pGame->UpdateFrameTimer();
        }
    }

    // Frames until the game has finished its start-up (at most `limit`).
    bool RunToMainMenu(int limit = 600)
    {
        for (int i = 0; i < limit; ++i) {
            if (g_pGarden && g_pGarden->IsInitFinished()) return true;
            Frames(1);
        }
        return g_pGarden && g_pGarden->IsInitFinished();
    }

    // The entry routine's teardown: game object, ware manager, window,
    // engine. Safe to call twice.
    void Stop()
    {
        if (!m_pGame) return;
        delete g_pGarden;
        DestroyWareManager();
        if (vek::platform::WindowSystem().HasWindow()) m_pGame->DestroyWindow();
        delete m_pGame;
        m_pGame = nullptr;
    }

    // The HTML log as it is on disk.
    std::string HtmlLog() const { return vektest::ReadFile(m_strLogPath); }
    // The console's copy of the log while the engine runs.
    std::string ConsoleLog() const
    {
        std::string text;
        if (const vek::cConsole* console = vek::cConsole::OfLog())
            for (const vek::string& line : console->vecLines) text += line + "\n";
        return text;
    }
    // Whether the texts appear in the text in this order.
    static bool InOrder(const std::string& text, const std::vector<std::string>& parts)
    {
        size_t at = 0;
        for (const std::string& part : parts) {
            at = text.find(part, at);
            if (at == std::string::npos) return false;
            at += part.size();
        }
        return true;
    }

    std::string m_strDir;
    std::string m_strLogPath;
    vek::cGame* m_pGame = nullptr;
    cFakeClock m_Clock;
};

} // namespace gametest
