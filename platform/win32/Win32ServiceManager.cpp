// Win32 only: the service-manager port on the real service control manager.
#include "platform/win32/Win32ServiceManager.h"

#include <cstring>
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

// "a\0b\0\0": the manager's list of names; a single NUL pair for none.
std::string doubleNulList(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  list += '\0';
  if (names.empty()) list += '\0';
  return list;
}

std::vector<std::string> namesOf(const char* list) {
  std::vector<std::string> names;
  for (const char* at = list; at && *at; at += std::strlen(at) + 1) names.emplace_back(at);
  return names;
}

// The dependencies as the manager stores them: Wine's QueryServiceConfig never reports them.
std::vector<std::string> storedDependencies(const std::string& service) {
  const std::string key = "SYSTEM\\CurrentControlSet\\Services\\" + service;
  DWORD size = 0;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "DependOnService", RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<char> list(size + 2, '\0');
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "DependOnService", RRF_RT_REG_MULTI_SZ, nullptr, list.data(),
                     &size) != ERROR_SUCCESS) {
    return {};
  }
  return namesOf(list.data());
}

// QueryServiceConfig2's answer for one level; ERROR_INVALID_LEVEL where the manager does not
// know it, which Wine reports also by failing without an error.
Result<std::vector<BYTE>> queryConfig2(const std::string& service, DWORD level) {
  using R = Result<std::vector<BYTE>>;
  auto opened = openForQuery(service);
  if (!opened) return R::failure(opened.error);
  DWORD needed = 0;
  std::vector<BYTE> buffer(64);
  if (!::QueryServiceConfig2A(opened.value.get(), level, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    DWORD error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER) return R::failure(error != ERROR_SUCCESS ? error : err::kInvalidLevel);
    buffer.resize(needed);
    if (!::QueryServiceConfig2A(opened.value.get(), level, buffer.data(), needed, &needed)) {
      error = ::GetLastError();
      return R::failure(error != ERROR_SUCCESS ? error : err::kInvalidLevel);
    }
  }
  return R::success(std::move(buffer));
}

Win32Error changeConfig2(const std::string& service, DWORD level, void* info) {
  auto opened = openForQuery(service, SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG);
  if (!opened) return opened.error;
  if (::ChangeServiceConfig2A(opened.value.get(), level, info)) return err::kSuccess;
  const DWORD error = ::GetLastError();
  if (error == ERROR_SUCCESS || error == ERROR_INVALID_LEVEL) return err::kInvalidLevel;
  // Wine refuses the SID type as a wrong parameter; a manager that cannot even report the
  // setting does not know it.
  const auto known = queryConfig2(service, level);
  return known.error == err::kInvalidLevel ? err::kInvalidLevel : error;
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
  std::vector<std::string> dependencies = namesOf(config->lpDependencies);
  if (dependencies.empty()) dependencies = storedDependencies(service);
  return Result<ServiceConfiguration>::success({config->lpBinaryPathName ? config->lpBinaryPathName : "",
                                                config->dwStartType,
                                                config->lpServiceStartName ? config->lpServiceStartName : "",
                                                std::move(dependencies)});
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

Win32Error Win32ServiceManager::change(const std::string& service, const ServiceChange& change) {
  auto opened = openForQuery(service, SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG);
  if (!opened) return opened.error;
  const std::string dependencies = change.dependencies ? doubleNulList(*change.dependencies) : std::string();
  // The accounts a run sets have no password: an empty one, never one taken from anyone.
  const BOOL changed = ::ChangeServiceConfigA(
      opened.value.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, nullptr, nullptr, nullptr,
      change.dependencies ? dependencies.c_str() : nullptr, change.account ? change.account->c_str() : nullptr,
      change.account ? "" : nullptr, nullptr);
  return changed ? err::kSuccess : ::GetLastError();
}

Result<bool> Win32ServiceManager::delayedAutoStart(const std::string& service) {
  const auto read = queryConfig2(service, SERVICE_CONFIG_DELAYED_AUTO_START_INFO);
  if (!read.ok()) return Result<bool>::failure(read.error);
  return Result<bool>::success(
      reinterpret_cast<const SERVICE_DELAYED_AUTO_START_INFO*>(read.value.data())->fDelayedAutostart != FALSE);
}

Win32Error Win32ServiceManager::setDelayedAutoStart(const std::string& service, bool delayed) {
  SERVICE_DELAYED_AUTO_START_INFO info{delayed ? TRUE : FALSE};
  return changeConfig2(service, SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &info);
}

Result<std::uint32_t> Win32ServiceManager::sidType(const std::string& service) {
  const auto read = queryConfig2(service, SERVICE_CONFIG_SERVICE_SID_INFO);
  if (!read.ok()) return Result<std::uint32_t>::failure(read.error);
  return Result<std::uint32_t>::success(
      reinterpret_cast<const SERVICE_SID_INFO*>(read.value.data())->dwServiceSidType);
}

Win32Error Win32ServiceManager::setSidType(const std::string& service, std::uint32_t type) {
  SERVICE_SID_INFO info{type};
  return changeConfig2(service, SERVICE_CONFIG_SERVICE_SID_INFO, &info);
}

Result<std::vector<std::string>> Win32ServiceManager::requiredPrivileges(const std::string& service) {
  using R = Result<std::vector<std::string>>;
  const auto read = queryConfig2(service, SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO);
  if (!read.ok()) return R::failure(read.error);
  return R::success(
      namesOf(reinterpret_cast<const SERVICE_REQUIRED_PRIVILEGES_INFOA*>(read.value.data())->pmszRequiredPrivileges));
}

Win32Error Win32ServiceManager::setRequiredPrivileges(const std::string& service,
                                                      const std::vector<std::string>& privileges) {
  std::string list = doubleNulList(privileges);
  SERVICE_REQUIRED_PRIVILEGES_INFOA info{list.data()};
  return changeConfig2(service, SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &info);
}

}  // namespace tlv::platform::win32
