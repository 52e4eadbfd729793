// One frame of the level field on a real render device: the backdrop in
// its places, three overlapping objects drawn back to front by their
// depth keys, and a flying item over the field keeping its transparency
// after the GUI has drawn.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/engine_fixture.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/objects/object.h"
#include "game/shell/frame_readback.h"
#include "game/shell/garden.h"
#include "game/shell/loading.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "support/fixture_pack.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

struct Box : cObject {
    Box(cLevel* level, const char* texture, float depth) : cObject(level), fDepth(depth)
    {
        SetSprite(texture, "box", 0);
    }
    float GetDepth() const override { return fDepth; }
    float fDepth;
};

class FieldPicture : public vektest::EngineFixture {
protected:
    FieldPicture() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        m_strRoot = vektest::MakeTempDir("FieldPicture");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        ASSERT_TRUE(CreateTextureInfos());
        // "back": top left red, top right green, bottom left blue, bottom
        // right white; each quadrant one backdrop sprite of 128 x 128.
        Texture("back", 256, 256, vektest::QuadrantPixels(256, 256));
        auto* back = new cTextureInfo("back", false);
        back->AddNode("base", vek::rectf(0.0f, 0.0f, 0.5f, 0.5f));
        back->AddNode("top", vek::rectf(0.0f, 0.5f, 0.5f, 0.5f));
        back->AddNode("sky", vek::rectf(0.5f, 0.5f, 0.5f, 0.5f));
        back->AddNode("lighthouse", vek::rectf(0.5f, 0.0f, 0.5f, 0.5f));
        Solid("red", 255, 0, 0);
        Solid("green", 0, 255, 0);
        Solid("yellow", 255, 255, 0);
    }
    void TearDown() override
    {
        DestroyTextureInfos();
        EngineFixture::TearDown();
    }
    void Texture(const std::string& name, int w, int h, const std::vector<uint8_t>& rgba)
    {
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/" + name + ".png", vektest::MakePNG(w, h, 6, 8, rgba)));
        ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/" + name)), 0);
    }
    // A 40 x 40 texture of one colour with the area "box".
    void Solid(const std::string& name, uint8_t r, uint8_t g, uint8_t b)
    {
        std::vector<uint8_t> pixels(40 * 40 * 4);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i] = r;
            pixels[i + 1] = g;
            pixels[i + 2] = b;
            pixels[i + 3] = 255;
        }
        Texture(name, 40, 40, pixels);
        (new cTextureInfo(name, false))->AddNode("box");
    }
    std::string m_strRoot;
};

TEST_F(FieldPicture, BackdropAndObjectsInDepthOrder)
{
    auto* level = new cLevel();  // the engine's widget list owns it
    // Registered front to back; the sort must turn them around. Red spans
    // x 480..520, green 490..530, yellow 500..540, all y 300..340.
    auto* yellow = new Box(level, "yellow", 10.0f);
    auto* green = new Box(level, "green", 50.0f);
    auto* red = new Box(level, "red", 100.0f);
    red->SetPos(500.0f, 300.0f);
    green->SetPos(510.0f, 300.0f);
    yellow->SetPos(520.0f, 300.0f);
    level->SortDrawList();

    const std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(level);
    ASSERT_NE(frame, nullptr);
    EXPECT_RGB(shelltest::PixelAt(*frame, 20, 20), 0, 0, 255);       // base at (0, 0)
    EXPECT_RGB(shelltest::PixelAt(*frame, 20, 200), 255, 0, 0);      // top above it
    EXPECT_RGB(shelltest::PixelAt(*frame, 20, 700), 0, 255, 0);      // sky at the top edge
    EXPECT_RGB(shelltest::PixelAt(*frame, 600, 720), 255, 255, 255); // lighthouse at (560, 688)
    EXPECT_RGB(shelltest::PixelAt(*frame, 485, 320), 255, 0, 0);     // red alone
    EXPECT_RGB(shelltest::PixelAt(*frame, 495, 320), 0, 255, 0);     // green over red
    EXPECT_RGB(shelltest::PixelAt(*frame, 505, 320), 255, 255, 0);   // yellow over both
    EXPECT_RGB(shelltest::PixelAt(*frame, 535, 320), 255, 255, 0);
    EXPECT_RGB(shelltest::PixelAt(*frame, 505, 345), 0, 0, 0);       // above them: nothing drawn
}

TEST_F(FieldPicture, FlyingItemKeepsItsTransparencyOverTheField)
{
    // "coin": a yellow disc whose corners are transparent black, as the
    // pack's round sprites are.
    std::vector<uint8_t> coin(40 * 40 * 4, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if ((x - 20) * (x - 20) + (y - 20) * (y - 20) < 18 * 18) {
                uint8_t* p = &coin[static_cast<size_t>(y * 40 + x) * 4];
                p[0] = 255, p[1] = 255, p[2] = 0, p[3] = 255;
            }
    Texture("coin", 40, 40, coin);
    (new cTextureInfo("coin", false))->AddNode("coin");
    auto* garden = new cGarden();
    auto* level = new cLevel();  // the engine's widget list owns it
    cFlyingItem* item = garden->m_pFlyingItems->AddItem("coin", "coin", 0.0f, 1);
    ASSERT_FALSE(item->frames.empty());
    item->trail[0] = vek::vec2(64.0f, 64.0f);  // over the blue "base", 44..84 each way

    // The GUI draws between the field and the flying items and leaves
    // blending off behind it.
    const std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(level);
    ASSERT_NE(frame, nullptr);
    EXPECT_RGB(shelltest::PixelAt(*frame, 64, 64), 255, 255, 0);
    for (const auto& corner : {std::pair<int, int>{46, 46}, {82, 46}, {46, 82}, {82, 82}})
        EXPECT_RGB(shelltest::PixelAt(*frame, corner.first, corner.second), 0, 0, 255);
    delete garden;
}

} // namespace
