// Sim only: the simulated service control manager.
#include "platform/sim/SimServiceManager.h"

#include <utility>

#include "platform/WindowsPath.h"

namespace tlv::platform::sim {

void SimServiceManager::add(const std::string& name, ServiceConfiguration configuration,
                            std::optional<bool> nonCrashFailures) {
  services_[upperCase(name)] = {std::move(configuration), nonCrashFailures, std::nullopt};
}

void SimServiceManager::setStatus(const std::string& name, ServiceStatus status) {
  services_.at(upperCase(name)).status = status;
}

void SimServiceManager::remove(const std::string& name) { services_.erase(upperCase(name)); }

void SimServiceManager::setSecurity(const std::string& name, SecurityDescriptor descriptor) {
  if (const auto found = services_.find(upperCase(name)); found != services_.end()) {
    found->second.security = std::move(descriptor);
  }
}

Result<ServiceConfiguration> SimServiceManager::configuration(const std::string& service) {
  if (Win32Error e = faults_.enter(Call::ServicesConfiguration)) return Result<ServiceConfiguration>::failure(e);
  const auto found = services_.find(upperCase(service));
  if (found == services_.end()) return Result<ServiceConfiguration>::failure(err::kServiceDoesNotExist);
  return Result<ServiceConfiguration>::success(found->second.configuration);
}

Result<ServiceStatus> SimServiceManager::status(const std::string& service) {
  if (Win32Error e = faults_.enter(Call::ServicesStatus)) return Result<ServiceStatus>::failure(e);
  const auto found = services_.find(upperCase(service));
  if (found == services_.end()) return Result<ServiceStatus>::failure(err::kServiceDoesNotExist);
  return Result<ServiceStatus>::success(found->second.status);
}

Result<bool> SimServiceManager::failureActionsOnNonCrashFailures(const std::string& service) {
  if (Win32Error e = faults_.enter(Call::ServicesFailureActionsFlag)) return Result<bool>::failure(e);
  const auto found = services_.find(upperCase(service));
  if (found == services_.end()) return Result<bool>::failure(err::kServiceDoesNotExist);
  if (!found->second.nonCrashFailures) return Result<bool>::failure(err::kInvalidLevel);
  return Result<bool>::success(*found->second.nonCrashFailures);
}

Win32Error SimServiceManager::deleteService(const std::string& service) {
  if (Win32Error e = faults_.enter(Call::ServicesDelete)) return e;
  return services_.erase(upperCase(service)) == 1 ? err::kSuccess : err::kServiceDoesNotExist;
}

Result<SecurityDescriptor> SimServiceManager::security(const std::string& service) {
  using R = Result<SecurityDescriptor>;
  if (Win32Error e = faults_.enter(Call::ServicesSecurity)) return R::failure(e);
  const auto found = services_.find(upperCase(service));
  if (found == services_.end()) return R::failure(err::kServiceDoesNotExist);
  return found->second.security ? R::success(*found->second.security) : R::failure(err::kNotSupported);
}

}  // namespace tlv::platform::sim
