// Win32 only: services as the Wine tests make, read and remove them through the service
// control manager.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/UniqueHandle.h"

namespace tlv::testing {

/// The state of a named service (SERVICE_RUNNING, ...); 0 when there is no such service.
DWORD serviceState(const std::string& name);
bool waitForServiceState(const std::string& name, DWORD state, DWORD timeoutMs);
bool serviceExists(const std::string& name);
/// Stops the service when it runs and deletes it; nothing when there is none.
void removeService(const std::string& name);

struct ServiceConfig {
  DWORD serviceType = 0;
  DWORD startType = 0;
  std::string binaryPath;
  std::string account;
};
/// The service's configuration; a missing service is a test failure.
ServiceConfig serviceConfig(const std::string& name);

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
  /// The service's preshutdown timeout (QueryServiceConfig2); 0 when it cannot be read.
  DWORD preshutdownTimeout() const;
  void setPreshutdownTimeout(DWORD timeoutMs);
  /// srvany's text log of this service: %SystemRoot%\Logs\TlvAsService\<name>.log.
  std::string hostLog() const;
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
