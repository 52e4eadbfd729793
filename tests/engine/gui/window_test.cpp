// The window and its default window function: hover, focus, hint timer,
// character and click routing, control ownership and moving.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "gui_test_helpers.h"

using namespace vek;
using namespace guitest;

namespace {

struct WindowFixture : ::testing::Test {
    void SetUp() override
    {
        gui = MakeGUI();
        window = MakeWindow(*gui, "w", &log, true, false, &function);
        gui->ShowWindow("w");
        log.clear();
    }
    // Moves the mouse to a GUI point through the whole dispatch.
    bool MoveTo(int gx, int gy) { return gui->OnMouseMove(gx, 768 - gy); }
    bool Press(int gx, int gy) { return gui->OnMouseButton(false, 0, gx, 768 - gy); }
    bool Release(int gx, int gy) { return gui->OnMouseButton(true, 0, gx, 768 - gy); }

    cLog log;
    std::unique_ptr<cGUI> gui;
    cWindow* window = nullptr;
    cRecordingWF* function = nullptr;
};

TEST_F(WindowFixture, AnEmptyWindowHoversNothingAndConsumesNothing)
{
    EXPECT_EQ(window->GetControlCount(), 1u);
    EXPECT_STREQ(window->GetControl(0)->GetName().c_str(), "unnamed");
    EXPECT_FALSE(MoveTo(10, 10));
    EXPECT_FALSE(Press(10, 10));
    EXPECT_FALSE(Release(10, 10));
    EXPECT_FALSE(gui->OnChar('a'));
    EXPECT_EQ(window->GetHoveredControl(), nullptr);
    EXPECT_EQ(window->GetActiveControl(), nullptr);
}

TEST_F(WindowFixture, TheLaterOfTwoOverlappingControlsWinsTheHover)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    auto* b = new cProbeCtrl("b", window, 50, 50, 100, 100);
    EXPECT_TRUE(MoveTo(20, 20));  // the probe handles the move: consumed
    EXPECT_EQ(window->GetHoveredControl(), a);
    log.clear();
    MoveTo(70, 70);
    EXPECT_EQ(window->GetHoveredControl(), b);
    EXPECT_EQ(a->received, (std::vector<int>{32, 5, 33}));
    EXPECT_EQ(b->received, (std::vector<int>{32, 5}));
    // The controls pass enter and leave on to the window with their ids.
    EXPECT_EQ(Only(log, {32, 33}), (cLog{{window->GetID(), 33, 0, 1}, {window->GetID(), 32, 0, 2}}));
    EXPECT_EQ(window->FindControl("b"), 2);
    EXPECT_EQ(window->FindControl("B"), 0);
}

TEST_F(WindowFixture, InvisibleIgnorableAndEdgePointsAreNotHovered)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    a->DisableState(cCtrl::e_Visibility);
    MoveTo(50, 50);
    EXPECT_EQ(window->GetHoveredControl(), nullptr);
    a->EnableState(cCtrl::e_Visibility | cCtrl::e_Ignorable);
    MoveTo(51, 51);
    EXPECT_EQ(window->GetHoveredControl(), nullptr);
    EXPECT_EQ(window->SendToControl(a, 1000, 0, 0), 1);
    a->DisableState(cCtrl::e_Ignorable);
    MoveTo(100, 50);  // on the right edge
    EXPECT_EQ(window->GetHoveredControl(), nullptr);
    EXPECT_TRUE(a->received.empty());
}

TEST_F(WindowFixture, HintFollowsHalfASecondOfRest)
{
    function->bRecordNoisy = false;
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    auto* b = new cProbeCtrl("b", window, 200, 0, 100, 100);
    auto timer = [&]() { gui->SendMessage(window->GetID(), cGUI::e_wndTimer, 33, 0); };

    MoveTo(10, 10);
    for (int i = 1; i <= 15; ++i) timer();
    EXPECT_TRUE(Only(log, {cGUI::e_wndHint}).empty());
    timer();
    EXPECT_EQ(Only(log, {cGUI::e_wndHint}),
              (cLog{{window->GetID(), cGUI::e_wndHint, 0, static_cast<unsigned>(a->GetID())}}));
    for (int i = 0; i < 40; ++i) timer();
    EXPECT_EQ(Only(log, {cGUI::e_wndHint}).size(), 1u);  // once per rest

    // Moving to another control starts over; empty space stops the timer.
    log.clear();
    MoveTo(210, 10);
    for (int i = 0; i < 10; ++i) timer();
    MoveTo(500, 500);
    for (int i = 0; i < 40; ++i) timer();
    EXPECT_TRUE(Only(log, {cGUI::e_wndHint}).empty());
    EXPECT_EQ(window->GetHintTimer(), -1.0f);
    (void)b;
}

TEST_F(WindowFixture, ClickFocusesEnabledControlsOnly)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    a->EnableState(cCtrl::e_Disabled);
    MoveTo(10, 10);
    EXPECT_FALSE(Press(10, 10));
    EXPECT_EQ(window->GetActiveControl(), nullptr);

    a->DisableState(cCtrl::e_Disabled);
    a->received.clear();
    EXPECT_TRUE(Press(10, 10));
    EXPECT_EQ(window->GetActiveControl(), a);
    EXPECT_FALSE(Release(10, 10));  // a release never stops the dispatch
    EXPECT_EQ(a->received, (std::vector<int>{6, 34, 7}));

    // Focusing the focused control again sends nothing.
    a->received.clear();
    window->SetActiveControl(a);
    EXPECT_TRUE(a->received.empty());
    window->SetActiveControl(nullptr);
    EXPECT_EQ(a->received, (std::vector<int>{35}));
}

TEST_F(WindowFixture, ReleaseReachesHoveredAndFocusedControls)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    auto* b = new cProbeCtrl("b", window, 200, 0, 100, 100);
    MoveTo(10, 10);
    Press(10, 10);
    MoveTo(210, 10);
    a->received.clear();
    b->received.clear();
    Release(210, 10);
    EXPECT_EQ(b->received, (std::vector<int>{7}));
    EXPECT_EQ(a->received, (std::vector<int>{7}));
}

TEST_F(WindowFixture, CharactersGoToTheFocusedControlOnly)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    EXPECT_FALSE(gui->OnChar('x'));
    EXPECT_TRUE(a->received.empty());
    window->SetActiveControl(a);
    a->received.clear();
    // The base control declines characters.
    EXPECT_FALSE(gui->OnChar('x'));
    EXPECT_EQ(a->received, (std::vector<int>{4}));
}

TEST_F(WindowFixture, ResetFocusDropsFocusAndHover)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    MoveTo(10, 10);
    Press(10, 10);
    a->received.clear();
    gui->SendMessage(window->GetID(), cGUI::e_wndResetFocus, 0, 0);
    EXPECT_EQ(a->received, (std::vector<int>{35, 33}));
    EXPECT_EQ(window->GetActiveControl(), nullptr);
    EXPECT_EQ(window->GetHoveredControl(), nullptr);
    // Update hover finds it again at the last known cursor position.
    gui->SendMessage(window->GetID(), cGUI::e_wndUpdateHover, 0, 0);
    EXPECT_EQ(window->GetHoveredControl(), a);
}

TEST_F(WindowFixture, SetPosMovesControlsByTheDifference)
{
    auto* a = new cProbeCtrl("a", window, 5, 5, 10, 10);
    window->SetPos(10, 0);
    window->SetPos(10, 0);
    EXPECT_EQ(a->GetRect().x, 15.0f);
    window->SetPos(0, 20);
    EXPECT_EQ(a->GetRect().x, 5.0f);
    EXPECT_EQ(a->GetRect().y, 25.0f);
}

TEST_F(WindowFixture, ControlsHaveExactlyOneOwner)
{
    cWindow* other = MakeWindow(*gui, "other", nullptr);
    auto* a = new cProbeCtrl("a", window, 0, 0, 1, 1);
    EXPECT_EQ(window->AddControl(nullptr), 0);
    EXPECT_EQ(window->AddControl(a), a->GetID());
    EXPECT_EQ(other->AddControl(a), 0);
    EXPECT_EQ(window->GetControlCount(), 2u);
    EXPECT_EQ(other->GetControlCount(), 1u);
    EXPECT_EQ(window->GetControl(2), nullptr);

    // A control made without a parent joins the window it is added to.
    auto* loose = new cProbeCtrl("loose", nullptr, 0, 0, 1, 1);
    EXPECT_EQ(loose->GetID(), 0);
    EXPECT_EQ(other->AddControl(loose), 1);
    EXPECT_EQ(loose->GetID(), 1);
    EXPECT_EQ(loose->GetParent(), other);
}

TEST_F(WindowFixture, AControlDeletedByItsOwnCodeLeavesNoDanglingPointer)
{
    auto* a = new cProbeCtrl("a", window, 0, 0, 100, 100);
    MoveTo(10, 10);
    Press(10, 10);
    delete a;
    EXPECT_EQ(window->GetActiveControl(), nullptr);
    EXPECT_EQ(window->GetHoveredControl(), nullptr);
    EXPECT_EQ(window->GetControl(1), nullptr);
    MoveTo(20, 20);
    gui->OnChar('x');
    gui->SendMessage(window->GetID(), cGUI::e_wndTimer, 33, 0);
    gui->SendMessage(window->GetID(), cGUI::e_wndPaint, 0, 0);
    window->SetPos(5, 5);
}

} // namespace
