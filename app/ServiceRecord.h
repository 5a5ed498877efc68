// Portable: the record of what the administrator chose for the service: the value
// Parameters\ChosenSetup (a multi-string of "Account=...", "Start=automatic|delayed",
// "DependOnService=..." and "Privilege=..." lines). It lies beside Application, under the
// service's keys, which only administrators can change (/verify checks them).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tlv::app {

struct ServiceRecord {
  std::string account;
  bool delayed = false;
  std::vector<std::string> dependencies;
  std::vector<std::string> privileges;

  bool operator==(const ServiceRecord&) const = default;
};

/// The record's lines, each ended by a NUL, and the list's final NUL.
std::string recordText(const ServiceRecord& record);
/// The record from its value's bytes; nullopt when they name no account.
std::optional<ServiceRecord> parseRecord(const std::string& bytes);

/// The record; nullopt when there is none (a service an earlier release made). The error is
/// that of the registry when it could not be read.
struct ReadRecord {
  std::optional<ServiceRecord> record;
  platform::Win32Error error = platform::err::kSuccess;
};
ReadRecord readRecord(platform::Registry& registry);
[[nodiscard]] platform::Win32Error writeRecord(platform::Registry& registry, const ServiceRecord& record);

/// Whether two lists of names hold the same names, in any order and letter case.
bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b);
/// "RpcSs, Tcpip"; "none" for an empty list.
std::string namesText(const std::vector<std::string>& names);

}  // namespace tlv::app
