// The screen quad on a real device: it covers its rectangle with the
// texture the right way round, whichever corner the coordinates start at.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/graphics/scene.h"
#include "graphics_fixture.h"

namespace {

using namespace vek;

class ScreenQuad : public vektest::GraphicsFixture {
protected:
    // A 4 x 4 texture of four 2 x 2 blocks: red and green at the bottom, blue
    // and white on top (blocks, so that filtering inside one stays pure).
    uint32_t MakeCorners()
    {
        const uint8_t colours[4][4] = {
            {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
        cImage img(e_pfRGBA, 4, 4, 1);
        uint8_t* p = img.GetLevel(0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x, p += 4) std::memcpy(p, colours[(y / 2) * 2 + x / 2], 4);
        return (new cTexture(&img, "corners", false))->GetId();
    }

    void Draw(float tu1, float tv1, float tu2, float tv2)
    {
        const uint32_t tex = MakeCorners();
        ASSERT_EQ(g_pRender->Begin(), 0);
        g_pRender->SetClearColor(0, 0, 0, 1);
        g_pRender->Clear();
        Begin2D(1024, 768);
        End2D();
        g_pRender->SetTransform(cRender::e_Projection, MatrixOrtho(0, 1024, 0, 768, -10, 10));
        g_pRender->SetTransform(cRender::e_View, matrix4());
        g_pRender->SetTransform(cRender::e_World, matrix4());
        g_pRender->SetVertexFormat(cVertexFormat{true, false, false, 2});
        g_pRender->SetMaterialColor(1, 1, 1, 1);
        g_pRender->SetTexture(g_pTextureManager->Get(tex)->GetDeviceTexture());
        DrawScreenQuad(100, 100, 300, 300, tu1, tv1, tu2, tv2);
        m_Counters = g_pRender->GetFrameCounters();
        g_pRender->SetVertexFormat(cVertexFormat());
        g_pRender->End();
        m_pFrame = g_pRender->ReadFrontBuffer(nullptr);
        ASSERT_TRUE(m_pFrame);
    }

    cRender::cCounters m_Counters;
};

TEST_F(ScreenQuad, CoversItsRectangleWithTheTexture)
{
    Draw(0, 0, 1, 1);
    EXPECT_EQ(m_Counters.primitives, 2);
    EXPECT_EQ(m_Counters.vertices, 4);
    EXPECT_PIXEL(At(150, 150), 255, 0, 0);
    EXPECT_PIXEL(At(250, 150), 0, 255, 0);
    EXPECT_PIXEL(At(150, 250), 0, 0, 255);
    EXPECT_PIXEL(At(250, 250), 255, 255, 255);
    EXPECT_PIXEL(At(98, 150), 0, 0, 0);
    EXPECT_PIXEL(At(302, 250), 0, 0, 0);
    EXPECT_PIXEL(At(200, 302), 0, 0, 0);
}

TEST_F(ScreenQuad, SwappedCoordinatesMirrorThePicture)
{
    Draw(1, 1, 0, 0);
    EXPECT_PIXEL(At(150, 150), 255, 255, 255);
    EXPECT_PIXEL(At(250, 250), 255, 0, 0);
    EXPECT_PIXEL(At(250, 150), 0, 0, 255);
}

} // namespace
