// Device resources over GL objects: textures with per-level staging locks,
// buffers with a memory shadow, depth surfaces; format sizes; the default
// device states.
#include <algorithm>
#include <cstring>

#include "platform/gfx_gl.h"

namespace vek::platform::gfx {

cTexture::~cTexture() = default;
cBuffer::~cBuffer() = default;
cSurface::~cSurface() = default;

uint32_t ResultCode(eResult r)
{
    // The classic HRESULT words, so that log lines read as expected.
    switch (r) {
    case eResult::Ok: return 0;
    case eResult::DeviceLost: return 0x88760868u;
    case eResult::DeviceNotReset: return 0x88760869u;
    case eResult::NotAvailable: return 0x8876086Au;
    case eResult::InvalidCall: return 0x8876086Cu;
    case eResult::OutOfMemory: return 0x8007000Eu;
    }
    return 0x80004005u;
}

bool IsBlockFormat(eFormat f)
{
    return f == eFormat::DXT1 || f == eFormat::DXT3 || f == eFormat::DXT5;
}

static int UnitBytes(eFormat f)
{
    switch (f) {
    case eFormat::L8: return 1;
    case eFormat::A8L8:
    case eFormat::R5G6B5:
    case eFormat::D16:
    case eFormat::Index16: return 2;
    case eFormat::X8R8G8B8:
    case eFormat::A8R8G8B8:
    case eFormat::D24S8:
    case eFormat::D24X8: return 4;
    case eFormat::DXT1: return 8;
    case eFormat::DXT3:
    case eFormat::DXT5: return 16;
    case eFormat::Unknown: break;
    }
    return 0;
}

int RowBytes(eFormat f, int w)
{
    if (w < 1) w = 1;
    if (IsBlockFormat(f)) return ((w + 3) / 4) * UnitBytes(f);
    return w * UnitBytes(f);
}

int LevelRows(eFormat f, int h)
{
    if (h < 1) h = 1;
    return IsBlockFormat(f) ? (h + 3) / 4 : h;
}

int LevelBytes(eFormat f, int w, int h)
{
    return RowBytes(f, w) * LevelRows(f, h);
}

int FullChainLevels(int w, int h)
{
    int m = std::max(w, h), n = 1;
    while (m > 1) {
        m >>= 1;
        ++n;
    }
    return n;
}

namespace gl {

bool GetGLFormat(eFormat f, cGLFormat& out)
{
    out = cGLFormat();
    switch (f) {
    case eFormat::L8:
        out.internal = GL_R8;
        out.format = GL_RED;
        out.type = GL_UNSIGNED_BYTE;
        out.swizzle[0] = out.swizzle[1] = out.swizzle[2] = GL_RED;
        out.swizzle[3] = GL_ONE;
        return true;
    case eFormat::A8L8:
        // Luminance in the low byte, alpha in the high byte.
        out.internal = GL_RG8;
        out.format = GL_RG;
        out.type = GL_UNSIGNED_BYTE;
        out.swizzle[0] = out.swizzle[1] = out.swizzle[2] = GL_RED;
        out.swizzle[3] = GL_GREEN;
        return true;
    case eFormat::R5G6B5:
        out.internal = GL_RGB565;
        out.format = GL_RGB;
        out.type = GL_UNSIGNED_SHORT_5_6_5;
        out.swizzle[3] = GL_ONE;
        return true;
    case eFormat::X8R8G8B8:
        out.internal = GL_RGBA8;
        out.format = GL_BGRA;
        out.type = GL_UNSIGNED_BYTE;
        out.swizzle[3] = GL_ONE;
        return true;
    case eFormat::A8R8G8B8:
        out.internal = GL_RGBA8;
        out.format = GL_BGRA;
        out.type = GL_UNSIGNED_BYTE;
        return true;
    case eFormat::DXT1:
        // One-bit alpha is kept: a transparent block stays transparent.
        out.internal = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
        out.compressed = true;
        return true;
    case eFormat::DXT3:
        out.internal = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
        out.compressed = true;
        return true;
    case eFormat::DXT5:
        out.internal = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
        out.compressed = true;
        return true;
    default:
        return false;
    }
}

// Uploads and downloads use a unit of their own so that they never disturb
// what the device has bound for drawing.
static constexpr GLenum g_eScratchUnit = GL_TEXTURE0 + 7;

// ---------------------------------------------------------------- textures

cGLTexture::cGLTexture(std::shared_ptr<cContextLink> link, int w, int h, int levels,
                       bool renderTarget, eFormat f, ePool pool)
    : m_pLink(std::move(link)), m_iWidth(w), m_iHeight(h), m_iLevels(levels),
      m_bRenderTarget(renderTarget), m_eFormat(f), m_ePool(pool)
{
    m_vecDefined.assign(levels, false);
    m_vecStaging.resize(levels);
    m_vecLockFlags.assign(levels, 0);
    m_vecLocked.assign(levels, false);
    m_pLink->textures.push_back(this);
}

void cContextLink::Forget(cGLTexture* t)
{
    if (!state) return;
    for (auto& bound : state->textures)
        if (bound == t) {
            bound = nullptr;
            rebind = true;
        }
}

void cContextLink::Forget(cGLBuffer* b)
{
    if (!state) return;
    if (state->vb == b) {
        state->vb = nullptr;
        state->stride = 0;
    }
    if (state->ib == b) state->ib = nullptr;
}

cGLTexture::~cGLTexture()
{
    m_pLink->Forget(this);
    auto& v = m_pLink->textures;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (m_pLink->alive && m_uName) glDeleteTextures(1, &m_uName);
}

bool cGLTexture::Allocate()
{
    if (!GetGLFormat(m_eFormat, m_Format)) return false;
    glGenTextures(1, &m_uName);
    if (!m_uName) return false;
    glActiveTexture(g_eScratchUnit);
    glBindTexture(GL_TEXTURE_2D, m_uName);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, m_Format.swizzle);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    bool ok = true;
    if (m_bRenderTarget) {
        // A render target's storage exists from the start (its contents are undefined).
        glGetError();
        glTexImage2D(GL_TEXTURE_2D, 0, m_Format.internal, m_iWidth, m_iHeight, 0, m_Format.format,
                     m_Format.type, nullptr);
        ok = glGetError() == GL_NO_ERROR;
        if (ok) m_vecDefined[0] = true;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    return ok;
}

void cGLTexture::GetLevelSize(int level, int& w, int& h)
{
    if (level < 0 || level >= m_iLevels) {
        w = h = 0;
        return;
    }
    w = std::max(1, m_iWidth >> level);
    h = std::max(1, m_iHeight >> level);
}

eResult cGLTexture::LockRect(int level, cLockedRect& out, unsigned flags)
{
    out = cLockedRect();
    if (level < 0 || level >= m_iLevels || m_vecLocked[level]) return eResult::InvalidCall;
    // A level never written has no pixels to read: zeros would come back as
    // a black level that was never there.
    if ((flags & e_lockReadOnly) && !m_vecDefined[level]) return eResult::NotAvailable;
    int w, h;
    GetLevelSize(level, w, h);
    auto& staging = m_vecStaging[level];
    staging.assign(static_cast<size_t>(LevelBytes(m_eFormat, w, h)), 0);
    // A discarding lock promises to rewrite everything; any other lock sees
    // the current pixels, so a partial write keeps the rest.
    if (!(flags & e_lockDiscard) && m_vecDefined[level] && m_pLink->alive)
        Download(level, staging.data());
    m_vecLocked[level] = true;
    m_vecLockFlags[level] = flags;
    out.pitch = RowBytes(m_eFormat, w);
    out.bits = staging.data();
    return eResult::Ok;
}

eResult cGLTexture::UnlockRect(int level)
{
    if (level < 0 || level >= m_iLevels || !m_vecLocked[level]) return eResult::InvalidCall;
    m_vecLocked[level] = false;
    if (!(m_vecLockFlags[level] & e_lockReadOnly) && m_pLink->alive)
        Upload(level, m_vecStaging[level].data());
    std::vector<uint8_t>().swap(m_vecStaging[level]);
    return eResult::Ok;
}

void cGLTexture::Upload(int level, const uint8_t* data)
{
    int w, h;
    GetLevelSize(level, w, h);
    glActiveTexture(g_eScratchUnit);
    glBindTexture(GL_TEXTURE_2D, m_uName);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    if (m_Format.compressed) {
        GLsizei bytes = LevelBytes(m_eFormat, w, h);
        if (m_vecDefined[level])
            glCompressedTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, w, h, m_Format.internal, bytes, data);
        else
            glCompressedTexImage2D(GL_TEXTURE_2D, level, m_Format.internal, w, h, 0, bytes, data);
    } else if (m_vecDefined[level]) {
        glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, w, h, m_Format.format, m_Format.type, data);
    } else {
        glTexImage2D(GL_TEXTURE_2D, level, m_Format.internal, w, h, 0, m_Format.format,
                     m_Format.type, data);
    }
    m_vecDefined[level] = true;
    UpdateMaxLevel();
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void cGLTexture::Download(int level, uint8_t* data)
{
    glActiveTexture(g_eScratchUnit);
    glBindTexture(GL_TEXTURE_2D, m_uName);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    if (m_Format.compressed)
        glGetCompressedTexImage(GL_TEXTURE_2D, level, data);
    else
        glGetTexImage(GL_TEXTURE_2D, level, m_Format.format, m_Format.type, data);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void cGLTexture::UpdateMaxLevel()
{
    // Levels never written would make the texture incomplete (sampled black);
    // sampling stops at the last level of the written run from level 0.
    int n = 0;
    while (n < m_iLevels && m_vecDefined[n]) ++n;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, std::max(0, n - 1));
}

void cGLTexture::DropContents()
{
    if (!m_pLink->alive || !m_uName) return;
    glActiveTexture(g_eScratchUnit);
    glBindTexture(GL_TEXTURE_2D, m_uName);
    for (int level = 0; level < m_iLevels; ++level) {
        if (!m_vecDefined[level]) continue;
        int w, h;
        GetLevelSize(level, w, h);
        if (m_Format.compressed) {
            std::vector<uint8_t> zero(static_cast<size_t>(LevelBytes(m_eFormat, w, h)), 0);
            glCompressedTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, w, h, m_Format.internal,
                                      static_cast<GLsizei>(zero.size()), zero.data());
        } else {
            glTexImage2D(GL_TEXTURE_2D, level, m_Format.internal, w, h, 0, m_Format.format,
                         m_Format.type, nullptr);
        }
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

// ----------------------------------------------------------------- buffers

cGLBuffer::cGLBuffer(std::shared_ptr<cContextLink> link, unsigned size, bool index, bool dynamic,
                     ePool pool)
    : m_pLink(std::move(link)), m_uSize(size), m_bIndex(index), m_bDynamic(dynamic), m_ePool(pool)
{
    m_pLink->buffers.push_back(this);
}

cGLBuffer::~cGLBuffer()
{
    m_pLink->Forget(this);
    auto& v = m_pLink->buffers;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (m_pLink->alive && m_uName) glDeleteBuffers(1, &m_uName);
}

bool cGLBuffer::Allocate()
{
    if (m_uSize == 0) return false;
    m_vecShadow.assign(m_uSize, 0);
    glGenBuffers(1, &m_uName);
    if (!m_uName) return false;
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_uName);
    glGetError();
    glBufferData(GL_COPY_WRITE_BUFFER, m_uSize, m_vecShadow.data(),
                 m_bDynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    bool ok = glGetError() == GL_NO_ERROR;
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return ok;
}

eResult cGLBuffer::Lock(unsigned off, unsigned size, void** p, unsigned flags)
{
    if (!p) return eResult::InvalidCall;
    *p = nullptr;
    if (m_bLocked || off > m_uSize) return eResult::InvalidCall;
    if (size == 0) size = m_uSize - off;
    if (size > m_uSize - off) return eResult::InvalidCall;
    m_bLocked = true;
    m_uLockOff = off;
    m_uLockSize = size;
    m_uLockFlags = flags;
    *p = m_vecShadow.data() + off;
    return eResult::Ok;
}

eResult cGLBuffer::Unlock()
{
    if (!m_bLocked) return eResult::InvalidCall;
    m_bLocked = false;
    if ((m_uLockFlags & e_lockReadOnly) || !m_pLink->alive || m_uLockSize == 0) return eResult::Ok;
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_uName);
    glBufferSubData(GL_COPY_WRITE_BUFFER, m_uLockOff, m_uLockSize, m_vecShadow.data() + m_uLockOff);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return eResult::Ok;
}

void cGLBuffer::DropContents()
{
    std::fill(m_vecShadow.begin(), m_vecShadow.end(), 0);
    if (!m_pLink->alive || !m_uName) return;
    glBindBuffer(GL_COPY_WRITE_BUFFER, m_uName);
    glBufferData(GL_COPY_WRITE_BUFFER, m_uSize, m_vecShadow.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

// ---------------------------------------------------------------- surfaces

static GLenum DepthInternal(eFormat f)
{
    switch (f) {
    case eFormat::D16: return GL_DEPTH_COMPONENT16;
    case eFormat::D24X8: return GL_DEPTH_COMPONENT24;
    case eFormat::D24S8: return GL_DEPTH24_STENCIL8;
    default: return 0;
    }
}

cGLSurface::cGLSurface(std::shared_ptr<cContextLink> link, int w, int h, eFormat f, int samples)
    : m_pLink(std::move(link)), m_iWidth(w), m_iHeight(h), m_iSamples(samples), m_eFormat(f)
{
}

cGLSurface::~cGLSurface()
{
    if (m_pLink->alive && m_uName) glDeleteRenderbuffers(1, &m_uName);
}

bool cGLSurface::Allocate()
{
    GLenum internal = DepthInternal(m_eFormat);
    if (!internal || m_iWidth <= 0 || m_iHeight <= 0) return false;
    glGenRenderbuffers(1, &m_uName);
    glBindRenderbuffer(GL_RENDERBUFFER, m_uName);
    glGetError();
    if (m_iSamples > 0)
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, m_iSamples, internal, m_iWidth, m_iHeight);
    else
        glRenderbufferStorage(GL_RENDERBUFFER, internal, m_iWidth, m_iHeight);
    bool ok = glGetError() == GL_NO_ERROR;
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return ok;
}

void cGLSurface::GetDesc(int& w, int& h, eFormat& f)
{
    w = m_iWidth;
    h = m_iHeight;
    f = m_eFormat;
}

// ---------------------------------------------------------------- defaults

static void Identity(float m[16])
{
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void SetDefaultStates(cDeviceState& s, bool depthBuffer)
{
    s = cDeviceState();
    auto& rs = s.rs;
    rs[e_rsZEnable] = depthBuffer ? 1 : 0;
    rs[e_rsFillMode] = 3;   // solid
    rs[e_rsShadeMode] = 2;  // Gouraud
    rs[e_rsZWriteEnable] = 1;
    rs[e_rsAlphaTestEnable] = 0;
    rs[e_rsLastPixel] = 1;
    rs[e_rsSrcBlend] = e_blendOne;
    rs[e_rsDestBlend] = e_blendZero;
    rs[e_rsCullMode] = e_cullCCW;
    rs[e_rsZFunc] = e_cmpLessEqual;
    rs[e_rsAlphaRef] = 0;
    rs[e_rsAlphaFunc] = e_cmpAlways;
    rs[e_rsAlphaBlendEnable] = 0;
    rs[e_rsTextureFactor] = 0xFFFFFFFFu;
    rs[e_rsLighting] = 1;
    rs[e_rsAmbient] = 0;
    rs[e_rsColorVertex] = 1;
    rs[e_rsDiffuseMaterialSource] = e_mcsColor1;
    rs[e_rsSpecularMaterialSource] = e_mcsColor2;
    rs[e_rsAmbientMaterialSource] = e_mcsMaterial;
    rs[e_rsEmissiveMaterialSource] = e_mcsMaterial;
    rs[e_rsBlendOp] = e_blendOpAdd;
    for (int st = 0; st < g_iStages; ++st) {
        uint32_t* t = s.tss[st];
        t[e_tssColorOp] = st == 0 ? e_topModulate : e_topDisable;
        t[e_tssColorArg1] = e_taTexture;
        t[e_tssColorArg2] = e_taCurrent;
        t[e_tssAlphaOp] = st == 0 ? e_topSelectArg1 : e_topDisable;
        t[e_tssAlphaArg1] = e_taTexture;
        t[e_tssAlphaArg2] = e_taCurrent;
        t[e_tssTexCoordIndex] = static_cast<uint32_t>(st);
        t[e_tssAddressU] = t[e_tssAddressV] = t[e_tssAddressW] = e_addressWrap;
        t[e_tssMagFilter] = e_filterPoint;
        t[e_tssMinFilter] = e_filterPoint;
        t[e_tssMipFilter] = e_filterNone;
        t[e_tssMaxAnisotropy] = 1;
        t[e_tssTextureTransformFlags] = e_ttffDisable;
        Identity(s.texture[st]);
    }
    Identity(s.world);
    Identity(s.view);
    Identity(s.proj);
}

}  // namespace gl
}  // namespace vek::platform::gfx
