#pragma once
// What the machine is: processor identification and counters, the operating
// system's names and the video driver's names. The engine turns these into
// its system-information report; nothing here logs.
#include <cstdint>
#include <string>

namespace vek::platform {

// The four registers of one cpuid leaf.
struct cCpuIdRegs {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// Runs cpuid for the leaf; false (registers zero) on processors without
// cpuid and for leaves beyond the highest one the processor reports.
bool CpuId(uint32_t leaf, cCpuIdRegs& regs);

// The processor's time-stamp counter; 0 on processors without one.
uint64_t ReadTimeStampCounter();

// Processors online (at least 1).
int GetProcessorCount();

// The distribution's name ("PRETTY_NAME" of os-release), empty when unknown.
std::string GetOsPrettyName();
// The value of PRETTY_NAME in os-release text (quotes and escapes removed),
// falling back to NAME; empty when neither is there.
std::string ParseOsReleaseName(const std::string& text);

// Kernel release and machine ("6.1.0-13-amd64", "x86_64"); empty on failure.
struct cKernelInfo {
    std::string release, machine;
};
cKernelInfo GetKernelInfo();

// The video driver and the first display as the window system names them.
// Both empty when no video driver can be started.
struct cVideoNames {
    std::string driver, display;
};
cVideoNames GetVideoNames();

} // namespace vek::platform
