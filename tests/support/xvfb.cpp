#include "support/xvfb.h"

#include "support/time_scale.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vektest {

bool cXvfb::Start(int width, int height, int depth)
{
    Stop();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    const std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // The server writes its display number to this descriptor once it
        // takes connections.
        const int out = dup(fds[1]);
        const std::string fd = std::to_string(out);
        const int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    m_iPid = pid;

    std::string number;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(Scaled(20.0));
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fds[0], POLLIN, 0};
        const int r = poll(&p, 1, 100);
        if (r < 0 && errno != EINTR) break;
        if (r <= 0) continue;
        char c = 0;
        const ssize_t n = read(fds[0], &c, 1);
        if (n <= 0 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        Stop();
        return false;
    }
    m_strDisplay = ":" + number;
    return true;
}

void cXvfb::Stop()
{
    if (m_iPid > 0) {
        kill(m_iPid, SIGKILL);
        waitpid(m_iPid, nullptr, 0);
    }
    m_iPid = -1;
    m_strDisplay.clear();
}

} // namespace vektest
