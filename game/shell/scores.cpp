// The shell object's high-score table and the online score exchange.
#include "game/shell/scores.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/coder.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/http.h"
#include "engine/core/log.h"
#include "game/shell/middle.h"
#include "platform/paths.h"

namespace {

constexpr const char* kSender = "cMiddle";
constexpr const char* kScoreFile = "{AppPath}/conf/highscore.dat";

// Keeps the score file as "highscore.dat.bad" before a new table replaces
// it: a copy when its bytes can be read, else the file itself moved aside
// (a file the game may not read cannot be copied). True when it is kept or
// has gone meanwhile.
bool KeepAsBad(const vek::filename& file, bool readable)
{
    if (readable) {
        vek::cBitStream old;
        if (vek::cDataManager::ReadBinary(&old, file) == vek::cDataManager::Ok &&
            vek::cDataManager::WriteBinary(&old, vek::filename(file.path + ".bad")) == vek::cDataManager::Ok)
            return true;
    }
    const std::string native = vek::platform::ToNativePath(file.path);
    errno = 0;
    return std::rename(native.c_str(), (native + ".bad").c_str()) == 0 || errno == ENOENT;
}

} // namespace

void cMiddle::LoadScores()
{
    vek::cFileSystem fs;
    const vek::filename file(kScoreFile);
    if (!fs.Exist(file)) {
        vek::LogText(kSender, "  Highscores not found\n");
        return;
    }
    // Rows are taken in file order until the data ends or a row fails: the
    // rows read before a damaged one stay.
    std::vector<uint8_t> bytes;
    const int read = vek::cDataManager::ReadWholeFile(file, "rb", bytes);
    if (read == vek::cDataManager::Ok) {
        vek::cBitStream stream;
        stream.SetData(std::move(bytes));
        while (!stream.AtEnd()) {
            cScoreRow* row = CreateScoreRow();
            if (!row) break;
            const size_t left = stream.BytesLeft();
            // A row that reads nothing would be read again forever.
            if (!row->Load(stream) || stream.BytesLeft() == left) {
                delete row;
                break;
            }
            m_Scores.push_back(row);
        }
        if (!stream.AtEnd()) m_eScoreFile = e_scoreFileCut;
    } else if (read != vek::cDataManager::InternalError) {
        // Not the empty file of an empty table: there, but not to be read
        // (no permission, too large, not a file).
        m_eScoreFile = e_scoreFileUnreadable;
    }
    vek::LogText(kSender, "  Highscores loaded. %i row(s) found\n", static_cast<int>(m_Scores.size()));
}

void cMiddle::SaveScores()
{
    // Written at every shutdown after start-up, also empty: the file holds
    // the rows and nothing else. A game that ends before it read the table
    // (during the splash or the loading screen) leaves the file alone rather
    // than replacing it with what it never loaded.
    vek::cBitStream stream;
    for (cScoreRow* row : m_Scores) {
        row->Save(stream);
        delete row;
    }
    m_Scores.clear();
    if (!IsInitFinished()) return;
    const vek::filename file(kScoreFile);
    // The rows the table could not take stay with the player; a file that
    // cannot be kept is not written over.
    if (m_eScoreFile != e_scoreFileWhole) {
        if (!KeepAsBad(file, m_eScoreFile == e_scoreFileCut)) {
            vek::LogWarning(kSender, "Can't save highscores in %s file: the old one was not read whole and "
                                     "cannot be kept\n", kScoreFile);
            return;
        }
        vek::LogWarning(kSender, "%s was not read whole; kept as highscore.dat.bad\n", kScoreFile);
        m_eScoreFile = e_scoreFileWhole;
    }
    if (vek::cDataManager::WriteBinary(&stream, file) != vek::cDataManager::Ok)
        vek::LogWarning(kSender, "Can't save highscores in %s file\n", kScoreFile);
}

int cMiddle::AddScore(cScoreRow* row)
{
    if (!row) return m_iLastScorePos = -1;
    m_Scores.push_back(row);
    // Ascending and stable, then reversed: best first, and among equal rows
    // the newest ahead of the older ones.
    m_Scores.sort([](const cScoreRow* a, const cScoreRow* b) { return a->IsLess(b); });
    m_Scores.reverse();
    while (m_Scores.size() > static_cast<size_t>(kMaxScoreRows)) {
        const bool dropped = m_Scores.back() == row;
        delete m_Scores.back();
        m_Scores.pop_back();
        if (dropped) row = nullptr;
    }
    m_iLastScorePos = -1;
    int position = 0;
    for (const cScoreRow* entry : m_Scores) {
        if (entry == row) {
            m_iLastScorePos = position;
            break;
        }
        ++position;
    }
    return m_iLastScorePos;
}

int cMiddle::GetLastScorePosition() { return m_iLastScorePos; }

std::vector<vek::string> cMiddle::GetScoreTexts()
{
    std::vector<vek::string> texts;
    for (const cScoreRow* row : m_Scores) texts.push_back(row->GetText());
    return texts;
}

std::vector<vek::string> cMiddle::ReceiveScores()
{
    std::vector<vek::string> texts;
    if (!m_pTransfer) return texts;
    vek::string body = m_pTransfer->GetBody();
    m_pTransfer->Reset();
    if (body.empty()) return texts;

    const vek::cCoder coder(m_Settings.strCoderList);
    if (!coder.Decode(body)) return texts;

    cScoreRow* row = CreateScoreRow();
    if (!row) return texts;
    // The received rows are shown, not added to the local table.
    if (row->ParseText(body)) {
        for (int i = 0; i < kMaxScoreRows; ++i) {
            texts.push_back(row->GetText());
            if (!row->ParseText(body)) break;
        }
    }
    delete row;
    return texts;
}

bool cMiddle::SendScores()
{
    if (!m_pTransfer) return false;
    m_pTransfer->RequestCancel();

    vek::string text;
    for (const cScoreRow* row : m_Scores) row->AppendText(text);
    if (text.empty()) return false;

    const vek::cCoder coder(m_Settings.strCoderList);
    if (!coder.Encode(text)) return false;
    // The coded text goes out as it is, without form escaping: the server
    // reads it that way.
    m_pTransfer->Post(m_Settings.strScoreURL, "Data=" + text);
    return true;
}

bool cMiddle::IsTransferStarted()
{
    return m_pTransfer && m_pTransfer->GetState() != vek::cTransferHTTP::e_httpIdle;
}

bool cMiddle::IsTransferFinished()
{
    return !m_pTransfer || m_pTransfer->GetState() != vek::cTransferHTTP::e_httpRunning;
}

bool cMiddle::ResetTransfer()
{
    if (m_pTransfer) m_pTransfer->Reset();
    return true;
}
