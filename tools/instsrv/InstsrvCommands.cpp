// Win32 only: instsrv's two commands. Each prints one line per outcome and returns a Win32 code.
#include "tools/instsrv/InstsrvCommands.h"

#include <cstdarg>
#include <cstdio>

#include "platform/win32/UniqueHandle.h"
#include "tools/common/ErrorText.h"
#include "tools/common/ServiceConfig.h"
#include "tools/common/ServiceKeys.h"
#include "tools/instsrv/InstsrvArguments.h"
#include "tools/srvany/HostSession.h"

namespace tlv::tools {
namespace {

using platform::win32::UniqueServiceHandle;

// srvany's grace period for its program plus room for ending it.
constexpr DWORD kStopTimeoutMs = 30000;
constexpr DWORD kStopPollMs = 250;

void say(const char* format, ...) {
  std::fputs("instsrv: ", stdout);
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fputs("\n", stdout);
  std::fflush(stdout);  // the line shows at once, also when a stop is awaited after it
}

bool programExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Counts a stop with a non-zero exit code as a failure, so that the recovery actions also
// restart a service whose program ended by itself (srvany then stops with the program's exit
// code). Windows 7 has the setting; where it is missing the call fails and we only report it.
DWORD countErrorStopsAsFailures(SC_HANDLE service) {
  SERVICE_FAILURE_ACTIONS_FLAG flag{TRUE};
  if (::ChangeServiceConfig2A(service, SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &flag)) return ERROR_SUCCESS;
  return lastErrorOr(ERROR_NOT_SUPPORTED);
}

DWORD queryState(SC_HANDLE service, DWORD& state) {
  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  if (!::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                              &needed)) {
    return ::GetLastError();
  }
  state = status.dwCurrentState;
  return ERROR_SUCCESS;
}

// Asks a running service to stop and waits until it has. ERROR_SUCCESS once it is stopped.
DWORD stopAndWait(SC_HANDLE service, const std::string& serviceName) {
  DWORD state = 0;
  if (DWORD error = queryState(service, state)) return error;
  if (state == SERVICE_STOPPED) return ERROR_SUCCESS;
  say("stopping the service %s ...", serviceName.c_str());
  if (state != SERVICE_STOP_PENDING) {
    SERVICE_STATUS ignored{};
    if (!::ControlService(service, SERVICE_CONTROL_STOP, &ignored)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_SERVICE_NOT_ACTIVE) return ERROR_SUCCESS;
      // A service still starting cannot take the control yet; it may stop by itself.
      if (error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL) return error;
    }
  }
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < kStopTimeoutMs) {
    if (DWORD error = queryState(service, state)) return error;
    if (state == SERVICE_STOPPED) return ERROR_SUCCESS;
    ::Sleep(kStopPollMs);
  }
  return ERROR_SERVICE_REQUEST_TIMEOUT;
}

void removeEventSource(const std::string& serviceName) {
  const LONG error = ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, eventSourceKeyPath(serviceName).c_str());
  if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
    say("note: the event source of %s stays registered: %s", serviceName.c_str(), errorText(error).c_str());
  }
}

}  // namespace

DWORD installService(const std::string& serviceName, const std::string& programPath) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
  if (!manager) {
    const DWORD error = ::GetLastError();
    say("cannot open the service control manager: %s", errorText(error).c_str());
    return error;
  }
  const std::string binaryPath = serviceBinaryPath(programPath);
  UniqueServiceHandle service(::CreateServiceA(manager.get(), serviceName.c_str(), serviceName.c_str(),
                                               SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG, SERVICE_WIN32_OWN_PROCESS,
                                               SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr,
                                               nullptr, nullptr, nullptr /* LocalSystem */, nullptr));
  if (!service) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_SERVICE_EXISTS) {
      say("the service %s already exists; it was left unchanged.", serviceName.c_str());
    } else {
      say("cannot create the service %s: %s", serviceName.c_str(), errorText(error).c_str());
    }
    return error;
  }
  const DWORD flagError = countErrorStopsAsFailures(service.get());
  // srvany's time to close its program when Windows shuts down; it sets it again when it starts.
  const DWORD preshutdownError = setPreshutdownTimeout(service.get(), kPreshutdownTimeoutMs);
  say("created the service %s (own process, automatic start, local system) running %s", serviceName.c_str(),
      binaryPath.c_str());
  if (flagError != ERROR_SUCCESS) {
    say("note: a program that exits by itself will not trigger the recovery actions here: %s",
        errorText(flagError).c_str());
  }
  if (preshutdownError != ERROR_SUCCESS && preshutdownError != ERROR_INVALID_LEVEL) {
    say("note: the service's shutdown time could not be set: %s", errorText(preshutdownError).c_str());
  }
  if (!programExists(programPath)) {
    say("note: %s does not exist yet; the service cannot start until it does.", programPath.c_str());
  }
  return ERROR_SUCCESS;
}

DWORD removeService(const std::string& serviceName) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) {
    const DWORD error = ::GetLastError();
    say("cannot open the service control manager: %s", errorText(error).c_str());
    return error;
  }
  UniqueServiceHandle service(
      ::OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_SERVICE_DOES_NOT_EXIST) {
      say("there is no service named %s; nothing was removed.", serviceName.c_str());
    } else {
      say("cannot open the service %s: %s", serviceName.c_str(), errorText(error).c_str());
    }
    return error;
  }
  const DWORD stopError = stopAndWait(service.get(), serviceName);
  if (!::DeleteService(service.get())) {
    const DWORD error = ::GetLastError();
    say("cannot remove the service %s: %s", serviceName.c_str(), errorText(error).c_str());
    return error;
  }
  removeEventSource(serviceName);
  if (stopError != ERROR_SUCCESS) {
    say("the service %s did not stop (%s); it is marked for deletion and goes once it has stopped.",
        serviceName.c_str(), errorText(stopError).c_str());
    return ERROR_SERVICE_MARKED_FOR_DELETE;
  }
  say("removed the service %s.", serviceName.c_str());
  return ERROR_SUCCESS;
}

}  // namespace tlv::tools
