#include "support/image_files.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace vektest {

namespace {

void Put16(std::string& s, unsigned v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xffff);
    Put16(s, v >> 16);
}

void PngWrite(png_structp png, png_bytep data, png_size_t n)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), n);
}

void PngFlush(png_structp) {}

}  // namespace

std::vector<uint8_t> Solid(int w, int h, const std::vector<uint8_t>& pixel)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < w * h; ++i) out.insert(out.end(), pixel.begin(), pixel.end());
    return out;
}

std::string MakeBMP(int w, int h, int bpp, const std::vector<uint8_t>& pixels, bool topDown, int gap)
{
    const int bytes = bpp / 8;
    const int row = w * bytes, padded = (row + 3) & ~3;
    std::string s = "BM";
    Put32(s, static_cast<uint32_t>(54 + gap + padded * h));
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(54 + gap));
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, static_cast<uint32_t>(topDown ? -h : h));
    Put16(s, 1);
    Put16(s, static_cast<unsigned>(bpp));
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(padded * h));
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, 0);
    Put32(s, 0);
    s.append(static_cast<size_t>(gap), '\x77');
    for (int k = 0; k < h; ++k) {
        // Bottom-up files start with the picture's last row.
        const int src = topDown ? k : h - 1 - k;
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = pixels.data() + (static_cast<size_t>(src) * w + x) * bytes;
            s += static_cast<char>(p[2]);
            s += static_cast<char>(p[1]);
            s += static_cast<char>(p[0]);
            if (bytes == 4) s += static_cast<char>(p[3]);
        }
        s.append(static_cast<size_t>(padded - row), '\0');
    }
    return s;
}

std::string MakeDDSHeader(int w, int h, int mips, const std::string& fourcc, int bits,
                          uint32_t alphaMask, uint32_t caps2)
{
    std::string s = "DDS ";
    Put32(s, 124);
    Put32(s, 0x1007 | (mips ? 0x20000 : 0));
    Put32(s, static_cast<uint32_t>(h));
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(mips));
    for (int i = 0; i < 11; ++i) Put32(s, 0);
    Put32(s, 32);
    Put32(s, fourcc.empty() ? 0x40 | (alphaMask ? 1 : 0) : 0x4);
    uint32_t cc = 0;
    for (size_t i = 0; i < 4 && i < fourcc.size(); ++i)
        cc |= static_cast<uint32_t>(static_cast<uint8_t>(fourcc[i])) << (8 * i);
    Put32(s, cc);
    Put32(s, static_cast<uint32_t>(bits));
    Put32(s, bits >= 24 ? 0xFF0000u : 0);
    Put32(s, bits >= 24 ? 0xFF00u : 0);
    Put32(s, bits >= 24 ? 0xFFu : 0);
    Put32(s, alphaMask);
    Put32(s, 0x1000);
    Put32(s, caps2);
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 0);
    return s;
}

std::string MakePNG(int w, int h, int colourType, int depth, const std::vector<uint8_t>& pixels,
                    const std::vector<uint8_t>& palette, const std::vector<uint8_t>& trns,
                    bool interlaced)
{
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth,
                 colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> pal;
    for (size_t i = 0; i + 2 < palette.size(); i += 3) pal.push_back({palette[i], palette[i + 1], palette[i + 2]});
    if (!pal.empty()) png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
    if (!trns.empty())
        png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
    png_write_info(png, info);
    const size_t row = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int k = 0; k < h; ++k) rows[static_cast<size_t>(k)] = const_cast<png_bytep>(pixels.data() + k * row);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string MakeJPEG(int w, int h, int components, const std::vector<uint8_t>& pixels, int quality,
                     bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &mem, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t row = static_cast<size_t>(w) * static_cast<size_t>(components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = const_cast<JSAMPROW>(pixels.data() + cinfo.next_scanline * row);
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(mem), size);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return out;
}

}  // namespace vektest
