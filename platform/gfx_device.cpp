// The system object and the device over an OpenGL 3.3 core context made for
// the engine window through SDL.
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

#include "platform/gfx_gl.h"
#include "platform/window.h"

namespace vek::platform::gfx {

cDevice::~cDevice() = default;
cSystem::~cSystem() = default;

namespace gl {
namespace {

enum : unsigned {
    e_dirtyTransform = 1u << 0,
    e_dirtyLighting = 1u << 1,
    e_dirtyStage = 1u << 2,
    e_dirtyFixed = 1u << 3,
    e_dirtyTexture = 1u << 4,
    e_dirtySampler = 1u << 5,
    e_dirtyFrame = 1u << 6,
    e_dirtyAll = 0xffffffffu,
};

constexpr GLuint g_uAttrPos = 0, g_uAttrColor = 1, g_uAttrTex = 2;
constexpr size_t g_uStreamStart = 4u << 20;

GLenum BlendFactor(uint32_t v)
{
    switch (v) {
    case e_blendZero: return GL_ZERO;
    case e_blendOne: return GL_ONE;
    case e_blendSrcColor: return GL_SRC_COLOR;
    case e_blendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case e_blendSrcAlpha: return GL_SRC_ALPHA;
    case e_blendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case e_blendDestAlpha: return GL_DST_ALPHA;
    case e_blendInvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case e_blendDestColor: return GL_DST_COLOR;
    case e_blendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case e_blendSrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum BlendEquation(uint32_t v)
{
    switch (v) {
    case e_blendOpSubtract: return GL_FUNC_SUBTRACT;
    case e_blendOpRevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
    case e_blendOpMin: return GL_MIN;
    case e_blendOpMax: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(uint32_t v)
{
    switch (v) {
    case e_cmpNever: return GL_NEVER;
    case e_cmpLess: return GL_LESS;
    case e_cmpEqual: return GL_EQUAL;
    case e_cmpLessEqual: return GL_LEQUAL;
    case e_cmpGreater: return GL_GREATER;
    case e_cmpNotEqual: return GL_NOTEQUAL;
    case e_cmpGreaterEqual: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum AddressMode(uint32_t v)
{
    switch (v) {
    case e_addressMirror:
    case e_addressMirrorOnce: return GL_MIRRORED_REPEAT;
    case e_addressClamp: return GL_CLAMP_TO_EDGE;
    case e_addressBorder: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

bool PrimitiveMode(int type, int primCount, GLenum& mode, int& vertices)
{
    if (primCount <= 0) return false;
    switch (type) {
    case e_ptPointList: mode = GL_POINTS; vertices = primCount; return true;
    case e_ptLineList: mode = GL_LINES; vertices = primCount * 2; return true;
    case e_ptLineStrip: mode = GL_LINE_STRIP; vertices = primCount + 1; return true;
    case e_ptTriangleList: mode = GL_TRIANGLES; vertices = primCount * 3; return true;
    case e_ptTriangleStrip: mode = GL_TRIANGLE_STRIP; vertices = primCount + 2; return true;
    case e_ptTriangleFan: mode = GL_TRIANGLE_FAN; vertices = primCount + 2; return true;
    default: return false;
    }
}

// Where the parts of a vertex lie, by its format bits.
struct cLayout {
    bool valid = false;
    int stride = 0;
    int colourOffset = -1;
    int texOffset = -1;
    int texSize = 0;
};

cLayout LayoutOf(uint32_t fvf)
{
    cLayout l;
    if (!(fvf & e_fvfXYZ) || (fvf & 0x00e) != e_fvfXYZ) return l;  // only plain positions
    int off = 12;
    if (fvf & e_fvfNormal) off += 12;
    if (fvf & 0x020) off += 4;  // point size
    if (fvf & e_fvfDiffuse) {
        l.colourOffset = off;
        off += 4;
    }
    if (fvf & e_fvfSpecular) off += 4;
    int sets = static_cast<int>((fvf & e_fvfTexCountMask) >> e_fvfTexCountShift);
    for (int i = 0; i < sets; ++i) {
        static const int sizes[4] = {2, 3, 4, 1};
        int n = sizes[(fvf >> (16 + 2 * i)) & 3];
        if (i == 0) {
            l.texOffset = off;
            l.texSize = n;
        }
        off += 4 * n;
    }
    l.stride = off;
    l.valid = true;
    return l;
}

void Unpack(uint32_t argb, float out[4])
{
    out[0] = static_cast<float>((argb >> 16) & 0xff) / 255.0f;
    out[1] = static_cast<float>((argb >> 8) & 0xff) / 255.0f;
    out[2] = static_cast<float>(argb & 0xff) / 255.0f;
    out[3] = static_cast<float>(argb >> 24) / 255.0f;
}

void Multiply(float out[16], const float a[16], const float b[16])
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a[i * 4 + k] * b[k * 4 + j];
            out[i * 4 + j] = s;
        }
}

bool IsDepthFormat(eFormat f)
{
    return f == eFormat::D16 || f == eFormat::D24S8 || f == eFormat::D24X8;
}

bool IsColourFormat(eFormat f)
{
    switch (f) {
    case eFormat::R5G6B5:
    case eFormat::X8R8G8B8:
    case eFormat::A8R8G8B8:
    case eFormat::L8:
    case eFormat::A8L8:
    case eFormat::DXT1:
    case eFormat::DXT3:
    case eFormat::DXT5: return true;
    default: return false;
    }
}

}  // namespace

class cGLSystem;

struct cUniforms {
    GLint wvp, halfPixel, texSize, texTransform, texMatrix, lighting, vertexColor, diffuseSrc,
        ambientSrc, emissiveSrc, matDiffuse, matAmbient, matEmissive, globalAmbient, tex0, tfactor,
        alphaRef;
};

struct cProgram {
    GLuint id = 0;
    cUniforms u{};
};

class cGLDevice final : public cDevice {
public:
    cGLDevice(cGLSystem* system, cNativeWindow* window) : m_pSystem(system), m_pWindow(window) {}
    ~cGLDevice() override;
    bool Init(cPresentParams& pp, cCaps& caps);

    eResult TestCooperativeLevel() override;
    eResult Reset(cPresentParams& pp) override;
    eResult Present() override;
    eResult BeginScene() override;
    eResult EndScene() override;
    eResult Clear(unsigned flags, uint32_t argb, float z, unsigned stencil) override;
    eResult GetDisplayMode(cDisplayMode& m) override;
    void SetTransform(int kind, const float m[16]) override;
    void SetMaterial(const float diffuse[4], const float ambient[4], const float specular[4],
                     const float emissive[4], float power) override;
    void SetRenderState(int state, uint32_t value) override;
    uint32_t GetRenderState(int state) override;
    void SetTextureStageState(int stage, int state, uint32_t value) override;
    uint32_t GetTextureStageState(int stage, int state) override;
    void SetTexture(int stage, cTexture* t) override;
    void SetFVF(uint32_t fvf) override { m_State.fvf = fvf; }
    void SetStreamSource(int stream, cBuffer* vb, int stride) override;
    void SetIndices(cBuffer* ib, int baseVertex) override;
    eResult DrawPrimitive(int type, int start, int primCount) override;
    eResult DrawIndexedPrimitive(int type, int minIndex, int numVertices, int startIndex,
                                 int primCount) override;
    eResult DrawPrimitiveUP(int type, int primCount, const void* vertices, int stride) override;
    eResult DrawIndexedPrimitiveUP(int type, int minIndex, int numVertices, int primCount,
                                   const uint16_t* indices, const void* vertices,
                                   int stride) override;
    std::unique_ptr<cTexture> CreateTexture(int w, int h, int levels, bool renderTarget, eFormat f,
                                            ePool pool, eResult& r) override;
    std::unique_ptr<cBuffer> CreateVertexBuffer(unsigned size, bool dynamic, ePool pool,
                                                eResult& r) override;
    std::unique_ptr<cBuffer> CreateIndexBuffer(unsigned size, bool dynamic, ePool pool,
                                               eResult& r) override;
    std::unique_ptr<cSurface> CreateDepthStencilSurface(int w, int h, eFormat f, int ms,
                                                        eResult& r) override;
    cSurface* GetDepthStencilSurface() override { return m_pDepth.get(); }
    eResult ReadFrontBuffer(std::vector<uint8_t>& rgb, int& w, int& h) override;
    void SimulateDeviceLoss(int lostTests) override;
    eResult ReadPresented(int w, int h, std::vector<uint8_t>& rgb) override;
    void InvalidateState() override
    {
        m_uDirty = e_dirtyAll;
        m_uDirtySamplers = 0xf;
    }
    void GetBackBufferSize(int& w, int& h) override
    {
        w = m_iWidth;
        h = m_iHeight;
    }

private:
    bool CreateFrame(const cPresentParams& pp);
    void DestroyFrame();
    void Resolve();
    bool PrepareDraw(const cLayout& layout, GLuint vbo, size_t base, int stride);
    void ApplyFixed();
    void ApplySampler(int stage);
    void UploadUniforms();
    void UpdateLut();
    void DrawPresentPass(GLuint fbo, int dw, int dh, const cPixelRect& rect);
    bool StreamWrite(GLuint& buffer, size_t& capacity, size_t& pos, GLenum target, const void* data,
                     size_t bytes, size_t& offset);
    void Finish(int vertices, int primitives);

    cGLSystem* m_pSystem;
    cNativeWindow* m_pWindow;
    SDL_GLContext m_Context = nullptr;
    std::shared_ptr<cContextLink> m_pLink = std::make_shared<cContextLink>();
    cDeviceState m_State;
    cPresentParams m_PP;
    int m_iWidth = 0, m_iHeight = 0;
    int m_iSamples = 0;
    GLuint m_uFrameFbo = 0, m_uFrameTex = 0;  // resolved frame (read and presented)
    GLuint m_uMsFbo = 0, m_uMsColour = 0;     // drawn into when multisampling
    std::unique_ptr<cGLSurface> m_pDepth;
    cProgram* GetProgram(const cFragmentKey& key, uint64_t packed);
    cFragmentKey CurrentKey() const;

    std::unordered_map<uint64_t, cProgram> m_Programs;
    cProgram* m_pProgram = nullptr;  // in use; null after anyone else drew
    uint64_t m_uProgramKey = ~uint64_t(0);
    GLuint m_uPresentProgram = 0;
    GLint m_iPresentFrame = -1, m_iPresentLut = -1, m_iPresentUseLut = -1;
    GLuint m_uVao = 0, m_uPresentVao = 0;
    GLuint m_uStreamVbo = 0, m_uStreamIbo = 0;
    size_t m_uStreamVboSize = 0, m_uStreamVboPos = 0, m_uStreamIboSize = 0, m_uStreamIboPos = 0;
    GLuint m_uSamplers[g_iStages] = {};
    GLuint m_uPresentSampler = 0;
    GLuint m_uLut = 0;
    uint32_t m_uLutSerial = 0xffffffffu;
    bool m_bLutIdentity = true;
    bool m_bAnisotropy = false;
    float m_fMaxAnisotropy = 1.0f;
    unsigned m_uDirty = e_dirtyAll;
    unsigned m_uDirtySamplers = 0xf;
    int m_iLostTests = 0;
    bool m_bLost = false;
    bool m_bInScene = false;
};

class cGLSystem final : public cSystem {
public:
    ~cGLSystem() override { SDL_GL_UnloadLibrary(); }
    eResult GetAdapterDisplayMode(cDisplayMode& m) override;
    eResult CheckDepthFormat(eFormat adapter, eFormat depth) override;
    eResult CheckDepthStencilMatch(eFormat adapter, eFormat backBuffer, eFormat depth) override;
    eResult CheckMultiSample(eFormat backBuffer, int samples) override;
    eResult GetCaps(cCaps& c) override;
    std::unique_ptr<cDevice> CreateDevice(void* window, int vertexProcessing, cPresentParams& pp,
                                          eResult& r) override;

    cCaps m_Caps;
    bool m_bHaveCaps = false;
    // Every GL 3.3 implementation offers at least four samples.
    int m_iMaxSamples = 4;
};

// ------------------------------------------------------------------ system

eResult cGLSystem::GetAdapterDisplayMode(cDisplayMode& m)
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return eResult::NotAvailable;
    m.width = mode.w;
    m.height = mode.h;
    m.refresh = mode.refresh_rate;
    // A driver that reports no pixel format (the off-screen one) is taken as 32-bit.
    m.format = SDL_BYTESPERPIXEL(mode.format) == 2 ? eFormat::R5G6B5 : eFormat::X8R8G8B8;
    return eResult::Ok;
}

eResult cGLSystem::CheckDepthFormat(eFormat adapter, eFormat depth)
{
    (void)adapter;
    return IsDepthFormat(depth) ? eResult::Ok : eResult::NotAvailable;
}

eResult cGLSystem::CheckDepthStencilMatch(eFormat adapter, eFormat backBuffer, eFormat depth)
{
    (void)adapter;
    (void)backBuffer;
    return IsDepthFormat(depth) ? eResult::Ok : eResult::NotAvailable;
}

eResult cGLSystem::CheckMultiSample(eFormat backBuffer, int samples)
{
    (void)backBuffer;
    return samples >= 0 && samples <= m_iMaxSamples ? eResult::Ok : eResult::NotAvailable;
}

eResult cGLSystem::GetCaps(cCaps& c)
{
    if (!m_bHaveCaps) return eResult::NotAvailable;
    c = m_Caps;
    return eResult::Ok;
}

std::unique_ptr<cDevice> cGLSystem::CreateDevice(void* window, int vertexProcessing,
                                                 cPresentParams& pp, eResult& r)
{
    // Every way of processing vertices is the same context request.
    (void)vertexProcessing;
    auto* w = static_cast<cNativeWindow*>(window);
    if (!w || !w->GetSdlWindow()) {
        r = eResult::InvalidCall;
        return nullptr;
    }
    auto dev = std::make_unique<cGLDevice>(this, w);
    cCaps caps;
    if (!dev->Init(pp, caps)) {
        r = eResult::NotAvailable;
        return nullptr;
    }
    m_Caps = caps;
    m_bHaveCaps = true;
    GLint samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &samples);
    if (samples > 0) m_iMaxSamples = samples;
    r = eResult::Ok;
    return dev;
}

}  // namespace gl

std::unique_ptr<cSystem> cSystem::Create()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return nullptr;
    if (SDL_GL_LoadLibrary(nullptr) != 0) return nullptr;
    return std::make_unique<gl::cGLSystem>();
}

namespace gl {

// ------------------------------------------------------------------ device

bool cGLDevice::Init(cPresentParams& pp, cCaps& caps)
{
    SDL_Window* win = m_pWindow->GetSdlWindow();
    if (!(SDL_GetWindowFlags(win) & SDL_WINDOW_OPENGL)) return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    m_Context = SDL_GL_CreateContext(win);
    if (!m_Context) return false;
    if (SDL_GL_MakeCurrent(win, m_Context) != 0) return false;
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (major < 3 || (major == 3 && minor < 3)) return false;

    GLint maxTex = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTex);
    caps.maxTextureWidth = caps.maxTextureHeight = maxTex;
    caps.maxAnisotropy = 1;
    GLint extCount = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &extCount);
    for (GLint i = 0; i < extCount; ++i) {
        const char* e = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, i));
        if (e && (!std::strcmp(e, "GL_EXT_texture_filter_anisotropic") ||
                  !std::strcmp(e, "GL_ARB_texture_filter_anisotropic")))
            m_bAnisotropy = true;
    }
    if (m_bAnisotropy) {
        GLfloat a = 1.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &a);
        m_fMaxAnisotropy = a;
        caps.maxAnisotropy = static_cast<int>(a);
    }

    m_uPresentProgram = BuildProgram(g_szPresentVS, g_szPresentFS);
    // The program of the default states shows that the scene program builds at all.
    if (!m_uPresentProgram || !GetProgram(CurrentKey(), CurrentKey().Pack())) return false;
    m_iPresentFrame = glGetUniformLocation(m_uPresentProgram, "uFrame");
    m_iPresentLut = glGetUniformLocation(m_uPresentProgram, "uLut");
    m_iPresentUseLut = glGetUniformLocation(m_uPresentProgram, "uUseLut");
    glUseProgram(m_uPresentProgram);
    glUniform1i(m_iPresentFrame, 0);
    glUniform1i(m_iPresentLut, 1);

    glGenVertexArrays(1, &m_uVao);
    glGenVertexArrays(1, &m_uPresentVao);
    glGenBuffers(1, &m_uStreamVbo);
    glGenBuffers(1, &m_uStreamIbo);
    glGenSamplers(g_iStages, m_uSamplers);
    for (int i = 0; i < g_iStages; ++i) glBindSampler(static_cast<GLuint>(i), m_uSamplers[i]);
    glGenSamplers(1, &m_uPresentSampler);
    glSamplerParameteri(m_uPresentSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(m_uPresentSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glGenTextures(1, &m_uLut);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, m_uLut);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 256, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(m_uVao);

    m_pLink->state = &m_State;
    if (!CreateFrame(pp)) return false;
    SetDefaultStates(m_State, m_pDepth != nullptr);
    m_PP = pp;
    SDL_GL_SetSwapInterval(pp.vsync ? 1 : 0);
    return true;
}

cGLDevice::~cGLDevice()
{
    if (m_Context) {
        SDL_GL_MakeCurrent(m_pWindow->GetSdlWindow(), m_Context);
        DestroyFrame();
        for (auto& entry : m_Programs) glDeleteProgram(entry.second.id);
        if (m_uPresentProgram) glDeleteProgram(m_uPresentProgram);
        if (m_uVao) glDeleteVertexArrays(1, &m_uVao);
        if (m_uPresentVao) glDeleteVertexArrays(1, &m_uPresentVao);
        if (m_uStreamVbo) glDeleteBuffers(1, &m_uStreamVbo);
        if (m_uStreamIbo) glDeleteBuffers(1, &m_uStreamIbo);
        glDeleteSamplers(g_iStages, m_uSamplers);
        if (m_uPresentSampler) glDeleteSamplers(1, &m_uPresentSampler);
        if (m_uLut) glDeleteTextures(1, &m_uLut);
    }
    // Resources that outlive the device must no longer touch GL.
    m_pLink->alive = false;
    m_pLink->state = nullptr;
    if (m_Context) {
        SDL_GL_MakeCurrent(m_pWindow->GetSdlWindow(), nullptr);
        SDL_GL_DeleteContext(m_Context);
    }
}

bool cGLDevice::CreateFrame(const cPresentParams& pp)
{
    int w = pp.backBufferWidth, h = pp.backBufferHeight;
    if (w <= 0 || h <= 0) m_pWindow->GetClientSize(w, h);
    if (w <= 0 || h <= 0) return false;
    m_iWidth = w;
    m_iHeight = h;
    m_iSamples = pp.multiSample > 1 ? pp.multiSample : 0;

    GLenum internal = GL_RGBA8, format = GL_RGBA, type = GL_UNSIGNED_BYTE;
    if (pp.backBufferFormat == eFormat::R5G6B5) {
        internal = GL_RGB565;
        format = GL_RGB;
        type = GL_UNSIGNED_SHORT_5_6_5;
    } else if (pp.backBufferFormat == eFormat::X8R8G8B8) {
        internal = GL_RGB8;
        format = GL_RGB;
    }
    glGenTextures(1, &m_uFrameTex);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_uFrameTex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, internal, w, h, 0, format, type, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &m_uFrameFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, m_uFrameFbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_uFrameTex, 0);

    if (m_iSamples) {
        glGenRenderbuffers(1, &m_uMsColour);
        glBindRenderbuffer(GL_RENDERBUFFER, m_uMsColour);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, m_iSamples, internal, w, h);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
        glGenFramebuffers(1, &m_uMsFbo);
        glBindFramebuffer(GL_FRAMEBUFFER, m_uMsFbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_uMsColour);
    }
    if (pp.autoDepthStencil) {
        m_pDepth = std::make_unique<cGLSurface>(m_pLink, w, h, pp.depthFormat, m_iSamples);
        if (!m_pDepth->Allocate()) return false;
        GLenum attach = pp.depthFormat == eFormat::D24S8 ? GL_DEPTH_STENCIL_ATTACHMENT
                                                         : GL_DEPTH_ATTACHMENT;
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, attach, GL_RENDERBUFFER, m_pDepth->Name());
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glViewport(0, 0, w, h);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    m_uDirty = e_dirtyAll;
    return true;
}

void cGLDevice::DestroyFrame()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    m_pDepth.reset();
    if (m_uMsFbo) glDeleteFramebuffers(1, &m_uMsFbo);
    if (m_uMsColour) glDeleteRenderbuffers(1, &m_uMsColour);
    if (m_uFrameFbo) glDeleteFramebuffers(1, &m_uFrameFbo);
    if (m_uFrameTex) glDeleteTextures(1, &m_uFrameTex);
    m_uMsFbo = m_uMsColour = m_uFrameFbo = m_uFrameTex = 0;
}

void cGLDevice::Resolve()
{
    if (!m_uMsFbo) return;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_uMsFbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_uFrameFbo);
    glBlitFramebuffer(0, 0, m_iWidth, m_iHeight, 0, 0, m_iWidth, m_iHeight, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    m_uDirty |= e_dirtyFrame;
}

eResult cGLDevice::TestCooperativeLevel()
{
    if (m_iLostTests > 0) {
        --m_iLostTests;
        return eResult::DeviceLost;
    }
    return m_bLost ? eResult::DeviceNotReset : eResult::Ok;
}

void cGLDevice::SimulateDeviceLoss(int lostTests)
{
    m_bLost = true;
    m_iLostTests = std::max(0, lostTests);
}

eResult cGLDevice::Reset(cPresentParams& pp)
{
    if (m_iLostTests > 0) return eResult::DeviceLost;
    DestroyFrame();
    // Default-pool resources do not survive a reset: their contents are gone.
    for (cGLBuffer* b : m_pLink->buffers)
        if (b->Pool() == ePool::Default) b->DropContents();
    for (cGLTexture* t : m_pLink->textures)
        if (t->Pool() == ePool::Default) t->DropContents();
    if (!CreateFrame(pp)) {
        DestroyFrame();
        return eResult::NotAvailable;
    }
    SetDefaultStates(m_State, m_pDepth != nullptr);
    m_PP = pp;
    m_bLost = false;
    m_bInScene = false;
    m_uDirty = e_dirtyAll;
    m_uDirtySamplers = 0xf;
    SDL_GL_SetSwapInterval(pp.vsync ? 1 : 0);
    return eResult::Ok;
}

void cGLDevice::UpdateLut()
{
    uint32_t serial = GammaRampSerial();
    if (serial == m_uLutSerial) return;
    m_uLutSerial = serial;
    m_bLutIdentity = IsGammaRampIdentity();
    uint16_t r[256], g[256], b[256];
    if (!GetGammaRamp(r, g, b)) {
        m_bLutIdentity = true;
        return;
    }
    // An 8-bit output uses the high byte of each 16-bit ramp entry.
    uint8_t lut[256 * 4];
    for (int i = 0; i < 256; ++i) {
        lut[i * 4 + 0] = static_cast<uint8_t>(r[i] >> 8);
        lut[i * 4 + 1] = static_cast<uint8_t>(g[i] >> 8);
        lut[i * 4 + 2] = static_cast<uint8_t>(b[i] >> 8);
        lut[i * 4 + 3] = 255;
    }
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, m_uLut);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 1, GL_RGBA, GL_UNSIGNED_BYTE, lut);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void cGLDevice::DrawPresentPass(GLuint fbo, int dw, int dh, const cPixelRect& rect)
{
    Resolve();
    UpdateLut();
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, dw, dh);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (rect.w > 0 && rect.h > 0) {
        glViewport(rect.x, rect.y, rect.w, rect.h);
        bool scaled = rect.w != m_iWidth || rect.h != m_iHeight;
        GLint filter = scaled ? GL_LINEAR : GL_NEAREST;
        glSamplerParameteri(m_uPresentSampler, GL_TEXTURE_MIN_FILTER, filter);
        glSamplerParameteri(m_uPresentSampler, GL_TEXTURE_MAG_FILTER, filter);
        glUseProgram(m_uPresentProgram);
        glUniform1i(m_iPresentUseLut, m_bLutIdentity ? 0 : 1);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, m_uFrameTex);
        glBindSampler(0, m_uPresentSampler);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, m_uLut);
        glBindSampler(1, 0);
        glBindVertexArray(m_uPresentVao);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE0);
        glBindSampler(0, m_uSamplers[0]);
        glBindSampler(1, m_uSamplers[1]);
        glBindVertexArray(m_uVao);
    }
    // Everything the scene program relies on is set again before the next draw.
    m_uDirty = e_dirtyAll;
}

eResult cGLDevice::Present()
{
    if (m_bLost) return eResult::DeviceLost;
    if (!m_uFrameFbo) return eResult::InvalidCall;
    int dw = 0, dh = 0;
    m_pWindow->GetDrawableSize(dw, dh);
    DrawPresentPass(0, dw, dh, m_pWindow->GetPresentRect());
    SDL_GL_SwapWindow(m_pWindow->GetSdlWindow());
    return eResult::Ok;
}

eResult cGLDevice::ReadPresented(int dw, int dh, std::vector<uint8_t>& rgb)
{
    if (!m_uFrameFbo || dw <= 0 || dh <= 0) return eResult::InvalidCall;
    GLuint tex = 0, fbo = 0;
    glGenTextures(1, &tex);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, dw, dh, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
    cPixelRect rect = FitAspect(m_iWidth, m_iHeight, dw, dh);
    // FitAspect counts from the top; the pass wants the bottom-left origin.
    rect.y = dh - rect.y - rect.h;
    DrawPresentPass(fbo, dw, dh, rect);
    rgb.assign(static_cast<size_t>(dw) * static_cast<size_t>(dh) * 3u, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, dw, dh, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    glDeleteTextures(1, &tex);
    return eResult::Ok;
}

eResult cGLDevice::BeginScene()
{
    if (m_bInScene) return eResult::InvalidCall;
    m_bInScene = true;
    return eResult::Ok;
}

eResult cGLDevice::EndScene()
{
    if (!m_bInScene) return eResult::InvalidCall;
    m_bInScene = false;
    return eResult::Ok;
}

eResult cGLDevice::Clear(unsigned flags, uint32_t argb, float z, unsigned stencil)
{
    if (!m_uFrameFbo) return eResult::InvalidCall;
    glBindFramebuffer(GL_FRAMEBUFFER, m_uMsFbo ? m_uMsFbo : m_uFrameFbo);
    glViewport(0, 0, m_iWidth, m_iHeight);
    GLbitfield mask = 0;
    if (flags & e_clearTarget) {
        float c[4];
        Unpack(argb, c);
        glClearColor(c[0], c[1], c[2], c[3]);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    // Parts the frame does not have are left out rather than failing the clear.
    if ((flags & e_clearZBuffer) && m_pDepth) {
        glDepthMask(GL_TRUE);
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if ((flags & e_clearStencil) && m_pDepth && m_PP.depthFormat == eFormat::D24S8) {
        glStencilMask(0xff);
        glClearStencil(static_cast<GLint>(stencil));
        mask |= GL_STENCIL_BUFFER_BIT;
    }
    if (mask) glClear(mask);
    m_uDirty |= e_dirtyFixed;
    return eResult::Ok;
}

eResult cGLDevice::GetDisplayMode(cDisplayMode& m)
{
    return m_pSystem->GetAdapterDisplayMode(m);
}

void cGLDevice::SetTransform(int kind, const float m[16])
{
    float* dst = nullptr;
    if (kind == e_tsWorld) dst = m_State.world;
    else if (kind == e_tsView) dst = m_State.view;
    else if (kind == e_tsProjection) dst = m_State.proj;
    else if (kind >= e_tsTexture0 && kind < e_tsTexture0 + g_iStages)
        dst = m_State.texture[kind - e_tsTexture0];
    if (!dst || !m) return;
    std::memcpy(dst, m, sizeof(float) * 16);
    m_uDirty |= e_dirtyTransform;
}

void cGLDevice::SetMaterial(const float diffuse[4], const float ambient[4], const float specular[4],
                            const float emissive[4], float power)
{
    cMaterial& mt = m_State.material;
    std::memcpy(mt.diffuse, diffuse, sizeof(mt.diffuse));
    std::memcpy(mt.ambient, ambient, sizeof(mt.ambient));
    std::memcpy(mt.specular, specular, sizeof(mt.specular));
    std::memcpy(mt.emissive, emissive, sizeof(mt.emissive));
    mt.power = power;
    m_uDirty |= e_dirtyLighting;
}

void cGLDevice::SetRenderState(int state, uint32_t value)
{
    if (state < 0 || state >= g_iRenderStates) return;
    m_State.rs[state] = value;
    switch (state) {
    case e_rsZEnable:
    case e_rsZWriteEnable:
    case e_rsZFunc:
    case e_rsSrcBlend:
    case e_rsDestBlend:
    case e_rsBlendOp:
    case e_rsAlphaBlendEnable:
    case e_rsCullMode: m_uDirty |= e_dirtyFixed; break;
    case e_rsLighting:
    case e_rsAmbient:
    case e_rsColorVertex:
    case e_rsDiffuseMaterialSource:
    case e_rsAmbientMaterialSource:
    case e_rsEmissiveMaterialSource: m_uDirty |= e_dirtyLighting; break;
    case e_rsTextureFactor:
    case e_rsAlphaTestEnable:
    case e_rsAlphaFunc:
    case e_rsAlphaRef: m_uDirty |= e_dirtyStage; break;
    default: break;
    }
}

uint32_t cGLDevice::GetRenderState(int state)
{
    return state >= 0 && state < g_iRenderStates ? m_State.rs[state] : 0;
}

void cGLDevice::SetTextureStageState(int stage, int state, uint32_t value)
{
    if (stage < 0 || stage >= g_iStages || state < 0 || state >= g_iStageStates) return;
    m_State.tss[stage][state] = value;
    switch (state) {
    case e_tssColorOp:
    case e_tssColorArg1:
    case e_tssColorArg2:
    case e_tssAlphaOp:
    case e_tssAlphaArg1:
    case e_tssAlphaArg2: m_uDirty |= e_dirtyStage; break;
    case e_tssTextureTransformFlags: m_uDirty |= e_dirtyTransform; break;
    case e_tssAddressU:
    case e_tssAddressV:
    case e_tssAddressW:
    case e_tssBorderColor:
    case e_tssMagFilter:
    case e_tssMinFilter:
    case e_tssMipFilter:
    case e_tssMipMapLodBias:
    case e_tssMaxMipLevel:
    case e_tssMaxAnisotropy: m_uDirtySamplers |= 1u << stage; break;
    default: break;
    }
}

uint32_t cGLDevice::GetTextureStageState(int stage, int state)
{
    if (stage < 0 || stage >= g_iStages || state < 0 || state >= g_iStageStates) return 0;
    return m_State.tss[stage][state];
}

void cGLDevice::SetTexture(int stage, cTexture* t)
{
    if (stage < 0 || stage >= g_iStages) return;
    m_State.textures[stage] = static_cast<cGLTexture*>(t);
    m_uDirty |= e_dirtyTexture;
}

void cGLDevice::SetStreamSource(int stream, cBuffer* vb, int stride)
{
    if (stream != 0) return;
    auto* b = static_cast<cGLBuffer*>(vb);
    m_State.vb = b && !b->IsIndex() ? b : nullptr;
    m_State.stride = m_State.vb ? stride : 0;
}

void cGLDevice::SetIndices(cBuffer* ib, int baseVertex)
{
    auto* b = static_cast<cGLBuffer*>(ib);
    m_State.ib = b && b->IsIndex() ? b : nullptr;
    m_State.baseVertex = baseVertex;
}

void cGLDevice::ApplyFixed()
{
    const auto& rs = m_State.rs;
    if (rs[e_rsAlphaBlendEnable]) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);
    glBlendFunc(BlendFactor(rs[e_rsSrcBlend]), BlendFactor(rs[e_rsDestBlend]));
    glBlendEquation(BlendEquation(rs[e_rsBlendOp]));
    if (rs[e_rsZEnable] && m_pDepth) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunc(rs[e_rsZFunc]));
        glDepthMask(rs[e_rsZWriteEnable] ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    // Winding is judged as the triangle appears on screen in both conventions
    // (the frame is presented the right way up), so "clockwise" means the
    // same here: culling clockwise faces keeps counter-clockwise ones as front.
    if (rs[e_rsCullMode] == e_cullCW) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
    } else if (rs[e_rsCullMode] == e_cullCCW) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
        glCullFace(GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

void cGLDevice::ApplySampler(int stage)
{
    const uint32_t* t = m_State.tss[stage];
    GLuint s = m_uSamplers[stage];
    uint32_t minf = t[e_tssMinFilter], magf = t[e_tssMagFilter], mipf = t[e_tssMipFilter];
    bool minLinear = minf >= e_filterLinear;
    GLint glMin;
    if (mipf == e_filterNone) glMin = minLinear ? GL_LINEAR : GL_NEAREST;
    else if (mipf == e_filterPoint) glMin = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else glMin = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    glSamplerParameteri(s, GL_TEXTURE_MIN_FILTER, glMin);
    glSamplerParameteri(s, GL_TEXTURE_MAG_FILTER, magf >= e_filterLinear ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(s, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(t[e_tssAddressU])));
    glSamplerParameteri(s, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(t[e_tssAddressV])));
    glSamplerParameteri(s, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressMode(t[e_tssAddressW])));
    float border[4];
    Unpack(t[e_tssBorderColor], border);
    glSamplerParameterfv(s, GL_TEXTURE_BORDER_COLOR, border);
    float bias;
    std::memcpy(&bias, &t[e_tssMipMapLodBias], sizeof(bias));
    glSamplerParameterf(s, GL_TEXTURE_LOD_BIAS, bias);
    glSamplerParameterf(s, GL_TEXTURE_MIN_LOD, static_cast<float>(t[e_tssMaxMipLevel]));
    if (m_bAnisotropy) {
        float a = 1.0f;
        if (minf == e_filterAnisotropic || magf == e_filterAnisotropic)
            a = std::clamp(static_cast<float>(t[e_tssMaxAnisotropy]), 1.0f, m_fMaxAnisotropy);
        glSamplerParameterf(s, GL_TEXTURE_MAX_ANISOTROPY, a);
    }
}

void cGLDevice::UploadUniforms()
{
    const auto& rs = m_State.rs;
    const cUniforms& u = m_pProgram->u;
    if (m_uDirty & e_dirtyTransform) {
        float wv[16], wvp[16];
        Multiply(wv, m_State.world, m_State.view);
        Multiply(wvp, wv, m_State.proj);
        glUniformMatrix4fv(u.wvp, 1, GL_FALSE, wvp);
        glUniform2f(u.halfPixel, 1.0f / static_cast<float>(m_iWidth),
                    1.0f / static_cast<float>(m_iHeight));
        uint32_t flags = m_State.tss[0][e_tssTextureTransformFlags] & 0xff;
        glUniform1i(u.texTransform, flags != e_ttffDisable ? 1 : 0);
        glUniformMatrix4fv(u.texMatrix, 1, GL_FALSE, m_State.texture[0]);
    }
    if (m_uDirty & e_dirtyLighting) {
        const cMaterial& mt = m_State.material;
        glUniform1i(u.lighting, rs[e_rsLighting] ? 1 : 0);
        glUniform1i(u.diffuseSrc, static_cast<GLint>(rs[e_rsDiffuseMaterialSource]));
        glUniform1i(u.ambientSrc, static_cast<GLint>(rs[e_rsAmbientMaterialSource]));
        glUniform1i(u.emissiveSrc, static_cast<GLint>(rs[e_rsEmissiveMaterialSource]));
        glUniform4fv(u.matDiffuse, 1, mt.diffuse);
        glUniform4fv(u.matAmbient, 1, mt.ambient);
        glUniform4fv(u.matEmissive, 1, mt.emissive);
        float amb[4];
        Unpack(rs[e_rsAmbient], amb);
        glUniform4fv(u.globalAmbient, 1, amb);
    }
    if (m_uDirty & e_dirtyStage) {
        float tf[4];
        Unpack(rs[e_rsTextureFactor], tf);
        glUniform4fv(u.tfactor, 1, tf);
        glUniform1i(u.alphaRef, static_cast<GLint>(rs[e_rsAlphaRef] & 0xff));
    }
}

cFragmentKey cGLDevice::CurrentKey() const
{
    cFragmentKey k;
    const uint32_t* t = m_State.tss[0];
    const uint32_t states[6] = {e_tssColorOp, e_tssColorArg1, e_tssColorArg2,
                                e_tssAlphaOp, e_tssAlphaArg1, e_tssAlphaArg2};
    for (int i = 0; i < 6; ++i) k.ops[i] = t[states[i]] & 0xff;
    // Arguments of a disabled operation do not matter: one program serves them all.
    if (k.ops[0] == e_topDisable) k.ops[1] = k.ops[2] = k.ops[3] = k.ops[4] = k.ops[5] = 0;
    if (k.ops[3] == e_topDisable) k.ops[4] = k.ops[5] = 0;
    const auto& rs = m_State.rs;
    k.alphaFunc = rs[e_rsAlphaTestEnable] && rs[e_rsAlphaFunc] != e_cmpAlways ? rs[e_rsAlphaFunc] & 0xf : 0;
    k.hasTexture = m_State.textures[0] != nullptr;
    return k;
}

cProgram* cGLDevice::GetProgram(const cFragmentKey& key, uint64_t packed)
{
    auto it = m_Programs.find(packed);
    if (it != m_Programs.end()) return &it->second;
    const std::string fs = SceneFragmentSource(key);
    cProgram p;
    p.id = BuildProgram(g_szSceneVS, fs.c_str());
    if (!p.id) return nullptr;
    auto loc = [&p](const char* n) { return glGetUniformLocation(p.id, n); };
    cUniforms& u = p.u;
    u.wvp = loc("uWVP");
    u.halfPixel = loc("uHalfPixel");
    u.texSize = loc("uTexSize");
    u.texTransform = loc("uTexTransform");
    u.texMatrix = loc("uTexMatrix");
    u.lighting = loc("uLighting");
    u.vertexColor = loc("uVertexColor");
    u.diffuseSrc = loc("uDiffuseSrc");
    u.ambientSrc = loc("uAmbientSrc");
    u.emissiveSrc = loc("uEmissiveSrc");
    u.matDiffuse = loc("uMatDiffuse");
    u.matAmbient = loc("uMatAmbient");
    u.matEmissive = loc("uMatEmissive");
    u.globalAmbient = loc("uGlobalAmbient");
    u.tex0 = loc("uTex0");
    u.tfactor = loc("uTFactor");
    u.alphaRef = loc("uAlphaRef");
    glUseProgram(p.id);
    glUniform1i(u.tex0, 0);
    // The program in use changed behind the cache.
    m_pProgram = nullptr;
    return &m_Programs.emplace(packed, p).first->second;
}

bool cGLDevice::PrepareDraw(const cLayout& layout, GLuint vbo, size_t base, int stride)
{
    if (!m_uFrameFbo) return false;
    if (m_uDirty & e_dirtyFrame) {
        glBindFramebuffer(GL_FRAMEBUFFER, m_uMsFbo ? m_uMsFbo : m_uFrameFbo);
        glViewport(0, 0, m_iWidth, m_iHeight);
        glBindVertexArray(m_uVao);
        m_pProgram = nullptr;
    }
    if (m_pLink->rebind) {
        m_pLink->rebind = false;
        m_uDirty |= e_dirtyTexture;
    }
    const cFragmentKey key = CurrentKey();
    const uint64_t packed = key.Pack();
    if (!m_pProgram || packed != m_uProgramKey) {
        cProgram* program = GetProgram(key, packed);
        if (!program) return false;
        glUseProgram(program->id);
        // Uniforms belong to their program: the new one gets all of them.
        m_pProgram = program;
        m_uProgramKey = packed;
        m_uDirty |= e_dirtyTransform | e_dirtyLighting | e_dirtyStage;
    }
    if (m_uDirty & e_dirtyFixed) ApplyFixed();
    UploadUniforms();
    if (m_uDirty & e_dirtyTexture) {
        for (int st = 0; st < g_iStages; ++st) {
            glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(st));
            cGLTexture* t = m_State.textures[st];
            glBindTexture(GL_TEXTURE_2D, t ? t->Name() : 0);
        }
        glActiveTexture(GL_TEXTURE0);
    }
    for (int st = 0; st < g_iStages; ++st)
        if (m_uDirtySamplers & (1u << st)) ApplySampler(st);
    m_uDirtySamplers = 0;
    m_uDirty = 0;

    if (stride <= 0) stride = layout.stride;
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    auto at = [base](int off) { return reinterpret_cast<const void*>(base + static_cast<size_t>(off)); };
    glEnableVertexAttribArray(g_uAttrPos);
    glVertexAttribPointer(g_uAttrPos, 3, GL_FLOAT, GL_FALSE, stride, at(0));
    if (layout.colourOffset >= 0) {
        glEnableVertexAttribArray(g_uAttrColor);
        glVertexAttribPointer(g_uAttrColor, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                              at(layout.colourOffset));
    } else {
        // A vertex without a colour is opaque white.
        glDisableVertexAttribArray(g_uAttrColor);
        glVertexAttrib4f(g_uAttrColor, 1, 1, 1, 1);
    }
    if (layout.texOffset >= 0) {
        glEnableVertexAttribArray(g_uAttrTex);
        glVertexAttribPointer(g_uAttrTex, layout.texSize, GL_FLOAT, GL_FALSE, stride,
                              at(layout.texOffset));
    } else {
        glDisableVertexAttribArray(g_uAttrTex);
        glVertexAttrib4f(g_uAttrTex, 0, 0, 0, 1);
    }
    glUniform1i(m_pProgram->u.texSize, layout.texOffset >= 0 ? layout.texSize : 0);
    glUniform1i(m_pProgram->u.vertexColor,
                layout.colourOffset >= 0 && m_State.rs[e_rsColorVertex] ? 1 : 0);
    return true;
}

bool cGLDevice::StreamWrite(GLuint& buffer, size_t& capacity, size_t& pos, GLenum target,
                            const void* data, size_t bytes, size_t& offset)
{
    glBindBuffer(target, buffer);
    // Each draw gets fresh space; when the ring is full the storage is
    // orphaned, so no draw in flight is ever overwritten.
    if (capacity < bytes || pos + bytes > capacity) {
        if (capacity < bytes) capacity = std::max(g_uStreamStart, bytes * 2);
        glBufferData(target, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
        pos = 0;
    }
    glBufferSubData(target, static_cast<GLintptr>(pos), static_cast<GLsizeiptr>(bytes), data);
    offset = pos;
    pos += (bytes + 15) & ~size_t(15);
    return true;
}

eResult cGLDevice::DrawPrimitive(int type, int start, int primCount)
{
    GLenum mode;
    int count;
    cLayout layout = LayoutOf(m_State.fvf);
    if (!PrimitiveMode(type, primCount, mode, count) || !layout.valid || !m_State.vb || start < 0)
        return eResult::InvalidCall;
    int stride = m_State.stride > 0 ? m_State.stride : layout.stride;
    if (static_cast<uint64_t>(start + count) * static_cast<uint64_t>(stride) > m_State.vb->GetSize())
        return eResult::InvalidCall;
    if (!PrepareDraw(layout, m_State.vb->Name(), 0, stride)) return eResult::InvalidCall;
    glDrawArrays(mode, start, count);
    return eResult::Ok;
}

eResult cGLDevice::DrawIndexedPrimitive(int type, int minIndex, int numVertices, int startIndex,
                                        int primCount)
{
    (void)minIndex;
    (void)numVertices;
    GLenum mode;
    int count;
    cLayout layout = LayoutOf(m_State.fvf);
    if (!PrimitiveMode(type, primCount, mode, count) || !layout.valid || !m_State.vb ||
        !m_State.ib || startIndex < 0)
        return eResult::InvalidCall;
    if (static_cast<uint64_t>(startIndex + count) * 2u > m_State.ib->GetSize())
        return eResult::InvalidCall;
    int stride = m_State.stride > 0 ? m_State.stride : layout.stride;
    if (!PrepareDraw(layout, m_State.vb->Name(), 0, stride)) return eResult::InvalidCall;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_State.ib->Name());
    glDrawElementsBaseVertex(mode, count, GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(static_cast<size_t>(startIndex) * 2u),
                             m_State.baseVertex);
    return eResult::Ok;
}

void cGLDevice::Finish(int, int)
{
    // A user-array draw leaves no stream source or index buffer bound.
    m_State.vb = nullptr;
    m_State.stride = 0;
    m_State.ib = nullptr;
    m_State.baseVertex = 0;
}

eResult cGLDevice::DrawPrimitiveUP(int type, int primCount, const void* vertices, int stride)
{
    GLenum mode;
    int count;
    cLayout layout = LayoutOf(m_State.fvf);
    if (!vertices || stride <= 0 || !PrimitiveMode(type, primCount, mode, count) || !layout.valid)
        return eResult::InvalidCall;
    size_t bytes = static_cast<size_t>(count) * static_cast<size_t>(stride), offset = 0;
    StreamWrite(m_uStreamVbo, m_uStreamVboSize, m_uStreamVboPos, GL_ARRAY_BUFFER, vertices, bytes,
                offset);
    if (!PrepareDraw(layout, m_uStreamVbo, offset, stride)) return eResult::InvalidCall;
    glDrawArrays(mode, 0, count);
    Finish(count, primCount);
    return eResult::Ok;
}

eResult cGLDevice::DrawIndexedPrimitiveUP(int type, int minIndex, int numVertices, int primCount,
                                          const uint16_t* indices, const void* vertices, int stride)
{
    GLenum mode;
    int count;
    cLayout layout = LayoutOf(m_State.fvf);
    if (!vertices || !indices || stride <= 0 || minIndex < 0 || numVertices <= 0 ||
        !PrimitiveMode(type, primCount, mode, count) || !layout.valid)
        return eResult::InvalidCall;
    // Only the vertices the call names are copied; an index past them would
    // read memory the caller never offered.
    int vertexEnd = minIndex + numVertices;
    for (int i = 0; i < count; ++i)
        if (indices[i] >= vertexEnd) return eResult::InvalidCall;
    size_t vbytes = static_cast<size_t>(vertexEnd) * static_cast<size_t>(stride), voff = 0, ioff = 0;
    StreamWrite(m_uStreamVbo, m_uStreamVboSize, m_uStreamVboPos, GL_ARRAY_BUFFER, vertices, vbytes,
                voff);
    if (!PrepareDraw(layout, m_uStreamVbo, voff, stride)) return eResult::InvalidCall;
    StreamWrite(m_uStreamIbo, m_uStreamIboSize, m_uStreamIboPos, GL_ELEMENT_ARRAY_BUFFER, indices,
                static_cast<size_t>(count) * 2u, ioff);
    glDrawElements(mode, count, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(ioff));
    Finish(count, primCount);
    return eResult::Ok;
}

std::unique_ptr<cTexture> cGLDevice::CreateTexture(int w, int h, int levels, bool renderTarget,
                                                   eFormat f, ePool pool, eResult& r)
{
    r = eResult::InvalidCall;
    cCaps caps;
    m_pSystem->GetCaps(caps);
    if (w <= 0 || h <= 0 || w > caps.maxTextureWidth || h > caps.maxTextureHeight || levels < 0 ||
        !IsColourFormat(f))
        return nullptr;
    if (renderTarget && (pool != ePool::Default || IsBlockFormat(f))) return nullptr;
    int full = FullChainLevels(w, h);
    if (renderTarget) levels = 1;
    else if (levels == 0 || levels > full) levels = full;
    auto t = std::make_unique<cGLTexture>(m_pLink, w, h, levels, renderTarget, f, pool);
    if (!t->Allocate()) {
        r = eResult::OutOfMemory;
        return nullptr;
    }
    r = eResult::Ok;
    return t;
}

std::unique_ptr<cBuffer> cGLDevice::CreateVertexBuffer(unsigned size, bool dynamic, ePool pool,
                                                       eResult& r)
{
    r = eResult::InvalidCall;
    if (size == 0) return nullptr;
    auto b = std::make_unique<cGLBuffer>(m_pLink, size, false, dynamic, pool);
    if (!b->Allocate()) {
        r = eResult::OutOfMemory;
        return nullptr;
    }
    r = eResult::Ok;
    return b;
}

std::unique_ptr<cBuffer> cGLDevice::CreateIndexBuffer(unsigned size, bool dynamic, ePool pool,
                                                      eResult& r)
{
    r = eResult::InvalidCall;
    if (size == 0) return nullptr;
    auto b = std::make_unique<cGLBuffer>(m_pLink, size, true, dynamic, pool);
    if (!b->Allocate()) {
        r = eResult::OutOfMemory;
        return nullptr;
    }
    r = eResult::Ok;
    return b;
}

std::unique_ptr<cSurface> cGLDevice::CreateDepthStencilSurface(int w, int h, eFormat f, int ms,
                                                               eResult& r)
{
    auto s = std::make_unique<cGLSurface>(m_pLink, w, h, f, ms > 1 ? ms : 0);
    if (!s->Allocate()) {
        r = eResult::InvalidCall;
        return nullptr;
    }
    r = eResult::Ok;
    return s;
}

eResult cGLDevice::ReadFrontBuffer(std::vector<uint8_t>& rgb, int& w, int& h)
{
    if (!m_uFrameFbo) return eResult::InvalidCall;
    Resolve();
    w = m_iWidth;
    h = m_iHeight;
    rgb.assign(static_cast<size_t>(w) * static_cast<size_t>(h) * 3u, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_uFrameFbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    m_uDirty |= e_dirtyFrame;
    return eResult::Ok;
}

}  // namespace gl
}  // namespace vek::platform::gfx
