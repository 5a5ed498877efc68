// Win32 only: services as the Wine tests make, read and remove them through the service
// control manager, and srvany's text log of them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tlv::testing {

/// The service's status; dwCurrentState 0 when there is no such service.
SERVICE_STATUS_PROCESS serviceStatus(const std::string& name);
inline DWORD serviceState(const std::string& name) { return serviceStatus(name).dwCurrentState; }
bool waitForServiceState(const std::string& name, DWORD state, DWORD timeoutMs);
bool serviceExists(const std::string& name);
/// StartService, then waits until it runs; ControlService(STOP), then waits until it stopped.
bool startService(const std::string& name);
bool stopService(const std::string& name);
/// Stops the service when it runs and deletes it; nothing when there is none.
void removeService(const std::string& name);
/// The program gives its batch file 500 ms to create the service; the first command
/// interpreter of a Wine session, the first start of instsrv and the first creation of a
/// service (which waits for the service database) can each take longer, and the run would
/// then end, as on any slow machine, "NOT Complete". Done once beforehand, each is quick.
void warmUpServiceCreation();

struct ServiceConfig {
  DWORD serviceType = 0;
  DWORD startType = 0;
  std::string binaryPath;
  std::string account;
};
/// The service's configuration; a missing service is a test failure.
ServiceConfig serviceConfig(const std::string& name);

/// srvany's text log of a service: %SystemRoot%\Logs\TlvAsService\<name>.log.
std::string hostLogOf(const std::string& service);
/// The event ids of srvany's text log ("2026-12-07 09:05:07 +01:00 SYSTEM 100 text"), warnings
/// (112) left out: where the system keeps no folder security (Wine), srvany warns of it at each
/// start. A line whose offset is no "+HH:MM" or "-HH:MM" counts as id 0, so that it fails.
std::vector<int> loggedEvents(const std::string& log);

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
  SERVICE_STATUS_PROCESS status() const { return serviceStatus(name_); }
  bool waitForState(DWORD state, DWORD timeoutMs) const { return waitForServiceState(name_, state, timeoutMs); }
  /// The service's preshutdown timeout (QueryServiceConfig2); 0 when it cannot be read.
  DWORD preshutdownTimeout() const;
  void setPreshutdownTimeout(DWORD timeoutMs);
  std::string hostLog() const { return hostLogOf(name_); }
  /// The srvany process seen while the service ran (0 before).
  DWORD hostProcessId() const { return hostProcessId_; }
  void rememberHostProcess();

 private:
  std::string name_;
  DWORD hostProcessId_ = 0;
};

/// The test program that srvany starts, and its marker file in a scratch folder.
inline constexpr char kTestAppName[] = "servicetestapp.exe";

}  // namespace tlv::testing
