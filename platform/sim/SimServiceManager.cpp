// Sim only: the simulated service control manager.
#include "platform/sim/SimServiceManager.h"

#include <utility>

#include "platform/WindowsPath.h"

namespace tlv::platform::sim {

void SimServiceManager::add(const std::string& name, ServiceConfiguration configuration,
                            std::optional<bool> nonCrashFailures) {
  services_[upperCase(name)] = {std::move(configuration), nonCrashFailures, std::nullopt, {}, false, {}, {}};
}

Result<SimServiceManager::Service*> SimServiceManager::find(const std::string& service, Call call) {
  using R = Result<Service*>;
  if (Win32Error e = faults_.enter(call)) return R::failure(e);
  const auto found = services_.find(upperCase(service));
  if (found == services_.end()) return R::failure(err::kServiceDoesNotExist);
  const bool config2 = call == Call::ServicesQueryConfig2 || call == Call::ServicesChangeConfig2;
  if (config2 && !knowsConfig2_) return R::failure(err::kInvalidLevel);
  return R::success(&found->second);
}

void SimServiceManager::setStatus(const std::string& name, ServiceStatus status) {
  services_.at(upperCase(name)).status = status;
}

void SimServiceManager::remove(const std::string& name) { services_.erase(upperCase(name)); }

bool SimServiceManager::has(const std::string& name) const { return services_.count(upperCase(name)) != 0; }

void SimServiceManager::setSecurity(const std::string& name, SecurityDescriptor descriptor) {
  if (const auto found = services_.find(upperCase(name)); found != services_.end()) {
    found->second.security = std::move(descriptor);
  }
}

Win32Error SimServiceManager::deleteService(const std::string& service) {
  const auto found = find(service, Call::ServicesDelete);
  if (found.ok()) services_.erase(upperCase(service));
  return found.error;
}

Win32Error SimServiceManager::change(const std::string& service, const ServiceChange& change) {
  const auto found = find(service, Call::ServicesChange);
  if (!found.ok()) return found.error;
  if (change.account) found.value->configuration.account = *change.account;
  if (change.dependencies) found.value->configuration.dependencies = *change.dependencies;
  return err::kSuccess;
}

}  // namespace tlv::platform::sim
