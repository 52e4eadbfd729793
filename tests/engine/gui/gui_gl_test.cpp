// The GUI on a real renderer: a window holding one control of each family is
// drawn, driven by injected mouse events, and its picture is checked at
// chosen pixels against the expected colours.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "engine/core/image.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "gui_test_helpers.h"
#include "platform/window.h"

using namespace vek;
using namespace guitest;

namespace {

struct cRGB {
    int r, g, b;
};

constexpr cRGB kBlack{0, 0, 0};
constexpr cRGB kRed{255, 0, 0};
constexpr cRGB kGreen{0, 255, 0};
constexpr cRGB kBlue{0, 0, 255};
constexpr cRGB kWhite{255, 255, 255};

void MakeTexture(const char* name, cRGB c, int alpha = 255)
{
    cImage image(e_pfRGBA, 8, 8, 1);
    uint8_t* p = image.GetLevel(0);
    for (int i = 0; i < 64; ++i) {
        p[i * 4 + 0] = static_cast<uint8_t>(c.r);
        p[i * 4 + 1] = static_cast<uint8_t>(c.g);
        p[i * 4 + 2] = static_cast<uint8_t>(c.b);
        p[i * 4 + 3] = static_cast<uint8_t>(alpha);
    }
    new cTexture(&image, name, false);
}

class GuiPicture : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        platform::cWindowSystem& ws = platform::WindowSystem();
        ASSERT_TRUE(ws.Init());
        platform::cWindowDesc desc;
        desc.title = "gui test";
        ASSERT_TRUE(ws.CreateWindow(desc));
        CreateRender();
        ASSERT_EQ(g_pRender->Init(cRenderSettings()), 0);
        g_pRender->SetViewport(0, 0, 1024, 768);
        CreateTextureManager();
        CreateFontManager();
        MakeTexture("red", kRed);
        MakeTexture("green", kGreen);
        MakeTexture("blue", kBlue);
        MakeTexture("white", kWhite);
        MakeTexture("clear", kRed, 0);
        // Capital letters as solid 8 x 10 blocks.
        auto* font = new cFont("block");
        font->Init("", "", 0, 10.0f);
        font->Texture("white", 8, 8);
        for (char c = 'A'; c <= 'Z'; ++c) font->Char(string(1, c), 8, recti(0, 0, 8, 8), 0, 9);
        font->Char(" ", 0, recti(0, 0, 0, 0), 0, 9);
    }
    static void TearDownTestSuite()
    {
        DestroyFontManager();
        if (g_pTextureManager) g_pTextureManager->OnDeleteContext();
        DestroyTextureManager();
        if (g_pRender) g_pRender->Free();
        DestroyRender();
        platform::WindowSystem().DestroyWindow();
    }

protected:
    void SetUp() override
    {
        gui = MakeGUI();
        window = MakeWindow(*gui, "all", &log);
        Build();
        gui->ShowWindow("all");
        gui->GetCursor()->Set("white", vec2(16, 16), cAlign::Left | cAlign::Top, 1, 1);
    }

    void Build()
    {
        auto* image = new cImageCtrl("image", window);
        image->SetPos(10, 10, 0);
        image->SetSize(50, 50, 0);
        image->SetTexture("red");

        auto* frame = new cFrameCtrl("frame", window);
        frame->SetPos(70, 10, 0);
        frame->SetSize(50, 50, 0);
        frame->SetSize(10, 10, cCtrl::e_frmBorder);
        frame->SetUVSize(0.25f, 0.25f, cCtrl::e_frmBorder);
        frame->SetTexture("green");

        auto* label = new cLabelSysCtrl("label", window);
        label->SetFontPrt("block");
        label->SetPos(130, 10, 0);
        label->SetSize(100, 20, 0);
        label->SetColor(0, 0, 1);
        label->SetText("AB");

        button = new cButtonSysCtrl("button", window);
        button->SetPos(200, 10, 0);
        button->SetSize(80, 30, 0);
        button->SetTexture("green", cCtrl::e_btnNormal);
        button->SetTexture("red", cCtrl::e_btnPush);

        check = new cCheckBoxSysCtrl("check", window);
        check->SetPos(300, 10, 0);
        check->SetSize(100, 20, 0);
        check->SetTexture("blue", cCtrl::e_cbNormal);
        check->SetTexture("red", cCtrl::e_cbPush);

        slider = new cSliderSysCtrl("slider", window);
        slider->SetPos(400, 10, 0);
        slider->SetSize(200, 20, 0);
        slider->SetSize(10, 20, cCtrl::e_sldImage);
        slider->SetTexture("green", 0);
        slider->SetTexture("red", cCtrl::e_sldImage);

        auto* bar = new cProgressBarSysCtrl("progress", window);
        bar->SetPos(10, 100, 0);
        bar->SetSize(200, 20, 0);
        bar->SetTexture("red");
        bar->SetValue(0.5f);

        edit = new cEditSysCtrl("edit", window);
        edit->SetPos(10, 150, 0);
        edit->SetSize(200, 30, 0);
        edit->SetSize(4, 4, cCtrl::e_frmBorder);
        edit->SetTexture("blue", 0);
        edit->SetFontPrt("block");

        list = new cListSysCtrl("list", window);
        list->SetPos(300, 100, 0);
        list->SetSize(200, 64, 0);
        list->SetSize(0, 16, cCtrl::e_lstItems);
        list->SetTexture("green", cCtrl::e_lstSelection);
        list->SetFontPrt("block");
        list->SetColor(1, 1, 1, cCtrl::e_lstNormal);
        list->SetColor(1, 0, 0, cCtrl::e_lstHighlight);
        for (const char* text : {"ONE", "TWO", "SIX"}) list->InsertItem(99, text, 0);

        auto* images = new cImageListSysCtrl("images", window);
        images->SetPos(600, 100, 0);
        images->SetSize(64, 32, 0);
        images->SetSize(32, 32, cCtrl::e_lstItems);
        images->InsertItem(99, "red", rect<float>(0, 0, 1, 1), 0);
        images->InsertItem(99, "blue", rect<float>(0, 0, 1, 1), 0);

        auto* tools = new cToolbarSysCtrl("tools", window);
        tools->SetPos(700, 100, 0);
        tools->SetSize(32, 32, 0);
        tools->SetSize(32, 32, cCtrl::e_lstItems);
        tools->InsertItem(0, "green", rect<float>(0, 0, 1, 1), 0);

        auto* text = new cTextBoxSysCtrl("text", window);
        text->SetFontPrt("block");
        text->SetPos(10, 200, 0);
        text->SetSize(40, 40, 0);
        text->SetAlign(cAlign::Left | cAlign::Top);
        text->SetText("AB CD");

        // Transparent texels are dropped, not drawn over what lies below.
        auto* glass = new cImageCtrl("glass", window);
        glass->SetPos(10, 10, 0);
        glass->SetSize(20, 20, 0);
        glass->SetTexture("clear");
    }

    std::unique_ptr<cImage> Render()
    {
        EXPECT_EQ(g_pRender->Begin(), 0);
        g_pRender->SetClearColor(0, 0, 0, 1);
        g_pRender->Clear();
        gui->Draw();
        g_pRender->End();
        recti r;
        auto image = g_pRender->ReadFrontBuffer(&r);
        EXPECT_TRUE(image);
        EXPECT_EQ(r.w, 1024);
        EXPECT_EQ(r.h, 768);
        return image;
    }

    // The colour at a GUI point (rows are stored bottom first, as GUI y).
    static ::testing::AssertionResult At(const cImage& image, int x, int y, cRGB want)
    {
        const uint8_t* p = image.GetLevel(0) + (static_cast<size_t>(y) * 1024 + x) * 3;
        const cRGB got{p[0], p[1], p[2]};
        const int kTolerance = 8;
        if (std::abs(got.r - want.r) <= kTolerance && std::abs(got.g - want.g) <= kTolerance &&
            std::abs(got.b - want.b) <= kTolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") got (" << got.r << ", "
                                             << got.g << ", " << got.b << ") want (" << want.r
                                             << ", " << want.g << ", " << want.b << ")";
    }

    void MoveTo(int gx, int gy) { gui->OnMouseMove(gx, 768 - gy); }
    void Press(int gx, int gy) { gui->OnMouseButton(false, 0, gx, 768 - gy); }
    void Release(int gx, int gy) { gui->OnMouseButton(true, 0, gx, 768 - gy); }

    cLog log;
    std::unique_ptr<cGUI> gui;
    cWindow* window = nullptr;
    cButtonSysCtrl* button = nullptr;
    cCheckBoxSysCtrl* check = nullptr;
    cSliderSysCtrl* slider = nullptr;
    cEditSysCtrl* edit = nullptr;
    cListSysCtrl* list = nullptr;
};

TEST_F(GuiPicture, EveryControlFamilyDrawsWhereItStands)
{
    MoveTo(1000, 700);
    auto img = Render();
    ASSERT_TRUE(img);
    const cImage& p = *img;
    EXPECT_TRUE(At(p, 35, 35, kRed));      // image
    EXPECT_TRUE(At(p, 15, 15, kRed));      // under the transparent image
    EXPECT_TRUE(At(p, 95, 35, kGreen));    // frame body
    EXPECT_TRUE(At(p, 72, 12, kGreen));    // frame corner
    EXPECT_TRUE(At(p, 134, 15, kBlue));    // label glyph, tinted
    EXPECT_TRUE(At(p, 138, 15, kBlack));   // the gap between glyphs
    EXPECT_TRUE(At(p, 240, 25, kGreen));   // button, normal
    EXPECT_TRUE(At(p, 310, 20, kBlue));    // check box, unchecked
    EXPECT_TRUE(At(p, 500, 20, kRed));     // slider thumb in the middle
    EXPECT_TRUE(At(p, 420, 20, kGreen));   // slider track
    EXPECT_TRUE(At(p, 50, 110, kRed));     // progress bar, filled half
    EXPECT_TRUE(At(p, 150, 110, kBlack));  // progress bar, empty half
    EXPECT_TRUE(At(p, 100, 165, kBlue));   // edit frame
    EXPECT_TRUE(At(p, 310, 156, kWhite));  // first list row's text, clear of the edge
    EXPECT_TRUE(At(p, 302, 156, kBlack));  // the row's padding
    EXPECT_TRUE(At(p, 616, 116, kRed));    // image list, first cell
    EXPECT_TRUE(At(p, 648, 116, kBlue));   // image list, second cell
    EXPECT_TRUE(At(p, 716, 116, kGreen));  // toolbar
    EXPECT_TRUE(At(p, 12, 235, kWhite));   // text box, first line at the top
    EXPECT_TRUE(At(p, 12, 225, kWhite));   // second line below it
    EXPECT_TRUE(At(p, 1008, 690, kWhite)); // cursor sprite below its hot spot
    EXPECT_TRUE(At(p, 990, 690, kBlack));
}

TEST_F(GuiPicture, InputChangesThePictureAndNotifiesTheWindow)
{
    // Button held: pushed frame.
    MoveTo(240, 25);
    Press(240, 25);
    {
        auto img = Render();
        EXPECT_TRUE(At(*img, 240, 25, kRed));
    }
    Release(240, 25);

    // Check box checked on the press.
    MoveTo(310, 20);
    Press(310, 20);
    Release(310, 20);

    // Slider: focus, then drag to a quarter.
    MoveTo(500, 20);
    Press(500, 20);
    MoveTo(450, 20);
    Release(450, 20);

    // Second list row selected: the selection frame behind its text.
    MoveTo(480, 140);
    Press(480, 140);
    Release(480, 140);

    // Typing into the edit field.
    MoveTo(100, 165);
    Press(100, 165);
    Release(100, 165);
    gui->OnChar('A');
    gui->Update(1.0f / 30.0f);

    auto img = Render();
    EXPECT_TRUE(At(*img, 240, 25, kGreen));
    EXPECT_TRUE(At(*img, 310, 20, kRed));
    EXPECT_TRUE(At(*img, 450, 20, kRed));
    EXPECT_TRUE(At(*img, 500, 20, kGreen));
    EXPECT_TRUE(At(*img, 480, 140, kGreen));
    EXPECT_TRUE(At(*img, 480, 156, kBlack));
    EXPECT_TRUE(At(*img, 18, 165, kWhite));  // the typed glyph inside the border
    EXPECT_EQ(edit->GetText(), "A");

    const unsigned w = window->GetID();
    const auto id = [](const cCtrl* c) { return static_cast<unsigned>(c->GetID()); };
    EXPECT_EQ(Only(log, {48, 49, 50, 53}),
              (cLog{{w, 53, 1, id(list)},
                    {w, 48, 0, id(button)},
                    {w, 49, 1, id(check)},
                    {w, 50, 0, id(edit)}}));
    EXPECT_EQ(Only(log, {51}).back(), (cRecord{w, 51, 25, id(slider)}));
}

} // namespace
