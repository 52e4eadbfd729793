// The input manager: events and states from the devices, fed by the window
// system's event pump.
#include "engine/core/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "platform/window.h"
#include "support/temp_dir.h"

namespace {

void PumpAll()
{
    vek::platform::cMessage m;
    while (vek::platform::WindowSystem().PeekMessage(m)) {
    }
}

void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }

SDL_Event Event(Uint32 type)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    return e;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(vek::platform::WindowSystem().Init());
        PumpAll();
        ASSERT_TRUE(vek::CreateInput());
        ASSERT_NE(vek::g_pInput, nullptr);
    }
    void TearDown() override { EXPECT_TRUE(vek::DestroyInput()); }
};

TEST_F(InputTest, KeyAndButtonStatesFollowTheEvents)
{
    SDL_Event key = Event(SDL_KEYDOWN);
    key.key.keysym.scancode = SDL_SCANCODE_LCTRL;
    Push(key);
    SDL_Event button = Event(SDL_MOUSEBUTTONDOWN);
    button.button.button = SDL_BUTTON_RIGHT;
    Push(button);
    PumpAll();
    vek::cInputEventList events;
    ASSERT_TRUE(vek::g_pInput->Update(&events));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].iKind, 4);
    EXPECT_EQ(events[0].iCode, 1);
    EXPECT_EQ(events[1].iKind, 1);
    EXPECT_EQ(events[1].iCode, 29);

    EXPECT_EQ(vek::g_pInput->GetState(29, 1), 1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(29, 2), 0.0f);
    EXPECT_EQ(vek::g_pInput->GetState(1, 4), 1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(0, 4), 0.0f);
    // Out of range: never pressed.
    EXPECT_EQ(vek::g_pInput->GetState(300, 2), 1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(300, 1), 0.0f);
    EXPECT_EQ(vek::g_pInput->GetState(-1, 1), 0.0f);
    EXPECT_EQ(vek::g_pInput->GetState(9, 5), 1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(0, 42), 0.0f);

    // Read without a list: the data is gone, the states still follow it.
    key.type = SDL_KEYUP;
    Push(key);
    PumpAll();
    ASSERT_TRUE(vek::g_pInput->Update(nullptr));
    EXPECT_EQ(vek::g_pInput->GetState(29, 1), 0.0f);
    events.clear();
    vek::g_pInput->Update(&events);
    EXPECT_TRUE(events.empty());
}

TEST_F(InputTest, WithoutAJoystickItsStatesAreZero)
{
    EXPECT_TRUE(vek::g_pInput->vecJoysticks.empty());
    EXPECT_EQ(vek::g_pInput->GetState(0, 16), 0.0f);
    EXPECT_EQ(vek::g_pInput->GetState(0, 9), 0.0f);
    EXPECT_EQ(vek::g_pInput->GetState(0, 8), 0.0f);
}

TEST(InputJoystick, AxesButtonsAndHatsOfAVirtualJoystick)
{
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_TRUE(vek::platform::WindowSystem().Init());
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 8, 1);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(vek::CreateInput());
    ASSERT_EQ(vek::g_pInput->vecJoysticks.size(), 1u);
    // At rest in the middle of its range.
    EXPECT_NEAR(vek::g_pInput->GetState(0, 16), 0.0f, 1e-4f);

    SDL_Joystick* js = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(js, nullptr);
    PumpAll();
    vek::g_pInput->Update(nullptr);

    SDL_JoystickSetVirtualAxis(js, 0, -32768);
    SDL_JoystickSetVirtualAxis(js, 1, 32767);
    SDL_JoystickSetVirtualButton(js, 3, 1);
    SDL_JoystickSetVirtualHat(js, 0, SDL_HAT_RIGHTUP);
    SDL_JoystickUpdate();
    PumpAll();
    vek::cInputEventList events;
    vek::g_pInput->Update(&events);
    auto has = [&](int kind, int code) {
        for (const vek::cInputEvent& e : events)
            if (e.iKind == kind && e.iCode == code) return true;
        return false;
    };
    EXPECT_TRUE(has(16, 0));
    EXPECT_TRUE(has(17, 65535));
    EXPECT_TRUE(has(9, 3));
    EXPECT_TRUE(has(22, 4500));
    EXPECT_EQ(vek::g_pInput->GetState(0, 16), -1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(0, 17), 1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(3, 9), 1.0f);
    EXPECT_EQ(vek::g_pInput->GetState(3, 8), 0.0f);

    EXPECT_TRUE(vek::DestroyInput());
    SDL_JoystickDetachVirtual(index);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

// A joystick the system lists but will not open comes without a device: the
// log says first that opening it failed, then that it is left out, and it
// reads nothing.
TEST(InputJoystick, OneThatCouldNotBeOpenedIsTold)
{
    const std::string app = vektest::MakeTempDir("InputLog");
    ASSERT_FALSE(app.empty());
    vek::SetPathMacro(vek::e_macroAppPath, app);
    {
        vek::cLog log(1024.0f, 768.0f);
        vek::cJoystick joystick(nullptr, -1, 0, 65535);
        EXPECT_FALSE(joystick.IsValid());
        EXPECT_FALSE(joystick.Update(nullptr));
    }
    const std::string text = vektest::ReadFile(app + "/_log.html");
    const size_t opening = text.find("<span class='sender'>cInputDevice: </span>"
                                     "<span class='warning'>constructor: CreateDevice<br />");
    const size_t invalid = text.find("<span class='sender'>cJoystick: </span><span class='warning'>"
                                     "constructor: device invalid<br />");
    ASSERT_NE(opening, std::string::npos);
    ASSERT_NE(invalid, std::string::npos);
    EXPECT_LT(opening, invalid);
}

}  // namespace
