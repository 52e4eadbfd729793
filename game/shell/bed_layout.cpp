#include "game/shell/bed_layout.h"

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/format.h"
#include "engine/core/log.h"
#include "game/world/grid.h"

namespace {
constexpr const char* kSender = "cDataManagerGD";
} // namespace

int ReadBedLayouts(const vek::filename& file, cBedLayouts& layouts)
{
    layouts.clear();
    vek::string text;
    // A file that cannot be read leaves no lines; the reader says why.
    if (vek::cDataManager::ReadText(&text, file) != vek::cDataManager::Ok) text.clear();

    layouts.emplace_back();
    int32_t row = 0;
    for (const vek::string& line : vek::Split(text, "\n")) {
        if (line[0] == ';') {
            // Two ";" lines in a row start only one new layout.
            if (!layouts.back().empty()) {
                layouts.emplace_back();
                row = 0;
            }
            continue;
        }
        const int32_t index = static_cast<int32_t>(layouts.size() - 1);
        if (row >= g_iGridRows)
            vek::LogWarning(kSender, "ReadTheme: invalid level size (i): %i\n", index);
        const vek::strlist cells = vek::Split(line, ",");
        if (cells.size() != static_cast<size_t>(g_iGridColumns))
            vek::LogWarning(kSender, "ReadTheme: invalid level size (j): %i\n", index);
        // Cells beyond the grid are counted but never kept: every reader of
        // the layouts may index the grid with them.
        for (size_t column = 0; column < cells.size(); ++column) {
            if (cells[column] == "0" && row < g_iGridRows &&
                column < static_cast<size_t>(g_iGridColumns))
                layouts.back().emplace_back(row, static_cast<int32_t>(column));
        }
        ++row;
    }
    return 0;
}
