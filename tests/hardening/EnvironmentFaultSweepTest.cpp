// Native: every property of the environment class and its folder listing, read first on a
// fresh object with each of the platform calls behind it failing in turn. Each answers
// without throwing, every folder value is empty or ends in a backslash, and the names and
// numbers keep their form, however the machine misbehaved.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/environment/SimEnvironFixture.h"
#include "tests/hardening/FaultSweep.h"

namespace tlv::testing {
namespace {

using Env = environment::jclass_WinEnviron;
using Read = std::function<std::string(Env&)>;
using Check = std::function<void(const std::string&)>;

// The folder properties, in the order of the listing.
constexpr std::string (Env::*kFolderProperties[])() = {
    &Env::PathWindowsRoot, &Env::PathSys32Root, &Env::PathSys64Root, &Env::PathSysAnyRoot, &Env::PathProgramFiles,
    &Env::PathProgramFilesAlt, &Env::PathCommonProgramFiles, &Env::PathProgramFilesX64, &Env::PathProgramFilesX64Alt,
    &Env::PathCommonProgramFilesX64, &Env::PathRootDrive, &Env::PathVirtualStore, &Env::PathDocumentsAndSettings,
    &Env::PathCurrentUserProfile, &Env::PathCurrentDesktop, &Env::PathCurrentMyDocuments, &Env::PathCurrentAppData,
    &Env::PathCurrentLocalSettingsAppData, &Env::PathCurrentStartMenu, &Env::PathCurrentStartMenuProgramsList,
    &Env::PathCurrentStartup, &Env::PathAllUserAdminTools, &Env::PathAllUsersAppData, &Env::PathAllUsersDesktop,
    &Env::PathAllUsersStartMenu, &Env::PathAllUserStartMenuProgramsList, &Env::PathAllUsersStartup};

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
  EXPECT_EQ(count, std::size(kFolderProperties)) << listing;
}

// Sweeps one read on a fresh object of the given machine; a run ends with the clean run's
// answer or another well-formed one.
SweepFigures sweepRead(void (SimEnviron::*arrange)(), const Read& read, const Check& check) {
  std::string clean;
  return sweepEveryCall([&](const InjectedFault& fault) {
    SimEnviron s;
    (s.*arrange)();
    fault.arm(s.machine.faults);
    std::string answer;
    EXPECT_NO_THROW(answer = read(s.env));
    check(answer);
    if (fault.n == 0) clean = answer;
    return ScenarioRun{fault.callsSinceArmed(s.machine.faults),
                       {answer == clean ? "clean answer" : "other well-formed answer"}};
  });
}

SweepFigures sweepReads(void (SimEnviron::*arrange)()) {
  SweepFigures figures;
  for (std::size_t i = 0; i < std::size(kFolderProperties); ++i) {
    SCOPED_TRACE("folder property " + std::to_string(i + 1) + " of the listing");
    figures.add(sweepRead(arrange, kFolderProperties[i], expectFolderValue));
  }
  const Check notEmpty = [](const std::string& value) { EXPECT_FALSE(value.empty()); };
  const Check anyAnswer = [](const std::string&) {};
  const std::vector<std::tuple<const char*, Read, Check>> reads = {
      {"ListAllPathsToText", &Env::ListAllPathsToText, expectWellFormedListing},
      {"DomainName", &Env::DomainName, notEmpty},
      {"ComputerName", &Env::ComputerName, notEmpty},
      {"UserName", &Env::UserName, notEmpty},
      {"ProcessorArchitecture", &Env::ProcessorArchitecture, notEmpty},
      {"VersionNumberString", &Env::VersionNumberString,
       [](const std::string& value) { EXPECT_EQ(std::count(value.begin(), value.end(), '.'), 2) << value; }},
      // The rest answer with a flag, a number or a name text; the sweep asks that they answer.
      {"version and desktop facts",
       [](Env& env) {
         std::ostringstream facts;
         facts << env.Title() << '|' << env.intOS() << '|' << env.isSmallBusiness() << env.isHomeVersion()
               << env.isDomainController() << env.isServer() << env.isTerminalServer() << '|' << env.SuiteMask() << '|'
               << env.WinProductType() << '|' << env.Is64Bit() << '|' << env.RAMTOTAL() << '|' << env.RAMFREE() << '|'
               << env.IsShuttingDown() << env.IsBeingShadowed() << '|' << env.MonitorCount();
         return facts.str();
       },
       anyAnswer},
      {"GetUserProfileFolders",
       [](Env& env) {
         std::vector<std::string> folders;
         std::int16_t count = -1;
         const bool found = env.GetUserProfileFolders(folders, count);
         EXPECT_GE(count, 0);
         EXPECT_EQ(folders.size(), count == 0 ? 0u : static_cast<std::size_t>(count) + 1);
         std::for_each(folders.begin() + std::min<std::ptrdiff_t>(1, std::ssize(folders)), folders.end(),
                       expectFolderValue);
         return std::to_string(found) + std::to_string(count);
       },
       anyAnswer},
  };
  for (const auto& [name, read, check] : reads) {
    SCOPED_TRACE(name);
    figures.add(sweepRead(arrange, read, check));
  }
  return figures;
}

TEST(EnvironmentFaultSweep, EveryPropertyAndTheListingOnWindowsXp) {
  sweepReads(&SimEnviron::arrangeWindowsXp).report("environment class, 32-bit Windows XP");
}

TEST(EnvironmentFaultSweep, EveryPropertyAndTheListingOnWindows7x64) {
  sweepReads(&SimEnviron::arrangeWindows7x64).report("environment class, 64-bit Windows 7");
}

}  // namespace
}  // namespace tlv::testing
