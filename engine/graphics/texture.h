#pragma once
// Textures: named images that can be drawn. A texture holds its pixels in
// memory while there is no device and on the device while there is one;
// the texture manager is the engine's table of all of them, with the 64 x 64
// checkerboard "unnamed" in entry 0 for every bad or empty id.
#include <cstdint>
#include <memory>

#include "engine/core/container.h"
#include "engine/core/image.h"
#include "engine/core/vekstring.h"
#include "engine/graphics/render.h"

namespace vek {

class cTexture {
public:
    // Registers itself in the texture manager (its id is its index there),
    // keeps a copy of the image in the byte order the device takes, and
    // moves it onto the device at once when there is one.
    cTexture(const cImage* image, const string& name, bool reserved);
    // A render target of that size: no pixels of its own, a device texture
    // made fresh with every device.
    cTexture(const string& name, int width, int height, bool reserved);
    virtual ~cTexture();
    cTexture(const cTexture&) = delete;
    cTexture& operator=(const cTexture&) = delete;

    // Makes the device texture; false only when one exists already.
    bool OnCreateContext();
    // Reads the levels it wrote back into memory and releases the device
    // texture.
    void OnDeleteContext();

    int GetWidth() const;
    int GetHeight() const;
    const string& GetName() const { return name; }
    uint32_t GetId() const { return m_uId; }
    cDeviceTexture* GetDeviceTexture() const { return pDevice.get(); }
    const cImage* GetImage() const { return pImage.get(); }
    bool IsRenderTarget() const { return bRenderTarget; }

    string name;
    std::unique_ptr<cDeviceTexture> pDevice;
    std::unique_ptr<cImage> pImage;
    int32_t iAddress = 1;  // wrap
    bool bRenderTarget = false;
    int32_t iTargetWidth = 0;
    int32_t iTargetHeight = 0;

private:
    uint32_t m_uId = 0;
    // Levels written to the device texture, the run from level 0: what a
    // read-back may take from it.
    int32_t m_iDeviceLevels = 0;
};

class cTextureManager : public cContainerPtr<cTexture> {
public:
    cTextureManager() : cContainerPtr<cTexture>(100) {}

    // Entry 0, then every other entry holding a texture of its own.
    bool OnCreateContext();
    void OnDeleteContext();
    // Around a device reset: the render targets only.
    void ReleaseRenderTargets();
    void RestoreRenderTargets();
    // The table "Textures." through both log outputs.
    void Dump();
};

bool CreateTextureManager();
bool DestroyTextureManager();
extern cTextureManager* g_pTextureManager;

} // namespace vek
