// The bed-layout file: layout blocks, beds, size warnings and cells off the
// grid.
#include "game/shell/bed_layout.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "support/temp_dir.h"

namespace {

class BedLayouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Beds");
        ASSERT_FALSE(m_strRoot.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/App");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/Data");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override { m_pLog.reset(); }

    cBedLayouts Read(const std::string& text)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strRoot + "/Data/conf/holes.lvs", text));
        cBedLayouts layouts{{{5, 5}}};  // replaced, never appended to
        EXPECT_EQ(ReadBedLayouts(vek::filename("{StaticPath}/conf/holes.lvs"), layouts), 0);
        return layouts;
    }
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

const std::string kOpen = "1,1,1,1,1,1,1,1,1,1\n";

TEST_F(BedLayouts, BlocksAndBeds)
{
    // Beds only where a cell is exactly "0"; two ";" lines start one layout;
    // a trailing ";" after a layout leaves an empty one.
    const cBedLayouts layouts = Read("0,1, 0,00,1,1,1,1,1,0\n" + kOpen + "1,0,1,1,1,1,1,1,1,1\n;\n\n;\n" +
                                     "0,0,1,1,1,1,1,1,1,1\n;\n");
    ASSERT_EQ(layouts.size(), 3u);
    EXPECT_EQ(layouts[0], (cBedLayout{{0, 0}, {0, 9}, {2, 1}}));
    EXPECT_EQ(layouts[1], (cBedLayout{{0, 0}, {0, 1}}));
    EXPECT_TRUE(layouts[2].empty());
    EXPECT_EQ(Logged("invalid level size"), 0);

    // One layout without any ";"; ";" lines before any row start nothing.
    EXPECT_EQ(Read(";\n;comment\n" + kOpen + "1,1,1,1,0,1,1,1,1,1").size(), 1u);
    EXPECT_EQ(Read(";\n;comment\n" + kOpen + "1,1,1,1,0,1,1,1,1,1")[0], (cBedLayout{{1, 4}}));
}

TEST_F(BedLayouts, CrLfLinesReadLikeLf)
{
    const cBedLayouts layouts = Read("1,1,1,1,1,1,1,1,1,0\r\n;\r\n0,1,1,1,1,1,1,1,1,1\r\n");
    ASSERT_EQ(layouts.size(), 2u);
    EXPECT_EQ(layouts[0], (cBedLayout{{0, 9}}));
    EXPECT_EQ(layouts[1], (cBedLayout{{0, 0}}));
}

TEST_F(BedLayouts, OversizedRowsAreWarnedAndTheirOffGridCellsDropped)
{
    std::string nine;
    for (int i = 0; i < 9; ++i) nine += "0,1,1,1,1,1,1,1,1,1\n";
    // Eleven cells: the "0" in the eleventh would be column 10.
    const cBedLayouts layouts = Read(nine + ";\n1,1,1,1,1,1,1,1,1,1,0\n1,0\n");
    ASSERT_EQ(layouts.size(), 2u);
    EXPECT_EQ(layouts[0].size(), 8u);  // the ninth row's bed is off the grid
    EXPECT_EQ(layouts[0].back(), cBedCell(7, 0));
    EXPECT_EQ(layouts[1], (cBedLayout{{1, 1}}));
    EXPECT_EQ(Logged("ReadTheme: invalid level size (i): 0"), 1);
    EXPECT_EQ(Logged("ReadTheme: invalid level size (j): 1"), 2);
}

TEST_F(BedLayouts, MissingOrEmptyFileGivesOneEmptyLayout)
{
    cBedLayouts layouts{{{1, 1}}, {}};
    EXPECT_EQ(ReadBedLayouts(vek::filename("{StaticPath}/conf/none.lvs"), layouts), 0);
    ASSERT_EQ(layouts.size(), 1u);
    EXPECT_TRUE(layouts[0].empty());
    EXPECT_EQ(Read("").size(), 1u);
    EXPECT_TRUE(Read("\n\n")[0].empty());

    // A named pipe in place of the file: refused at once with a line that
    // says so (no writer ever comes; waiting for one would hang here).
    const std::string fifo = m_strRoot + "/Data/conf/pipe.lvs";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadBedLayouts(vek::filename("{StaticPath}/conf/pipe.lvs"), layouts), 0);
    ASSERT_EQ(layouts.size(), 1u);
    EXPECT_TRUE(layouts[0].empty());
    EXPECT_EQ(Logged("pipe.lvs is not a regular file"), 1);
}

}  // namespace
