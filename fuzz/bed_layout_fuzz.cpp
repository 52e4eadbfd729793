// Random text read as the garden's bed-layout file: never a crash, always a
// layout, and never a cell off the grid.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "engine/core/filename.h"
#include "game/shell/bed_layout.h"
#include "game/world/grid.h"

namespace {

std::string Folder()
{
    const char* base = std::getenv("VEK_TEST_TMP");
    if (!base || !*base) base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/bedfuzzXXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    vek::SetPathMacro(vek::e_macroUserPath, tmpl);
    return tmpl;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = Folder();
    {
        std::ofstream out(folder + "/holes.lvs", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    cBedLayouts layouts;
    ReadBedLayouts(vek::filename("{UserPath}/holes.lvs"), layouts);
    if (layouts.empty()) std::abort();
    for (const cBedLayout& layout : layouts)
        for (const cBedCell& cell : layout)
            if (cell.first < 0 || cell.first >= g_iGridRows || cell.second < 0 ||
                cell.second >= g_iGridColumns)
                std::abort();
    return 0;
}
