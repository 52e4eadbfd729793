#include "platform/net.h"

#include <gtest/gtest.h>

#include "support/closed_port.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <string>
#include <thread>

namespace {

using vek::platform::cTcpListener;
using vek::platform::cTcpSocket;
using vek::platform::LoopbackIPv4;
using vek::platform::ResolveIPv4;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A connected pair over loopback: client and the server's accepted end.
struct cPair {
    cTcpListener listener;
    cTcpSocket client;
    cTcpSocket server;

    bool Open()
    {
        if (!listener.Listen() || !client.Create())
            return false;
        cTcpSocket::eConnect c = client.Connect(LoopbackIPv4(), listener.GetPort());
        if (c == cTcpSocket::e_connectFailed)
            return false;
        if (!listener.Accept(server, 2000))
            return false;
        return c == cTcpSocket::e_connected || client.Wait(false, true, 2000) == cTcpSocket::e_ready;
    }
};

// Receives exactly n bytes within two seconds.
std::string RecvSome(cTcpSocket& socket, size_t n)
{
    std::string got;
    const auto start = Clock::now();
    while (got.size() < n && SecondsSince(start) < 2.0) {
        if (socket.Wait(true, false, 50) != cTcpSocket::e_ready)
            continue;
        char buffer[64];
        long r = socket.Recv(buffer, std::min(sizeof(buffer), n - got.size()));
        if (r <= 0 && r != cTcpSocket::e_wouldBlock)
            break;
        if (r > 0)
            got.append(buffer, static_cast<size_t>(r));
    }
    return got;
}

using vektest::cClosedPort;

TEST(NetResolve, DottedAddressesAndNames)
{
    std::optional<uint32_t> a = ResolveIPv4("127.0.0.1");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(*a, LoopbackIPv4());
    EXPECT_EQ(*a, htonl(0x7f000001u));

    // The all-ones address is a real address, not the failure marker it is
    // for inet_addr.
    a = ResolveIPv4("255.255.255.255");
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(*a, 0xffffffffu);

    EXPECT_FALSE(ResolveIPv4("").has_value());
    const auto start = Clock::now();
    EXPECT_FALSE(ResolveIPv4("name.invalid").has_value());
    EXPECT_LT(SecondsSince(start), 30.0);
}

TEST(NetSocket, ExchangesBytesOverLoopback)
{
    cPair pair;
    ASSERT_TRUE(pair.Open());

    char buffer[16];
    EXPECT_EQ(pair.server.Recv(buffer, sizeof(buffer)), cTcpSocket::e_wouldBlock)
        << "non-blocking: nothing there yet";
    EXPECT_EQ(pair.server.Wait(true, false, 20), cTcpSocket::e_timeout);

    ASSERT_EQ(pair.client.Send("ping", 4), 4);
    EXPECT_EQ(RecvSome(pair.server, 4), "ping");
    ASSERT_EQ(pair.server.Send("pong!", 5), 5);
    EXPECT_EQ(RecvSome(pair.client, 5), "pong!");

    // An orderly close reads as 0 after the data, and the wait reports it ready.
    ASSERT_EQ(pair.server.Send("end", 3), 3);
    pair.server.Close();
    EXPECT_EQ(RecvSome(pair.client, 3), "end");
    EXPECT_EQ(pair.client.Wait(true, false, 1000), cTcpSocket::e_ready);
    EXPECT_EQ(pair.client.Recv(buffer, sizeof(buffer)), 0);
}

TEST(NetSocket, SendingToAResetPeerFailsWithoutSignal)
{
    cPair pair;
    ASSERT_TRUE(pair.Open());
    pair.server.Abort();

    // The first send may still be taken before the reset is seen; a later
    // one must fail (with SIGPIPE this would end the test program).
    const std::string block(65536, 'x');
    bool failed = false;
    const auto start = Clock::now();
    while (!failed && SecondsSince(start) < 5.0) {
        pair.client.Wait(false, true, 50);
        long n = pair.client.Send(block.data(), block.size());
        failed = n == -1;
    }
    EXPECT_TRUE(failed);
}

TEST(NetSocket, FailuresAreReportedNotHidden)
{
    cTcpSocket closed;
    char c;
    EXPECT_EQ(closed.Wait(true, true, 10), cTcpSocket::e_error);
    EXPECT_EQ(closed.Send("x", 1), -1);
    EXPECT_EQ(closed.Recv(&c, 1), -1);
    EXPECT_EQ(closed.Connect(LoopbackIPv4(), 80), cTcpSocket::e_connectFailed);

    // Connecting where nobody listens: a refusal either inside connect or,
    // with the connect in progress, from the wait; never a writable socket.
    cClosedPort closedPort;
    cTcpSocket socket;
    ASSERT_TRUE(socket.Create());
    cTcpSocket::eConnect r = socket.Connect(LoopbackIPv4(), closedPort.Port());
    if (r == cTcpSocket::e_connecting)
        EXPECT_EQ(socket.Wait(false, true, 2000), cTcpSocket::e_error);
    else
        EXPECT_EQ(r, cTcpSocket::e_connectFailed);

    cTcpListener listener;
    ASSERT_TRUE(listener.Listen());
    cTcpSocket none;
    const auto start = Clock::now();
    EXPECT_FALSE(listener.Accept(none, 30));
    EXPECT_GE(SecondsSince(start), 0.025);
    EXPECT_FALSE(none.IsOpen());
}

} // namespace
