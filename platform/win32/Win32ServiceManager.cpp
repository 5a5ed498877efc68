// Win32 only: the service-manager port on the real service control manager.
#include "platform/win32/Win32ServiceManager.h"

#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Security.h"

namespace tlv::platform::win32 {
namespace {

// The service opened with the access given, or why it could not be.
Result<UniqueServiceHandle> openForQuery(const std::string& service, DWORD access = SERVICE_QUERY_CONFIG) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return Result<UniqueServiceHandle>::failure(::GetLastError());
  UniqueServiceHandle opened(::OpenServiceA(manager.get(), service.c_str(), access));
  if (!opened) return Result<UniqueServiceHandle>::failure(::GetLastError());
  return Result<UniqueServiceHandle>::success(std::move(opened));
}

}  // namespace

Result<ServiceConfiguration> Win32ServiceManager::configuration(const std::string& service) {
  auto opened = openForQuery(service);
  if (!opened) return Result<ServiceConfiguration>::failure(opened.error);
  DWORD needed = 0;
  ::QueryServiceConfigA(opened.value.get(), nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed > 0 ? needed : sizeof(QUERY_SERVICE_CONFIGA));
  auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
  if (!::QueryServiceConfigA(opened.value.get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
    return Result<ServiceConfiguration>::failure(::GetLastError());
  }
  return Result<ServiceConfiguration>::success(
      {config->lpBinaryPathName ? config->lpBinaryPathName : "", config->dwStartType});
}

Result<ServiceStatus> Win32ServiceManager::status(const std::string& service) {
  auto opened = openForQuery(service, SERVICE_QUERY_STATUS);
  if (!opened) return Result<ServiceStatus>::failure(opened.error);
  SERVICE_STATUS_PROCESS status{};
  DWORD needed = 0;
  if (!::QueryServiceStatusEx(opened.value.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                              sizeof status, &needed)) {
    return Result<ServiceStatus>::failure(::GetLastError());
  }
  return Result<ServiceStatus>::success(
      {status.dwCurrentState, status.dwWin32ExitCode, status.dwServiceSpecificExitCode, status.dwProcessId});
}

Result<bool> Win32ServiceManager::failureActionsOnNonCrashFailures(const std::string& service) {
  auto opened = openForQuery(service);
  if (!opened) return Result<bool>::failure(opened.error);
  SERVICE_FAILURE_ACTIONS_FLAG flag{};
  DWORD needed = 0;
  if (!::QueryServiceConfig2A(opened.value.get(), SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, reinterpret_cast<BYTE*>(&flag),
                              sizeof flag, &needed)) {
    // Wine does not know the setting (ERROR_INVALID_LEVEL); any other refusal is passed on.
    const DWORD error = ::GetLastError();
    return Result<bool>::failure(error != ERROR_SUCCESS ? error : err::kInvalidLevel);
  }
  return Result<bool>::success(flag.fFailureActionsOnNonCrashFailures != FALSE);
}

Win32Error Win32ServiceManager::deleteService(const std::string& service) {
  auto opened = openForQuery(service, DELETE);
  if (!opened) return opened.error;
  return ::DeleteService(opened.value.get()) ? err::kSuccess : ::GetLastError();
}

Result<SecurityDescriptor> Win32ServiceManager::security(const std::string& service) {
  using R = Result<SecurityDescriptor>;
  auto opened = openForQuery(service, READ_CONTROL);
  if (!opened) return R::failure(opened.error);
  constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD needed = 0;
  ::QueryServiceObjectSecurity(opened.value.get(), kWhat, nullptr, 0, &needed);
  std::vector<BYTE> descriptor(needed > 0 ? needed : sizeof(SECURITY_DESCRIPTOR));
  if (!::QueryServiceObjectSecurity(opened.value.get(), kWhat, descriptor.data(), static_cast<DWORD>(descriptor.size()),
                                    &needed)) {
    return R::failure(::GetLastError());
  }
  auto read = descriptorOf(descriptor.data());
  // Windows gives every service an owner; Wine's reads as an empty list without one.
  if (read.ok() && read.value.owner.empty()) return R::failure(err::kNotSupported);
  return read;
}

}  // namespace tlv::platform::win32
