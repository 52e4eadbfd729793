#pragma once
// The renderer: the engine's only path to the graphics device. It creates
// the device for the engine window, keeps a cache of what the device was last
// told (so repeated settings cost no device call), draws from user arrays or
// device buffers, makes device textures and render targets for the texture
// manager, and keeps buffer contents alive across device release and loss.
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/image.h"
#include "platform/gfx.h"

namespace vek {

namespace gfx = platform::gfx;

// What the engine hands to Init: colour depth (kept, unused), depth and
// stencil wishes (byte 0 depth, byte 1 stencil), anti-aliasing (0 off, 4 four
// samples, anything else two), vertical retrace (non-zero: wait for it).
struct cRenderSettings {
    int32_t iBits = 32;
    int32_t iDepthStencil = 1;
    int32_t iAntiAlias = 0;
    int32_t iVSync = 0;
};

// A vertex layout: position (three floats), normal (three floats), diffuse
// colour (packed ARGB), and one texture coordinate set of iTexture floats.
struct cVertexFormat {
    bool bPosition = false;
    bool bNormal = false;
    bool bDiffuse = false;
    int32_t iTexture = 0;

    uint32_t GetFVF() const;
    int GetSize() const;
    bool operator==(const cVertexFormat& o) const
    {
        return bPosition == o.bPosition && bNormal == o.bNormal && bDiffuse == o.bDiffuse &&
               iTexture == o.iTexture;
    }
    bool operator!=(const cVertexFormat& o) const { return !(*this == o); }
};

// The 2D layer's layout: x, y, z, colour, u, v (24 bytes).
inline constexpr cVertexFormat g_VertexFormat2D{true, false, true, 2};

// Filter modes: 0 point; 1 linear; 2, 3 linear with point or linear mip
// filtering (full chain); 4, 5 the same anisotropic.
struct cTextureDesc {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    cPixelFormat format = cPixelFormat::Get(0);
    int32_t filter = 0;
    int32_t address = 1;  // wrap
};

// A device texture and its description; owned by the texture that made it.
class cDeviceTexture {
public:
    cDeviceTexture() = default;
    // Unbinds itself from the renderer's cache first.
    ~cDeviceTexture();
    cDeviceTexture(const cDeviceTexture&) = delete;
    cDeviceTexture& operator=(const cDeviceTexture&) = delete;

    cTextureDesc desc;
    std::unique_ptr<gfx::cTexture> pTexture;
};

// A vertex or index buffer as the renderer keeps it: the device buffer (null
// while released), its usage (512 dynamic, else static), its size and the
// contents saved while it has no device buffer.
struct cBufferRecord {
    enum : int32_t { e_usageDynamic = 512 };
    std::unique_ptr<gfx::cBuffer> pBuffer;
    int32_t iUsage = 0;
    int32_t iSize = 0;
    std::unique_ptr<std::vector<uint8_t>> pSaved;

    bool IsDynamic() const { return iUsage == e_usageDynamic; }
};

class cRender {
public:
    // Transform kinds of SetTransform.
    enum eTransform { e_Projection = 0, e_View = 1, e_World = 2, e_Texture = 3 };
    // Primitive kinds of the user-array DrawPrimitives.
    enum ePrimitive {
        e_PointList = 0, e_LineList = 1, e_LineStrip = 2, e_TriangleList = 3, e_TriangleStrip = 4,
        e_TriangleFan = 5
    };
    // Results of Begin.
    enum eBegin { e_beginOk = 0, e_beginNoDevice = 3, e_beginLost = 5, e_beginSkip = 6 };

    cRender();
    ~cRender();
    cRender(const cRender&) = delete;
    cRender& operator=(const cRender&) = delete;

    // ---- life cycle ----
    // 0 success, 1 no desktop mode, 2 no graphics system, 3 no device.
    int Init(const cRenderSettings& settings);
    void Free();
    int FillPresentParameters(const cRenderSettings& settings);
    bool HasDevice() const { return m_pDevice != nullptr; }
    bool HasSystem() const { return m_pSystem != nullptr; }

    // ---- frame ----
    int Begin();
    void End();
    void SwapBuffers();
    void SetClearColor(float r, float g, float b, float a);
    // Clears the back buffer to the clear colour (depth 1, the clear stencil).
    void Clear();
    // The last frame as RGB rows, bottom row first (format 4); null without
    // a device. out receives the rectangle read.
    std::unique_ptr<cImage> ReadFrontBuffer(recti* out);
    // The desktop changed under the device: the next Begin resets it.
    void MarkDeviceLost();

    // ---- viewport (the drawable area; not passed to the device) ----
    void SetViewport(int x, int y, int w, int h);
    recti GetViewport() const { return m_Viewport; }

    // ---- states ----
    void SetTransform(int kind, const matrix4& m);
    const matrix4& GetTransform(int kind) const;
    void SetAlphaTest(int function, float reference);
    // Source and destination factors; either 0 turns blending off.
    void SetBlendFunc(int source, int destination);
    void SetTexture(cDeviceTexture* texture);
    int GetTextureStage() const { return m_iStage; }
    void SetTextureStageOps(int colorOp, int colorArg1, int colorArg2, int alphaOp, int alphaArg1,
                            int alphaArg2);
    void SetTextureFactor(float r, float g, float b, float a);
    void SetVertexFormat(const cVertexFormat& format);
    const cVertexFormat& GetVertexFormat() const { return m_VertexFormat; }
    int GetVertexSize() const { return m_VertexFormat.GetSize(); }
    void SetVertexBuffer(cBufferRecord* buffer);
    void SetIndexBuffer(cBufferRecord* buffer);
    void ResetIndexBuffer();
    void SetMaterialColor(float r, float g, float b, float a);
    // A device render state the renderer does not cache (culling and the
    // like); cached states go through their own setters.
    void SetRenderState(int state, uint32_t value);
    // world x view, in one matrix the next call overwrites.
    const matrix4& GetViewWorldMatrix();
    void SetHardwareDefaults();
    void SetSoftwareDefaults();

    // ---- drawing ----
    // Triangle lists from the bound buffers.
    void DrawPrimitives(int primitiveCount, int vertexCount);
    // From user arrays; kind as ePrimitive; indices 16 bits or null.
    void DrawPrimitives(const void* vertices, int primitiveCount, int kind, int vertexCount,
                        const uint16_t* indices);

    // ---- textures ----
    std::unique_ptr<cDeviceTexture> CreateTexture(const cTextureDesc* desc);
    std::unique_ptr<cDeviceTexture> CreateRenderTarget(int width, int height);
    // A device texture that goes away is dropped from the stage cache.
    void ForgetTexture(const cDeviceTexture* texture);

    // ---- buffers ----
    // A new record linked into the vertex or index list; its device buffer
    // is made now when there is a device (else at the next Init).
    cBufferRecord* CreateBuffer(bool index, int size, int usage);
    // Writes bytes into a record, on the device or into its saved block.
    bool WriteBuffer(cBufferRecord* record, int offset, const void* data, int size);
    // Unlinks and frees a record (saved block, device buffer, record).
    void ReleaseBuffer(bool index, cBufferRecord* record);
    const std::list<cBufferRecord*>& GetVertexBuffers() const { return m_lstVertexBuffers; }
    const std::list<cBufferRecord*>& GetIndexBuffers() const { return m_lstIndexBuffers; }

    int d3dRecreateDepthStencil();
    void DumpCaps();

    // ---- counters ----
    struct cCounters {
        int vertices = 0, primitives = 0, calls = 0;
    };
    const cCounters& GetFrameCounters() const { return m_Frame; }
    const cCounters& GetLastFrameCounters() const { return m_LastFrame; }

    const cRenderSettings& GetSettings() const { return m_Settings; }
    uint32_t GetClearColor() const { return m_uClearColor; }
    // The device (tests and the platform glue only).
    gfx::cDevice* GetDevice() { return m_pDevice.get(); }
    const gfx::cPresentParams& GetPresentParams() const { return m_PP; }

private:
    struct cStage {
        cDeviceTexture* pTexture = nullptr;
        int32_t iFilter = 0;
        int32_t iAddress = 1;
        int32_t iMatrixKind = -1;
        // Colour op, arg 1, arg 2, alpha op, arg 1, arg 2: modulate the
        // texture with what came before.
        int32_t ops[6] = {gfx::e_topModulate, gfx::e_taTexture, gfx::e_taCurrent,
                          gfx::e_topModulate, gfx::e_taTexture, gfx::e_taCurrent};
    };

    void SaveBuffer(cBufferRecord* r);
    void RestoreBuffer(cBufferRecord* r, bool index);
    bool MakeDeviceBuffer(cBufferRecord* r, bool index);
    void CountDraw(int vertices, int primitives);

    cRenderSettings m_Settings;
    std::unique_ptr<gfx::cSystem> m_pSystem;
    std::unique_ptr<gfx::cDevice> m_pDevice;
    bool m_bDeviceLost = false;
    gfx::cPresentParams m_PP;
    gfx::cCaps m_Caps;
    gfx::cSurface* m_pDepthStencil = nullptr;
    std::unique_ptr<gfx::cSurface> m_pOwnDepthStencil;
    uint32_t m_uClearColor = 0;
    uint32_t m_uClearStencil = 0;

    recti m_Viewport;
    matrix4 m_Projection, m_View, m_World;
    cVertexFormat m_VertexFormat;
    cBufferRecord* m_pVertexBuffer = nullptr;
    int m_iIndexBound = 0;
    bool m_bLighting = false;
    bool m_bAlphaTest = false;
    int m_iAlphaFunc = 0;
    float m_fAlphaRef = 0.0f;
    bool m_bBlend = false;
    int m_iSrcBlend = 0, m_iDestBlend = 0, m_iBlendOp = 1;
    int m_iStage = 0;
    cStage m_Stages[4];
    cCounters m_Frame, m_LastFrame;
    std::list<cBufferRecord*> m_lstVertexBuffers;
    std::list<cBufferRecord*> m_lstIndexBuffers;

    // Conditions that repeat every frame (a minimised window) are logged once
    // until they end, so they do not fill the log.
    bool m_bEmptyViewportLogged = false;
    bool m_bLostLogged = false;
};

// Both forms of the row-vector product: out = a x b, out may be a or b.
void MatrixMultiply(matrix4& out, const matrix4& a, const matrix4& b);
// Integer rectangles {x, y, w, h}: the larger origins, sizes to the nearer
// far edges, never below 0.
recti IntersectRect(const recti& a, const recti& b);

bool CreateRender();
bool DestroyRender();
extern cRender* g_pRender;

} // namespace vek
