#pragma once
// The system-information report: what the processor, the operating system
// and the video hardware are, written to the console and the HTML log as
// continuation text between a header line and a closing line. Scripts reach
// it as "info".
#include <cstdint>
#include <functional>

#include "engine/core/vekstring.h"
#include "platform/sysinfo.h"

namespace vek {

// The processor record. Texts are empty when the processor cannot tell.
struct cCpuInfo {
    string strVendor;       // cpuid leaf 0, registers EBX EDX ECX (12 characters)
    string strBrand;        // leaves 0x80000002..4 (48 characters)
    int32_t iFamily = 0;    // leaf 1, EAX bits 8..11
    bool bCMOV = false;
    bool bMMX = false;
    bool bSSE = false;
    bool bSSE2 = false;
    bool bHyperThreading = false;
    bool b3DNow = false;
    bool b3DNowExt = false;
    bool bMMXExt = false;
    int64_t iClock = 0;     // Hz; 0 when it could not be measured
    int32_t iCount = 1;
};

// The operating-system record: product name, edition, build text.
struct cOsInfo {
    string strProduct;
    string strEdition;
    string strServicePack;
};

// The video record: adapter and monitor names.
struct cVideoInfo {
    string strAdapter;
    string strMonitor;
};

// Reads one cpuid leaf (tests pass their own).
using fnCpuId = std::function<bool(uint32_t leaf, platform::cCpuIdRegs& regs)>;

// Vendor, brand, family and feature flags from cpuid; the clock and the
// count are left alone.
void FillCpuIdentity(cCpuInfo& info, const fnCpuId& cpuid);
// The whole record of this machine, the clock measured.
void FillCpuInfo(cCpuInfo& info);
// Time-stamp ticks per second from a time-stamp difference and a counter
// difference at the counter's frequency; 0 when the counter did not move.
int64_t ComputeCpuClock(uint64_t stampTicks, int64_t counterFrequency, int64_t counterTicks);
void FillOsInfo(cOsInfo& info);
void FillVideoInfo(cVideoInfo& info);

// The texts of the three sections, each ending with a line feed.
string FormatCpuSection(const cCpuInfo& info);
string FormatOsSection(const cOsInfo& info);
string FormatVideoSection(const cVideoInfo& info);

// A section is chosen when the words are empty (all sections) or contain its
// word anywhere ("cpu os video").
bool IsInfoSectionChosen(const char* words, const char* word);

// Writes the header, the chosen sections in the order cpu, os, video, res,
// sound, render, and the closing line. A null string writes nothing. Always
// true (the script function "info" returns it).
//
// The sections "res" (the display modes of the engine object), "sound" (the
// sound manager's configuration) and "render" (the renderer's capabilities)
// belong to those parts of the engine, which write their own continuation
// text; "res" and "render" write nothing while their part is absent.
bool DumpSystemInfo(const char* words);

// The same, with the text of the header, the closing line and the cpu, os and
// video sections handed to out instead of the log.
void WriteSystemInfo(const char* words, const std::function<void(const string&)>& out);

} // namespace vek
