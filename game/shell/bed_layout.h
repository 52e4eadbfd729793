#pragma once
// The garden's bed layouts ("{StaticPath}/conf/holes.lvs"): for each stage
// of the garden, the grid cells that hold beds.
//
// The file is text: a line starting with ";" ends the current layout, any
// other non-empty line is one grid row whose cells are separated by ",";
// a cell that is exactly "0" is a bed. Rows count from 0 within a layout.
#include <cstdint>
#include <utility>
#include <vector>

namespace vek {
class filename;
}

// A cell as (row, column).
using cBedCell = std::pair<int32_t, int32_t>;
// The beds of one layout in reading order (row by row, left to right).
using cBedLayout = std::vector<cBedCell>;
using cBedLayouts = std::vector<cBedLayout>;

// Replaces layouts by those of the file. There is always at least one
// layout (an empty one for a file that cannot be read). A row beyond the
// grid's rows or with another number of cells than the grid's columns is
// warned about; its cells outside the grid are dropped, so every cell in
// the result lies on the grid. Always 0.
int ReadBedLayouts(const vek::filename& file, cBedLayouts& layouts);
