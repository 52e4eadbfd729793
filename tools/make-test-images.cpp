// Writes the seed images of the image fuzz target: small, valid files of
// every type and layout the readers know, made here from generated pixels.
//
//   g++ -std=c++17 -I. -Itests tools/make-test-images.cpp tests/support/image_files.cpp \
//       -lpng -ljpeg -o /tmp/make-test-images && /tmp/make-test-images fuzz/corpus/image
#include <png.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/image_files.h"

namespace {

std::vector<uint8_t> Gradient(int w, int h, int channels)
{
    std::vector<uint8_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c) px.push_back(static_cast<uint8_t>(x * 16 + y * 8 + c * 60));
    return px;
}

bool Save(const std::string& folder, const std::string& name, const std::string& bytes)
{
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    using namespace vektest;
    bool ok = true;
    ok &= Save(dir, "grey.png", MakePNG(8, 8, PNG_COLOR_TYPE_GRAY, 8, Gradient(8, 8, 1)));
    ok &= Save(dir, "rgba.png", MakePNG(8, 4, PNG_COLOR_TYPE_RGB_ALPHA, 8, Gradient(8, 4, 4)));
    ok &= Save(dir, "palette.png",
               MakePNG(4, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 1, 0, 0, 0, 1, 1}, {255, 0, 0, 0, 0, 255}, {0, 255}));
    ok &= Save(dir, "deep.png", MakePNG(2, 2, PNG_COLOR_TYPE_RGB, 16, Gradient(2, 2, 6)));
    ok &= Save(dir, "interlaced.png", MakePNG(9, 9, PNG_COLOR_TYPE_RGB, 8, Gradient(9, 9, 3), {}, {}, true));
    ok &= Save(dir, "grey.jpg", MakeJPEG(16, 16, 1, Gradient(16, 16, 1), 80));
    ok &= Save(dir, "colour.jpg", MakeJPEG(16, 8, 3, Gradient(16, 8, 3), 80));
    ok &= Save(dir, "rgb24.bmp", MakeBMP(3, 2, 24, Gradient(3, 2, 3)));
    ok &= Save(dir, "rgba32-topdown.bmp", MakeBMP(2, 2, 32, Gradient(2, 2, 4), true, 4));
    std::string dxt1 = MakeDDSHeader(8, 8, 4, "DXT1");
    dxt1 += std::string(32 + 8 + 8 + 8, '\x5A');
    ok &= Save(dir, "dxt1-mips.dds", dxt1);
    ok &= Save(dir, "dxt5.dds", MakeDDSHeader(4, 4, 0, "DXT5") + std::string(16, '\x3C'));
    ok &= Save(dir, "rgb24.dds", MakeDDSHeader(2, 2, 0, "", 24) + std::string(12, '\x21'));
    ok &= Save(dir, "l8.dds", MakeDDSHeader(2, 2, 0, "", 8) + std::string(4, '\x21'));
    return ok ? 0 : 1;
}
