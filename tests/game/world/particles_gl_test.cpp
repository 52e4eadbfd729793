// Particle layers on a real render device: the alpha-blended wake layer and
// an additive layer over a known background, read back.
#include <gtest/gtest.h>

#include <memory>

#include "engine/app/engine_fixture.h"
#include "engine/core/image.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/shell/frame_readback.h"
#include "game/world/particles.h"

namespace {

class ParticlesGL : public vektest::EngineFixture {
protected:
    ParticlesGL() { m_bOpenGL = true; }
    void SetUp() override
    {
        EngineFixture::SetUp();
        ASSERT_TRUE(vek::g_pRender && vek::g_pTextureManager);
        ASSERT_TRUE(m_pGame->CreateWindow(true, 1024, 768, 32));
    }

    static void Solid(const char* name, uint8_t r, uint8_t g, uint8_t b)
    {
        vek::cImage image(vek::e_pfRGBA, 8, 8, 1);
        uint8_t* p = image.GetLevel(0);
        for (int i = 0; i < 64; ++i, p += 4) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = 255;
        }
        new vek::cTexture(&image, name, false);
    }

    // One still particle: life, half side, position.
    static void Dot(cParticlePool& pool, float life, float size, float x, float y)
    {
        auto* e = new cEmitter;
        e->uFlags = cEmitter::e_OneShot;
        e->fInterval = 1.0f;
        e->fLifeMin = e->fLifeMax = life;
        e->fSizeMin = e->fSizeMax = size;
        e->vPos = vek::vec3(x, y, 0.0f);
        pool.Add(e);
    }

    // Clears to grey 100 and draws layers 0 and 2 in 2D.
    std::unique_ptr<vek::cImage> Frame(cParticleSystem& ps)
    {
        if (vek::g_pRender->Begin() != 0) return nullptr;
        vek::g_pRender->SetClearColor(100.0f / 255.0f, 100.0f / 255.0f, 100.0f / 255.0f, 1.0f);
        vek::g_pRender->Clear();
        vek::Begin2D(1024.0f, 768.0f);
        ps.DrawLayer(0);
        ps.DrawLayer(2);
        vek::End2D();
        vek::g_pRender->End();
        std::unique_ptr<vek::cImage> frame = vek::g_pRender->ReadFrontBuffer(nullptr);
        vek::g_pRender->SwapBuffers();
        return frame;
    }
};

TEST_F(ParticlesGL, AlphaAndAdditiveLayersOverTheBackground)
{
    Solid("part01", 255, 255, 255);
    Solid("part00", 0, 100, 0);
    cParticleSystem ps;
    ps.LoadTextures();
    ASSERT_NE(ps.uTexPart01, 0u);

    // The first frame only stores the layers' matrices; before it the
    // squares have no extent.
    ASSERT_TRUE(Frame(ps));
    EXPECT_EQ(ps.GetLayerMatrix(0).m[0][0], 1.0f);
    Dot(ps.poolA, 0.5f, 20.0f, 200.0f, 200.0f);  // half alpha
    Dot(ps.poolD, 3.0f, 20.0f, 600.0f, 400.0f);  // opaque
    for (int i = 0; i < 2; ++i) {  // spawn, then write
        ps.UpdateLayer(0, 0.0f);
        ps.UpdateLayer(2, 0.0f);
    }
    ASSERT_EQ(ps.poolA.GetQuadCount(), 1u);

    std::unique_ptr<vek::cImage> frame = Frame(ps);
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, 200, 200), 177, 177, 177);  // white at alpha 127 over 100
    EXPECT_RGB(shelltest::PixelAt(*frame, 600, 400), 100, 200, 100);  // added
    EXPECT_RGB(shelltest::PixelAt(*frame, 225, 200), 100, 100, 100);  // outside the 40 x 40 square
    EXPECT_RGB(shelltest::PixelAt(*frame, 400, 300), 100, 100, 100);

    // Emptied with the field: nothing drawn any more.
    ps.ClearLayer(0);
    ps.ClearLayer(2);
    ps.UpdateLayer(0, 0.0f);
    ps.UpdateLayer(2, 0.0f);
    frame = Frame(ps);
    ASSERT_TRUE(frame);
    EXPECT_RGB(shelltest::PixelAt(*frame, 200, 200), 100, 100, 100);
    EXPECT_RGB(shelltest::PixelAt(*frame, 600, 400), 100, 100, 100);
}

} // namespace
