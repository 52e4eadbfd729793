#include "engine/app/sysinfo.h"

#include <cstring>

#include "engine/core/format.h"
#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "engine/graphics/render.h"
#include "platform/clock.h"

namespace vek {

namespace {

// The records hold texts of up to 511 characters.
constexpr size_t c_uMaxText = 511;

string Clip(const std::string& text)
{
    return string(text.substr(0, c_uMaxText));
}

// Four little-endian register bytes appended as characters.
void AppendRegister(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A fixed-size character field ends at its first zero byte.
string FieldText(const std::string& raw)
{
    return string(raw.substr(0, raw.find('\0')));
}

// The engine's own writers of the sections other subsystems own. Each
// writes nothing while its subsystem is absent, except the sound dump, which
// says itself that there is no sound manager.
void WriteResolutions()
{
    if (g_pGame) g_pGame->DumpResolutions();
}

void WriteSoundConfig() { cSoundManager::DumpConfig(); }

void WriteRenderCaps()
{
    if (g_pRender) g_pRender->DumpCaps();
}

struct cSectionWriter {
    const char* szWord;
    void (*fnWriter)();
};

// The sections that other parts of the engine write, in report order.
const cSectionWriter c_OwnedSections[] = {
    {"res", WriteResolutions},
    {"sound", WriteSoundConfig},
    {"render", WriteRenderCaps},
};

const char c_szHeader[] =
    "-----------------------------  System Information  ----------------------------\n";

} // namespace

void FillCpuIdentity(cCpuInfo& info, const fnCpuId& cpuid)
{
    platform::cCpuIdRegs r;
    std::string raw;
    if (cpuid(0, r)) {
        AppendRegister(raw, r.ebx);
        AppendRegister(raw, r.edx);
        AppendRegister(raw, r.ecx);
    }
    info.strVendor = FieldText(raw);

    if (cpuid(1, r)) {
        info.iFamily = static_cast<int32_t>((r.eax >> 8) & 0xf);
        info.bCMOV = (r.edx >> 15) & 1;
        info.bMMX = (r.edx >> 23) & 1;
        info.bSSE = (r.edx >> 25) & 1;
        info.bSSE2 = (r.edx >> 26) & 1;
        info.bHyperThreading = (r.edx >> 28) & 1;
    }

    raw.clear();
    uint32_t maxExtended = 0;
    if (cpuid(0x80000000u, r))
        maxExtended = r.eax;
    if (maxExtended >= 0x80000001u && cpuid(0x80000001u, r)) {
        info.b3DNow = (r.edx >> 31) & 1;
        info.b3DNowExt = (r.edx >> 30) & 1;
        info.bMMXExt = (r.edx >> 22) & 1;
    }
    if (maxExtended >= 0x80000004u) {
        for (uint32_t leaf = 0x80000002u; leaf <= 0x80000004u; ++leaf) {
            if (!cpuid(leaf, r)) {
                raw.clear();
                break;
            }
            AppendRegister(raw, r.eax);
            AppendRegister(raw, r.ebx);
            AppendRegister(raw, r.ecx);
            AppendRegister(raw, r.edx);
        }
    }
    info.strBrand = FieldText(raw);
}

int64_t ComputeCpuClock(uint64_t stampTicks, int64_t counterFrequency, int64_t counterTicks)
{
    if (counterTicks <= 0 || counterFrequency <= 0)
        return 0;
    // In doubles: the 64-bit product of ticks and a nanosecond frequency overflows.
    const double hz = static_cast<double>(stampTicks) * static_cast<double>(counterFrequency)
                      / static_cast<double>(counterTicks);
    return hz < 9.2e18 ? static_cast<int64_t>(hz) : 0;
}

void FillCpuInfo(cCpuInfo& info)
{
    info = cCpuInfo();
    FillCpuIdentity(info, platform::CpuId);
    info.iCount = platform::GetProcessorCount();

    platform::iClock& clock = platform::SystemClock();
    const int64_t frequency = clock.Frequency();
    const int64_t counter0 = clock.Counter();
    const uint64_t stamp0 = platform::ReadTimeStampCounter();
    // The loop only has to take a measurable while; the volatile index keeps
    // the optimiser from removing it.
    for (volatile int i = 0; i < 1000000; i = i + 1) {
    }
    const uint64_t stamp1 = platform::ReadTimeStampCounter();
    const int64_t counter1 = clock.Counter();
    info.iClock = ComputeCpuClock(stamp1 - stamp0, frequency, counter1 - counter0);
}

void FillOsInfo(cOsInfo& info)
{
    info = cOsInfo();
    const std::string name = platform::GetOsPrettyName();
    info.strProduct = Clip(name.empty() ? std::string("Linux") : name);
    const platform::cKernelInfo kernel = platform::GetKernelInfo();
    if (!kernel.release.empty()) {
        std::string build = "Linux " + kernel.release;
        if (!kernel.machine.empty())
            build += " (" + kernel.machine + ")";
        info.strServicePack = Clip(build);
    }
}

void FillVideoInfo(cVideoInfo& info)
{
    info = cVideoInfo();
    const platform::cVideoNames names = platform::GetVideoNames();
    if (names.driver.empty())
        return;
    info.strAdapter = Clip("SDL " + names.driver);
    info.strMonitor = Clip(names.display);
}

string FormatCpuSection(const cCpuInfo& info)
{
    string text;
    AppendFormat(text,
                 "CPU:\n  Count: %i\n  Name: %s\n  Vendor: %s\n  Family: %i\n  Frequency: ~%iMGz\n"
                 "  Extensions: ",
                 info.iCount, info.strBrand, info.strVendor, info.iFamily,
                 static_cast<double>(info.iClock) / 1000000.0);
    const struct {
        bool present;
        const char* text;
    } flags[] = {
        {info.bMMX, "MMX"},          {info.bMMXExt, ", MMX Ext"},    {info.bSSE, ", SSE"},
        {info.bSSE2, ", SSE2"},      {info.b3DNow, ", 3DNow!"},      {info.b3DNowExt, ", 3DNow! Ext"},
        {info.bHyperThreading, ", Hyper-Threading"},
    };
    for (const auto& flag : flags)
        if (flag.present)
            text += flag.text;
    text += "\n";
    return text;
}

string FormatOsSection(const cOsInfo& info)
{
    string text = "Operating System:\n";
    AppendFormat(text, "  %s", info.strProduct);
    if (!info.strEdition.empty())
        AppendFormat(text, " %s", info.strEdition);
    if (!info.strServicePack.empty())
        AppendFormat(text, " %s", info.strServicePack);
    text += "\n";
    return text;
}

string FormatVideoSection(const cVideoInfo& info)
{
    string text;
    AppendFormat(text, "Video:\n  Adapter: %s\n  Monitor: %s\n", info.strAdapter, info.strMonitor);
    return text;
}

bool IsInfoSectionChosen(const char* words, const char* word)
{
    return words && (words[0] == '\0' || std::strstr(words, word) != nullptr);
}

void WriteSystemInfo(const char* words, const std::function<void(const string&)>& out)
{
    if (!words)
        return;
    out(c_szHeader);
    if (IsInfoSectionChosen(words, "cpu")) {
        cCpuInfo info;
        FillCpuInfo(info);
        out(FormatCpuSection(info));
    }
    if (IsInfoSectionChosen(words, "os")) {
        cOsInfo info;
        FillOsInfo(info);
        out(FormatOsSection(info));
    }
    if (IsInfoSectionChosen(words, "video")) {
        cVideoInfo info;
        FillVideoInfo(info);
        out(FormatVideoSection(info));
    }
    for (const cSectionWriter& section : c_OwnedSections)
        if (IsInfoSectionChosen(words, section.szWord))
            section.fnWriter();
    out(string(79, '-') + "\n");
}

bool DumpSystemInfo(const char* words)
{
    WriteSystemInfo(words, [](const string& text) { LogContinuation("%s", text); });
    return true;
}

} // namespace vek
