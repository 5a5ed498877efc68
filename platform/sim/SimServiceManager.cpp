// Sim only: the simulated service control manager.
#include "platform/sim/SimServiceManager.h"

#include <utility>

#include "platform/WindowsPath.h"

namespace tlv::platform::sim {

void SimServiceManager::add(const std::string& name, ServiceConfiguration configuration,
                            std::optional<bool> nonCrashFailures) {
  services_[upperCase(name)] = {std::move(configuration), nonCrashFailures, std::nullopt, {}, false, {}, {}};
}

Result<SimServiceManager::Service*> SimServiceManager::find(const std::string& service, Call call, bool config2) {
  using R = Result<Service*>;
  if (Win32Error e = faults_.enter(call)) return R::failure(e);
  const auto found = services_.find(upperCase(service));
  if (found == services_.end()) return R::failure(err::kServiceDoesNotExist);
  if (config2 && !knowsConfig2_) return R::failure(err::kInvalidLevel);
  return R::success(&found->second);
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

Win32Error SimServiceManager::change(const std::string& service, const ServiceChange& change) {
  const auto found = find(service, Call::ServicesChange, false);
  if (!found.ok()) return found.error;
  if (change.account) found.value->configuration.account = *change.account;
  if (change.dependencies) found.value->configuration.dependencies = *change.dependencies;
  return err::kSuccess;
}

Result<bool> SimServiceManager::delayedAutoStart(const std::string& service) {
  const auto found = find(service, Call::ServicesQueryConfig2, true);
  return found.ok() ? Result<bool>::success(found.value->delayed) : Result<bool>::failure(found.error);
}

Win32Error SimServiceManager::setDelayedAutoStart(const std::string& service, bool delayed) {
  const auto found = find(service, Call::ServicesChangeConfig2, true);
  if (found.ok()) found.value->delayed = delayed;
  return found.error;
}

Result<std::uint32_t> SimServiceManager::sidType(const std::string& service) {
  const auto found = find(service, Call::ServicesQueryConfig2, true);
  return found.ok() ? Result<std::uint32_t>::success(found.value->sidType) : Result<std::uint32_t>::failure(found.error);
}

Win32Error SimServiceManager::setSidType(const std::string& service, std::uint32_t type) {
  const auto found = find(service, Call::ServicesChangeConfig2, true);
  if (found.ok()) found.value->sidType = type;
  return found.error;
}

Result<std::vector<std::string>> SimServiceManager::requiredPrivileges(const std::string& service) {
  using R = Result<std::vector<std::string>>;
  const auto found = find(service, Call::ServicesQueryConfig2, true);
  return found.ok() ? R::success(found.value->privileges) : R::failure(found.error);
}

Win32Error SimServiceManager::setRequiredPrivileges(const std::string& service,
                                                    const std::vector<std::string>& privileges) {
  const auto found = find(service, Call::ServicesChangeConfig2, true);
  if (found.ok()) found.value->privileges = privileges;
  return found.error;
}

}  // namespace tlv::platform::sim
