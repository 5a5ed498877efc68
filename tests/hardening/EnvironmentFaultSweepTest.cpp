// Native: every read of the environment class on a fresh object, with each of the platform
// calls behind them failing in turn. Nothing throws, every folder value is empty or ends in a
// backslash, and the names and numbers keep their form, however the machine misbehaved.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/environment/SimEnvironFixture.h"
#include "tests/hardening/FaultSweep.h"

namespace tlv::testing {
namespace {

void expectFolderValue(const std::string& value) {
  EXPECT_TRUE(value.empty() || value.back() == '\\') << "folder value '" << value << "'";
}

// One line per folder property, each "<tag>" then the value and " = True" or " = False".
void expectWellFormedListing(const std::string& listing) {
  std::istringstream text(listing);
  std::size_t count = 0;
  for (std::string line; std::getline(text, line); ++count) {
    if (line.ends_with('\r')) line.pop_back();
    const std::size_t close = line.find('>');
    const std::size_t equals = line.rfind(" = ");
    ASSERT_TRUE(line.starts_with('<') && close != std::string::npos && equals != std::string::npos && close < equals &&
                (line.ends_with(" = True") || line.ends_with(" = False")))
        << line;
    const std::string value = line.substr(close + 1, equals - close - 1);
    expectFolderValue(value.starts_with(' ') ? value.substr(1) : value);
  }
  EXPECT_EQ(count, 27u) << listing;
}

// Reads everything, the listing (and so every folder property) first, and checks the form of
// each answer.
void readEverything(environment::jclass_WinEnviron& env) {
  expectWellFormedListing(env.ListAllPathsToText());
  for (const std::string& name : {env.DomainName(), env.ComputerName(), env.UserName(), env.ProcessorArchitecture()}) {
    EXPECT_FALSE(name.empty());
  }
  const std::string version = env.VersionNumberString();
  EXPECT_EQ(std::count(version.begin(), version.end(), '.'), 2) << version;

  std::vector<std::string> folders;
  std::int16_t count = -1;
  static_cast<void>(env.GetUserProfileFolders(folders, count));  // found or not, the list keeps its form
  EXPECT_GE(count, 0);
  EXPECT_EQ(folders.size(), count == 0 ? 0u : static_cast<std::size_t>(count) + 1);
  std::for_each(folders.begin() + std::min<std::ptrdiff_t>(1, std::ssize(folders)), folders.end(), expectFolderValue);

  // The rest answer with a flag, a number or a name text; the sweep asks that they answer.
  std::ostringstream() << env.Title() << env.intOS() << env.isSmallBusiness() << env.isHomeVersion()
                       << env.isDomainController() << env.isServer() << env.isTerminalServer() << env.SuiteMask()
                       << env.WinProductType() << env.Is64Bit() << env.RAMTOTAL() << env.RAMFREE()
                       << env.IsShuttingDown() << env.IsBeingShadowed() << env.MonitorCount();
}

void sweepReads(void (SimEnviron::*arrange)()) {
  sweepEveryCall([&](const InjectedFault& fault) {
    SimEnviron s;
    (s.*arrange)();
    fault.arm(s.machine.faults);
    EXPECT_NO_THROW(readEverything(s.env));
    return fault.callsSinceArmed(s.machine.faults);
  });
}

TEST(EnvironmentFaultSweep, EveryReadOnWindowsXpAndWindows7x64) {
  sweepReads(&SimEnviron::arrangeWindowsXp);
  sweepReads(&SimEnviron::arrangeWindows7x64);
}

}  // namespace
}  // namespace tlv::testing
