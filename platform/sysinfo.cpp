#include "platform/sysinfo.h"

#include <SDL.h>
#include <fstream>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define VEK_HAVE_CPUID 1
#endif

namespace vek::platform {

bool CpuId(uint32_t leaf, cCpuIdRegs& regs)
{
    regs = cCpuIdRegs();
#ifdef VEK_HAVE_CPUID
    unsigned a = 0, b = 0, c = 0, d = 0;
    // __get_cpuid checks the leaf against the highest one of its range first.
    if (!__get_cpuid(leaf, &a, &b, &c, &d))
        return false;
    regs.eax = a;
    regs.ebx = b;
    regs.ecx = c;
    regs.edx = d;
    return true;
#else
    (void)leaf;
    return false;
#endif
}

uint64_t ReadTimeStampCounter()
{
#ifdef VEK_HAVE_CPUID
    return __rdtsc();
#else
    return 0;
#endif
}

int GetProcessorCount()
{
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n >= 1 ? static_cast<int>(n) : 1;
}

namespace {

// One value of a shell-style assignment: quotes removed, backslash escapes
// inside double quotes resolved.
std::string UnquoteValue(const std::string& raw)
{
    std::string out;
    char quote = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        } else if (quote != 0 && c == quote) {
            quote = 0;
        } else if (c == '\\' && quote != '\'' && i + 1 < raw.size()) {
            out += raw[++i];
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string ParseOsReleaseName(const std::string& text)
{
    std::string pretty, name;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        if (key == "PRETTY_NAME")
            pretty = UnquoteValue(line.substr(eq + 1));
        else if (key == "NAME")
            name = UnquoteValue(line.substr(eq + 1));
    }
    return pretty.empty() ? name : pretty;
}

std::string GetOsPrettyName()
{
    // os-release may live in either place; /etc wins.
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream file(path);
        if (!file)
            continue;
        std::string text;
        // The file is a handful of lines; a bound keeps a strange one harmless.
        text.resize(16384);
        file.read(&text[0], static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<size_t>(file.gcount()));
        std::string name = ParseOsReleaseName(text);
        if (!name.empty())
            return name;
    }
    return std::string();
}

cKernelInfo GetKernelInfo()
{
    cKernelInfo info;
    utsname u;
    if (uname(&u) == 0) {
        info.release = u.release;
        info.machine = u.machine;
    }
    return info;
}

cVideoNames GetVideoNames()
{
    cVideoNames names;
    // Start the video subsystem only for the question when nobody has yet;
    // SDL counts the starts, so this never stops someone else's.
    const bool started = SDL_WasInit(SDL_INIT_VIDEO) == 0;
    if (started && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return names;
    if (const char* driver = SDL_GetCurrentVideoDriver())
        names.driver = driver;
    if (const char* display = SDL_GetDisplayName(0))
        names.display = display;
    if (started)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return names;
}

} // namespace vek::platform
