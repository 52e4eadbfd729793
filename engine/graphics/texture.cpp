#include "engine/graphics/texture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/format.h"
#include "engine/core/log.h"

namespace vek {

cTextureManager* g_pTextureManager = nullptr;

namespace {

constexpr const char* kSender = "cTexture";

bool IsPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

// Bytes of a texture's levels: the full size, halving per level.
int TextureBytes(int format, int width, int height, int levels)
{
    int64_t total = 0;
    for (int i = 0; i < levels; ++i)
        total += cImage::GetImageSize(format, std::max(1, width >> i), std::max(1, height >> i));
    return static_cast<int>(std::min<int64_t>(total, INT32_MAX));
}

} // namespace

// ----------------------------------------------------------------- texture

cTexture::cTexture(const cImage* image, const string& texName, bool reserved) : name(texName)
{
    if (g_pTextureManager) m_uId = g_pTextureManager->Add(this, reserved);
    if (!image) return;
    pImage = image->Clone();
    const int w = pImage->GetWidth() == 0 ? 1 : pImage->GetWidth();
    if (!IsPowerOfTwo(w)) LogWarning(kSender, "Constructor '%s'. NPOT texture width\n", name);
    const int h = pImage->GetHeight();
    if (h != 0 && !IsPowerOfTwo(h)) LogWarning(kSender, "Constructor '%s'. NPOT texture height\n", name);
    if (!pImage->GetFormat().IsBlock()) {
        // The device takes blue first: R G B (A) becomes B G R (A).
        pImage->SwapRB();
        if (pImage->GetFormatId() == e_pfRGB) pImage->ConvertToRGBA();
    }
    if (g_pRender && g_pRender->HasDevice()) OnCreateContext();
}

cTexture::cTexture(const string& texName, int width, int height, bool reserved)
    : name(texName), bRenderTarget(true), iTargetWidth(width), iTargetHeight(height)
{
    if (g_pTextureManager) m_uId = g_pTextureManager->Add(this, reserved);
    if (g_pRender && g_pRender->HasDevice()) OnCreateContext();
}

cTexture::~cTexture()
{
    if (pDevice) LogWarning(kSender, "Destructor '%s'. Device texture still in memory!\n", name);
}

bool cTexture::OnCreateContext()
{
    if (pDevice) {
        LogWarning(kSender, "OnCreateContext '%s'. Device texture already exist.\n", name);
        return false;
    }
    if (bRenderTarget) {
        if (g_pRender) {
            const recti vp = g_pRender->GetViewport();
            while ((vp.w < iTargetWidth || vp.h < iTargetHeight) && (iTargetWidth > 0 || iTargetHeight > 0)) {
                iTargetWidth /= 2;
                iTargetHeight /= 2;
            }
            pDevice = g_pRender->CreateRenderTarget(iTargetWidth, iTargetHeight);
        }
        if (!pDevice) LogWarning(kSender, "OnCreateContext '%s'. Can't create render target.\n", name);
        return true;
    }
    if (!pImage) return true;

    cTextureDesc desc;
    desc.width = pImage->GetWidth() == 0 ? 1 : pImage->GetWidth();
    desc.height = pImage->GetHeight() == 0 ? 1 : pImage->GetHeight();
    desc.depth = 1;
    desc.format = pImage->GetFormat();
    desc.filter = pImage->GetLevelCount() > 1 ? 2 : 1;
    desc.address = iAddress;
    pDevice = g_pRender ? g_pRender->CreateTexture(&desc) : nullptr;
    if (!pDevice) {
        // The pixels stay in memory, so the next device can try again.
        LogWarning(kSender, "OnCreateContext '%s'. Can't create texture\n", name);
        return true;
    }
    gfx::cTexture* t = pDevice->pTexture.get();
    const int format = pImage->GetFormatId();
    const int levels = std::min(pImage->GetLevelCount(), t->GetLevelCount());
    bool complete = levels == pImage->GetLevelCount();
    m_iDeviceLevels = 0;
    for (int level = 0; level < levels; ++level) {
        gfx::cLockedRect lr;
        if (t->LockRect(level, lr, 0) != gfx::eResult::Ok) {
            complete = false;
            continue;
        }
        const int rowSize = cImage::GetPitch(format, pImage->GetLevelWidth(level));
        int lw = 0, lh = 0;
        t->GetLevelSize(level, lw, lh);
        const int deviceRows = gfx::LevelRows(t->GetFormat(), lh);
        if (rowSize > 0 && lr.pitch >= rowSize) {
            const int rows = std::min(pImage->GetLevelSize(level) / rowSize, deviceRows);
            const uint8_t* src = pImage->GetLevel(level);
            auto* dst = static_cast<uint8_t*>(lr.bits);
            for (int r = 0; r < rows; ++r)
                std::memcpy(dst + static_cast<size_t>(r) * static_cast<size_t>(lr.pitch),
                            src + static_cast<size_t>(r) * static_cast<size_t>(rowSize),
                            static_cast<size_t>(rowSize));
            if (m_iDeviceLevels == level) ++m_iDeviceLevels;
        } else {
            complete = false;
        }
        t->UnlockRect(level);
    }
    // Only pixels that reached the device may be dropped from memory.
    if (complete) pImage.reset();
    return true;
}

void cTexture::OnDeleteContext()
{
    if (!pDevice) {
        LogWarning(kSender, "OnDeleteContext '%s'. Device texture not found.\n", name);
        return;
    }
    // A picture still in memory did not wholly reach the device: it stays
    // the copy to keep.
    if (!bRenderTarget && !pImage) {
        const cTextureDesc& d = pDevice->desc;
        gfx::cTexture* t = pDevice->pTexture.get();
        // Only the levels that were written come back: a device texture made
        // for a full chain holds nothing below a short chain's last level, and
        // those empty levels must not be uploaded next time as black ones.
        const int wanted = d.filter >= 2 ? cImage::GetMipCount(d.width, d.height) : 1;
        const int levels = std::max(1, std::min({wanted, t->GetLevelCount(), m_iDeviceLevels}));
        std::vector<std::vector<uint8_t>> read;
        for (int level = 0; level < levels; ++level) {
            const int lw = std::max(1, d.width >> level), lh = std::max(1, d.height >> level);
            std::vector<uint8_t>& bytes =
                read.emplace_back(static_cast<size_t>(cImage::GetImageSize(d.format.id, lw, lh)), 0);
            gfx::cLockedRect lr;
            if (t->LockRect(level, lr, gfx::e_lockReadOnly) != gfx::eResult::Ok) {
                // A level the device cannot give back ends the chain there
                // (the first level stays, blank).
                if (level > 0) read.pop_back();
                break;
            }
            const int rowSize = cImage::GetPitch(d.format.id, lw);
            int dw = 0, dh = 0;
            t->GetLevelSize(level, dw, dh);
            const int deviceRows = gfx::LevelRows(t->GetFormat(), dh);
            if (rowSize > 0 && lr.pitch >= rowSize) {
                // Each row is row-size bytes of the image; the device's rows
                // may be wider.
                const int rows = std::min(static_cast<int>(bytes.size()) / rowSize, deviceRows);
                const auto* src = static_cast<const uint8_t*>(lr.bits);
                for (int r = 0; r < rows; ++r)
                    std::memcpy(bytes.data() + static_cast<size_t>(r) * static_cast<size_t>(rowSize),
                                src + static_cast<size_t>(r) * static_cast<size_t>(lr.pitch),
                                static_cast<size_t>(rowSize));
            }
            t->UnlockRect(level);
        }
        auto img =
            std::make_unique<cImage>(d.format.id, d.width, d.height, static_cast<int>(read.size()));
        for (int level = 0; level < img->GetLevelCount(); ++level)
            img->SetLevel(level, std::move(read[static_cast<size_t>(level)]));
        pImage = std::move(img);
    }
    pDevice.reset();
}

int cTexture::GetWidth() const
{
    if (pDevice) return pDevice->desc.width;
    if (bRenderTarget) return iTargetWidth;
    if (pImage) return pImage->GetWidth() == 0 ? 1 : pImage->GetWidth();
    return 0;
}

int cTexture::GetHeight() const
{
    if (pDevice) return pDevice->desc.height;
    if (bRenderTarget) return iTargetHeight;
    if (pImage) return pImage->GetHeight() == 0 ? 1 : pImage->GetHeight();
    return 0;
}

// ----------------------------------------------------------------- manager

bool cTextureManager::OnCreateContext()
{
    cTexture* first = At(0);
    if (first) first->OnCreateContext();
    for (uint32_t i = 1; i < Count(); ++i) {
        cTexture* t = At(i);
        if (t && t != first) t->OnCreateContext();
    }
    return true;
}

void cTextureManager::OnDeleteContext()
{
    cTexture* first = At(0);
    if (first) first->OnDeleteContext();
    for (uint32_t i = 1; i < Count(); ++i) {
        cTexture* t = At(i);
        if (t && t != first) t->OnDeleteContext();
    }
}

void cTextureManager::ReleaseRenderTargets()
{
    for (uint32_t i = 1; i < Count(); ++i)
        if (cTexture* t = At(i); t && t->IsRenderTarget()) t->OnDeleteContext();
}

void cTextureManager::RestoreRenderTargets()
{
    for (uint32_t i = 1; i < Count(); ++i)
        if (cTexture* t = At(i); t && t->IsRenderTarget()) t->OnCreateContext();
}

void cTextureManager::Dump()
{
    static const char* const kLine =
        "  +-----+--------------------------+----+---------------+---+---+----------+\n";
    LogContinuation("Textures.\n");
    LogContinuation(kLine);
    LogContinuation("  |  N  |                     name | Tg |     dimension | M | C | size(kb) |\n");
    LogContinuation(kLine);
    int rows = 0;
    int64_t total = 0;
    cTexture* first = At(0);
    for (uint32_t i = 0; i < Count(); ++i) {
        cTexture* t = At(i);
        if (!t || (i > 0 && t == first)) continue;
        int w = 0, h = 0, format = 0, levels = 1;
        bool mip = false;
        if (t->pDevice) {
            const cTextureDesc& d = t->pDevice->desc;
            w = d.width, h = d.height, format = d.format.id;
            mip = d.filter > 1;
            levels = mip ? cImage::GetMipCount(w, h) : 1;
        } else if (t->pImage) {
            // No device texture: the picture waiting in memory.
            w = t->pImage->GetWidth(), h = t->pImage->GetHeight(), format = t->pImage->GetFormatId();
            levels = std::max(1, t->pImage->GetLevelCount());
            mip = levels > 1;
        } else if (t->IsRenderTarget()) {
            w = t->iTargetWidth, h = t->iTargetHeight;
        }
        const cPixelFormat& pf = cPixelFormat::Get(format);
        const int bytes = TextureBytes(format, w, h, levels);
        string dimension;
        Format(dimension, "%4ix%4ix %2i", w, h, pf.channels * 8);
        string row;
        Format(row, "  | %3i | %24s | %2s | %12s | %s | %s | %8i |\n", static_cast<int>(i), t->name,
               t->IsRenderTarget() ? "RT" : "2D", dimension, mip ? "X" : " ", pf.IsBlock() ? "X" : " ",
               bytes / 1024);
        LogContinuation("%s", row);
        ++rows;
        total += bytes;
    }
    LogContinuation(kLine);
    LogContinuation("   Total Count: %i. Total Size: %i kb.\n", rows, static_cast<int>(total / 1024));
}

bool CreateTextureManager()
{
    if (g_pTextureManager) {
        LogWarning("CreateTextureManager", "Already exist\n");
        return false;
    }
    g_pTextureManager = new cTextureManager();
    // The default texture: a checkerboard of 8 x 8 squares, white where the
    // square's row and column add up to an even number, red elsewhere.
    cImage board(e_pfRGB, 64, 64, 1);
    uint8_t* p = board.GetLevel(0);
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c, p += 3) {
            const bool white = ((r / 8 + c / 8) % 2) == 0;
            p[0] = 255;
            p[1] = p[2] = white ? 255 : 0;
        }
    new cTexture(&board, "unnamed", true);
    LogText("CreateTextureManager", "Ok\n");
    return true;
}

bool DestroyTextureManager()
{
    if (!g_pTextureManager) {
        LogWarning("DestroyTextureManager", "Does not exist\n");
        return false;
    }
    delete g_pTextureManager;
    g_pTextureManager = nullptr;
    LogText("DestroyTextureManager", "Ok\n");
    return true;
}

} // namespace vek
