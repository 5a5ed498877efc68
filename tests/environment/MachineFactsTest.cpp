// Portable: processor architecture and 64-bit detection, machine and user names, memory
// figures and the live desktop queries.
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
      // The processor alone, on a 32-bit system without WOW64; the field reads as a signed number.
      {0xFFFF, 0, false, pf, false, "64 BIT", true},
      {0, 0, false, pf, false, "32 BIT x86", false},
      {9, 0, false, pf, false, "64 BIT AMD", true},
      {5, 0, false, pf, false, "Arch Unkn", true},
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
    EXPECT_EQ(sim.callsTo(platform::sim::Call::SysinfoProcessorArchitecture), 1u) << "either property fills both";
  }
}

TEST_F(MachineFacts, AFailedDetectionReadsArchFailAndAFailedWow64QueryReadsNo) {
  machine.faults.failCalls(platform::sim::Call::SysinfoProcessorArchitecture, 5);
  EXPECT_EQ(env.ProcessorArchitecture(), "Arch Fail");
  EXPECT_TRUE(env.Is64Bit());
  EXPECT_EQ(callsTo(platform::sim::Call::SysinfoProcessorArchitecture), 1u) << "the failure text is a cached answer";

  SimEnviron wow64;
  wow64.machine.systemInfo.setWow64Entry(0x7C81F000);
  wow64.machine.faults.failCalls(platform::sim::Call::SysinfoIsWow64Process, 5);
  EXPECT_EQ(wow64.env.ProcessorArchitecture(), "32 BIT x86");
  EXPECT_FALSE(wow64.env.Is64Bit());
  EXPECT_EQ(wow64.callsTo(platform::sim::Call::SysinfoIsWow64Process), 1u);
  EXPECT_TRUE(logLines().empty() && wow64.logLines().empty()) << "neither failure is logged";
}

TEST_F(MachineFacts, NamesFallBackToUnknownAndLongUserNamesAreAskedForAgain) {
  const struct {
    std::string platformName, userName, computerName;
    std::size_t userQueries;
  } cases[] = {
      {" Mixed Case ", " Mixed Case ", " MIXED CASE ", 1},
      {std::string(24, 'u'), std::string(24, 'u'), std::string(24, 'U'), 1},
      {std::string(25, 'u'), std::string(25, 'u'), std::string(25, 'U'), 2},
      {"   ", "UNKNOWN", "UNKNOWN", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.platformName);
    SimEnviron sim;
    sim.machine.systemInfo.setUserName(c.platformName);
    sim.machine.systemInfo.setComputerName(c.platformName);
    EXPECT_EQ(sim.env.UserName(), c.userName);
    EXPECT_EQ(sim.env.ComputerName(), c.computerName);
    EXPECT_EQ(sim.env.ComputerName(), c.computerName);
    EXPECT_EQ(sim.callsTo(platform::sim::Call::SysinfoNetworkUserName), c.userQueries);
    EXPECT_EQ(sim.callsTo(platform::sim::Call::SysinfoComputerName), 1u);
  }
  machine.faults.failWhen([](platform::sim::Call call) { return platform::sim::portOf(call) == platform::sim::Port::Sysinfo; }, 5);
  EXPECT_EQ(env.ComputerName(), "UNKNOWN");
  EXPECT_EQ(env.UserName(), "UNKNOWN");
}

TEST_F(MachineFacts, MemoryComesFromThe32BitRecordUnlessItCapsOrWrapsAndIsKeptOnceRead) {
  constexpr std::uint64_t kGiB = 1ull << 30;
  // GlobalMemoryStatus as each edition receives it: the x86 edition's counts capped by
  // Windows at 2 GiB, the x64 edition's whole; the free counts are a half (32-bit record)
  // and a quarter (64-bit record) of the totals.
  const struct {
    const char* what;
    std::uint64_t total32, total64;
    float total, free;
    std::size_t queries, extendedQueries;
  } cases[] = {
      {"1 GiB", kGiB, kGiB, 0.9947f, 0.4973f, 1, 0},
      {"2 GiB, capped", 0x7FFFFFFF, 2 * kGiB, 1.9894f, 0.4973f, 1, 1},
      {"3 GiB, wrapped negative", 3 * kGiB, 3 * kGiB, 2.9840f, 0.7460f, 1, 1},
      {"5 GiB, beyond 32 bits in the x64 edition", 5 * kGiB, 5 * kGiB, 4.9734f, 1.2434f, 1, 1},
      {"2^60 bytes cannot be converted: the 32-bit figures stay", 0xFFFFFFFF, 1ull << 60, 0, 1.9894f, 1, 1},
      {"zero reads as not yet read", 0, 0, 0, 0, 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SimEnviron sim;
    sim.machine.systemInfo.setMemoryStatus({c.total32, c.total32 / 2});
    sim.machine.systemInfo.setMemoryStatusEx({c.total64, c.total64 / 4});
    EXPECT_NEAR(sim.env.RAMTOTAL(), c.total, 0.0001);
    sim.machine.systemInfo.setMemoryStatus({c.total32, 0});  // a second reading would see no free memory
    EXPECT_NEAR(sim.env.RAMFREE(), c.free, 0.0001);
    EXPECT_EQ(sim.callsTo(platform::sim::Call::SysinfoMemoryStatus), c.queries);
    EXPECT_EQ(sim.callsTo(platform::sim::Call::SysinfoMemoryStatusEx), c.extendedQueries);
  }
}

TEST_F(MachineFacts, DesktopQueriesAskAtEveryCallAndFailQuietly) {
  EXPECT_EQ(env.MonitorCount(), 1);
  machine.systemInfo.setSystemMetric(platform::metric::kShuttingDown, 1);
  machine.systemInfo.setSystemMetric(platform::metric::kRemoteControl, 1);
  machine.systemInfo.setSystemMetric(platform::metric::kMonitorCount, 3);
  EXPECT_TRUE(env.IsShuttingDown());
  EXPECT_TRUE(env.IsBeingShadowed());
  EXPECT_EQ(env.MonitorCount(), 3);
  machine.systemInfo.setSystemMetric(platform::metric::kMonitorCount, 40000);
  EXPECT_EQ(env.MonitorCount(), 0) << "beyond 16 bits";

  machine.faults.failCalls(platform::sim::Call::SysinfoSystemMetric, 5);
  EXPECT_FALSE(env.IsShuttingDown());
  EXPECT_FALSE(env.IsBeingShadowed());
  EXPECT_EQ(env.MonitorCount(), 0);
  EXPECT_TRUE(logLines().empty());
}

}  // namespace
}  // namespace tlv::testing
