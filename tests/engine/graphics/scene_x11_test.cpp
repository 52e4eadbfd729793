// A scene of textured sprites and text drawn through the engine into a real
// window, saved as a screenshot and compared with the picture it should be.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/datamanager.h"
#include "graphics_fixture.h"

using namespace vek;

namespace {

struct cRGBf {
    float r, g, b;
};

// A 2 x 2 texture of four colours, rows bottom first.
const uint8_t kQuad[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 0, 255};

// What bilinear sampling with wrapping gives at (u, v) of that texture.
cRGBf Sample(float u, float v)
{
    const float s = u * 2 - 0.5f, t = v * 2 - 0.5f;
    const int s0 = static_cast<int>(std::floor(s)), t0 = static_cast<int>(std::floor(t));
    const float fs = s - s0, ft = t - t0;
    auto texel = [](int x, int y, int c) {
        x = ((x % 2) + 2) % 2;
        y = ((y % 2) + 2) % 2;
        return static_cast<float>(kQuad[(y * 2 + x) * 4 + c]);
    };
    float out[3];
    for (int c = 0; c < 3; ++c) {
        const float a = texel(s0, t0, c) * (1 - fs) + texel(s0 + 1, t0, c) * fs;
        const float b = texel(s0, t0 + 1, c) * (1 - fs) + texel(s0 + 1, t0 + 1, c) * fs;
        out[c] = a * (1 - ft) + b * ft;
    }
    return {out[0], out[1], out[2]};
}

class Scene : public vektest::GraphicsFixture {};

TEST_F(Scene, ScreenshotMatchesTheExpectedPicture)
{
    cImage img(e_pfRGBA, 2, 2, 1);
    std::memcpy(img.GetLevel(0), kQuad, sizeof(kQuad));
    const uint32_t sprite = (new cTexture(&img, "sprite", false))->GetId();
    cImage white(e_pfRGBA, 16, 16, 1);
    std::memset(white.GetLevel(0), 255, static_cast<size_t>(white.GetLevelSize(0)));
    new cTexture(&white, "glyphs", false);
    auto* font = new cFont("block");
    font->Init("", "", 0, 16);
    font->Texture("glyphs", 0, 0);
    font->Char("#", 8, recti(0, 0, 8, 16), 0, 10);
    const uint32_t fontId = g_pFontManager->Find("block");

    BeginFrame(0, 0, 0.25f);
    SetBlendMode(1, 0.05f);
    m_pBatch->AddQuad(sprite, rectf(100, 100, 128, 128), 0xFFFFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->AddQuad(sprite, rectf(300, 100, 64, 64), 0x80FFFFFFu, rectf(0, 0, 1, 1));
    m_pBatch->AddRotatedQuad(sprite, rectf(500, 300, 100, 100), 0xFFFFFFFFu, rectf(0, 0, 1, 1), 0.3f);
    uint32_t colour = 0xFFFFFFFFu;
    m_pBatch->AddColorText(fontId, "##^00FF00FF##", vec2(600, 600), &colour);
    m_pBatch->AddLine(vec2(0, 700), vec2(1024, 700), 2, 0xFFFFFF00u, rectf(0, 0, 1, 1));
    EndFrame();

    // The screenshot path: the frame as 24-bit rows into a PNG and back.
    vektest::WriteFile(m_strRoot + "/User/Desktop/keep", "");
    ASSERT_EQ(cDataManager::WritePNG(m_pFrame.get(), filename("{UserPath}/Desktop/vek00.png")), 0);
    cImage shot;
    ASSERT_EQ(cDataManager::ReadPNG(&shot, filename("{UserPath}/Desktop/vek00.png")), 0);
    ASSERT_EQ(shot.GetWidth(), 1024);
    ASSERT_EQ(shot.GetHeight(), 768);
    auto at = [&](int x, int y) {
        const uint8_t* p = shot.GetLevel(0) + (static_cast<size_t>(y) * 1024 + static_cast<size_t>(x)) * 3;
        return cRGBf{float(p[0]), float(p[1]), float(p[2])};
    };
    auto expect = [&](int x0, int y0, int w, int h, auto colourAt) {
        int bad = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const cRGBf want = colourAt(x, y), got = at(x, y);
                if (std::fabs(want.r - got.r) > 3 || std::fabs(want.g - got.g) > 3 || std::fabs(want.b - got.b) > 3)
                    ++bad;
            }
        return bad;
    };
    const cRGBf background{0, 0, 64};
    // The opaque sprite, texel for texel.
    EXPECT_EQ(expect(100, 100, 128, 128, [](int x, int y) {
                  return Sample((x + 0.5f - 100) / 128, (y + 0.5f - 100) / 128);
              }),
              0);
    // Half transparent over the background.
    EXPECT_EQ(expect(300, 100, 64, 64, [&](int x, int y) {
                  const cRGBf s = Sample((x + 0.5f - 300) / 64, (y + 0.5f - 100) / 64);
                  const float a = 128.0f / 255;
                  return cRGBf{s.r * a + background.r * (1 - a), s.g * a + background.g * (1 - a),
                               s.b * a + background.b * (1 - a)};
              }),
              0);
    // Background around them.
    EXPECT_EQ(expect(0, 0, 90, 90, [&](int, int) { return background; }), 0);
    // Text: two white blocks, then two green ones after the code.
    auto text = [&](int x, int) {
        const int dx = x - 600;
        const bool inGlyph = (dx % 10) < 8;
        if (!inGlyph) return background;
        return dx < 20 ? cRGBf{255, 255, 255} : cRGBf{0, 255, 0};
    };
    EXPECT_EQ(expect(600, 600, 38, 16, text), 0);
    EXPECT_EQ(expect(600, 616, 38, 4, [&](int, int) { return background; }), 0);
    // The line, two rows high, across the frame.
    EXPECT_EQ(expect(0, 699, 1024, 2, [](int, int) { return cRGBf{255, 255, 0}; }), 0);
    // The rotated sprite's centre is where the four colours meet.
    const cRGBf centre = at(550, 350), want = Sample(0.5f, 0.5f);
    EXPECT_NEAR(centre.r, want.r, 24);
    EXPECT_NEAR(centre.g, want.g, 24);

    // What reaches the window is the same picture.
    std::vector<uint8_t> presented;
    int dw = 0, dh = 0;
    platform::WindowSystem().GetWindow()->GetDrawableSize(dw, dh);
    ASSERT_EQ(g_pRender->GetDevice()->ReadPresented(dw, dh, presented), gfx::eResult::Ok);
    if (dw == 1024 && dh == 768) {
        EXPECT_EQ(std::memcmp(presented.data(), shot.GetLevel(0), presented.size()), 0);
    }
}

} // namespace
