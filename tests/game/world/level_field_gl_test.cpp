// The level field focused in a started game: its windows come up, Escape
// brings the pause menu, the mouse highlights the object under it, the
// buttons reach the gardener, and the frames draw and step the field
// without fault.
#include "game/game_fixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/world/level.h"

using namespace gametest;

namespace {

struct Box : cObject {
    explicit Box(cLevel* level) : cObject(level) { m_vSize = vek::vec2(60.0f, 60.0f); }
    uint32_t GetType() const override { return OBJ_TOOL_BIN; }
};

void PushEvent(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }

// The window's messages to the engine, as its main loop hands them over.
void Pump(vek::cGame* game)
{
    vek::platform::cMessage m;
    while (vek::platform::WindowSystem().PeekMessage(m))
        if (m.type != vek::platform::e_msgQuit) game->WndProc(m);
}

SDL_Event Key(SDL_Scancode sc)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = sc;
    e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
    return e;
}

SDL_Event Mouse(Uint32 type, Uint8 button = SDL_BUTTON_LEFT)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    if (type == SDL_MOUSEMOTION) e.motion.xrel = 1;
    else e.button.button = button;
    return e;
}

TEST_F(GameFixture, TheFocusedFieldTakesKeysAndMouse)
{
    WritePack();
    Start();
    ASSERT_TRUE(RunToMainMenu()) << ConsoleLog();
    cLevel* level = g_pGarden->GetLevel();
    ASSERT_NE(level, nullptr);

    m_pGame->SetFocusWidget("garden");
    Frames(2);
    vek::cGUI* gui = m_pGame->pGUI;
    EXPECT_TRUE(gui->IsWindowShown("garden"));
    EXPECT_TRUE(gui->IsWindowShown("score"));
    EXPECT_FALSE(gui->IsWindowShown("main"));

    // One box under the cursor, one far from it.
    int x = 0, y = 0;
    ASSERT_TRUE(vek::platform::WindowSystem().GetCursorClientPos(x, y));
    auto* under = new Box(level);
    under->SetPos(static_cast<float>(x), 768.0f - static_cast<float>(y) - 30.0f);
    auto* away = new Box(level);
    away->SetPos(static_cast<float>(x) + 300.0f, 768.0f - static_cast<float>(y) - 30.0f);
    away->SetHighlight(true);
    PushEvent(Mouse(SDL_MOUSEMOTION));
    Pump(m_pGame);
    Frames(2);
    EXPECT_TRUE(under->IsHighlighted());
    EXPECT_FALSE(away->IsHighlighted());

    // A click with a gardener on the field, then many steps of the field:
    // the boxes go through their first step; one removes itself.
    auto* gardener = new cGardener(level);
    level->m_uGardenerId = gardener->GetId();
    // Without tutorial hints the first level's opening seconds take clicks.
    g_pGarden->SetTraining(0);
    PushEvent(Mouse(SDL_MOUSEBUTTONDOWN));
    Pump(m_pGame);
    Frames(1);
    // The click went down the garden's click road: he is sent to the box
    // under the cursor. The right button takes the job back.
    ASSERT_EQ(gardener->GetJobs().size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(gardener->GetJobs()[0].iId), under->GetId());
    PushEvent(Mouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
    Pump(m_pGame);
    Frames(1);
    EXPECT_TRUE(gardener->GetJobs().empty());
    // The gardener brings his tools; the box that removes itself is the
    // only object to go.
    const size_t before = level->GetObjects().Size();
    away->SetState(2);
    Frames(10);
    EXPECT_EQ(under->GetState(), 0);
    EXPECT_EQ(level->GetObjects().Size(), before - 1);

    PushEvent(Key(SDL_SCANCODE_ESCAPE));
    Pump(m_pGame);
    Frames(2);
    EXPECT_TRUE(gui->IsWindowShown("escape"));
}

} // namespace
