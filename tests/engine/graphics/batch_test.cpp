// The 2D batch's geometry and limits, and text layout, without a device.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render.h"
#include "graphics_fixture.h"

using vek::cQuadBatch;
using vek::cVertex2D;
using vek::rectf;
using vek::vec2;

namespace {

const rectf kUnit(0, 0, 1, 1);

TEST(QuadBatch, RunsFollowTextureChanges)
{
    cQuadBatch b;
    ASSERT_TRUE(b.AddQuad(3, rectf(0, 0, 1, 1), 0xFFFFFFFFu, kUnit));
    ASSERT_TRUE(b.AddQuad(3, rectf(0, 0, 1, 1), 0xFFFFFFFFu, kUnit));
    ASSERT_EQ(b.uRunCount, 1u);
    EXPECT_EQ(b.GetRuns()[0].uCount, 12u);
    b.AddQuad(4, rectf(0, 0, 1, 1), 0xFFFFFFFFu, kUnit);
    b.AddQuad(3, rectf(0, 0, 1, 1), 0xFFFFFFFFu, kUnit);
    ASSERT_EQ(b.uRunCount, 3u);
    EXPECT_EQ(b.GetRuns()[1].uFirst, 12u);
    EXPECT_EQ(b.GetRuns()[2].uFirst, 18u);
    // A new batch starts over at vertex 0.
    b.uRunCount = 0;
    b.AddQuad(9, rectf(0, 0, 1, 1), 0, kUnit);
    EXPECT_EQ(b.GetRuns()[0].uFirst, 0u);
}

TEST(QuadBatch, FullBatchRefusesWithoutLosingWhatFitted)
{
    cQuadBatch b;
    ASSERT_TRUE(b.AllocVertices(1, cQuadBatch::e_MaxVertices - 6));
    EXPECT_EQ(b.AddQuad(1, kUnit, 0, kUnit), nullptr) << "would reach vertex 65536";
    EXPECT_EQ(b.GetRuns()[0].uCount, cQuadBatch::e_MaxVertices - 6);
    EXPECT_TRUE(b.AllocVertices(1, 5));
    EXPECT_EQ(b.AllocVertices(2, 0xFFFFFFFFu), nullptr) << "a count that would wrap";

    // Once every run is used, a further texture change is refused and the
    // quads of the last run stay.
    cQuadBatch c;
    for (uint32_t i = 0; i < cQuadBatch::e_MaxRuns; ++i) ASSERT_TRUE(c.AddQuad(i + 1, kUnit, 0, kUnit));
    ASSERT_EQ(c.uRunCount, cQuadBatch::e_MaxRuns);
    EXPECT_EQ(c.AddQuad(9999, kUnit, 0, kUnit), nullptr);
    EXPECT_EQ(c.uRunCount, cQuadBatch::e_MaxRuns);
    EXPECT_EQ(c.GetRuns()[499].uTexture, 500u);
    EXPECT_EQ(c.GetRuns()[499].uCount, 6u);
    EXPECT_TRUE(c.AddQuad(500, kUnit, 0, kUnit)) << "the last run's texture still fits";
    EXPECT_EQ(c.GetRuns()[499].uCount, 12u);
}

TEST(QuadBatch, QuadLineRotationSectorAndFrameGeometry)
{
    cQuadBatch b;
    const cVertex2D* q = b.AddQuad(0, rectf(10, 20, 4, 2), 0x80112233u, rectf(0.25f, 0.5f, 0.5f, 0.25f));
    ASSERT_TRUE(q);
    // BL, BR, TL, TL, BR, TR with the uv corners alike.
    const float xs[6] = {10, 14, 10, 10, 14, 14}, ys[6] = {20, 20, 22, 22, 20, 22};
    const float us[6] = {0.25f, 0.75f, 0.25f, 0.25f, 0.75f, 0.75f}, vs[6] = {0.5f, 0.5f, 0.75f, 0.75f, 0.5f, 0.75f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(q[i].x, xs[i]);
        EXPECT_FLOAT_EQ(q[i].y, ys[i]);
        EXPECT_FLOAT_EQ(q[i].u, us[i]);
        EXPECT_FLOAT_EQ(q[i].v, vs[i]);
        EXPECT_EQ(q[i].z, 0.0f);
        EXPECT_EQ(q[i].color, 0x80112233u);
    }
    // A quarter turn counter-clockwise about the centre (12, 21).
    const cVertex2D* r = b.AddRotatedQuad(0, rectf(10, 20, 4, 2), 0, kUnit, 3.14159265f / 2);
    EXPECT_NEAR(r[0].x, 13.0f, 1e-4);  // BL (-2, -1) -> (1, -2)
    EXPECT_NEAR(r[0].y, 19.0f, 1e-4);
    EXPECT_FLOAT_EQ(r[0].u, 0.0f);

    // A line between equal points lies along the x axis.
    const cVertex2D* l = b.AddLine(vec2(5, 5), vec2(5, 5), 2, 0xFFFFFFFFu, kUnit);
    ASSERT_TRUE(l);
    EXPECT_FLOAT_EQ(l[0].x, 5);
    EXPECT_FLOAT_EQ(l[0].y, 6);
    EXPECT_FLOAT_EQ(l[1].y, 4);
    EXPECT_FLOAT_EQ(l[0].v, 1);
    EXPECT_EQ(b.GetRuns()[b.uRunCount - 1].uTexture, 0u) << "lines are untextured";
    const cVertex2D* up = b.AddLine(vec2(0, 0), vec2(0, 10), 4, 0, kUnit);
    EXPECT_NEAR(up[0].x, -2, 1e-5);  // start + n with n = (-2, 0)
    EXPECT_NEAR(up[5].x, 2, 1e-5);
    EXPECT_NEAR(up[5].y, 10, 1e-5);

    // A full disc of 32 segments.
    b.uRunCount = 0;
    const cVertex2D* s = b.AddSector(7, rectf(0, 0, 1, 1), vec2(100, 100), 10, 32, 0, 2 * 3.14159265f, 0);
    ASSERT_TRUE(s);
    EXPECT_EQ(b.GetRuns()[0].uCount, 96u);
    EXPECT_FLOAT_EQ(s[0].u, 0.5f);
    EXPECT_FLOAT_EQ(s[1].x, 110);
    EXPECT_FLOAT_EQ(s[1].u, 1.0f);
    EXPECT_NEAR(s[95].x, 110, 1e-3);
    EXPECT_EQ(b.AddSector(7, kUnit, vec2(0, 0), 1, 0, 0, 1, 0), nullptr);

    // A frame with no border: degenerate corners and edges, the centre is the rect.
    b.uRunCount = 0;
    const cVertex2D* f = b.AddFrame(2, rectf(10, 10, 30, 20), vec2(0, 0), kUnit, vec2(0, 0), 0, true);
    ASSERT_TRUE(f);
    EXPECT_EQ(b.GetRuns()[0].uCount, 54u);
    const cVertex2D* centre = f + 48;
    EXPECT_FLOAT_EQ(centre[0].x, 10);
    EXPECT_FLOAT_EQ(centre[0].y, 10);
    EXPECT_FLOAT_EQ(centre[5].x, 40);
    EXPECT_FLOAT_EQ(centre[5].y, 30);
    EXPECT_FLOAT_EQ(f[0].x, f[1].x) << "the bottom-left corner has no width";
    // With a border: the bottom-left corner quad spans the border.
    b.uRunCount = 0;
    f = b.AddFrame(2, rectf(10, 10, 30, 20), vec2(4, 3), rectf(0, 0, 1, 1), vec2(0.25f, 0.125f), 0, false);
    EXPECT_EQ(b.GetRuns()[0].uCount, 48u);
    EXPECT_FLOAT_EQ(f[5].x, 14);
    EXPECT_FLOAT_EQ(f[5].y, 13);
    EXPECT_FLOAT_EQ(f[5].u, 0.25f);
    EXPECT_FLOAT_EQ(f[5].v, 0.125f);
}

TEST(Matrices, OrthoMultiplyAndIntersect)
{
    const vek::matrix4 o = vek::MatrixOrtho(0, 800, 0, 600, -10, 10);
    EXPECT_FLOAT_EQ(o.m[0][0], 2.0f / 800);
    EXPECT_FLOAT_EQ(o.m[1][1], 2.0f / 600);
    EXPECT_FLOAT_EQ(o.m[2][2], -0.1f);
    EXPECT_FLOAT_EQ(o.m[3][0], -1);
    EXPECT_FLOAT_EQ(o.m[3][1], -1);
    EXPECT_FLOAT_EQ(o.m[3][2], 0);
    vek::matrix4 a, b;
    a.m[3][0] = 5;                   // translate x by 5
    b.m[0][0] = 2;                   // then scale x by 2
    vek::MatrixMultiply(a, a, b);    // the output may be an input
    EXPECT_FLOAT_EQ(a.m[3][0], 10);
    EXPECT_FLOAT_EQ(a.m[0][0], 2);

    const vek::recti r = vek::IntersectRect(vek::recti(0, 0, 100, 50), vek::recti(80, 20, 50, 50));
    EXPECT_EQ(r, vek::recti(80, 20, 20, 30));
    EXPECT_EQ(vek::IntersectRect(vek::recti(0, 0, 10, 10), vek::recti(20, 20, 5, 5)).w, 0);

    EXPECT_EQ(vek::g_VertexFormat2D.GetFVF(), 0x142u);
    EXPECT_EQ(vek::g_VertexFormat2D.GetSize(), 24);
    const vek::cVertexFormat all{true, true, true, 3};
    EXPECT_EQ(all.GetSize(), 40);
    EXPECT_EQ(all.GetFVF(), 0x152u | (1u << 16));
    EXPECT_EQ(vek::cVertexFormat().GetFVF(), 0u);
}

class Fonts : public vektest::LogFixture {
protected:
    void SetUp() override
    {
        LogFixture::SetUp();
        ASSERT_TRUE(vek::CreateTextureManager());
        ASSERT_TRUE(vek::CreateFontManager());
        m_pFont = new vek::cFont("test");
        m_pFont->Init("a", "b", 3, 16);
        m_pFont->Texture("missing", 128, 64);
        m_pFont->Char("A", 6, vek::recti(0, 0, 8, 16), 1, 7);
        m_pFont->Char("B", 5, vek::recti(8, 16, 8, 16), 0, 6);
        m_pFont->Char("^", 3, vek::recti(0, 0, 4, 4), 0, 4);
        m_pFont->Char("_", 8, vek::recti(16, 0, 8, 16), 0, 8);
        m_pFont->Transform(2, 1, 1);
    }
    void TearDown() override
    {
        vek::DestroyFontManager();
        vek::DestroyTextureManager();
        LogFixture::TearDown();
    }
    vek::cFont* m_pFont = nullptr;
};

TEST_F(Fonts, ManagerIdsAndGlyphRectangles)
{
    EXPECT_EQ(vek::g_pFontManager->Find("unnamed"), 0u);
    EXPECT_EQ(vek::g_pFontManager->Find("test"), 1u);
    EXPECT_EQ(vek::GetFont(77)->GetName(), "unnamed");
    EXPECT_FALSE(vek::CreateFontManager());
    EXPECT_EQ(Logged("Already exist"), 1);
    // Pixel rectangles count y down from the top; v counts up from the bottom.
    const vek::cFont::cGlyph& b = m_pFont->Glyph('B');
    EXPECT_FLOAT_EQ(b.u, 8.0f / 128);
    EXPECT_FLOAT_EQ(b.uw, 8.0f / 128);
    EXPECT_FLOAT_EQ(b.vh, 16.0f / 64);
    EXPECT_FLOAT_EQ(b.v, 1.0f - 16.0f / 64 - 16.0f / 64);
    EXPECT_EQ(m_pFont->iTexture, 0);
    // Bytes above 127 are glyphs like any other.
    m_pFont->Char("\xC0", 9, vek::recti(0, 0, 1, 1), 0, 9);
    EXPECT_FLOAT_EQ(m_pFont->Glyph(0xC0).width, 9);
    m_pFont->Char("", 1, vek::recti(), 0, 1);
    // Without a texture size the pixel values are kept.
    vek::cFont* raw = new vek::cFont("raw");
    raw->Char("A", 1, vek::recti(3, 4, 5, 6), 0, 1);
    EXPECT_FLOAT_EQ(raw->Glyph('A').v, 4);
    EXPECT_FLOAT_EQ(raw->Glyph('A').vh, 6);
    // A loaded texture gives its own size.
    vek::cImage img(vek::e_pfRGBA, 32, 16, 1);
    new vek::cTexture(&img, "glyphs", false);
    raw->Texture("glyphs", 999, 999);
    EXPECT_EQ(raw->iTexture, 1);
    EXPECT_EQ(raw->iTextureWidth, 32);
    EXPECT_EQ(raw->iTextureHeight, 16);
}

TEST_F(Fonts, MeasuringText)
{
    EXPECT_FLOAT_EQ(vek::MeasureText(1, "A").x, 6) << "one glyph: its width only";
    EXPECT_FLOAT_EQ(vek::MeasureText(1, "AB").x, 2 + 7 + 5);
    EXPECT_FLOAT_EQ(vek::MeasureText(1, "AB").y, 16);
    EXPECT_FLOAT_EQ(vek::MeasureText(1, "").x, 0);
    EXPECT_FLOAT_EQ(vek::MeasureText(0, "AB").y, 0) << "font 0 measures with its own empty glyphs";
    EXPECT_FLOAT_EQ(vek::MeasureText(55, "AB").x, 0);
    // Colour codes take no room; a caret with fewer than eight characters
    // after it at the end is skipped too.
    EXPECT_FLOAT_EQ(vek::MeasureColorText(1, "^FF0000FFAB").x, vek::MeasureText(1, "AB").x);
    EXPECT_FLOAT_EQ(vek::MeasureColorText(1, "A^^B").x, 2 + 7 + 5);
    EXPECT_FLOAT_EQ(vek::MeasureColorText(1, "AB^AB").x, 2 + 7 + 2 + 6);
    EXPECT_FLOAT_EQ(vek::MeasureColorText(1, "B").x, 5);
}

TEST_F(Fonts, TextQuadsAndColourCodes)
{
    cQuadBatch b;
    b.AddText(0, 0xFFFFFFFFu, "AB", vec2(0, 0));
    EXPECT_EQ(b.uRunCount, 0u) << "font 0 draws nothing";
    b.AddText(1, 0xFF00FF00u, "", vec2(0, 0));
    EXPECT_EQ(b.uRunCount, 0u);

    // Positions are floored: 10.7 and 10.2 give the same quads.
    b.AddText(1, 0xFF00FF00u, "AB", vec2(10.7f, 20.9f));
    b.AddText(1, 0xFF00FF00u, "AB", vec2(10.2f, 20.1f));
    ASSERT_EQ(b.uRunCount, 1u);
    const cVertex2D* v = b.GetVertices();
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(v[i].x, v[i + 12].x);
        EXPECT_EQ(v[i].y, v[i + 12].y);
    }
    EXPECT_FLOAT_EQ(v[0].x, 11);  // pen 10 + left 1
    EXPECT_FLOAT_EQ(v[1].x, 17);
    EXPECT_FLOAT_EQ(v[2].y, 36);  // 20 + line height
    EXPECT_FLOAT_EQ(v[6].x, 10 + 7 + 2);  // second glyph: advance plus spacing
    EXPECT_EQ(v[0].color, 0xFF00FF00u);

    // "^FF0000FF" then text: nine invisible quads, then red glyphs; lower
    // case digits read the same; the colour carries over.
    b.uRunCount = 0;
    uint32_t colour = 0xFFFFFFFFu;
    b.AddColorText(1, "^FF0000FFA", vec2(0, 0), &colour);
    EXPECT_EQ(colour, 0xFFFF0000u);
    v = b.GetVertices();
    EXPECT_EQ(b.GetRuns()[0].uCount, 60u);
    for (int i = 0; i < 54; ++i) EXPECT_EQ(v[i].color, 0u);
    EXPECT_EQ(v[54].color, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(v[54].x, 1) << "the code does not move the pen";
    uint32_t lower = 0;
    b.AddColorText(1, "^ff0000ffA", vec2(0, 0), &lower);
    EXPECT_EQ(lower, 0xFFFF0000u);
    b.AddColorText(1, "A", vec2(0, 0), &colour);
    EXPECT_EQ(b.GetVertices()[b.GetRuns()[0].uCount - 1].color, 0xFFFF0000u);

    // "^^" is two invisible quads; a short code at the end is drawn as glyphs.
    b.uRunCount = 0;
    b.AddColorText(1, "^^A^AB", vec2(0, 0), nullptr);
    v = b.GetVertices();
    EXPECT_EQ(b.GetRuns()[0].uCount, 36u);
    EXPECT_EQ(v[0].color, 0u);
    EXPECT_EQ(v[12].color, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(v[18].x, 7 + 2) << "the lone caret is a glyph";
    EXPECT_EQ(v[18].color, 0xFFFFFFFFu);

    // The caret uses the "_" glyph, one line high.
    b.uRunCount = 0;
    const cVertex2D* c = b.AddCaret(1, vec2(5, 6), 0xFF0000FFu);
    ASSERT_TRUE(c);
    EXPECT_FLOAT_EQ(c[5].x, 13);
    EXPECT_FLOAT_EQ(c[5].y, 22);
}

class TexturesWithoutDevice : public vektest::LogFixture {
protected:
    void SetUp() override
    {
        LogFixture::SetUp();
        ASSERT_TRUE(vek::CreateTextureManager());
    }
    void TearDown() override
    {
        vek::DestroyTextureManager();
        LogFixture::TearDown();
    }
};

TEST_F(TexturesWithoutDevice, DefaultCheckerboardAndDeviceOrder)
{
    EXPECT_FALSE(vek::CreateTextureManager());
    vek::cTexture* t = vek::g_pTextureManager->Get(0);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->GetName(), "unnamed");
    EXPECT_EQ(vek::g_pTextureManager->Get(42), t) << "a bad id gives the default";
    const vek::cImage* img = t->GetImage();
    ASSERT_TRUE(img);
    // Converted to four bytes, blue first: white, then red from column 8 and row 8.
    EXPECT_EQ(img->GetFormatId(), 6);
    auto px = [&](int r, int c) {
        const uint8_t* p = img->GetLevel(0) + (r * 64 + c) * 4;
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(px(0, 0), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(px(0, 8), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(px(8, 0), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(px(8, 8), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(t->GetWidth(), 64);
}

TEST_F(TexturesWithoutDevice, WarningsSizesAndTheDumpOfPixelsInMemory)
{
    vek::cImage npot(vek::e_pfRGB, 100, 64, 1);
    auto* t = new vek::cTexture(&npot, "wide", false);
    EXPECT_EQ(Logged("Constructor 'wide'. NPOT texture width"), 1);
    EXPECT_EQ(Logged("NPOT texture height"), 0);
    EXPECT_EQ(t->GetId(), 1u);
    EXPECT_EQ(t->GetWidth(), 100);
    // No device: creation fails and keeps the pixels for the next try.
    EXPECT_TRUE(t->OnCreateContext());
    EXPECT_TRUE(t->GetImage());
    t->OnDeleteContext();
    EXPECT_GE(Logged("Device texture not found"), 1);
    vek::cImage dxt(vek::e_pfDXT5, 64, 64, 7);
    new vek::cTexture(&dxt, "blocks", false);
    EXPECT_EQ(vek::g_pTextureManager->Get(2)->GetImage()->GetLevel(0)[0], 0) << "block data is not swapped";

    vek::g_pTextureManager->Dump();
    const std::string log = Log();
    EXPECT_NE(log.find("Textures."), std::string::npos);
    // Without device textures the rows show the pictures in memory.
    EXPECT_NE(log.find("unnamed |"), std::string::npos);
    EXPECT_NE(log.find("|   64x  64x 32 |   |   |       16 |"), std::string::npos);
    EXPECT_NE(log.find("|  100x  64x 32 |   |   |       25 |"), std::string::npos);
    EXPECT_NE(log.find(" blocks | 2D |   64x  64x 32 | X | X |        5 |"), std::string::npos);
    EXPECT_NE(log.find("Total Count: 3."), std::string::npos);
}

class RendererWithoutSystem : public vektest::LogFixture {};

TEST_F(RendererWithoutSystem, ExistsLogsAndRefusesToInit)
{
    ASSERT_TRUE(vek::CreateRender());
    vek::CreateRender();
    EXPECT_EQ(Logged("Already exist"), 1);
    EXPECT_EQ(Logged("d3d8.dll not found"), 1);
    EXPECT_EQ(vek::g_pRender->Init(vek::cRenderSettings()), 2);
    EXPECT_EQ(vek::g_pRender->Begin(), 3);
    vek::g_pRender->DrawPrimitives(0, 3);
    vek::g_pRender->DrawPrimitives(nullptr, 1, vek::cRender::e_TriangleList, 3, nullptr);
    EXPECT_EQ(Logged("Trying to draw empty primitive."), 2);
    EXPECT_EQ(vek::g_pRender->GetFrameCounters().calls, 0);
    vek::g_pRender->SetClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(vek::g_pRender->GetClearColor(), 0xFFFF7F00u);
    EXPECT_FALSE(vek::g_pRender->ReadFrontBuffer(nullptr));

    // Buffers made without a device keep their bytes until there is one.
    ASSERT_TRUE(vek::CreateBufferRegistry());
    std::vector<uint8_t> bytes(600, 0);
    bytes[3] = 4;
    auto* o = vek::g_pBufferRegistry->AddVertexBuffer(0, 24, bytes.data(), 600);
    ASSERT_TRUE(o);
    ASSERT_TRUE(o->pRecord->pSaved);
    EXPECT_EQ((*o->pRecord->pSaved)[3], 4);
    vek::g_pBufferRegistry->AddVertexBuffer(512, 24, nullptr, 600);
    vek::g_pBufferRegistry->Dump();
    EXPECT_TRUE(vek::DestroyBufferRegistry());
    EXPECT_TRUE(vek::g_pRender->GetVertexBuffers().empty());
    EXPECT_TRUE(vek::DestroyRender());
    EXPECT_FALSE(vek::DestroyRender());
    const std::string log = Log();
    // Each row rounds down to 0 kb; the total is rounded once, after summing.
    EXPECT_NE(log.find("|  static |        0 |    24 |          0 |"), std::string::npos);
    EXPECT_NE(log.find("| dynamic |        0 |"), std::string::npos);
    EXPECT_NE(log.find("Total size: 1 kb"), std::string::npos);
    EXPECT_NE(log.find("Index Buffer Objects."), std::string::npos);
    EXPECT_NE(log.find("Total size: 0 kb"), std::string::npos);
}

} // namespace
