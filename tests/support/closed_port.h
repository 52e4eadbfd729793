#pragma once
// Holds a loopback port bound but not listening: connecting to it is
// refused, and as long as it is held no other program (a test running in
// parallel) can listen there.
#include <arpa/inet.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vektest {

class cClosedPort {
public:
    cClosedPort()
    {
        m_iFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(sa);
        if (m_iFd >= 0 && bind(m_iFd, reinterpret_cast<sockaddr*>(&sa), sizeof(sa)) == 0
            && getsockname(m_iFd, reinterpret_cast<sockaddr*>(&sa), &len) == 0)
            m_uPort = ntohs(sa.sin_port);
        EXPECT_NE(m_uPort, 0);
    }
    ~cClosedPort()
    {
        if (m_iFd >= 0) close(m_iFd);
    }
    cClosedPort(const cClosedPort&) = delete;
    cClosedPort& operator=(const cClosedPort&) = delete;
    uint16_t Port() const { return m_uPort; }

private:
    int m_iFd = -1;
    uint16_t m_uPort = 0;
};

} // namespace vektest
