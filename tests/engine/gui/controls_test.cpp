// Controls driven through a shown window by injected mouse and key events:
// what each family does and which notification its window receives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "gui_test_helpers.h"

using namespace vek;
using namespace guitest;

namespace {

constexpr float kStep = 1.0f / 30.0f;

struct ControlFixture : ::testing::Test {
    void SetUp() override
    {
        gui = MakeGUI();
        window = MakeWindow(*gui, "w", &log, true, false, &function);
        gui->ShowWindow("w");
        log.clear();
    }
    void MoveTo(float gx, float gy)
    {
        gui->OnMouseMove(static_cast<int>(gx), 768 - static_cast<int>(gy));
    }
    void Press(float gx, float gy)
    {
        gui->OnMouseButton(false, 0, static_cast<int>(gx), 768 - static_cast<int>(gy));
    }
    void Release(float gx, float gy)
    {
        gui->OnMouseButton(true, 0, static_cast<int>(gx), 768 - static_cast<int>(gy));
    }
    void Click(float gx, float gy)
    {
        MoveTo(gx, gy);
        Press(gx, gy);
        Release(gx, gy);
    }
    // Posted notifications arrive with the next step.
    cLog Notifications(std::initializer_list<int> kinds)
    {
        gui->Update(kStep);
        cLog out = Only(log, kinds);
        log.clear();
        return out;
    }
    void Type(const char* text)
    {
        for (const char* p = text; *p; ++p)
            gui->OnChar(static_cast<unsigned char>(*p));
    }

    cLog log;
    std::unique_ptr<cGUI> gui;
    cWindow* window = nullptr;
    cRecordingWF* function = nullptr;
};

TEST_F(ControlFixture, ButtonFiresOnReleaseOverItself)
{
    auto* button = new cButtonSysCtrl("ok", window);
    button->SetPos(100, 100, 0);
    button->SetSize(80, 30, 0);
    const unsigned id = static_cast<unsigned>(button->GetID());

    MoveTo(120, 110);
    Press(120, 110);
    EXPECT_TRUE(button->IsPushed());
    EXPECT_TRUE(Notifications({48}).empty());  // nothing before the release
    Release(120, 110);
    EXPECT_EQ(Notifications({48}), (cLog{{window->GetID(), 48, 0, id}}));

    // Pressed, dragged off, released: no click.
    MoveTo(120, 110);
    Press(120, 110);
    MoveTo(400, 400);
    EXPECT_FALSE(button->IsPushed());
    Release(400, 400);
    EXPECT_TRUE(Notifications({48}).empty());
}

TEST_F(ControlFixture, ButtonPartsFollowTheNormalFrame)
{
    auto* button = new cButtonSysCtrl("ok", window);
    button->SetPos(10, 20, 0);
    button->SetSize(80, 30, 0);
    button->SetSize(4, 5, cCtrl::e_frmBorder);
    button->SetUVSize(0.5f, 0.25f, cCtrl::e_btnPush);
    EXPECT_EQ(button->GetPushedFrame().GetRect(), rect<float>(10, 20, 80, 30));
    EXPECT_EQ(button->GetLabel().GetRect(), rect<float>(10, 20, 80, 30));
    EXPECT_EQ(button->GetPushedFrame().GetBorderSize(), vec2(4, 5));
    EXPECT_EQ(button->GetPushedFrame().GetUV(), rect<float>(0, 0, 0.5f, 0.25f));
    EXPECT_EQ(button->GetNormalFrame().GetUV(), rect<float>(0, 0, 1, 1));
    button->SetText("Go");
    EXPECT_EQ(button->GetText(), "Go");
    EXPECT_EQ(button->GetLabel().GetAlign(), cAlign::Center | cAlign::Middle);
}

TEST_F(ControlFixture, CheckBoxTogglesOnPress)
{
    auto* box = new cCheckBoxSysCtrl("cb", window);
    box->SetPos(100, 100, 0);
    box->SetSize(200, 20, 0);
    const unsigned id = static_cast<unsigned>(box->GetID());
    EXPECT_EQ(box->GetRect(), rect<float>(100, 100, 20, 20));
    EXPECT_EQ(box->GetCheckImage().GetRect(), rect<float>(100, 100, 20, 20));

    MoveTo(110, 110);
    Press(110, 110);
    EXPECT_TRUE(box->IsChecked());
    Release(110, 110);
    Click(110, 110);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_EQ(Notifications({49}), (cLog{{window->GetID(), 49, 1, id}, {window->GetID(), 49, 0, id}}));
}

TEST_F(ControlFixture, SliderDragsOnlyOnceFocused)
{
    auto* slider = new cSliderSysCtrl("s", window);
    slider->SetPos(100, 100, 0);
    slider->SetSize(200, 20, 0);
    slider->SetSize(10, 20, cCtrl::e_sldImage);
    // Value 50 of 0..100: the thumb's centre on the track's middle.
    EXPECT_EQ(slider->GetThumbRect(), rect<float>(195, 100, 10, 20));
    const unsigned id = static_cast<unsigned>(slider->GetID());

    MoveTo(150, 110);
    Press(150, 110);
    EXPECT_EQ(slider->GetValue(), 50.0f);  // the first press only focuses
    MoveTo(160, 110);
    EXPECT_FLOAT_EQ(slider->GetValue(), 30.0f);
    // Dragged beyond the track (and off the control) it stops at the end.
    MoveTo(600, 110);
    EXPECT_EQ(slider->GetValue(), 100.0f);
    EXPECT_EQ(slider->GetThumbRect().x, 290.0f);
    Release(600, 110);
    MoveTo(200, 110);
    EXPECT_EQ(slider->GetValue(), 100.0f);
    EXPECT_EQ(Notifications({51}),
              (cLog{{window->GetID(), 51, 30, id}, {window->GetID(), 51, 100, id}}));

    // Focused now: a press moves at once.
    MoveTo(110, 110);
    Press(110, 110);
    EXPECT_FLOAT_EQ(slider->GetValue(), 5.0f);
}

TEST_F(ControlFixture, SliderValueRangeAndDegenerateTracks)
{
    cSliderSysCtrl slider("s", nullptr);
    slider.SetValue(150);
    EXPECT_EQ(slider.GetValue(), 100.0f);
    slider.SetValue(-1);
    EXPECT_EQ(slider.GetValue(), 0.0f);
    slider.SetValue(std::nanf(""));
    EXPECT_EQ(slider.GetValue(), 0.0f);
    slider.SetMinMax(10, 5);
    EXPECT_EQ(slider.GetMin(), 10.0f);
    EXPECT_EQ(slider.GetMax(), 10.0f);
    EXPECT_EQ(slider.GetValue(), 10.0f);
    // Bounds that are no finite number would let any value through.
    slider.SetMinMax(std::nanf(""), 5);
    slider.SetMinMax(0, std::numeric_limits<float>::infinity());
    EXPECT_EQ(slider.GetMin(), 10.0f);
    EXPECT_EQ(slider.GetMax(), 10.0f);
    slider.SetValue(-1e9f);
    EXPECT_EQ(slider.GetValue(), 10.0f);

    // min == max keeps the thumb at the track's start.
    slider.SetPos(0, 0, 0);
    slider.SetSize(100, 10, 0);
    slider.SetSize(10, 10, cCtrl::e_sldImage);
    EXPECT_EQ(slider.GetThumbRect().x, 0.0f);
    // An upright one starts at its top, where a scrolled list starts: the
    // same place as the value max of a range, not the bottom.
    cSliderSysCtrl upright("u", nullptr);
    upright.SetVertical(true);
    upright.SetPos(0, 0, 0);
    upright.SetSize(10, 100, 0);
    upright.SetSize(10, 10, cCtrl::e_sldImage);
    upright.SetMinMax(0, 1);
    upright.SetValue(1);
    EXPECT_EQ(upright.GetThumbRect().y, 90.0f);
    upright.SetMinMax(0, 0);
    EXPECT_EQ(upright.GetThumbRect().y, 90.0f);

    // A slider of no length neither moves nor notifies.
    auto* flat = new cSliderSysCtrl("flat", window);
    flat->SetVertical(true);
    flat->SetPos(300, 300, 0);
    flat->SetSize(20, 0, 0);
    flat->SetSize(10, 10, cCtrl::e_sldImage);
    EXPECT_EQ(flat->GetThumbRect(), rect<float>(305, 290, 10, 10));
    MoveTo(310, 295);
    Press(310, 295);
    Press(310, 295);
    EXPECT_EQ(window->GetActiveControl(), flat);
    MoveTo(311, 296);
    EXPECT_EQ(flat->GetValue(), 50.0f);
    EXPECT_TRUE(Notifications({51}).empty());
}

TEST_F(ControlFixture, VerticalSliderCountsFromTheBottom)
{
    auto* slider = new cSliderSysCtrl("v", window);
    slider->SetVertical(true);
    slider->SetMinMax(0, 10);
    slider->SetPos(100, 100, 0);
    slider->SetSize(20, 100, 0);
    slider->SetSize(20, 10, cCtrl::e_sldImage);
    window->SetActiveControl(slider);
    MoveTo(110, 175);
    Press(110, 175);
    EXPECT_FLOAT_EQ(slider->GetValue(), 7.5f);
    EXPECT_FLOAT_EQ(slider->GetThumbRect().y, 170.0f);
    EXPECT_EQ(Notifications({51}).at(0).uA, 7u);  // truncated toward zero
}

TEST_F(ControlFixture, EditFieldTypesWithinItsRules)
{
    auto* edit = new cEditSysCtrl("e", window);
    edit->SetPos(100, 100, 0);
    edit->SetSize(200, 30, 0);
    edit->SetMaxLength(5);
    const unsigned id = static_cast<unsigned>(edit->GetID());

    Type("ab");  // not focused yet: nobody takes it
    EXPECT_EQ(edit->GetText(), "");
    Click(150, 110);
    EXPECT_EQ(window->GetActiveControl(), edit);
    Type("ab");
    EXPECT_EQ(edit->GetText(), "ab");
    EXPECT_EQ(Notifications({50}), (cLog{{window->GetID(), 50, 0, id}, {window->GetID(), 50, 0, id}}));

    // Console keys, Yo in both cases and control codes change nothing.
    for (int c : {96, 126, 168, 184, 9, 27, 31, 300}) EXPECT_TRUE(gui->OnChar(c)) << c;
    EXPECT_EQ(edit->GetText(), "ab");
    EXPECT_TRUE(Notifications({50}).empty());

    Type("cdefg");
    EXPECT_EQ(edit->GetText(), "abcde");
    gui->OnChar(8);
    EXPECT_EQ(edit->GetText(), "abcd");
    gui->OnChar(0xE0);  // a letter of the upper half of the code page
    EXPECT_EQ(edit->GetText(), "abcd\xE0");
    log.clear();

    gui->OnChar(13);
    EXPECT_EQ(Notifications({35, 52}), (cLog{{window->GetID(), 35, 0, id}}));
    window->SetActiveControl(nullptr);
    EXPECT_EQ(Notifications({35, 52}), (cLog{{window->GetID(), 52, 0, id}}));

    // Backspace on an empty field is quiet.
    edit->SetText("");
    window->SetActiveControl(edit);
    gui->OnChar(8);
    EXPECT_TRUE(Notifications({50}).empty());
}

TEST_F(ControlFixture, EditTextSitsInsideTheFrameBorder)
{
    cEditSysCtrl edit("e", nullptr);
    edit.SetPos(10, 20, 0);
    edit.SetSize(100, 30, 0);
    edit.SetSize(4, 3, cCtrl::e_frmBorder);
    EXPECT_EQ(edit.GetLabel().GetRect(), rect<float>(14, 23, 92, 24));
    EXPECT_EQ(edit.GetLabel().GetAlign(), cAlign::Left | cAlign::Middle);
    EXPECT_TRUE(edit.HitTest(50, 30));
    EXPECT_FALSE(edit.HitTest(10, 30));
}

TEST_F(ControlFixture, ProgressBarShowsItsShare)
{
    cProgressBarSysCtrl bar("p", nullptr);
    bar.SetPos(10, 10, 0);
    bar.SetSize(200, 20, 0);
    bar.SetValue(1.5f);
    EXPECT_EQ(bar.GetValue(), 1.0f);
    EXPECT_EQ(bar.GetRect(), rect<float>(10, 10, 200, 20));

    bar.SetUVSize(0.5f, 1.0f, 0);
    bar.SetValue(0.25f);
    EXPECT_EQ(bar.GetRect().w, 50.0f);
    EXPECT_EQ(bar.GetBar().GetUV().w, 0.125f);
    EXPECT_EQ(bar.GetBar().GetUV().h, 1.0f);
    // The whole bar is clickable, not only its filled part.
    EXPECT_TRUE(bar.HitTest(150, 20));

    bar.SetValue(-3.0f);
    EXPECT_EQ(bar.GetRect().w, 0.0f);
    bar.SetValue(std::nanf(""));
    EXPECT_EQ(bar.GetValue(), 0.0f);
}

TEST_F(ControlFixture, PlainControlsHitTestAndAlignment)
{
    cImageCtrl image("i", nullptr);
    image.SetPos(10, 10, 0);
    image.SetSize(20, 20, 0);
    EXPECT_TRUE(image.HitTest(11, 11));
    EXPECT_FALSE(image.HitTest(10, 15));  // edges are outside
    EXPECT_FALSE(image.HitTest(15, 30));

    cFrameCtrl frame("f", nullptr);
    frame.SetSize(8, 6, cCtrl::e_frmBorder);
    frame.SetUVSize(0.1f, 0.2f, cCtrl::e_frmBorder);
    EXPECT_EQ(frame.GetBorderSize(), vec2(8, 6));
    EXPECT_EQ(frame.GetRect().w, 0.0f);
    EXPECT_EQ(frame.GetUV(), rect<float>(0, 0, 1, 1));

    const rect<float> outer(10, 20, 100, 50);
    rect<float> inner(0, 0, 20, 10);
    AlignRect(outer, inner, cAlign::Center | cAlign::Middle);
    EXPECT_EQ(inner, rect<float>(50, 40, 20, 10));
    AlignRect(outer, inner, cAlign::Center | cAlign::Right | cAlign::Top | cAlign::Middle);
    EXPECT_EQ(inner, rect<float>(90, 60, 20, 10));
    AlignRect(outer, inner, cAlign::Left | cAlign::Bottom);
    EXPECT_EQ(inner, rect<float>(10, 20, 20, 10));

    cLabelSysCtrl label("l", nullptr);
    label.SetColor(vec3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(label.GetColor(), 0xFFFF0000u);
    const auto rgba = label.GetColorRGBA();
    EXPECT_EQ(rgba[0], 0.0f);  // blue first
    EXPECT_EQ(rgba[2], 1.0f);
    EXPECT_EQ(rgba[3], 1.0f);
    EXPECT_STREQ(label.ClassName(), "cLabelSysCtrl");
}

TEST(Cursor, QuadPlacementAndFrameSheet)
{
    auto gui = MakeGUI();
    cCursor& cursor = *gui->GetCursor();
    cursor.SetPosition(100, 200);
    rect<float> r, uv;
    cursor.GetQuad(r, uv);
    EXPECT_EQ(r, rect<float>(100, 136, 64, 64));
    EXPECT_EQ(uv, rect<float>(0, 0, 1, 1));

    cursor.Set("unknown", vec2(32, 32), cAlign::Center | cAlign::Middle, 2, 4);
    EXPECT_EQ(cursor.GetTexture(), 0);
    for (int i = 0; i < 5; ++i) gui->Update(1.0f / 30.0f);
    EXPECT_EQ(cursor.GetAnimation().iFrame, 5);
    cursor.GetQuad(r, uv);
    EXPECT_EQ(uv, rect<float>(0.25f, 0.0f, 0.25f, 0.5f));
    EXPECT_EQ(r, rect<float>(84, 184, 32, 32));
    for (int i = 0; i < 3; ++i) gui->Update(1.0f / 30.0f);
    EXPECT_EQ(cursor.GetAnimation().iFrame, 0);  // eight frames, looping

    // Empty sheets count as one frame: no division by zero.
    cursor.Set("", vec2(0, 0), 0, 0, 0);
    for (int i = 0; i < 3; ++i) gui->Update(1.0f / 30.0f);
    cursor.GetQuad(r, uv);
    EXPECT_EQ(uv, rect<float>(0, 0, 1, 1));
    cursor.Set("", vec2(8, 8), 0, -5, 3);
    cursor.GetQuad(r, uv);
    EXPECT_FLOAT_EQ(uv.h, 1.0f);
    EXPECT_FLOAT_EQ(uv.w, 1.0f / 3.0f);
}

} // namespace
