// The window manager: the shown-window stack and its messages, input dispatch
// over the stack, immediate and posted delivery, timers, blink, coordinates
// and teardown.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "gui_test_helpers.h"
#include "support/temp_dir.h"

using namespace vek;
using namespace guitest;

namespace {

// The tests' message log, not the engine's log root.
using guitest::cLog;

constexpr float kStep = 1.0f / 30.0f;

TEST(GuiShowHide, ShowSendsShowThenHoverAndCountsOnce)
{
    cLog log;
    auto gui = MakeGUI();
    cWindow* a = MakeWindow(*gui, "a", &log);
    log.clear();

    EXPECT_EQ(gui->ShowWindow("a"), 0);
    EXPECT_EQ(gui->ShowWindow("a"), 0);
    const cLog shown = Only(log, {cGUI::e_wndShow, cGUI::e_wndUpdateHover});
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].iMessage, cGUI::e_wndShow);
    EXPECT_EQ(shown[1].iMessage, cGUI::e_wndUpdateHover);
    EXPECT_EQ(shown[2].iMessage, cGUI::e_wndShow);
    EXPECT_EQ(shown[3].iMessage, cGUI::e_wndUpdateHover);
    EXPECT_EQ(gui->GetShownWindows().size(), 1u);
    EXPECT_EQ(gui->GetActiveCount(), 1);
    EXPECT_TRUE(gui->IsWindowShown("a"));
    EXPECT_TRUE(gui->IsWindowShown(a->GetID()));

    log.clear();
    EXPECT_EQ(gui->HideWindow("a"), 0);
    EXPECT_EQ(Only(log, {cGUI::e_wndHide, cGUI::e_wndResetFocus, cGUI::e_wndHideImmediately}),
              (cLog{{a->GetID(), cGUI::e_wndHide, 0, 0},
                    {a->GetID(), cGUI::e_wndResetFocus, 0, 0},
                    {a->GetID(), cGUI::e_wndHideImmediately, 0, 0}}));
    EXPECT_FALSE(gui->IsWindowShown("a"));
    EXPECT_EQ(gui->GetActiveCount(), 0);

    log.clear();
    EXPECT_EQ(gui->HideWindowImmediately(a->GetID()), 1);
    EXPECT_TRUE(log.empty());
}

TEST(GuiShowHide, UnknownNamesAndTheDefaultWindowFail)
{
    auto gui = MakeGUI();
    EXPECT_EQ(gui->ShowWindow("nope"), 1);
    EXPECT_EQ(gui->ShowWindow(""), 1);  // the default window's empty name
    EXPECT_EQ(gui->HideWindow("nope"), 1);
    EXPECT_FALSE(gui->IsWindowShown("nope"));
    EXPECT_TRUE(gui->GetShownWindows().empty());
    EXPECT_EQ(gui->FindWindow("nope"), 0);
    EXPECT_EQ(gui->GetWindow("nope"), gui->GetWindow(0u));
}

TEST(GuiShowHide, ModalShowTakesFocusFromWindowsBelowDownToTheNextModal)
{
    cLog log;
    auto gui = MakeGUI();
    cWindow* a = MakeWindow(*gui, "a", &log);
    cWindow* b = MakeWindow(*gui, "b", &log);
    cWindow* m = MakeWindow(*gui, "m", &log, true, true);
    cWindow* n = MakeWindow(*gui, "n", &log, true, true);
    gui->ShowWindow("a");
    gui->ShowWindow("b");
    log.clear();

    gui->ShowWindow("m");
    const std::initializer_list<int> kinds = {cGUI::e_wndResetFocus, cGUI::e_wndShow,
                                              cGUI::e_wndUpdateHover};
    EXPECT_EQ(Only(log, kinds), (cLog{{b->GetID(), 16, 0, 0},
                                      {a->GetID(), 16, 0, 0},
                                      {m->GetID(), 10, 0, 0},
                                      {m->GetID(), 15, 0, 0}}));
    log.clear();
    gui->ShowWindow("n");
    EXPECT_EQ(Only(log, kinds), (cLog{{m->GetID(), 16, 0, 0},
                                      {n->GetID(), 10, 0, 0},
                                      {n->GetID(), 15, 0, 0}}));
}

TEST(GuiShowHide, HidingTheTopModalRefreshesHoverDownToTheNextModal)
{
    cLog log;
    auto gui = MakeGUI();
    cWindow* a = MakeWindow(*gui, "a", &log);
    cWindow* m1 = MakeWindow(*gui, "m1", &log, true, true);
    cWindow* b = MakeWindow(*gui, "b", &log);
    cWindow* m2 = MakeWindow(*gui, "m2", &log, true, true);
    for (const char* name : {"a", "m1", "b", "m2"}) gui->ShowWindow(name);
    log.clear();

    EXPECT_EQ(gui->HideWindowImmediately(m2->GetID()), 0);
    EXPECT_EQ(Only(log, {cGUI::e_wndResetFocus, cGUI::e_wndUpdateHover,
                         cGUI::e_wndHideImmediately}),
              (cLog{{m2->GetID(), 16, 0, 0},
                    {b->GetID(), 15, 0, 0},
                    {m1->GetID(), 15, 0, 0},
                    {m2->GetID(), 14, 0, 0}}));
    (void)a;

    // A modal window with another modal one above it uncovers nothing.
    gui->ShowWindow("m2");
    log.clear();
    gui->HideWindowImmediately(m1->GetID());
    EXPECT_TRUE(Only(log, {cGUI::e_wndUpdateHover}).empty());
    EXPECT_EQ(gui->GetShownWindows(), (std::vector<unsigned>{a->GetID(), b->GetID(), m2->GetID()}));
}

TEST(GuiShowHide, ActiveCountGivesBackWhatShowingTook)
{
    auto gui = MakeGUI();
    cWindow* a = MakeWindow(*gui, "a", nullptr, true);
    cWindow* b = MakeWindow(*gui, "b", nullptr, false);
    gui->ShowWindow("a");
    gui->ShowWindow("b");
    EXPECT_EQ(gui->GetActiveCount(), 1);
    // Turning b active while shown and hiding it must not uncount a.
    b->SetActive(true);
    gui->HideWindowImmediately(b->GetID());
    EXPECT_EQ(gui->GetActiveCount(), 1);
    a->SetActive(false);
    gui->HideWindowImmediately(a->GetID());
    EXPECT_EQ(gui->GetActiveCount(), 0);
}

TEST(GuiDispatch, NewestWindowFirstAndLeftoversGoToTheWidget)
{
    cLog log;
    auto gui = MakeGUI();
    cRecordingWF* fa = nullptr;
    cWindow* a = MakeWindow(*gui, "a", &log, true, false, &fa);
    cWindow* b = MakeWindow(*gui, "b", &log);
    cWindow* idle = MakeWindow(*gui, "idle", &log, false);
    gui->ShowWindow("a");
    gui->ShowWindow("b");
    gui->ShowWindow("idle");
    log.clear();

    // Nobody takes the key: it goes on to the widget.
    EXPECT_FALSE(gui->OnKeyDown(1));
    EXPECT_EQ(Only(log, {cGUI::e_wndKeyDown}),
              (cLog{{b->GetID(), 3, 1, 0}, {a->GetID(), 3, 1, 0}}));

    // The bottom window takes it, after the top one was asked.
    fa->bConsumeInput = true;
    log.clear();
    EXPECT_TRUE(gui->OnKeyUp(30));
    EXPECT_EQ(Only(log, {cGUI::e_wndKeyUp}),
              (cLog{{b->GetID(), 13, 30, 0}, {a->GetID(), 13, 30, 0}}));
    log.clear();
    EXPECT_TRUE(gui->OnChar('x'));
    EXPECT_EQ(Only(log, {cGUI::e_wndChar}).size(), 2u);
    (void)idle;
}

TEST(GuiDispatch, ModalWindowSwallowsEverythingEvenWhenInactive)
{
    cLog log;
    auto gui = MakeGUI();
    cWindow* below = MakeWindow(*gui, "below", &log);
    MakeWindow(*gui, "modal", &log, false, true);
    gui->ShowWindow("below");
    gui->ShowWindow("modal");
    log.clear();

    EXPECT_TRUE(gui->OnKeyDown(1));
    EXPECT_TRUE(gui->OnChar('a'));
    EXPECT_TRUE(gui->OnMouseMove(10, 10));
    EXPECT_TRUE(gui->OnMouseButton(false, 0, 10, 10));
    EXPECT_TRUE(gui->OnMouseButton(true, 0, 10, 10));
    EXPECT_TRUE(gui->OnMouseButton(true, 1, 10, 10));
    // The inactive modal window is not called, and nothing passes below it.
    for (const cRecord& r : log) EXPECT_NE(r.uWindow, below->GetID()) << r.iMessage;
    EXPECT_TRUE(Only(log, {3, 4, 5, 6, 7, 18}).empty());
}

TEST(GuiDispatch, MouseEventsCarryTheGuiPointAndButtonMessages)
{
    cLog log;
    auto gui = MakeGUI();
    cWindow* w = MakeWindow(*gui, "w", &log);
    gui->ShowWindow("w");
    log.clear();

    gui->OnMouseButton(false, 0, 0, 0);
    gui->OnMouseButton(false, 1, 1023, 767);
    gui->OnMouseButton(true, 0, 5, 6);
    gui->OnMouseButton(true, 1, 5, 6);
    gui->OnMouseButton(true, 2, 5, 6);  // neither left nor right
    const unsigned id = w->GetID();
    EXPECT_EQ(Only(log, {0, 6, 7, 17, 18}),
              (cLog{{id, 6, 0, PackGUIPoint(0, 768)},
                    {id, 17, 0, PackGUIPoint(1023, 1)},
                    {id, 7, 0, PackGUIPoint(5, 762)},
                    {id, 18, 0, PackGUIPoint(5, 762)},
                    {id, 0, 0, PackGUIPoint(5, 762)}}));
}

TEST(GuiDispatch, AWindowHidingItselfMidWalkLetsTheEventPassOn)
{
    cLog log;
    auto gui = MakeGUI();
    cRecordingWF* ftop = nullptr;
    cWindow* bottom = MakeWindow(*gui, "bottom", &log);
    MakeWindow(*gui, "top", &log, true, false, &ftop);
    ftop->hook = [&](cWindow* window, int message, unsigned, unsigned, int& result) {
        if (message != cGUI::e_wndKeyDown) return false;
        window->GetGUI()->HideWindowImmediately(window->GetID());
        result = 0;
        return true;
    };
    gui->ShowWindow("bottom");
    gui->ShowWindow("top");
    log.clear();
    EXPECT_FALSE(gui->OnKeyDown(2));
    EXPECT_EQ(Only(log, {cGUI::e_wndKeyDown}).back().uWindow, bottom->GetID());
    EXPECT_EQ(gui->GetShownWindows().size(), 1u);
}

TEST(GuiMessages, SendIsImmediatePostWaitsForTheNextStep)
{
    cLog log;
    auto gui = MakeGUI();
    cRecordingWF* f = nullptr;
    cWindow* w = MakeWindow(*gui, "w", &log, true, false, &f);
    // A message posted while delivering goes out in the same loop.
    f->hook = [&](cWindow* window, int message, unsigned a, unsigned, int& result) {
        if (message == 1000 && a == 1) window->GetGUI()->PostMessage(window->GetID(), 1000, 2, 0);
        result = 7;
        return message >= 1000;
    };
    log.clear();

    EXPECT_EQ(gui->SendMessage(w->GetID(), 1001, 5, 6), 7);
    EXPECT_EQ(log, (cLog{{w->GetID(), 1001, 5, 6}}));

    log.clear();
    EXPECT_EQ(gui->PostMessage(w->GetID(), 1000, 1, 0), 0);
    EXPECT_TRUE(log.empty());
    gui->Update(kStep);
    EXPECT_EQ(log, (cLog{{w->GetID(), 1000, 1, 0}, {w->GetID(), 1000, 2, 0}}));
    EXPECT_EQ(gui->GetQueuedCount(), 0u);  // w is not shown: no timer either
}

TEST(GuiMessages, TimersOfAStepArriveAtTheNextStep)
{
    cLog log;
    auto gui = MakeGUI();
    cRecordingWF* fa = nullptr;
    cRecordingWF* fb = nullptr;
    cWindow* a = MakeWindow(*gui, "a", &log, true, false, &fa);
    cWindow* b = MakeWindow(*gui, "b", &log, true, false, &fb);
    fa->bRecordNoisy = fb->bRecordNoisy = true;
    gui->ShowWindow("a");
    gui->ShowWindow("b");
    log.clear();

    gui->Update(kStep);
    EXPECT_TRUE(Only(log, {cGUI::e_wndTimer}).empty());
    gui->Update(kStep);
    EXPECT_EQ(Only(log, {cGUI::e_wndTimer}),
              (cLog{{b->GetID(), 2, 33, 0}, {a->GetID(), 2, 33, 0}}));
    EXPECT_FLOAT_EQ(gui->ParamToTime(33), 0.033f);
}

TEST(GuiMessages, OutOfRangeWindowIndicesAreDropped)
{
    cLog log;
    auto gui = MakeGUI();
    MakeWindow(*gui, "w", &log);
    log.clear();
    EXPECT_EQ(gui->GetWindow(2u), nullptr);
    EXPECT_EQ(gui->GetWindow(0xFFFFFFFFu), nullptr);
    EXPECT_EQ(gui->SendMessage(2, 1000, 0, 0), 0);
    EXPECT_EQ(gui->PostMessage(77, 1000, 0, 0), 0);
    EXPECT_EQ(gui->GetQueuedCount(), 0u);
    EXPECT_EQ(gui->HideWindowImmediately(12345), 1);
    gui->Update(kStep);
    EXPECT_TRUE(log.empty());
}

TEST(GuiMessages, BlinkTogglesOnTheSixteenthStep)
{
    auto gui = MakeGUI();
    for (int i = 1; i <= 15; ++i) {
        gui->Update(kStep);
        ASSERT_FALSE(gui->GetBlink()) << i;
    }
    gui->Update(kStep);
    EXPECT_TRUE(gui->GetBlink());
    for (int i = 0; i < 16; ++i) gui->Update(kStep);
    EXPECT_FALSE(gui->GetBlink());
}

TEST(GuiCoordinates, ClientPixelsToGuiSpace)
{
    auto gui = MakeGUI();
    int x = 0, y = 0;
    gui->ScreenToGUI(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 768);

    gui->SetViewport(0, 0, 512, 384);
    x = 256;
    y = 96;
    gui->ScreenToGUI(x, y);
    EXPECT_EQ(x, 512);
    EXPECT_EQ(y, 768 - 192);

    // A minimised client area (size 0) scales by 1 instead of dividing by 0.
    gui->SetViewport(0, 0, 0, 0);
    x = 3;
    y = 2;
    gui->ScreenToGUI(x, y);
    EXPECT_EQ(x, 3072);
    EXPECT_EQ(y, 768 - 1536);
}

TEST(GuiCoordinates, CursorFollowsTheMouseOnlyWhileAnActiveWindowIsShown)
{
    auto gui = MakeGUI();
    MakeWindow(*gui, "passive", nullptr, false);
    MakeWindow(*gui, "active", nullptr, true);
    gui->ShowWindow("passive");
    gui->OnMouseMove(100, 100);
    EXPECT_EQ(gui->GetCursor()->GetX(), 0.0f);
    gui->ShowWindow("active");
    gui->OnMouseMove(100, 100);
    EXPECT_EQ(gui->GetCursor()->GetX(), 100.0f);
    EXPECT_EQ(gui->GetCursor()->GetY(), 668.0f);
}

TEST(GuiLifecycle, CreateAndDestroyReachEveryWindowInIndexOrder)
{
    cLog log;
    unsigned firstIndex = 0;
    {
        auto gui = MakeGUI();
        cRecordingWF* f1 = nullptr;
        cWindow* w1 = MakeWindow(*gui, "one", &log, true, false, &f1);
        cWindow* w2 = MakeWindow(*gui, "two", &log);
        firstIndex = w1->GetID();
        EXPECT_EQ(w2->GetID(), firstIndex + 1);
        EXPECT_EQ(Only(log, {cGUI::e_wndCreate}),
                  (cLog{{firstIndex, 8, 0, 0}, {firstIndex + 1, 8, 0, 0}}));
        // Messages sent during teardown to a window already gone find nothing.
        f1->hook = [](cWindow* window, int message, unsigned, unsigned, int& result) {
            if (message == cGUI::e_wndDestroy) window->GetGUI()->SendMessage(0, 1000, 0, 0);
            result = 0;
            return false;
        };
        gui->ShowWindow("one");
        gui->PostMessage(w2->GetID(), 1000, 0, 0);
        log.clear();
    }
    EXPECT_EQ(log, (cLog{{firstIndex, 9, 0, 0}, {firstIndex + 1, 9, 0, 0}}));
}

// The text of the HTML log with its markup and entities turned back into
// plain text.
std::string PlainLogText(const std::string& html)
{
    static const std::pair<const char*, const char*> kEntities[] = {
        {"<br />", ""}, {"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"},
        {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"},
    };
    std::string text;
    for (size_t i = 0; i < html.size();) {
        bool replaced = false;
        for (const auto& [from, to] : kEntities) {
            if (html.compare(i, std::strlen(from), from) == 0) {
                text += to;
                i += std::strlen(from);
                replaced = true;
                break;
            }
        }
        if (!replaced)
            text += html[i++];
    }
    return text;
}

TEST(GuiLifecycle, DumpListsTheWindowsAndTakesNamesAsText)
{
    const std::string app = vektest::MakeTempDir("GuiDump");
    vek::SetPathMacro(vek::e_macroAppPath, app);
    {
        vek::cLog root(1024.0f, 768.0f);
        auto gui = MakeGUI();
        // Names come from scripts: a name full of format codes is printed as it is.
        cWindow* w = MakeWindow(*gui, "%s%n%i", nullptr);
        new cProbeCtrl("%s", w, 0, 0, 1, 1);
        cWindow* menu = MakeWindow(*gui, "menu", nullptr, false, true);
        new cProbeCtrl("back", menu, 0, 0, 1, 1);
        new cProbeCtrl("play", menu, 0, 0, 1, 1);
        gui->ShowWindow("%s%n%i");
        gui->Dump();
        EXPECT_EQ(gui->GetWindowCount(), 3u);
    }
    const std::string text = PlainLogText(vektest::ReadFile(app + "/_log.html"));
    const std::string separator = "  +----+--------------------------+----+---+---+---+----------\n";
    const std::string expected =
        "GUI.\n" + separator
        + "  |  N |                     name | id | M | A | V | controls \n" + separator
        // Every window lists its own control 0 first; the default window is
        // inactive and can never be shown.
        + "  |  0 |                          |  0 | 0 | 0 |   | unnamed(cCtrl), \n"
          "  |  1 |                   %s%n%i |  1 | 0 | 1 | + | unnamed(cCtrl), %s(cImageCtrl), \n"
          "  |  2 |                     menu |  2 | 1 | 0 |   | unnamed(cCtrl), back(cImageCtrl), "
          "play(cImageCtrl), \n"
        + separator + "   Total Count: 3, Visible Count: 1.\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
}

} // namespace
