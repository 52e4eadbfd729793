// The goal lines and the level clock: where a line puts its parts, how a
// task line slides, what a release over a line tells the window, and the
// clock's colour ramp.
#include "control_fixture.h"

#include "engine/core/format.h"

namespace {

using namespace controltest;
using vek::cGUI;

class MissionControlsTest : public ControlFixture {};

TEST_F(MissionControlsTest, TheLinePlacesIconTextAndCheckByItsFrame)
{
    auto* line = new cMissionCtrl("line", m_pWindow);
    line->SetSize(32.0f, 24.0f, cMissionCtrl::e_itemImage);
    line->SetSize(148.0f, 56.0f, 0);
    line->SetPos(874.0f, 300.0f, 0);

    const vek::rectf frame = line->GetRect();
    EXPECT_EQ(frame, vek::rectf(874.0f, 300.0f, 148.0f, 56.0f)) << "the frame is the line's geometry";
    const vek::rectf icon = line->GetIcon().GetRect();
    EXPECT_FLOAT_EQ(icon.x, 914.0f);
    EXPECT_FLOAT_EQ(icon.y, 316.0f) << "centred in the frame's height";
    EXPECT_FLOAT_EQ(icon.w, 32.0f);
    const vek::rectf label = line->GetLabel().GetRect();
    EXPECT_FLOAT_EQ(label.x, 914.0f + 32.0f + 4.0f);
    EXPECT_FLOAT_EQ(label.y, 316.0f);

    line->MoveBy(-100.0f, 10.0f, 0);
    EXPECT_FLOAT_EQ(line->GetIcon().GetRect().x, 814.0f) << "the parts follow a move";
    EXPECT_FLOAT_EQ(line->GetIcon().GetRect().y, 326.0f);

    // UV routing: exact part flags only.
    line->SetUVPos(0.5f, 0.25f, cMissionCtrl::e_itemImage);
    EXPECT_FLOAT_EQ(line->GetIcon().GetUV().x, 0.5f);
    line->SetUVPos(0.75f, 0.75f, cMissionCtrl::e_itemImage | cMissionCtrl::e_itemFrame);
    EXPECT_FLOAT_EQ(line->GetIcon().GetUV().x, 0.5f) << "combined flags change nothing";
    EXPECT_NE(line->GetFrame().GetUV().x, 0.75f);
}

TEST_F(MissionControlsTest, AReleaseOverALinePostsTheCommandWithoutAPress)
{
    auto* line = new cMissionCtrl("line", m_pWindow);
    line->SetSize(100.0f, 40.0f, 0);
    line->SetPos(100.0f, 100.0f, 0);
    m_pWindow->SetActive(true);

    // The press began outside the line, the release is over it.
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonDown, 0, vek::PackGUIPoint(10, 10));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndMouseMove, 0, vek::PackGUIPoint(120, 120));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonUp, 0, vek::PackGUIPoint(120, 120));
    Deliver();
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);
    for (const cMessage& m : m_pRecorder->messages)
        if (m.iMessage == cGUI::e_wndCommand) {
            EXPECT_EQ(m.uA, 0u);
            EXPECT_EQ(m.uB, static_cast<unsigned>(line->GetID()));
        }
    EXPECT_TRUE(Sounds().empty()) << "a line makes no sound";

    // Pressed on the line and released elsewhere: the window hands the
    // release to the line it pressed, which lets it pass.
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonDown, 0, vek::PackGUIPoint(120, 120));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndMouseMove, 0, vek::PackGUIPoint(500, 500));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonUp, 0, vek::PackGUIPoint(500, 500));
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);

    EXPECT_EQ(line->OnMessage(cGUI::e_wndChar, 'a', 0), 1);
    EXPECT_EQ(line->OnMessage(cGUI::e_wndMouseMove, 0, 0), 0);
}

TEST_F(MissionControlsTest, ATaskLineSlidesBetweenItsPositionsAtItsSpeed)
{
    auto* line = new cTaskCtrl("task0", m_pWindow);
    line->SetSize(148.0f, 56.0f, 0);
    line->SetShownPos(vek::vec2(874.0f, 560.0f));
    line->SetHiddenPos(vek::vec2(1029.0f, 560.0f));
    line->HideImmediately();
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHidden);
    EXPECT_FLOAT_EQ(line->GetRect().x, 1029.0f);

    line->Hide();
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHidden) << "hiding a hidden line changes nothing";

    line->Show();
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideShowing);
    EXPECT_NEAR(line->GetSlide().m_fDuration, 155.0f / 250.0f, 1e-5f);
    line->Update(0.2f);
    EXPECT_NEAR(line->GetRect().x, 1029.0f - 50.0f, 1e-3f);
    line->Show();
    EXPECT_NEAR(line->GetRect().x, 1029.0f - 50.0f, 1e-3f) << "showing again does not restart the slide";
    line->Update(1.0f);
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideShown);
    EXPECT_FLOAT_EQ(line->GetRect().x, 874.0f);
    line->Show();
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideShown);

    line->Hide();
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHiding);
    line->Update(0.7f);
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHidden);
    EXPECT_FLOAT_EQ(line->GetRect().x, 1029.0f);
}

TEST_F(MissionControlsTest, ASlideOfNoDistanceStillSettlesItsState)
{
    // Both positions at one place: the slide arrives at once, and the line
    // must not be left "showing" for good (the won test waits for hidden).
    auto* line = new cTaskCtrl("task0", m_pWindow);
    line->HideImmediately();
    line->Show();
    line->Update(0.0f);
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideShown);
    line->Hide();
    line->Update(0.0f);
    EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHidden);
}

TEST_F(MissionControlsTest, AMissingIconSpriteChangesNothing)
{
    auto* line = new cMissionCtrl("line", m_pWindow);
    line->SetSize(32.0f, 32.0f, cMissionCtrl::e_itemImage);
    const int texture = line->GetIcon().GetTexture();
    line->SetIcon("icons00", "no_such_area");
    line->SetIconCheck("icons00", "no_such_area");
    EXPECT_EQ(line->GetIcon().GetTexture(), texture);
    EXPECT_FLOAT_EQ(line->GetIcon().GetRect().w, 32.0f);
    EXPECT_EQ(line->GetIconArea(), "");
}

TEST_F(MissionControlsTest, TheClockRunsFromGreenThroughYellowToRed)
{
    struct {
        float f;
        uint32_t colour;
    } const rows[] = {
        {0.0f, vek::PackColor(0.0f, 1.0f, 0.0f, 1.0f)},  {0.25f, vek::PackColor(0.5f, 1.0f, 0.0f, 1.0f)},
        {0.5f, vek::PackColor(1.0f, 1.0f, 0.0f, 1.0f)},  {0.75f, vek::PackColor(1.0f, 0.5f, 0.0f, 1.0f)},
        {1.0f, vek::PackColor(1.0f, 0.0f, 0.0f, 1.0f)},
    };
    for (const auto& r : rows) EXPECT_EQ(cClockCtrl::RampColor(r.f), r.colour) << r.f;

    // Without its picture the clock draws nothing at all.
    cClockCtrl::ForgetSprite();
    auto* clock = new cClockCtrl("clock", m_pWindow);
    clock->SetSize(96.0f, 96.0f, 0);
    clock->SetElapsed(0.5f);
    EXPECT_TRUE(Drawn(*clock).empty());
    cClockCtrl::ForgetSprite();
}

} // namespace
