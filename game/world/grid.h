#pragma once
// The size of the level field's grid: every cell a bed layout, an object or
// the field itself addresses lies within these rows and columns.
#include <cstdint>

inline constexpr int32_t g_iGridRows = 8;
inline constexpr int32_t g_iGridColumns = 10;
