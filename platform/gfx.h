#pragma once
// The graphics device: a small fixed-function device in the shape the
// renderer drives (system object, device, textures, buffers, surfaces), with
// the states, factors and codes numbered as the renderer passes them. Only
// this layer knows how the pictures reach the screen.
//
// The device draws into an off-screen frame of the window's client size and
// presents it scaled into the window through the software gamma ramp. Every
// new or reset device starts from the classic fixed-function defaults
// (lighting on, counter-clockwise culling, stage 0 modulating the texture
// with the diffuse colour and selecting the texture's alpha, and so on); the
// renderer relies on them because it only sets what it caches.
#include <cstdint>
#include <memory>
#include <vector>

namespace vek::platform {
class cNativeWindow;
}

namespace vek::platform::gfx {

enum class eResult { Ok, DeviceLost, DeviceNotReset, NotAvailable, InvalidCall, OutOfMemory };

// A 32-bit result word for log messages that print a return code.
uint32_t ResultCode(eResult r);

enum class eFormat {
    Unknown, R5G6B5, X8R8G8B8, A8R8G8B8, L8, A8L8, DXT1, DXT3, DXT5, D16, D24S8, D24X8, Index16
};

enum class ePool { Default, Managed };

// Lock flags.
enum : unsigned {
    e_lockReadOnly = 0x10,
    e_lockNoSysLock = 0x800,
    e_lockNoOverwrite = 0x1000,
    e_lockDiscard = 0x2000,
    e_lockNoDirtyUpdate = 0x8000,
};

// Clear flags.
enum : unsigned { e_clearTarget = 1, e_clearZBuffer = 2, e_clearStencil = 4 };

// Vertex processing requested at device creation.
enum : int { e_vpSoftware = 0x20, e_vpHardware = 0x40, e_vpMixed = 0x80 };

// Render states.
enum eRenderState : int {
    e_rsZEnable = 7,
    e_rsFillMode = 8,
    e_rsShadeMode = 9,
    e_rsZWriteEnable = 14,
    e_rsAlphaTestEnable = 15,
    e_rsLastPixel = 16,
    e_rsSrcBlend = 19,
    e_rsDestBlend = 20,
    e_rsCullMode = 22,
    e_rsZFunc = 23,
    e_rsAlphaRef = 24,
    e_rsAlphaFunc = 25,
    e_rsDitherEnable = 26,
    e_rsAlphaBlendEnable = 27,
    e_rsFogEnable = 28,
    e_rsSpecularEnable = 29,
    e_rsStencilEnable = 52,
    e_rsTextureFactor = 60,
    e_rsLighting = 137,
    e_rsAmbient = 139,
    e_rsColorVertex = 141,
    e_rsNormalizeNormals = 143,
    e_rsDiffuseMaterialSource = 145,
    e_rsSpecularMaterialSource = 146,
    e_rsAmbientMaterialSource = 147,
    e_rsEmissiveMaterialSource = 148,
    e_rsBlendOp = 171,
};

// Texture-stage states (the sampler states are stage states here).
enum eStageState : int {
    e_tssColorOp = 1,
    e_tssColorArg1 = 2,
    e_tssColorArg2 = 3,
    e_tssAlphaOp = 4,
    e_tssAlphaArg1 = 5,
    e_tssAlphaArg2 = 6,
    e_tssTexCoordIndex = 11,
    e_tssAddressU = 13,
    e_tssAddressV = 14,
    e_tssBorderColor = 15,
    e_tssMagFilter = 16,
    e_tssMinFilter = 17,
    e_tssMipFilter = 18,
    e_tssMipMapLodBias = 19,
    e_tssMaxMipLevel = 20,
    e_tssMaxAnisotropy = 21,
    e_tssTextureTransformFlags = 24,
    e_tssAddressW = 25,
};

enum eBlend : uint32_t {
    e_blendZero = 1,
    e_blendOne = 2,
    e_blendSrcColor = 3,
    e_blendInvSrcColor = 4,
    e_blendSrcAlpha = 5,
    e_blendInvSrcAlpha = 6,
    e_blendDestAlpha = 7,
    e_blendInvDestAlpha = 8,
    e_blendDestColor = 9,
    e_blendInvDestColor = 10,
    e_blendSrcAlphaSat = 11,
};

enum eBlendOp : uint32_t {
    e_blendOpAdd = 1, e_blendOpSubtract = 2, e_blendOpRevSubtract = 3, e_blendOpMin = 4, e_blendOpMax = 5
};

enum eCmp : uint32_t {
    e_cmpNever = 1,
    e_cmpLess = 2,
    e_cmpEqual = 3,
    e_cmpLessEqual = 4,
    e_cmpGreater = 5,
    e_cmpNotEqual = 6,
    e_cmpGreaterEqual = 7,
    e_cmpAlways = 8,
};

enum eCull : uint32_t { e_cullNone = 1, e_cullCW = 2, e_cullCCW = 3 };

enum eTextureOp : uint32_t {
    e_topDisable = 1,
    e_topSelectArg1 = 2,
    e_topSelectArg2 = 3,
    e_topModulate = 4,
    e_topModulate2x = 5,
    e_topModulate4x = 6,
    e_topAdd = 7,
    e_topAddSigned = 8,
    e_topAddSigned2x = 9,
    e_topSubtract = 10,
};

enum eTextureArg : uint32_t {
    e_taDiffuse = 0,
    e_taCurrent = 1,
    e_taTexture = 2,
    e_taTFactor = 3,
    e_taSpecular = 4,
    e_taSelectMask = 0x0f,
    e_taComplement = 0x10,
    e_taAlphaReplicate = 0x20,
};

enum eFilter : uint32_t { e_filterNone = 0, e_filterPoint = 1, e_filterLinear = 2, e_filterAnisotropic = 3 };

enum eAddress : uint32_t {
    e_addressWrap = 1, e_addressMirror = 2, e_addressClamp = 3, e_addressBorder = 4, e_addressMirrorOnce = 5
};

enum eTextureTransform : uint32_t {
    e_ttffDisable = 0, e_ttffCount1 = 1, e_ttffCount2 = 2, e_ttffCount3 = 3, e_ttffCount4 = 4,
    e_ttffProjected = 256
};

enum eMaterialSource : uint32_t { e_mcsMaterial = 0, e_mcsColor1 = 1, e_mcsColor2 = 2 };

enum eTransform : int { e_tsView = 2, e_tsProjection = 3, e_tsTexture0 = 16, e_tsWorld = 256 };

enum ePrimitive : int {
    e_ptPointList = 1,
    e_ptLineList = 2,
    e_ptLineStrip = 3,
    e_ptTriangleList = 4,
    e_ptTriangleStrip = 5,
    e_ptTriangleFan = 6,
};

// Flexible vertex format bits. Texture coordinate sets follow the colours;
// set i holds 2 floats unless TexCoordSize says otherwise.
enum : uint32_t {
    e_fvfXYZ = 0x002,
    e_fvfNormal = 0x010,
    e_fvfDiffuse = 0x040,
    e_fvfSpecular = 0x080,
    e_fvfTexCountMask = 0xf00,
    e_fvfTexCountShift = 8,
    e_fvfTex1 = 0x100,
};
constexpr uint32_t TexCoordSize1(int set) { return 3u << (set * 2 + 16); }
constexpr uint32_t TexCoordSize2(int) { return 0u; }
constexpr uint32_t TexCoordSize3(int set) { return 1u << (set * 2 + 16); }
constexpr uint32_t TexCoordSize4(int set) { return 2u << (set * 2 + 16); }

struct cDisplayMode {
    int width = 0, height = 0, refresh = 0;
    eFormat format = eFormat::Unknown;
};

struct cPresentParams {
    void* window = nullptr;  // the cNativeWindow to draw for
    bool windowed = true;
    int backBufferWidth = 0, backBufferHeight = 0;  // 0: the window's client size
    eFormat backBufferFormat = eFormat::Unknown;
    bool vsync = false;
    bool autoDepthStencil = false;
    eFormat depthFormat = eFormat::Unknown;
    int multiSample = 0;  // 0: off, else samples
    bool discard = false;
};

struct cCaps {
    int maxTextureWidth = 0, maxTextureHeight = 0, maxAnisotropy = 0;
};

struct cLockedRect {
    int pitch = 0;
    void* bits = nullptr;
};

class cTexture {
public:
    virtual ~cTexture();
    virtual int GetLevelCount() = 0;
    // The pixels of one level, tightly packed (pitch = row size, a row of
    // blocks for block formats), first row in memory = texture row v 0.
    // A read-only lock returns the current contents, and fails with
    // NotAvailable for a level never written; other locks upload the bytes
    // on UnlockRect.
    virtual eResult LockRect(int level, cLockedRect& out, unsigned flags) = 0;
    virtual eResult UnlockRect(int level) = 0;
    virtual void GetLevelSize(int level, int& w, int& h) = 0;
    virtual eFormat GetFormat() = 0;
};

class cBuffer {
public:
    virtual ~cBuffer();
    // size 0 locks from off to the end.
    virtual eResult Lock(unsigned off, unsigned size, void** p, unsigned flags) = 0;
    virtual eResult Unlock() = 0;
    virtual unsigned GetSize() = 0;
};

class cSurface {
public:
    virtual ~cSurface();
    virtual void GetDesc(int& w, int& h, eFormat& f) = 0;
};

class cDevice {
public:
    virtual ~cDevice();
    virtual eResult TestCooperativeLevel() = 0;
    virtual eResult Reset(cPresentParams& pp) = 0;
    virtual eResult Present() = 0;
    virtual eResult BeginScene() = 0;
    virtual eResult EndScene() = 0;
    virtual eResult Clear(unsigned flags, uint32_t argb, float z, unsigned stencil) = 0;
    virtual eResult GetDisplayMode(cDisplayMode& m) = 0;
    // kind: e_tsView, e_tsProjection, e_tsWorld, e_tsTexture0 + stage.
    // Row-vector matrices, 16 floats row by row.
    virtual void SetTransform(int kind, const float m[16]) = 0;
    virtual void SetMaterial(const float diffuse[4], const float ambient[4], const float specular[4],
                             const float emissive[4], float power) = 0;
    virtual void SetRenderState(int state, uint32_t value) = 0;
    virtual uint32_t GetRenderState(int state) = 0;
    virtual void SetTextureStageState(int stage, int state, uint32_t value) = 0;
    virtual uint32_t GetTextureStageState(int stage, int state) = 0;
    virtual void SetTexture(int stage, cTexture* t) = 0;
    virtual void SetFVF(uint32_t fvf) = 0;
    virtual void SetStreamSource(int stream, cBuffer* vb, int stride) = 0;
    virtual void SetIndices(cBuffer* ib, int baseVertex) = 0;
    virtual eResult DrawPrimitive(int type, int start, int primCount) = 0;
    virtual eResult DrawIndexedPrimitive(int type, int minIndex, int numVertices, int startIndex,
                                         int primCount) = 0;
    // User-array draws unbind the stream source and the indices afterwards.
    virtual eResult DrawPrimitiveUP(int type, int primCount, const void* vertices, int stride) = 0;
    virtual eResult DrawIndexedPrimitiveUP(int type, int minIndex, int numVertices, int primCount,
                                           const uint16_t* indices, const void* vertices,
                                           int stride) = 0;
    // levels 0: the full chain.
    virtual std::unique_ptr<cTexture> CreateTexture(int w, int h, int levels, bool renderTarget,
                                                    eFormat f, ePool pool, eResult& r) = 0;
    virtual std::unique_ptr<cBuffer> CreateVertexBuffer(unsigned size, bool dynamic, ePool pool,
                                                        eResult& r) = 0;
    virtual std::unique_ptr<cBuffer> CreateIndexBuffer(unsigned size, bool dynamic, ePool pool,
                                                       eResult& r) = 0;
    virtual std::unique_ptr<cSurface> CreateDepthStencilSurface(int w, int h, eFormat f, int ms,
                                                                eResult& r) = 0;
    // The automatic depth-stencil surface (null without one); owned by the device.
    virtual cSurface* GetDepthStencilSurface() = 0;
    // The last drawn frame as RGB bytes, bottom row first, at the back-buffer size.
    virtual eResult ReadFrontBuffer(std::vector<uint8_t>& rgb, int& w, int& h) = 0;
    // The device behaves as lost: the next `lostTests` cooperative-level
    // tests report DeviceLost, then DeviceNotReset until Reset. Presents
    // report DeviceLost meanwhile. Stands for a display change.
    virtual void SimulateDeviceLoss(int lostTests = 0) = 0;
    // Back-buffer size.
    virtual void GetBackBufferSize(int& w, int& h) = 0;
    // Someone else drew on the device's context: every state is set again
    // before the next draw.
    virtual void InvalidateState() = 0;
    // The picture presenting would put into a w x h drawable (letterboxed,
    // through the gamma ramp), as RGB bytes bottom row first. For checks of
    // what reaches the window.
    virtual eResult ReadPresented(int w, int h, std::vector<uint8_t>& rgb) = 0;
};

class cSystem {
public:
    // Null when video is not up or it has no GL.
    static std::unique_ptr<cSystem> Create();
    virtual ~cSystem();
    virtual eResult GetAdapterDisplayMode(cDisplayMode& m) = 0;
    virtual eResult CheckDepthFormat(eFormat adapter, eFormat depth) = 0;
    virtual eResult CheckDepthStencilMatch(eFormat adapter, eFormat backBuffer, eFormat depth) = 0;
    virtual eResult CheckMultiSample(eFormat backBuffer, int samples) = 0;
    // Valid once a device has been created.
    virtual eResult GetCaps(cCaps& c) = 0;
    // window: the cNativeWindow (made with an OpenGL configuration).
    virtual std::unique_ptr<cDevice> CreateDevice(void* window, int vertexProcessing,
                                                  cPresentParams& pp, eResult& r) = 0;
};

// Bytes of one level of a format (block formats: whole 4 x 4 blocks).
int LevelBytes(eFormat f, int w, int h);
// Bytes of one row (block formats: one row of blocks).
int RowBytes(eFormat f, int w);
// Rows of one level (block formats: rows of blocks).
int LevelRows(eFormat f, int h);
bool IsBlockFormat(eFormat f);
// Levels of a full chain down to 1 x 1.
int FullChainLevels(int w, int h);

}  // namespace vek::platform::gfx
