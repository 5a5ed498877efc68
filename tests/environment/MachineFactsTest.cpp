// Portable: processor architecture and 64-bit detection, machine and user names, memory
// figures and the live desktop queries.
#include <cmath>

#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

class MachineFacts : public SimEnvironFixture {};

TEST_F(MachineFacts, TheArchitectureTableWow64AndThe64BitFolders) {
  const char* const pf = "C:\\Program Files";
  const char* const pf86 = "C:\\Program Files (x86)";
  const struct {
    std::uint16_t architecture;
    std::uintptr_t wow64Entry;
    bool underWow64;
    const char* programFiles;
    bool sysWow64Folder;
    const char* text;
    bool is64Bit;
  } cases[] = {
      // The processor alone, on a 32-bit system without WOW64.
      {0xFFFF, 0, false, pf, false, "64 BIT", true},     {0, 0, false, pf, false, "32 BIT x86", false},
      {1, 0, false, pf, false, "32 BIT MIPS", false},   {2, 0, false, pf, false, "32 BIT ALPHA", false},
      {3, 0, false, pf, false, "32 BIT PPC", false},    {6, 0, false, pf, false, "64 BIT INTEL", true},
      {9, 0, false, pf, false, "64 BIT AMD", true},     {5, 0, false, pf, false, "Arch Unkn", true},
      {12, 0, false, pf, false, "Arch Unkn", true},
      // Under WOW64 the processor text stays; an entry above 2 GB is still asked.
      {0, 0x7C81F000, true, pf86, true, "32 BIT x86", true},
      {0, 0x80001000, true, pf, false, "32 BIT x86", true},
      {0, 0x7C81F000, false, pf, false, "32 BIT x86", false},
      // Without the entry, the 64-bit folders give 64-bit Windows away, each on its own.
      {0, 0, false, pf86, true, "64 BIT SF", true},
      {0, 0, false, pf86, false, "64 BIT PF", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.architecture) + " " + c.text);
    SimEnviron sim;
    sim.setVariables({{"WinDir", "C:\\Windows"}, {"ProgramFiles", c.programFiles}});
    if (c.sysWow64Folder) sim.machine.files.addFolder("C:\\Windows\\SysWOW64");
    sim.machine.systemInfo.setProcessorArchitecture(c.architecture);
    sim.machine.systemInfo.setWow64Entry(c.wow64Entry);
    sim.machine.systemInfo.setRunsUnderWow64(c.underWow64);
    EXPECT_EQ(sim.env.Is64Bit(), c.is64Bit);
    EXPECT_EQ(sim.env.ProcessorArchitecture(), c.text);
    EXPECT_EQ(sim.callsTo("sysinfo.processorArchitecture"), 1u) << "either property fills both";
    EXPECT_EQ(sim.callsTo("sysinfo.isWow64Process"), c.wow64Entry != 0 ? 1u : 0u);
  }
}

TEST_F(MachineFacts, AFailedDetectionReadsArchFail) {
  machine.faults.failWhen([](std::string_view call) { return call == "sysinfo.processorArchitecture"; }, 5);
  EXPECT_EQ(env.ProcessorArchitecture(), "Arch Fail");
  EXPECT_TRUE(env.Is64Bit());
  EXPECT_EQ(callsTo("sysinfo.processorArchitecture"), 1u) << "the failure text is a cached answer";
  EXPECT_TRUE(logLines().empty());
}

TEST_F(MachineFacts, AFailingWow64QueryCountsAsNoAndLogsNothing) {
  arrangeWindowsXp();
  machine.systemInfo.setWow64Entry(0x7C81F000);
  machine.faults.failWhen([](std::string_view call) { return call == "sysinfo.isWow64Process"; }, 5);
  EXPECT_EQ(env.ProcessorArchitecture(), "32 BIT x86");
  EXPECT_FALSE(env.Is64Bit());
  EXPECT_EQ(callsTo("sysinfo.isWow64Process"), 1u);
  EXPECT_TRUE(logLines().empty());
}

TEST_F(MachineFacts, NamesFallBackToUnknownAndLongUserNamesAreAskedForAgain) {
  const struct {
    std::string platformName;
    std::string userName;
    std::size_t queries;
  } users[] = {
      {"user1", "user1", 1},
      {" Mixed Case ", " Mixed Case ", 1},
      {std::string(24, 'u'), std::string(24, 'u'), 1},
      {std::string(25, 'u'), std::string(25, 'u'), 2},
      {"", "UNKNOWN", 1},
      {"   ", "UNKNOWN", 1},
  };
  for (const auto& c : users) {
    SCOPED_TRACE(c.platformName);
    SimEnviron sim;
    sim.machine.systemInfo.setUserName(c.platformName);
    EXPECT_EQ(sim.env.UserName(), c.userName);
    EXPECT_EQ(sim.callsTo("sysinfo.networkUserName"), c.queries);
  }

  machine.systemInfo.setComputerName("build-pc7");
  EXPECT_EQ(env.ComputerName(), "BUILD-PC7");
  env.ComputerName();
  EXPECT_EQ(callsTo("sysinfo.computerName"), 1u);

  SimEnviron refused;
  refused.machine.faults.failWhen([](std::string_view call) { return call.starts_with("sysinfo."); }, 5);
  EXPECT_EQ(refused.env.ComputerName(), "UNKNOWN");
  EXPECT_EQ(refused.env.UserName(), "UNKNOWN");
  SimEnviron blank;
  blank.machine.systemInfo.setComputerName("  ");
  EXPECT_EQ(blank.env.ComputerName(), "UNKNOWN");
}

TEST_F(MachineFacts, MemoryComesFromThe32BitRecordUnlessItCapsOrWraps) {
  constexpr std::uint64_t kGiB = 1ull << 30;
  // GlobalMemoryStatus as each edition receives it: the x86 edition's counts capped by
  // Windows at 2 GiB, the x64 edition's whole, in a 64-bit SIZE_T.
  const struct {
    const char* what;
    std::uint64_t total32;
    std::uint64_t total64;
    float expected;
    std::size_t extendedQueries;
  } cases[] = {
      {"1 GiB", kGiB, kGiB, 0.9947f, 0},
      {"2 GiB capped", 0x7FFFFFFF, 2 * kGiB, 1.9894f, 1},
      {"3 GiB wrapped negative", 0xC0000000, 3 * kGiB, 2.9840f, 1},
      {"4 GiB reads as -1", 0xFFFFFFFF, 4 * kGiB, 3.9787f, 1},
      {"3 GiB, x86 edition", 0x7FFFFFFF, 3 * kGiB, 2.9840f, 1},
      {"3 GiB, x64 edition", 3 * kGiB, 3 * kGiB, 2.9840f, 1},
      {"5 GiB, x86 edition", 0x7FFFFFFF, 5 * kGiB, 4.9734f, 1},
      {"5 GiB, x64 edition", 5 * kGiB, 5 * kGiB, 4.9734f, 1},
      {"8 GiB, x86 edition", 0x7FFFFFFF, 8 * kGiB, 7.9574f, 1},
      {"8 GiB, x64 edition", 8 * kGiB, 8 * kGiB, 7.9574f, 1},
      {"64 GiB, x86 edition", 0x7FFFFFFF, 64 * kGiB, 63.6591f, 1},
      {"64 GiB, x64 edition", 64 * kGiB, 64 * kGiB, 63.6591f, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SimEnviron sim;
    sim.machine.systemInfo.setMemoryStatus({c.total32, c.total32 / 2});
    sim.machine.systemInfo.setMemoryStatusEx({c.total64, c.total64 / 4});
    EXPECT_NEAR(sim.env.RAMTOTAL(), c.expected, 0.0001);
    EXPECT_NEAR(sim.env.RAMFREE(), c.expected / (c.extendedQueries ? 4 : 2), 0.0001);
    EXPECT_EQ(sim.callsTo("sysinfo.memoryStatusEx"), c.extendedQueries);
  }
}

TEST_F(MachineFacts, MemoryFiguresAreKeptFromTheFirstReadingAndZeroIsAskedAgain) {
  machine.systemInfo.setMemoryStatus({1u << 30, 1u << 29});
  const float total = env.RAMTOTAL();
  machine.systemInfo.setMemoryStatus({1u << 30, 1u << 20});
  EXPECT_NEAR(env.RAMFREE(), 0.4973f, 0.0001) << "the free figure of the first reading";
  EXPECT_EQ(env.RAMTOTAL(), total);
  EXPECT_EQ(callsTo("sysinfo.memoryStatus"), 1u);

  SimEnviron zero;
  zero.machine.systemInfo.setMemoryStatus({0, 0});
  EXPECT_EQ(zero.env.RAMTOTAL(), 0.0f);
  EXPECT_EQ(zero.env.RAMFREE(), 0.0f);
  EXPECT_EQ(zero.callsTo("sysinfo.memoryStatus"), 2u);

  // A byte count too large to convert exactly leaves the 32-bit figure in place.
  SimEnviron huge;
  huge.machine.systemInfo.setMemoryStatus({0xFFFFFFFF, 0xFFFFFFFF});
  huge.machine.systemInfo.setMemoryStatusEx({1ull << 60, 2 * (1ull << 30)});
  EXPECT_LT(huge.env.RAMTOTAL(), 0.0f);
  EXPECT_NEAR(huge.env.RAMFREE(), 1.9894f, 0.0001);
}

TEST_F(MachineFacts, DesktopQueriesAskAtEveryCallAndFailQuietly) {
  EXPECT_FALSE(env.IsShuttingDown());
  EXPECT_FALSE(env.IsBeingShadowed());
  EXPECT_EQ(env.MonitorCount(), 1);
  machine.systemInfo.setSystemMetric(platform::metric::kShuttingDown, 1);
  machine.systemInfo.setSystemMetric(platform::metric::kRemoteControl, 1);
  machine.systemInfo.setSystemMetric(platform::metric::kMonitorCount, 3);
  EXPECT_TRUE(env.IsShuttingDown());
  EXPECT_TRUE(env.IsBeingShadowed());
  EXPECT_EQ(env.MonitorCount(), 3);
  machine.systemInfo.setSystemMetric(platform::metric::kMonitorCount, 40000);
  EXPECT_EQ(env.MonitorCount(), 0) << "beyond 16 bits";

  machine.faults.failWhen([](std::string_view call) { return call == "sysinfo.systemMetric"; }, 5);
  EXPECT_FALSE(env.IsShuttingDown());
  EXPECT_FALSE(env.IsBeingShadowed());
  EXPECT_EQ(env.MonitorCount(), 0);
  EXPECT_TRUE(logLines().empty());
}

}  // namespace
}  // namespace tlv::testing
