#include "engine/graphics/render.h"

#include <algorithm>
#include <cstring>

#include "engine/core/log.h"
#include "engine/graphics/texture.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace vek {

cRender* g_pRender = nullptr;

namespace {

constexpr const char* kSender = "cRender";
constexpr const char* kProgress = "  cRender";

using gfx::eResult;

// Minification and magnification filter, mip filter, by filter mode.
const uint32_t g_FilterTable[6][2] = {
    {gfx::e_filterPoint, gfx::e_filterNone},        {gfx::e_filterLinear, gfx::e_filterNone},
    {gfx::e_filterLinear, gfx::e_filterPoint},      {gfx::e_filterLinear, gfx::e_filterLinear},
    {gfx::e_filterAnisotropic, gfx::e_filterPoint}, {gfx::e_filterAnisotropic, gfx::e_filterLinear},
};

gfx::eFormat DeviceFormat(int id)
{
    switch (id) {
    case e_pfL8: return gfx::eFormat::L8;
    case e_pfL8A8: return gfx::eFormat::A8L8;
    case e_pf565: return gfx::eFormat::R5G6B5;
    case e_pfRGB:
    case e_pfRGB32: return gfx::eFormat::X8R8G8B8;
    case e_pfRGBA: return gfx::eFormat::A8R8G8B8;
    case e_pfDXT1: return gfx::eFormat::DXT1;
    case e_pfDXT3: return gfx::eFormat::DXT3;
    case e_pfDXT5: return gfx::eFormat::DXT5;
    default: return gfx::eFormat::Unknown;
    }
}

const float* Row(const matrix4& m) { return &m.m[0][0]; }

} // namespace

// ------------------------------------------------------------ vertex format

uint32_t cVertexFormat::GetFVF() const
{
    uint32_t fvf = 0;
    if (bPosition) fvf |= gfx::e_fvfXYZ;
    if (bNormal) fvf |= gfx::e_fvfNormal;
    if (bDiffuse) fvf |= gfx::e_fvfDiffuse;
    switch (iTexture) {
    case 1: fvf |= gfx::e_fvfTex1 | gfx::TexCoordSize1(0); break;
    case 2: fvf |= gfx::e_fvfTex1; break;
    case 3: fvf |= gfx::e_fvfTex1 | gfx::TexCoordSize3(0); break;
    case 4: fvf |= gfx::e_fvfTex1 | gfx::TexCoordSize4(0); break;
    default: break;
    }
    return fvf;
}

int cVertexFormat::GetSize() const
{
    int size = 0;
    if (bPosition) size += 12;
    if (bNormal) size += 12;
    if (bDiffuse) size += 4;
    if (iTexture >= 1 && iTexture <= 4) size += 4 * iTexture;
    return size;
}

cDeviceTexture::~cDeviceTexture()
{
    if (g_pRender) g_pRender->ForgetTexture(this);
}

// ---------------------------------------------------------------- helpers

void MatrixMultiply(matrix4& out, const matrix4& a, const matrix4& b)
{
    matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    out = r;
}

recti IntersectRect(const recti& a, const recti& b)
{
    recti r;
    r.x = std::max(a.x, b.x);
    r.y = std::max(a.y, b.y);
    r.w = std::max(0, std::min(a.x + a.w, b.x + b.w) - r.x);
    r.h = std::max(0, std::min(a.y + a.h, b.y + b.h) - r.y);
    return r;
}

bool CreateRender()
{
    if (g_pRender)
        LogWarning("CreateRender", "Already exist\n");
    else
        g_pRender = new cRender();
    LogText("CreateRender", "Ok\n");
    return true;
}

bool DestroyRender()
{
    if (!g_pRender) {
        LogWarning("DestroyRender", "Does not exist\n");
        return false;
    }
    delete g_pRender;
    g_pRender = nullptr;
    LogText("DestroyRender", "Ok\n");
    return true;
}

// ------------------------------------------------------------- life cycle

cRender::cRender()
{
    LogText(kSender, "Creating...\n");
    LogText(kProgress, "Using Direct3D 8\n");
    LogText(kProgress, "Loading d3d8.dll...\n");
    m_pSystem = gfx::cSystem::Create();
    if (!m_pSystem) LogError(kSender, "d3d8.dll not found\n");
}

cRender::~cRender()
{
    if (m_pDevice) LogWarning(kSender, "Destructor. Device not freed!\n");
    m_pOwnDepthStencil.reset();
    m_pDevice.reset();
    m_pSystem.reset();
    LogText(kSender, "Destroyed.\n");
    for (cBufferRecord* r : m_lstVertexBuffers) delete r;
    for (cBufferRecord* r : m_lstIndexBuffers) delete r;
    m_lstVertexBuffers.clear();
    m_lstIndexBuffers.clear();
}

int cRender::FillPresentParameters(const cRenderSettings& settings)
{
    if (&settings != &m_Settings) m_Settings = settings;
    if (!m_pSystem) return 2;
    m_PP = gfx::cPresentParams();
    gfx::cDisplayMode mode;
    if (m_pSystem->GetAdapterDisplayMode(mode) != eResult::Ok) return 1;
    m_PP.window = platform::WindowSystem().GetWindow();
    m_PP.windowed = true;
    m_PP.backBufferWidth = m_PP.backBufferHeight = 0;
    m_PP.vsync = m_Settings.iVSync != 0;
    const bool desktop32 = mode.format == gfx::eFormat::X8R8G8B8;
    m_PP.backBufferFormat = desktop32 ? gfx::eFormat::A8R8G8B8 : gfx::eFormat::R5G6B5;

    const bool depth = (m_Settings.iDepthStencil & 0xff) != 0;
    auto stencil = [this] { return (m_Settings.iDepthStencil & 0xff00) != 0; };
    auto clearStencil = [this] { m_Settings.iDepthStencil &= ~0xff00; };
    gfx::eFormat format = gfx::eFormat::Unknown;
    if (stencil()) format = gfx::eFormat::D24S8;
    else if (depth) format = gfx::eFormat::D24X8;
    if (!desktop32) {
        format = gfx::eFormat::D16;
        clearStencil();
    }
    if (format != gfx::eFormat::Unknown) {
        m_PP.autoDepthStencil = true;
        if (m_pSystem->CheckDepthFormat(mode.format, format) != eResult::Ok) {
            LogWarning(kSender, "Device does not support stencilbuffer, disabling stencil buffer.\n");
            clearStencil();
        } else if (m_pSystem->CheckDepthStencilMatch(mode.format, m_PP.backBufferFormat, format) !=
                   eResult::Ok) {
            LogWarning(kSender,
                       "Depth-stencil format is not compatible with display format, disabling stencil buffer.\n");
            clearStencil();
        }
        if (!stencil()) format = gfx::eFormat::D16;
        m_PP.depthFormat = format;
    }
    if (m_Settings.iAntiAlias != 0) {
        const int samples = m_Settings.iAntiAlias == 4 ? 4 : 2;
        if (m_pSystem->CheckMultiSample(m_PP.backBufferFormat, samples) != eResult::Ok) {
            LogWarning(kSender, "Anti aliasing disabled because hardware/driver lacks necessary caps.\n");
            m_PP.multiSample = 0;
            m_Settings.iAntiAlias = 0;
        } else {
            m_PP.multiSample = samples;
            m_PP.discard = true;
        }
    }
    return 0;
}

int cRender::Init(const cRenderSettings& settings)
{
    LogText(kSender, "Initializing...\n");
    if (m_pDevice) Free();
    // Video may have come up only after the renderer was made.
    if (!m_pSystem) m_pSystem = gfx::cSystem::Create();
    m_Settings = settings;
    const int filled = FillPresentParameters(m_Settings);
    if (filled != 0) return filled;
    LogText(kProgress, "Fill D3DPRESENT_PARAMETERS structure. Ok\n");

    static const int attempts[3] = {gfx::e_vpHardware, gfx::e_vpMixed, gfx::e_vpSoftware};
    for (int i = 0; i < 3 && !m_pDevice; ++i) {
        LogText(kProgress, "Attempt #%i to create Direct3D device\n", i);
        eResult r;
        m_pDevice = m_pSystem->CreateDevice(m_PP.window, attempts[i], m_PP, r);
    }
    if (!m_pDevice) {
        LogError(kSender, "Was not able to create Direct3D8 device\n");
        return 3;
    }
    if (m_pSystem->GetCaps(m_Caps) == eResult::Ok)
        LogText(kProgress, "Get Direct3D caps. Ok\n");
    else
        LogWarning(kSender, "Can't get Direct3D caps\n");

    int w = 0, h = 0;
    platform::WindowSystem().GetClientSize(w, h);
    m_Viewport = recti(0, 0, w, h);
    d3dRecreateDepthStencil();
    LogText(kProgress, "Change viewport. Ok\n");
    SetHardwareDefaults();

    for (cBufferRecord* r : m_lstVertexBuffers) RestoreBuffer(r, false);
    for (cBufferRecord* r : m_lstIndexBuffers) RestoreBuffer(r, true);
    return 0;
}

void cRender::Free()
{
    for (cBufferRecord* r : m_lstVertexBuffers) SaveBuffer(r);
    for (cBufferRecord* r : m_lstIndexBuffers) SaveBuffer(r);
    m_pOwnDepthStencil.reset();
    m_pDepthStencil = nullptr;
    for (cStage& s : m_Stages) s.pTexture = nullptr;
    m_pVertexBuffer = nullptr;
    m_iIndexBound = 0;
    m_pDevice.reset();
    m_bDeviceLost = false;
    m_Viewport = recti();
    LogText(kSender, "Render is Free\n");
}

// ------------------------------------------------------------------ frame

int cRender::Begin()
{
    m_Frame = cCounters();
    if (!m_pDevice) return e_beginNoDevice;
    // An empty viewport and a lost device last as long as the window is
    // minimised, frame after frame: each is logged once per episode, where a
    // line per frame would fill the log.
    if (m_Viewport.w == 0 || m_Viewport.h == 0) {
        if (!m_bEmptyViewportLogged) LogWarning(kSender, "Begin. Empty context rect\n");
        m_bEmptyViewportLogged = true;
        return e_beginSkip;
    }
    m_bEmptyViewportLogged = false;

    if (m_bDeviceLost) {
        platform::SleepMs(100);
        const eResult test = m_pDevice->TestCooperativeLevel();
        if (test == eResult::DeviceLost) {
            if (!m_bLostLogged) LogText(kSender, "Begin. TestCooperativeLevel return 'device lost'\n");
            m_bLostLogged = true;
            return e_beginLost;
        }
        if (test == eResult::DeviceNotReset) {
            LogText(kSender, "Begin. TestCooperativeLevel return 'device not reset'\n");
            m_pOwnDepthStencil.reset();
            m_pDepthStencil = nullptr;
            if (g_pTextureManager) g_pTextureManager->ReleaseRenderTargets();
            for (cBufferRecord* r : m_lstVertexBuffers)
                if (r->IsDynamic()) r->pBuffer.reset();
            for (cBufferRecord* r : m_lstIndexBuffers)
                if (r->IsDynamic()) r->pBuffer.reset();
            gfx::cDisplayMode mode;
            if (m_pSystem->GetAdapterDisplayMode(mode) == eResult::Ok)
                m_PP.backBufferFormat = mode.format == gfx::eFormat::X8R8G8B8 ? gfx::eFormat::A8R8G8B8
                                                                              : gfx::eFormat::R5G6B5;
            if (m_pDevice->Reset(m_PP) != eResult::Ok) return e_beginSkip;
            for (cBufferRecord* r : m_lstVertexBuffers)
                if (r->IsDynamic()) MakeDeviceBuffer(r, false);
            for (cBufferRecord* r : m_lstIndexBuffers)
                if (r->IsDynamic()) MakeDeviceBuffer(r, true);
            SetHardwareDefaults();
            d3dRecreateDepthStencil();
            if (g_pTextureManager) g_pTextureManager->RestoreRenderTargets();
            return e_beginSkip;
        }
        if (test != eResult::Ok) {
            LogWarning(kSender, "Begin. TestCooperativeLevel return code: 0x%08X\n", gfx::ResultCode(test));
            return e_beginSkip;
        }
        m_bDeviceLost = false;
        m_bLostLogged = false;
    }
    const eResult r = m_pDevice->BeginScene();
    if (r != eResult::Ok) {
        LogWarning(kSender, "Begin. BeginScene failed. Return code: 0x%08X\n", gfx::ResultCode(r));
        return e_beginSkip;
    }
    return e_beginOk;
}

void cRender::End()
{
    if (m_pDevice) {
        const eResult r = m_pDevice->EndScene();
        if (r != eResult::Ok)
            LogWarning(kSender, "End. EndScene failed. Return code: 0x%08X\n", gfx::ResultCode(r));
    }
    m_LastFrame = m_Frame;
}

void cRender::SwapBuffers()
{
    if (!m_pDevice) return;
    const eResult r = m_pDevice->Present();
    if (r == eResult::DeviceLost) {
        LogText(kSender, "SwapBuffers. Device lost\n");
        m_bDeviceLost = true;
    } else if (r != eResult::Ok) {
        LogWarning(kSender, "SwapBuffers. Present failed. Return code: 0x%08X\n", gfx::ResultCode(r));
    }
}

void cRender::MarkDeviceLost()
{
    m_bDeviceLost = true;
    if (m_pDevice) m_pDevice->SimulateDeviceLoss(0);
}

void cRender::SetClearColor(float r, float g, float b, float a)
{
    m_uClearColor = PackColor(r, g, b, a);
}

void cRender::Clear()
{
    if (!m_pDevice) return;
    unsigned flags = gfx::e_clearTarget;
    if (m_PP.autoDepthStencil) flags |= gfx::e_clearZBuffer;
    if (m_PP.autoDepthStencil && m_PP.depthFormat == gfx::eFormat::D24S8) flags |= gfx::e_clearStencil;
    m_pDevice->Clear(flags, m_uClearColor, 1.0f, m_uClearStencil);
}

std::unique_ptr<cImage> cRender::ReadFrontBuffer(recti* out)
{
    if (!m_pDevice) return nullptr;
    gfx::cDisplayMode mode;
    if (m_pDevice->GetDisplayMode(mode) != eResult::Ok) return nullptr;
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    if (m_pDevice->ReadFrontBuffer(rgb, w, h) != eResult::Ok) return nullptr;
    auto img = std::make_unique<cImage>(e_pfRGB, w, h, 1);
    if (img->GetLevelCount() != 1 || !img->SetLevel(0, std::move(rgb))) return nullptr;
    if (out) *out = recti(0, 0, w, h);
    return img;
}

void cRender::SetViewport(int x, int y, int w, int h)
{
    m_Viewport = recti(x, y, w, h);
}

// ----------------------------------------------------------------- states

void cRender::SetRenderState(int state, uint32_t value)
{
    if (m_pDevice) m_pDevice->SetRenderState(state, value);
}

void cRender::SetTransform(int kind, const matrix4& m)
{
    switch (kind) {
    case e_Projection: {
        m_Projection = m;
        // The device takes depth from 0 to 1.
        matrix4 d = m;
        d.m[2][2] *= 0.5f;
        d.m[3][2] += 0.5f;
        if (m_pDevice) m_pDevice->SetTransform(gfx::e_tsProjection, Row(d));
        break;
    }
    case e_View:
        m_View = m;
        if (m_pDevice) m_pDevice->SetTransform(gfx::e_tsView, Row(m));
        break;
    case e_World:
        m_World = m;
        if (m_pDevice) m_pDevice->SetTransform(gfx::e_tsWorld, Row(m));
        break;
    case e_Texture: {
        // Two-component texture coordinates are transformed as (u, v, 1):
        // the translation row moves up into the third row.
        matrix4 t;
        for (int c = 0; c < 3; ++c) {
            t.m[0][c] = m.m[0][c];
            t.m[1][c] = m.m[1][c];
            t.m[2][c] = m.m[3][c];
        }
        if (m_pDevice) m_pDevice->SetTransform(gfx::e_tsTexture0 + m_iStage, Row(t));
        break;
    }
    default: break;
    }
}

const matrix4& cRender::GetTransform(int kind) const
{
    if (kind == e_View) return m_View;
    if (kind == e_World) return m_World;
    return m_Projection;
}

void cRender::SetAlphaTest(int function, float reference)
{
    if (function != 0) {
        if (!m_bAlphaTest) {
            SetRenderState(gfx::e_rsAlphaTestEnable, 1);
            m_bAlphaTest = true;
        }
        if (function != m_iAlphaFunc) {
            SetRenderState(gfx::e_rsAlphaFunc, static_cast<uint32_t>(function));
            m_iAlphaFunc = function;
        }
        if (reference != m_fAlphaRef) {
            SetRenderState(gfx::e_rsAlphaRef, static_cast<uint32_t>(reference * 255.0f));
            m_fAlphaRef = reference;
        }
    } else if (m_bAlphaTest) {
        SetRenderState(gfx::e_rsAlphaTestEnable, 0);
        m_bAlphaTest = false;
    }
}

void cRender::SetBlendFunc(int source, int destination)
{
    if (source == 0 || destination == 0) {
        if (m_bBlend) {
            SetRenderState(gfx::e_rsAlphaBlendEnable, 0);
            m_bBlend = false;
        }
        return;
    }
    if (!m_bBlend) {
        SetRenderState(gfx::e_rsAlphaBlendEnable, 1);
        m_bBlend = true;
    }
    if (source != m_iSrcBlend) {
        SetRenderState(gfx::e_rsSrcBlend, static_cast<uint32_t>(source));
        m_iSrcBlend = source;
    }
    if (destination != m_iDestBlend) {
        SetRenderState(gfx::e_rsDestBlend, static_cast<uint32_t>(destination));
        m_iDestBlend = destination;
    }
    if (m_iBlendOp != gfx::e_blendOpAdd) {
        SetRenderState(gfx::e_rsBlendOp, gfx::e_blendOpAdd);
        m_iBlendOp = gfx::e_blendOpAdd;
    }
}

void cRender::SetTexture(cDeviceTexture* texture)
{
    cStage& st = m_Stages[m_iStage];
    if (!texture) {
        if (st.pTexture) {
            if (m_pDevice) m_pDevice->SetTexture(m_iStage, nullptr);
            st.pTexture = nullptr;
        }
        return;
    }
    if (texture == st.pTexture) return;
    if (m_pDevice) m_pDevice->SetTexture(m_iStage, texture->pTexture.get());
    st.pTexture = texture;
    const int filter = texture->desc.filter;
    if (filter != st.iFilter && filter >= 0 && filter < 6) {
        if (m_pDevice) {
            m_pDevice->SetTextureStageState(m_iStage, gfx::e_tssMinFilter, g_FilterTable[filter][0]);
            m_pDevice->SetTextureStageState(m_iStage, gfx::e_tssMagFilter, g_FilterTable[filter][0]);
            m_pDevice->SetTextureStageState(m_iStage, gfx::e_tssMipFilter, g_FilterTable[filter][1]);
        }
        st.iFilter = filter;
    }
    if (texture->desc.address != st.iAddress) {
        const uint32_t a = static_cast<uint32_t>(texture->desc.address);
        if (m_pDevice) {
            m_pDevice->SetTextureStageState(m_iStage, gfx::e_tssAddressU, a);
            m_pDevice->SetTextureStageState(m_iStage, gfx::e_tssAddressV, a);
            m_pDevice->SetTextureStageState(m_iStage, gfx::e_tssAddressW, a);
        }
        st.iAddress = texture->desc.address;
    }
}

void cRender::ForgetTexture(const cDeviceTexture* texture)
{
    for (cStage& s : m_Stages)
        if (s.pTexture == texture) s.pTexture = nullptr;
}

void cRender::SetTextureStageOps(int colorOp, int colorArg1, int colorArg2, int alphaOp,
                                 int alphaArg1, int alphaArg2)
{
    const int32_t ops[6] = {colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2};
    cStage& st = m_Stages[m_iStage];
    if (std::memcmp(ops, st.ops, sizeof(ops)) == 0) return;
    static const int states[6] = {gfx::e_tssColorOp,  gfx::e_tssColorArg1, gfx::e_tssColorArg2,
                                  gfx::e_tssAlphaOp,  gfx::e_tssAlphaArg1, gfx::e_tssAlphaArg2};
    if (m_pDevice)
        for (int i = 0; i < 6; ++i)
            m_pDevice->SetTextureStageState(m_iStage, states[i], static_cast<uint32_t>(ops[i]));
    std::memcpy(st.ops, ops, sizeof(ops));
}

void cRender::SetTextureFactor(float r, float g, float b, float a)
{
    SetRenderState(gfx::e_rsTextureFactor, PackColor(r, g, b, a));
}

void cRender::SetVertexFormat(const cVertexFormat& format)
{
    if (format == m_VertexFormat) return;
    m_VertexFormat = format;
    const uint32_t fvf = format.GetFVF();
    if (fvf != 0 && m_pDevice) m_pDevice->SetFVF(fvf);
}

void cRender::SetVertexBuffer(cBufferRecord* buffer)
{
    if (buffer == m_pVertexBuffer) return;
    m_pVertexBuffer = buffer;
    if (!m_pDevice) return;
    if (buffer)
        m_pDevice->SetStreamSource(0, buffer->pBuffer.get(), GetVertexSize());
    else
        m_pDevice->SetStreamSource(0, nullptr, 0);
}

void cRender::SetIndexBuffer(cBufferRecord* buffer)
{
    if (!buffer) {
        ResetIndexBuffer();
        return;
    }
    m_iIndexBound = 1;
    if (m_pDevice) m_pDevice->SetIndices(buffer->pBuffer.get(), 0);
}

void cRender::ResetIndexBuffer()
{
    if (!m_iIndexBound) return;
    m_iIndexBound = 0;
    if (m_pDevice) m_pDevice->SetIndices(nullptr, 0);
}

void cRender::SetMaterialColor(float r, float g, float b, float a)
{
    float diffuse[4] = {0, 0, 0, 0}, zero[4] = {0, 0, 0, 0}, emissive[4] = {0, 0, 0, 0};
    if (m_bLighting) {
        diffuse[0] = r, diffuse[1] = g, diffuse[2] = b, diffuse[3] = a;
    } else {
        // Lit with no lights, the emissive part is the colour and the
        // diffuse alpha the opacity.
        diffuse[3] = a;
        emissive[0] = r, emissive[1] = g, emissive[2] = b, emissive[3] = a;
    }
    if (m_pDevice) m_pDevice->SetMaterial(diffuse, zero, zero, emissive, 0.0f);
}

const matrix4& cRender::GetViewWorldMatrix()
{
    static matrix4 s_ViewWorld;
    MatrixMultiply(s_ViewWorld, m_World, m_View);
    return s_ViewWorld;
}

void cRender::SetHardwareDefaults()
{
    if (m_pDevice) {
        m_pDevice->SetRenderState(gfx::e_rsCullMode, gfx::e_cullCW);
        if (m_PP.autoDepthStencil) m_pDevice->SetRenderState(gfx::e_rsZEnable, 0);
        m_pDevice->SetRenderState(gfx::e_rsZFunc, gfx::e_cmpLess);
        m_pDevice->SetTextureStageState(0, gfx::e_tssAlphaOp, gfx::e_topModulate);
        for (int s = 0; s < 4; ++s) {
            m_pDevice->SetTextureStageState(s, gfx::e_tssTextureTransformFlags, gfx::e_ttffCount2);
            if (m_Caps.maxAnisotropy > 1)
                m_pDevice->SetTextureStageState(s, gfx::e_tssMaxAnisotropy,
                                                static_cast<uint32_t>(m_Caps.maxAnisotropy));
        }
    }
    LogText(kProgress, "Set hardware defaults - ok\n");
    SetSoftwareDefaults();
}

void cRender::SetSoftwareDefaults()
{
    m_VertexFormat = cVertexFormat();
    m_Projection = matrix4();
    m_View = matrix4();
    m_World = matrix4();
    m_bLighting = false;
    m_bAlphaTest = false;
    m_iAlphaFunc = 0;
    m_fAlphaRef = 0.0f;
    m_bBlend = false;
    m_iSrcBlend = m_iDestBlend = 0;
    m_iBlendOp = gfx::e_blendOpAdd;
    m_iStage = 0;
    for (cStage& s : m_Stages) s = cStage();
    m_pVertexBuffer = nullptr;
    m_iIndexBound = 0;
    LogText(kProgress, "Set software defaults - ok\n");
}

// ---------------------------------------------------------------- drawing

void cRender::CountDraw(int vertices, int primitives)
{
    m_Frame.vertices += vertices;
    m_Frame.primitives += primitives;
    m_Frame.calls += 1;
}

void cRender::DrawPrimitives(int primitiveCount, int vertexCount)
{
    if (primitiveCount <= 0 || vertexCount <= 0) {
        LogWarning(kSender, "Trying to draw empty primitive.\n");
        return;
    }
    if (!m_pDevice) return;
    const eResult r =
        m_iIndexBound
            ? m_pDevice->DrawIndexedPrimitive(gfx::e_ptTriangleList, 0, vertexCount, 0, primitiveCount)
            : m_pDevice->DrawPrimitive(gfx::e_ptTriangleList, 0, primitiveCount);
    if (r != eResult::Ok)
        LogWarning(kSender, "DrawPrimitives. DIP return code: 0x%08X\n", gfx::ResultCode(r));
    CountDraw(vertexCount, primitiveCount);
}

void cRender::DrawPrimitives(const void* vertices, int primitiveCount, int kind, int vertexCount,
                             const uint16_t* indices)
{
    if (!vertices || primitiveCount <= 0 || vertexCount <= 0) {
        LogWarning(kSender, "Trying to draw empty primitive.\n");
        return;
    }
    if (!m_pDevice) return;
    const int type = kind + 1;
    const int stride = GetVertexSize();
    const eResult r =
        indices ? m_pDevice->DrawIndexedPrimitiveUP(type, 0, vertexCount, primitiveCount, indices,
                                                    vertices, stride)
                : m_pDevice->DrawPrimitiveUP(type, primitiveCount, vertices, stride);
    if (r != eResult::Ok)
        LogWarning(kSender, "DrawPrimitives. DIP return code: 0x%08X\n", gfx::ResultCode(r));
    // A user-array draw leaves no buffer bound on the device.
    m_pVertexBuffer = nullptr;
    m_iIndexBound = 0;
    CountDraw(vertexCount, primitiveCount);
}

// --------------------------------------------------------------- textures

std::unique_ptr<cDeviceTexture> cRender::CreateTexture(const cTextureDesc* desc)
{
    if (!m_pDevice || !desc) return nullptr;
    const gfx::eFormat format = DeviceFormat(desc->format.id);
    if (format == gfx::eFormat::Unknown) return nullptr;
    eResult r;
    auto t = m_pDevice->CreateTexture(desc->width, desc->height, desc->filter < 2 ? 1 : 0, false,
                                      format, gfx::ePool::Managed, r);
    if (!t) return nullptr;
    auto dt = std::make_unique<cDeviceTexture>();
    dt->desc = *desc;
    dt->pTexture = std::move(t);
    return dt;
}

std::unique_ptr<cDeviceTexture> cRender::CreateRenderTarget(int width, int height)
{
    if (!m_pDevice) return nullptr;
    eResult r;
    auto t = m_pDevice->CreateTexture(width, height, 1, true, m_PP.backBufferFormat,
                                      gfx::ePool::Default, r);
    if (!t) return nullptr;
    auto dt = std::make_unique<cDeviceTexture>();
    dt->desc.width = width;
    dt->desc.height = height;
    dt->desc.depth = 1;
    dt->desc.filter = 1;
    dt->desc.address = 1;
    int id = e_pfNone;
    if (m_PP.backBufferFormat == gfx::eFormat::R5G6B5) id = e_pf565;
    else if (m_PP.backBufferFormat == gfx::eFormat::A8R8G8B8 ||
             m_PP.backBufferFormat == gfx::eFormat::X8R8G8B8)
        id = e_pfRGBA;
    dt->desc.format = cPixelFormat::Get(id);
    dt->pTexture = std::move(t);
    return dt;
}

// ---------------------------------------------------------------- buffers

bool cRender::MakeDeviceBuffer(cBufferRecord* r, bool index)
{
    if (!m_pDevice || r->iSize <= 0) return false;
    const bool dynamic = r->IsDynamic();
    const gfx::ePool pool = dynamic ? gfx::ePool::Default : gfx::ePool::Managed;
    eResult res;
    const unsigned size = static_cast<unsigned>(r->iSize);
    r->pBuffer = index ? m_pDevice->CreateIndexBuffer(size, dynamic, pool, res)
                       : m_pDevice->CreateVertexBuffer(size, dynamic, pool, res);
    return r->pBuffer != nullptr;
}

void cRender::SaveBuffer(cBufferRecord* r)
{
    if (!r->pBuffer || r->iSize <= 0) return;
    unsigned flags = gfx::e_lockReadOnly;
    if (r->IsDynamic()) flags |= gfx::e_lockDiscard;
    void* p = nullptr;
    if (r->pBuffer->Lock(0, 0, &p, flags) == eResult::Ok && p) {
        const uint8_t* bytes = static_cast<const uint8_t*>(p);
        r->pSaved = std::make_unique<std::vector<uint8_t>>(bytes, bytes + r->iSize);
        r->pBuffer->Unlock();
    }
    r->pBuffer.reset();
}

void cRender::RestoreBuffer(cBufferRecord* r, bool index)
{
    if (r->iSize <= 0 || !r->pSaved || r->pBuffer) return;
    // A buffer that cannot be made keeps its saved bytes for the next try.
    if (!MakeDeviceBuffer(r, index)) return;
    void* p = nullptr;
    if (r->pBuffer->Lock(0, 0, &p, r->IsDynamic() ? unsigned(gfx::e_lockDiscard) : 0u) == eResult::Ok && p) {
        std::memcpy(p, r->pSaved->data(), std::min(r->pSaved->size(), static_cast<size_t>(r->iSize)));
        r->pBuffer->Unlock();
    }
    r->pSaved.reset();
}

cBufferRecord* cRender::CreateBuffer(bool index, int size, int usage)
{
    if (size <= 0) return nullptr;
    auto* r = new cBufferRecord();
    r->iSize = size;
    r->iUsage = usage;
    // Without a device the contents wait in the saved block for the next Init.
    if (!MakeDeviceBuffer(r, index))
        r->pSaved = std::make_unique<std::vector<uint8_t>>(static_cast<size_t>(size), 0);
    (index ? m_lstIndexBuffers : m_lstVertexBuffers).push_back(r);
    return r;
}

bool cRender::WriteBuffer(cBufferRecord* r, int offset, const void* data, int size)
{
    if (!r || !data || offset < 0 || size <= 0 || offset > r->iSize || size > r->iSize - offset)
        return false;
    if (r->pBuffer) {
        void* p = nullptr;
        if (r->pBuffer->Lock(static_cast<unsigned>(offset), static_cast<unsigned>(size), &p, 0) !=
                eResult::Ok ||
            !p)
            return false;
        std::memcpy(p, data, static_cast<size_t>(size));
        r->pBuffer->Unlock();
        return true;
    }
    if (!r->pSaved) r->pSaved = std::make_unique<std::vector<uint8_t>>(static_cast<size_t>(r->iSize), 0);
    std::memcpy(r->pSaved->data() + offset, data, static_cast<size_t>(size));
    return true;
}

void cRender::ReleaseBuffer(bool index, cBufferRecord* r)
{
    if (!r) return;
    auto& list = index ? m_lstIndexBuffers : m_lstVertexBuffers;
    list.remove(r);
    if (m_pVertexBuffer == r) SetVertexBuffer(nullptr);
    r->pSaved.reset();
    r->pBuffer.reset();
    delete r;
}

// ------------------------------------------------------- depth and caps

int cRender::d3dRecreateDepthStencil()
{
    if (!m_pDevice) return 3;
    m_pOwnDepthStencil.reset();
    m_pDepthStencil = nullptr;
    if (!m_PP.autoDepthStencil) {
        LogText(kProgress, "Depth&stencil surface not used\n");
        return 0;
    }
    int w = 0, h = 0;
    gfx::eFormat f = gfx::eFormat::Unknown;
    if (gfx::cSurface* s = m_pDevice->GetDepthStencilSurface())
        s->GetDesc(w, h, f);
    else
        LogWarning(kSender, "d3dRecreateDepthStencil. Can't get backbuffer surface\n");
    eResult r;
    if (m_PP.backBufferFormat == gfx::eFormat::R5G6B5) {
        m_pOwnDepthStencil = m_pDevice->CreateDepthStencilSurface(w, h, gfx::eFormat::D16, 0, r);
        if (m_pOwnDepthStencil)
            LogText(kSender, "Recreate depth&stencil. Create own 16bit surface. Ok\n");
        else
            LogWarning(kSender, "d3dRecreateDepthStencil. Can't create 16bit depth&stencil surface\n");
        m_pDepthStencil = m_pOwnDepthStencil.get();
    } else if (m_PP.multiSample != 0) {
        m_pOwnDepthStencil = m_pDevice->CreateDepthStencilSurface(w, h, f, 0, r);
        if (m_pOwnDepthStencil)
            LogText(kSender, "Recreate depth&stencil. Create own 32bit surface. Ok\n");
        else
            LogWarning(kSender, "d3dRecreateDepthStencil. Can't create 32bit depth&stencil surface\n");
        m_pDepthStencil = m_pOwnDepthStencil.get();
    } else {
        m_pDepthStencil = m_pDevice->GetDepthStencilSurface();
        if (m_pDepthStencil)
            LogText(kSender, "Recreate depth&stencil. Get backbuffer surface. Ok\n");
        else
            LogWarning(kSender, "d3dRecreateDepthStencil. Can't get depth&stencil surface\n");
    }
    return 0;
}

void cRender::DumpCaps()
{
    LogContinuation("Direct3D:\n");
    LogContinuation("  Specifics:\n");
    LogContinuation("    MaxTextureWidth = %i, MaxTextureHeight = %i\n", m_Caps.maxTextureWidth,
                    m_Caps.maxTextureHeight);
    LogContinuation("    MaxAnisotropy = %i\n", m_Caps.maxAnisotropy);
}

} // namespace vek
