#pragma once
// Monotonic counter, sleeping and the local time.
#include <cstdint>
#include <ctime>
#include <string>

namespace vek::platform {

// A monotonic tick counter; tests inject a fake one.
class iClock {
public:
    virtual ~iClock() = default;
    virtual int64_t Counter() = 0;    // monotonic ticks
    virtual int64_t Frequency() = 0;  // ticks per second
};

// The steady system clock, 1 000 000 000 ticks per second.
iClock& SystemClock();

// A clock that moves only when told to (tests).
class cManualClock : public iClock {
public:
    explicit cManualClock(int64_t frequency = 1000000000) : m_iFrequency(frequency) {}
    int64_t Counter() override { return m_iCounter; }
    int64_t Frequency() override { return m_iFrequency; }
    void Advance(int64_t ticks) { m_iCounter += ticks; }
    void AdvanceSeconds(double seconds)
    {
        m_iCounter += static_cast<int64_t>(seconds * static_cast<double>(m_iFrequency));
    }

private:
    int64_t m_iCounter = 0;
    int64_t m_iFrequency;
};

void SleepMs(unsigned ms);

// The processor time the calling thread has used so far, user and system
// together, in seconds (0 when the system cannot tell).
double ThreadProcessorSeconds();

struct cLocalTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
cLocalTime GetLocalTimeNow();

// The 24-character time text of the log: "Wed Jan 02 02:03:55 1980" (weekday,
// month, zero-padded day, time, year; English names whatever the locale).
std::string FormatCTime();
std::string FormatCTime(std::time_t when);

}  // namespace vek::platform
