// The link and the animation controls: the colour glide of the link, its
// cursor requests and command, and the animation's pictures frame by frame.
#include "control_fixture.h"

#include <cmath>

#include "engine/graphics/font.h"
#include "game/shell/middle.h"

namespace {

using namespace controltest;
using vek::cGUI;

// A game object that keeps the cursor names it is asked for.
class cCursorGame : public cMiddle {
public:
    cPlayerBase* CreatePlayer(const vek::string&) override { return nullptr; }
    cScoreRow* CreateScoreRow() override { return nullptr; }
    const vek::string& GetMessageText(int) override { return m_strNone; }
    void SetCursor(const vek::string& name) override { cursors.push_back(name); }
    std::vector<std::string> cursors;

private:
    vek::string m_strNone;
};

TEST(ColorMover, GlidesAtItsSpeedAndArrivesAtOnceWhenThereIsNoWayToGo)
{
    cColorMover mover(2.0f);
    EXPECT_EQ(mover.GetValue(), vec4(1.0f, 1.0f, 1.0f, 1.0f)) << "white at first";
    mover.MoveTo(vec4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_EQ(mover.GetDuration(), 0.0f);
    EXPECT_EQ(mover.Update(0.1f), cColorMover::e_Idle);

    mover.MoveTo(vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(mover.GetDuration(), std::sqrt(3.0f) / 2.0f, 1e-6f);
    EXPECT_EQ(mover.Update(0.433f), cColorMover::e_Moving);
    EXPECT_NEAR(mover.GetValue().r, 0.5f, 1e-3f);
    EXPECT_EQ(mover.GetValue().a, 1.0f);
    EXPECT_EQ(mover.Update(0.43f), cColorMover::e_Moving);
    EXPECT_EQ(mover.Update(0.01f), cColorMover::e_Arrived);
    EXPECT_EQ(mover.GetValue(), vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(mover.Update(1.0f), cColorMover::e_Idle);

    // Turned back halfway: the new glide starts where the colour is.
    mover.MoveTo(vec4(1.0f, 0.0f, 0.0f, 1.0f));
    mover.Update(0.25f);
    mover.MoveTo(vec4(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(mover.GetDuration(), 0.25f, 1e-5f);
    mover.SetValue(vec4(0.2f, 0.4f, 0.6f, 1.0f));
    EXPECT_EQ(mover.Update(1.0f), cColorMover::e_Idle);
    EXPECT_EQ(mover.GetTarget(), vec4(0.2f, 0.4f, 0.6f, 1.0f));
    EXPECT_NEAR(Distance(vec4(0, 0, 0, 0), vec4(1, 1, 1, 1)), 2.0f, 1e-6f);
}

class LinkTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        ASSERT_TRUE(vek::CreateFontManager());
        auto* font = new vek::cFont("mono");
        font->Init("", "", 0, 10.0f);
        for (char c = 'a'; c <= 'z'; ++c) font->Char(vek::string(1, c), 8, vek::recti(0, 0, 8, 10), 0, 8);
        m_pWindow->SetActive(true);
        m_pLink = new cLinkCtrl("link", m_pWindow);
        m_pLink->SetFontPrt("mono");
        m_pLink->SetPos(100.0f, 100.0f, 0);
        m_pLink->SetSize(200.0f, 20.0f, 0);
        m_pLink->SetText("more");
        // The text covers (100, 100)-(132, 110).
    }
    void TearDown() override
    {
        vek::DestroyFontManager();
        ControlFixture::TearDown();
    }
    void Mouse(int message, int x, int y)
    {
        m_GUI.SendMessage(m_pWindow->GetID(), message, 0, vek::PackGUIPoint(x, y));
    }
    void Tick(unsigned ms) { m_pLink->OnMessage(cGUI::e_wndTimer, ms, 0); }

    cCursorGame m_Game;
    cLinkCtrl* m_pLink = nullptr;
};

TEST_F(LinkTest, TheColourGlidesToTheHighlightAndBackWithTheCursors)
{
    m_pLink->SetColor(1.0f, 0.0f, 0.0f, cLinkCtrl::e_lnkHighlight);
    EXPECT_EQ(m_pLink->GetColor(), 0xFFFFFFFFu) << "the highlight waits for the cursor";
    m_pLink->SetColor(0.0f, 0.0f, 1.0f, cLinkCtrl::e_lnkNormal);
    EXPECT_EQ(m_pLink->GetColor(), 0xFF0000FFu);

    Mouse(cGUI::e_wndMouseMove, 110, 105);
    EXPECT_EQ(m_Game.cursors, std::vector<std::string>{"hand"});
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseEnter), 1);
    Tick(0);
    EXPECT_EQ(m_pLink->GetColor(), 0xFF0000FFu);
    Tick(354);  // half of the way, sqrt(2) / 2 s long
    EXPECT_EQ(m_pLink->GetColor() >> 24, 0xFFu) << "always opaque";
    EXPECT_NEAR(static_cast<int>((m_pLink->GetColor() >> 16) & 0xFF), 127, 2);
    Tick(400);
    EXPECT_EQ(m_pLink->GetColor(), 0xFFFF0000u);

    Mouse(cGUI::e_wndMouseMove, 500, 500);
    EXPECT_EQ(m_Game.cursors, (std::vector<std::string>{"hand", "pointer"}));
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseLeave), 1);
    Tick(1000);
    EXPECT_EQ(m_pLink->GetColor(), 0xFF0000FFu);
    EXPECT_EQ(m_pLink->OnMessage(cGUI::e_wndChar, 'x', 0), 1);
}

TEST_F(LinkTest, AReleaseOverTheLinkPostsItsCommandEvenWithoutAPress)
{
    const unsigned id = static_cast<unsigned>(m_pLink->GetID());
    Mouse(cGUI::e_wndMouseMove, 110, 105);
    Mouse(cGUI::e_wndLButtonUp, 110, 105);
    Deliver();
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);
    EXPECT_EQ(m_pRecorder->messages.back().uB, id);

    // Pressed on the link and released elsewhere: the window hands the
    // release to the link it pressed, which lets it pass.
    Mouse(cGUI::e_wndLButtonDown, 110, 105);
    Mouse(cGUI::e_wndMouseMove, 500, 500);
    Mouse(cGUI::e_wndLButtonUp, 500, 500);
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);
}

using AnimationTest = ControlFixture;

TEST_F(AnimationTest, FramesRunAlongTheRowsFromTheTopOfTheTexture)
{
    auto* anim = new cAnimationCtrl("arrow", m_pWindow);
    EXPECT_EQ(anim->GetUV(), vek::rectf(0.0f, 0.0f, 1.0f, 1.0f));
    anim->SetTileset(4, 2, 0.0f);
    const vek::vec2 expected[8] = {{0.0f, 0.5f},  {0.25f, 0.5f}, {0.5f, 0.5f}, {0.75f, 0.5f},
                                   {0.0f, 0.0f},  {0.25f, 0.0f}, {0.5f, 0.0f}, {0.75f, 0.0f}};
    for (int step = 1; step <= 9; ++step) {
        SCOPED_TRACE(step);
        anim->OnMessage(cGUI::e_wndTimer, 34, 0);  // a little over 1/30 s
        const int frame = step % 8;
        EXPECT_EQ(anim->GetCounter().iFrame, frame);
        EXPECT_FLOAT_EQ(anim->GetUV().x, expected[frame].x);
        EXPECT_FLOAT_EQ(anim->GetUV().y, expected[frame].y);
        EXPECT_FLOAT_EQ(anim->GetUV().w, 0.25f);
        EXPECT_FLOAT_EQ(anim->GetUV().h, 0.5f);
    }
    EXPECT_EQ(Drawn(*anim).size(), 6u);
    EXPECT_FLOAT_EQ(MinU(Drawn(*anim)), 0.25f);

    // No grid, or a one-picture grid: the picture the script set stays.
    auto* still = new cAnimationCtrl("still", m_pWindow);
    still->SetUVPos(0.5f, 0.25f, 0);
    still->SetUVSize(0.125f, 0.125f, 0);
    still->SetTileset(0, 0, 30.0f);
    for (int i = 0; i < 10; ++i) still->OnMessage(cGUI::e_wndTimer, 100, 0);
    EXPECT_EQ(still->GetUV(), vek::rectf(0.5f, 0.25f, 0.125f, 0.125f));
    EXPECT_EQ(still->OnMessage(cGUI::e_wndChar, 'x', 0), 1);
    still->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseEnter), 1);
}

} // namespace
