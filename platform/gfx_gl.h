#pragma once
// Inside of the OpenGL device: shared by gfx_*.cpp only.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx.h"

#ifndef GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
#define GL_COMPRESSED_RGBA_S3TC_DXT1_EXT 0x83F1
#define GL_COMPRESSED_RGBA_S3TC_DXT3_EXT 0x83F2
#define GL_COMPRESSED_RGBA_S3TC_DXT5_EXT 0x83F3
#endif
#ifndef GL_TEXTURE_MAX_ANISOTROPY
#define GL_TEXTURE_MAX_ANISOTROPY 0x84FE
#define GL_MAX_TEXTURE_MAX_ANISOTROPY 0x84FF
#endif

typedef void* SDL_GLContext;

namespace vek::platform::gfx::gl {

// What a resource needs of its device: whether the GL context still exists
// (a resource released after its device must not touch GL) and the lists
// through which a reset reaches the default-pool resources.
class cGLTexture;
class cGLBuffer;
struct cDeviceState;
struct cContextLink {
    bool alive = true;
    std::vector<cGLTexture*> textures;
    std::vector<cGLBuffer*> buffers;
    // The device's bindings: a resource that goes away while bound unbinds
    // itself, so the device never draws from a deleted object.
    cDeviceState* state = nullptr;
    bool rebind = false;
    void Forget(cGLTexture* t);
    void Forget(cGLBuffer* b);
};

struct cGLFormat {
    GLenum internal = 0;
    GLenum format = 0;  // 0 for compressed formats
    GLenum type = 0;
    bool compressed = false;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
};
bool GetGLFormat(eFormat f, cGLFormat& out);

class cGLTexture final : public cTexture {
public:
    cGLTexture(std::shared_ptr<cContextLink> link, int w, int h, int levels, bool renderTarget,
               eFormat f, ePool pool);
    ~cGLTexture() override;
    bool Allocate();  // GL name (and level 0 for render targets); false on failure

    int GetLevelCount() override { return m_iLevels; }
    eResult LockRect(int level, cLockedRect& out, unsigned flags) override;
    eResult UnlockRect(int level) override;
    void GetLevelSize(int level, int& w, int& h) override;
    eFormat GetFormat() override { return m_eFormat; }

    GLuint Name() const { return m_uName; }
    bool IsRenderTarget() const { return m_bRenderTarget; }
    ePool Pool() const { return m_ePool; }
    // Forgets the pixels (a reset drops render-target contents).
    void DropContents();

private:
    void Upload(int level, const uint8_t* data);
    void Download(int level, uint8_t* data);
    void UpdateMaxLevel();

    std::shared_ptr<cContextLink> m_pLink;
    GLuint m_uName = 0;
    int m_iWidth, m_iHeight, m_iLevels;
    bool m_bRenderTarget;
    eFormat m_eFormat;
    ePool m_ePool;
    cGLFormat m_Format;
    std::vector<bool> m_vecDefined;                 // level has storage and pixels
    std::vector<std::vector<uint8_t>> m_vecStaging;  // per locked level
    std::vector<unsigned> m_vecLockFlags;
    std::vector<bool> m_vecLocked;
};

class cGLBuffer final : public cBuffer {
public:
    cGLBuffer(std::shared_ptr<cContextLink> link, unsigned size, bool index, bool dynamic, ePool pool);
    ~cGLBuffer() override;
    bool Allocate();

    eResult Lock(unsigned off, unsigned size, void** p, unsigned flags) override;
    eResult Unlock() override;
    unsigned GetSize() override { return m_uSize; }

    GLuint Name() const { return m_uName; }
    bool IsIndex() const { return m_bIndex; }
    ePool Pool() const { return m_ePool; }
    void DropContents();

private:
    std::shared_ptr<cContextLink> m_pLink;
    GLuint m_uName = 0;
    unsigned m_uSize;
    bool m_bIndex, m_bDynamic;
    ePool m_ePool;
    std::vector<uint8_t> m_vecShadow;
    bool m_bLocked = false;
    unsigned m_uLockOff = 0, m_uLockSize = 0, m_uLockFlags = 0;
};

class cGLSurface final : public cSurface {
public:
    cGLSurface(std::shared_ptr<cContextLink> link, int w, int h, eFormat f, int samples);
    ~cGLSurface() override;
    bool Allocate();
    void GetDesc(int& w, int& h, eFormat& f) override;
    GLuint Name() const { return m_uName; }

private:
    std::shared_ptr<cContextLink> m_pLink;
    GLuint m_uName = 0;
    int m_iWidth, m_iHeight, m_iSamples;
    eFormat m_eFormat;
};

// The device's states, numbered as set.
struct cMaterial {
    float diffuse[4] = {0, 0, 0, 0};
    float ambient[4] = {0, 0, 0, 0};
    float specular[4] = {0, 0, 0, 0};
    float emissive[4] = {0, 0, 0, 0};
    float power = 0;
};

constexpr int g_iStages = 4;
constexpr int g_iRenderStates = 256;
constexpr int g_iStageStates = 32;

struct cDeviceState {
    std::array<uint32_t, g_iRenderStates> rs{};
    uint32_t tss[g_iStages][g_iStageStates] = {};
    float world[16], view[16], proj[16];
    float texture[g_iStages][16];
    cMaterial material;
    cGLTexture* textures[g_iStages] = {};
    uint32_t fvf = 0;
    cGLBuffer* vb = nullptr;
    int stride = 0;
    cGLBuffer* ib = nullptr;
    int baseVertex = 0;
};

// The documented defaults of a new or reset device.
void SetDefaultStates(cDeviceState& s, bool depthBuffer);

// Program building.
GLuint BuildProgram(const char* vs, const char* fs);
extern const char* const g_szSceneVS;

// What a scene fragment program is specialised for: the first stage's six
// operations, the alpha test's function (0 none) and whether a texture is bound.
struct cFragmentKey {
    uint32_t ops[6] = {};
    uint32_t alphaFunc = 0;
    bool hasTexture = false;
    uint64_t Pack() const;
};
std::string SceneFragmentSource(const cFragmentKey& key);
extern const char* const g_szPresentVS;
extern const char* const g_szPresentFS;

}  // namespace vek::platform::gfx::gl
