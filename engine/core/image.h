#pragma once
// The engine's in-memory picture: a pixel format, a size and one or more mip
// levels of raw bytes. Rows are stored bottom-up: the first row in memory is
// the bottom row of the picture, in every level and every format.
#include <cstdint>
#include <memory>
#include <vector>

namespace vek {

enum ePixelFormat : int32_t {
    e_pfNone = 0,
    e_pfL8 = 1,     // luminance, 8 bits
    e_pfL8A8 = 2,   // luminance and alpha, 8 bits each
    e_pf565 = 3,    // 16-bit colour
    e_pfRGB = 4,    // bytes R G B
    e_pfRGB32 = 5,  // bytes R G B, fourth byte ignored
    e_pfRGBA = 6,   // bytes R G B A
    e_pfDXT1 = 7,
    e_pfDXT3 = 8,
    e_pfDXT5 = 9,
};

struct cPixelFormat {
    enum : int32_t { e_flagPixels = 0x00001, e_flagBlocks = 0x00002, e_flagKnown = 0x20000 };

    int32_t id = 0;
    int32_t flags = 0;     // e_flagBlocks: stored in 4 x 4 blocks
    int32_t bytes = 0;     // per pixel, or per block for block formats
    int32_t channels = 0;
    int32_t alpha = 0;     // 1 when the format carries alpha

    bool IsBlock() const { return (flags & e_flagBlocks) != 0; }

    // The record of an id; ids outside 0..9 give the record of format 0.
    static const cPixelFormat& Get(int id);
};

// The largest picture any reader accepts: sides up to 16384 pixels and at
// most 64 million pixels in all, so that a hostile header cannot make the
// engine allocate more than a quarter of a gigabyte per level.
inline constexpr int g_iMaxImageSide = 16384;
inline constexpr int64_t g_iMaxImagePixels = int64_t(64) << 20;
bool IsImageSizeAllowed(int64_t width, int64_t height);

class cImage {
public:
    // Format 0, 1 x 1, one level of 0 bytes.
    cImage();
    // As Create.
    cImage(int format, int width, int height, int levels);
    ~cImage();
    cImage(const cImage&) = delete;
    cImage& operator=(const cImage&) = delete;

    // Frees the old levels, takes the format record (ids above 9: format 0),
    // sets the size and allocates zeroed levels. A zero (or negative) width
    // or height, or a size beyond the readers' limits, gives no levels. A
    // level count of 0 becomes 1; above 1 it is cut to the full chain.
    void Create(int levels, int width, int format, int height);
    // Frees every level.
    void Free();

    // 1 + floor(log2(max(width, height))); 1 for sizes 0 and 1.
    static int GetMipCount(int width, int height);
    // Bytes of one level. Block formats count whole 4 x 4 blocks (a side
    // below 4 still takes one block).
    static int GetImageSize(int format, int width, int height);
    // Bytes of one row (block formats: one row of blocks).
    static int GetPitch(int format, int width);
    // Bytes of a level of this image; 0 for a level it does not have.
    int GetLevelSize(int level) const;
    int GetLevelWidth(int level) const;
    int GetLevelHeight(int level) const;

    // A new image with the same format, size and copies of every level.
    std::unique_ptr<cImage> Clone() const;
    // Format 4 becomes format 6 with alpha 255 (every level); others unchanged.
    void ConvertToRGBA();
    // Formats 4, 5 and 6: the first and third byte of every pixel exchanged
    // (every level).
    void SwapRB();

    const cPixelFormat& GetFormat() const { return m_Format; }
    int GetFormatId() const { return m_Format.id; }
    int GetWidth() const { return m_iWidth; }
    int GetHeight() const { return m_iHeight; }
    int GetLevelCount() const { return static_cast<int>(m_vecLevels.size()); }
    uint8_t* GetLevel(int level);
    const uint8_t* GetLevel(int level) const;
    // Replaces a level's bytes (a decoder's output). The size must be the level's.
    bool SetLevel(int level, std::vector<uint8_t>&& bytes);

private:
    cPixelFormat m_Format;
    int32_t m_iWidth = 1;
    int32_t m_iHeight = 1;
    std::vector<std::vector<uint8_t>> m_vecLevels;
};

} // namespace vek
