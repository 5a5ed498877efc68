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
};

}  // namespace tlv::platform::win32
