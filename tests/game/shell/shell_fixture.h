#pragma once
// A whole engine object with a small game object of the tests' own on top:
// test profiles that record what the shell does with them, an integer score
// row, and temporary {StaticPath} and {AppPath} folders.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/shell/middle.h"
#include "game/shell/player_base.h"
#include "game/shell/scores.h"
#include "platform/window.h"
#include "support/temp_dir.h"

namespace shelltest {

using Events = std::vector<std::string>;

// A profile that writes "what name" into the shared event list.
class cTestPlayer : public cPlayerBase {
public:
    cTestPlayer(Events* events, const std::string& folder, const std::string& name)
        : m_pEvents(events), m_strFolder(folder), m_strName(name)
    {
    }
    ~cTestPlayer() override { Note("free"); }
    bool LoadPlayer() override { return Note("load"), false; }
    bool SavePlayer() override { return Note("save"), true; }
    bool Activate() override { return Note("activate"), true; }
    bool Deactivate() override { return Note("deactivate"), true; }
    bool DeleteFiles() override { return Note("delete"), true; }
    const vek::string& GetName() const override { return m_strName; }
    vek::string GetNameCopy() const override { return m_strName; }

    const std::string& Folder() const { return m_strFolder; }

private:
    void Note(const char* what) const
    {
        if (m_pEvents) m_pEvents->push_back(std::string(what) + " " + m_strName);
    }

    Events* m_pEvents;
    std::string m_strFolder;
    vek::string m_strName;
};

// A score row holding one integer; higher is better. Its file form is the
// integer; its exchange form is the digits and a ';'.
class cTestRow : public cScoreRow {
public:
    explicit cTestRow(int score = 0, int tag = 0) : iScore(score), iTag(tag) {}
    bool IsLess(const cScoreRow* other) const override
    {
        return iScore < static_cast<const cTestRow*>(other)->iScore;
    }
    bool ParseText(vek::string& text) override
    {
        const size_t end = text.find(';');
        if (end == std::string::npos || end == 0) return false;
        iScore = vek::StringToInt(text.substr(0, end));
        text.erase(0, end + 1);
        return true;
    }
    bool Load(vek::cBitStream& stream) override
    {
        if (stream.BytesLeft() < 8) return false;
        iScore = stream.ReadInt();
        iTag = stream.ReadInt();
        return true;
    }
    void AppendText(vek::string& text) const override { text += std::to_string(iScore) + ";"; }
    void Save(vek::cBitStream& stream) const override
    {
        stream.WriteInt(iScore);
        stream.WriteInt(iTag);
    }
    vek::string GetText() const override { return std::to_string(iScore); }

    int iScore;
    int iTag;
};

// The tests' game object. Profiles made for a folder take the folder's name;
// fresh ones are numbered like the game's.
class cTestGame : public cMiddle {
public:
    explicit cTestGame(Events* events) : m_pEvents(events) {}

    cPlayerBase* CreatePlayer(const vek::string& name) override
    {
        std::string folder = name;
        if (folder.empty()) folder = vek::Formatted("plr%03i", m_iCounter++);
        folders.push_back(name);
        return new cTestPlayer(m_pEvents, folder, folder);
    }
    cScoreRow* CreateScoreRow() override { return bRows ? new cTestRow() : nullptr; }
    const vek::string& GetMessageText(int) override { return m_strText; }

    cTestPlayer* Add(const std::string& name)
    {
        auto* player = new cTestPlayer(m_pEvents, name, name);
        AddPlayer(player);
        return player;
    }
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
    void SetMessageBox(cMessageBoxWF* box) { m_pMessageBox = box; }

    // The folder names CreatePlayer was called with.
    std::vector<std::string> folders;
    bool bRows = true;

private:
    Events* m_pEvents;
    int m_iCounter = 0;
    vek::string m_strText;
};

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("shell");
        ASSERT_FALSE(m_strDir.empty());
        StartEngine();
        m_pShell = new cTestGame(&events);
        ASSERT_EQ(g_pMiddle, m_pShell);
    }

    void TearDown() override
    {
        delete m_pShell;
        m_pShell = nullptr;
        StopEngine();
        EXPECT_EQ(g_pMiddle, nullptr);
    }

    void StartEngine()
    {
        vek::cGame::cSettings s;
        s.strTitle = "Shell test";
        s.strName = "ShellTest";
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
    }

    void StopEngine()
    {
        delete m_pGame;
        m_pGame = nullptr;
    }

    // Writes a file below the temporary folder ("data/gui/x.lua").
    bool Write(const std::string& relative, const std::string& text)
    {
        return vektest::WriteFile(m_strDir + "/" + relative, text);
    }

    // Console lines (the log's copy) from the first one containing `from` on.
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        if (const vek::cConsole* console = vek::cConsole::OfLog())
            for (const vek::string& line : console->vecLines) lines.push_back(line);
        return lines;
    }
    int LogCount(const std::string& text) const
    {
        int n = 0;
        for (const std::string& line : LogLines())
            if (line.find(text) != std::string::npos) ++n;
        return n;
    }
    // Whether the texts appear in this order in the log (each on a later
    // line than the one before).
    bool LogInOrder(const std::vector<std::string>& texts) const
    {
        const std::vector<std::string> lines = LogLines();
        size_t at = 0;
        for (const std::string& text : texts) {
            while (at < lines.size() && lines[at].find(text) == std::string::npos) ++at;
            if (at == lines.size()) return false;
            ++at;
        }
        return true;
    }

    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < m_pShell->GetPlayerCount(); ++i)
            names.push_back(m_pShell->GetPlayerAt(i)->GetName());
        return names;
    }

    Events events;
    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cTestGame* m_pShell = nullptr;
};

} // namespace shelltest
