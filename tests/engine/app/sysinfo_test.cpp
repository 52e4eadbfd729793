#include "engine/app/sysinfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "support/temp_dir.h"

namespace {

using vek::cCpuInfo;
using vek::string;
using vek::platform::cCpuIdRegs;

uint32_t Chars(const char* four)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(four[i])) << (8 * i);
    return v;
}

// A processor made of cpuid leaves; leaves not listed are not supported.
struct cFakeCpu {
    std::map<uint32_t, cCpuIdRegs> leaves;

    vek::fnCpuId Reader() const
    {
        return [this](uint32_t leaf, cCpuIdRegs& regs) {
            auto it = leaves.find(leaf);
            regs = it == leaves.end() ? cCpuIdRegs() : it->second;
            return it != leaves.end();
        };
    }
    void SetBrand(const char* brand48)
    {
        for (uint32_t i = 0; i < 3; ++i) {
            const char* p = brand48 + 16 * i;
            leaves[0x80000002u + i] = {Chars(p), Chars(p + 4), Chars(p + 8), Chars(p + 12)};
        }
    }
};

TEST(SysInfoCpu, ReadsVendorBrandFamilyAndFlags)
{
    cFakeCpu cpu;
    cpu.leaves[0] = {1, Chars("Genu"), Chars("ntel"), Chars("ineI")};
    // family 6; CMOV, MMX, SSE, SSE2, Hyper-Threading
    cpu.leaves[1] = {0x6f6, 0, 0, (1u << 15) | (1u << 23) | (1u << 25) | (1u << 26) | (1u << 28)};
    cpu.leaves[0x80000000u] = {0x80000004u, 0, 0, 0};
    cpu.leaves[0x80000001u] = {0, 0, 0, (1u << 31) | (1u << 22)};
    char brand[48] = "Test CPU @ 3.00GHz";   // zero-filled after the text
    cpu.SetBrand(brand);

    cCpuInfo info;
    vek::FillCpuIdentity(info, cpu.Reader());
    EXPECT_EQ(info.strVendor, "GenuineIntel");
    EXPECT_EQ(info.strBrand, "Test CPU @ 3.00GHz");
    EXPECT_EQ(info.iFamily, 6);
    EXPECT_TRUE(info.bCMOV && info.bMMX && info.bSSE && info.bSSE2 && info.bHyperThreading);
    EXPECT_TRUE(info.b3DNow);
    EXPECT_FALSE(info.b3DNowExt);
    EXPECT_TRUE(info.bMMXExt);
}

TEST(SysInfoCpu, MissingLeavesLeaveTextsEmpty)
{
    cFakeCpu cpu;   // no cpuid at all
    cCpuInfo info;
    vek::FillCpuIdentity(info, cpu.Reader());
    EXPECT_EQ(info.strVendor, "");
    EXPECT_EQ(info.strBrand, "");
    EXPECT_FALSE(info.bMMX || info.b3DNow);

    // Extended leaves only up to 0x80000001: flags yes, brand no.
    cpu.leaves[0x80000000u] = {0x80000001u, 0, 0, 0};
    cpu.leaves[0x80000001u] = {0, 0, 0, 1u << 30};
    cpu.SetBrand("Never read, as the highest extended leaf is too low...");
    vek::FillCpuIdentity(info, cpu.Reader());
    EXPECT_EQ(info.strBrand, "");
    EXPECT_TRUE(info.b3DNowExt);
}

TEST(SysInfoCpu, ClockFromCounterDifferences)
{
    EXPECT_EQ(vek::ComputeCpuClock(3000000, 1000000000, 1000000), 3000000000);
    // Ticks times a nanosecond frequency overflow 64-bit integers.
    EXPECT_EQ(vek::ComputeCpuClock(30000000000ull, 1000000000, 10000000000), 3000000000);
    EXPECT_EQ(vek::ComputeCpuClock(12345, 1000000000, 0), 0) << "a counter that did not move";
    EXPECT_EQ(vek::ComputeCpuClock(12345, 1000000000, -5), 0);
}

TEST(SysInfoCpu, SectionListsExtensionsInOrder)
{
    cCpuInfo info;
    info.iCount = 4;
    info.strBrand = "Brand";
    info.strVendor = "Vendor";
    info.iFamily = 15;
    info.iClock = 2500000000;
    info.bSSE = true;
    info.bSSE2 = true;
    info.bHyperThreading = true;
    // The clock is passed in MHz as a double, which the engine formatter
    // writes with six decimals whatever the conversion letter says.
    EXPECT_EQ(std::string(vek::FormatCpuSection(info)),
              "CPU:\n  Count: 4\n  Name: Brand\n  Vendor: Vendor\n  Family: 15\n"
              "  Frequency: ~2500.000000MGz\n"
              "  Extensions: , SSE, SSE2, Hyper-Threading\n");

    info = cCpuInfo();
    // 2394.123456 is just below that in binary, and the digits are cut, not rounded.
    info.iClock = 2394123456;
    info.bMMX = info.bMMXExt = info.b3DNow = info.b3DNowExt = true;
    EXPECT_EQ(std::string(vek::FormatCpuSection(info)),
              "CPU:\n  Count: 1\n  Name: \n  Vendor: \n  Family: 0\n"
              "  Frequency: ~2394.123455MGz\n"
              "  Extensions: MMX, MMX Ext, 3DNow!, 3DNow! Ext\n");
}

TEST(SysInfoSections, OsAndVideoLayouts)
{
    vek::cOsInfo os;
    os.strProduct = "Distro 1";
    EXPECT_EQ(vek::FormatOsSection(os), "Operating System:\n  Distro 1\n");
    os.strServicePack = "Linux 6.1 (x86_64)";
    EXPECT_EQ(vek::FormatOsSection(os), "Operating System:\n  Distro 1 Linux 6.1 (x86_64)\n");
    os.strEdition = "Ed";
    EXPECT_EQ(vek::FormatOsSection(os), "Operating System:\n  Distro 1 Ed Linux 6.1 (x86_64)\n");

    vek::cVideoInfo video;
    EXPECT_EQ(vek::FormatVideoSection(video), "Video:\n  Adapter: \n  Monitor: \n");
    video.strAdapter = "SDL x11";
    video.strMonitor = "Screen 0";
    EXPECT_EQ(vek::FormatVideoSection(video), "Video:\n  Adapter: SDL x11\n  Monitor: Screen 0\n");
}

TEST(SysInfoSections, WordsChooseTheSections)
{
    EXPECT_TRUE(vek::IsInfoSectionChosen("", "cpu"));
    EXPECT_TRUE(vek::IsInfoSectionChosen("cpu os video", "os"));
    EXPECT_TRUE(vek::IsInfoSectionChosen("xcpux", "cpu")) << "a substring anywhere";
    EXPECT_FALSE(vek::IsInfoSectionChosen("cpu", "os"));
    EXPECT_FALSE(vek::IsInfoSectionChosen(nullptr, "cpu"));

    const std::string header =
        "-----------------------------  System Information  ----------------------------\n";
    const std::string closing = std::string(79, '-') + "\n";
    auto collect = [](const char* words) {
        std::vector<std::string> parts;
        vek::WriteSystemInfo(words, [&parts](const string& t) { parts.push_back(t); });
        return parts;
    };

    std::vector<std::string> parts = collect("cpu");
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], header);
    EXPECT_EQ(parts[1].rfind("CPU:\n  Count: ", 0), 0u) << parts[1];
    EXPECT_EQ(parts[2], closing);

    parts = collect("video os");
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ(parts[1].rfind("Operating System:\n  ", 0), 0u) << "os comes before video";
    EXPECT_EQ(parts[2].rfind("Video:\n", 0), 0u);

    EXPECT_EQ(collect("").size(), 5u);
    EXPECT_TRUE(collect(nullptr).empty());
    EXPECT_TRUE(vek::DumpSystemInfo(nullptr));
}

TEST(SysInfoMachine, ThisMachineGivesPlausibleRecords)
{
    cCpuInfo cpu;
    vek::FillCpuInfo(cpu);
    EXPECT_GE(cpu.iCount, 1);
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(cpu.strVendor.size(), 12u);
    EXPECT_TRUE(cpu.bMMX && cpu.bSSE && cpu.bSSE2);
    EXPECT_GT(cpu.iClock, 0);
#endif

    vek::cOsInfo os;
    vek::FillOsInfo(os);
    EXPECT_FALSE(os.strProduct.empty());
    EXPECT_LE(os.strProduct.size(), 511u);
    EXPECT_EQ(os.strServicePack.rfind("Linux ", 0), 0u) << os.strServicePack;

    // The tests run with SDL's dummy video driver.
    vek::cVideoInfo video;
    vek::FillVideoInfo(video);
    EXPECT_EQ(video.strAdapter, "SDL dummy");
}

TEST(SysInfoSections, DumpWritesContinuationTextToTheLog)
{
    const std::string app = vektest::MakeTempDir("InfoLog");
    vek::SetPathMacro(vek::e_macroAppPath, app);
    {
        vek::cLog log(1024.0f, 768.0f);
        EXPECT_TRUE(vek::DumpSystemInfo("os"));
    }
    const std::string text = vektest::ReadFile(app + "/_log.html");
    EXPECT_NE(text.find("-&nbsp;&nbsp;System Information&nbsp;&nbsp;-"), std::string::npos) << text;
    EXPECT_NE(text.find("Operating System:<br />"), std::string::npos) << text;
    EXPECT_EQ(text.find("CPU:"), std::string::npos);
    EXPECT_EQ(text.find("<span class='sender'>"), std::string::npos) << "no entries, only text";
}

TEST(SysInfoSections, OtherPartsWriteTheirOwnSectionsWhenChosen)
{
    // No engine object, renderer or sound manager here: "res" and "render"
    // write nothing, and the sound manager's dump says it is missing.
    const std::string app = vektest::MakeTempDir("InfoOwned");
    vek::SetPathMacro(vek::e_macroAppPath, app);
    const std::string missing =
        "<span class='sender'>cSoundManager: </span><span class='warning'>DumpConfig: info is "
        "unavailable - sound manager was not initialized<br />\n</span>";
    const std::string header =
        "-----------------------------&nbsp;&nbsp;System Information&nbsp;&nbsp;----------------------------<br />\n";
    const std::string closing = std::string(79, '-') + "<br />\n";
    {
        vek::cLog log(1024.0f, 768.0f);
        EXPECT_TRUE(vek::DumpSystemInfo("res render"));
        EXPECT_TRUE(vek::DumpSystemInfo("sound"));
    }
    const std::string text = vektest::ReadFile(app + "/_log.html");
    EXPECT_NE(text.find(header + closing + header + missing + closing), std::string::npos) << text;
}

} // namespace
