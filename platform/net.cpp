#include "platform/net.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vek::platform {

namespace {

bool SetNonBlocking(int fd)
{
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

sockaddr_in MakeAddress(uint32_t address, uint16_t port)
{
    sockaddr_in sa;
    std::memset(&sa, 0, sizeof(sa));
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = address;
    return sa;
}

// poll() that resumes after a signal with the time that is left.
int PollOne(pollfd& pfd, int timeoutMs)
{
    using clock = std::chrono::steady_clock;
    const clock::time_point end = clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int r = poll(&pfd, 1, timeoutMs);
        if (r >= 0 || errno != EINTR)
            return r;
        if (timeoutMs > 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - clock::now());
            timeoutMs = left.count() > 0 ? static_cast<int>(left.count()) : 0;
        }
    }
}

} // namespace

std::optional<uint32_t> ResolveIPv4(const std::string& host)
{
    if (host.empty())
        return std::nullopt;
    in_addr addr;
    if (inet_pton(AF_INET, host.c_str(), &addr) == 1)
        return addr.s_addr;

    addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || !list)
        return std::nullopt;
    std::optional<uint32_t> result;
    for (addrinfo* p = list; p; p = p->ai_next) {
        if (p->ai_family == AF_INET && p->ai_addr && p->ai_addrlen >= sizeof(sockaddr_in)) {
            result = reinterpret_cast<const sockaddr_in*>(p->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    freeaddrinfo(list);
    return result;
}

uint32_t LoopbackIPv4()
{
    return htonl(INADDR_LOOPBACK);
}

// ---- cTcpSocket ----

cTcpSocket::cTcpSocket(cTcpSocket&& other) noexcept
    : m_iFd(other.m_iFd), m_bConnecting(other.m_bConnecting)
{
    other.m_iFd = -1;
    other.m_bConnecting = false;
}

cTcpSocket& cTcpSocket::operator=(cTcpSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        m_iFd = other.m_iFd;
        m_bConnecting = other.m_bConnecting;
        other.m_iFd = -1;
        other.m_bConnecting = false;
    }
    return *this;
}

bool cTcpSocket::Create()
{
    Close();
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return false;
    if (!SetNonBlocking(fd)) {
        close(fd);
        return false;
    }
    m_iFd = fd;
    return true;
}

cTcpSocket::eConnect cTcpSocket::Connect(uint32_t address, uint16_t port)
{
    m_bConnecting = false;
    if (m_iFd < 0)
        return e_connectFailed;
    sockaddr_in sa = MakeAddress(address, port);
    int r;
    do {
        r = connect(m_iFd, reinterpret_cast<const sockaddr*>(&sa), sizeof(sa));
    } while (r != 0 && errno == EINTR);
    if (r == 0)
        return e_connected;
    // EINTR above can leave the connection in progress, which shows as EALREADY.
    if (errno == EINPROGRESS || errno == EALREADY) {
        m_bConnecting = true;
        return e_connecting;
    }
    return e_connectFailed;
}

cTcpSocket::eWait cTcpSocket::Wait(bool read, bool write, int timeoutMs)
{
    if (m_iFd < 0)
        return e_error;
    pollfd pfd;
    pfd.fd = m_iFd;
    pfd.events = static_cast<short>((read ? POLLIN : 0) | (write ? POLLOUT : 0));
    pfd.revents = 0;
    int r = PollOne(pfd, timeoutMs);
    if (r < 0)
        return e_error;
    if (r == 0)
        return e_timeout;
    if (pfd.revents & POLLNVAL)
        return e_error;
    if (m_bConnecting) {
        // Linux shows the end of a non-blocking connect as writable (or as an
        // error / hang-up); only SO_ERROR tells success from failure.
        if (!(pfd.revents & (POLLOUT | POLLERR | POLLHUP)))
            return e_timeout;
        int err = 0;
        socklen_t len = sizeof(err);
        if (getsockopt(m_iFd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0)
            return e_error;
        m_bConnecting = false;
    }
    return e_ready;
}

long cTcpSocket::Send(const void* data, size_t size)
{
    if (m_iFd < 0)
        return -1;
    for (;;) {
        ssize_t n = send(m_iFd, data, size, MSG_NOSIGNAL);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return e_wouldBlock;
        return -1;
    }
}

long cTcpSocket::Recv(void* data, size_t size)
{
    if (m_iFd < 0)
        return -1;
    for (;;) {
        ssize_t n = recv(m_iFd, data, size, 0);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return e_wouldBlock;
        return -1;
    }
}

void cTcpSocket::Abort()
{
    if (m_iFd < 0)
        return;
    linger lg;
    lg.l_onoff = 1;
    lg.l_linger = 0;
    setsockopt(m_iFd, SOL_SOCKET, SO_LINGER, &lg, sizeof(lg));
    Close();
}

void cTcpSocket::Close()
{
    if (m_iFd >= 0)
        close(m_iFd);
    m_iFd = -1;
    m_bConnecting = false;
}

// ---- cTcpListener ----

bool cTcpListener::Listen(uint16_t port)
{
    Close();
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return false;
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    sockaddr_in sa = MakeAddress(LoopbackIPv4(), port);
    socklen_t len = sizeof(sa);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&sa), sizeof(sa)) != 0 || listen(fd, 8) != 0
        || !SetNonBlocking(fd)
        || getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
        close(fd);
        return false;
    }
    m_iFd = fd;
    m_uPort = ntohs(sa.sin_port);
    return true;
}

bool cTcpListener::Accept(cTcpSocket& client, int timeoutMs)
{
    if (m_iFd < 0)
        return false;
    pollfd pfd;
    pfd.fd = m_iFd;
    pfd.events = POLLIN;
    pfd.revents = 0;
    if (PollOne(pfd, timeoutMs) <= 0 || !(pfd.revents & POLLIN))
        return false;
    int fd;
    do {
        fd = accept4(m_iFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    client.Close();
    client.m_iFd = fd;
    return true;
}

void cTcpListener::Close()
{
    if (m_iFd >= 0)
        close(m_iFd);
    m_iFd = -1;
    m_uPort = 0;
}

} // namespace vek::platform
