#include "platform/sysinfo.h"

#include <gtest/gtest.h>

namespace {

using vek::platform::ParseOsReleaseName;

TEST(PlatformSysInfo, OsReleaseNames)
{
    EXPECT_EQ(ParseOsReleaseName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(ParseOsReleaseName("NAME=Plain\n"), "Plain") << "NAME when there is no PRETTY_NAME";
    EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME='Single quoted \\n'\r\n"), "Single quoted \\n");
    EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME=\"Esc \\\"q\\\" \\$x\"\n"), "Esc \"q\" $x");
    EXPECT_EQ(ParseOsReleaseName("# comment\nX_PRETTY_NAME=no\nPRETTY_NAME=\n"), "");
    EXPECT_EQ(ParseOsReleaseName(""), "");
    EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME=\"unterminated"), "unterminated");
    EXPECT_EQ(ParseOsReleaseName("PRETTY_NAME=\"trailing backslash\\"), "trailing backslash\\");
}

TEST(PlatformSysInfo, MachineQueries)
{
    EXPECT_GE(vek::platform::GetProcessorCount(), 1);
    EXPECT_FALSE(vek::platform::GetKernelInfo().release.empty());
#if defined(__x86_64__) || defined(__i386__)
    vek::platform::cCpuIdRegs regs;
    EXPECT_TRUE(vek::platform::CpuId(0, regs));
    EXPECT_GE(regs.eax, 1u);
    EXPECT_FALSE(vek::platform::CpuId(0x7fffffffu, regs)) << "beyond the highest basic leaf";
    const uint64_t a = vek::platform::ReadTimeStampCounter();
    const uint64_t b = vek::platform::ReadTimeStampCounter();
    EXPECT_GE(b, a);
#endif
}

} // namespace
