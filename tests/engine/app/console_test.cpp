#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/app/console.h"
#include "engine/core/filename.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/core/script_fixture.h"
#include "support/temp_dir.h"

namespace {

using vek::cConsole;

// Keys the tests hold down.
std::set<int> g_setHeld;
bool IsHeld(int key)
{
    return g_setHeld.count(key) != 0;
}

std::vector<std::string> Lines(const cConsole& console)
{
    return std::vector<std::string>(console.vecLines.begin(), console.vecLines.end());
}

class Console : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_setHeld.clear();
        m_strDir = vektest::MakeTempDir("console");
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
    }

    // A console opened all the way, with the given command file.
    std::unique_ptr<cConsole> Make(const char* commands = nullptr)
    {
        if (commands) {
            EXPECT_TRUE(vektest::WriteFile(m_strDir + "/data/conf/concom.txt", commands));
        }
        auto console = std::make_unique<cConsole>(1024.0f, 768.0f, 384.0f);
        console->pfnIsKeyDown = &IsHeld;
        return console;
    }

    static void OpenFully(cConsole& console)
    {
        console.Open();
        console.Draw(10.0f);
        ASSERT_TRUE(console.IsOpen());
    }

    static void Type(cConsole& console, const std::string& text)
    {
        for (const char c : text)
            console.OnChar(static_cast<unsigned char>(c));
    }

    std::string m_strDir;
};

// ---- output ----

TEST_F(Console, UnfinishedLinesAreContinuedByTheNextPrint)
{
    auto console = Make();
    console->Print("a\nb");
    console->Print("c\n");
    EXPECT_EQ(Lines(*console), (std::vector<std::string>{"a", "bc"}));
    console->Print("Enum current display settings: ");
    console->Print("(%i, %i, %i, %i)\n", 1024, 768, 32, 60);
    console->Print("x\ry\n");
    EXPECT_EQ(Lines(*console), (std::vector<std::string>{"a", "bc",
                                                         "Enum current display settings: (1024, 768, 32, 60)",
                                                         "x", "y"}));
    EXPECT_EQ(console->iLineCount, 5);
    EXPECT_EQ(console->iScroll, 5);
}

TEST_F(Console, KeepsOnlyTheNewestLines)
{
    auto console = Make();
    for (int i = 0; i < 2500; ++i)
        console->Print("line %i\n", i);
    console->Print("pending");
    console->Print(" still");
    ASSERT_EQ(console->vecLines.size(), cConsole::kMaxLines);
    EXPECT_EQ(console->iLineCount, static_cast<int>(cConsole::kMaxLines));
    EXPECT_EQ(console->iScroll, console->iLineCount);
    EXPECT_EQ(console->vecLines.front(), "line 501");
    EXPECT_EQ(console->vecLines.back(), "pending still");
}

TEST_F(Console, LongLinesStayWhole)
{
    auto console = Make();
    // Continued over several prints, far wider than the screen.
    for (int i = 0; i < 3; ++i)
        console->Print(std::string(1000, 'a' + i).c_str());
    console->Print("\n");
    // And in one print, with text on both sides of it.
    const std::string wide = std::string(5000, 'w');
    console->Print(("before\n" + wide + "\nafter\n").c_str());
    const auto lines = Lines(*console);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(1000, 'a') + std::string(1000, 'b') + std::string(1000, 'c'));
    EXPECT_EQ(lines[1], "before");
    EXPECT_EQ(lines[2], wide);
    EXPECT_EQ(lines[3], "after");
}

TEST_F(Console, RunawayTextWithoutLineEndsGoesOnInANewLine)
{
    // A printing loop with no line ends: one character per print, as Lua's
    // print of single characters gives.
    auto console = Make();
    const size_t total = cConsole::kMaxLineLength + 10;
    for (size_t i = 0; i < total; ++i)
        console->Print(i < cConsole::kMaxLineLength ? "a" : "b");
    const auto& lines = console->vecLines;
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(cConsole::kMaxLineLength, 'a'));
    EXPECT_EQ(lines[1], "bbbbbbbbbb");
    // The continuation is an ordinary unfinished line.
    console->Print("c\nd");
    EXPECT_EQ(Lines(*console), (std::vector<std::string>{std::string(cConsole::kMaxLineLength, 'a'),
                                                         "bbbbbbbbbbc", "d"}));

    // A line exactly at the bound that then ends gets no empty line after it.
    auto exact = Make();
    exact->Print((std::string(cConsole::kMaxLineLength, 'x') + "\ny\n").c_str());
    EXPECT_EQ(Lines(*exact), (std::vector<std::string>{std::string(cConsole::kMaxLineLength, 'x'), "y"}));
}

TEST_F(Console, OnePrintOfManyLinesKeepsTheNewest)
{
    auto console = Make();
    console->Print("pending ");
    std::string text;
    for (size_t i = 0; i < 3 * cConsole::kMaxLines + 7; ++i)
        text += "n" + std::to_string(i) + "\n";
    console->Print((text + "tail").c_str());
    const auto& lines = console->vecLines;
    ASSERT_EQ(lines.size(), cConsole::kMaxLines);
    EXPECT_EQ(console->iLineCount, static_cast<int>(cConsole::kMaxLines));
    EXPECT_EQ(lines.front(), "n" + std::to_string(2 * cConsole::kMaxLines + 8));
    EXPECT_EQ(lines[lines.size() - 2], "n" + std::to_string(3 * cConsole::kMaxLines + 6));
    EXPECT_EQ(lines.back(), "tail");
    console->Print(" end\n");
    EXPECT_EQ(console->vecLines.back(), "tail end");
}

TEST_F(Console, ClosedConsoleTakesNoInputButKeepsOutput)
{
    auto console = Make();
    EXPECT_FALSE(console->Draw(0.1f));
    EXPECT_FALSE(console->OnKey(cConsole::e_keyPageUp));
    EXPECT_FALSE(console->OnChar('a'));
    EXPECT_TRUE(console->strLine.empty());
    console->Print("kept\n");
    EXPECT_EQ(console->iLineCount, 1);
}

TEST_F(Console, SlidesOpenAndClosed)
{
    auto console = Make();
    console->Open();
    EXPECT_TRUE(console->Draw(0.1f));
    EXPECT_GT(console->fOpenHeight, 0.0f);
    EXPECT_LT(console->fOpenHeight, console->fMaxOpen);
    console->Draw(10.0f);
    EXPECT_EQ(console->fOpenHeight, console->fMaxOpen);
    EXPECT_EQ(console->fOpenSpeed, 0.0f);
    EXPECT_GT(console->iVisibleLines, 0);
    console->Close();
    EXPECT_FALSE(console->Draw(10.0f));
    EXPECT_EQ(console->fOpenHeight, 0.0f);
    EXPECT_FALSE(console->OnKey(cConsole::e_keyHome));
}

// ---- the command line ----

TEST_F(Console, EditingKeysAndCharacters)
{
    auto console = Make();
    OpenFully(*console);
    Type(*console, "prnt(1)");
    EXPECT_EQ(console->strLine, "prnt(1)");
    EXPECT_EQ(console->iCaret, 7);
    console->OnKey(cConsole::e_keyHome);
    console->OnKey(cConsole::e_keyRight);
    console->OnKey(cConsole::e_keyRight);
    Type(*console, "i");
    EXPECT_EQ(console->strLine, "print(1)");
    console->OnKey(cConsole::e_keyEnd);
    console->OnKey(cConsole::e_keyRight);  // nothing past the end
    EXPECT_EQ(console->iCaret, 8);
    console->OnKey(cConsole::e_keyDelete);  // nothing at the end
    console->OnKey(cConsole::e_keyLeft);
    console->OnKey(cConsole::e_keyDelete);
    EXPECT_EQ(console->strLine, "print(1");
    console->OnChar(cConsole::e_charBackspace);
    EXPECT_EQ(console->strLine, "print(");
    console->OnKey(cConsole::e_keyHome);
    console->OnChar(cConsole::e_charBackspace);  // nothing before the start
    console->OnKey(cConsole::e_keyLeft);
    EXPECT_EQ(console->iCaret, 0);
    EXPECT_EQ(console->strLine, "print(");

    // The console key's characters, control codes and bytes that are not
    // printable text are taken but never inserted.
    for (const int c : {int('`'), int('~'), 1, 27, 127, 0xE9, 0x80, 0xFF, -23, 256, 100000})
        EXPECT_TRUE(console->OnChar(c)) << c;
    EXPECT_EQ(console->strLine, "print(");
    // Any key is taken while open, also one without a use here.
    EXPECT_TRUE(console->OnKey(30));
}

TEST_F(Console, HistoryIsSeededFromTheCommandFile)
{
    auto console = Make("help\r\n\r\ninfo\r\ninfo cpu\n\n");
    EXPECT_EQ(console->vecHistory, (std::vector<vek::string>{"help", "info", "info cpu"}));
    EXPECT_EQ(console->iHistoryPos, 3);
    OpenFully(*console);

    console->OnKey(cConsole::e_keyUp);
    EXPECT_EQ(console->strLine, "info cpu");
    console->OnKey(cConsole::e_keyUp);
    console->OnKey(cConsole::e_keyUp);
    console->OnKey(cConsole::e_keyUp);  // stays on the oldest
    EXPECT_EQ(console->strLine, "help");
    EXPECT_EQ(console->iCaret, 4);
    console->OnKey(cConsole::e_keyDown);
    EXPECT_EQ(console->strLine, "info");
    console->OnKey(cConsole::e_keyDown);
    console->OnKey(cConsole::e_keyDown);  // past the newest: empty line
    EXPECT_EQ(console->strLine, "");
    EXPECT_EQ(console->iHistoryPos, 3);
}

TEST_F(Console, WithoutACommandFileTheHistoryIsEmpty)
{
    auto console = Make();
    EXPECT_TRUE(console->vecHistory.empty());
    OpenFully(*console);
    console->OnKey(cConsole::e_keyUp);
    console->OnChar(cConsole::e_charTab);
    EXPECT_EQ(console->strLine, "");
}

TEST_F(Console, TabCompletesFromTheNewestMatchingEntry)
{
    auto console = Make("help\ninfo\ninfo cpu\n");
    OpenFully(*console);
    Type(*console, "inf");
    console->OnChar(cConsole::e_charTab);
    EXPECT_EQ(console->strLine, "info cpu");
    EXPECT_EQ(console->iCaret, 8);

    console->strLine = "he";
    console->OnChar(cConsole::e_charTab);
    EXPECT_EQ(console->strLine, "help");

    console->strLine = "xyz";
    console->iCaret = 3;
    console->OnChar(cConsole::e_charTab);
    EXPECT_EQ(console->strLine, "xyz");

    console->strLine.clear();
    console->iCaret = 0;
    console->OnChar(cConsole::e_charTab);
    EXPECT_EQ(console->strLine, "info cpu");
}

TEST_F(Console, PagingScrollsTheOutput)
{
    auto console = Make();
    for (int i = 0; i < 1000; ++i)
        console->Print("%i\n", i);
    OpenFully(*console);
    const int visible = console->iVisibleLines;
    ASSERT_GT(visible, 1);
    ASSERT_LT(visible, 1000);

    console->OnKey(cConsole::e_keyPageUp);
    EXPECT_EQ(console->iScroll, 999);
    console->OnKey(cConsole::e_keyPageDown);
    console->OnKey(cConsole::e_keyPageDown);
    EXPECT_EQ(console->iScroll, 1000);

    g_setHeld.insert(cConsole::e_keyRightControl);
    console->OnKey(cConsole::e_keyPageUp);
    EXPECT_EQ(console->iScroll, visible - 1);
    g_setHeld.clear();
    console->OnKey(cConsole::e_keyPageUp);  // never above the first page
    EXPECT_EQ(console->iScroll, visible - 1);
    g_setHeld.insert(cConsole::e_keyLeftControl);
    console->OnKey(cConsole::e_keyPageDown);
    EXPECT_EQ(console->iScroll, 1000);
}

TEST_F(Console, PagingWithFewLinesStaysInRange)
{
    auto console = Make();
    OpenFully(*console);
    console->OnKey(cConsole::e_keyPageUp);
    EXPECT_EQ(console->iScroll, 0);
    console->Print("one\ntwo\n");
    console->OnKey(cConsole::e_keyPageUp);
    EXPECT_EQ(console->iScroll, 2);
    g_setHeld.insert(cConsole::e_keyLeftControl);
    console->OnKey(cConsole::e_keyPageUp);
    EXPECT_EQ(console->iScroll, 2);
}

TEST_F(Console, HeldKeysRepeatAfterADelay)
{
    auto console = Make();
    OpenFully(*console);
    Type(*console, "abcdef");
    console->OnKey(cConsole::e_keyLeft);
    g_setHeld.insert(cConsole::e_keyLeft);
    console->Draw(0.3f);
    EXPECT_EQ(console->iCaret, 5);  // still inside the delay
    console->Draw(0.3f);
    EXPECT_EQ(console->iCaret, 4);
    console->Draw(0.03f);
    EXPECT_EQ(console->iCaret, 3);
    console->Draw(0.01f);  // not yet the next interval
    EXPECT_EQ(console->iCaret, 3);
    // Home, End, Up and Down never repeat.
    g_setHeld = {cConsole::e_keyHome};
    console->Draw(1.0f);
    EXPECT_EQ(console->iCaret, 3);
}

// ---- colours ----

TEST_F(Console, ColourCodesCutLinesIntoRuns)
{
    const auto runs = cConsole::SplitColours("^7cScript^6: ^5oops ^0x^");
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].strText, "");
    EXPECT_EQ(runs[0].uColour, 0xFFFFFF00u);
    EXPECT_EQ(runs[1].strText, "cScript");
    EXPECT_EQ(runs[1].uColour, 0xFFFCFEFFu);
    EXPECT_EQ(runs[1].iColumn, 0);
    EXPECT_EQ(runs[2].strText, ": ");
    EXPECT_EQ(runs[2].uColour, 0xFFFCFE00u);
    EXPECT_EQ(runs[2].iColumn, 7);
    EXPECT_EQ(runs[3].strText, "oops ");
    EXPECT_EQ(runs[3].uColour, 0xFFFC00FFu);
    EXPECT_EQ(runs[3].iColumn, 9);
    EXPECT_EQ(runs[4].strText, "x");
    EXPECT_EQ(runs[4].uColour, 0xFF000000u);
    EXPECT_EQ(runs[5].strText, "");
    EXPECT_EQ(runs[5].iColumn, 15);

    // The colour comes from the low three bits of any byte, also above 0x7F.
    EXPECT_EQ(cConsole::SplitColours("^\xF9z")[1].uColour, 0xFF0000FFu);
}

// ---- drawing ----

// A monospaced font as font 1: every glyph 8 wide, lines 16 high.
class ConsoleDrawing : public Console {
protected:
    void SetUp() override
    {
        Console::SetUp();
        ASSERT_TRUE(vek::CreateFontManager());
        auto* font = new vek::cFont("console");  // joins the manager as font 1
        font->Init("", "", 0, 16.0f);
        font->Texture("none", 128, 128);
        for (int c = 32; c < 127; ++c)
            font->Char(std::string(1, static_cast<char>(c)), 8.0f, vek::recti(0, 0, 8, 16), 0.0f, 8.0f);
    }
    void TearDown() override { vek::DestroyFontManager(); }

    // The colour of the quad whose bottom-left corner is at (x, y); 0 when
    // the last batch holds none there.
    static uint32_t ColourAt(const vek::cQuadBatch& batch, float x, float y)
    {
        const vek::cVertex2D* v = batch.GetVertices();
        for (uint32_t r = 0; r < batch.uRunCount; ++r) {
            const auto& run = batch.GetRuns()[r];
            for (uint32_t i = run.uFirst; i + 6 <= run.uFirst + run.uCount; i += 6)
                if (v[i].x == x && v[i].y == y)
                    return v[i].color;
        }
        return 0;
    }

    vek::cQuadBatch m_Batch;
};

TEST_F(ConsoleDrawing, DrawsTheCommandLineAndColouredOutput)
{
    auto console = Make();
    console->pBatch = &m_Batch;
    console->Print("^4red^7white\n");
    console->Print("second line\n");
    OpenFully(*console);
    EXPECT_EQ(console->iVisibleLines, 24);  // 384 / 16
    Type(*console, "ab");
    ASSERT_TRUE(console->Draw(0.0f));

    const float bottom = 768.0f - 384.0f;
    // The prompt and the command line, white, at the bottom edge.
    EXPECT_EQ(ColourAt(m_Batch, 0.0f, bottom), 0xFFFFFFFFu);
    EXPECT_EQ(ColourAt(m_Batch, 16.0f, bottom), 0xFFFFFFFFu);
    // The newest line right above it, the older one above that, with their
    // colours: "red" red from column 0, "white" white from column 3.
    EXPECT_EQ(ColourAt(m_Batch, 0.0f, bottom + 16.0f), 0xFFFFFF00u);
    EXPECT_EQ(ColourAt(m_Batch, 0.0f, bottom + 32.0f), 0xFFFC0000u);
    EXPECT_EQ(ColourAt(m_Batch, 24.0f, bottom + 32.0f), 0xFFFCFEFFu);
    EXPECT_EQ(ColourAt(m_Batch, 0.0f, bottom + 48.0f), 0u);
}

TEST_F(ConsoleDrawing, LongLinesAndManyLinesFitTheBatch)
{
    auto console = Make();
    console->pBatch = &m_Batch;
    for (int i = 0; i < 100; ++i)
        console->Print("%s\n", std::string(1000, 'x'));
    OpenFully(*console);
    ASSERT_TRUE(console->Draw(0.0f));
    // Every visible line is drawn, each cut at the right edge.
    const float bottom = 768.0f - 384.0f;
    EXPECT_EQ(ColourAt(m_Batch, 0.0f, bottom + 16.0f * 24), 0xFFFFFF00u);
    EXPECT_EQ(ColourAt(m_Batch, 1024.0f, bottom + 16.0f), 0xFFFFFF00u);
    EXPECT_EQ(ColourAt(m_Batch, 1032.0f, bottom + 16.0f), 0u);
}

TEST_F(ConsoleDrawing, AnEmptyConsoleDrawsWithoutLines)
{
    auto console = Make();
    console->pBatch = &m_Batch;
    OpenFully(*console);
    EXPECT_TRUE(console->Draw(0.0f));
    EXPECT_EQ(ColourAt(m_Batch, 0.0f, 768.0f - 384.0f), 0xFFFFFFFFu);
}

// ---- Lua lines ----

class ConsoleLua : public vektest::ScriptFixture {};

TEST_F(ConsoleLua, EnteredLinesRunAsLuaAndJoinTheHistoryOnce)
{
    cConsole& console = Console();
    console.Open();
    console.Draw(10.0f);
    for (int i = 0; i < 2; ++i) {
        for (const char c : std::string("counter = (counter or 0) + 1 print('ran ' .. counter)"))
            console.OnChar(c);
        console.OnChar(cConsole::e_charReturn);
    }
    EXPECT_EQ(Global("counter"), "2");
    ASSERT_EQ(console.vecHistory.size(), 1u);
    EXPECT_EQ(console.iHistoryPos, 1);
    EXPECT_EQ(console.strLine, "");
    EXPECT_EQ(console.iCaret, 0);
    EXPECT_EQ(console.vecLines.back(), "ran 1ran 2");

    // An empty line runs nothing and is not remembered; an error is logged.
    console.OnChar(cConsole::e_charLineFeed);
    for (const char c : std::string("error('from the console')"))
        console.OnChar(c);
    console.OnChar(cConsole::e_charReturn);
    EXPECT_EQ(console.vecHistory.size(), 2u);
    EXPECT_NE(LogContents().find("from the console"), std::string::npos);
}

} // namespace
