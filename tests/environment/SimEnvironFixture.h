// Portable: a simulated machine with one environment object on it, and the ways the
// environment tests arrange and inspect that machine.
#pragma once

#include <gtest/gtest.h>

#include <new>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "environment/jclass_WinEnviron.h"
#include "logging/LoggingFunctions.h"
#include "platform/WindowsPath.h"
#include "platform/sim/SimMachine.h"

namespace tlv::testing {

/// The sim machine's environment, where a variable named in failing throws std::bad_alloc,
/// standing for a step that runs out of memory while reading it.
class FailingVariables final : public platform::Environment {
 public:
  explicit FailingVariables(platform::Environment& inner) : inner_(inner) {}
  std::string variable(const std::string& name) override {
    if (failing.count(platform::upperCase(name))) throw std::bad_alloc();
    return inner_.variable(name);
  }
  std::set<std::string> failing;  ///< upper-case names

 private:
  platform::Environment& inner_;
};

/// One sim machine with its log writer and environment object.
struct SimEnviron {
  SimEnviron() { machine.files.addFolder("C:\\Tools"); }

  /// The plain and the extended record of one Windows.
  void setWindows(std::int32_t platformId, std::int32_t major, std::int32_t minor, std::int32_t build,
                  const std::string& servicePack, std::uint8_t productType = platform::product::kWorkstation,
                  std::uint16_t suiteMask = 0) {
    machine.systemInfo.setVersion({major, minor, build, platformId, servicePack});
    machine.systemInfo.setVersionEx({static_cast<std::uint32_t>(major), static_cast<std::uint32_t>(minor), 0, 0,
                                     suiteMask, productType});
  }

  void setVariables(const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values) machine.environment.set(name, value);
  }

  void addFolders(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) machine.files.addFolder(folder);
  }

  /// 32-bit Windows XP Professional SP3, user1, as Windows sets a process's variables.
  void arrangeWindowsXp() {
    setWindows(2, 5, 1, 2600, "Service Pack 3");
    const std::string ds = "C:\\Documents and Settings\\";
    setVariables({{"WinDir", "C:\\WINDOWS"},
                  {"ProgramFiles", "C:\\Program Files"},
                  {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
                  {"userprofile", ds + "user1"},
                  {"AllUsersProfile", ds + "All Users"},
                  {"AppData", ds + "user1\\Application Data"}});
    addFolders({"C:\\WINDOWS\\System32", "C:\\Program Files\\Common Files", ds + "user1\\My Documents",
                ds + "All Users\\Start Menu\\Programs\\Startup"});
  }

  /// 64-bit Windows 7 Professional SP1 as a 32-bit process sees it, user1.
  void arrangeWindows7x64() {
    setWindows(2, 6, 1, 7601, "Service Pack 1");
    setVariables({{"WinDir", "C:\\Windows"},
                  {"ProgramFiles", "C:\\Program Files (x86)"},
                  {"CommonProgramFiles", "C:\\Program Files (x86)\\Common Files"},
                  {"userprofile", "C:\\Users\\user1"},
                  {"AllUsersProfile", "C:\\ProgramData"},
                  {"AppData", "C:\\Users\\user1\\AppData\\Roaming"}});
    addFolders({"C:\\Windows\\System32", "C:\\Windows\\SysWOW64", "C:\\Program Files", "C:\\Program Files (x86)",
                "C:\\Users\\user1\\AppData\\Local\\VirtualStore"});
  }

  std::size_t callsTo(platform::sim::Call call) const { return machine.faults.callCount(call); }

  /// The lines of this run's log file, without their CR LF.
  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    std::istringstream text(machine.files.contents(log.CurrentLogFile()));
    for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.find('\r')));
    return lines;
  }

  platform::sim::SimMachine machine;
  FailingVariables variables{machine.environment};
  platform::Platform platform{machine.files,   machine.clock,      variables,       machine.ui,
                              machine.process, machine.systemInfo, machine.registry, machine.eventLog, machine.hashing,
                              machine.services};
  logging::LoggingFunctions log{platform};
  environment::jclass_WinEnviron env{platform, log};
};

/// A test with one fresh SimEnviron; table tests make one more per row.
class SimEnvironFixture : public ::testing::Test, public SimEnviron {};

}  // namespace tlv::testing
