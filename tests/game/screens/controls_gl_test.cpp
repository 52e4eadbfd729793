// The game's controls and a fading screen on a real render device: each
// state's picture comes from the right band of the skin, a screen halfway
// through its fade is half transparent and grown about the middle, and a
// hint dims everything around its target evenly.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/engine_fixture.h"
#include "engine/core/format.h"
#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/window_functions.h"
#include "game/shell/loading.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

struct cRgb {
    int r, g, b;
};

#define EXPECT_RGB(px, R, G, B)           \
    do {                                  \
        const cRgb p_ = (px);             \
        EXPECT_NEAR(p_.r, R, 4) << "red"; \
        EXPECT_NEAR(p_.g, G, 4) << "green"; \
        EXPECT_NEAR(p_.b, B, 4) << "blue"; \
    } while (0)

// The skin: four bands from the top, red, green, blue, white; each control
// state's picture is one band.
constexpr float kBand = 0.25f;

class ControlsGL : public vektest::EngineFixture {
protected:
    ControlsGL() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        m_strRoot = vektest::MakeTempDir("ControlsGL");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        const uint8_t bands[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        std::vector<uint8_t> pixels;
        for (int row = 0; row < 64; ++row)
            for (int x = 0; x < 16; ++x) {
                const uint8_t* c = bands[row / 16];
                pixels.insert(pixels.end(), {c[0], c[1], c[2], 255});
            }
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/skin.png", vektest::MakePNG(16, 64, 6, 8, pixels)));
        ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/skin")), 0);
        SetInterfaceSoundHook(nullptr);
    }

    vek::cWindow* Window(const char* name, vek::cWindowFunction* function)
    {
        auto* window = new vek::cWindow(function, m_pGame->pGUI);
        window->SetName(name);
        return window;
    }

    std::unique_ptr<vek::cImage> Frame()
    {
        vek::g_pRender->SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        if (vek::g_pRender->Begin() != 0) return nullptr;
        vek::g_pRender->Clear();
        m_pGame->pGUI->Draw();
        vek::g_pRender->End();
        std::unique_ptr<vek::cImage> frame = vek::g_pRender->ReadFrontBuffer(nullptr);
        vek::g_pRender->SwapBuffers();
        return frame;
    }
    static cRgb At(const vek::cImage& image, int x, int y)
    {
        const uint8_t* p = image.GetLevel(0) + (static_cast<size_t>(y) * image.GetWidth() + x) * 3;
        return {p[0], p[1], p[2]};
    }

    std::string m_strRoot;
};

TEST_F(ControlsGL, EveryStateDrawsItsOwnPicture)
{
    vek::cWindow* w = Window("controls", new vek::cWindowFunction());
    cButtonCtrl* buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = new cButtonCtrl(vek::Formatted("b%i", i), w);
        buttons[i]->SetTexture("skin", 0);
        buttons[i]->SetUVSize(1.0f, kBand, vek::cCtrl::e_btnNormal);
        buttons[i]->SetUVPos(0.0f, 1.0f - kBand, 0);
        buttons[i]->SetPos(100.0f + 150.0f * static_cast<float>(i), 600.0f, 0);
        buttons[i]->SetSize(100.0f, 50.0f, 0);
    }
    buttons[1]->OnMessage(vek::cGUI::e_wndLButtonDown, 0, 0);
    buttons[2]->OnMessage(vek::cGUI::e_wndMouseEnter, 0, 0);
    buttons[3]->OnMessage(vek::cGUI::e_wndMouseEnter, 0, 0);
    buttons[3]->EnableState(vek::cCtrl::e_Disabled);

    cCheckBoxCtrl* boxes[4];
    for (int i = 0; i < 4; ++i) {
        boxes[i] = new cCheckBoxCtrl(vek::Formatted("c%i", i), w);
        boxes[i]->SetTexture("skin", vek::cCtrl::e_cbNormal | vek::cCtrl::e_cbPush);
        boxes[i]->SetUVSize(1.0f, kBand, vek::cCtrl::e_cbNormal | vek::cCtrl::e_cbPush);
        boxes[i]->SetUVPos(0.0f, 1.0f - kBand, vek::cCtrl::e_cbNormal);
        boxes[i]->SetUVPos(0.0f, 1.0f - 3.0f * kBand, vek::cCtrl::e_cbPush);
        boxes[i]->SetPos(100.0f + 150.0f * static_cast<float>(i), 400.0f, 0);
        boxes[i]->SetSize(50.0f, 50.0f, 0);
    }
    boxes[1]->OnMessage(vek::cGUI::e_wndMouseEnter, 0, 0);
    boxes[2]->SetCheck(true);
    boxes[3]->SetCheck(true);
    boxes[3]->OnMessage(vek::cGUI::e_wndMouseEnter, 0, 0);

    cSliderCtrlEx* sliders[2];
    for (int i = 0; i < 2; ++i) {
        sliders[i] = new cSliderCtrlEx(vek::Formatted("s%i", i), w);
        sliders[i]->SetTexture("skin", 0);
        sliders[i]->SetTexture("skin", vek::cCtrl::e_sldImage);
        sliders[i]->SetUVSize(1.0f, kBand, 0);
        sliders[i]->SetUVPos(0.0f, 1.0f - kBand, 0);
        sliders[i]->SetUVSize(1.0f, kBand, vek::cCtrl::e_sldImage);
        sliders[i]->SetUVPos(0.0f, 1.0f - 3.0f * kBand, vek::cCtrl::e_sldImage);
        sliders[i]->SetPos(100.0f + 400.0f * static_cast<float>(i), 200.0f, 0);
        sliders[i]->SetSize(300.0f, 40.0f, 0);
        sliders[i]->SetSize(40.0f, 40.0f, vek::cCtrl::e_sldImage);
        sliders[i]->SetValue(0.0f);
    }
    sliders[1]->OnMessage(vek::cGUI::e_wndMouseEnter, 0, 0);

    m_pGame->pGUI->ShowWindow("controls");
    std::unique_ptr<vek::cImage> frame = Frame();
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->GetWidth(), 1024);
    // Buttons: normal red, pushed green, hover blue, disabled white.
    EXPECT_RGB(At(*frame, 150, 625), 255, 0, 0);
    EXPECT_RGB(At(*frame, 300, 625), 0, 255, 0);
    EXPECT_RGB(At(*frame, 450, 625), 0, 0, 255);
    EXPECT_RGB(At(*frame, 600, 625), 255, 255, 255);
    // Check boxes: box red, hovered box green, check blue, hovered check white.
    EXPECT_RGB(At(*frame, 125, 425), 255, 0, 0);
    EXPECT_RGB(At(*frame, 275, 425), 0, 255, 0);
    EXPECT_RGB(At(*frame, 425, 425), 0, 0, 255);
    EXPECT_RGB(At(*frame, 575, 425), 255, 255, 255);
    // Sliders: track and thumb, then both hovered.
    EXPECT_RGB(At(*frame, 300, 220), 255, 0, 0);
    EXPECT_RGB(At(*frame, 120, 220), 0, 0, 255);
    EXPECT_RGB(At(*frame, 700, 220), 0, 255, 0);
    EXPECT_RGB(At(*frame, 520, 220), 255, 255, 255);
    // Between the controls nothing is drawn.
    EXPECT_RGB(At(*frame, 225, 625), 0, 0, 0);
}

TEST_F(ControlsGL, AScreenHalfwayInIsHalfSeenAndGrownAboutTheMiddle)
{
    auto* fader = new cBaseWF();
    vek::cWindow* w = Window("fader", fader);
    auto* image = new vek::cImageCtrl("red", w);
    image->SetTexture("skin");
    image->SetUVPos(0.0f, 1.0f - kBand, 0);
    image->SetUVSize(1.0f, kBand, 0);
    image->SetPos(462.0f, 334.0f, 0);
    image->SetSize(100.0f, 100.0f, 0);

    m_pGame->pGUI->ShowWindow("fader");
    std::unique_ptr<vek::cImage> frame = Frame();
    ASSERT_TRUE(frame);
    // A screen starts unseen.
    EXPECT_RGB(At(*frame, 512, 384), 0, 0, 0);

    for (int i = 0; i < 8; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);
    const float opacity = fader->GetFade().m_Value;
    ASSERT_GT(opacity, 0.3f);
    ASSERT_LT(opacity, 0.7f);
    frame = Frame();
    ASSERT_TRUE(frame);
    const int red = static_cast<int>(255.0f * opacity);
    EXPECT_RGB(At(*frame, 512, 384), red, 0, 0);
    // Scaled by 1.1 - 0.1 * opacity about (512, 384): the right edge moves
    // from 562 to 512 + 50 * scale.
    const float edge = 512.0f + 50.0f * (1.1f - 0.1f * opacity);
    EXPECT_RGB(At(*frame, static_cast<int>(edge) - 1, 384), red, 0, 0);
    EXPECT_RGB(At(*frame, static_cast<int>(edge) + 2, 384), 0, 0, 0);
    EXPECT_GT(edge, 563.0f);

    // Once whole it draws plainly, and nothing of the fade stays behind.
    for (int i = 0; i < 30; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);
    frame = Frame();
    ASSERT_TRUE(frame);
    EXPECT_RGB(At(*frame, 512, 384), 255, 0, 0);
    EXPECT_RGB(At(*frame, 563, 384), 0, 0, 0);
}

TEST_F(ControlsGL, AHintDimsEvenlyAllAroundItsTarget)
{
    // The highlight's picture as the pack makes it: a dim border around a
    // clear middle half.
    std::vector<uint8_t> dim;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool clear = x >= 16 && x < 48 && y >= 16 && y < 48;
            dim.insert(dim.end(), {0, 0, 0, static_cast<uint8_t>(clear ? 0 : 120)});
        }
    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/dim.png", vektest::MakePNG(64, 64, 6, 8, dim)));
    ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/dim")), 0);

    // A white screen under the hint (the skin's bottom band).
    vek::cWindow* back = Window("back", new vek::cWindowFunction());
    auto* white = new vek::cImageCtrl("white", back);
    white->SetTexture("skin");
    white->SetUVPos(0.25f, 0.05f, 0);
    white->SetUVSize(0.5f, 0.15f, 0);
    white->SetSize(1024.0f, 768.0f, 0);
    m_pGame->pGUI->ShowWindow("back");

    auto* hint = new cHintWF();
    vek::cWindow* w = Window("hint", hint);
    auto* highlight = new vek::cImageCtrl("highlight", w);
    highlight->SetTexture("dim");
    highlight->SetUVPos(0.25f, 0.25f, 0);
    highlight->SetUVSize(0.5f, 0.5f, 0);
    for (const char* name : {"arrow", "text", "frame", "close"}) new vek::cLabelCtrl(name, w);
    m_pGame->pGUI->SendMessage(w->GetID(), vek::cGUI::e_wndAfterCreate, 0, 0);
    ASSERT_TRUE(hint->IsReady());
    hint->SetHint("", vek::rectf(300.0f, 250.0f, 130.0f, 90.0f), vek::vec2(-1.0f, -1.0f), 0, 0);
    m_pGame->pGUI->ShowWindow("hint");
    for (int i = 0; i < 60; ++i) m_pGame->pGUI->Update(1.0f / 30.0f);
    ASSERT_EQ(hint->GetFade().m_Value, 1.0f);

    std::unique_ptr<vek::cImage> frame = Frame();
    ASSERT_TRUE(frame);
    const int level = 255 - 120;  // white under the dim border
    EXPECT_RGB(At(*frame, 20, 20), level, level, level);
    EXPECT_RGB(At(*frame, 365, 295), 255, 255, 255);  // the target stays clear
    // Next to every side and corner of the target, and along the seams
    // where the dim quads meet, the same dim as far away.
    for (const auto& p : {std::pair<int, int>{299, 295}, {298, 260}, {430, 295}, {431, 330}, {365, 249},
                          {320, 248}, {365, 340}, {410, 341}, {299, 249}, {430, 340}, {299, 100}, {430, 600}}) {
        SCOPED_TRACE(std::to_string(p.first) + "," + std::to_string(p.second));
        EXPECT_RGB(At(*frame, p.first, p.second), level, level, level);
    }
}

}  // namespace
