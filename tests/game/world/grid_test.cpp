#include "game/world/grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "game/objects/object.h"
#include "support/temp_dir.h"

namespace {

// A field whose objects the test places by hand: taken cells, holes and
// loose items.
class TestField : public cLevelGrid {
public:
    TestField() { BuildGrid(g_iGridColumns, g_iGridRows); }

    void Block(int row, int column) { SetCellValue(row, column, 0.0f); }
    void BlockAll()
    {
        for (int r = 0; r < GetRowCount(); ++r)
            for (int c = 0; c < GetColumnCount(); ++c) Block(r, c);
    }

    std::vector<cell> taken;
    std::vector<std::pair<cell, bool>> holes;  // cell, shown
    std::vector<std::pair<cObject*, cell>> items;

protected:
    bool IsCellTaken(const cell& c) const override
    {
        if (std::find(taken.begin(), taken.end(), c) != taken.end()) return true;
        for (const auto& h : holes)
            if (h.first == c) return true;
        for (const auto& i : items)
            if (i.second == c) return true;
        return false;
    }
    bool HasHoleOn(const cell& c) const override
    {
        for (const auto& h : holes)
            if (h.first == c) return true;
        return false;
    }
    void AddBedHole(const cell& c, bool shown) override { holes.emplace_back(c, shown); }
    std::vector<cObject*> GetLooseItems() const override
    {
        std::vector<cObject*> out;
        for (const auto& i : items) out.push_back(i.first);
        return out;
    }
    cell GetItemCell(const cObject* o) const override
    {
        for (const auto& i : items)
            if (i.first == o) return i.second;
        return g_NoCell;
    }
    void PutItemOnCell(cObject* o, const cell& c) override
    {
        for (auto& i : items)
            if (i.first == o) i.second = c;
    }
};

TEST(GridGeometry, CellPositionsAndTheirWayBack)
{
    TestField f;
    EXPECT_EQ(f.GetRowCount(), 8);
    EXPECT_EQ(f.GetColumnCount(), 10);
    EXPECT_EQ(f.GetCellValues().size(), 80u);
    EXPECT_FLOAT_EQ(f.GetCellSize().x, 74.0f);
    EXPECT_FLOAT_EQ(f.GetCellSize().y, 67.5f);
    EXPECT_FLOAT_EQ(f.GetCellPos(0, 0).x, 167.0f);
    EXPECT_FLOAT_EQ(f.GetCellPos(0, 0).y, 130.1f);
    EXPECT_FLOAT_EQ(f.GetCellPos(cell(7, 9)).x, 833.0f);
    EXPECT_FLOAT_EQ(f.GetCellPos(cell(7, 9)).y, 602.6f);
    for (const cell c : {cell(8, 0), cell(0, 10), cell(-1, 3), g_NoCell})
        EXPECT_EQ(f.GetCellPos(c), vek::vec2()) << c.row << "," << c.column;

    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 10; ++c) EXPECT_EQ(f.PosToCell(f.GetCellPos(r, c)), cell(r, c)) << r << "," << c;

    // The border belongs to no cell; just inside it does.
    EXPECT_EQ(f.PosToCell(130.0f, 300.0f), g_NoCell);
    EXPECT_EQ(f.PosToCell(870.0f, 300.0f), g_NoCell);
    EXPECT_EQ(f.PosToCell(300.0f, 130.0f), g_NoCell);
    EXPECT_EQ(f.PosToCell(300.0f, 670.0f), g_NoCell);
    EXPECT_EQ(f.PosToCell(130.001f, 300.0f).column, 0);
    EXPECT_EQ(f.PosToCell(869.999f, 669.999f), cell(7, 9));
    EXPECT_EQ(f.PosToCell(vek::vec2(1000.0f, 700.0f)), g_NoCell);

    EXPECT_EQ(f.GetCellValue(3, 3), 1.0f);
    EXPECT_EQ(f.GetCellValue(8, 3), 0.0f);
    f.SetCellValue(-1, 0, 5.0f);  // ignored
    f.SetCellValue(8, 9, 5.0f);
    EXPECT_EQ(std::count(f.GetCellValues().begin(), f.GetCellValues().end(), 1.0f), 80);

    // No grid: nothing valid, no division by a zero cell size.
    f.BuildGrid(0, 8);
    f.BuildGrid(10, -3);
    EXPECT_EQ(f.GetRowCount(), 8);
    f.ClearGrid();
    EXPECT_EQ(f.GetCellSize(), vek::vec2());
    EXPECT_EQ(f.PosToCell(400.0f, 400.0f), g_NoCell);
    EXPECT_EQ(f.GetCellPos(0, 0), vek::vec2());
    EXPECT_EQ(f.GetCellValue(0, 0), 0.0f);
    EXPECT_FALSE(f.IsFreeCell(cell(0, 0)));
    EXPECT_EQ(f.FindFreeCellNear(cell(2, 2)), cell(2, 2));
}

TEST(GridSearch, NearestFreeCellRanksByTheMiddle)
{
    TestField f;
    f.Block(4, 3);
    EXPECT_FALSE(f.IsFreeCell(cell(4, 3)));  // blocked, though nothing stands on it
    EXPECT_EQ(f.FindFreeCellNear(cell(4, 3)), cell(4, 4));
    EXPECT_EQ(f.FindFreeCellNear(cell(6, 6)), cell(6, 6));  // free: itself

    // From (0, 0) with only (1, 0), (1, 1) and (0, 1) open: (1, 1) is
    // nearest to the middle.
    TestField corner;
    corner.BlockAll();
    for (const cell c : {cell(1, 0), cell(1, 1), cell(0, 1)}) corner.SetCellValue(c, 1.0f);
    EXPECT_EQ(corner.FindFreeCellNear(cell(0, 0)), cell(1, 1));
    corner.taken.push_back(cell(1, 1));  // taken: the tie goes to the first met, (1, 0)
    EXPECT_EQ(corner.FindFreeCellNear(cell(0, 0)), cell(1, 0));

    // Ties off row and column 4: the first in scan order (higher row, then
    // lower column) stays.
    TestField tie;
    tie.BlockAll();
    tie.SetCellValue(1, 1, 1.0f);  // distance 3
    tie.SetCellValue(1, 7, 1.0f);  // distance 3, met last
    tie.SetCellValue(7, 7, 1.0f);  // distance 3, met first
    EXPECT_EQ(tie.FindFreeCellNear(cell(4, 4)), cell(7, 7));
    tie.SetCellValue(7, 4, 1.0f);  // column 4, distance 3: replaces the earlier tie
    tie.SetCellValue(1, 4, 1.0f);  // and a later one on column 4 again
    EXPECT_EQ(tie.FindFreeCellNear(cell(4, 4)), cell(1, 4));

    // A start at the left edge with columns 0 to 8 blocked must reach column 9.
    TestField wide;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 9; ++c) wide.Block(r, c);
    const cell found = wide.FindFreeCellNear(cell(4, 0));
    EXPECT_EQ(found, cell(4, 9));

    // Nothing free anywhere: the start comes back.
    TestField full;
    full.BlockAll();
    EXPECT_EQ(full.FindFreeCellNear(cell(3, 3)), cell(3, 3));
}

class GridBeds : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("GridBeds");
        ASSERT_FALSE(m_strRoot.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/App");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/Data");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override { m_pLog.reset(); }

    int Logged(const std::string& text) const
    {
        const std::string log = vektest::ReadFile(m_strRoot + "/App/_log.html");
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    std::string m_strRoot;
    std::unique_ptr<vek::cLog> m_pLog;
};

TEST_F(GridBeds, LayoutLinesCountFromTheTopRow)
{
    // A block of eight lines with beds on the first and the eighth.
    std::string text;
    for (int line = 0; line < 8; ++line)
        text += line == 0 ? "1,0,1,1,1,1,1,1,1,1\n" : line == 7 ? "1,1,1,1,1,1,1,1,1,0\n" : "1,1,1,1,1,1,1,1,1,1\n";
    text += ";\n1,1,1,1,1,1,1,1,1,1\n";
    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/Data/conf/holes.lvs", text));
    cBedLayouts layouts;
    ReadBedLayouts(vek::filename("{StaticPath}/conf/holes.lvs"), layouts);
    ASSERT_EQ(layouts.size(), 2u);

    TestField f;
    EXPECT_TRUE(f.ApplyBedLayout(layouts, 0, {}, false));
    ASSERT_EQ(f.holes.size(), 2u);
    EXPECT_EQ(f.holes[0].first, cell(7, 1));
    EXPECT_EQ(f.holes[1].first, cell(0, 9));
    EXPECT_TRUE(f.holes[0].second);
    EXPECT_EQ(f.GetCellValue(7, 1), 0.0f);
    EXPECT_EQ(f.GetCellValue(0, 9), 0.0f);
    EXPECT_EQ(std::count(f.GetCellValues().begin(), f.GetCellValues().end(), 0.0f), 2);

    // Applied again: the beds that stand are not made twice.
    EXPECT_TRUE(f.ApplyBedLayout(layouts, 0, {}, false));
    EXPECT_EQ(f.holes.size(), 2u);
}

TEST_F(GridBeds, BadIndexBadCellsAndHiddenNewBeds)
{
    const cBedLayouts layouts = {{{0, 0}, {-1, 2}, {8, 3}, {2, 10}, {2, -1}, {3, 4}}, {{0, 0}, {1, 1}, {2, 2}}};
    TestField f;
    EXPECT_TRUE(f.ApplyBedLayout(layouts, 0, {}, false));
    // Lines outside the grid, and columns outside it, are skipped.
    ASSERT_EQ(f.holes.size(), 2u);
    EXPECT_EQ(f.holes[0].first, cell(7, 0));
    EXPECT_EQ(f.holes[1].first, cell(4, 4));

    // While the garden grows, beds that were not there before start hidden.
    TestField g;
    EXPECT_TRUE(g.ApplyBedLayout(layouts, 1, {cell(7, 0)}, true));
    ASSERT_EQ(g.holes.size(), 3u);
    EXPECT_TRUE(g.holes[0].second);
    EXPECT_FALSE(g.holes[1].second);
    EXPECT_FALSE(g.holes[2].second);

    TestField h;
    EXPECT_FALSE(h.ApplyBedLayout(layouts, 2, {}, false));
    EXPECT_FALSE(h.ApplyBedLayout(layouts, -1, {}, false));
    EXPECT_FALSE(h.ApplyBedLayout(cBedLayouts(), 0, {}, false));
    EXPECT_TRUE(h.holes.empty());
    EXPECT_EQ(Logged("ApplyBedLayout: no bed layout 2"), 1);
    EXPECT_EQ(Logged("ApplyBedLayout: no bed layout -1"), 1);
}

TEST_F(GridBeds, ItemsOnNewBedsMoveAway)
{
    cObject tool(nullptr), egg(nullptr), other(nullptr);
    TestField f;
    f.items = {{&tool, cell(4, 3)}, {&egg, cell(7, 0)}, {&other, cell(5, 5)}};
    const cBedLayouts layouts = {{{3, 3}, {0, 0}}};  // rows 4 and 7
    EXPECT_TRUE(f.ApplyBedLayout(layouts, 0, {}, false));
    EXPECT_EQ(f.items[0].second, cell(4, 4));
    EXPECT_EQ(f.items[2].second, cell(5, 5));  // on an open cell: stays
    EXPECT_NE(f.items[1].second, cell(7, 0));
    EXPECT_EQ(f.GetCellValue(f.items[1].second), 1.0f);
    EXPECT_NE(f.items[1].second, f.items[0].second);

    // An item off the grid lands on (0, 0) when nothing nearer is found.
    TestField g;
    g.BlockAll();
    g.items = {{&tool, g_NoCell}, {&egg, cell(3, 3)}};
    g.RelocateBlockedItems();
    EXPECT_EQ(g.items[0].second, cell(0, 0));
    EXPECT_EQ(g.items[1].second, cell(3, 3));  // no free cell: stays
}

} // namespace
