// Portable: the service-manager port: what the service control manager holds for a service,
// read where it is true rather than from the registry values behind it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "platform/Security.h"

namespace tlv::platform {

namespace servicestart {  // SERVICE_*_START
inline constexpr std::uint32_t kAutomatic = 2;
inline constexpr std::uint32_t kManual = 3;
inline constexpr std::uint32_t kDisabled = 4;
}  // namespace servicestart

namespace servicestate {  // SERVICE_STOPPED ... SERVICE_PAUSED
inline constexpr std::uint32_t kStopped = 1;
inline constexpr std::uint32_t kStartPending = 2;
inline constexpr std::uint32_t kStopPending = 3;
inline constexpr std::uint32_t kRunning = 4;
inline constexpr std::uint32_t kContinuePending = 5;
inline constexpr std::uint32_t kPausePending = 6;
inline constexpr std::uint32_t kPaused = 7;
}  // namespace servicestate

namespace err {
/// The exit code a stopped service reports until it is first started after a boot: no failure.
inline constexpr Win32Error kServiceNeverStarted = 1077;
/// A stopped service's exit code when its own code (the service-specific one) tells why.
inline constexpr Win32Error kServiceSpecificError = 1066;
}  // namespace err

/// What the service control manager says of a service now (SERVICE_STATUS_PROCESS).
struct ServiceStatus {
  std::uint32_t state = servicestate::kStopped;
  Win32Error win32ExitCode = err::kSuccess;
  std::uint32_t serviceExitCode = 0;  ///< the service's own, with kServiceSpecificError
  std::uint32_t processId = 0;        ///< 0 while it does not run
};

namespace servicesid {  // SERVICE_SID_TYPE_*
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kUnrestricted = 1;
}  // namespace servicesid

struct ServiceConfiguration {
  std::string binaryPath;  ///< the program the manager starts, as registered
  std::uint32_t startType = 0;
  std::string account = "LocalSystem";  ///< the account it runs as (lpServiceStartName)
  std::vector<std::string> dependencies;  ///< the services it starts after
};

/// What ChangeServiceConfig changes for a service; nullopt leaves that setting as it is. An
/// account named here needs no password: none is ever taken.
struct ServiceChange {
  std::optional<std::string> account;
  std::optional<std::vector<std::string>> dependencies;  ///< the services it starts after
};

class ServiceManager {
 public:
  virtual ~ServiceManager() = default;
  /// The service's configuration (QueryServiceConfig); err::kServiceDoesNotExist without it.
  [[nodiscard]] virtual Result<ServiceConfiguration> configuration(const std::string& service) = 0;
  /// The service's current status (QueryServiceStatusEx); err::kServiceDoesNotExist without it.
  [[nodiscard]] virtual Result<ServiceStatus> status(const std::string& service) = 0;
  /// Whether the recovery actions also follow a stop with an error code, as when the program
  /// ends by itself (FailureActionsOnNonCrashFailures); err::kInvalidLevel where the manager
  /// does not know the setting.
  [[nodiscard]] virtual Result<bool> failureActionsOnNonCrashFailures(const std::string& service) = 0;
  /// Marks the service for deletion (DeleteService); the manager removes it once no handle
  /// to it is open. err::kServiceDoesNotExist without it.
  [[nodiscard]] virtual Win32Error deleteService(const std::string& service) = 0;
  /// The service's owner and access list (QueryServiceObjectSecurity); err::kNotSupported
  /// where the manager keeps none (Wine's reads as an empty list without an owner).
  [[nodiscard]] virtual Result<SecurityDescriptor> security(const std::string& service) = 0;
  /// Changes the account or the dependencies (ChangeServiceConfig, nothing else changed).
  [[nodiscard]] virtual Win32Error change(const std::string& service, const ServiceChange& change) = 0;

  // The settings of ChangeServiceConfig2; each answers err::kInvalidLevel where the manager
  // does not know it (Wine's).
  /// Whether an automatic start waits until the other automatic services have started.
  [[nodiscard]] virtual Result<bool> delayedAutoStart(const std::string& service) = 0;
  [[nodiscard]] virtual Win32Error setDelayedAutoStart(const std::string& service, bool delayed) = 0;
  /// Whether the service's own SID (NT SERVICE\<name>) is in its token (servicesid::*).
  [[nodiscard]] virtual Result<std::uint32_t> sidType(const std::string& service) = 0;
  [[nodiscard]] virtual Win32Error setSidType(const std::string& service, std::uint32_t type) = 0;
  /// The privileges its token keeps; an empty list: all its account has.
  [[nodiscard]] virtual Result<std::vector<std::string>> requiredPrivileges(const std::string& service) = 0;
  [[nodiscard]] virtual Win32Error setRequiredPrivileges(const std::string& service,
                                                         const std::vector<std::string>& privileges) = 0;
};

}  // namespace tlv::platform
