// Random bytes read as each image file type through the data manager.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"

namespace {

std::string Folder()
{
    const char* base = std::getenv("VEK_TEST_TMP");
    if (!base || !*base) base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/imagefuzzXXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    vek::SetPathMacro(vek::e_macroUserPath, tmpl);
    return tmpl;
}

// Reads every byte of every level, so that a level shorter than its
// format says shows up under the sanitizers.
unsigned Touch(const vek::cImage& img)
{
    unsigned sum = 0;
    for (int i = 0; i < img.GetLevelCount(); ++i) {
        const uint8_t* p = img.GetLevel(i);
        for (int k = 0; k < img.GetLevelSize(i); ++k) sum += p[k];
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = Folder();
    volatile unsigned sink = 0;
    for (const char* ext : {"png", "jpg", "bmp", "dds"}) {
        const std::string native = folder + "/input." + ext;
        {
            std::ofstream out(native, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        }
        vek::cImage img;
        if (vek::cDataManager::ReadImage(vek::filename(std::string("{UserPath}/input.") + ext), &img) != 0)
            continue;
        auto copy = img.Clone();
        copy->SwapRB();
        copy->ConvertToRGBA();
        sink = sink + Touch(img) + Touch(*copy);
    }
    (void)sink;
    return 0;
}
