// Text placement with a real font: label alignment, the text box's word
// wrap and line placement, and controls whose hit area is their text.
#include <gtest/gtest.h>

#include "engine/graphics/font.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "gui_test_helpers.h"

using namespace vek;

namespace {

// A font of 8-unit glyphs for the lower-case letters and the space, 10 high.
struct TextFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(CreateFontManager());
        auto* font = new cFont("mono");
        font->Init("", "", 0, 10.0f);
        for (char c = 'a'; c <= 'z'; ++c) font->Char(string(1, c), 8, recti(0, 0, 8, 10), 0, 8);
        font->Char(" ", 0, recti(0, 0, 0, 0), 0, 8);
        new cFont("noinit");
        box.SetFontPrt("mono");
        ASSERT_NE(box.GetFont(), 0);
    }
    void TearDown() override { DestroyFontManager(); }

    cTextBoxSysCtrl box{"box", nullptr};
};

TEST_F(TextFixture, LabelTextSitsByItsAlignmentOnWholeUnits)
{
    cLabelCtrl label("l", nullptr);
    label.SetFontPrt("mono");
    label.SetPos(10.6f, 20.7f, 0);
    label.SetSize(101, 31, 0);
    label.SetText("ab");
    EXPECT_EQ(label.GetTextRect(), rect<float>(10, 20, 16, 10));
    label.SetAlign(cAlign::Center | cAlign::Middle);
    EXPECT_EQ(label.GetTextRect(), rect<float>(53, 31, 16, 10));
    // Colour codes take no room.
    label.SetText("^FF0000FFab");
    EXPECT_EQ(label.GetTextRect().w, 16.0f);
    // Only the text itself is hit, not the rest of the rect.
    EXPECT_TRUE(label.HitTest(60, 35));
    EXPECT_FALSE(label.HitTest(20, 35));

    label.SetFontPrt("missing");
    EXPECT_EQ(label.GetFont(), 0);
}

TEST_F(TextFixture, TextBoxWrapsWordsAndShowsOnlyTheLinesThatFit)
{
    box.SetPos(0, 0, 0);
    box.SetSize(100, 30, 0);
    box.SetText("aaaa bbbb cccc dddd eeee ffff gggg hhhh");
    EXPECT_EQ(box.GetText(), "aaaa bbbb cccc dddd eeee ffff gggg hhhh ");
    EXPECT_EQ(box.GetLines(), (std::vector<string>{"aaaa bbbb", "cccc dddd", "eeee ffff"}));
    // The last line at the bottom, each line at the left.
    EXPECT_EQ(box.GetLinePositions(), (std::vector<vec2>{{0, 20}, {0, 10}, {0, 0}}));
    EXPECT_EQ(box.GetTextRect(), rect<float>(0, 0, 72, 30));

    // Laying out again does not grow the text.
    box.SetSize(100, 30, 0);
    EXPECT_EQ(box.GetText(), "aaaa bbbb cccc dddd eeee ffff gggg hhhh ");

    // Moving keeps the wrap and shifts every line.
    box.SetPos(5, 7, 0);
    EXPECT_EQ(box.GetLinePositions()[2], vec2(5, 7));
    EXPECT_TRUE(box.HitTest(90, 30));
}

TEST_F(TextFixture, TextBoxLineFeedsColourCodesAndAlignment)
{
    box.SetPos(0, 0, 0);
    box.SetSize(100, 50, 0);
    box.SetAlign(cAlign::Right | cAlign::Top);
    box.SetText("^FF0000FFaaaa ^^bb\ncc");
    EXPECT_EQ(box.GetLines(), (std::vector<string>{"^FF0000FFaaaa ^^bb", "cc"}));
    // Codes and carets add no width: 32 + 8 + 16 = 56 and 16 wide.
    EXPECT_EQ(box.GetLinePositions(), (std::vector<vec2>{{44, 40}, {84, 30}}));
    EXPECT_EQ(box.GetTextRect(), rect<float>(44, 30, 56, 20));
}

TEST_F(TextFixture, TextBoxWithoutRoomOrLineHeightShowsNothing)
{
    // A word longer than the box opens a line of its own.
    box.SetSize(20, 100, 0);
    box.SetText("aaaaaaaa");
    EXPECT_EQ(box.GetLines(), (std::vector<string>{"", "aaaaaaaa"}));

    cTextBoxSysCtrl plain("plain", nullptr);
    plain.SetFontPrt("noinit");
    plain.SetSize(100, 100, 0);
    plain.SetText("some words here");
    EXPECT_TRUE(plain.GetLines().empty());
    EXPECT_EQ(plain.GetTextRect().h, 0.0f);
    plain.Draw();

    box.SetSize(100, 0, 0);
    box.SetText("aaaa bbbb cccc dddd eeee ffff");
    EXPECT_LE(box.GetLines().size(), 1u);
}

TEST_F(TextFixture, CheckBoxTextIsPartOfItsHitArea)
{
    cCheckBoxSysCtrl box("c", nullptr);
    box.SetFontPrt("mono");
    box.SetPos(0, 0, 0);
    box.SetSize(100, 20, 0);
    box.SetText("abc");
    EXPECT_EQ(box.GetLabel().GetTextRect(), rect<float>(20, 5, 24, 10));
    EXPECT_TRUE(box.HitTest(30, 10));
    EXPECT_FALSE(box.HitTest(60, 10));
    EXPECT_TRUE(box.HitTest(10, 10));
}

} // namespace
