// Native: every property of the environment class and its folder listing, read first on a
// fresh object with each of the platform calls behind it failing in turn. Each answers
// without throwing, every folder value is empty or ends in a backslash, and the names and
// numbers keep their form, however the machine misbehaved.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include "tests/environment/SimEnvironFixture.h"
#include "tests/hardening/FaultSweep.h"

namespace tlv::testing {
namespace {

using environment::jclass_WinEnviron;
using Property = std::string (jclass_WinEnviron::*)();

struct NamedProperty {
  const char* name;
  Property read;
};

// The folder properties in the order of the listing, and its tags.
constexpr NamedProperty kListed[] = {
    {"<WindowsRoot> ", &jclass_WinEnviron::PathWindowsRoot},
    {"<Sys32Root> ", &jclass_WinEnviron::PathSys32Root},
    {"<Sys64Root> ", &jclass_WinEnviron::PathSys64Root},
    {"<SysAny>", &jclass_WinEnviron::PathSysAnyRoot},
    {"<ProgramFiles> ", &jclass_WinEnviron::PathProgramFiles},
    {"<AltProgFiles>", &jclass_WinEnviron::PathProgramFilesAlt},
    {"<CommonProgramFiles> ", &jclass_WinEnviron::PathCommonProgramFiles},
    {"<64BitProgFiles>", &jclass_WinEnviron::PathProgramFilesX64},
    {"<64BitAltProgFiles>", &jclass_WinEnviron::PathProgramFilesX64Alt},
    {"<64BitCommonProgFiles> ", &jclass_WinEnviron::PathCommonProgramFilesX64},
    {"<RootDrive> ", &jclass_WinEnviron::PathRootDrive},
    {"<VirtualStore> ", &jclass_WinEnviron::PathVirtualStore},
    {"<DocumentsAndSettings> ", &jclass_WinEnviron::PathDocumentsAndSettings},
    {"<CurrentUserProfile> ", &jclass_WinEnviron::PathCurrentUserProfile},
    {"<CurrentDesktop> ", &jclass_WinEnviron::PathCurrentDesktop},
    {"<CurrentMyDocuments> ", &jclass_WinEnviron::PathCurrentMyDocuments},
    {"<CurrentAppData> ", &jclass_WinEnviron::PathCurrentAppData},
    {"<CurrentLocalSettingsAppData> ", &jclass_WinEnviron::PathCurrentLocalSettingsAppData},
    {"<CurrentStartMenu> ", &jclass_WinEnviron::PathCurrentStartMenu},
    {"<CurrentStartMenuProgramsList> ", &jclass_WinEnviron::PathCurrentStartMenuProgramsList},
    {"<CurrentStartup> ", &jclass_WinEnviron::PathCurrentStartup},
    {"<AllUserAdminTools> ", &jclass_WinEnviron::PathAllUserAdminTools},
    {"<AllUsersAppData> ", &jclass_WinEnviron::PathAllUsersAppData},
    {"<AllUsersDesktop> ", &jclass_WinEnviron::PathAllUsersDesktop},
    {"<AllUsersStartMenu> ", &jclass_WinEnviron::PathAllUsersStartMenu},
    {"<AllUserStartMenuProgramsList> ", &jclass_WinEnviron::PathAllUserStartMenuProgramsList},
    {"<AllUsersStartup> ", &jclass_WinEnviron::PathAllUsersStartup},
};

void expectFolderValue(const std::string& value, const std::string& what) {
  EXPECT_TRUE(value.empty() || value.back() == '\\') << what << " = '" << value << "'";
}

void expectWellFormedListing(const std::string& listing) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at; (at = listing.find("\r\n", from)) != std::string::npos; from = at + 2) {
    lines.push_back(listing.substr(from, at - from));
  }
  lines.push_back(listing.substr(from));
  ASSERT_EQ(lines.size(), std::size(kListed)) << listing;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::string tag = kListed[i].name;
    const std::string ending = line.ends_with(" = True") ? " = True" : " = False";
    ASSERT_TRUE(line.starts_with(tag) && line.ends_with(ending) && line.size() >= tag.size() + ending.size())
        << "line " << i + 1 << ": " << line;
    expectFolderValue(line.substr(tag.size(), line.size() - tag.size() - ending.size()), tag);
  }
}

enum class Windows { Xp32, Seven64 };

// One read on a fresh object of the given machine; the ending is whether the answer was the
// clean run's or another well-formed one.
ScenarioRun readOnce(Windows windows, const std::function<std::string(jclass_WinEnviron&)>& read,
                     const std::function<void(const std::string&)>& check, const InjectedFault& fault,
                     std::string& cleanAnswer) {
  SimEnviron s;
  if (windows == Windows::Xp32) {
    s.arrangeWindowsXp();
  } else {
    s.arrangeWindows7x64();
  }
  fault.arm(s.machine.faults);
  std::string answer;
  EXPECT_NO_THROW(answer = read(s.env));
  ScenarioRun run{fault.callsSinceArmed(s.machine.faults), {}};
  check(answer);
  if (fault.n() == 0) cleanAnswer = answer;
  run.endings.push_back(answer == cleanAnswer ? "clean answer" : "other well-formed answer");
  return run;
}

SweepFigures sweepReads(Windows windows) {
  SweepFigures figures;
  auto sweepOne = [&](const std::string& what, const std::function<std::string(jclass_WinEnviron&)>& read,
                      const std::function<void(const std::string&)>& check) {
    SCOPED_TRACE(what);
    std::string clean;
    figures.add(sweepEveryCall([&](const InjectedFault& fault) { return readOnce(windows, read, check, fault, clean); }));
  };
  for (const NamedProperty& property : kListed) {
    sweepOne(property.name, [&](jclass_WinEnviron& env) { return (env.*property.read)(); },
             [&](const std::string& value) { expectFolderValue(value, property.name); });
  }
  sweepOne("ListAllPathsToText", [](jclass_WinEnviron& env) { return env.ListAllPathsToText(); },
           expectWellFormedListing);
  const auto notEmpty = [](const std::string& value) { EXPECT_FALSE(value.empty()); };
  sweepOne("DomainName", [](jclass_WinEnviron& env) { return env.DomainName(); }, notEmpty);
  sweepOne("ComputerName", [](jclass_WinEnviron& env) { return env.ComputerName(); }, notEmpty);
  sweepOne("UserName", [](jclass_WinEnviron& env) { return env.UserName(); }, notEmpty);
  sweepOne("ProcessorArchitecture", [](jclass_WinEnviron& env) { return env.ProcessorArchitecture(); }, notEmpty);
  sweepOne("VersionNumberString", [](jclass_WinEnviron& env) { return env.VersionNumberString(); },
           [](const std::string& value) { EXPECT_EQ(std::count(value.begin(), value.end(), '.'), 2) << value; });
  // The rest answer with a flag, a number or a name text; the sweep asks that they answer.
  sweepOne("version and desktop facts", [](jclass_WinEnviron& env) {
    std::ostringstream facts;
    facts << env.Title() << '|' << env.intOS() << '|' << env.isSmallBusiness() << env.isHomeVersion()
          << env.isDomainController() << env.isServer() << env.isTerminalServer() << '|' << env.SuiteMask() << '|'
          << env.WinProductType() << '|' << env.Is64Bit() << '|' << env.RAMTOTAL() << '|' << env.RAMFREE() << '|'
          << env.IsShuttingDown() << env.IsBeingShadowed() << '|' << env.MonitorCount();
    return facts.str();
  }, [](const std::string&) {});
  sweepOne("GetUserProfileFolders", [](jclass_WinEnviron& env) {
    std::vector<std::string> folders;
    std::int16_t count = -1;
    const bool found = env.GetUserProfileFolders(folders, count);
    EXPECT_GE(count, 0);
    EXPECT_EQ(folders.size(), count == 0 ? 0u : static_cast<std::size_t>(count) + 1);
    for (std::size_t i = 1; i < folders.size(); ++i) expectFolderValue(folders[i], "profile folder");
    return std::to_string(found) + std::to_string(count);
  }, [](const std::string&) {});
  return figures;
}

TEST(EnvironmentFaultSweep, EveryPropertyAndTheListingOnWindowsXp) {
  const SweepFigures figures = sweepReads(Windows::Xp32);
  std::cout << "[ sweep    ] " << figures.summary("environment class, 32-bit Windows XP") << std::endl;
  EXPECT_EQ(figures.survived, figures.faultedRuns);
}

TEST(EnvironmentFaultSweep, EveryPropertyAndTheListingOnWindows7x64) {
  const SweepFigures figures = sweepReads(Windows::Seven64);
  std::cout << "[ sweep    ] " << figures.summary("environment class, 64-bit Windows 7") << std::endl;
  EXPECT_EQ(figures.survived, figures.faultedRuns);
}

}  // namespace
}  // namespace tlv::testing
