// Win32 only: the system-information port over kernel32, user32 and mpr.
#include "platform/win32/Win32SystemInfo.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Support.h"

#include <winnetwk.h>

namespace tlv::platform::win32 {

namespace {

// An entry found by GetProcAddress, as the function type it really has. The detour through
// void* keeps the compiler from warning about the cast between function types.
template <class Function>
Function entryAs(std::uintptr_t address) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

std::uintptr_t kernelEntry(const char* name) {
  return reinterpret_cast<std::uintptr_t>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32"), name)));
}

}  // namespace

Result<OsVersionInfo> Win32SystemInfo::versionInfo() {
  using R = Result<OsVersionInfo>;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  // Blanks where the call writes nothing, so that the field reads as it would in a buffer
  // the caller prepared.
  std::memset(info.szCSDVersion, ' ', sizeof info.szCSDVersion);
  if (!::GetVersionExA(&info)) return R::failure(::GetLastError());
  return R::success(OsVersionInfo{static_cast<std::int32_t>(info.dwMajorVersion),
                                  static_cast<std::int32_t>(info.dwMinorVersion),
                                  static_cast<std::int32_t>(info.dwBuildNumber),
                                  static_cast<std::int32_t>(info.dwPlatformId),
                                  std::string(info.szCSDVersion, sizeof info.szCSDVersion)});
}

Result<OsVersionInfoEx> Win32SystemInfo::versionInfoEx() {
  using R = Result<OsVersionInfoEx>;
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return R::failure(::GetLastError());
  return R::success(OsVersionInfoEx{info.dwMajorVersion, info.dwMinorVersion, info.wServicePackMajor,
                                    info.wServicePackMinor, info.wSuiteMask, info.wProductType});
}

Result<std::uint32_t> Win32SystemInfo::productInfo(std::uint32_t major, std::uint32_t minor,
                                                   std::uint32_t servicePackMajor, std::uint32_t servicePackMinor) {
  using R = Result<std::uint32_t>;
  // Looked up at run time: systems before Vista lack the entry, and a static import of it
  // would keep the program from loading there at all.
  using GetProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
  const std::uintptr_t entry = kernelEntry("GetProductInfo");
  if (entry == 0) return R::failure(ERROR_PROC_NOT_FOUND);
  DWORD type = 0;
  if (!entryAs<GetProductInfoFunction>(entry)(major, minor, servicePackMajor, servicePackMinor, &type)) {
    return R::failure(::GetLastError());
  }
  return R::success(type);
}

Result<std::uint16_t> Win32SystemInfo::processorArchitecture() {
  // GetSystemInfo, not GetNativeSystemInfo: a 32-bit program under WOW64 is shown x86.
  SYSTEM_INFO info{};
  ::GetSystemInfo(&info);
  return Result<std::uint16_t>::success(info.wProcessorArchitecture);
}

Result<MemoryStatus> Win32SystemInfo::memoryStatus() {
  MEMORYSTATUS status{};
  status.dwLength = sizeof status;
  ::GlobalMemoryStatus(&status);
  return Result<MemoryStatus>::success(MemoryStatus{status.dwTotalPhys, status.dwAvailPhys});
}

Result<MemoryStatusEx> Win32SystemInfo::memoryStatusEx() {
  using R = Result<MemoryStatusEx>;
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!::GlobalMemoryStatusEx(&status)) return R::failure(::GetLastError());
  return R::success(MemoryStatusEx{status.ullTotalPhys, status.ullAvailPhys});
}

Result<std::string> Win32SystemInfo::computerName(std::uint32_t bufferLength) {
  using R = Result<std::string>;
  std::vector<char> buffer(std::max<std::uint32_t>(bufferLength, 1), '\0');
  DWORD size = bufferLength;
  if (!::GetComputerNameA(buffer.data(), &size)) return R::failure(::GetLastError());
  return R::success(std::string(buffer.data(), std::min<std::size_t>(size, buffer.size())));
}

Result<NetworkUserName> Win32SystemInfo::networkUserName(std::uint32_t bufferLength) {
  using R = Result<NetworkUserName>;
  std::vector<char> buffer(std::max<std::uint32_t>(bufferLength, 1), '\0');
  const auto mpr = SystemLibrary::load("mpr.dll");
  if (!mpr.ok()) return R::failure(mpr.error);
  const auto getUser = mpr.value.function<decltype(::WNetGetUserA)>("WNetGetUserA");
  if (!getUser) return R::failure(ERROR_PROC_NOT_FOUND);
  DWORD length = bufferLength;
  const DWORD status = getUser(nullptr, buffer.data(), &length);
  // Windows reports a short buffer as ERROR_MORE_DATA, Wine as ERROR_INSUFFICIENT_BUFFER;
  // both give the length needed.
  if (status == ERROR_MORE_DATA || status == ERROR_INSUFFICIENT_BUFFER) {
    return R{NetworkUserName{{}, length}, ERROR_MORE_DATA};
  }
  if (status != NO_ERROR) return R::failure(status);
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return R::success(NetworkUserName{std::string(buffer.begin(), end), 0});
}

Result<std::int32_t> Win32SystemInfo::systemMetric(std::int32_t index) {
  return Result<std::int32_t>::success(::GetSystemMetrics(index));
}

std::uintptr_t Win32SystemInfo::moduleHandle(const std::string& name) {
  return reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(name.c_str()));
}

std::uintptr_t Win32SystemInfo::procAddress(std::uintptr_t module, const std::string& name) {
  if (module == 0) return 0;  // a null module would search the executable itself
  return reinterpret_cast<std::uintptr_t>(
      reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(module), name.c_str())));
}

namespace {

// A folder the system names through a Get...DirectoryA call.
template <class Call>
Result<std::string> systemPath(Call call) {
  char buffer[MAX_PATH + 1] = {};
  const UINT length = call(buffer, static_cast<UINT>(sizeof buffer));
  if (length == 0) return Result<std::string>::failure(::GetLastError());
  if (length >= sizeof buffer) return Result<std::string>::failure(ERROR_INSUFFICIENT_BUFFER);
  return Result<std::string>::success(std::string(buffer, length));
}

}  // namespace

Result<std::string> Win32SystemInfo::windowsFolder() { return systemPath(::GetSystemWindowsDirectoryA); }

Result<std::string> Win32SystemInfo::systemFolder() { return systemPath(::GetSystemDirectoryA); }

std::string Win32SystemInfo::errorText(Win32Error error) {
  char buffer[512] = {};
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                                  sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' ' ||
                        buffer[length - 1] == '.')) {
    --length;
  }
  return std::string(buffer, length);
}

Result<bool> Win32SystemInfo::isWow64Process(std::uintptr_t entry) {
  using R = Result<bool>;
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  if (entry == 0) return R::failure(ERROR_PROC_NOT_FOUND);
  BOOL wow64 = FALSE;
  if (!entryAs<IsWow64ProcessFunction>(entry)(::GetCurrentProcess(), &wow64)) return R::failure(::GetLastError());
  return R::success(wow64 != FALSE);
}

}  // namespace tlv::platform::win32
