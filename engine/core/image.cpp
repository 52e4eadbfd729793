#include "engine/core/image.h"

#include <algorithm>
#include <utility>

namespace vek {

namespace {

const cPixelFormat g_Formats[10] = {
    {0, 0, 0, 0, 0},
    {1, 0x20001, 1, 1, 0},
    {2, 0x20001, 2, 2, 1},
    {3, 0x20001, 2, 3, 0},
    {4, 0x20001, 3, 3, 0},
    {5, 0x20001, 4, 4, 0},
    {6, 0x20001, 4, 4, 1},
    {7, 0x20003, 8, 3, 0},
    {8, 0x20003, 16, 4, 1},
    {9, 0x20003, 16, 4, 1},
};

} // namespace

const cPixelFormat& cPixelFormat::Get(int id)
{
    return (id >= 0 && id <= 9) ? g_Formats[id] : g_Formats[0];
}

bool IsImageSizeAllowed(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= g_iMaxImageSide && height <= g_iMaxImageSide &&
           width * height <= g_iMaxImagePixels;
}

cImage::cImage() : m_Format(cPixelFormat::Get(0))
{
    m_vecLevels.emplace_back();
}

cImage::cImage(int format, int width, int height, int levels)
{
    Create(levels, width, format, height);
}

cImage::~cImage() = default;

void cImage::Create(int levels, int width, int format, int height)
{
    Free();
    m_Format = cPixelFormat::Get(format);
    m_iWidth = width;
    m_iHeight = height;
    if (!IsImageSizeAllowed(width, height)) return;
    if (levels <= 0) levels = 1;
    if (levels > 1) levels = std::min(levels, GetMipCount(width, height));
    m_vecLevels.resize(static_cast<size_t>(levels));
    for (int i = 0; i < levels; ++i)
        m_vecLevels[static_cast<size_t>(i)].assign(static_cast<size_t>(GetLevelSize(i)), 0);
}

void cImage::Free()
{
    std::vector<std::vector<uint8_t>>().swap(m_vecLevels);
}

int cImage::GetMipCount(int width, int height)
{
    int m = std::max(width, height), n = 1;
    while (m > 1) {
        m >>= 1;
        ++n;
    }
    return n;
}

int cImage::GetImageSize(int format, int width, int height)
{
    const cPixelFormat& f = cPixelFormat::Get(format);
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (f.IsBlock()) {
        // Whole blocks: a 6-pixel side needs two of them, not one and a half.
        int64_t bw = std::max(1, (width + 3) / 4), bh = std::max(1, (height + 3) / 4);
        return static_cast<int>(bw * bh * f.bytes);
    }
    return static_cast<int>(int64_t(width) * height * f.bytes);
}

int cImage::GetPitch(int format, int width)
{
    const cPixelFormat& f = cPixelFormat::Get(format);
    if (width < 0) width = 0;
    if (f.IsBlock()) return std::max(1, (width + 3) / 4) * f.bytes;
    return width * f.bytes;
}

int cImage::GetLevelWidth(int level) const
{
    return std::max(1, m_iWidth >> level);
}

int cImage::GetLevelHeight(int level) const
{
    return std::max(1, m_iHeight >> level);
}

int cImage::GetLevelSize(int level) const
{
    if (level < 0 || level >= 31) return 0;
    return GetImageSize(m_Format.id, GetLevelWidth(level), GetLevelHeight(level));
}

uint8_t* cImage::GetLevel(int level)
{
    if (level < 0 || level >= GetLevelCount()) return nullptr;
    return m_vecLevels[static_cast<size_t>(level)].data();
}

const uint8_t* cImage::GetLevel(int level) const
{
    if (level < 0 || level >= GetLevelCount()) return nullptr;
    return m_vecLevels[static_cast<size_t>(level)].data();
}

bool cImage::SetLevel(int level, std::vector<uint8_t>&& bytes)
{
    if (level < 0 || level >= GetLevelCount()) return false;
    if (bytes.size() != static_cast<size_t>(GetLevelSize(level))) return false;
    m_vecLevels[static_cast<size_t>(level)] = std::move(bytes);
    return true;
}

std::unique_ptr<cImage> cImage::Clone() const
{
    auto copy = std::make_unique<cImage>();
    copy->m_Format = m_Format;
    copy->m_iWidth = m_iWidth;
    copy->m_iHeight = m_iHeight;
    copy->m_vecLevels = m_vecLevels;
    return copy;
}

void cImage::ConvertToRGBA()
{
    if (m_Format.id != e_pfRGB) return;
    for (size_t i = 0; i < m_vecLevels.size(); ++i) {
        const std::vector<uint8_t>& src = m_vecLevels[i];
        const size_t pixels = src.size() / 3;
        std::vector<uint8_t> dst(pixels * 4);
        for (size_t p = 0; p < pixels; ++p) {
            dst[p * 4 + 0] = src[p * 3 + 0];
            dst[p * 4 + 1] = src[p * 3 + 1];
            dst[p * 4 + 2] = src[p * 3 + 2];
            dst[p * 4 + 3] = 255;
        }
        m_vecLevels[i] = std::move(dst);
    }
    m_Format = cPixelFormat::Get(e_pfRGBA);
}

void cImage::SwapRB()
{
    if (m_Format.id < e_pfRGB || m_Format.id > e_pfRGBA) return;
    const size_t step = static_cast<size_t>(m_Format.bytes);
    for (std::vector<uint8_t>& level : m_vecLevels)
        for (size_t p = 0; p + step <= level.size(); p += step) std::swap(level[p], level[p + 2]);
}

} // namespace vek
