#pragma once
// Plain IPv4 TCP sockets for the engine's HTTP client: name lookup, a
// non-blocking stream socket with bounded waits, and a loopback listener.
//
// Addresses are 32-bit IPv4 addresses in network byte order, as they travel
// in a sockaddr_in. Nothing here logs; callers report failures themselves.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vek::platform {

// A dotted address is taken as it is; any other text is looked up (IPv4
// only) and the first address found is returned. Nothing when the text is
// empty or the name does not resolve. Safe to call from any thread.
std::optional<uint32_t> ResolveIPv4(const std::string& host);

// The loopback address 127.0.0.1 in network byte order.
uint32_t LoopbackIPv4();

class cTcpSocket {
public:
    enum eConnect { e_connected, e_connecting, e_connectFailed };
    enum eWait { e_ready, e_timeout, e_error };
    // Result of Send/Recv when the call would block.
    static constexpr long e_wouldBlock = -2;

    cTcpSocket() = default;
    ~cTcpSocket() { Close(); }
    cTcpSocket(const cTcpSocket&) = delete;
    cTcpSocket& operator=(const cTcpSocket&) = delete;
    cTcpSocket(cTcpSocket&& other) noexcept;
    cTcpSocket& operator=(cTcpSocket&& other) noexcept;

    // A new non-blocking stream socket (closes any previous one).
    bool Create();
    bool IsOpen() const { return m_iFd >= 0; }

    // Starts a connection. e_connecting means the outcome is known only
    // after Wait reports the socket writable.
    eConnect Connect(uint32_t address, uint16_t port);

    // Waits up to timeoutMs for the socket to become readable (read) or
    // writable (write). A connection in progress that turns out to have
    // failed gives e_error; so does a socket that is not open. A peer that
    // hung up counts as ready: the following Recv or Send tells what happened.
    eWait Wait(bool read, bool write, int timeoutMs);

    // Bytes sent, e_wouldBlock, or -1 on failure (never raises SIGPIPE).
    long Send(const void* data, size_t size);
    // Bytes received, 0 when the peer closed, e_wouldBlock, or -1 on failure.
    long Recv(void* data, size_t size);

    // Drops the connection at once with a reset instead of an orderly close.
    void Abort();
    void Close();

private:
    friend class cTcpListener;
    int m_iFd = -1;
    bool m_bConnecting = false;
};

// A listening socket on the loopback address, for local servers.
class cTcpListener {
public:
    cTcpListener() = default;
    ~cTcpListener() { Close(); }
    cTcpListener(const cTcpListener&) = delete;
    cTcpListener& operator=(const cTcpListener&) = delete;

    // Listens on 127.0.0.1 at the given port; 0 picks a free port.
    bool Listen(uint16_t port = 0);
    // The port actually listened on (0 when not listening).
    uint16_t GetPort() const { return m_uPort; }
    // Waits up to timeoutMs for a connection; the accepted socket is non-blocking.
    bool Accept(cTcpSocket& client, int timeoutMs);
    void Close();

private:
    int m_iFd = -1;
    uint16_t m_uPort = 0;
};

} // namespace vek::platform
