// Win32 only: the service-manager port on the real service control manager.
#pragma once

#include "platform/ServiceManager.h"

namespace tlv::platform::win32 {

class Win32ServiceManager final : public ServiceManager {
 public:
  Result<ServiceConfiguration> configuration(const std::string& service) override;
  Result<ServiceStatus> status(const std::string& service) override;
  Result<bool> failureActionsOnNonCrashFailures(const std::string& service) override;
  Win32Error deleteService(const std::string& service) override;
  Result<SecurityDescriptor> security(const std::string& service) override;
  Win32Error change(const std::string& service, const ServiceChange& change) override;
  Result<bool> delayedAutoStart(const std::string& service) override;
  Win32Error setDelayedAutoStart(const std::string& service, bool delayed) override;
  Result<std::uint32_t> sidType(const std::string& service) override;
  Win32Error setSidType(const std::string& service, std::uint32_t type) override;
  Result<std::vector<std::string>> requiredPrivileges(const std::string& service) override;
  Win32Error setRequiredPrivileges(const std::string& service, const std::vector<std::string>& privileges) override;
};

}  // namespace tlv::platform::win32
