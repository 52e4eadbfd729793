// The game's buttons, tab buttons, check boxes, star rows and sliders: their
// state machines with sounds and notifications, and which picture each
// state draws.
#include "control_fixture.h"

#include "engine/core/image.h"
#include "engine/graphics/texture.h"
#include "game/shell/texture_info.h"

namespace {

using namespace controltest;
using vek::cGUI;

constexpr unsigned kChar = cGUI::e_wndChar;

// A button laid out as the scripts do it: the cell size first, then the
// origin of the normal picture, then the place and the border.
cButtonCtrl* MakeButton(vek::cWindow* window, const char* name = "button")
{
    auto* button = new cButtonCtrl(name, window);
    button->SetUVSize(0.25f, 0.125f, vek::cCtrl::e_btnNormal);
    button->SetUVPos(0.5f, 0.75f, 0);
    button->SetPos(100.0f, 200.0f, 0);
    button->SetSize(120.0f, 40.0f, 0);
    button->SetSize(8.0f, 8.0f, vek::cCtrl::e_frmBorder);
    return button;
}

using ButtonTest = ControlFixture;

TEST_F(ButtonTest, APressAndReleaseOverTheButtonPostsOneCommandWithClickThenMouseIn)
{
    cButtonCtrl* b = MakeButton(m_pWindow);
    const unsigned id = static_cast<unsigned>(b->GetID());
    EXPECT_EQ(b->OnMessage(cGUI::e_wndMouseEnter, 0, 0), 0);
    EXPECT_EQ(b->GetVisualState(), cButtonCtrl::e_stateHover);
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndMouseEnter), 1) << "enter is sent at once";
    EXPECT_EQ(m_pRecorder->messages.back().uB, id);

    Sounds().clear();
    EXPECT_EQ(b->OnMessage(cGUI::e_wndLButtonDown, 0, 0), 0);
    EXPECT_EQ(b->GetVisualState(), cButtonCtrl::e_statePushed);
    EXPECT_EQ(b->OnMessage(cGUI::e_wndLButtonUp, 0, 0), 0);
    EXPECT_EQ(b->GetVisualState(), cButtonCtrl::e_stateHover);
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"click", "mouse_in"}));
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 0) << "the command is posted";
    Deliver();
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);
    EXPECT_EQ(m_pRecorder->messages.back().uA, 0u);
    EXPECT_EQ(m_pRecorder->messages.back().uB, id);

    // A second release without a press does nothing.
    b->OnMessage(cGUI::e_wndLButtonUp, 0, 0);
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);
    EXPECT_EQ(b->OnMessage(kChar, 'a', 0), 1) << "characters are declined";
}

TEST_F(ButtonTest, LeavingBeforeTheReleaseCancelsTheClick)
{
    cButtonCtrl* b = MakeButton(m_pWindow);
    b->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    b->OnMessage(cGUI::e_wndLButtonDown, 0, 0);
    b->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
    EXPECT_EQ(b->GetVisualState(), cButtonCtrl::e_stateNormal);
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseLeave), 1);
    b->OnMessage(cGUI::e_wndLButtonUp, 0, 0);
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 0);
    EXPECT_EQ(b->GetVisualState(), cButtonCtrl::e_stateNormal);

    // Through the window: pressed, dragged off and released elsewhere.
    m_pWindow->SetActive(true);
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndMouseMove, 0, vek::PackGUIPoint(150, 220));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonDown, 0, vek::PackGUIPoint(150, 220));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndMouseMove, 0, vek::PackGUIPoint(500, 500));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonUp, 0, vek::PackGUIPoint(500, 500));
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 0);
    // And once over it.
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndMouseMove, 0, vek::PackGUIPoint(150, 220));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonDown, 0, vek::PackGUIPoint(150, 220));
    m_GUI.SendMessage(m_pWindow->GetID(), cGUI::e_wndLButtonUp, 0, vek::PackGUIPoint(150, 220));
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 1);
}

TEST_F(ButtonTest, TheOtherPicturesLieOneCellBelowEachOtherAndFollowTheNormalFrame)
{
    cButtonCtrl* b = MakeButton(m_pWindow);
    for (int k = 0; k < cButtonCtrl::e_frameCount; ++k) {
        SCOPED_TRACE(k);
        const vek::cFrameCtrl* f = b->GetFrame(k);
        EXPECT_EQ(f->GetRect(), vek::rectf(100.0f, 200.0f, 120.0f, 40.0f));
        EXPECT_EQ(f->GetBorderSize(), vek::vec2(8.0f, 8.0f));
        EXPECT_FLOAT_EQ(f->GetUV().x, 0.5f);
        EXPECT_FLOAT_EQ(f->GetUV().y, 0.75f - 0.125f * static_cast<float>(k));
        EXPECT_FLOAT_EQ(f->GetUV().h, 0.125f);
    }
    EXPECT_EQ(b->GetLabel().GetRect(), vek::rectf(100.0f, 200.0f, 120.0f, 40.0f));

    b->MoveBy(10.0f, -20.0f, 0);
    EXPECT_EQ(b->GetFrame(cButtonCtrl::e_frameDisabled)->GetRect(), vek::rectf(110.0f, 180.0f, 120.0f, 40.0f));
    EXPECT_TRUE(b->HitTest(150.0f, 200.0f));
    EXPECT_FALSE(b->HitTest(105.0f, 200.0f));

    // Other part flags size every picture but keep the cell height the
    // pictures are found by.
    b->SetUVSize(0.3f, 0.5f, vek::cCtrl::e_btnNormal | vek::cCtrl::e_btnPush);
    EXPECT_FLOAT_EQ(b->GetUVCell().y, 0.125f);
    EXPECT_FLOAT_EQ(b->GetFrame(cButtonCtrl::e_frameHover)->GetUV().h, 0.5f);
    EXPECT_FLOAT_EQ(b->GetFrame(cButtonCtrl::e_frameHover)->GetUV().y, 0.5f);
    b->SetUVSize(0.02f, 0.02f, vek::cCtrl::e_frmBorder);
    EXPECT_FLOAT_EQ(b->GetUVCell().y, 0.125f);
}

TEST_F(ButtonTest, EachStateDrawsItsFrameAndDisabledOverridesThePictureOnly)
{
    cButtonCtrl* b = MakeButton(m_pWindow);
    const auto frameV = [&] { return MinV(Drawn(*b)); };
    EXPECT_EQ(Drawn(*b).size(), 54u) << "an empty label draws nothing";
    EXPECT_FLOAT_EQ(frameV(), 0.75f);
    b->OnMessage(cGUI::e_wndLButtonDown, 0, 0);
    EXPECT_FLOAT_EQ(frameV(), 0.625f);
    b->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    EXPECT_FLOAT_EQ(frameV(), 0.5f);

    b->EnableState(vek::cCtrl::e_Disabled);
    EXPECT_FLOAT_EQ(frameV(), 0.375f);
    b->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
    EXPECT_EQ(b->GetVisualState(), cButtonCtrl::e_stateNormal) << "the state still changes";
    EXPECT_FLOAT_EQ(frameV(), 0.375f);
    b->DisableState(vek::cCtrl::e_Disabled);
    EXPECT_FLOAT_EQ(frameV(), 0.75f);
}

TEST_F(ButtonTest, ATabStaysPushedAndOnlyAnUncheckedPressTellsTheWindow)
{
    auto* tab = new cTabButtonCtrl("tab", m_pWindow);
    const unsigned id = static_cast<unsigned>(tab->GetID());
    tab->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    EXPECT_EQ(tab->GetVisualState(), cButtonCtrl::e_stateHover);
    tab->OnMessage(cGUI::e_wndLButtonDown, 0, 0);
    EXPECT_TRUE(tab->IsChecked());
    tab->OnMessage(cGUI::e_wndLButtonUp, 0, 0);
    tab->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
    tab->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    EXPECT_TRUE(tab->IsChecked()) << "hovering does not release it";
    Deliver();
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndCheck), 1);
    EXPECT_EQ(m_pRecorder->messages.back().uA, 1u);
    EXPECT_EQ(m_pRecorder->messages.back().uB, id);
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCommand), 0);

    tab->OnMessage(cGUI::e_wndLButtonDown, 0, 0);
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCheck), 1) << "a checked tab ignores a press";
    EXPECT_TRUE(Sounds().empty());
    EXPECT_STREQ(tab->ClassName(), "cButtonCtrl");

    tab->SetCheck(false);
    EXPECT_FALSE(tab->IsChecked());
    Deliver();
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndCheck), 1) << "SetCheck tells nobody";
}

TEST_F(ButtonTest, ACheckBoxDrawsOnePictureOfItsHoverAndCheckState)
{
    auto* box = new cCheckBoxCtrl("box", m_pWindow);
    box->SetPos(10.0f, 20.0f, 0);
    box->SetSize(32.0f, 32.0f, 0);
    box->SetUVPos(0.0f, 0.5f, vek::cCtrl::e_cbNormal);
    box->SetUVSize(0.25f, 0.25f, vek::cCtrl::e_cbNormal);
    box->SetUVPos(0.5f, 0.75f, vek::cCtrl::e_cbPush);
    box->SetUVSize(0.125f, 0.25f, vek::cCtrl::e_cbPush);
    EXPECT_EQ(box->GetHoverBox().GetUV(), vek::rectf(0.0f, 0.25f, 0.25f, 0.25f));
    EXPECT_EQ(box->GetHoverCheck().GetUV(), vek::rectf(0.5f, 0.5f, 0.125f, 0.25f));
    EXPECT_EQ(box->GetHoverBox().GetRect(), box->GetBox().GetRect());
    EXPECT_EQ(box->GetHoverCheck().GetRect(), box->GetCheckImage().GetRect());

    const auto picture = [&] {
        const std::vector<vek::cVertex2D> v = Drawn(*box);
        EXPECT_EQ(v.size(), 6u) << "exactly one picture";
        return vek::vec2(MinU(v), MinV(v));
    };
    EXPECT_EQ(picture(), vek::vec2(0.0f, 0.5f));
    box->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    EXPECT_TRUE(box->IsHovered());
    EXPECT_EQ(picture(), vek::vec2(0.0f, 0.25f));
    box->OnMessage(cGUI::e_wndLButtonDown, 0, 0);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(picture(), vek::vec2(0.5f, 0.5f));
    box->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
    EXPECT_EQ(picture(), vek::vec2(0.5f, 0.75f));
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"mouse_in", "click"}));
    Deliver();
    ASSERT_EQ(m_pRecorder->Count(cGUI::e_wndCheck), 1);
    EXPECT_EQ(m_pRecorder->messages.back().uA, 1u);
    box->OnMessage(cGUI::e_wndLButtonDown, 0, 0);
    Deliver();
    EXPECT_EQ(m_pRecorder->messages.back().uA, 0u);
}

class StarRowTest : public ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        ASSERT_TRUE(vek::CreateTextureManager());
        ASSERT_TRUE(CreateTextureInfos());
        vek::cImage image(vek::e_pfRGBA, 4, 4, 1);
        new vek::cTexture(&image, "icons00", false);
        m_iTexture = static_cast<int>(vek::g_pTextureManager->Find("icons00"));
        auto* info = new cTextureInfo("icons00", false);
        info->AddNode("star", vek::rectf(0.0f, 0.5f, 0.5f, 0.5f));
        info->AddNode("star_empty", vek::rectf(0.5f, 0.5f, 0.5f, 0.5f));
    }
    void TearDown() override
    {
        ForgetControlSprites();
        DestroyTextureInfos();
        vek::DestroyTextureManager();
        ControlFixture::TearDown();
    }
    // Star quads drawn, as (x of the first vertex, u): the check box's own
    // picture has texture 0.
    std::vector<vek::vec2> Stars(cCheckBoxUpCtrl& row)
    {
        std::vector<vek::vec2> stars;
        const std::vector<vek::cVertex2D> v = Drawn(row);
        for (size_t i = 6; i + 6 <= v.size(); i += 6) stars.emplace_back(v[i].x, v[i].u);
        return stars;
    }
    int m_iTexture = 0;
};

TEST_F(StarRowTest, StarsSitUnderTheBoxOverlappingByHalfAndFillFromTheLeft)
{
    auto* row = new cCheckBoxUpCtrl("up", m_pWindow);
    row->SetPos(100.0f, 200.0f, 0);
    row->SetSize(40.0f, 40.0f, 0);
    row->SetStarCount(3);
    row->SetFilledStars(2);
    // (40 - 2.5 * 22) / 2 = -7.5 from the box's left edge, then 11 a star.
    EXPECT_EQ(row->GetStarRect(1), vek::rectf(103.5f, 178.0f, 22.0f, 22.0f));
    EXPECT_EQ(row->GetStarRect(3), vek::rectf(125.5f, 178.0f, 22.0f, 22.0f));
    EXPECT_EQ(Stars(*row), (std::vector<vek::vec2>{{103.5f, 0.0f}, {114.5f, 0.0f}, {125.5f, 0.5f}}));

    row->SetFilledStars(7);
    EXPECT_EQ(Stars(*row), (std::vector<vek::vec2>{{103.5f, 0.0f}, {114.5f, 0.0f}, {125.5f, 0.0f}}));
    row->SetStarCount(0);
    EXPECT_TRUE(Stars(*row).empty());
    row->SetStarCount(-4);
    EXPECT_TRUE(Stars(*row).empty());
    EXPECT_STREQ(row->ClassName(), "cCheckBoxCtrl");
}

TEST_F(ButtonTest, ASliderShowsItsHoverPicturesAndKeepsThemWithTheThumb)
{
    auto* slider = new cSliderCtrlEx("slider", m_pWindow);
    slider->SetPos(100.0f, 100.0f, 0);
    slider->SetSize(200.0f, 20.0f, 0);
    slider->SetSize(10.0f, 20.0f, vek::cCtrl::e_sldImage);
    slider->SetUVPos(0.0f, 0.5f, 0);
    slider->SetUVSize(0.5f, 0.25f, 0);
    slider->SetUVPos(0.75f, 0.875f, vek::cCtrl::e_sldImage);
    slider->SetUVSize(0.125f, 0.125f, vek::cCtrl::e_sldImage);
    slider->SetMinMax(0.0f, 100.0f);
    slider->SetValue(100.0f);
    EXPECT_EQ(slider->GetHoverThumb().GetRect(), slider->GetThumbRect());
    EXPECT_EQ(slider->GetHoverThumb().GetRect().x, 290.0f);
    EXPECT_EQ(slider->GetHoverTrack().GetRect(), slider->GetTrackRect());
    EXPECT_EQ(slider->GetHoverThumb().GetUV(), vek::rectf(0.75f, 0.75f, 0.125f, 0.125f));
    EXPECT_EQ(slider->GetHoverTrack().GetUV(), vek::rectf(0.0f, 0.25f, 0.5f, 0.25f));

    EXPECT_FLOAT_EQ(MinV(Drawn(*slider)), 0.5f);
    slider->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    EXPECT_TRUE(slider->IsHovered());
    EXPECT_FLOAT_EQ(MinV(Drawn(*slider)), 0.25f);
    EXPECT_EQ(Sounds(), std::vector<std::string>{"mouse_in"});
    slider->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
    EXPECT_FALSE(slider->IsHovered());
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseEnter), 1);
    EXPECT_EQ(m_pRecorder->Count(cGUI::e_wndMouseLeave), 1);
}

} // namespace
