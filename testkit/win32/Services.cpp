// Win32 only: services as the Wine tests make, read and remove them.
#include "testkit/win32/Services.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueRegKey;
using platform::win32::UniqueServiceHandle;

constexpr DWORD kStateChangeMs = 20000;

UniqueServiceHandle openService(const std::string& name, DWORD access) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  return UniqueServiceHandle(manager ? ::OpenServiceA(manager.get(), name.c_str(), access) : nullptr);
}

void setValue(const std::string& service, const std::string& valueName, DWORD type, const void* data, DWORD size) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(service).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key.get(), valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}

}  // namespace

SERVICE_STATUS_PROCESS serviceStatus(const std::string& name) {
  SERVICE_STATUS_PROCESS status{};
  const auto service = openService(name, SERVICE_QUERY_STATUS);
  DWORD needed = 0;
  if (!service || !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof status, &needed)) {
    status.dwCurrentState = 0;  // no such state: the service is gone or cannot be asked
  }
  return status;
}

bool waitForServiceState(const std::string& name, DWORD state, DWORD timeoutMs) {
  return waitUntil([&] { return serviceState(name) == state; }, timeoutMs);
}

bool serviceExists(const std::string& name) { return bool(openService(name, SERVICE_QUERY_STATUS)); }

bool startService(const std::string& name) {
  const auto service = openService(name, SERVICE_START);
  if (!service || !::StartServiceA(service.get(), 0, nullptr)) {
    ADD_FAILURE() << "cannot start " << name << ": error " << ::GetLastError();
    return false;
  }
  return waitForServiceState(name, SERVICE_RUNNING, kStateChangeMs);
}

bool stopService(const std::string& name) {
  const auto service = openService(name, SERVICE_STOP);
  SERVICE_STATUS ignored{};
  if (!service || !::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored)) {
    ADD_FAILURE() << "cannot stop " << name << ": error " << ::GetLastError();
    return false;
  }
  return waitForServiceState(name, SERVICE_STOPPED, 30000);
}

void removeService(const std::string& name) {
  const auto service = openService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
  if (!service) return;
  const DWORD host = serviceStatus(name).dwProcessId;
  SERVICE_STATUS ignored{};
  if (::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored)) {
    // A host that was killed never reports STOPPED: stop waiting once it is gone.
    waitUntil([&] { return serviceState(name) == SERVICE_STOPPED || (host != 0 && !processRunning(host)); },
              kStateChangeMs);
  }
  ::DeleteService(service.get());
}

ServiceConfig serviceConfig(const std::string& name) {
  const auto service = openService(name, SERVICE_QUERY_CONFIG);
  std::vector<BYTE> buffer(8192);
  DWORD needed = 0;
  auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (!service || !::QueryServiceConfigA(service.get(), raw, static_cast<DWORD>(buffer.size()), &needed)) {
    ADD_FAILURE() << "no configuration of the service " << name << ": error " << ::GetLastError();
    return {};
  }
  return ServiceConfig{raw->dwServiceType, raw->dwStartType, raw->lpBinaryPathName ? raw->lpBinaryPathName : "",
                       raw->lpServiceStartName ? raw->lpServiceStartName : ""};
}

void warmUpServiceCreation() {
  runTool(windowsFolder() + "system32\\cmd.exe", "/c exit");
  const std::string instsrv = buildRoot() + "tools\\instsrv\\instsrv.exe";
  runTool(instsrv, "TlvAsServiceWarmUp C:\\x.exe");
  runTool(instsrv, "TlvAsServiceWarmUp REMOVE");
}

std::string hostLogOf(const std::string& service) {
  return readFile(windowsFolder() + "Logs\\TlvAsService\\" + service + ".log");
}

std::vector<int> loggedEvents(const std::string& log) {
  std::vector<int> ids;
  std::istringstream lines(log);
  for (std::string date, time, offset, account, id, rest;
       lines >> date >> time >> offset >> account >> id && std::getline(lines, rest);) {
    const bool offsetShown = offset.size() == 6 && (offset[0] == '+' || offset[0] == '-') && offset[3] == ':';
    if (id != "112") ids.push_back(offsetShown && !account.empty() ? std::stoi(id) : 0);
  }
  return ids;
}

ScratchService::ScratchService() : name_(uniqueName("TlvToolsTest")) {}

ScratchService::~ScratchService() {
  removeService(name_);
  // Whatever the test left: srvany and every test program (their name is ours alone).
  if (hostProcessId_ != 0) endProcess(hostProcessId_);
  for (DWORD id : processesNamed(kTestAppName)) endProcess(id);
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str());
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, tools::eventSourceKeyPath(name_).c_str());
  ::DeleteFileA((windowsFolder() + "Logs\\TlvAsService\\" + name_ + ".log").c_str());
}

bool ScratchService::installWithSrvany() {
  const ToolRun run = runTool(testProgramFolder() + "instsrv.exe", name_ + " \"" + testProgramFolder() + "srvany.exe\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  return run.exitCode == 0;
}

void ScratchService::setParameter(const std::string& valueName, const std::string& text) {
  setValue(name_, valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void ScratchService::setParameterDword(const std::string& valueName, DWORD value) {
  setValue(name_, valueName, REG_DWORD, &value, sizeof value);
}

DWORD ScratchService::start() {
  const auto service = openService(name_, SERVICE_START);
  return service && ::StartServiceA(service.get(), 0, nullptr) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD ScratchService::stop() {
  const auto service = openService(name_, SERVICE_STOP);
  SERVICE_STATUS ignored{};
  return service && ::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD ScratchService::preshutdownTimeout() const {
  SERVICE_PRESHUTDOWN_INFO info{};
  DWORD needed = 0;
  const auto service = openService(name_, SERVICE_QUERY_CONFIG);
  return service && ::QueryServiceConfig2A(service.get(), SERVICE_CONFIG_PRESHUTDOWN_INFO, reinterpret_cast<BYTE*>(&info),
                                           sizeof info, &needed)
             ? info.dwPreshutdownTimeout
             : 0;
}

void ScratchService::setPreshutdownTimeout(DWORD timeoutMs) {
  SERVICE_PRESHUTDOWN_INFO info{timeoutMs};
  const auto service = openService(name_, SERVICE_CHANGE_CONFIG);
  ASSERT_TRUE(service && ::ChangeServiceConfig2A(service.get(), SERVICE_CONFIG_PRESHUTDOWN_INFO, &info)) << ::GetLastError();
}

void ScratchService::rememberHostProcess() {
  const DWORD id = status().dwProcessId;
  if (id != 0) hostProcessId_ = id;
}

}  // namespace tlv::testing
