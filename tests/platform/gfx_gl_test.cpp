// The graphics device on a real GL context: every check draws and reads the
// frame back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gfx.h"
#include "platform/window.h"
#include "support/thread_keys.h"

using namespace vek::platform;
using namespace vek::platform::gfx;

namespace {

struct cVertex {
    float x, y, z;
    uint32_t c;
    float u, v;
};
static_assert(sizeof(cVertex) == 24);

constexpr uint32_t g_uFvf2D = e_fvfXYZ | e_fvfDiffuse | e_fvfTex1;

struct cRGB {
    int r, g, b;
};

class GfxDevice : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(WindowSystem().Init());
        cWindowDesc desc;
        desc.title = "gfx test";
        desc.width = 1024;
        desc.height = 768;
        ASSERT_TRUE(WindowSystem().CreateWindow(desc));
        s_pSystem = cSystem::Create();
        ASSERT_TRUE(s_pSystem);
        CreateDevice();
    }
    static void TearDownTestSuite()
    {
        s_pDevice.reset();
        s_pSystem.reset();
        WindowSystem().DestroyWindow();
    }
    static void CreateDevice()
    {
        s_PP = cPresentParams();
        s_PP.window = WindowSystem().GetWindow();
        s_PP.backBufferFormat = eFormat::A8R8G8B8;
        eResult r;
        s_pDevice = s_pSystem->CreateDevice(s_PP.window, e_vpHardware, s_PP, r);
        ASSERT_TRUE(s_pDevice);
        ASSERT_EQ(r, eResult::Ok);
    }

protected:
    void SetUp() override
    {
        ASSERT_TRUE(s_pDevice);
        ASSERT_EQ(s_pDevice->Reset(s_PP), eResult::Ok);
        dev = s_pDevice.get();
    }

    // The 2D set-up: y up over the back buffer, lighting off, no culling,
    // the half-pixel view offset.
    void Begin2D(bool viewOffset = true)
    {
        int w, h;
        dev->GetBackBufferSize(w, h);
        float proj[16] = {};
        proj[0] = 2.0f / static_cast<float>(w);
        proj[5] = 2.0f / static_cast<float>(h);
        proj[10] = -1.0f / 256.0f;  // -2 / (far - near), halved for depth 0..1
        proj[12] = -1.0f;
        proj[13] = -1.0f;
        proj[14] = 0.5f;
        proj[15] = 1.0f;
        float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        if (viewOffset) {
            view[12] = -0.5f;
            view[13] = 0.5f;
        }
        dev->SetTransform(e_tsProjection, proj);
        dev->SetTransform(e_tsView, view);
        dev->SetRenderState(e_rsLighting, 0);
        dev->SetRenderState(e_rsCullMode, e_cullNone);
        dev->SetFVF(g_uFvf2D);
    }

    static void Quad(std::vector<cVertex>& out, float x, float y, float w, float h, uint32_t c,
                     float u = 0, float v = 0, float uw = 1, float vh = 1)
    {
        cVertex bl{x, y, 0, c, u, v}, br{x + w, y, 0, c, u + uw, v};
        cVertex tl{x, y + h, 0, c, u, v + vh}, tr{x + w, y + h, 0, c, u + uw, v + vh};
        for (const cVertex& p : {bl, br, tl, tl, br, tr}) out.push_back(p);
    }

    eResult Draw(const std::vector<cVertex>& v)
    {
        return dev->DrawPrimitiveUP(e_ptTriangleList, static_cast<int>(v.size() / 3), v.data(),
                                    sizeof(cVertex));
    }

    eResult DrawQuad(float x, float y, float w, float h, uint32_t c)
    {
        std::vector<cVertex> v;
        Quad(v, x, y, w, h, c);
        return Draw(v);
    }

    void Read()
    {
        ASSERT_EQ(dev->ReadFrontBuffer(m_vecFrame, m_iW, m_iH), eResult::Ok);
    }

    // x from the left, y from the bottom.
    cRGB At(int x, int y) const
    {
        size_t i = (static_cast<size_t>(y) * static_cast<size_t>(m_iW) + static_cast<size_t>(x)) * 3;
        return {m_vecFrame[i], m_vecFrame[i + 1], m_vecFrame[i + 2]};
    }

    std::unique_ptr<cTexture> MakeTexture(eFormat f, int w, int h, const void* bytes, int levels = 1)
    {
        eResult r;
        auto t = dev->CreateTexture(w, h, levels, false, f, ePool::Managed, r);
        EXPECT_EQ(r, eResult::Ok);
        if (!t) return nullptr;
        cLockedRect lr;
        EXPECT_EQ(t->LockRect(0, lr, 0), eResult::Ok);
        std::memcpy(lr.bits, bytes, static_cast<size_t>(LevelBytes(f, w, h)));
        EXPECT_EQ(t->UnlockRect(0), eResult::Ok);
        return t;
    }

    void UseTexture(cTexture* t)
    {
        dev->SetTexture(0, t);
        dev->SetTextureStageState(0, e_tssAlphaOp, e_topModulate);
    }

    void Blend(uint32_t src, uint32_t dst)
    {
        dev->SetRenderState(e_rsAlphaBlendEnable, 1);
        dev->SetRenderState(e_rsSrcBlend, src);
        dev->SetRenderState(e_rsDestBlend, dst);
    }

    static std::unique_ptr<cSystem> s_pSystem;
    static std::unique_ptr<cDevice> s_pDevice;
    static cPresentParams s_PP;
    cDevice* dev = nullptr;
    std::vector<uint8_t> m_vecFrame;
    int m_iW = 0, m_iH = 0;
};

std::unique_ptr<cSystem> GfxDevice::s_pSystem;
std::unique_ptr<cDevice> GfxDevice::s_pDevice;
cPresentParams GfxDevice::s_PP;

#define EXPECT_RGB(px, R, G, B)                                                       \
    do {                                                                              \
        cRGB p_ = (px);                                                               \
        EXPECT_NEAR(p_.r, R, 2) << "r";                                               \
        EXPECT_NEAR(p_.g, G, 2) << "g";                                               \
        EXPECT_NEAR(p_.b, B, 2) << "b";                                               \
    } while (0)

TEST_F(GfxDevice, SystemReportsCapsAndModes)
{
    cCaps caps;
    ASSERT_EQ(s_pSystem->GetCaps(caps), eResult::Ok);
    EXPECT_GE(caps.maxTextureWidth, 1024);
    EXPECT_GE(caps.maxTextureHeight, 1024);
    EXPECT_GE(caps.maxAnisotropy, 1);
    cDisplayMode mode;
    ASSERT_EQ(s_pSystem->GetAdapterDisplayMode(mode), eResult::Ok);
    EXPECT_GT(mode.width, 0);
    EXPECT_TRUE(mode.format == eFormat::X8R8G8B8 || mode.format == eFormat::R5G6B5);
    EXPECT_EQ(s_pSystem->CheckDepthFormat(mode.format, eFormat::D24S8), eResult::Ok);
    EXPECT_EQ(s_pSystem->CheckDepthFormat(mode.format, eFormat::A8R8G8B8), eResult::NotAvailable);
    EXPECT_EQ(s_pSystem->CheckMultiSample(eFormat::A8R8G8B8, 2), eResult::Ok);
    EXPECT_EQ(s_pSystem->CheckMultiSample(eFormat::A8R8G8B8, 64), eResult::NotAvailable);
}

TEST_F(GfxDevice, ClearFillsTheClientSizedFrame)
{
    ASSERT_EQ(dev->Clear(e_clearTarget | e_clearZBuffer, 0xFF336699u, 1.0f, 0), eResult::Ok);
    Read();
    EXPECT_EQ(m_iW, 1024);
    EXPECT_EQ(m_iH, 768);
    EXPECT_RGB(At(0, 0), 0x33, 0x66, 0x99);
    EXPECT_RGB(At(1023, 767), 0x33, 0x66, 0x99);
}

TEST_F(GfxDevice, HalfPixelOffsetCoversExactlyOnePixel)
{
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D();
    ASSERT_EQ(DrawQuad(10, 20, 1, 1, 0xFFFFFFFFu), eResult::Ok);
    ASSERT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFF0000u), eResult::Ok);
    ASSERT_EQ(DrawQuad(1023, 767, 1, 1, 0xFF00FF00u), eResult::Ok);
    Read();
    EXPECT_RGB(At(10, 20), 255, 255, 255);
    for (auto [x, y] : {std::pair{9, 20}, {11, 20}, {10, 19}, {10, 21}}) EXPECT_RGB(At(x, y), 0, 0, 0);
    // y counts up from the bottom row.
    EXPECT_RGB(At(0, 0), 255, 0, 0);
    EXPECT_RGB(At(1, 0), 0, 0, 0);
    EXPECT_RGB(At(0, 1), 0, 0, 0);
    EXPECT_RGB(At(1023, 767), 0, 255, 0);
}

TEST_F(GfxDevice, NewDeviceStartsLitWithNoLights)
{
    // Lighting is on by default and no material is set: everything is black.
    EXPECT_EQ(dev->GetRenderState(e_rsCullMode), static_cast<uint32_t>(e_cullCCW));
    EXPECT_EQ(dev->GetTextureStageState(0, e_tssAlphaOp), static_cast<uint32_t>(e_topSelectArg1));
    EXPECT_EQ(dev->GetTextureStageState(1, e_tssColorOp), static_cast<uint32_t>(e_topDisable));
    dev->Clear(e_clearTarget, 0xFF808080u, 1, 0);
    Begin2D();
    dev->SetRenderState(e_rsLighting, 1);
    DrawQuad(100, 100, 10, 10, 0xFFFFFFFFu);
    Read();
    EXPECT_RGB(At(105, 105), 0, 0, 0);
}

TEST_F(GfxDevice, LitDrawingTakesEmissiveColourAndDiffuseAlpha)
{
    // The fade of a lit picture: emissive white, alpha from the material's
    // diffuse, or from the vertex colour when the vertex has one.
    const uint8_t texel[4] = {0x00, 0x00, 0xFF, 0xFF};  // B G R A: red
    auto tex = MakeTexture(eFormat::A8R8G8B8, 1, 1, texel);
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D(false);
    dev->SetRenderState(e_rsLighting, 1);
    dev->SetRenderState(e_rsCullMode, e_cullCW);
    UseTexture(tex.get());
    Blend(e_blendSrcAlpha, e_blendInvSrcAlpha);
    const float zero[4] = {0, 0, 0, 0}, diffuse[4] = {0, 0, 0, 0.5f}, emissive[4] = {1, 1, 1, 0.5f};
    dev->SetMaterial(diffuse, zero, zero, emissive, 0);

    struct cTexVertex {
        float x, y, z, u, v;
    };
    const cTexVertex v[6] = {{100, 100, 0, 0, 0}, {120, 100, 0, 1, 0}, {100, 120, 0, 0, 1},
                             {100, 120, 0, 0, 1}, {120, 100, 0, 1, 0}, {120, 120, 0, 1, 1}};
    dev->SetFVF(e_fvfXYZ | e_fvfTex1);
    ASSERT_EQ(dev->DrawPrimitiveUP(e_ptTriangleList, 2, v, sizeof(cTexVertex)), eResult::Ok);

    dev->SetFVF(g_uFvf2D);
    DrawQuad(200, 100, 20, 20, 0x40FFFFFFu);
    Read();
    EXPECT_RGB(At(110, 110), 128, 0, 0);
    EXPECT_RGB(At(210, 110), 64, 0, 0);
}

TEST_F(GfxDevice, CullingJudgesWindingAsSeenOnScreen)
{
    // The quad's triangles run counter-clockwise on screen (y up).
    Begin2D();
    const uint32_t modes[3] = {e_cullNone, e_cullCW, e_cullCCW};
    const bool drawn[3] = {true, true, false};
    for (int i = 0; i < 3; ++i) {
        dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
        dev->SetRenderState(e_rsCullMode, modes[i]);
        DrawQuad(50, 50, 10, 10, 0xFFFFFFFFu);
        Read();
        EXPECT_EQ(At(55, 55).r, drawn[i] ? 255 : 0) << "cull mode " << modes[i];
    }
}

TEST_F(GfxDevice, BlendModes)
{
    Begin2D();
    // The default alpha operation selects the texture's alpha, white here.
    dev->SetTextureStageState(0, e_tssAlphaOp, e_topModulate);
    // Additive: a grey drawn twice doubles.
    Blend(e_blendOne, e_blendOne);
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Read();
    ASSERT_EQ(At(0, 0).r, 0);
    DrawQuad(100, 0, 4, 4, 0xFF404040u);
    DrawQuad(100, 0, 4, 4, 0xFF404040u);
    // Alpha blending: half of white over black.
    Blend(e_blendSrcAlpha, e_blendInvSrcAlpha);
    DrawQuad(200, 0, 4, 4, 0x80FFFFFFu);
    // Particles: source alpha added.
    Blend(e_blendSrcAlpha, e_blendOne);
    DrawQuad(300, 0, 4, 4, 0x40FFFFFFu);
    DrawQuad(300, 0, 4, 4, 0x40FFFFFFu);
    // The console's background: source colour added.
    Blend(e_blendSrcColor, e_blendOne);
    DrawQuad(400, 0, 4, 4, 0xFF808080u);
    Read();
    EXPECT_RGB(At(101, 1), 0x80, 0x80, 0x80);
    EXPECT_RGB(At(201, 1), 0x80, 0x80, 0x80);
    EXPECT_RGB(At(301, 1), 0x80, 0x80, 0x80);
    EXPECT_RGB(At(401, 1), 0x40, 0x40, 0x40);
}

TEST_F(GfxDevice, AlphaTestKeepsOpaqueTexelsOnly)
{
    const uint8_t texels[8] = {0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF};
    auto tex = MakeTexture(eFormat::A8R8G8B8, 2, 1, texels);
    dev->Clear(e_clearTarget, 0xFFFF0000u, 1, 0);
    Begin2D();
    UseTexture(tex.get());
    dev->SetRenderState(e_rsAlphaTestEnable, 1);
    dev->SetRenderState(e_rsAlphaFunc, e_cmpGreater);
    dev->SetRenderState(e_rsAlphaRef, 12);
    DrawQuad(0, 0, 2, 1, 0xFFFFFFFFu);
    dev->SetRenderState(e_rsAlphaTestEnable, 0);
    DrawQuad(0, 10, 2, 1, 0xFFFFFFFFu);
    Read();
    EXPECT_RGB(At(0, 0), 255, 0, 0);  // discarded: the background stays
    EXPECT_RGB(At(1, 0), 0, 255, 0);
    EXPECT_RGB(At(0, 10), 0, 255, 0);  // written with alpha 0, colour kept
}

TEST_F(GfxDevice, StageOperationsAndTextureFactor)
{
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D();
    // Untextured: the texture reads white, so modulation gives the vertex colour.
    DrawQuad(0, 0, 4, 4, 0xFF2040C0u);
    // Modulate with the texture factor, colour and alpha.
    dev->SetRenderState(e_rsTextureFactor, 0x80FF8000u);
    dev->SetTextureStageState(0, e_tssColorArg2, e_taTFactor);
    dev->SetTextureStageState(0, e_tssAlphaOp, e_topModulate);
    dev->SetTextureStageState(0, e_tssAlphaArg2, e_taTFactor);
    Blend(e_blendSrcAlpha, e_blendInvSrcAlpha);
    DrawQuad(10, 0, 4, 4, 0xFFFFFFFFu);
    dev->SetRenderState(e_rsAlphaBlendEnable, 0);
    // Select the diffuse colour alone; add it to itself.
    dev->SetTextureStageState(0, e_tssColorOp, e_topSelectArg2);
    dev->SetTextureStageState(0, e_tssColorArg2, e_taDiffuse);
    DrawQuad(20, 0, 4, 4, 0xFF102030u);
    dev->SetTextureStageState(0, e_tssColorOp, e_topAdd);
    dev->SetTextureStageState(0, e_tssColorArg1, e_taDiffuse);
    DrawQuad(30, 0, 4, 4, 0xFF102030u);
    Read();
    EXPECT_RGB(At(1, 1), 0x20, 0x40, 0xC0);
    EXPECT_RGB(At(11, 1), 0x80, 0x40, 0x00);
    EXPECT_RGB(At(21, 1), 0x10, 0x20, 0x30);
    EXPECT_RGB(At(31, 1), 0x20, 0x40, 0x60);
}

TEST_F(GfxDevice, EveryTextureFormatSamplesItsColour)
{
    struct cCase {
        eFormat f;
        std::vector<uint8_t> bytes;  // one 4 x 4 level
        cRGB want;
        int alpha;
    };
    auto fill = [](int n, std::vector<uint8_t> px) {
        std::vector<uint8_t> out;
        for (int i = 0; i < n; ++i) out.insert(out.end(), px.begin(), px.end());
        return out;
    };
    // DXT1 block: colour 0 red, colour 1 blue, every index 0.
    std::vector<uint8_t> dxt1 = {0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0};
    // DXT3: explicit alpha 0x8 (nibbles) for every texel, then the colour block.
    std::vector<uint8_t> dxt3 = {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88,
                                 0xE0, 0x07, 0x1F, 0x00, 0, 0, 0, 0};
    // DXT5: alpha 0 = 0xFF, alpha 1 = 0, every index 0; colour white.
    std::vector<uint8_t> dxt5 = {0xFF, 0x00, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
    const cCase cases[] = {
        {eFormat::L8, fill(16, {0x80}), {0x80, 0x80, 0x80}, 255},
        {eFormat::A8L8, fill(16, {0x40, 0x80}), {0x40, 0x40, 0x40}, 0x80},
        {eFormat::R5G6B5, fill(16, {0x00, 0xF8}), {255, 0, 0}, 255},
        {eFormat::X8R8G8B8, fill(16, {0x10, 0x20, 0x30, 0x00}), {0x30, 0x20, 0x10}, 255},
        {eFormat::A8R8G8B8, fill(16, {0x10, 0x20, 0x30, 0x80}), {0x30, 0x20, 0x10}, 0x80},
        {eFormat::DXT1, dxt1, {255, 0, 0}, 255},
        {eFormat::DXT3, dxt3, {0, 255, 0}, 0x88},
        {eFormat::DXT5, dxt5, {255, 255, 255}, 255},
    };
    for (const cCase& c : cases) {
        auto tex = MakeTexture(c.f, 4, 4, c.bytes.data());
        ASSERT_TRUE(tex) << static_cast<int>(c.f);
        dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
        Begin2D();
        UseTexture(tex.get());
        dev->SetRenderState(e_rsAlphaBlendEnable, 0);
        DrawQuad(0, 0, 4, 4, 0xFFFFFFFFu);
        // The alpha shows as the blend of white over black.
        Blend(e_blendSrcAlpha, e_blendZero);
        dev->SetTextureStageState(0, e_tssColorOp, e_topSelectArg2);
        DrawQuad(10, 0, 4, 4, 0xFFFFFFFFu);
        dev->SetTextureStageState(0, e_tssColorOp, e_topModulate);
        dev->SetRenderState(e_rsAlphaBlendEnable, 0);
        Read();
        SCOPED_TRACE(static_cast<int>(c.f));
        EXPECT_RGB(At(1, 1), c.want.r, c.want.g, c.want.b);
        EXPECT_NEAR(At(11, 1).r, c.alpha, 2);
        dev->SetTexture(0, nullptr);
    }
}

TEST_F(GfxDevice, FirstRowInMemoryIsTextureRowZero)
{
    // Row 0 red, row 1 blue: v = 0 samples row 0, so the bottom of the quad is red.
    const uint8_t texels[8] = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF};
    auto tex = MakeTexture(eFormat::A8R8G8B8, 1, 2, texels);
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D();
    UseTexture(tex.get());
    DrawQuad(0, 0, 8, 8, 0xFFFFFFFFu);
    Read();
    EXPECT_RGB(At(4, 1), 255, 0, 0);
    EXPECT_RGB(At(4, 6), 0, 0, 255);
}

TEST_F(GfxDevice, TextureLocksKeepAndReturnPixels)
{
    std::vector<uint8_t> px(8 * 4 * 4);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(i * 7);
    auto tex = MakeTexture(eFormat::A8R8G8B8, 8, 4, px.data());
    cLockedRect lr;
    ASSERT_EQ(tex->LockRect(0, lr, e_lockReadOnly), eResult::Ok);
    EXPECT_EQ(lr.pitch, 32);
    EXPECT_EQ(std::memcmp(lr.bits, px.data(), px.size()), 0);
    EXPECT_EQ(tex->LockRect(0, lr, 0), eResult::InvalidCall) << "already locked";
    EXPECT_EQ(tex->UnlockRect(0), eResult::Ok);
    EXPECT_EQ(tex->UnlockRect(0), eResult::InvalidCall);

    // A partial write through an ordinary lock keeps the other bytes.
    ASSERT_EQ(tex->LockRect(0, lr, 0), eResult::Ok);
    static_cast<uint8_t*>(lr.bits)[0] = 0xAB;
    tex->UnlockRect(0);
    px[0] = 0xAB;
    ASSERT_EQ(tex->LockRect(0, lr, e_lockReadOnly), eResult::Ok);
    EXPECT_EQ(std::memcmp(lr.bits, px.data(), px.size()), 0);
    tex->UnlockRect(0);

    // Block data comes back unchanged.
    const uint8_t block[8] = {0x00, 0xF8, 0x1F, 0x00, 0x1B, 0x2C, 0x3D, 0x4E};
    auto dxt = MakeTexture(eFormat::DXT1, 4, 4, block);
    ASSERT_EQ(dxt->LockRect(0, lr, e_lockReadOnly), eResult::Ok);
    EXPECT_EQ(lr.pitch, 8);
    EXPECT_EQ(std::memcmp(lr.bits, block, 8), 0);
    dxt->UnlockRect(0);

    EXPECT_EQ(tex->LockRect(1, lr, 0), eResult::InvalidCall);
}

TEST_F(GfxDevice, MipChainsSampleWithOnlyTheWrittenLevels)
{
    eResult r;
    auto tex = dev->CreateTexture(64, 16, 0, false, eFormat::A8R8G8B8, ePool::Managed, r);
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->GetLevelCount(), 7);
    int w, h;
    tex->GetLevelSize(6, w, h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    std::vector<uint8_t> white(64 * 16 * 4, 0xFF);
    cLockedRect lr;
    ASSERT_EQ(tex->LockRect(0, lr, 0), eResult::Ok);
    std::memcpy(lr.bits, white.data(), white.size());
    tex->UnlockRect(0);

    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D();
    UseTexture(tex.get());
    dev->SetTextureStageState(0, e_tssMinFilter, e_filterLinear);
    dev->SetTextureStageState(0, e_tssMagFilter, e_filterLinear);
    dev->SetTextureStageState(0, e_tssMipFilter, e_filterLinear);
    DrawQuad(0, 0, 8, 2, 0xFFFFFFFFu);
    Read();
    EXPECT_RGB(At(3, 0), 255, 255, 255);

    // A level never written cannot be read back: it is not there to give.
    EXPECT_EQ(tex->LockRect(1, lr, e_lockReadOnly), eResult::NotAvailable);
    EXPECT_EQ(tex->UnlockRect(1), eResult::InvalidCall) << "a failed lock leaves nothing locked";
    // Levels written later join the chain: sampling now ends at level 2.
    const uint8_t blue[4] = {0xFF, 0, 0, 0xFF};
    for (int level = 1; level <= 2; ++level) {
        ASSERT_EQ(tex->LockRect(level, lr, 0), eResult::Ok);
        tex->GetLevelSize(level, w, h);
        for (int i = 0; i < w * h; ++i) std::memcpy(static_cast<uint8_t*>(lr.bits) + i * 4, blue, 4);
        tex->UnlockRect(level);
    }
    ASSERT_EQ(tex->LockRect(2, lr, e_lockReadOnly), eResult::Ok);
    EXPECT_EQ(static_cast<uint8_t*>(lr.bits)[0], 0xFF);
    tex->UnlockRect(2);
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    DrawQuad(0, 0, 8, 2, 0xFFFFFFFFu);
    DrawQuad(20, 0, 1, 1, 0xFFFFFFFFu);
    Read();
    EXPECT_RGB(At(3, 0), 0, 0, 255);
    EXPECT_RGB(At(20, 0), 0, 0, 255);

    EXPECT_FALSE(dev->CreateTexture(0, 4, 1, false, eFormat::A8R8G8B8, ePool::Managed, r));
    EXPECT_EQ(r, eResult::InvalidCall);
    EXPECT_FALSE(dev->CreateTexture(4, 4, 1, false, eFormat::D16, ePool::Managed, r));
    EXPECT_FALSE(dev->CreateTexture(4, 4, 1, true, eFormat::A8R8G8B8, ePool::Managed, r));
}

TEST_F(GfxDevice, TextureMatrixMovesCoordinates)
{
    // Row 0 red, row 1 blue; a texture matrix moving v by one half shows blue at the bottom.
    const uint8_t texels[8] = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF};
    auto tex = MakeTexture(eFormat::A8R8G8B8, 1, 2, texels);
    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D();
    UseTexture(tex.get());
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0.5f, 1, 0, 0, 0, 0, 1};
    dev->SetTransform(e_tsTexture0, m);
    dev->SetTextureStageState(0, e_tssTextureTransformFlags, e_ttffCount2);
    DrawQuad(0, 0, 8, 8, 0xFFFFFFFFu);
    Read();
    EXPECT_RGB(At(4, 1), 0, 0, 255);
}

TEST_F(GfxDevice, BufferDrawsAndBounds)
{
    eResult r;
    auto vb = dev->CreateVertexBuffer(6 * sizeof(cVertex), false, ePool::Managed, r);
    auto ib = dev->CreateIndexBuffer(6 * 2, false, ePool::Managed, r);
    ASSERT_TRUE(vb && ib);
    std::vector<cVertex> quad;
    Quad(quad, 40, 40, 4, 4, 0xFF00FF00u);
    void* p = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &p, 0), eResult::Ok);
    std::memcpy(p, quad.data(), 4 * sizeof(cVertex));  // BL, BR, TL, TL: use TR from index data
    static_cast<cVertex*>(p)[3] = quad[5];
    vb->Unlock();
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    ASSERT_EQ(ib->Lock(0, sizeof(idx), &p, 0), eResult::Ok);
    std::memcpy(p, idx, sizeof(idx));
    ib->Unlock();

    dev->Clear(e_clearTarget, 0xFF000000u, 1, 0);
    Begin2D();
    dev->SetStreamSource(0, vb.get(), sizeof(cVertex));
    EXPECT_EQ(dev->DrawPrimitive(e_ptTriangleList, 0, 2), eResult::Ok);
    EXPECT_EQ(dev->DrawPrimitive(e_ptTriangleList, 0, 3), eResult::InvalidCall) << "past the end";
    dev->SetIndices(ib.get(), 0);
    EXPECT_EQ(dev->DrawIndexedPrimitive(e_ptTriangleList, 0, 4, 0, 2), eResult::Ok);
    EXPECT_EQ(dev->DrawIndexedPrimitive(e_ptTriangleList, 0, 4, 3, 2), eResult::InvalidCall);
    Read();
    EXPECT_RGB(At(43, 43), 0, 255, 0);

    EXPECT_EQ(vb->Lock(100, 100, &p, 0), eResult::InvalidCall);
    EXPECT_EQ(p, nullptr);
    // Indices past the vertices offered are refused.
    const uint16_t bad[3] = {0, 1, 7};
    EXPECT_EQ(dev->DrawIndexedPrimitiveUP(e_ptTriangleList, 0, 4, 1, bad, quad.data(), sizeof(cVertex)),
              eResult::InvalidCall);
    EXPECT_EQ(dev->DrawPrimitiveUP(e_ptTriangleList, 0, quad.data(), sizeof(cVertex)),
              eResult::InvalidCall);
}

TEST_F(GfxDevice, SimulatedLossNeedsAResetThatDropsDefaultPoolContents)
{
    eResult r;
    auto dyn = dev->CreateVertexBuffer(16, true, ePool::Default, r);
    auto stat = dev->CreateVertexBuffer(16, false, ePool::Managed, r);
    ASSERT_TRUE(dyn && stat);
    for (cBuffer* b : {dyn.get(), stat.get()}) {
        void* p;
        ASSERT_EQ(b->Lock(0, 0, &p, 0), eResult::Ok);
        std::memset(p, 0x5A, 16);
        b->Unlock();
    }
    dev->SetRenderState(e_rsLighting, 0);

    dev->SimulateDeviceLoss(1);
    EXPECT_EQ(dev->Reset(s_PP), eResult::DeviceLost) << "not resettable yet";
    EXPECT_EQ(dev->TestCooperativeLevel(), eResult::DeviceLost);
    EXPECT_EQ(dev->TestCooperativeLevel(), eResult::DeviceNotReset);
    EXPECT_EQ(dev->Present(), eResult::DeviceLost);
    ASSERT_EQ(dev->Reset(s_PP), eResult::Ok);
    EXPECT_EQ(dev->TestCooperativeLevel(), eResult::Ok);
    EXPECT_EQ(dev->GetRenderState(e_rsLighting), 1u) << "states back to their defaults";

    void* p;
    ASSERT_EQ(dyn->Lock(0, 0, &p, e_lockReadOnly), eResult::Ok);
    EXPECT_EQ(static_cast<uint8_t*>(p)[0], 0);
    dyn->Unlock();
    ASSERT_EQ(stat->Lock(0, 0, &p, e_lockReadOnly), eResult::Ok);
    EXPECT_EQ(static_cast<uint8_t*>(p)[15], 0x5A);
    stat->Unlock();
}

TEST_F(GfxDevice, PresentLetterboxesThroughTheGammaRamp)
{
    dev->Clear(e_clearTarget, 0xFF406080u, 1, 0);
    std::vector<uint8_t> rgb;
    // A 4:3 picture in a 1280 x 1024 drawable: bars of 32 rows above and below.
    ASSERT_EQ(dev->ReadPresented(1280, 1024, rgb), eResult::Ok);
    auto px = [&](int x, int y) {
        size_t i = (static_cast<size_t>(y) * 1280 + static_cast<size_t>(x)) * 3;
        return cRGB{rgb[i], rgb[i + 1], rgb[i + 2]};
    };
    EXPECT_RGB(px(640, 10), 0, 0, 0);
    EXPECT_RGB(px(640, 1013), 0, 0, 0);
    EXPECT_RGB(px(640, 40), 0x40, 0x60, 0x80);
    EXPECT_RGB(px(0, 512), 0x40, 0x60, 0x80);

    uint16_t inv[256];
    for (int i = 0; i < 256; ++i) inv[i] = static_cast<uint16_t>((255 - i) * 256);
    ASSERT_TRUE(SetGammaRamp(inv, inv, inv));
    ASSERT_EQ(dev->ReadPresented(1024, 768, rgb), eResult::Ok);
    uint16_t id[256];
    for (int i = 0; i < 256; ++i) id[i] = static_cast<uint16_t>(i * 256);
    SetGammaRamp(id, id, id);
    size_t mid = (384u * 1024u + 512u) * 3u;
    EXPECT_NEAR(rgb[mid], 255 - 0x40, 1);
    EXPECT_NEAR(rgb[mid + 2], 255 - 0x80, 1);
    EXPECT_EQ(dev->Present(), eResult::Ok);
}

TEST_F(GfxDevice, ResourcesMayOutliveTheirDevice)
{
    const uint8_t texel[4] = {1, 2, 3, 4};
    auto tex = MakeTexture(eFormat::A8R8G8B8, 1, 1, texel);
    eResult r;
    auto vb = dev->CreateVertexBuffer(64, false, ePool::Managed, r);
    dev->SetTexture(0, tex.get());
    dev->SetStreamSource(0, vb.get(), 24);
    // A bound texture that goes away unbinds itself.
    tex.reset();
    Begin2D();
    EXPECT_EQ(DrawQuad(0, 0, 1, 1, 0xFFFFFFFFu), eResult::Ok);
    s_pDevice.reset();
    vb.reset();
    CreateDevice();
}

using vektest::FreeThreadKeys;

// A window with its device system and device, made and destroyed again, as
// every start of the game and its teardown do.
void WindowAndDeviceOnce()
{
    cWindowDesc desc;
    desc.title = "gfx cycle";
    ASSERT_TRUE(WindowSystem().CreateWindow(desc));
    std::unique_ptr<cSystem> system = cSystem::Create();
    ASSERT_TRUE(system);
    cPresentParams pp;
    pp.window = WindowSystem().GetWindow();
    pp.backBufferFormat = eFormat::A8R8G8B8;
    eResult r;
    std::unique_ptr<cDevice> device = system->CreateDevice(pp.window, e_vpHardware, pp, r);
    EXPECT_TRUE(device);
    device.reset();
    system.reset();
    WindowSystem().DestroyWindow();
}

// Reloading the GL library takes a thread-local key for good (libEGL's);
// a process has about a thousand, so a program that started the game that
// often could make no GL context. Later windows take none.
TEST(GfxWindows, WindowsAndDevicesMadeAgainTakeNoThreadKeys)
{
    ASSERT_TRUE(WindowSystem().Init());
    WindowAndDeviceOnce();
    const int free = FreeThreadKeys();
    for (int i = 0; i < 3; ++i) WindowAndDeviceOnce();
    EXPECT_EQ(FreeThreadKeys(), free);
}

}  // namespace
