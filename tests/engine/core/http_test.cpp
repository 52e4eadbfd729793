#include "engine/core/http.h"

#include <gtest/gtest.h>

#include "support/closed_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "platform/net.h"
#include "support/temp_dir.h"
#include "support/time_scale.h"

namespace {

using vek::cTransferHTTP;
using vek::platform::cTcpListener;
using vek::platform::cTcpSocket;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Sends all of text within ten seconds; false when the peer went away.
bool SendAll(cTcpSocket& socket, const std::string& text)
{
    const auto start = Clock::now();
    size_t done = 0;
    while (done < text.size() && SecondsSince(start) < 10.0) {
        if (socket.Wait(false, true, 50) != cTcpSocket::e_ready)
            continue;
        long n = socket.Send(text.data() + done, text.size() - done);
        if (n == cTcpSocket::e_wouldBlock)
            continue;
        if (n < 1)
            return false;
        done += static_cast<size_t>(n);
    }
    return done == text.size();
}

// A one-connection HTTP server on 127.0.0.1 run by a thread of the test. It
// reads the request (headers and the announced body), then hands the socket
// to the test's reply function. Every wait is bounded.
//
// It waits for the connection until the test stops it (or for half a minute):
// a shorter limit counted from construction runs out on a busy machine while
// the test still prepares its request, and the client then talks to the
// listen queue of a server that will never answer.
class cLoopbackServer {
public:
    using fnReply = std::function<void(cTcpSocket& socket, const std::atomic<bool>& quit)>;

    explicit cLoopbackServer(fnReply reply, bool readRequest = true)
    {
        EXPECT_TRUE(m_Listener.Listen());
        m_Thread = std::thread([this, reply, readRequest] {
            cTcpSocket socket;
            const auto start = Clock::now();
            bool accepted = false;
            while (!accepted && !m_bQuit && SecondsSince(start) < 30.0)
                accepted = m_Listener.Accept(socket, 50);
            if (!accepted)
                return;
            if (readRequest)
                ReadRequest(socket);
            reply(socket, m_bQuit);
        });
    }
    ~cLoopbackServer() { Stop(); }

    uint16_t Port() const { return m_Listener.GetPort(); }
    std::string Url(const std::string& path = "/score") const
    {
        return "http://127.0.0.1:" + std::to_string(Port()) + path;
    }
    // Ends the server thread; the request is complete afterwards.
    void Stop()
    {
        m_bQuit = true;
        if (m_Thread.joinable())
            m_Thread.join();
    }
    const std::string& Request() const { return m_strRequest; }

private:
    void ReadRequest(cTcpSocket& socket)
    {
        const auto start = Clock::now();
        size_t need = std::string::npos;
        while (SecondsSince(start) < 5.0 && !m_bQuit) {
            if (need == std::string::npos) {
                const size_t end = m_strRequest.find("\r\n\r\n");
                if (end != std::string::npos) {
                    const size_t at = m_strRequest.find("Content-Length: ");
                    const size_t length =
                        at == std::string::npos ? 0 : std::stoul(m_strRequest.substr(at + 16));
                    need = end + 4 + length;
                }
            }
            if (need != std::string::npos && m_strRequest.size() >= need)
                return;
            if (socket.Wait(true, false, 50) != cTcpSocket::e_ready)
                continue;
            char buffer[4096];
            long n = socket.Recv(buffer, sizeof(buffer));
            if (n == cTcpSocket::e_wouldBlock)
                continue;
            if (n < 1)
                return;
            m_strRequest.append(buffer, static_cast<size_t>(n));
        }
    }

    cTcpListener m_Listener;
    std::thread m_Thread;
    std::atomic<bool> m_bQuit{false};
    std::string m_strRequest;
};

// Sends the reply in one go and closes.
cLoopbackServer::fnReply Reply(const std::string& text)
{
    return [text](cTcpSocket& socket, const std::atomic<bool>&) { SendAll(socket, text); };
}

// Sends the pieces with a pause between them, so they arrive in separate reads.
cLoopbackServer::fnReply ReplyInPieces(std::vector<std::string> pieces)
{
    return [pieces](cTcpSocket& socket, const std::atomic<bool>&) {
        for (const std::string& piece : pieces) {
            if (!SendAll(socket, piece))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    };
}

// Sends the text, then keeps the connection open until the test ends it.
// Raises *sent (when given) once the text is out.
cLoopbackServer::fnReply ReplyAndHold(const std::string& text, std::atomic<bool>* sent = nullptr)
{
    return [text, sent](cTcpSocket& socket, const std::atomic<bool>& quit) {
        SendAll(socket, text);
        if (sent)
            *sent = true;
        const auto start = Clock::now();
        while (!quit && SecondsSince(start) < 5.0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
}

// Polls until the worker has ended (at most ten seconds); the final state.
int WaitForEnd(cTransferHTTP& http)
{
    const auto start = Clock::now();
    while (http.IsRunning() && SecondsSince(start) < 10.0)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_FALSE(http.IsRunning()) << "transfer did not end in time";
    return http.GetState();
}

using vektest::cClosedPort;

// The worker looks at its stop flag every 100 ms, so a cancellation ends it
// within about that; the bound leaves room for the tests running in parallel
// and, on a quiet machine, stays far below the five seconds the holding
// servers wait and the 30 s time limit. It grows with a heavier load.
double PromptEnd()
{
    return vektest::Scaled(1.0);
}

TEST(HttpUrl, SplitsHostPortAndPath)
{
    cTransferHTTP http;
    http.SplitUrl("scores.example:8080/list/top?n=5");
    EXPECT_EQ(http.GetHost(), "scores.example");
    EXPECT_EQ(http.GetPort(), 8080);
    EXPECT_EQ(http.GetPath(), "/list/top?n=5");
    EXPECT_EQ(http.GetState(), cTransferHTTP::e_httpRunning);

    http.SplitUrl("http://scores.example");
    EXPECT_EQ(http.GetHost(), "scores.example");
    EXPECT_EQ(http.GetPort(), 80);
    EXPECT_EQ(http.GetPath(), "/");

    http.SplitUrl("http://a.example/x:1");
    EXPECT_EQ(http.GetHost(), "a.example");
    EXPECT_EQ(http.GetPort(), 80) << "a colon in the path is no port";
    EXPECT_EQ(http.GetPath(), "/x:1");

    http.Reset();
    EXPECT_EQ(http.GetState(), cTransferHTTP::e_httpIdle);
    EXPECT_EQ(http.GetPath(), "");
    EXPECT_EQ(http.GetHost(), "a.example") << "host stays after a reset";
}

TEST(HttpTransfer, PostsTheFormAndReadsABodyOfKnownLength)
{
    cLoopbackServer server(
        Reply("HTTP/1.0 200 OK\r\nContent-Length: 5\r\nX-Other: 1\r\n\r\nhelloIGNORED"));
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(server.Url("/s?a=1"), "Data=x y&z"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http.GetBody(), "hello");
    EXPECT_EQ(http.GetRequest(), "") << "all of it sent";
    server.Stop();
    EXPECT_EQ(server.Request(),
              "POST /s?a=1 HTTP/1.0\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "User-Agent: Mozilla/4.0 (compatible; lumdra)\r\n"
              "Host: 127.0.0.1\r\n"
              "Content-Length: 10\r\n"
              "Connection: close\r\n"
              "\r\n"
              "Data=x y&z");
}

TEST(HttpTransfer, EmptyBodyAnnouncesLengthZero)
{
    cLoopbackServer server(Reply("HTTP/1.1 200 OK\r\n\r\n"));
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(server.Url(), ""));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http.GetBody(), "");
    server.Stop();
    EXPECT_NE(server.Request().find("Content-Length: 0\r\n"), std::string::npos);
}

TEST(HttpTransfer, ReadsBodiesSplitAcrossReads)
{
    // Chunked: 0x1a bytes in two chunks, with the pieces cut inside the size
    // line, inside a chunk and between "\r" and "\n".
    cLoopbackServer chunked(ReplyInPieces({
        "HTTP/1.0 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1",
        "0\r\nabcdefghij",
        "klmnop\r",
        "\na\r\nqrstuvwxyz\r\n0\r\n\r\n",
    }));
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(chunked.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http.GetBody(), "abcdefghijklmnopqrstuvwxyz");
    chunked.Stop();

    // One chunk "1a", and a header line cut in two.
    cLoopbackServer single(ReplyInPieces({
        "HTTP/1.0 200 OK\r\nTransfer-Enc", "oding: chunked\r\n\r\n",
        "1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\n",
    }));
    ASSERT_TRUE(http.Post(single.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http.GetBody().size(), 26u);
    single.Stop();

    // Plain body without a length: everything up to the close, over many reads.
    std::string big;
    for (int i = 0; i < 3000; ++i)
        big += static_cast<char>('a' + i % 26);
    cLoopbackServer plain(ReplyInPieces({"HTTP/1.0 200 OK\r\n\r\n", big.substr(0, 1000),
                                         big.substr(1000)}));
    ASSERT_TRUE(http.Post(plain.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http.GetBody(), big);
}

TEST(HttpTransfer, ConnectionClosedBeforeTheLengthKeepsTheShorterBody)
{
    cLoopbackServer server(Reply("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort"));
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(server.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http.GetBody(), "short");
}

TEST(HttpTransfer, StatusOtherThan200Fails)
{
    const struct {
        const char* reply;
        int state;
    } cases[] = {
        {"HTTP/1.0 404 Not Found\r\n\r\nmissing", cTransferHTTP::e_httpNotFound},
        {"HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1:1/\r\n\r\n", cTransferHTTP::e_httpInvalid},
        {"HTTP/1.0 500 Oops\r\n\r\n", cTransferHTTP::e_httpInvalid},
        {"HTTP/1.0 20\r\n\r\nbody", cTransferHTTP::e_httpInvalid},     // status line too short
        {"", cTransferHTTP::e_httpInvalid},                          // closed without a reply
        {"hello\r\n\r\nworld", cTransferHTTP::e_httpInvalid},         // no HTTP reply at all
    };
    for (const auto& c : cases) {
        cLoopbackServer server(Reply(c.reply));
        cTransferHTTP http;
        ASSERT_TRUE(http.Post(server.Url(), "Data=1"));
        EXPECT_EQ(WaitForEnd(http), c.state) << c.reply;
        if (std::string(c.reply).rfind("HTTP/", 0) == 0) {
            EXPECT_EQ(http.GetBody(), "") << "a failed status stops before the body: " << c.reply;
        }
    }
}

TEST(HttpTransfer, RefusesBodiesOverTheLimit)
{
    const std::string big(cTransferHTTP::c_uMaxBody + 1000, 'x');
    cLoopbackServer withLength(Reply("HTTP/1.0 200 OK\r\nContent-Length: "
                                      + std::to_string(big.size()) + "\r\n\r\n" + big));
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(withLength.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpInvalid);
    EXPECT_LE(http.GetBody().size(), cTransferHTTP::c_uMaxBody + 256);
    withLength.Stop();

    cLoopbackServer endless(Reply("HTTP/1.0 200 OK\r\n\r\n" + big));
    ASSERT_TRUE(http.Post(endless.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpInvalid);
    endless.Stop();

    // A header line that never ends.
    cLoopbackServer header(Reply("HTTP/1.0 200 OK\r\nX: " + std::string(100000, 'h')));
    ASSERT_TRUE(http.Post(header.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpInvalid);
}

TEST(HttpTransfer, ConnectionAndNameFailures)
{
    cTransferHTTP http;
    cClosedPort closed;
    ASSERT_TRUE(http.Post("http://127.0.0.1:" + std::to_string(closed.Port()) + "/", "Data=1"));
    // A refusal inside connect itself is a failed connection; one that shows
    // up while the connect is in progress (Linux loopback does that) is a
    // socket failure. Either way nothing may be sent or reported finished.
    const int refused = WaitForEnd(http);
    EXPECT_TRUE(refused == cTransferHTTP::e_httpSocket || refused == cTransferHTTP::e_httpConnect)
        << refused;

    ASSERT_TRUE(http.Post("http://127.0.0.1:70000/", "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpConnect) << "port outside 16 bits";

    std::string asked;
    http.SetResolver([&asked](const std::string& host) -> std::optional<uint32_t> {
        asked = host;
        return std::nullopt;
    });
    ASSERT_TRUE(http.Post("http://scores.example:81/x", "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpNoHost);
    EXPECT_EQ(asked, "scores.example");

    // The real resolver on a name that can never exist.
    http.SetResolver(nullptr);
    ASSERT_TRUE(http.Post("http://name.invalid/", "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpNoHost);
}

TEST(HttpTransfer, PeerClosingWhileTheRequestIsSentFailsWithoutSignal)
{
    // The server takes the connection, waits for the first bytes of the
    // request and resets it: the client's next send fails instead of killing
    // the process with SIGPIPE. Waiting for those bytes keeps the reset out
    // of the connect, which a client delayed on a busy machine would
    // otherwise see as a socket failure.
    // Far more than the socket buffers of both ends hold (a few MB by
    // default), built in one allocation: filling fresh memory is what takes
    // the time of this test on a loaded machine.
    std::string body = "Data=";
    body.resize(body.size() + (16u << 20), 'b');
    cLoopbackServer server(
        [](cTcpSocket& socket, const std::atomic<bool>& quit) {
            const auto start = Clock::now();
            while (!quit && SecondsSince(start) < 10.0) {
                if (socket.Wait(true, false, 50) != cTcpSocket::e_ready)
                    continue;
                char first[16];
                if (socket.Recv(first, sizeof(first)) != cTcpSocket::e_wouldBlock)
                    break;
            }
            socket.Abort();
        },
        false);
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(server.Url(), body));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpSend);
    const std::string rest = http.GetRequest();
    EXPECT_FALSE(rest.empty()) << "what was not sent stays";
    EXPECT_LT(rest.size(), body.size()) << "the server saw the start of the request";
    EXPECT_EQ(rest.find_first_not_of('b'), std::string::npos);
}

TEST(HttpCancel, CancellingASlowTransferEndsItQuickly)
{
    std::atomic<bool> sent{false};
    cLoopbackServer server(
        ReplyAndHold("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabc", &sent));
    cTransferHTTP http;
    ASSERT_TRUE(http.Post(server.Url(), "Data=1"));
    const auto posted = Clock::now();
    while (!sent && SecondsSince(posted) < 5.0)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // Time for the client to read what was sent.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_TRUE(http.IsRunning());
    EXPECT_EQ(http.GetState(), cTransferHTTP::e_httpRunning);

    const auto start = Clock::now();
    http.RequestCancel();
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpCancelled);
    EXPECT_LT(SecondsSince(start), PromptEnd());
    EXPECT_EQ(http.GetBody(), "abc") << "what arrived stays until the reset";

    http.Reset();
    EXPECT_EQ(http.GetState(), cTransferHTTP::e_httpIdle);
    EXPECT_EQ(http.GetBody(), "");
}

TEST(HttpCancel, ResetAndDestructionWaitOnlyBriefly)
{
    {
        // Twenty resets in less than one 20 ms wait round each: robust
        // against a single preemption, yet a reset that waited would miss it.
        cTransferHTTP idle;
        const auto start = Clock::now();
        for (int i = 0; i < 20; ++i)
            idle.Reset();
        EXPECT_LT(SecondsSince(start), vektest::Scaled(0.2)) << "nothing to wait for";
    }

    cLoopbackServer slow(ReplyAndHold("HTTP/1.0 200 OK\r\n\r\npartial"));
    auto http = std::make_unique<cTransferHTTP>();
    ASSERT_TRUE(http->Post(slow.Url(), "Data=1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = Clock::now();
    http->Reset();
    EXPECT_LT(SecondsSince(start), PromptEnd());
    EXPECT_FALSE(http->IsRunning());
    EXPECT_EQ(http->GetState(), cTransferHTTP::e_httpIdle);
    slow.Stop();

    // A new Post cancels the transfer that runs and then does its own.
    cLoopbackServer hold(ReplyAndHold("HTTP/1.0 200 OK\r\n\r\n"));
    cLoopbackServer quick(Reply("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"));
    ASSERT_TRUE(http->Post(hold.Url(), "Data=1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(http->Post(quick.Url(), "Data=2"));
    EXPECT_EQ(WaitForEnd(*http), cTransferHTTP::e_httpFinished);
    EXPECT_EQ(http->GetBody(), "ok");
    hold.Stop();

    cLoopbackServer last(ReplyAndHold("HTTP/1.0 200 OK\r\n\r\n"));
    ASSERT_TRUE(http->Post(last.Url(), "Data=3"));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    start = Clock::now();
    http.reset();
    EXPECT_LT(SecondsSince(start), PromptEnd()) << "the destructor cancels and joins";
}

TEST(HttpCancel, TimeLimitEndsAStalledTransfer)
{
    cLoopbackServer server(ReplyAndHold("HTTP/1.0 200 OK\r\n"));
    cTransferHTTP http;
    http.SetTimeLimit(300);
    const auto start = Clock::now();
    ASSERT_TRUE(http.Post(server.Url(), "Data=1"));
    EXPECT_EQ(WaitForEnd(http), cTransferHTTP::e_httpCancelled);
    const double took = SecondsSince(start);
    EXPECT_GE(took, 0.25);
    EXPECT_LT(took, 0.3 + PromptEnd());
}

TEST(HttpLog, FailuresAreLoggedByTheOwnerInOrder)
{
    const std::string app = vektest::MakeTempDir("HttpLog");
    vek::SetPathMacro(vek::e_macroAppPath, app);
    {
        vek::cLog log(1024.0f, 768.0f);
        cTransferHTTP http;
        http.SetResolver([](const std::string&) { return std::optional<uint32_t>(); });
        ASSERT_TRUE(http.Post("http://nowhere.example/", "Data=1"));
        WaitForEnd(http);

        cLoopbackServer slow(ReplyAndHold("HTTP/1.0 200 OK\r\n"));
        http.SetResolver(nullptr);
        ASSERT_TRUE(http.Post(slow.Url(), "Data=1"));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        http.Reset();
    }
    const std::string text = vektest::ReadFile(app + "/_log.html");
    const size_t noHost = text.find("<span class='sender'>cTransferHTTP: </span><span class='warning'>"
                                    "Fail: url transfromation<br />");
    const size_t cancelled = text.find("Fail: unknown reason<br />");
    EXPECT_NE(noHost, std::string::npos) << text;
    EXPECT_NE(cancelled, std::string::npos) << text;
    EXPECT_LT(noHost, cancelled);
}

} // namespace
