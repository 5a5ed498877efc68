// Win32 only: tlvserviceinfo NAME, a demonstration helper that prints what the service
// control manager holds for a service, as "sc qc" would (which Wine's sc lacks): its type,
// start type, program, account, description, recovery actions and present state.
// Exit code 0 when the service exists, otherwise the Win32 error.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace {

using tlv::platform::win32::UniqueServiceHandle;

const char* startTypeName(DWORD type) {
  switch (type) {
    case SERVICE_BOOT_START: return "BOOT_START";
    case SERVICE_SYSTEM_START: return "SYSTEM_START";
    case SERVICE_AUTO_START: return "AUTO_START";
    case SERVICE_DEMAND_START: return "DEMAND_START";
    case SERVICE_DISABLED: return "DISABLED";
    default: return "?";
  }
}

const char* stateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED: return "STOPPED";
    case SERVICE_START_PENDING: return "START_PENDING";
    case SERVICE_STOP_PENDING: return "STOP_PENDING";
    case SERVICE_RUNNING: return "RUNNING";
    default: return "?";
  }
}

const char* actionName(SC_ACTION_TYPE type) {
  switch (type) {
    case SC_ACTION_NONE: return "none";
    case SC_ACTION_RESTART: return "restart";
    case SC_ACTION_REBOOT: return "reboot";
    case SC_ACTION_RUN_COMMAND: return "run command";
    default: return "?";
  }
}

// QueryServiceConfig2A for one level into a buffer of the size it asks for; empty on failure.
std::vector<BYTE> config2(SC_HANDLE service, DWORD level) {
  DWORD needed = 0;
  ::QueryServiceConfig2A(service, level, nullptr, 0, &needed);
  if (needed == 0) return {};
  std::vector<BYTE> buffer(needed);
  if (!::QueryServiceConfig2A(service, level, buffer.data(), needed, &needed)) return {};
  return buffer;
}

void printRecovery(SC_HANDLE service) {
  const auto buffer = config2(service, SERVICE_CONFIG_FAILURE_ACTIONS);
  if (buffer.empty()) return std::puts("        RECOVERY           : (not reported)"), void();
  const auto* failure = reinterpret_cast<const SERVICE_FAILURE_ACTIONSA*>(buffer.data());
  std::printf("        RESET_PERIOD       : %lu s\n", failure->dwResetPeriod);
  for (DWORD i = 0; i < failure->cActions; ++i) {
    std::printf("        FAILURE_ACTION %lu   : %s after %lu ms\n", i + 1, actionName(failure->lpsaActions[i].Type),
                failure->lpsaActions[i].Delay);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tlvserviceinfo <service name>\n", stderr);
    return ERROR_INVALID_PARAMETER;
  }
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(manager ? ::OpenServiceA(manager.get(), argv[1], SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS)
                                      : nullptr);
  if (!service) {
    const DWORD error = ::GetLastError();
    std::fprintf(stderr, "tlvserviceinfo: cannot open the service %s: error %lu\n", argv[1], error);
    return static_cast<int>(error);
  }
  DWORD needed = 0;
  ::QueryServiceConfigA(service.get(), nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed ? needed : 1);
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (!::QueryServiceConfigA(service.get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
    const DWORD error = ::GetLastError();
    std::fprintf(stderr, "tlvserviceinfo: cannot read the configuration: error %lu\n", error);
    return static_cast<int>(error);
  }
  std::printf("SERVICE_NAME: %s\n", argv[1]);
  std::printf("        TYPE               : %lx  %s\n", config->dwServiceType,
              config->dwServiceType == SERVICE_WIN32_OWN_PROCESS ? "WIN32_OWN_PROCESS" : "");
  std::printf("        START_TYPE         : %lu  %s\n", config->dwStartType, startTypeName(config->dwStartType));
  std::printf("        BINARY_PATH_NAME   : %s\n", config->lpBinaryPathName ? config->lpBinaryPathName : "");
  std::printf("        DISPLAY_NAME       : %s\n", config->lpDisplayName ? config->lpDisplayName : "");
  std::printf("        SERVICE_START_NAME : %s\n", config->lpServiceStartName ? config->lpServiceStartName : "");
  const auto description = config2(service.get(), SERVICE_CONFIG_DESCRIPTION);
  const char* text = description.empty()
                         ? nullptr
                         : reinterpret_cast<const SERVICE_DESCRIPTIONA*>(description.data())->lpDescription;
  std::printf("        DESCRIPTION        : %s\n", text ? text : "");
  printRecovery(service.get());
  SERVICE_STATUS status{};
  if (::QueryServiceStatus(service.get(), &status)) {
    std::printf("        STATE              : %lu  %s\n", status.dwCurrentState, stateName(status.dwCurrentState));
  }
  return 0;
}
