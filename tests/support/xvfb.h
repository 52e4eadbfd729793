#pragma once
// An X server of the test's own (Xvfb) with one screen of a chosen size, for
// tests that need a desktop of a particular size or an X server they may
// kill. The server ends with the object.
#include <string>
#include <sys/types.h>

namespace vektest {

class cXvfb {
public:
    cXvfb() = default;
    ~cXvfb() { Stop(); }
    cXvfb(const cXvfb&) = delete;
    cXvfb& operator=(const cXvfb&) = delete;

    // Starts the server on a free display number and waits until it takes
    // connections (at most 20 s). False when Xvfb cannot be started.
    bool Start(int width, int height, int depth = 24);
    // Ends the server at once (SIGKILL) and waits for it; idempotent.
    void Stop();
    bool IsRunning() const { return m_iPid > 0; }
    // The display name to put in DISPLAY (":N"); empty before Start.
    const std::string& Display() const { return m_strDisplay; }

private:
    pid_t m_iPid = -1;
    std::string m_strDisplay;
};

} // namespace vektest
