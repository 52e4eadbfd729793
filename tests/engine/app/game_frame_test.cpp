// Focus between widgets, the pause counter, the fixed logic step and the
// routing of input events to the focused widget.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "engine/core/script.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "support/time_scale.h"

namespace {

class cProbe : public vek::cWidget {
public:
    explicit cProbe(const char* name) : vek::cWidget(name) {}
    void Tick() override { ++ticks; }
    void Update(float elapsed) override
    {
        ++updates;
        lastElapsed = elapsed;
    }
    void OnActivate() override { calls += "A"; }
    void OnDeactivate() override { calls += "D"; }
    void OnInput(int kind, int code) override { inputs.push_back({kind, code}); }

    int ticks = 0;
    int updates = 0;
    float lastElapsed = -1.0f;
    std::string calls;
    std::vector<std::pair<int, int>> inputs;
};

class FrameTest : public vektest::EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        first = new cProbe("first");
        second = new cProbe("second");
    }

    void PushKey(bool down, SDL_Scancode sc)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    void PushMouse(Uint32 type, int a = 0, int b = 0)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.xrel = a;
            e.motion.yrel = b;
        } else {
            e.button.button = static_cast<Uint8>(a);
        }
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }

    // The owner (the engine) deletes both widgets.
    cProbe* first = nullptr;
    cProbe* second = nullptr;
};

TEST_F(FrameTest, FocusMovesByNameAndClearsThePause)
{
    m_pGame->SetFocusWidget("first");
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "first");
    EXPECT_EQ(first->calls, "A");

    m_pGame->PauseWidget(true);
    m_pGame->PauseWidget(true);
    m_pGame->SetFocusWidget("first");  // already focused: nothing changes
    EXPECT_EQ(first->calls, "A");
    EXPECT_EQ(m_pGame->iPause, 2);
    EXPECT_EQ(LogLinesWith("Widget with name 'first' is focused already."), 1);

    m_pGame->SetFocusWidget("second");
    EXPECT_EQ(first->calls, "AD");
    EXPECT_EQ(second->calls, "A");
    EXPECT_EQ(m_pGame->iPause, 0);

    // Names are compared exactly; a miss leaves no widget focused.
    m_pGame->SetFocusWidget("First");
    EXPECT_EQ(second->calls, "AD");
    EXPECT_EQ(m_pGame->pFocusWidget, nullptr);
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "");
    EXPECT_EQ(LogLinesWith("Widget with name 'First' not found."), 1);
    m_pGame->UpdateFrame();  // a frame without a widget is harmless
}

TEST_F(FrameTest, PauseWidgetReturnsItsStepAndNeverGoesBelowZero)
{
    // Unpausing at 0 leaves 0 but still answers -1.
    EXPECT_EQ(m_pGame->PauseWidget(false), -1);
    EXPECT_EQ(m_pGame->iPause, 0);
    EXPECT_EQ(m_pGame->PauseWidget(true), 1);
    EXPECT_EQ(m_pGame->PauseWidget(true), 1);
    EXPECT_EQ(m_pGame->PauseWidget(false), -1);
    EXPECT_EQ(m_pGame->iPause, 1) << "two pauses need two resumes";
    EXPECT_EQ(m_pGame->PauseWidget(false), -1);
    EXPECT_EQ(m_pGame->iPause, 0);

    // Scripts get the same answers.
    ASSERT_NE(vek::GetScript(), nullptr);
    EXPECT_TRUE(vek::GetScript()->DoString(
        "assert(theEngine:PauseWidget(false) == -1)\n"
        "assert(theEngine:PauseWidget(true) == 1)\n"
        "assert(theEngine:PauseWidget(false) == -1)\n"));
    EXPECT_EQ(m_pGame->iPause, 0);
}

TEST_F(FrameTest, FixedStepRunsOncePerFrameAtMostAndPauseStopsTheWidget)
{
    m_pGame->SetFocusWidget("first");
    m_pGame->fFrameTime = 0.1f;
    for (int i = 0; i < 3; ++i) m_pGame->UpdateFrame();
    EXPECT_EQ(first->ticks, 3);
    EXPECT_EQ(first->updates, 3);
    EXPECT_FLOAT_EQ(first->lastElapsed, 0.1f);

    m_pGame->PauseWidget(true);
    PushKey(true, SDL_SCANCODE_SPACE);
    Pump();
    m_pGame->UpdateFrame();
    m_pGame->OnChar('x');
    EXPECT_EQ(first->ticks, 3);
    EXPECT_EQ(first->updates, 3);
    EXPECT_TRUE(first->inputs.empty());

    m_pGame->PauseWidget(false);
    m_pGame->OnChar('x');
    ASSERT_EQ(first->inputs.size(), 1u);
    EXPECT_EQ(first->inputs[0], std::make_pair(3, int('x')));
}

TEST_F(FrameTest, KeysAndMouseReachTheWidgetWithTheConsoleKeyDropped)
{
    m_pGame->SetFocusWidget("first");
    PushKey(true, SDL_SCANCODE_ESCAPE);
    PushKey(true, SDL_SCANCODE_GRAVE);
    PushKey(true, SDL_SCANCODE_PRINTSCREEN);
    PushKey(false, SDL_SCANCODE_ESCAPE);
    PushMouse(SDL_MOUSEMOTION, -3, 2);
    PushMouse(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT);
    PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT);
    Pump();
    m_pGame->UpdateFrame();

    // Escape typed its character through the window procedure first; then
    // the frame's events: mice, then keyboards, motion as two events of
    // 16-bit halves.
    const std::vector<std::pair<int, int>> expected = {
        {3, 27}, {6, 0xFFFD}, {6, 2 << 16}, {4, 0}, {5, 0}, {5, 1}, {1, 1}, {2, 1},
    };
    EXPECT_EQ(first->inputs, expected);
}

TEST_F(FrameTest, TypedCharactersComeThroughTheWindowProcedure)
{
    m_pGame->SetFocusWidget("second");
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_TEXTINPUT;
    std::strcpy(e.text.text, "\xD1\x91!");
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    PushKey(true, SDL_SCANCODE_BACKSPACE);
    Pump();
    ASSERT_GE(second->inputs.size(), 2u);
    EXPECT_EQ(second->inputs[0], std::make_pair(3, 184));
    EXPECT_EQ(second->inputs[1], std::make_pair(3, int('!')));
}

TEST_F(FrameTest, InputGatheredWhileInactiveNeverReachesTheGame)
{
    m_pGame->SetFocusWidget("first");
    PushKey(true, SDL_SCANCODE_A);
    Pump();
    // What the loop does after waiting while inactive.
    vek::g_pInput->Update(nullptr);
    m_pGame->UpdateFrame();
    EXPECT_TRUE(first->inputs.empty());
}

TEST_F(FrameTest, ADeletedWidgetLeavesNoDanglingFocus)
{
    m_pGame->SetFocusWidget("second");
    delete second;
    second = nullptr;
    EXPECT_EQ(m_pGame->pFocusWidget, nullptr);
    m_pGame->SetFocusWidget("first");
    EXPECT_EQ(m_pGame->GetFocusWidgetName(), "first");
    m_pGame->UpdateFrame();
}

// A window function that records the messages it sees and takes none.
class cRecordingFunction : public vek::cWindowFunction {
public:
    explicit cRecordingFunction(std::vector<std::pair<int, unsigned>>* seen) : m_pSeen(seen) {}
    int Call(vek::cWindow*, int message, unsigned, unsigned b) override
    {
        m_pSeen->push_back({message, b});
        return 0;
    }

private:
    std::vector<std::pair<int, unsigned>>* m_pSeen;
};

TEST_F(FrameTest, AModalWindowKeepsButtonReleasesFromTheWidget)
{
    // A GUI of our own when the engine has none.
    vek::cGUI* own = m_pGame->pGUI ? nullptr : new vek::cGUI(1024.0f, 768.0f);
    if (own) m_pGame->pGUI = own;
    vek::cGUI* gui = m_pGame->pGUI;
    gui->SetViewport(0, 0, 1024, 768);
    // The window outlives this test inside the engine's GUI, which still
    // calls its function at teardown: the record must live as long.
    static std::vector<std::pair<int, unsigned>> seen;
    seen.clear();
    vek::cWindow* box = new vek::cWindow(new cRecordingFunction(&seen), gui);
    box->SetName("box");
    box->SetActive(true);
    box->SetModal(true);
    ASSERT_EQ(gui->ShowWindow("box"), 0);
    seen.clear();

    // No widget focused: the release still reaches the shown windows, with
    // the cursor converted to the GUI's space (y up).
    PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    Pump();
    m_pGame->UpdateFrame();
    int x = 0, y = 0;
    vek::platform::WindowSystem().GetCursorClientPos(x, y);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, vek::cGUI::e_wndLButtonUp);
    EXPECT_EQ(seen[0].second, vek::PackGUIPoint(x, 768 - y));

    m_pGame->SetFocusWidget("first");
    PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT);
    PushMouse(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE);
    Pump();
    m_pGame->UpdateFrame();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].first, 0);  // a button without a message of its own
    EXPECT_TRUE(first->inputs.empty());

    if (own) {
        m_pGame->pGUI = nullptr;
        delete own;
    }
}

TEST(FixedStep, SlowFramesTickOnceAndDropWholeMissedSteps)
{
    float acc = 0.0f;
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(vek::AdvanceFixedStep(acc, 0.05f));
        EXPECT_LT(acc, vek::kFixedStep);
    }
    acc = 0.0f;
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(vek::AdvanceFixedStep(acc, 0.1f));
        EXPECT_LT(acc, vek::kFixedStep);
    }
}

TEST(FixedStep, FastFramesTickEveryThirdOrFourthFrame)
{
    float acc = 0.0f;
    int last = -1;
    for (int frame = 0; frame < 300; ++frame) {
        if (!vek::AdvanceFixedStep(acc, 0.01f)) continue;
        if (last >= 0) {
            EXPECT_GE(frame - last, 3);
            EXPECT_LE(frame - last, 4);
        }
        last = frame;
    }
    EXPECT_GE(last, 290);
}

TEST(FixedStep, AHugePauseEndsQuicklyWithOneStep)
{
    // Quick in work done (CPU time, which a loaded machine does not
    // stretch): no step by step walk through the pause.
    float acc = 0.0f;
    const double cpuStart = vektest::ProcessCpuSeconds();
    EXPECT_TRUE(vek::AdvanceFixedStep(acc, 3.0e9f));
    EXPECT_LT(acc, vek::kFixedStep);
    EXPECT_GE(acc, 0.0f);
    EXPECT_TRUE(vek::AdvanceFixedStep(acc, 1.0e5f));
    EXPECT_LT(acc, vek::kFixedStep);
    EXPECT_LT(vektest::ProcessCpuSeconds() - cpuStart, 1.0);

    acc = 0.0f;
    EXPECT_FALSE(vek::AdvanceFixedStep(acc, std::numeric_limits<float>::infinity()));
    EXPECT_EQ(acc, 0.0f);
    EXPECT_FALSE(vek::AdvanceFixedStep(acc, std::nanf("")));
    EXPECT_EQ(acc, 0.0f);
    EXPECT_TRUE(vek::AdvanceFixedStep(acc, 0.04f));
}

}  // namespace
