// One frame of the island's level map on the real render device, read back:
// the dots of the open paths, medals on the points played, the hovered
// point's ring under its medal and the blinking mark of the newest point;
// and the fireworks, which scroll with the island.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/engine_fixture.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/shell/frame_readback.h"
#include "game/shell/garden.h"
#include "game/shell/loading.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"
#include "game/world/island.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class cTestGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

struct cColumn {
    const char* area;
    int x, w;
    uint8_t r, g, b;
};
// "houses05": one column per sprite, 40 pixels high.
const cColumn kColumns[] = {
    {"point", 0, 20, 255, 0, 0},     {"mp", 20, 20, 0, 255, 0},        {"gold", 40, 20, 255, 255, 0},
    {"silver", 60, 20, 255, 255, 255}, {"bronze", 80, 20, 255, 0, 255}, {"mp_select", 100, 40, 0, 0, 255},
};
constexpr int kWidth = 140, kHeight = 40;

class IslandMapPicture : public vektest::EngineFixture {
protected:
    IslandMapPicture() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
        m_strRoot = vektest::MakeTempDir("IslandMapPicture");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/app");
        ASSERT_TRUE(CreateTextureInfos());
        cIsland::ForgetSharedSprites();
        std::vector<uint8_t> pixels(static_cast<size_t>(kWidth * kHeight * 4));
        for (const cColumn& c : kColumns)
            for (int y = 0; y < kHeight; ++y)
                for (int x = c.x; x < c.x + c.w; ++x) {
                    uint8_t* p = &pixels[static_cast<size_t>((y * kWidth + x) * 4)];
                    p[0] = c.r;
                    p[1] = c.g;
                    p[2] = c.b;
                    p[3] = 255;
                }
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/houses05.png", vektest::MakePNG(kWidth, kHeight, 6, 8, pixels)));
        ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/houses05")), 0);
        auto* info = new cTextureInfo("houses05", false);
        for (const cColumn& c : kColumns) info->AddNode(c.area, vek::recti(c.x, 0, c.w, kHeight));
        m_pGarden = new cTestGarden();
        m_pPlayer = new cPlayer("plrtest");
        m_pGarden->SetCurrent(m_pPlayer);
    }
    void TearDown() override
    {
        if (m_pGarden) m_pGarden->SetCurrent(nullptr);
        delete m_pPlayer;
        delete m_pGarden;
        cIsland::ForgetSharedSprites();
        DestroyTextureInfos();
        EngineFixture::TearDown();
    }
    std::string m_strRoot;
    cTestGarden* m_pGarden = nullptr;
    cPlayer* m_pPlayer = nullptr;
};

TEST_F(IslandMapPicture, ThreeOpenPointsTheirMedalsAndTheHoveredPoint)
{
    auto* island = new cIsland();  // the engine's widget list owns it
    island->fScrollX = island->fScrollY = 0.0f;
    // Points every 100 pixels at y 300, three dots between neighbours at y 200.
    for (int i = 0; i < 45; ++i) island->vecLevelPoints.push_back({100.0f + 100.0f * static_cast<float>(i), 300.0f});
    for (int i = 0; i < 44 * 3; ++i)
        island->vecPathDots.push_back({125.0f + 100.0f * static_cast<float>(i / 3) + 25.0f * static_cast<float>(i % 3),
                                       200.0f});
    island->iMode = cIsland::e_modeIsland;
    m_pPlayer->m_iProgress = 2;
    m_pPlayer->m_Results = {0, 2};
    island->iHoveredPoint = 1;

    const std::unique_ptr<vek::cImage> frame = shelltest::DrawFrame(island);
    ASSERT_NE(frame, nullptr);
    EXPECT_RGB(shelltest::PixelAt(*frame, 125, 200), 255, 0, 0);  // the first path's dots
    EXPECT_RGB(shelltest::PixelAt(*frame, 275, 200), 255, 0, 0);  // the second path's last dot
    EXPECT_RGB(shelltest::PixelAt(*frame, 325, 200), 0, 0, 0);    // the third path is not open
    EXPECT_RGB(shelltest::PixelAt(*frame, 100, 315), 255, 255, 0);  // gold on level 0
    EXPECT_RGB(shelltest::PixelAt(*frame, 200, 315), 255, 0, 255);  // bronze on level 1 ...
    EXPECT_RGB(shelltest::PixelAt(*frame, 185, 315), 0, 0, 255);    // ... over the hover ring
    EXPECT_RGB(shelltest::PixelAt(*frame, 100, 340), 0, 0, 0);      // the medal is lifted by 15
    // Level 2 blinks from nearly transparent: its mark is faint green.
    const shelltest::cRgb mark = shelltest::PixelAt(*frame, 300, 315);
    EXPECT_EQ(mark.r, 0);
    EXPECT_GT(mark.g, 10);
    EXPECT_LT(mark.g, 60);
    EXPECT_RGB(shelltest::PixelAt(*frame, 400, 315), 0, 0, 0);      // level 3 is closed

    // The whole frame against the expected picture: black but for the six
    // open dots, the ring, the two medals and the blinking mark (left out,
    // its shade follows the blink). Pixels on a sprite's edge may go
    // either way.
    struct cBox {
        int x, y, w, h;
        int r, g, b;  // -1: any colour
    };
    std::vector<cBox> boxes;
    for (int x : {125, 150, 175, 225, 250, 275}) boxes.push_back({x - 10, 180, 20, 40, 255, 0, 0});
    boxes.push_back({180, 295, 40, 40, 0, 0, 255});    // the hover ring, under ...
    boxes.push_back({190, 295, 20, 40, 255, 0, 255});  // ... level 1's bronze
    boxes.push_back({90, 295, 20, 40, 255, 255, 0});   // level 0's gold
    boxes.push_back({290, 295, 20, 40, -1, -1, -1});   // level 2's mark
    int wrong = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            int r = 0, g = 0, b = 0;
            bool edge = false;
            for (const cBox& k : boxes) {
                if (x < k.x - 1 || x > k.x + k.w || y < k.y - 1 || y > k.y + k.h) continue;
                if (x <= k.x || x >= k.x + k.w - 1 || y <= k.y || y >= k.y + k.h - 1) {
                    edge = true;
                    continue;
                }
                r = k.r, g = k.g, b = k.b;  // the later box lies on top
            }
            if (edge || r < 0) continue;
            const shelltest::cRgb p = shelltest::PixelAt(*frame, x, y);
            if (std::abs(p.r - r) > 4 || std::abs(p.g - g) > 4 || std::abs(p.b - b) > 4) {
                if (wrong < 5) ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << p.r << " " << p.g << " " << p.b;
                ++wrong;
            }
        }
    EXPECT_EQ(wrong, 0);

    // After the last level every point and dot is drawn and nothing past them.
    m_pPlayer->m_iProgress = 45;
    const std::unique_ptr<vek::cImage> all = shelltest::DrawFrame(island);
    ASSERT_NE(all, nullptr);
    EXPECT_RGB(shelltest::PixelAt(*all, 925, 200), 255, 0, 0);
}

TEST_F(IslandMapPicture, FireworksAreDrawnWhereTheyBurstOnTheIsland)
{
    // "firework": two frames, orange then cyan, 32 x 32 each.
    std::vector<uint8_t> pixels(static_cast<size_t>(64 * 32 * 4));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = &pixels[static_cast<size_t>((y * 64 + x) * 4)];
            p[0] = x < 32 ? 255 : 0;
            p[1] = x < 32 ? 128 : 255;
            p[2] = x < 32 ? 0 : 255;
            p[3] = 255;
        }
    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/firework.png", vektest::MakePNG(64, 32, 6, 8, pixels)));
    ASSERT_EQ(LoadTextureFile(vek::filename("{StaticPath}/firework")), 0);
    auto* info = new cTextureInfo("firework", false);
    info->AddNode("total", 2, 1, 10.0f);

    auto* island = new cIsland();  // the engine's widget list owns it
    island->fScrollX = 100.0f;
    island->fScrollY = 50.0f;
    island->hooks.playOnce("firework", "total", vek::vec2(600.0f, 450.0f));
    ASSERT_EQ(island->GetAnimations()->Count(), 1u);
    const std::unique_ptr<vek::cImage> first = shelltest::DrawFrame(island);
    ASSERT_NE(first, nullptr);
    EXPECT_RGB(shelltest::PixelAt(*first, 500, 400), 255, 128, 0);
    EXPECT_RGB(shelltest::PixelAt(*first, 525, 400), 0, 0, 0);
    // A tenth of a second of the island's steps: the second frame.
    for (int i = 0; i < 4; ++i) island->TickWorld();
    const std::unique_ptr<vek::cImage> second = shelltest::DrawFrame(island);
    ASSERT_NE(second, nullptr);
    EXPECT_RGB(shelltest::PixelAt(*second, 500, 400), 0, 255, 255);
    for (int i = 0; i < 3; ++i) island->TickWorld();
    EXPECT_EQ(island->GetAnimations()->Count(), 0u);
}

} // namespace
