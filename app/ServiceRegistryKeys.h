// Portable: where the program keeps the service OrbitTender's values in the registry, and the
// values it writes there; srvany reads Application from the same Parameters key.
#pragma once

#include <string>

#include "platform/WindowsPath.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::app {

using tools::kServiceName;
namespace value = tools::value;
/// The service's keys as the registry class names them.
inline constexpr auto kServiceKeyText = tools::joined("HKEY_LOCAL_MACHINE\\", tools::kServiceKeyPath);
inline constexpr auto kParametersKeyText = tools::joined("HKEY_LOCAL_MACHINE\\", tools::kParametersKeyPath);
inline constexpr const char* kServiceKey = kServiceKeyText.data();
inline constexpr const char* kParametersKey = kParametersKeyText.data();

inline constexpr char kDescription[] = "Processes Credit Cards For Meadowlark";
/// The run keeps a description that starts with its own, in any letter case (an administrator
/// may add to it), and /verify accepts the same.
inline bool isOwnDescription(const std::string& description) {
  return platform::equalsNoCase(description.substr(0, sizeof kDescription - 1), kDescription);
}
/// ReadString's default when a value is read for comparison: a text no stored value reads back as.
inline const std::string kNoStoredValue(1, '\0');
// Recovery actions in the service control manager's stored layout: reset the failure count
// after a day; restart after one minute, three times (the third also for every later failure).
inline constexpr char kFailureActions[] =
    "80 51 01 00 00 00 00 00 00 00 00 00 03 00 00 00 77 00 73 00 01 00 00 00 60 EA 00 00 01 00 00 00 60 EA 00 00 "
    "01 00 00 00 60 EA 00 00";

}  // namespace tlv::app
