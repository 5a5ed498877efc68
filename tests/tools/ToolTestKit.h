// Win32 only: what the service tool tests share: running a tool, a scratch service and folder
// that clean up after themselves, the process list, marker files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace tlv::testing {

/// The folder of the test executable, where the tools and test programs lie; ends in "\".
std::string testProgramFolder();

/// A name no earlier run has used: prefix, the test's name, this process id and a counter.
std::string uniqueName(const std::string& prefix);

struct ToolRun {
  DWORD exitCode = 0;
  std::string output;  ///< stdout and stderr together
};
/// Runs `program arguments` and waits for it (a minute at most).
ToolRun runTool(const std::string& program, const std::string& arguments);

/// Running processes: id and executable name.
struct ProcessEntry {
  DWORD id;
  std::string name;
};
std::vector<ProcessEntry> processList();
bool processRunning(DWORD id);
std::vector<DWORD> processesNamed(const std::string& exeName);

/// Waits until `condition()` holds, polling; false when `timeoutMs` passed first.
template <class Condition>
bool waitUntil(Condition condition, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount() - start >= timeoutMs) return false;
    ::Sleep(50);
  }
}

/// A string value below HKEY_LOCAL_MACHINE; nothing when the key or value is missing.
std::optional<std::string> machineRegistryString(const std::string& keyPath, const char* valueName);

/// The whole file; empty when missing.
std::string readFile(const std::string& path);
/// The numbers after "<key>=" on the file's lines, in order ("pid" finds "start pid=12").
std::vector<DWORD> numbersAfter(const std::string& text, const std::string& key);

/// A folder of its own below %TEMP% (or below `parent`), removed with its files at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& parent = {});
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }  ///< ends in "\"

 private:
  std::string path_;
};

/// A uniquely named service for one test. The destructor ends it whatever happened: stops it,
/// ends srvany and every test program still running, deletes the service and its event source.
class ScratchService {
 public:
  ScratchService();
  ~ScratchService();
  ScratchService(const ScratchService&) = delete;
  ScratchService& operator=(const ScratchService&) = delete;

  const std::string& name() const { return name_; }
  /// Creates it with instsrv, srvany as its program; false (with a test failure) otherwise.
  bool installWithSrvany();
  void setParameter(const std::string& valueName, const std::string& text);
  void setParameterDword(const std::string& valueName, DWORD value);

  /// StartService: ERROR_SUCCESS or the error it gave.
  DWORD start();
  /// ControlService(STOP): ERROR_SUCCESS or the error it gave.
  DWORD stop();
  SERVICE_STATUS_PROCESS status() const;
  /// Waits for `state`; false when the timeout passed first.
  bool waitForState(DWORD state, DWORD timeoutMs) const;
  /// The srvany process seen while the service ran (0 before).
  DWORD hostProcessId() const { return hostProcessId_; }
  void rememberHostProcess();

 private:
  platform::win32::UniqueServiceHandle open(DWORD access) const;

  std::string name_;
  platform::win32::UniqueServiceHandle manager_;
  DWORD hostProcessId_ = 0;
};

/// The test program that srvany starts, and its marker file in a scratch folder.
inline constexpr char kTestAppName[] = "servicetestapp.exe";

}  // namespace tlv::testing
