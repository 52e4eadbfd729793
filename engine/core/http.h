#pragma once
// One HTTP/1.0 POST of a form body, carried out on a worker thread so that
// the game never blocks on the network. The owner starts a transfer with
// Post, polls GetState, reads the body once the transfer is over and cancels
// with Reset (or RequestCancel, which does not wait).
//
// Threads: the owner writes only the stop and cancel flags while a worker
// runs; the strings belong to the worker until it has cleared its running
// flag. The worker never logs: its failure lines are queued and written by
// the owner's thread (GetState, Reset, Post, the destructor), because the log
// is not safe to call from two threads.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/vekstring.h"

namespace vek {

namespace platform {
class cTcpSocket;
}

class cTransferHTTP {
public:
    enum eState {
        e_httpFinished = 0,     // body complete
        e_httpIdle = 1,         // constructed or reset
        e_httpRunning = 2,
        e_httpNotFound = 3,     // status 404
        e_httpInvalid = 4,      // any other status than 200, or a reply that is no HTTP reply
        e_httpCancelled = 5,    // cancelled by the owner or by the time limit
        e_httpSocket = 6,       // socket failure
        e_httpNoHost = 7,       // host name not resolved
        e_httpConnect = 8,      // connection failed
        e_httpSend = 9,         // send failed
    };

    // Looks a host name up: an IPv4 address in network byte order, or nothing.
    using fnResolver = std::function<std::optional<uint32_t>(const std::string& host)>;

    // The largest response body accepted; a longer one fails with e_httpInvalid.
    static constexpr size_t c_uMaxBody = 1u << 20;
    // The longest header line (or unfinished chunk-size line) accepted.
    static constexpr size_t c_uMaxHeaderLine = 64u << 10;
    // Default for SetTimeLimit.
    static constexpr int c_iDefaultTimeLimitMs = 30000;

    cTransferHTTP();
    // Cancels a running transfer and waits for its worker.
    virtual ~cTransferHTTP();
    cTransferHTTP(const cTransferHTTP&) = delete;
    cTransferHTTP& operator=(const cTransferHTTP&) = delete;

    // Starts a transfer (cancelling one that runs). false when the worker
    // could not be started; the state is then e_httpSocket.
    bool Post(const string& url, const string& body);
    // Cancels a running transfer, waits for its worker, empties request, path
    // and body; state e_httpIdle. Host and port stay.
    void Reset();
    // Resets, then takes host, port and path from the URL; state e_httpRunning.
    void SplitUrl(const string& url);

    // Raises the stop and cancel flags without waiting: a running transfer
    // ends with e_httpCancelled.
    void RequestCancel();

    // The state; also writes the log lines of failures seen since the last call.
    int GetState();
    bool IsRunning() const { return m_bRunning.load(std::memory_order_acquire); }
    bool IsStarted() const { return m_bStarted.load(std::memory_order_acquire); }
    // The body received so far; empty while a worker runs.
    string GetBody() const;

    const string& GetHost() const { return m_strHost; }
    int GetPort() const { return m_iPort; }
    const string& GetPath() const { return m_strPath; }
    // The part of the request not sent yet; empty while a worker runs.
    string GetRequest() const;

    // Replaces the name lookup (tests use it to stay off the network).
    void SetResolver(fnResolver resolver);
    // The longest a transfer may take before it cancels itself. Set before Post.
    void SetTimeLimit(int milliseconds) { m_iTimeLimitMs = milliseconds; }

private:
    void Worker();
    void Receive(platform::cTcpSocket& socket);
    // Waits in 100 ms rounds until the socket is ready or the stop flag rises.
    // false after a socket failure (already recorded); true otherwise, also
    // when stopped, so callers test the stop flag themselves.
    bool WaitSocket(platform::cTcpSocket& socket, bool read, bool write);
    // Records a failure: queues its log line, sets the state, raises stop.
    void Fail(eState state);
    void WriteQueuedLog();
    bool Stopped() const { return m_bStop.load(std::memory_order_acquire); }

    int32_t m_iPort = 80;
    string m_strRequest;
    string m_strHost;
    string m_strPath;
    string m_strBody;
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bStarted{false};
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bCancel{false};
    std::atomic<int32_t> m_iState{e_httpIdle};

    std::thread m_Thread;
    fnResolver m_fnResolver;
    int m_iTimeLimitMs = c_iDefaultTimeLimitMs;
    std::chrono::steady_clock::time_point m_tDeadline;
    std::mutex m_LogMutex;
    std::vector<eState> m_vecLogQueue;
};

} // namespace vek
