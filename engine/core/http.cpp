#include "engine/core/http.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <system_error>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "platform/net.h"

namespace vek {

namespace {

const char* FailureText(int state)
{
    switch (state) {
    case cTransferHTTP::e_httpNotFound: return "Fail: url not found (error 404)\n";
    case cTransferHTTP::e_httpInvalid: return "Fail: url invalid\n";
    case cTransferHTTP::e_httpCancelled: return "Fail: unknown reason\n";
    case cTransferHTTP::e_httpSocket: return "Fail: WinSocket\n";
    case cTransferHTTP::e_httpNoHost: return "Fail: url transfromation\n";
    case cTransferHTTP::e_httpConnect: return "Fail: connection failed\n";
    case cTransferHTTP::e_httpSend: return "Fail: disconnected\n";
    default: return nullptr;
    }
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

cTransferHTTP::cTransferHTTP() : m_fnResolver(platform::ResolveIPv4) {}

cTransferHTTP::~cTransferHTTP()
{
    RequestCancel();
    while (m_bRunning.load(std::memory_order_acquire))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (m_Thread.joinable())
        m_Thread.join();
    WriteQueuedLog();
}

void cTransferHTTP::SetResolver(fnResolver resolver)
{
    m_fnResolver = resolver ? std::move(resolver) : fnResolver(platform::ResolveIPv4);
}

void cTransferHTTP::RequestCancel()
{
    m_bCancel.store(true, std::memory_order_release);
    m_bStop.store(true, std::memory_order_release);
}

int cTransferHTTP::GetState()
{
    WriteQueuedLog();
    return m_iState.load(std::memory_order_acquire);
}

string cTransferHTTP::GetBody() const
{
    return IsRunning() ? string() : m_strBody;
}

string cTransferHTTP::GetRequest() const
{
    return IsRunning() ? string() : m_strRequest;
}

void cTransferHTTP::Reset()
{
    if (m_bStarted.load(std::memory_order_acquire)) {
        RequestCancel();
        while (m_bRunning.load(std::memory_order_acquire))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The worker has cleared its flags; it only has to return.
    if (m_Thread.joinable())
        m_Thread.join();
    WriteQueuedLog();
    m_iState.store(e_httpIdle, std::memory_order_release);
    m_strBody.clear();
    m_bStop.store(false, std::memory_order_release);
    m_bCancel.store(false, std::memory_order_release);
    m_strRequest.clear();
    m_strPath.clear();
}

void cTransferHTTP::SplitUrl(const string& url)
{
    Reset();
    m_bStop.store(false, std::memory_order_release);
    m_bCancel.store(false, std::memory_order_release);
    m_iState.store(e_httpRunning, std::memory_order_release);
    m_strBody.clear();
    m_iPort = 80;

    size_t hostStart = url.find("//");
    hostStart = hostStart == std::string::npos ? 0 : hostStart + 2;
    std::string hostPart;
    const size_t slash = url.find('/', hostStart);
    if (slash == std::string::npos) {
        hostPart = url.substr(hostStart);
        m_strPath = "/";
    } else {
        hostPart = url.substr(hostStart, slash - hostStart);
        m_strPath = url.substr(slash);
    }
    const size_t colon = hostPart.find(':');
    if (colon == std::string::npos) {
        m_strHost = hostPart;
    } else {
        m_strHost = hostPart.substr(0, colon);
        m_iPort = StringToInt(hostPart, colon + 1);
    }
}

bool cTransferHTTP::Post(const string& url, const string& body)
{
    SplitUrl(url);
    std::string& request = m_strRequest;
    request = "POST ";
    request += m_strPath;
    request += " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n";
    request += "User-Agent: Mozilla/4.0 (compatible; lumdra)\r\nHost: ";
    request += m_strHost;
    request += "\r\nContent-Length: ";
    request += std::to_string(body.size());
    request += "\r\nConnection: close\r\n\r\n";
    m_strRequest += body;

    m_tDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_iTimeLimitMs);
    m_bRunning.store(true, std::memory_order_release);
    m_bStarted.store(true, std::memory_order_release);
    try {
        m_Thread = std::thread(&cTransferHTTP::Worker, this);
    } catch (const std::system_error&) {
        m_bRunning.store(false, std::memory_order_release);
        m_bStarted.store(false, std::memory_order_release);
        Fail(e_httpSocket);
        WriteQueuedLog();
        return false;
    }
    return true;
}

void cTransferHTTP::Fail(eState state)
{
    {
        std::lock_guard<std::mutex> lock(m_LogMutex);
        m_vecLogQueue.push_back(state);
    }
    m_iState.store(state, std::memory_order_release);
    m_bStop.store(true, std::memory_order_release);
}

void cTransferHTTP::WriteQueuedLog()
{
    std::vector<eState> queue;
    {
        std::lock_guard<std::mutex> lock(m_LogMutex);
        queue.swap(m_vecLogQueue);
    }
    for (eState state : queue)
        if (const char* text = FailureText(state))
            LogWarning("cTransferHTTP", text);
}

bool cTransferHTTP::WaitSocket(platform::cTcpSocket& socket, bool read, bool write)
{
    using namespace std::chrono;
    while (!Stopped()) {
        const auto left = duration_cast<milliseconds>(m_tDeadline - steady_clock::now()).count();
        if (left <= 0) {
            // Out of time: end the way a cancellation by the owner does.
            RequestCancel();
            return true;
        }
        switch (socket.Wait(read, write, static_cast<int>(std::min<long long>(left, 100)))) {
        case platform::cTcpSocket::e_ready: return true;
        case platform::cTcpSocket::e_error: Fail(e_httpSocket); return false;
        case platform::cTcpSocket::e_timeout: break;
        }
    }
    return true;
}

void cTransferHTTP::Worker()
{
    platform::cTcpSocket socket;
    if (!socket.Create()) {
        Fail(e_httpSocket);
    } else if (!Stopped()) {
        const std::optional<uint32_t> address = m_fnResolver(m_strHost);
        if (!address) {
            Fail(e_httpNoHost);
        } else if (m_iPort < 1 || m_iPort > 65535) {
            // A port that does not fit 16 bits would silently reach another one.
            Fail(e_httpConnect);
        } else {
            switch (socket.Connect(*address, static_cast<uint16_t>(m_iPort))) {
            case platform::cTcpSocket::e_connectFailed: Fail(e_httpConnect); break;
            case platform::cTcpSocket::e_connecting: WaitSocket(socket, false, true); break;
            case platform::cTcpSocket::e_connected: break;
            }
            // The sent part is dropped from the request once at the end, so
            // that a large request is not moved after every send.
            size_t done = 0;
            while (done < m_strRequest.size() && !Stopped()) {
                if (!WaitSocket(socket, false, true) || Stopped())
                    break;
                const long sent = socket.Send(m_strRequest.data() + done, m_strRequest.size() - done);
                if (sent == platform::cTcpSocket::e_wouldBlock)
                    continue;
                if (sent < 1) {
                    Fail(e_httpSend);
                    break;
                }
                done += static_cast<size_t>(sent);
            }
            m_strRequest.erase(0, done);
            if (!Stopped())
                Receive(socket);
        }
    }
    socket.Close();

    if (m_bCancel.load(std::memory_order_acquire))
        Fail(e_httpCancelled);
    else {
        int32_t running = e_httpRunning;
        m_iState.compare_exchange_strong(running, e_httpFinished, std::memory_order_acq_rel);
    }
    m_bStarted.store(false, std::memory_order_release);
    m_bRunning.store(false, std::memory_order_release);
}

void cTransferHTTP::Receive(platform::cTcpSocket& socket)
{
    std::string buffer;
    size_t pos = 0;
    bool needMore = true;     // the bytes at pos cannot be parsed yet
    bool header = true;
    bool statusSeen = false;
    bool chunked = false;
    long long expected = 0;
    bool chunkOpen = false;
    unsigned long long chunkLeft = 0;
    size_t skip = 0;          // bytes of the line break after a chunk still to drop

    for (;;) {
        if (needMore || pos >= buffer.size()) {
            buffer.erase(0, std::min(pos, buffer.size()));
            pos = 0;
            if (buffer.size() > c_uMaxHeaderLine) {
                Fail(e_httpInvalid);
                break;
            }
            if (!WaitSocket(socket, true, false) || Stopped())
                break;
            char chunk[256];
            const long got = socket.Recv(chunk, sizeof(chunk));
            if (got == platform::cTcpSocket::e_wouldBlock)
                continue;
            if (got < 1)
                break;
            buffer.append(chunk, static_cast<size_t>(got));
            needMore = false;
        }

        if (header) {
            const size_t end = buffer.find("\r\n", pos);
            if (end == std::string::npos) {
                needMore = true;
                continue;
            }
            const std::string line = buffer.substr(pos, end - pos);
            pos = end + 2;
            if (StartsWith(line, "HTTP/1.")) {
                statusSeen = true;
                const std::string status = line.size() >= 12 ? line.substr(9, 3) : std::string();
                if (status == "404")
                    Fail(e_httpNotFound);
                else if (status != "200")
                    Fail(e_httpInvalid);
            } else if (line == "Transfer-Encoding: chunked") {
                chunked = true;
            } else if (StartsWith(line, "Transfer-Encoding: ")) {
                if (line.compare(19, std::string::npos, "identity") != 0)
                    chunked = true;
            } else if (StartsWith(line, "Content-Length: ")) {
                expected = StringToInt(line, 16);
            } else if (line.empty()) {
                header = false;
            }
        } else if (chunked) {
            if (skip > 0) {
                const size_t n = std::min(skip, buffer.size() - pos);
                pos += n;
                skip -= n;
            } else if (!chunkOpen) {
                const size_t end = buffer.find("\r\n", pos);
                if (end == std::string::npos) {
                    needMore = true;
                    continue;
                }
                std::string sizeLine = buffer.substr(pos, end - pos);
                TrimLeft(sizeLine);
                TrimRight(sizeLine);
                chunkLeft = std::strtoull(sizeLine.c_str(), nullptr, 16);
                if (chunkLeft == 0)
                    break;
                pos = end + 2;
                chunkOpen = true;
            } else {
                const size_t n = static_cast<size_t>(
                    std::min<unsigned long long>(chunkLeft, buffer.size() - pos));
                m_strBody.append(buffer, pos, n);
                pos += n;
                chunkLeft -= n;
                if (chunkLeft == 0) {
                    chunkOpen = false;
                    skip = 2;
                }
            }
        } else if (expected >= 1) {
            const size_t want = static_cast<size_t>(expected) - std::min(m_strBody.size(), static_cast<size_t>(expected));
            const size_t n = std::min(want, buffer.size() - pos);
            m_strBody.append(buffer, pos, n);
            pos += n;
            if (m_strBody.size() >= static_cast<size_t>(expected))
                break;
        } else {
            m_strBody.append(buffer, pos, std::string::npos);
            pos = buffer.size();
        }

        if (m_strBody.size() > c_uMaxBody) {
            Fail(e_httpInvalid);
            break;
        }
        if (Stopped())
            break;
    }

    // A peer that sends nothing, or anything but an HTTP reply, has not
    // delivered what was asked for.
    if (!statusSeen && !Stopped())
        Fail(e_httpInvalid);
}

} // namespace vek
