#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace vek::platform {

namespace {

class cSteadyClock : public iClock {
public:
    int64_t Counter() override
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    int64_t Frequency() override { return 1000000000; }
};

const char* const g_szDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const g_szMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

iClock& SystemClock()
{
    static cSteadyClock clock;
    return clock;
}

void SleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double ThreadProcessorSeconds()
{
    timespec ts{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0) return 0.0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

cLocalTime GetLocalTimeNow()
{
    cLocalTime result;
    timespec ts{};
    if (clock_gettime(CLOCK_REALTIME, &ts) != 0) return result;
    std::tm tm{};
    if (!localtime_r(&ts.tv_sec, &tm)) return result;
    result.hour = tm.tm_hour;
    result.minute = tm.tm_min;
    result.second = tm.tm_sec;
    result.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return result;
}

std::string FormatCTime(std::time_t when)
{
    std::tm tm{};
    if (!localtime_r(&when, &tm)) return std::string();
    // Names from our own tables so that the text does not depend on the locale.
    const int wday = (tm.tm_wday >= 0 && tm.tm_wday < 7) ? tm.tm_wday : 0;
    const int mon = (tm.tm_mon >= 0 && tm.tm_mon < 12) ? tm.tm_mon : 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s %02d %02d:%02d:%02d %d", g_szDays[wday],
                  g_szMonths[mon], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  tm.tm_year + 1900);
    return buffer;
}

std::string FormatCTime() { return FormatCTime(std::time(nullptr)); }

}  // namespace vek::platform
