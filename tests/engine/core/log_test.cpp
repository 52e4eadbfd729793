#include "engine/core/log.h"

#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <vector>

#include "engine/app/console.h"
#include "engine/core/filename.h"
#include "support/temp_dir.h"

namespace {

// Checks that the text is well-formed markup: every tag closed in order,
// attribute values quoted, and only the entities the log writes.
::testing::AssertionResult WellFormed(const std::string& doc)
{
    std::vector<std::string> open;
    size_t i = 0;
    auto fail = [&](const std::string& why) {
        return ::testing::AssertionFailure() << why << " at offset " << i;
    };
    while (i < doc.size()) {
        const char c = doc[i];
        if (c == '&') {
            const size_t semi = doc.find(';', i);
            if (semi == std::string::npos) return fail("unterminated entity");
            const std::string ent = doc.substr(i + 1, semi - i - 1);
            if (ent != "amp" && ent != "lt" && ent != "gt" && ent != "quot" && ent != "#39" &&
                ent != "nbsp")
                return fail("unknown entity " + ent);
            i = semi + 1;
        } else if (c == '<') {
            if (doc.compare(i, 4, "<!--") == 0) {
                const size_t end = doc.find("-->", i);
                if (end == std::string::npos) return fail("unterminated comment");
                i = end + 3;
                continue;
            }
            const size_t end = doc.find('>', i);
            if (end == std::string::npos) return fail("unterminated tag");
            std::string tag = doc.substr(i + 1, end - i - 1);
            i = end + 1;
            if (tag[0] == '!') continue;
            if (tag[0] == '/') {
                const std::string name = tag.substr(1);
                if (open.empty() || open.back() != name) return fail("mismatched </" + name + ">");
                open.pop_back();
                continue;
            }
            if (tag.find('<') != std::string::npos || tag.find('&') != std::string::npos)
                return fail("bad character inside tag");
            size_t quotes = 0;
            for (char q : tag) quotes += q == '\'';
            if (quotes % 2) return fail("unbalanced quote");
            const bool empty = !tag.empty() && tag.back() == '/';
            const std::string name = tag.substr(0, tag.find_first_of(" /"));
            if (!empty) open.push_back(name);
        } else if (c == '>') {
            return fail("stray >");
        } else {
            ++i;
        }
    }
    if (!open.empty()) return ::testing::AssertionFailure() << "unclosed <" << open.back() << ">";
    return ::testing::AssertionSuccess();
}

class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Log");
        ASSERT_FALSE(m_strRoot.empty());
        m_strApp = m_strRoot + "/Share/quarne/Zembrolavine";
        vek::SetPathMacro(vek::e_macroAppPath, m_strApp);
    }
    std::string LogText() const { return vektest::ReadFile(m_strApp + "/_log.html"); }
    // The text between the header's time line and the footer's.
    std::string Body() const
    {
        const std::string all = LogText();
        const size_t start = all.find("<br />\n", all.find("<span class='time'>")) + 7;
        const size_t end = all.rfind("<span class='time'>");
        return all.substr(start, end - start);
    }
    static std::string Escaped(const std::string& text)
    {
        std::string out;
        bool span = false;
        vek::cLogFile::Escape(out, text, span);
        return out;
    }

    std::string m_strRoot;
    std::string m_strApp;
};

TEST_F(LogTest, EntryOfAMessage)
{
    {
        vek::cLog log(1024.0f, 768.0f);
        EXPECT_EQ(vek::g_pLog, &log);
        vek::LogText("cGame", "Set focus to widget with name '%s'.\n", "main");
        vek::LogWarning("cRender", "A %i\n", 1);
        vek::LogError("cWindow", "B\n");
    }
    EXPECT_EQ(vek::g_pLog, nullptr);
    EXPECT_EQ(Body(),
              "<span class='sender'>cGame: </span><span class='text'>Set focus to widget with name "
              "&#39;main&#39;.<br />\n</span>"
              "<span class='sender'>cRender: </span><span class='warning'>A 1<br />\n</span>"
              "<span class='sender'>cWindow: </span><span class='error'>B<br />\n</span>");
}

TEST_F(LogTest, EscapingOfBlanksMarkupAndColours)
{
    EXPECT_EQ(Escaped("a  b c "), "a&nbsp;&nbsp;b c ");
    EXPECT_EQ(Escaped(" a"), "&nbsp;a");
    EXPECT_EQ(Escaped("<a href=\"x\"> & 'y'"), "&lt;a href=&quot;x&quot;&gt; &amp; &#39;y&#39;");
    EXPECT_EQ(Escaped("^4red^6 rest\n"), "<span style='color:red'>red</span> rest<br />\n");
    EXPECT_EQ(Escaped("^0a^1b^2c^3d^5e^7f"),
              "<span style='color:black'>a</span><span style='color:blue'>b</span>"
              "<span style='color:green'>c</span><span style='color:lightblue'>d</span>"
              "<span style='color:purple'>e</span><span style='color:white'>f");
    EXPECT_EQ(Escaped("^9x^zy"), "xy");
    EXPECT_EQ(Escaped("abc^"), "abc");
    EXPECT_EQ(Escaped("\xC0\xFF"), "\xC0\xFF");
}

TEST_F(LogTest, OpenSpanCarriesIntoTheNextEntryAndIsClosedAtTheEnd)
{
    {
        vek::cLog log(1024.0f, 768.0f);
        vek::LogText("A", "x^4red");
        EXPECT_TRUE(log.pFile->bSpanOpen);
        vek::LogText("B", "y\n");
        EXPECT_FALSE(log.pFile->bSpanOpen);
        vek::LogText("C", "left ^1open");
    }
    EXPECT_EQ(Body(),
              "<span class='sender'>A: </span><span class='text'>x<span style='color:red'>red</span>"
              "<span class='sender'>B: </span><span class='text'>y</span><br />\n</span>"
              "<span class='sender'>C: </span><span class='text'>left <span style='color:blue'>open"
              "</span></span>");
    EXPECT_TRUE(WellFormed(LogText()));
}

TEST_F(LogTest, WholeFileIsWellFormedWithHostileMessages)
{
    {
        vek::cLog log(1024.0f, 768.0f);
        vek::LogText("cGame", "User name: %s\n", "<root> & \"friends\"");
        vek::LogWarning("File", "a<b && c>d ^4 red ^ ^^ ^9 end\n");
        vek::LogError("x<y", "%s", "</span></p>");
        vek::LogText("cGame", "Enum current display settings: ");
        vek::LogContinuation("(%i, %i, %i, %i)\n", 1024, 768, 32, 60);
        vek::LogContinuation("^5 open at the end");
    }
    const std::string doc = LogText();
    EXPECT_TRUE(WellFormed(doc));
    EXPECT_NE(doc.find("&lt;root&gt; &amp; &quot;friends&quot;"), std::string::npos);
    EXPECT_NE(doc.find("&lt;/span&gt;&lt;/p&gt;"), std::string::npos);
    EXPECT_NE(doc.find("settings: </span>(1024, 768, 32, 60)<br />\n"), std::string::npos);
    // "^4" opens red, "^ " and "^^" return to the level's colour, "^9" is dropped.
    EXPECT_NE(doc.find("<span class='sender'>File: </span><span class='warning'>a&lt;b &amp;&amp; "
                       "c&gt;d <span style='color:red'> red </span> "),
              std::string::npos)
        << doc;
    EXPECT_NE(doc.find(" end<br />\n</span><span class='sender'>x&lt;y: "), std::string::npos) << doc;
    EXPECT_NE(doc.find("<span class='sender'>x&lt;y: </span><span class='error'>"), std::string::npos)
        << "the sender is escaped too";
    EXPECT_NE(doc.find("<span style='color:purple'> open at the end</span><span class='time'>"),
              std::string::npos)
        << "the colour left open is closed before the footer: " << doc;
    // Line ends are LF only.
    EXPECT_EQ(doc.find('\r'), std::string::npos);
}

TEST_F(LogTest, HeaderAndFooterFrameTheRun)
{
    { vek::cLog log(1024.0f, 768.0f); }
    const std::string doc = LogText();
    EXPECT_EQ(doc.compare(0, 9, "<!DOCTYPE"), 0);
    EXPECT_NE(doc.find("\n  <title>vek15 log file</title> \n"), std::string::npos);
    EXPECT_NE(doc.find("charset=windows-1251' /> \n"), std::string::npos);
    EXPECT_NE(doc.find("\n    .time { color:darkgreen } \n"), std::string::npos);
    const std::regex frame(
        "[^]*</head> \n<body><p> \n"
        "<span class='time'>[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9:]{8} [0-9]{4}</span><br />\n"
        "<span class='time'>[A-Z][a-z]{2} [A-Z][a-z]{2} [0-9]{2} [0-9:]{8} [0-9]{4}</span>\n"
        "</p></body>\n</html>\n");
    EXPECT_TRUE(std::regex_match(doc, frame)) << doc;
}

TEST_F(LogTest, ReplacedAtEveryStartAndPrivateFolder)
{
    {
        vek::cLog log(1024.0f, 768.0f);
        vek::LogText("first", "run one\n");
    }
    {
        vek::cLog log(1024.0f, 768.0f);
        vek::LogText("second", "run two\n");
    }
    const std::string doc = LogText();
    EXPECT_EQ(doc.find("run one"), std::string::npos);
    EXPECT_NE(doc.find("run two"), std::string::npos);
    EXPECT_TRUE(WellFormed(doc));

    struct stat st{};
    ASSERT_EQ(stat(m_strApp.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat((m_strRoot + "/Share/quarne").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(stat((m_strApp + "/_log.html").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0022, 0u);
}

TEST_F(LogTest, ALinkInPlaceOfTheLogIsReplacedNeverWrittenThrough)
{
    // A link named like the log, pointing at a player's file: the log
    // takes the link's place and the file stays as it was.
    const std::string target = m_strRoot + "/player.dat";
    ASSERT_TRUE(vektest::WriteFile(target, "the player's progress"));
    ASSERT_TRUE(vektest::WriteFile(m_strApp + "/placeholder", "x"));
    ASSERT_EQ(symlink(target.c_str(), (m_strApp + "/_log.html").c_str()), 0);
    {
        vek::cLog log(1024.0f, 768.0f);
        vek::LogText("link", "written beside the link\n");
    }
    EXPECT_EQ(vektest::ReadFile(target), "the player's progress");
    struct stat st{};
    ASSERT_EQ(lstat((m_strApp + "/_log.html").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_NE(LogText().find("written beside the link"), std::string::npos);
}

TEST_F(LogTest, SecondWriterRunsWithoutAFile)
{
    vek::cLog log(1024.0f, 768.0f);
    ASSERT_TRUE(log.pFile->IsOpen());
    {
        vek::cLogFile second;
        EXPECT_FALSE(second.IsOpen());
        second.Write("S", "text", "ignored\n");
    }
    vek::LogText("cGame", "still logging\n");
    const std::string doc = LogText();
    EXPECT_NE(doc.find("<span class='sender'>cGame: </span><span class='text'>still logging<br />\n"),
              std::string::npos);
    EXPECT_EQ(doc.find("ignored"), std::string::npos) << "the second writer writes nowhere";
}

TEST_F(LogTest, ConsoleGetsOneColouredLinePerMessage)
{
    vek::cLog log(1024.0f, 768.0f, vek::cConsole::Make);
    vek::cConsole* console = vek::cConsole::OfLog();
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->fWidth, 1024.0f);
    EXPECT_EQ(console->fMaxOpen, 384.0f);
    const size_t before = console->vecLines.size();
    vek::LogWarning("cInput", "Key %i lost\n", 42);
    vek::LogText("cGame", "Enum current display settings: ");
    vek::LogContinuation("(%i, %i)\n", 1024, 768);
    ASSERT_EQ(console->vecLines.size(), before + 2);
    EXPECT_EQ(console->vecLines[before], "^7cInput^6: ^5Key 42 lost");
    EXPECT_EQ(console->vecLines[before + 1], "^7cGame^6: ^6Enum current display settings: (1024, 768)");
}

TEST_F(LogTest, UnwritableFolderAndNoRoot)
{
    // The log call without a root does nothing: no file appears.
    vek::LogText("nobody", "lost %i\n", 1);
    vek::LogContinuation("lost too\n");
    struct stat st{};
    EXPECT_NE(stat((m_strApp + "/_log.html").c_str(), &st), 0);
    // A file where the folder should be: the log runs without a file.
    ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/blocked", "x"));
    vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/blocked");
    vek::cLog log(1024.0f, 768.0f, vek::cConsole::Make);
    EXPECT_FALSE(log.pFile->IsOpen());
    EXPECT_EQ(vektest::ReadFile(m_strRoot + "/blocked"), "x") << "the blocking file is left alone";
    vek::LogText("cGame", "console only\n");
    vek::LogContinuation("more\n");
    const vek::cConsole* console = vek::cConsole::OfLog();
    ASSERT_NE(console, nullptr);
    const std::vector<std::string> lines(console->vecLines.begin(), console->vecLines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"^7cGame^6: ^6console only", "more"}));
}

}  // namespace
