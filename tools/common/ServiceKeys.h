// Portable: the service the program makes and what it and srvany keep in the registry, below
// HKEY_LOCAL_MACHINE: the keys of any service srvany runs as, the names of this product's
// service and of their values. The one place the program, both tools and the tests spell them.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>

namespace tlv::tools {

/// The characters of a literal or of a text `joined` made, with its terminating zero.
template <class Text>
inline constexpr std::size_t kCharsOf = std::extent_v<Text>;
template <std::size_t N>
inline constexpr std::size_t kCharsOf<std::array<char, N>> = N;

/// Two texts joined at compile time, so that a name spelled once can begin others.
template <class First, class Second>
constexpr auto joined(const First& first, const Second& second) {
  constexpr std::size_t a = kCharsOf<First>, b = kCharsOf<Second>;
  std::array<char, a + b - 1> text{};
  for (std::size_t i = 0; i + 1 < a; ++i) text[i] = first[i];
  for (std::size_t i = 0; i < b; ++i) text[a - 1 + i] = second[i];
  return text;
}

/// The service the program makes; also the event source srvany records under and its log's name.
inline constexpr char kServiceName[] = "OrbitTender";
/// Its key and its Parameters key, below HKEY_LOCAL_MACHINE (`.data()` for the text).
inline constexpr auto kServiceKeyPath = joined("SYSTEM\\CurrentControlSet\\Services\\", kServiceName);
inline constexpr auto kParametersKeyPath = joined(kServiceKeyPath, "\\Parameters");

/// SYSTEM\CurrentControlSet\Services\<service>: any service's key.
std::string serviceKeyPath(const std::string& serviceName);
/// Its Parameters key: what srvany reads.
std::string parametersKeyPath(const std::string& serviceName);
/// Its volatile Watch key: what srvany publishes of its watch.
std::string watchKeyPath(const std::string& serviceName);
/// The service's event source in the Application log, named after the service.
std::string eventSourceKeyPath(const std::string& serviceName);

/// The values of the service's key and of its Parameters key.
namespace value {
inline constexpr char kDescription[] = "Description";
inline constexpr char kFailureActions[] = "FailureActions";
inline constexpr char kApplication[] = "Application";
inline constexpr char kAppParameters[] = "AppParameters";
inline constexpr char kAppDirectory[] = "AppDirectory";
inline constexpr char kHangRestartSeconds[] = "HangRestartSeconds";
inline constexpr char kBoxRestartMinutes[] = "BoxRestartMinutes";
inline constexpr char kLogKeepMonths[] = "LogKeepMonths";
inline constexpr char kLogLimitMB[] = "LogLimitMB";
/// What the administrator chose at the last run: the account, the start, the dependencies
/// and the privileges, for /verify to tell a wanted change from drift.
inline constexpr char kChosenSetup[] = "ChosenSetup";
/// The service manager's own list of the services this one starts after.
inline constexpr char kDependOnService[] = "DependOnService";
}  // namespace value

}  // namespace tlv::tools
