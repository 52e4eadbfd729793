#include "game/world/grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/core/log.h"

namespace {

// The cell that free-cell searches rank candidates by.
constexpr cell kMiddle{4, 4};

} // namespace

void cLevelGrid::BuildGrid(int32_t columns, int32_t rows)
{
    if (columns <= 0 || rows <= 0) return;
    m_iRows = rows;
    m_iColumns = columns;
    m_CellValues.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns), 1.0f);
}

void cLevelGrid::ClearGrid()
{
    m_iRows = 0;
    m_iColumns = 0;
    m_CellValues.clear();
}

bool cLevelGrid::IsValidCell(int32_t row, int32_t column) const
{
    return row >= 0 && row < m_iRows && column >= 0 && column < m_iColumns;
}

vek::vec2 cLevelGrid::GetCellSize() const
{
    if (m_iRows <= 0 || m_iColumns <= 0) return vek::vec2();
    return vek::vec2(g_fFieldWidth / static_cast<float>(m_iColumns), g_fFieldHeight / static_cast<float>(m_iRows));
}

vek::vec2 cLevelGrid::GetCellPos(int32_t row, int32_t column) const
{
    if (!IsValidCell(row, column)) return vek::vec2();
    const vek::vec2 size = GetCellSize();
    return vek::vec2(g_fFieldLeft + (static_cast<float>(column) + 0.5f) * size.x,
                     g_fFieldBottom + static_cast<float>(row) * size.y + 0.1f);
}

cell cLevelGrid::PosToCell(float x, float y) const
{
    if (m_CellValues.empty()) return g_NoCell;
    if (!(x > g_fFieldLeft && x < g_fFieldLeft + g_fFieldWidth && y > g_fFieldBottom &&
          y < g_fFieldBottom + g_fFieldHeight))
        return g_NoCell;
    const vek::vec2 size = GetCellSize();
    if (size.x <= 0.0f || size.y <= 0.0f) return g_NoCell;
    const int32_t column = std::min(static_cast<int32_t>((x - g_fFieldLeft) / size.x), m_iColumns - 1);
    const int32_t row = std::min(static_cast<int32_t>((y - g_fFieldBottom) / size.y), m_iRows - 1);
    return cell(row, column);
}

cell cLevelGrid::NearestCell(const vek::vec2& p) const
{
    const vek::vec2 size = GetCellSize();
    if (m_CellValues.empty() || !(size.x > 0.0f) || !(size.y > 0.0f)) return g_NoCell;
    const auto index = [](float offset, float step, int32_t count) {
        const float i = std::floor(offset / step);
        // NaN and far points land on the nearest edge.
        if (!(i >= 0.0f)) return 0;
        return i >= static_cast<float>(count - 1) ? count - 1 : static_cast<int32_t>(i);
    };
    return cell(index(p.y - g_fFieldBottom, size.y, m_iRows), index(p.x - g_fFieldLeft, size.x, m_iColumns));
}

float cLevelGrid::GetCellValue(int32_t row, int32_t column) const
{
    if (!IsValidCell(row, column)) return 0.0f;
    return m_CellValues[static_cast<size_t>(row) * static_cast<size_t>(m_iColumns) + static_cast<size_t>(column)];
}

void cLevelGrid::SetCellValue(int32_t row, int32_t column, float value)
{
    if (!IsValidCell(row, column)) return;
    m_CellValues[static_cast<size_t>(row) * static_cast<size_t>(m_iColumns) + static_cast<size_t>(column)] = value;
}

bool cLevelGrid::IsFreeCell(const cell& c) const
{
    return IsValidCell(c) && GetCellValue(c) != 0.0f && !IsCellTaken(c);
}

cell cLevelGrid::FindFreeCellNear(const cell& c) const
{
    if (IsFreeCell(c) || m_iRows < 2) return c;
    // The rings grow until they cover the whole grid in both directions: a
    // bound by the row count alone would never reach the far columns of
    // the wider-than-high field.
    const int32_t reach = std::max(m_iRows, m_iColumns);
    for (int32_t r = 1; r < reach; ++r) {
        cell best = g_NoCell;
        int32_t bestDistance = reach;
        for (int32_t j = c.row + r; j >= c.row - r; --j) {
            for (int32_t k = c.column - r; k <= c.column + r; ++k) {
                const cell candidate(j, k);
                if (candidate == c || !IsValidCell(candidate)) continue;
                if (GetCellValue(candidate) == 0.0f || IsCellTaken(candidate)) continue;
                const int32_t distance = std::max(std::abs(j - kMiddle.row), std::abs(k - kMiddle.column));
                if (distance < bestDistance ||
                    (distance == bestDistance && (j == kMiddle.row || k == kMiddle.column))) {
                    best = candidate;
                    bestDistance = distance;
                }
            }
        }
        if (best != g_NoCell) return best;
    }
    return c;
}

bool cLevelGrid::ApplyBedLayout(const cBedLayouts& layouts, int32_t index, const std::vector<cell>& previous,
                                bool expanding)
{
    if (index < 0 || static_cast<size_t>(index) >= layouts.size()) {
        vek::LogWarning("cLevel", "ApplyBedLayout: no bed layout %i\n", vek::format_arg(index));
        return false;
    }
    for (const cBedCell& bed : layouts[static_cast<size_t>(index)]) {
        const cell c(m_iRows - 1 - bed.first, bed.second);
        if (!IsValidCell(c) || HasHoleOn(c)) continue;
        const bool known = std::find(previous.begin(), previous.end(), c) != previous.end();
        AddBedHole(c, !expanding || known);
        SetCellValue(c, 0.0f);
    }
    RelocateBlockedItems();
    return true;
}

void cLevelGrid::RelocateBlockedItems()
{
    for (cObject* item : GetLooseItems()) {
        const cell at = GetItemCell(item);
        if (GetCellValue(at) != 0.0f) continue;
        cell to = FindFreeCellNear(at);
        if (!IsValidCell(to)) to = cell(0, 0);
        PutItemOnCell(item, to);
    }
}
