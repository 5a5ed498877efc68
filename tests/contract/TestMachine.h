// Portable: the machine a contract test runs on. The native build links the sim machine,
// the MinGW build the real one under Wine; the suites see only this interface.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace tlv::testing {

class TestMachine {
 public:
  virtual ~TestMachine() = default;
  virtual platform::Platform& platform() = 0;
  /// An empty folder of its own for the test, ending in a backslash; removed afterwards.
  virtual std::string scratchFolder() = 0;
  /// Creates a folder below the scratch folder (test arrangement, not under test).
  virtual void makeFolder(const std::string& path) = 0;
  /// Makes an existing full folder the process's current folder, until the test ends.
  virtual void setCurrentFolder(const std::string& folder) = 0;
  /// A registry key of its own for the test (missing at its start, removed afterwards):
  /// HKEY_CURRENT_USER\Software\TlvAsServiceTests.
  std::string scratchKey() const { return "HKEY_CURRENT_USER\\Software\\TlvAsServiceTests"; }
};

/// The machine of this build: sim natively, the real platform under Wine.
std::unique_ptr<TestMachine> makeTestMachine();

}  // namespace tlv::testing
