#pragma once
// A whole engine object for the tests of the window, the main loop and the
// frame, with its log, a manual frame clock and the input manager.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/gui/widget.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace vektest {

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        vek::platform::WindowSystem().bOpenGL = m_bOpenGL;
        vek::cGame::cSettings s;
        s.strTitle = "Engine test";
        s.strName = "EngineTest";
        m_pGame = new vek::cGame(s);
        ASSERT_EQ(vek::g_pGame, m_pGame);
        m_pGame->InitFrameTiming(&m_Clock);
        ASSERT_TRUE(vek::platform::WindowSystem().Init());
        if (!vek::g_pInput) {
            m_bOwnInput = true;
            ASSERT_TRUE(vek::CreateInput());
        }
        Pump();
    }

    void TearDown() override
    {
        vek::platform::cWindowSystem& ws = vek::platform::WindowSystem();
        if (ws.HasWindow()) m_pGame->DestroyWindow();
        if (m_bOwnInput) vek::DestroyInput();
        // Widgets go first, as in the engine's teardown (deleting one blanks
        // its list entry, so the teardown's own pass finds nothing left).
        const std::list<vek::cWidget*> widgets = m_pGame->lstWidgets;
        for (vek::cWidget* w : widgets) delete w;
        delete m_pGame;
        m_pGame = nullptr;
        // Nothing of one test may reach the next.
        ws.KillTimer();
        vek::platform::cMessage m;
        while (ws.PeekMessage(m)) {
        }
    }

    // Takes every waiting message and hands it to the window procedure, as
    // the main loop does between frames.
    void Pump()
    {
        vek::platform::cMessage m;
        while (vek::platform::WindowSystem().PeekMessage(m))
            if (m.type != vek::platform::e_msgQuit) m_pGame->WndProc(m);
    }

    // Console lines (the log's copy) that contain text.
    int LogLinesWith(const std::string& text) const
    {
        int n = 0;
        const vek::cConsole* console = vek::cConsole::OfLog();
        if (!console) return 0;
        for (const vek::string& line : console->vecLines)
            if (line.find(text) != std::string::npos) ++n;
        return n;
    }

    bool m_bOpenGL = false;
    bool m_bOwnInput = false;
    vek::platform::cManualClock m_Clock;
    vek::cGame* m_pGame = nullptr;
};

}  // namespace vektest
