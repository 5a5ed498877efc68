// Win32 only: reads what srvany is to start, and how much its log keeps, from the service's Parameters key.
#include "tools/srvany/ProgramSettings.h"

#include <cstring>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {
namespace {

using platform::Result;
using platform::win32::UniqueRegKey;

Result<std::string> expanded(const std::string& text) {
  std::vector<char> buffer(text.size() + 1);
  for (;;) {
    const DWORD needed = ::ExpandEnvironmentStringsA(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (needed == 0) return Result<std::string>::failure(::GetLastError());
    if (needed <= buffer.size()) return Result<std::string>::success(std::string(buffer.data()));
    buffer.resize(needed);
  }
}

Result<std::string> readString(HKEY key, const char* name) {
  for (;;) {
    DWORD type = 0;
    DWORD size = 0;
    LONG error = ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (error != ERROR_SUCCESS) return Result<std::string>::failure(error);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return Result<std::string>::failure(ERROR_INVALID_DATA);
    std::vector<char> data(size + 1, '\0');  // room for a terminator the stored value may lack
    error = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (error == ERROR_MORE_DATA) continue;  // the value grew between the two reads
    if (error != ERROR_SUCCESS) return Result<std::string>::failure(error);
    const std::string text(data.data(), ::strnlen(data.data(), data.size()));
    return type == REG_EXPAND_SZ ? expanded(text) : Result<std::string>::success(text);
  }
}

Result<std::string> readOptionalString(HKEY key, const char* name) {
  auto value = readString(key, name);
  if (value.error == ERROR_FILE_NOT_FOUND) return Result<std::string>::success({});
  return value;
}

// An optional REG_DWORD: 0 when missing, and 0 with `ignored` added to `problem` when it is
// there as another type.
std::uint32_t readOptionalDword(HKEY key, const char* name, const char* ignored, std::string& problem) {
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  const LONG error = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (error == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value) return value;
  if (error != ERROR_FILE_NOT_FOUND) {
    problem += (problem.empty() ? "The value " : " The value ") + std::string(name) + " is no REG_DWORD: " + ignored;
  }
  return 0;
}

}  // namespace

Result<ProgramSettings> readProgramSettings(const std::string& serviceName) {
  UniqueRegKey key;
  const LONG error =
      ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, parametersKeyPath(serviceName).c_str(), 0, KEY_QUERY_VALUE, key.put());
  if (error != ERROR_SUCCESS) return Result<ProgramSettings>::failure(error);
  auto application = readString(key.get(), value::kApplication);
  if (!application) return Result<ProgramSettings>::failure(application.error);
  auto parameters = readOptionalString(key.get(), value::kAppParameters);
  if (!parameters) return Result<ProgramSettings>::failure(parameters.error);
  auto directory = readOptionalString(key.get(), value::kAppDirectory);
  if (!directory) return Result<ProgramSettings>::failure(directory.error);
  ProgramSettings settings{application.value, parameters.value, directory.value};
  settings.hangRestartSeconds =
      readOptionalDword(key.get(), value::kHangRestartSeconds, "a hung program is never ended.", settings.problem);
  settings.boxRestartMinutes = readOptionalDword(key.get(), value::kBoxRestartMinutes,
                                                 "a program is never ended for a box it shows.", settings.problem);
  return Result<ProgramSettings>::success(settings);
}

LogLimits readLogLimits(const std::string& serviceName, std::string& problem) {
  LogLimits limits;
  UniqueRegKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, parametersKeyPath(serviceName).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
      ERROR_SUCCESS) {
    return limits;  // the session reports the key when it reads what to start
  }
  if (const auto months = readOptionalDword(key.get(), value::kLogKeepMonths, "the log keeps 12 months.", problem)) {
    limits.keepMonths = months;
  }
  if (const auto megabytes = readOptionalDword(key.get(), value::kLogLimitMB, "the logs keep to 64 MB.", problem)) {
    limits.limitMB = megabytes;
  }
  return limits;
}

}  // namespace tlv::tools
