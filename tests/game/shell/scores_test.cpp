// The high-score table: ordering and trimming, the score file, and the
// online exchange against a loopback server.
#include "shell_fixture.h"

#include <atomic>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "engine/core/coder.h"
#include "engine/core/http.h"
#include "platform/net.h"

using namespace shelltest;

namespace {

using vek::platform::cTcpListener;
using vek::platform::cTcpSocket;
using Clock = std::chrono::steady_clock;

// Answers one request on 127.0.0.1 with a fixed reply and keeps the request.
class cOneShotServer {
public:
    explicit cOneShotServer(std::string reply)
    {
        EXPECT_TRUE(m_Listener.Listen());
        m_Thread = std::thread([this, reply] {
            cTcpSocket socket;
            const auto start = Clock::now();
            while (!m_bQuit && Clock::now() - start < std::chrono::seconds(30))
                if (m_Listener.Accept(socket, 50)) break;
            if (!socket.IsOpen()) return;
            size_t need = std::string::npos;
            while (!m_bQuit && Clock::now() - start < std::chrono::seconds(30)) {
                const size_t end = m_strRequest.find("\r\n\r\n");
                if (need == std::string::npos && end != std::string::npos) {
                    const size_t at = m_strRequest.find("Content-Length: ");
                    need = end + 4 + (at == std::string::npos ? 0 : std::stoul(m_strRequest.substr(at + 16)));
                }
                if (m_strRequest.size() >= need) break;
                if (socket.Wait(true, false, 50) != cTcpSocket::e_ready) continue;
                char buffer[4096];
                const long n = socket.Recv(buffer, sizeof buffer);
                if (n == cTcpSocket::e_wouldBlock) continue;
                if (n < 1) return;
                m_strRequest.append(buffer, static_cast<size_t>(n));
            }
            for (size_t done = 0; done < reply.size() && !m_bQuit;) {
                if (socket.Wait(false, true, 50) != cTcpSocket::e_ready) continue;
                const long n = socket.Send(reply.data() + done, reply.size() - done);
                if (n == cTcpSocket::e_wouldBlock) continue;
                if (n < 1) break;
                done += static_cast<size_t>(n);
            }
        });
    }
    ~cOneShotServer() { Stop(); }
    void Stop()
    {
        m_bQuit = true;
        if (m_Thread.joinable()) m_Thread.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_Listener.GetPort()) + "/score"; }
    const std::string& Request() const { return m_strRequest; }

private:
    cTcpListener m_Listener;
    std::thread m_Thread;
    std::atomic<bool> m_bQuit{false};
    std::string m_strRequest;
};

class ScoresTest : public ShellFixture {
protected:
    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const vek::string& t : m_pShell->GetScoreTexts()) texts.push_back(t);
        return texts;
    }

    // Ends the shell (writing its table) and starts a new one that reads it.
    void Restart(const std::string& file = std::string(), bool replace = false)
    {
        delete m_pShell;
        if (replace) {
            EXPECT_TRUE(Write("app/conf/highscore.dat", file));
        }
        events.clear();
        m_pShell = new cTestGame(&events);
        m_pShell->FinishInit();
    }
};

TEST_F(ScoresTest, TheTableKeepsTheTwentyBestWithTheNewestFirstAmongEquals)
{
    for (int i = 0; i < 20; ++i) m_pShell->AddScore(new cTestRow(100 - i * 2, i));
    EXPECT_EQ(m_pShell->GetScoreCount(), 20u);
    const std::vector<std::string> before = Texts();

    // Worse than all twenty: it falls out at once.
    EXPECT_EQ(m_pShell->AddScore(new cTestRow(1)), -1);
    EXPECT_EQ(m_pShell->GetLastScorePosition(), -1);
    EXPECT_EQ(Texts(), before);

    // Equal to the last row: it takes position 19 and the older one goes.
    auto* equal = new cTestRow(62, 99);
    EXPECT_EQ(m_pShell->AddScore(equal), 19);
    EXPECT_EQ(m_pShell->GetScoreCount(), 20u);

    // Best so far.
    EXPECT_EQ(m_pShell->AddScore(new cTestRow(500)), 0);
    EXPECT_EQ(Texts().front(), "500");
    EXPECT_EQ(m_pShell->AddScore(new cTestRow(96, 7)), 3);  // ahead of the older 96
    EXPECT_EQ(m_pShell->GetLastScorePosition(), 3);
    EXPECT_EQ(m_pShell->AddScore(nullptr), -1);
}

TEST_F(ScoresTest, TheFileReadsBackAsWrittenAndEveryCutOfItLoadsThePrefix)
{
    ASSERT_TRUE(Write("app/conf/keep", ""));
    m_pShell->FinishInit();
    for (int i = 0; i < 5; ++i) m_pShell->AddScore(new cTestRow(10 * i, i));
    const std::vector<std::string> texts = Texts();
    Restart();
    EXPECT_EQ(Texts(), texts);
    EXPECT_EQ(LogCount("Highscores loaded. 5 row(s) found"), 1);

    const std::string whole = vektest::ReadFile(m_strDir + "/app/conf/highscore.dat");
    ASSERT_EQ(whole.size(), 40u);
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        Restart(whole.substr(0, cut), true);
        EXPECT_EQ(m_pShell->GetScoreCount(), cut / 8) << cut;
    }
    // The empty file of a game without rows.
    EXPECT_EQ(LogCount("Highscores loaded. 0 row(s) found"), 8);

    // A game that supplies no rows reads nothing and writes an empty file.
    delete m_pShell;
    ASSERT_TRUE(Write("app/conf/highscore.dat", "garbage that is no score table at all"));
    m_pShell = new cTestGame(&events);
    m_pShell->bRows = false;
    m_pShell->FinishInit();
    EXPECT_EQ(m_pShell->GetScoreCount(), 0u);
    delete m_pShell;
    m_pShell = nullptr;
    EXPECT_EQ(vektest::ReadFile(m_strDir + "/app/conf/highscore.dat"), "");
}

TEST_F(ScoresTest, AFileReadOnlyInPartIsKeptAsBadBeforeTheTableReplacesIt)
{
    ASSERT_TRUE(Write("app/conf/keep", ""));
    const std::string path = m_strDir + "/app/conf/highscore.dat";
    const std::string bad = path + ".bad";
    m_pShell->FinishInit();
    for (int i = 0; i < 3; ++i) m_pShell->AddScore(new cTestRow(10 * i, i));
    Restart();
    const std::string whole = vektest::ReadFile(path);
    ASSERT_EQ(whole.size(), 24u);
    // A file read whole is simply replaced.
    Restart();
    EXPECT_FALSE(std::filesystem::exists(bad));

    // Rows followed by bytes that are none: the two rows stay in the table,
    // the whole file beside it.
    Restart(whole.substr(0, 16) + "junk", true);
    EXPECT_EQ(m_pShell->GetScoreCount(), 2u);
    Restart();
    EXPECT_EQ(vektest::ReadFile(bad), whole.substr(0, 16) + "junk");
    EXPECT_EQ(vektest::ReadFile(path), whole.substr(0, 16));
    ASSERT_EQ(std::remove(bad.c_str()), 0);

    // Mode 000: nothing can be read or copied, so the file itself is moved
    // aside. Root reads any file: its file-system identity is lowered while
    // the table is read (the folders on the way opened to passing through),
    // so that the refusal is the one a player meets.
    delete m_pShell;
    m_pShell = nullptr;
    ASSERT_TRUE(Write("app/conf/highscore.dat", whole));
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    const bool root = geteuid() == 0;
    const std::string parent = std::filesystem::path(m_strDir).parent_path().string();
    struct stat parentMode {};
    ASSERT_EQ(stat(parent.c_str(), &parentMode), 0);
    if (root) {
        ASSERT_EQ(chmod(parent.c_str(), parentMode.st_mode | 0111), 0);
        ASSERT_EQ(chmod(m_strDir.c_str(), 0755), 0);
    }
    const int notFound = LogCount("Highscores not found");
    m_pShell = new cTestGame(&events);
    if (root) setfsuid(65534);
    m_pShell->FinishInit();
    if (root) setfsuid(0);
    if (root) {
        ASSERT_EQ(chmod(parent.c_str(), parentMode.st_mode & 07777), 0);
    }
    EXPECT_EQ(LogCount("Highscores not found"), notFound);
    EXPECT_EQ(m_pShell->GetScoreCount(), 0u);
    m_pShell->AddScore(new cTestRow(7));
    delete m_pShell;
    m_pShell = nullptr;
    ASSERT_EQ(chmod(bad.c_str(), 0600), 0);
    EXPECT_EQ(vektest::ReadFile(bad), whole);
    EXPECT_EQ(vektest::ReadFile(path).size(), 8u);
}

// Rows whose loader claims success without reading anything.
class cIdleRow : public cTestRow {
public:
    bool Load(vek::cBitStream&) override { return true; }
};
class cIdleRowGame : public cTestGame {
public:
    using cTestGame::cTestGame;
    cScoreRow* CreateScoreRow() override { return new cIdleRow(); }
};

TEST_F(ScoresTest, ARowThatReadsNothingEndsReading)
{
    delete m_pShell;
    ASSERT_TRUE(Write("app/conf/highscore.dat", "12345678"));
    m_pShell = new cIdleRowGame(&events);
    m_pShell->FinishInit();
    EXPECT_EQ(m_pShell->GetScoreCount(), 0u);
}

TEST_F(ScoresTest, NothingIsSentWithoutRowsOrWithoutACoder)
{
    EXPECT_FALSE(m_pShell->SendScores());
    m_pShell->AddScore(new cTestRow(3));
    EXPECT_FALSE(m_pShell->SendScores());  // the default, empty coder list
    m_pShell->m_Settings.strCoderList = "rot13";
    EXPECT_FALSE(m_pShell->SendScores());
    EXPECT_FALSE(m_pShell->IsTransferStarted());
    EXPECT_TRUE(m_pShell->IsTransferFinished());
    EXPECT_TRUE(m_pShell->ReceiveScores().empty());
}

TEST_F(ScoresTest, TheExchangePostsTheCodedRowsAndShowsAtMostTwentyReceivedOnes)
{
    const std::string coders = "xor(7) base64";
    vek::string received;
    for (int i = 0; i < 25; ++i) received += std::to_string(1000 + i) + ";";
    vek::string coded = received;
    ASSERT_TRUE(vek::cCoder(coders).Encode(coded));
    cOneShotServer server("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(coded.size()) + "\r\n\r\n" + coded);

    m_pShell->m_Settings.strCoderList = coders;
    m_pShell->m_Settings.strScoreURL = server.Url();
    m_pShell->AddScore(new cTestRow(7));
    m_pShell->AddScore(new cTestRow(9));
    ASSERT_TRUE(m_pShell->SendScores());
    EXPECT_TRUE(m_pShell->IsTransferStarted());
    const auto start = Clock::now();
    while (!m_pShell->IsTransferFinished() && Clock::now() - start < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    server.Stop();

    vek::string sent = "9;7;";
    ASSERT_TRUE(vek::cCoder(coders).Encode(sent));
    const size_t body = server.Request().find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(server.Request().substr(body + 4), "Data=" + sent);

    const std::vector<vek::string> texts = m_pShell->ReceiveScores();
    ASSERT_EQ(texts.size(), 20u);
    EXPECT_EQ(texts.front(), "1000");
    EXPECT_EQ(texts.back(), "1019");
    EXPECT_FALSE(m_pShell->IsTransferStarted());
    EXPECT_EQ(m_pShell->GetScoreCount(), 2u);
    EXPECT_TRUE(m_pShell->ResetTransfer());
}

} // namespace
