// The renderer, textures, the 2D layer and text on a real device: every
// check draws a frame and reads it back.
#include <gtest/gtest.h>

#include <cstring>

#include "graphics_fixture.h"

using namespace vek;
using vektest::cPixel;

namespace {

class Renderer : public vektest::GraphicsFixture {
protected:
    // A texture of w x h RGBA pixels given bottom row first.
    uint32_t MakeTexture(const std::string& name, int w, int h, const std::vector<uint8_t>& rgba)
    {
        cImage img(e_pfRGBA, w, h, 1);
        std::memcpy(img.GetLevel(0), rgba.data(), rgba.size());
        return (new cTexture(&img, name, false))->GetId();
    }
};

TEST_F(Renderer, InitReportsTheDeviceAndItsCaps)
{
    EXPECT_TRUE(g_pRender->HasDevice());
    EXPECT_EQ(g_pRender->GetViewport(), recti(0, 0, 1024, 768));
    EXPECT_EQ(Logged("Attempt #0 to create Direct3D device"), 1);
    EXPECT_EQ(Logged("Attempt #1"), 0);
    g_pRender->DumpCaps();
    const std::string log = Log();
    EXPECT_NE(log.find("MaxTextureWidth = "), std::string::npos);
    EXPECT_EQ(log.find("MaxTextureWidth = 0"), std::string::npos);
    EXPECT_EQ(log.find("MaxAnisotropy = 0"), std::string::npos);
    recti rect;
    auto shot = g_pRender->ReadFrontBuffer(&rect);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->GetFormatId(), 4);
    EXPECT_EQ(rect, recti(0, 0, 1024, 768));
}

TEST_F(Renderer, PresentParametersFollowTheWishes)
{
    const gfx::cPresentParams& pp = g_pRender->GetPresentParams();
    // Depth without stencil on a 32-bit desktop: a 16-bit depth buffer.
    EXPECT_EQ(pp.backBufferFormat, gfx::eFormat::A8R8G8B8);
    EXPECT_TRUE(pp.autoDepthStencil);
    EXPECT_EQ(pp.depthFormat, gfx::eFormat::D16);
    EXPECT_EQ(Logged("Depth&amp;stencil surface not used") + Logged("Get backbuffer surface. Ok"), 1);

    cRenderSettings s;
    s.iDepthStencil = 0x101;
    s.iAntiAlias = 3;
    ASSERT_EQ(g_pRender->FillPresentParameters(s), 0);
    EXPECT_EQ(g_pRender->GetPresentParams().depthFormat, gfx::eFormat::D24S8);
    EXPECT_EQ(g_pRender->GetPresentParams().multiSample, 2) << "any value but 4 asks for two samples";
    s.iDepthStencil = 0;
    s.iAntiAlias = 4;
    ASSERT_EQ(g_pRender->FillPresentParameters(s), 0);
    EXPECT_FALSE(g_pRender->GetPresentParams().autoDepthStencil);
    EXPECT_EQ(g_pRender->GetPresentParams().multiSample, 4);

    // A multisampled device with a stencil buffer draws and reads back too.
    g_pTextureManager->OnDeleteContext();
    g_pRender->Free();
    m_Settings.iDepthStencil = 0x101;
    m_Settings.iAntiAlias = 4;
    ASSERT_EQ(g_pRender->Init(m_Settings), 0);
    g_pTextureManager->OnCreateContext();
    EXPECT_EQ(Logged("Create own 32bit surface. Ok"), 1);
    BeginFrame(0, 0, 1);
    m_pBatch->AddQuad(0, rectf(100, 100, 10, 10), 0xFFFF0000u, rectf(0, 0, 1, 1));
    EndFrame();
    EXPECT_PIXEL(At(105, 105), 255, 0, 0);
    EXPECT_PIXEL(At(50, 50), 0, 0, 255);
}

TEST_F(Renderer, DefaultTextureAndTheHalfPixelRule)
{
    BeginFrame();
    // An id beyond the table draws the default checkerboard.
    m_pBatch->AddQuad(999, rectf(0, 0, 64, 64), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
    // A one-unit untextured quad at x = 10 covers exactly pixel column 10.
    m_pBatch->AddQuad(0, rectf(10, 100, 1, 1), 0xFF00FF00u, rectf(0, 0, 1, 1));
    EndFrame();
    EXPECT_PIXEL(At(0, 0), 255, 255, 255);
    EXPECT_PIXEL(At(8, 0), 255, 0, 0);
    EXPECT_PIXEL(At(0, 8), 255, 0, 0);
    EXPECT_PIXEL(At(9, 9), 255, 255, 255);
    EXPECT_PIXEL(At(63, 63), 255, 255, 255);
    EXPECT_PIXEL(At(64, 0), 0, 0, 0);
    EXPECT_PIXEL(At(10, 100), 0, 255, 0);
    EXPECT_PIXEL(At(9, 100), 0, 0, 0);
    EXPECT_PIXEL(At(11, 100), 0, 0, 0);
    EXPECT_PIXEL(At(10, 101), 0, 0, 0);
    EXPECT_EQ(g_pRender->GetLastFrameCounters().calls, 2);
    EXPECT_EQ(g_pRender->GetLastFrameCounters().vertices, 12);
}

TEST_F(Renderer, BlendModesAlphaTestAndModulation)
{
    const uint32_t tex = MakeTexture("half", 2, 1, {255, 255, 255, 0, 255, 255, 255, 255});
    BeginFrame();
    // Alpha test: the transparent texel is not drawn at all.
    SetBlendMode(0, 0.05f);
    m_pBatch->AddQuad(tex, rectf(0, 0, 2, 1), 0xFFFF0000u, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    SetBlendMode(0, 0);
    // Alpha blending: half of white over black.
    m_pBatch->uRunCount = 0;
    SetBlendMode(1);
    m_pBatch->AddQuad(0, rectf(10, 0, 2, 2), 0x80FFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    // Additive: the source weighted by itself is added (a half grey adds a quarter).
    m_pBatch->uRunCount = 0;
    SetBlendMode(2);
    m_pBatch->AddQuad(0, rectf(20, 0, 2, 2), 0xFF808080u, rectf(0, 0, 1, 1));
    m_pBatch->AddQuad(0, rectf(20, 0, 2, 2), 0xFF808080u, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    // Particles: source alpha times the colour, added.
    m_pBatch->uRunCount = 0;
    g_pRender->SetBlendFunc(gfx::e_blendSrcAlpha, gfx::e_blendOne);
    m_pBatch->AddQuad(0, rectf(30, 0, 2, 2), 0x80FFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    // The modulate colour: its alpha halves, its colour tints.
    m_pBatch->uRunCount = 0;
    SetBlendMode(1);
    SetModulateColor(0x80FFFFFFu);
    m_pBatch->AddQuad(tex, rectf(40, 0, 2, 1), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    m_pBatch->uRunCount = 0;
    SetModulateColor(0xFFFF0000u);
    m_pBatch->AddQuad(tex, rectf(50, 0, 2, 1), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    m_pBatch->uRunCount = 0;
    SetModulateColor(0x80FF0000u);
    m_pBatch->AddQuad(tex, rectf(60, 0, 2, 1), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    SetModulateColor(0xFFFFFFFFu);
    SetBlendMode(0);
    m_pBatch->uRunCount = 0;
    EndFrame();
    EXPECT_PIXEL(At(0, 0), 0, 0, 0);
    EXPECT_PIXEL(At(1, 0), 255, 0, 0);
    EXPECT_PIXEL(At(10, 0), 128, 128, 128);
    EXPECT_PIXEL(At(20, 0), 128, 128, 128);
    EXPECT_PIXEL(At(30, 0), 128, 128, 128);
    EXPECT_PIXEL(At(41, 0), 128, 128, 128);
    EXPECT_PIXEL(At(51, 0), 255, 0, 0);
    EXPECT_PIXEL(At(61, 0), 128, 0, 0);
}

TEST_F(Renderer, LitDrawingFadesThroughTheMaterial)
{
    // Drawn outside the 2D layer, as a fading picture is: lighting on, its own
    // projection, no colour in the vertices.
    const uint32_t tex = MakeTexture("pic", 1, 1, {255, 128, 0, 255});
    ASSERT_EQ(g_pRender->Begin(), 0);
    g_pRender->SetClearColor(0, 0, 0, 1);
    g_pRender->Clear();
    Begin2D(1024, 768);
    End2D();
    g_pRender->SetTransform(cRender::e_Projection, MatrixOrtho(0, 800, 0, 600, -10, 10));
    g_pRender->SetTransform(cRender::e_View, matrix4());
    g_pRender->SetTransform(cRender::e_World, matrix4());
    g_pRender->SetBlendFunc(gfx::e_blendSrcAlpha, gfx::e_blendInvSrcAlpha);
    g_pRender->SetVertexFormat(cVertexFormat{true, false, false, 2});
    g_pRender->SetMaterialColor(1, 1, 1, 0.5f);
    g_pRender->SetTexture(g_pTextureManager->Get(tex)->GetDeviceTexture());
    struct cV {
        float x, y, z, u, v;
    };
    const cV quad[6] = {{0, 0, 0, 0, 0}, {400, 0, 0, 1, 0}, {0, 300, 0, 0, 1},
                        {0, 300, 0, 0, 1}, {400, 0, 0, 1, 0}, {400, 300, 0, 1, 1}};
    g_pRender->DrawPrimitives(quad, 2, cRender::e_TriangleList, 6, nullptr);
    // With a colour in the vertices, the alpha comes from them.
    struct cVC {
        float x, y, z;
        uint32_t c;
        float u, v;
    };
    const uint32_t c = 0x40FFFFFFu;
    const cVC quad2[6] = {{400, 300, 0, c, 0, 0}, {800, 300, 0, c, 1, 0}, {400, 600, 0, c, 0, 1},
                          {400, 600, 0, c, 0, 1}, {800, 300, 0, c, 1, 0}, {800, 600, 0, c, 1, 1}};
    g_pRender->SetVertexFormat(g_VertexFormat2D);
    g_pRender->DrawPrimitives(quad2, 2, cRender::e_TriangleList, 6, nullptr);
    g_pRender->SetVertexFormat(cVertexFormat());
    g_pRender->SetBlendFunc(0, 0);
    g_pRender->End();
    m_pFrame = g_pRender->ReadFrontBuffer(nullptr);
    ASSERT_TRUE(m_pFrame);
    // 800 x 600 units stretched over 1024 x 768 pixels.
    EXPECT_PIXEL(At(100, 100), 128, 64, 0);
    EXPECT_PIXEL(At(800, 600), 64, 32, 0);
    EXPECT_PIXEL(At(800, 100), 0, 0, 0);
}

TEST_F(Renderer, ColourTextDrawsRedAndMeasuresNoCode)
{
    // A font whose glyph "X" is an opaque white block of 8 x 16 pixels.
    const uint32_t tex = MakeTexture("font", 16, 16, std::vector<uint8_t>(16 * 16 * 4, 255));
    auto* font = new cFont("mono");
    font->Init("", "", 0, 16);
    font->Texture("font", 0, 0);
    font->Char("X", 8, recti(0, 0, 8, 16), 0, 10);
    ASSERT_EQ(font->iTexture, static_cast<int32_t>(tex));
    const uint32_t id = g_pFontManager->Find("mono");

    BeginFrame();
    SetBlendMode(1);
    uint32_t colour = 0xFFFFFFFFu;
    m_pBatch->AddColorText(id, "^FF0000FFXX", vec2(100.7f, 200.2f), &colour);
    m_pBatch->AddText(id, 0xFF00FF00u, "X", vec2(300, 200));
    m_pBatch->AddText(0, 0xFF00FF00u, "X", vec2(400, 200));
    EndFrame();
    EXPECT_PIXEL(At(100, 200), 255, 0, 0);
    EXPECT_PIXEL(At(107, 215), 255, 0, 0);
    EXPECT_PIXEL(At(108, 208), 0, 0, 0);
    EXPECT_PIXEL(At(110, 208), 255, 0, 0);
    EXPECT_PIXEL(At(99, 208), 0, 0, 0);
    EXPECT_PIXEL(At(100, 216), 0, 0, 0);
    EXPECT_PIXEL(At(303, 208), 0, 255, 0);
    EXPECT_PIXEL(At(403, 208), 0, 0, 0);
    EXPECT_FLOAT_EQ(MeasureColorText(id, "^FF0000FFXX").x, MeasureText(id, "XX").x);
    EXPECT_FLOAT_EQ(MeasureText(id, "XX").x, 18);
}

TEST_F(Renderer, TexturesSurviveTheDeviceGoingAndComing)
{
    // RGB pixels end up four bytes, blue first, alpha 255.
    cImage rgb(e_pfRGB, 4, 2, 1);
    for (int i = 0; i < 24; ++i) rgb.GetLevel(0)[i] = static_cast<uint8_t>(i * 10);
    auto* t = new cTexture(&rgb, "rgb", false);
    ASSERT_TRUE(t->GetDeviceTexture());
    EXPECT_FALSE(t->GetImage()) << "the pixels live on the device";
    EXPECT_EQ(t->GetDeviceTexture()->desc.format.id, 6);
    EXPECT_FALSE(t->OnCreateContext());
    EXPECT_EQ(Logged("OnCreateContext 'rgb'. Device texture already exist."), 1);

    cImage dxt(e_pfDXT1, 16, 16, 5);
    for (int l = 0; l < dxt.GetLevelCount(); ++l)
        for (int i = 0; i < dxt.GetLevelSize(l); ++i) dxt.GetLevel(l)[i] = static_cast<uint8_t>(i * 7 + l);
    auto* d = new cTexture(&dxt, "dxt", false);
    ASSERT_EQ(d->GetDeviceTexture()->desc.filter, 2);

    g_pTextureManager->OnDeleteContext();
    ASSERT_TRUE(t->GetImage());
    const std::vector<uint8_t> first(t->GetImage()->GetLevel(0), t->GetImage()->GetLevel(0) + 32);
    EXPECT_EQ(first[0], 20);  // blue of pixel 0
    EXPECT_EQ(first[2], 0);   // red
    EXPECT_EQ(first[3], 255);
    ASSERT_EQ(d->GetImage()->GetLevelCount(), 5);
    for (int l = 0; l < 5; ++l)
        EXPECT_EQ(std::memcmp(d->GetImage()->GetLevel(l), dxt.GetLevel(l), static_cast<size_t>(dxt.GetLevelSize(l))), 0)
            << "level " << l;

    g_pTextureManager->OnCreateContext();
    g_pTextureManager->OnDeleteContext();
    const std::vector<uint8_t> second(t->GetImage()->GetLevel(0), t->GetImage()->GetLevel(0) + 32);
    EXPECT_EQ(first, second);
    g_pTextureManager->OnCreateContext();
}

TEST_F(Renderer, AShortMipChainDrawsTheSameAfterTheDeviceComesBack)
{
    // 64 x 64 with 3 of its 7 levels: red, green, blue. Drawn at a quarter
    // and smaller it shows the last level it has.
    cImage chain(e_pfRGBA, 64, 64, 3);
    const uint8_t colours[3][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    for (int l = 0; l < 3; ++l)
        for (int i = 0; i < chain.GetLevelSize(l); i += 4) std::memcpy(chain.GetLevel(l) + i, colours[l], 4);
    const uint32_t id = (new cTexture(&chain, "short", false))->GetId();
    auto draw = [&](const char* when) {
        SCOPED_TRACE(when);
        BeginFrame();
        m_pBatch->AddQuad(id, rectf(0, 0, 64, 64), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
        m_pBatch->AddQuad(id, rectf(100, 0, 16, 16), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
        m_pBatch->AddQuad(id, rectf(200, 0, 8, 8), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
        m_pBatch->AddQuad(id, rectf(300, 0, 2, 2), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
        EndFrame();
        EXPECT_PIXEL(At(32, 32), 255, 0, 0);
        EXPECT_PIXEL(At(108, 8), 0, 0, 255);
        EXPECT_PIXEL(At(204, 4), 0, 0, 255);
        EXPECT_PIXEL(At(301, 1), 0, 0, 255);
    };
    draw("first upload");

    // Window and device go and come (as on a display-mode change).
    g_pTextureManager->OnDeleteContext();
    ASSERT_TRUE(g_pTextureManager->Get(id)->GetImage());
    EXPECT_EQ(g_pTextureManager->Get(id)->GetImage()->GetLevelCount(), 3)
        << "only the levels the texture has come back";
    g_pRender->Free();
    ASSERT_EQ(g_pRender->Init(m_Settings), 0);
    g_pTextureManager->OnCreateContext();
    draw("new device");

    // And once more, without a new device in between.
    g_pTextureManager->Get(id)->OnDeleteContext();
    g_pTextureManager->Get(id)->OnCreateContext();
    draw("texture made again");
}

TEST_F(Renderer, DumpListsTheDefaultTexture)
{
    g_pTextureManager->Dump();
    const std::string log = Log();
    EXPECT_NE(log.find("|   0 |                  unnamed | 2D |   64x  64x 32 |   |   |       16 |"),
              std::string::npos);
    EXPECT_NE(log.find("Total Count: 1. Total Size: 16 kb."), std::string::npos);
}

TEST_F(Renderer, DeviceLossResetsOnceAndRebuildsWhatItLost)
{
    std::vector<uint8_t> bytes(64, 0x5A);
    auto* dyn = g_pBufferRegistry->AddVertexBuffer(cBufferRecord::e_usageDynamic, 24, bytes.data(), 64);
    auto* stat = g_pBufferRegistry->AddVertexBuffer(0, 24, bytes.data(), 64);
    ASSERT_TRUE(dyn && stat && dyn->pRecord->pBuffer && stat->pRecord->pBuffer);
    auto* target = new cTexture("target", 2048, 256, false);
    ASSERT_TRUE(target->GetDeviceTexture());
    EXPECT_EQ(target->GetWidth(), 1024) << "halved to fit the viewport";
    auto first = [](cBufferRecord* r) {
        void* p = nullptr;
        if (!r->pBuffer || r->pBuffer->Lock(0, 0, &p, gfx::e_lockReadOnly) != gfx::eResult::Ok) return -1;
        const int v = static_cast<uint8_t*>(p)[0];
        r->pBuffer->Unlock();
        return v;
    };

    // Not resettable yet for one test, then reset, then drawing again.
    g_pRender->MarkDeviceLost();
    g_pRender->GetDevice()->SimulateDeviceLoss(1);
    EXPECT_EQ(g_pRender->Begin(), cRender::e_beginLost);
    EXPECT_EQ(g_pRender->Begin(), cRender::e_beginSkip);
    EXPECT_EQ(Logged("Begin. TestCooperativeLevel return 'device lost'"), 1);
    EXPECT_EQ(Logged("Begin. TestCooperativeLevel return 'device not reset'"), 1);
    ASSERT_EQ(g_pRender->Begin(), cRender::e_beginOk);
    g_pRender->End();
    EXPECT_EQ(first(dyn->pRecord), 0) << "dynamic contents are gone";
    EXPECT_EQ(first(stat->pRecord), 0x5A) << "static contents stay";
    EXPECT_TRUE(target->GetDeviceTexture()) << "render targets are made again";

    // A present that finds the device lost marks it.
    g_pRender->GetDevice()->SimulateDeviceLoss(0);
    g_pRender->SwapBuffers();
    EXPECT_EQ(Logged("SwapBuffers. Device lost"), 1);
    EXPECT_EQ(g_pRender->Begin(), cRender::e_beginSkip);
    EXPECT_EQ(g_pRender->Begin(), cRender::e_beginOk);
    g_pRender->End();

    // Both kinds survive a whole release of the device.
    g_pRender->WriteBuffer(dyn->pRecord, 0, bytes.data(), 64);
    g_pTextureManager->OnDeleteContext();
    g_pRender->Free();
    EXPECT_FALSE(dyn->pRecord->pBuffer);
    ASSERT_TRUE(dyn->pRecord->pSaved);
    ASSERT_EQ(g_pRender->Init(m_Settings), 0);
    g_pTextureManager->OnCreateContext();
    EXPECT_EQ(first(dyn->pRecord), 0x5A);
    EXPECT_EQ(first(stat->pRecord), 0x5A);
    EXPECT_FALSE(dyn->pRecord->pSaved);
}

TEST_F(Renderer, AnEmptyViewportIsReportedOncePerEpisode)
{
    g_pRender->SetViewport(0, 0, 0, 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g_pRender->Begin(), cRender::e_beginSkip);
    EXPECT_EQ(Logged("Begin. Empty context rect"), 1);
    g_pRender->SetViewport(0, 0, 1024, 768);
    ASSERT_EQ(g_pRender->Begin(), cRender::e_beginOk);
    g_pRender->End();
    g_pRender->SetViewport(0, 0, 1024, 0);
    EXPECT_EQ(g_pRender->Begin(), cRender::e_beginSkip);
    EXPECT_EQ(Logged("Begin. Empty context rect"), 2);
    g_pRender->SetViewport(0, 0, 1024, 768);
}

TEST_F(Renderer, TheStateCacheForgetsDeletedTextures)
{
    const uint32_t a = MakeTexture("a", 1, 1, {255, 0, 0, 255});
    BeginFrame();
    m_pBatch->AddQuad(a, rectf(0, 0, 1, 1), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->Draw();
    // The device texture goes and a new one (quite possibly at the same
    // address) comes: it must be bound, not skipped as already bound.
    g_pTextureManager->Get(a)->OnDeleteContext();
    g_pTextureManager->Get(a)->OnCreateContext();
    m_pBatch->uRunCount = 0;
    m_pBatch->AddQuad(a, rectf(10, 0, 1, 1), 0xFF00FFFFu, rectf(0, 0, 1, 1));
    EndFrame();
    EXPECT_PIXEL(At(0, 0), 255, 0, 0);
    EXPECT_PIXEL(At(10, 0), 0, 0, 0);  // red texture times cyan
}

} // namespace
