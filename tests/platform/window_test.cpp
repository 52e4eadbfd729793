// The window system under SDL's dummy video driver: events pushed into SDL's
// queue come out as the engine's messages, in order, with the quit, timer
// and input-sink rules.
#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/clock.h"
#include "platform/display_loss.h"
#include "support/time_scale.h"

namespace vp = vek::platform;

namespace {

class cRecordingSink : public vp::iInputSink {
public:
    void OnRawInput(const vp::cRawInput& in) override { inputs.push_back(in); }
    std::vector<vp::cRawInput> inputs;
};

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ws.Init());
        vp::cWindowDesc d;
        d.title = "test";
        d.opengl = false;
        ASSERT_TRUE(ws.CreateWindow(d));
        ws.Show();
        ws.DrainMessages();
        ws.SetEventSink(&sink);
    }

    std::vector<vp::cMessage> TakeAll()
    {
        std::vector<vp::cMessage> out;
        vp::cMessage m;
        while (ws.PeekMessage(m)) out.push_back(m);
        return out;
    }

    uint32_t WindowId() { return SDL_GetWindowID(ws.GetWindow()->GetSdlWindow()); }

    void PushWindowEvent(uint8_t what, int d1 = 0, int d2 = 0)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = WindowId();
        e.window.event = what;
        e.window.data1 = d1;
        e.window.data2 = d2;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    void PushKey(bool down, SDL_Scancode sc, SDL_Keycode sym, bool repeat = false)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = WindowId();
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = sym;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    void PushText(const char* utf8)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_TEXTINPUT;
        e.text.windowID = WindowId();
        std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    void PushMotion(int dx, int dy)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = WindowId();
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    std::vector<int> Chars(const std::vector<vp::cMessage>& msgs)
    {
        std::vector<int> out;
        for (const vp::cMessage& m : msgs)
            if (m.type == vp::e_msgChar) out.push_back(m.a);
        return out;
    }

    vp::cManualClock clock;
    vp::cWindowSystem ws{&clock};
    cRecordingSink sink;
};

TEST_F(WindowSystemTest, WindowMessagesKeepTheirOrderAndQuitComesLast)
{
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    ws.PostQuit(7);

    const std::vector<vp::cMessage> msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 5u);
    EXPECT_EQ(msgs[0].type, vp::e_msgActivate);
    EXPECT_EQ(msgs[0].a, 0);
    EXPECT_EQ(msgs[1].type, vp::e_msgActivate);
    EXPECT_EQ(msgs[1].a, 1);
    EXPECT_EQ(msgs[2].type, vp::e_msgClose);
    EXPECT_EQ(msgs[3].type, vp::e_msgEndSession);
    // The posted quit only after everything queued before it, and only once.
    EXPECT_EQ(msgs[4].type, vp::e_msgQuit);
    EXPECT_EQ(msgs[4].a, 7);
}

// Re-creating the window drains the queue: a request to end the game (the
// window's close, the end of the session, a quit signal, a posted quit)
// survives it, queued or still in SDL's queue; everything else goes.
TEST_F(WindowSystemTest, DrainKeepsTheRequestsToEndTheGameButDropsTheRest)
{
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    ws.PostQuit(3);
    ws.DrainMessages();
    std::vector<vp::cMessage> msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].type, vp::e_msgClose);
    EXPECT_EQ(msgs[1].type, vp::e_msgQuit);
    EXPECT_EQ(msgs[1].a, 3);

    // The end of the session already translated, the close still in SDL's
    // queue.
    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    ws.Translate(quit);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    ws.DrainMessages();
    msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].type, vp::e_msgEndSession);
    EXPECT_EQ(msgs[1].type, vp::e_msgClose);
    // And the end of the session still in SDL's queue.
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    ws.DrainMessages();
    msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].type, vp::e_msgEndSession);

    // A signal that came before the drain is handed out after it, once.
    ASSERT_EQ(raise(SIGTERM), 0);
    ws.DrainMessages();
    msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].type, vp::e_msgEndSession);
    EXPECT_TRUE(TakeAll().empty());
}

TEST_F(WindowSystemTest, SizeMessagesCarryTheClientSizeAndSkipRepeats)
{
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 1024, 768);
    const std::vector<vp::cMessage> msgs = TakeAll();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].type, vp::e_msgSize);
    EXPECT_EQ(msgs[0].a, 1);
    EXPECT_EQ(msgs[1].type, vp::e_msgSize);
    EXPECT_EQ(msgs[1].a, 0);
    EXPECT_EQ(msgs[1].b, 1024);
    EXPECT_EQ(msgs[1].c, 768);
}

TEST_F(WindowSystemTest, TypedTextArrivesAsWindows1251Bytes)
{
    PushText("\xD1\x91");          // cyrillic small io
    PushText("\xE2\x82\xAC");      // euro sign
    PushText("\xF0\x9F\x8C\xB4");  // a palm tree: no byte for it
    PushText("ab");
    EXPECT_EQ(Chars(TakeAll()), (std::vector<int>{184, 136, 'a', 'b'}));
}

TEST_F(WindowSystemTest, EditingKeysTypeControlCharactersWithRepeat)
{
    PushKey(true, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
    PushKey(true, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, true);
    PushKey(false, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
    PushKey(true, SDL_SCANCODE_TAB, SDLK_TAB);
    PushKey(true, SDL_SCANCODE_RETURN, SDLK_RETURN);
    PushKey(true, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER);
    PushKey(true, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    PushKey(true, SDL_SCANCODE_A, SDLK_a);
    const std::vector<vp::cMessage> msgs = TakeAll();
    EXPECT_EQ(Chars(msgs), (std::vector<int>{8, 8, 9, 13, 13, 27}));
    // Every key event also went to the input sink, repeats marked.
    ASSERT_EQ(sink.inputs.size(), 8u);
    EXPECT_EQ(sink.inputs[0].index, SDL_SCANCODE_BACKSPACE);
    EXPECT_TRUE(sink.inputs[1].repeat);
    EXPECT_EQ(sink.inputs[2].value, 0);
}

TEST_F(WindowSystemTest, TimerFiresOncePerPeriodAndMergesMissedOnes)
{
    vp::cMessage m;
    ws.SetTimer(500);
    clock.AdvanceSeconds(0.499);
    EXPECT_FALSE(ws.PeekMessage(m));
    clock.AdvanceSeconds(0.002);
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_EQ(m.type, vp::e_msgTimer);
    EXPECT_FALSE(ws.PeekMessage(m));

    // 1.2 s later: one message, not two.
    clock.AdvanceSeconds(1.2);
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_EQ(m.type, vp::e_msgTimer);
    EXPECT_FALSE(ws.PeekMessage(m));

    // A waiting message goes first.
    clock.AdvanceSeconds(0.5);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_EQ(m.type, vp::e_msgClose);
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_EQ(m.type, vp::e_msgTimer);

    ws.KillTimer();
    clock.AdvanceSeconds(5.0);
    EXPECT_FALSE(ws.PeekMessage(m));
}

TEST(WindowSystemWait, WaitReturnsAtTheTimerDeadline)
{
    vp::cWindowSystem ws;
    ASSERT_TRUE(ws.Init());
    ws.DrainMessages();
    ws.SetTimer(60);
    const auto start = std::chrono::steady_clock::now();
    vp::cMessage m;
    while (!ws.PeekMessage(m) || m.type != vp::e_msgTimer) ws.WaitMessage();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 55);
    EXPECT_LT(ms, vektest::Scaled(2.0) * 1000);
}

TEST_F(WindowSystemTest, InputStopsWithoutFocusAndComesBackWithIt)
{
    PushMotion(3, 4);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushMotion(5, 5);
    PushKey(true, SDL_SCANCODE_A, SDLK_a);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushMotion(-1, 2);
    const std::vector<vp::cMessage> msgs = TakeAll();
    // Delivered input counts as a message of its own (one turn of the loop).
    int inputTurns = 0;
    for (const vp::cMessage& m : msgs) inputTurns += m.type == vp::e_msgNone;
    EXPECT_EQ(inputTurns, 2);
    ASSERT_EQ(sink.inputs.size(), 2u);
    EXPECT_EQ(sink.inputs[0].value, 3);
    EXPECT_EQ(sink.inputs[1].value, -1);
    EXPECT_EQ(sink.inputs[1].value2, 2);
}

TEST_F(WindowSystemTest, WheelCountsOneHundredTwentyPerNotch)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = WindowId();
    e.wheel.y = 1;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    e.wheel.y = -2;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    TakeAll();
    ASSERT_EQ(sink.inputs.size(), 2u);
    EXPECT_EQ(sink.inputs[0].kind, vp::cRawInput::e_rawWheel);
    EXPECT_EQ(sink.inputs[0].value, 120);
    EXPECT_EQ(sink.inputs[1].value, 240);
}

TEST(Letterbox, PictureIsCentredWithItsAspectKept)
{
    const vp::cPixelRect wide = vp::FitAspect(1024, 768, 1920, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    EXPECT_EQ(wide.w, 1440);
    EXPECT_EQ(wide.h, 1080);
    const vp::cPixelRect tall = vp::FitAspect(1024, 768, 1280, 1024);
    EXPECT_EQ(tall.x, 0);
    EXPECT_EQ(tall.y, 32);
    EXPECT_EQ(tall.w, 1280);
    EXPECT_EQ(tall.h, 960);
    const vp::cPixelRect same = vp::FitAspect(1024, 768, 1024, 768);
    EXPECT_EQ(same.w, 1024);
    EXPECT_EQ(same.h, 768);
    EXPECT_EQ(vp::FitAspect(0, 768, 1024, 768).w, 0);
    EXPECT_EQ(vp::FitAspect(1024, 768, 1024, 0).w, 0);
}

TEST(Letterbox, MousePositionsMapBackToClientPixels)
{
    const vp::cPixelRect placed = vp::FitAspect(1024, 768, 1920, 1080);
    int x = -1, y = -1;
    ASSERT_TRUE(vp::MapToPicture(placed, 1024, 768, 240, 0, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_TRUE(vp::MapToPicture(placed, 1024, 768, 1679, 1079, x, y));
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 767);
    ASSERT_TRUE(vp::MapToPicture(placed, 1024, 768, 960, 540, x, y));
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 384);
    // On the bars: the nearest edge of the picture.
    ASSERT_TRUE(vp::MapToPicture(placed, 1024, 768, 10, 500, x, y));
    EXPECT_EQ(x, 0);
    ASSERT_TRUE(vp::MapToPicture(placed, 1024, 768, 1910, -20, x, y));
    EXPECT_EQ(x, 1023);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(vp::MapToPicture(vp::cPixelRect(), 1024, 768, 5, 5, x, y));
}

TEST(GammaRamp, StartsAsIdentityAndNeedsAWindowToChange)
{
    uint16_t r[256], g[256], b[256];
    ASSERT_TRUE(vp::GetGammaRamp(r, g, b));
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(r[i], i * 256);
        ASSERT_EQ(b[i], i * 256);
    }
    EXPECT_TRUE(vp::IsGammaRampIdentity());

    uint16_t dark[256];
    for (int i = 0; i < 256; ++i) dark[i] = static_cast<uint16_t>(i * 128);
    EXPECT_FALSE(vp::SetGammaRamp(dark, dark, dark));

    vp::cWindowSystem ws;
    ASSERT_TRUE(ws.Init());
    vp::cWindowDesc d;
    d.opengl = false;
    ASSERT_TRUE(ws.CreateWindow(d));
    const uint32_t serial = vp::GammaRampSerial();
    ASSERT_TRUE(vp::SetGammaRamp(dark, dark, dark));
    EXPECT_NE(vp::GammaRampSerial(), serial);
    EXPECT_FALSE(vp::IsGammaRampIdentity());
    ASSERT_TRUE(vp::GetGammaRamp(r, g, b));
    EXPECT_EQ(g[200], 200 * 128);
    ws.DestroyWindow();
    EXPECT_FALSE(vp::SetGammaRamp(r, g, b));
}

// After a lost display the watchdog leaves a slow teardown that still
// finishes steps alone, however long it takes in all, and ends one that
// stops finishing them (exit code 1). Each runs in a child process, which
// the watchdog may end.
TEST(TeardownWatchdog, WaitsWhileStepsAreFinishedAndEndsAHang)
{
    auto run = [](bool hang) {
        const pid_t pid = fork();
        if (pid == 0) {
            vp::StartTeardownWatchdog(2);
            // Three grace periods of steady steps.
            for (int i = 0; i < 120; ++i) {
                vp::NoteTeardownStep();
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (hang) std::this_thread::sleep_for(std::chrono::seconds(120));
            _exit(0);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run(false), 0) << "a teardown that goes on is not ended";
    EXPECT_EQ(run(true), 1) << "a teardown that stops is ended";
}

}  // namespace
