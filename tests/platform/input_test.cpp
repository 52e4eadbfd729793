// Device buffers: key codes, merged mouse motion, the 16-item limit, and the
// display-mode list cleaning.
#include "platform/input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/display.h"

namespace vp = vek::platform;

namespace {

TEST(KeyCodes, EveryKeyTheGameUsesHasItsClassicCode)
{
    const struct {
        SDL_Scancode sc;
        int code;
    } keys[] = {
        {SDL_SCANCODE_ESCAPE, 1},    {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_TAB, 15},
        {SDL_SCANCODE_RETURN, 28},   {SDL_SCANCODE_LCTRL, 29},     {SDL_SCANCODE_GRAVE, 41},
        {SDL_SCANCODE_SPACE, 57},    {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_RCTRL, 157},
        {SDL_SCANCODE_PRINTSCREEN, 183}, {SDL_SCANCODE_HOME, 199}, {SDL_SCANCODE_UP, 200},
        {SDL_SCANCODE_PAGEUP, 201},  {SDL_SCANCODE_LEFT, 203},     {SDL_SCANCODE_RIGHT, 205},
        {SDL_SCANCODE_END, 207},     {SDL_SCANCODE_DOWN, 208},     {SDL_SCANCODE_PAGEDOWN, 209},
        {SDL_SCANCODE_DELETE, 211},  {SDL_SCANCODE_A, 30},         {SDL_SCANCODE_Z, 44},
        {SDL_SCANCODE_1, 2},         {SDL_SCANCODE_0, 11},         {SDL_SCANCODE_F10, 68},
        {SDL_SCANCODE_F11, 87},      {SDL_SCANCODE_KP_0, 82},
    };
    for (const auto& k : keys) EXPECT_EQ(vp::ScancodeToKeyCode(k.sc), k.code) << k.sc;
    // SDL numbers Escape 41: the console key's code must not leak through.
    EXPECT_EQ(SDL_SCANCODE_ESCAPE, 41);
    EXPECT_NE(vp::ScancodeToKeyCode(41), 41);
    EXPECT_EQ(vp::ScancodeToKeyCode(SDL_SCANCODE_F24), 0);
    EXPECT_EQ(vp::ScancodeToKeyCode(-5), 0);
    EXPECT_EQ(vp::ScancodeToKeyCode(100000), 0);
    // No two keys share a code (apart from the two backslash positions).
    int seen[256] = {};
    for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc)
        if (int c = vp::ScancodeToKeyCode(sc)) ++seen[c];
    for (int c = 0; c < 256; ++c) EXPECT_LE(seen[c], c == 43 ? 2 : 1) << c;
}

TEST(KeyCodes, HatPositionsAreHundredthsOfDegrees)
{
    EXPECT_EQ(vp::HatToPov(SDL_HAT_UP), 0);
    EXPECT_EQ(vp::HatToPov(SDL_HAT_RIGHTUP), 4500);
    EXPECT_EQ(vp::HatToPov(SDL_HAT_DOWN), 18000);
    EXPECT_EQ(vp::HatToPov(SDL_HAT_LEFTUP), 31500);
    EXPECT_EQ(vp::HatToPov(SDL_HAT_CENTERED), -1);
}

class BackendTest : public ::testing::Test {
protected:
    void SetUp() override { devices = backend.EnumDevices(); }

    void Raw(vp::cRawInput::eKind kind, int index, int value, int value2 = 0, bool repeat = false)
    {
        vp::cRawInput in;
        in.kind = kind;
        in.index = index;
        in.value = value;
        in.value2 = value2;
        in.repeat = repeat;
        backend.OnRawInput(in);
    }

    vp::cInputBackend backend;
    std::vector<vp::cDeviceInfo> devices;
    vp::cDeviceItem items[vp::kDeviceBufferSize];
};

TEST_F(BackendTest, MouseAndKeyboardAlwaysExistAndAreEnumeratedOnce)
{
    ASSERT_GE(devices.size(), 2u);
    EXPECT_EQ(devices[0].cls, vp::e_devMouse);
    EXPECT_EQ(devices[1].cls, vp::e_devKeyboard);
    EXPECT_EQ(backend.EnumDevices().size(), devices.size());
    EXPECT_EQ(backend.ReadBuffered(99, items), -1);
}

TEST_F(BackendTest, MergedMotionNeverPushesAClickOut)
{
    for (int i = 0; i < 40; ++i) Raw(vp::cRawInput::e_rawMouseMove, 0, 1, -1);
    Raw(vp::cRawInput::e_rawMouseButton, 0, 1);
    Raw(vp::cRawInput::e_rawMouseMove, 0, -3, 2);
    const int n = backend.ReadBuffered(devices[0].id, items);
    ASSERT_EQ(n, 5);
    EXPECT_EQ(items[0].offset, vp::e_mouseX);
    EXPECT_EQ(items[0].data, 40);
    EXPECT_EQ(items[1].offset, vp::e_mouseY);
    EXPECT_EQ(items[1].data, -40);
    EXPECT_EQ(items[2].offset, vp::e_mouseButton0);
    EXPECT_EQ(items[2].data, 0x80);
    EXPECT_EQ(items[3].data, -3);
    EXPECT_EQ(items[4].data, 2);
    EXPECT_EQ(backend.ReadBuffered(devices[0].id, items), 0);
}

// The pointer comes back into the window where it left it: SDL reports a
// motion of no distance, and motions that cancel out net none. Either is
// still a motion (the GUI looks again at what is under the pointer), sent
// once, before the press that follows.
TEST_F(BackendTest, AMotionOfNoDistanceStillReportsAMove)
{
    Raw(vp::cRawInput::e_rawMouseMove, 0, 0, 0);
    Raw(vp::cRawInput::e_rawMouseButton, 0, 1);
    ASSERT_EQ(backend.ReadBuffered(devices[0].id, items), 2);
    EXPECT_EQ(items[0].offset, vp::e_mouseX);
    EXPECT_EQ(items[0].data, 0);
    EXPECT_EQ(items[1].offset, vp::e_mouseButton0);

    Raw(vp::cRawInput::e_rawMouseMove, 0, 4, -2);
    Raw(vp::cRawInput::e_rawMouseMove, 0, -4, 2);
    ASSERT_EQ(backend.ReadBuffered(devices[0].id, items), 1);
    EXPECT_EQ(items[0].offset, vp::e_mouseX);
    EXPECT_EQ(items[0].data, 0);
    EXPECT_EQ(backend.ReadBuffered(devices[0].id, items), 0) << "no motion, no move";

    Raw(vp::cRawInput::e_rawMouseMove, 0, 0, 3);
    ASSERT_EQ(backend.ReadBuffered(devices[0].id, items), 1) << "one item for one motion";
    EXPECT_EQ(items[0].offset, vp::e_mouseY);
    Raw(vp::cRawInput::e_rawMouseMove, 0, 0, 0);
    backend.DiscardAll();
    Raw(vp::cRawInput::e_rawMouseButton, 0, 0);
    EXPECT_EQ(backend.ReadBuffered(devices[0].id, items), 1) << "a discarded motion is not reported";
}

TEST_F(BackendTest, SeventeenKeysInAFrameGiveSixteenAndRepeatsNone)
{
    for (int i = 0; i < 17; ++i) Raw(vp::cRawInput::e_rawKey, SDL_SCANCODE_A, i % 2 == 0);
    Raw(vp::cRawInput::e_rawKey, SDL_SCANCODE_B, 1);
    EXPECT_EQ(backend.ReadBuffered(devices[1].id, items), 16);
    EXPECT_EQ(items[0].offset, 30);
    EXPECT_EQ(items[0].data, 0x80);
    EXPECT_EQ(items[1].data, 0);
    EXPECT_EQ(backend.ReadBuffered(devices[1].id, items), 0);

    Raw(vp::cRawInput::e_rawKey, SDL_SCANCODE_SPACE, 1);
    Raw(vp::cRawInput::e_rawKey, SDL_SCANCODE_SPACE, 1, 0, true);
    Raw(vp::cRawInput::e_rawKey, SDL_SCANCODE_F24, 1);
    EXPECT_EQ(backend.ReadBuffered(devices[1].id, items), 1);
    EXPECT_EQ(items[0].offset, 57);
}

TEST_F(BackendTest, DiscardEmptiesEveryBufferAndPendingMotion)
{
    Raw(vp::cRawInput::e_rawMouseMove, 0, 5, 5);
    Raw(vp::cRawInput::e_rawWheel, 0, 120);
    Raw(vp::cRawInput::e_rawKey, SDL_SCANCODE_A, 1);
    backend.DiscardAll();
    EXPECT_EQ(backend.ReadBuffered(devices[0].id, items), 0);
    EXPECT_EQ(backend.ReadBuffered(devices[1].id, items), 0);
}

TEST(DisplayModes, ListIsCleanedAndFallsBackToTheDesktop)
{
    EXPECT_EQ(vp::BitsOfPixelFormat(SDL_PIXELFORMAT_RGB888), 32);
    EXPECT_EQ(vp::BitsOfPixelFormat(SDL_PIXELFORMAT_ARGB8888), 32);
    EXPECT_EQ(vp::BitsOfPixelFormat(SDL_PIXELFORMAT_RGB565), 16);

    vp::cModeInfo desktop;
    desktop.width = 1280;
    desktop.height = 1024;
    desktop.bits = 32;
    std::vector<vp::cModeInfo> raw(2);
    raw[1].width = 800;
    raw[1].height = 600;
    const std::vector<vp::cModeInfo> cleaned = vp::CleanModeList(raw, desktop, true);
    ASSERT_EQ(cleaned.size(), 1u);
    EXPECT_EQ(cleaned[0].width, 800);
    const std::vector<vp::cModeInfo> fallback =
        vp::CleanModeList(std::vector<vp::cModeInfo>(1), desktop, true);
    ASSERT_EQ(fallback.size(), 1u);
    EXPECT_EQ(fallback[0].width, 1280);
    EXPECT_TRUE(vp::CleanModeList({}, desktop, false).empty());
}

}  // namespace
