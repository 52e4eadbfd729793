#include "support/time_scale.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace vektest {

double TimeScale()
{
    if (const char* text = std::getenv("VEK_TEST_TIME_SCALE")) {
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (end != text && *end == '\0' && value > 0.0 && value <= 1000.0) return value;
    }
    double load = 0.0;
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    if (getloadavg(&load, 1) != 1 || cores < 1) return 1.0;
    return std::max(1.0, load / static_cast<double>(cores));
}

double Scaled(double seconds)
{
    return seconds * TimeScale();
}

double ProcessCpuSeconds()
{
    timespec t{};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) != 0) return 0.0;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace vektest
