// Sim only: the simulated service control manager: services as a test arranges them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ServiceManager.h"
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

class SimServiceManager final : public ServiceManager {
 public:
  explicit SimServiceManager(SimFaults& faults) : faults_(faults) {}
  /// Adds or replaces a service, stopped and never started. `nonCrashFailures` nullopt: the
  /// manager does not report it.
  void add(const std::string& name, ServiceConfiguration configuration, std::optional<bool> nonCrashFailures = true);
  void remove(const std::string& name);
  /// The service's descriptor; without one, security answers kNotSupported, as Wine's manager.
  void setSecurity(const std::string& name, SecurityDescriptor descriptor);
  /// What the manager says of a service added before.
  void setStatus(const std::string& name, ServiceStatus status);
  /// As Wine's manager: the settings of ChangeServiceConfig2 answer kInvalidLevel.
  void forgetConfig2() { knowsConfig2_ = false; }

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

 private:
  struct Service {
    ServiceConfiguration configuration;
    std::optional<bool> nonCrashFailures;
    std::optional<SecurityDescriptor> security;
    ServiceStatus status{servicestate::kStopped, err::kServiceNeverStarted, 0, 0};
    bool delayed = false;
    std::uint32_t sidType = servicesid::kNone;
    std::vector<std::string> privileges;
  };
  /// The service, after the call's fault and the manager's knowledge of ChangeServiceConfig2.
  Result<Service*> find(const std::string& service, Call call, bool config2);
  SimFaults& faults_;
  std::map<std::string, Service> services_;  // key: upper-case name
  bool knowsConfig2_ = true;
};

}  // namespace tlv::platform::sim
