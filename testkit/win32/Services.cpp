// Win32 only: services as the Wine tests make, read and remove them.
#include "testkit/win32/Services.h"

#include <gtest/gtest.h>

#include <vector>

#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueRegKey;
using platform::win32::UniqueServiceHandle;

constexpr DWORD kCleanupStopMs = 15000;

std::string hostLogPath(const std::string& service) {
  char windows[MAX_PATH] = {};
  ::GetSystemWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\Logs\\TlvAsService\\" + service + ".log";
}

UniqueServiceHandle openService(const std::string& name, DWORD access) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  return UniqueServiceHandle(manager ? ::OpenServiceA(manager.get(), name.c_str(), access) : nullptr);
}

}  // namespace

DWORD serviceState(const std::string& name) {
  const auto service = openService(name, SERVICE_QUERY_STATUS);
  SERVICE_STATUS status{};
  return service && ::QueryServiceStatus(service.get(), &status) ? status.dwCurrentState : 0;
}

bool waitForServiceState(const std::string& name, DWORD state, DWORD timeoutMs) {
  return waitUntil([&] { return serviceState(name) == state; }, timeoutMs);
}

bool serviceExists(const std::string& name) { return bool(openService(name, SERVICE_QUERY_STATUS)); }

void removeService(const std::string& name) {
  const auto service = openService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
  if (!service) return;
  SERVICE_STATUS status{};
  if (::ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
    waitForServiceState(name, SERVICE_STOPPED, kCleanupStopMs);
  }
  ::DeleteService(service.get());
}

ServiceConfig serviceConfig(const std::string& name) {
  ServiceConfig config;
  const auto service = openService(name, SERVICE_QUERY_CONFIG);
  if (!service) {
    ADD_FAILURE() << "no service " << name << ": error " << ::GetLastError();
    return config;
  }
  std::vector<BYTE> buffer(8192);
  DWORD needed = 0;
  auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (!::QueryServiceConfigA(service.get(), raw, static_cast<DWORD>(buffer.size()), &needed)) {
    ADD_FAILURE() << "QueryServiceConfig failed: " << ::GetLastError();
    return config;
  }
  return ServiceConfig{raw->dwServiceType, raw->dwStartType, raw->lpBinaryPathName ? raw->lpBinaryPathName : "",
                       raw->lpServiceStartName ? raw->lpServiceStartName : ""};
}

ScratchService::ScratchService()
    : name_(uniqueName("TlvToolsTest")), manager_(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
  if (!manager_) ADD_FAILURE() << "OpenSCManager failed: " << ::GetLastError();
}

ScratchService::~ScratchService() {
  if (auto service = open(SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)) {
    const SERVICE_STATUS_PROCESS current = status();
    if (current.dwCurrentState != SERVICE_STOPPED) {
      SERVICE_STATUS ignored{};
      ::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored);
      // A host that was killed never reports STOPPED: stop waiting once it is gone.
      const DWORD host = current.dwProcessId;
      waitUntil([&] { return status().dwCurrentState == SERVICE_STOPPED || (host != 0 && !processRunning(host)); },
                kCleanupStopMs);
    }
    ::DeleteService(service.get());
  }
  // Whatever the test left: srvany and every test program (their name is ours alone).
  if (hostProcessId_ != 0) endProcess(hostProcessId_);
  for (DWORD id : processesNamed(kTestAppName)) endProcess(id);
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str());
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, tools::eventSourceKeyPath(name_).c_str());
  ::DeleteFileA(hostLogPath(name_).c_str());
}

UniqueServiceHandle ScratchService::open(DWORD access) const {
  return UniqueServiceHandle(manager_ ? ::OpenServiceA(manager_.get(), name_.c_str(), access) : nullptr);
}

bool ScratchService::installWithSrvany() {
  const ToolRun run =
      runTool(testProgramFolder() + "instsrv.exe", name_ + " \"" + testProgramFolder() + "srvany.exe\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  return run.exitCode == 0;
}

void ScratchService::setParameter(const std::string& valueName, const std::string& text) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS);
}

void ScratchService::setParameterDword(const std::string& valueName, DWORD value) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(
      ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
      ERROR_SUCCESS);
}

DWORD ScratchService::start() {
  auto service = open(SERVICE_START);
  if (!service) return ::GetLastError();
  return ::StartServiceA(service.get(), 0, nullptr) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD ScratchService::stop() {
  auto service = open(SERVICE_STOP);
  if (!service) return ::GetLastError();
  SERVICE_STATUS ignored{};
  return ::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored) ? ERROR_SUCCESS : ::GetLastError();
}

SERVICE_STATUS_PROCESS ScratchService::status() const {
  SERVICE_STATUS_PROCESS status{};
  auto service = open(SERVICE_QUERY_STATUS);
  DWORD needed = 0;
  if (!service || !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof status, &needed)) {
    status.dwCurrentState = 0;  // no such state: the service is gone or cannot be asked
  }
  return status;
}

bool ScratchService::waitForState(DWORD state, DWORD timeoutMs) const {
  return waitUntil([&] { return status().dwCurrentState == state; }, timeoutMs);
}

DWORD ScratchService::preshutdownTimeout() const {
  SERVICE_PRESHUTDOWN_INFO info{};
  DWORD needed = 0;
  auto service = open(SERVICE_QUERY_CONFIG);
  if (!service || !::QueryServiceConfig2A(service.get(), SERVICE_CONFIG_PRESHUTDOWN_INFO, reinterpret_cast<BYTE*>(&info),
                                          sizeof info, &needed)) {
    return 0;
  }
  return info.dwPreshutdownTimeout;
}

void ScratchService::setPreshutdownTimeout(DWORD timeoutMs) {
  SERVICE_PRESHUTDOWN_INFO info{timeoutMs};
  auto service = open(SERVICE_CHANGE_CONFIG);
  ASSERT_TRUE(service && ::ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_PRESHUTDOWN_INFO, &info))
      << ::GetLastError();
}

std::string ScratchService::hostLog() const { return readFile(hostLogPath(name_)); }

void ScratchService::rememberHostProcess() {
  const DWORD id = status().dwProcessId;
  if (id != 0) hostProcessId_ = id;
}

}  // namespace tlv::testing
