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
  /// Whether the service is there, as another program (instsrv) would find it: no fault, no count.
  bool has(const std::string& name) const;
  /// The service's descriptor; without one, security answers kNotSupported, as Wine's manager.
  void setSecurity(const std::string& name, SecurityDescriptor descriptor);
  /// What the manager says of a service added before.
  void setStatus(const std::string& name, ServiceStatus status);
  /// As Wine's manager: the settings of ChangeServiceConfig2 answer kInvalidLevel.
  void forgetConfig2() { knowsConfig2_ = false; }

  Result<ServiceConfiguration> configuration(const std::string& service) override {
    return query(service, Call::ServicesConfiguration, &Service::configuration);
  }
  Result<ServiceStatus> status(const std::string& service) override {
    return query(service, Call::ServicesStatus, &Service::status);
  }
  Result<bool> failureActionsOnNonCrashFailures(const std::string& service) override {
    return query(service, Call::ServicesFailureActionsFlag, &Service::nonCrashFailures, err::kInvalidLevel);
  }
  Win32Error deleteService(const std::string& service) override;
  Result<SecurityDescriptor> security(const std::string& service) override {
    return query(service, Call::ServicesSecurity, &Service::security, err::kNotSupported);
  }
  Win32Error change(const std::string& service, const ServiceChange& change) override;
  Result<bool> delayedAutoStart(const std::string& service) override {
    return query(service, Call::ServicesQueryConfig2, &Service::delayed);
  }
  Win32Error setDelayedAutoStart(const std::string& service, bool delayed) override {
    return set(service, &Service::delayed, delayed);
  }
  Result<std::uint32_t> sidType(const std::string& service) override {
    return query(service, Call::ServicesQueryConfig2, &Service::sidType);
  }
  Win32Error setSidType(const std::string& service, std::uint32_t type) override {
    return set(service, &Service::sidType, type);
  }
  Result<std::vector<std::string>> requiredPrivileges(const std::string& service) override {
    return query(service, Call::ServicesQueryConfig2, &Service::privileges);
  }
  Win32Error setRequiredPrivileges(const std::string& service, const std::vector<std::string>& privileges) override {
    return set(service, &Service::privileges, privileges);
  }

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
  /// The service, after the call's fault and, for the settings of ChangeServiceConfig2
  /// (queried or changed), the manager's knowledge of them.
  Result<Service*> find(const std::string& service, Call call);
  template <class T>
  Result<T> query(const std::string& service, Call call, T Service::*field) {
    const auto found = find(service, call);
    return found.ok() ? Result<T>::success(found.value->*field) : Result<T>::failure(found.error);
  }
  /// A value the manager may not have: `unset` where it has none.
  template <class T>
  Result<T> query(const std::string& service, Call call, std::optional<T> Service::*field, Win32Error unset) {
    const auto found = query(service, call, field);
    if (found.ok() && !found.value) return Result<T>::failure(unset);
    return found.ok() ? Result<T>::success(*found.value) : Result<T>::failure(found.error);
  }
  template <class T>
  Win32Error set(const std::string& service, T Service::*field, const T& value) {
    const auto found = find(service, Call::ServicesChangeConfig2);
    if (found.ok()) found.value->*field = value;
    return found.error;
  }
  SimFaults& faults_;
  std::map<std::string, Service> services_;  // key: upper-case name
  bool knowsConfig2_ = true;
};

}  // namespace tlv::platform::sim
