#pragma once
// Image files made on the spot for the tests and the fuzz seeds. Pixels are
// given top row first, as the files store them (BMP and DDS writers turn
// them around where their format wants it).
#include <cstdint>
#include <string>
#include <vector>

namespace vektest {

// A BMP of 24 or 32 bits per pixel; pixels are R G B (A) bytes, top row
// first. topDown writes a negative height. gap puts extra bytes between the
// headers and the pixels (the file header's offset says where they start).
std::string MakeBMP(int w, int h, int bpp, const std::vector<uint8_t>& pixels, bool topDown = false,
                    int gap = 0);

// A DDS header (128 bytes with the magic) for the given layout.
// fourcc: "DXT1", "DXT3", "DXT5" or empty for an uncompressed layout of
// `bits` bits with the given alpha mask.
std::string MakeDDSHeader(int w, int h, int mips, const std::string& fourcc, int bits = 0,
                          uint32_t alphaMask = 0, uint32_t caps2 = 0);

// A PNG through libpng: colourType and depth as libpng names them; pixels in
// the file's own sample layout (16-bit samples big-endian), top row first.
// palette: RGB triples; trns: alpha per palette entry.
std::string MakePNG(int w, int h, int colourType, int depth, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& palette = {}, const std::vector<uint8_t>& trns = {},
                    bool interlaced = false);

// A baseline (or progressive) JPEG through libjpeg: 1 or 3 components,
// pixels top row first.
std::string MakeJPEG(int w, int h, int components, const std::vector<uint8_t>& pixels,
                     int quality = 95, bool progressive = false);

// A w x h picture of one colour repeated (channels bytes per pixel).
std::vector<uint8_t> Solid(int w, int h, const std::vector<uint8_t>& pixel);

}  // namespace vektest
