// Portable: the checks of /verify against the record of what the administrator chose.
#include "app/VerifyChoices.h"

#include "app/ServiceRecord.h"
#include "tools/common/ServiceAccount.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::app {
namespace {

using tools::kLocalSystem;
using tools::kServiceName;
using tools::sameAccount;

CheckResult named(const char* name, CheckOutcome outcome, const std::string& detail = {}, int code = 0) {
  return {name, outcome, detail, outcome == CheckOutcome::Fails ? code : 0};
}

// A setting the manager may not report (Wine's answers kInvalidLevel): then not reported.
template <class T, class Same>
CheckResult compare(platform::Platform& machine, const char* name, const platform::Result<T>& found, Same same,
                    const std::string& shown, int code) {
  if (found.error == platform::err::kInvalidLevel) {
    return named(name, CheckOutcome::NotReported, "the service manager does not report it");
  }
  if (!found.ok()) {
    return named(name, CheckOutcome::Fails, "could not be read: " + machine.systemInfo.errorText(found.error),
                 verifycode::kNotChecked);
  }
  return same(found.value) ? named(name, CheckOutcome::Holds) : named(name, CheckOutcome::Fails, shown, code);
}

// An empty list of required privileges leaves the token all its account has.
std::string privilegesText(const std::vector<std::string>& privileges) {
  return privileges.empty() ? "all of its account's" : namesText(privileges);
}

constexpr char kAccount[] = "It runs as the account recorded";
constexpr char kStart[] = "Its start is the one recorded";
constexpr char kDependencies[] = "It starts after the services recorded";
constexpr char kSidType[] = "Its token carries its own SID, when not LocalSystem";
constexpr char kPrivileges[] = "Its privileges are those recorded";

}  // namespace

std::vector<CheckResult> checkChoices(platform::Platform& machine,
                                      const platform::Result<platform::ServiceConfiguration>& service) {
  std::vector<CheckResult> results;
  const auto all = [&results](CheckOutcome outcome, const std::string& detail) {
    for (const char* name : {kAccount, kStart, kDependencies, kSidType, kPrivileges}) {
      results.push_back(named(name, outcome, detail));
    }
    return results;
  };
  if (!service.ok()) return all(CheckOutcome::Skipped, "the service is missing");
  const ReadRecord read = readRecord(machine.registry);
  if (read.error != platform::err::kSuccess) {
    results.push_back(named(kAccount, CheckOutcome::Fails,
                            "the record could not be read: " + machine.systemInfo.errorText(read.error),
                            verifycode::kNotChecked));
    return results;
  }
  if (!read.record) {
    results = all(CheckOutcome::Skipped, "no record of a choice");
    results.front().detail = "no record of a choice: it runs as " + service.value.account;
    results.front().logged = true;
    return results;
  }
  const ServiceRecord& record = *read.record;
  const auto shownAs = [](const std::string& found, const std::string& recorded) {
    return found + ", recorded " + recorded;
  };
  results.push_back(sameAccount(service.value.account, record.account)
                        ? named(kAccount, CheckOutcome::Holds)
                        : named(kAccount, CheckOutcome::Fails, shownAs(service.value.account, record.account),
                                verifycode::kAccountChanged));
  const auto startText = [](bool delayed) { return std::string(delayed ? "delayed" : "automatic"); };
  const auto delayed = machine.services.delayedAutoStart(kServiceName);
  results.push_back(compare(
      machine, kStart, delayed, [&](bool found) { return found == record.delayed; },
      shownAs(startText(delayed.value), startText(record.delayed)), verifycode::kStartChanged));
  results.push_back(
      sameNames(service.value.dependencies, record.dependencies)
          ? named(kDependencies, CheckOutcome::Holds)
          : named(kDependencies, CheckOutcome::Fails,
                  shownAs(namesText(service.value.dependencies), namesText(record.dependencies)),
                  verifycode::kDependenciesChanged));
  if (sameAccount(service.value.account, kLocalSystem)) {
    results.push_back(named(kSidType, CheckOutcome::Skipped, "it runs as LocalSystem"));
  } else {
    const auto sidType = machine.services.sidType(kServiceName);
    results.push_back(compare(
        machine, kSidType, sidType, [](std::uint32_t type) { return type == platform::servicesid::kUnrestricted; },
        "SID type " + std::to_string(sidType.value), verifycode::kSidTypeChanged));
  }
  const auto privileges = machine.services.requiredPrivileges(kServiceName);
  results.push_back(compare(
      machine, kPrivileges, privileges,
      [&](const std::vector<std::string>& found) { return sameNames(found, record.privileges); },
      shownAs(privilegesText(privileges.value), privilegesText(record.privileges)), verifycode::kPrivilegesChanged));
  return results;
}

}  // namespace tlv::app
