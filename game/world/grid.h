#pragma once
// The level field's grid: 8 rows by 10 columns over a fixed rectangle of the
// 1024 x 768 view (y up, row 0 at the bottom, column 0 at the left). Every
// object on the field stands on a cell; each cell carries a value, 1 where
// it is open and 0 where something fixed (a bed, the pump, a hive) blocks
// it.
//
// cLevelGrid holds the cells and answers the conversions and searches. The
// level field derives from it and tells it about the objects through the
// hooks at the bottom; on its own the grid sees an empty field.
#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"
#include "game/shell/bed_layout.h"

class cObject;

inline constexpr int32_t g_iGridRows = 8;
inline constexpr int32_t g_iGridColumns = 10;
// The field rectangle: left, bottom, width, height.
inline constexpr float g_fFieldLeft = 130.0f;
inline constexpr float g_fFieldBottom = 130.0f;
inline constexpr float g_fFieldWidth = 740.0f;
inline constexpr float g_fFieldHeight = 540.0f;

// (row, column); (-1, -1) is no cell.
struct cell {
    int32_t row = -1;
    int32_t column = -1;

    constexpr cell() = default;
    constexpr cell(int32_t r, int32_t c) : row(r), column(c) {}
    constexpr bool operator==(const cell& o) const { return row == o.row && column == o.column; }
    constexpr bool operator!=(const cell& o) const { return !(*this == o); }
};

inline constexpr cell g_NoCell{-1, -1};

class cLevelGrid {
public:
    virtual ~cLevelGrid() = default;

    // Stores the counts and opens every cell; nothing when either count is
    // 0 or below.
    void BuildGrid(int32_t columns, int32_t rows);
    // No rows, no columns, no values.
    void ClearGrid();

    bool IsValidCell(int32_t row, int32_t column) const;
    bool IsValidCell(const cell& c) const { return IsValidCell(c.row, c.column); }
    // (740 / columns, 540 / rows); (0, 0) without a grid.
    vek::vec2 GetCellSize() const;
    // The middle of the cell's bottom edge, raised by 0.1 so that the point
    // lies inside the cell; (0, 0) for a cell outside the grid.
    vek::vec2 GetCellPos(int32_t row, int32_t column) const;
    vek::vec2 GetCellPos(const cell& c) const { return GetCellPos(c.row, c.column); }
    // The cell under a field point strictly inside the field rectangle;
    // (-1, -1) on or outside its border, or without a grid.
    cell PosToCell(float x, float y) const;
    cell PosToCell(const vek::vec2& p) const { return PosToCell(p.x, p.y); }
    // The grid's cell nearest to a point anywhere, on or off the field;
    // (-1, -1) without a grid.
    cell NearestCell(const vek::vec2& p) const;
    // 0 for a cell outside the grid.
    float GetCellValue(int32_t row, int32_t column) const;
    float GetCellValue(const cell& c) const { return GetCellValue(c.row, c.column); }
    // Ignored for a cell outside the grid.
    void SetCellValue(int32_t row, int32_t column, float value);
    void SetCellValue(const cell& c, float value) { SetCellValue(c.row, c.column, value); }

    // On the grid, open, and no object on it.
    bool IsFreeCell(const cell& c) const;
    // The given cell when it is free; otherwise the free cell in the
    // nearest ring around it that lies closest to the field's middle cell
    // (4, 4), preferring row 4 and column 4 on a tie; the given cell when
    // no ring holds a free one.
    cell FindFreeCellNear(const cell& c) const;

    // Puts a bed (a hole) on every cell of layout `index` that has none and
    // blocks the cell. The layout counts its lines from the top: line a is
    // row (rows - 1 - a). While the garden's expansion is shown, beds on
    // cells not in `previous` start hidden. False, with a warning and no
    // beds, for an index outside the layouts.
    bool ApplyBedLayout(const cBedLayouts& layouts, int32_t index, const std::vector<cell>& previous,
                        bool expanding);
    // Moves each loose item (see GetLooseItems) that lies on a blocked cell
    // to the nearest free cell, or to (0, 0) when there is no valid one.
    void RelocateBlockedItems();

    int32_t GetRowCount() const { return m_iRows; }
    int32_t GetColumnCount() const { return m_iColumns; }
    const std::vector<float>& GetCellValues() const { return m_CellValues; }

protected:
    // ---- what the grid asks of the objects on the field ----
    // Whether any object stands on the cell.
    virtual bool IsCellTaken(const cell&) const { return false; }
    // Whether a hole stands on the cell.
    virtual bool HasHoleOn(const cell&) const { return false; }
    // Makes a hole on the cell, hidden when shown is false.
    virtual void AddBedHole(const cell&, bool /*shown*/) {}
    // The tools lying on the field (not carried) and the animal products,
    // in registry order.
    virtual std::vector<cObject*> GetLooseItems() const { return {}; }
    virtual cell GetItemCell(const cObject*) const { return g_NoCell; }
    virtual void PutItemOnCell(cObject*, const cell&) {}

private:
    std::vector<float> m_CellValues;  // row-major, rows x columns
    int32_t m_iRows = 0;
    int32_t m_iColumns = 0;
};
