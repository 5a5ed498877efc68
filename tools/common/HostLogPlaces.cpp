// Portable: what srvany needs made for it when it runs as another account than LocalSystem.
#include "tools/common/HostLogPlaces.h"

#include <cstdint>

#include "tools/common/ServiceSid.h"

namespace tlv::tools {
namespace {

constexpr std::uint32_t kFileAllAccess = 0x1F01FF;
constexpr std::uint32_t kFileReadAndExecute = 0x1200A9;
constexpr std::uint32_t kFileModify = 0x1301BF;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kKeyQueryAndSetValues = 0x20003;  // KEY_QUERY_VALUE | KEY_SET_VALUE | READ_CONTROL

}  // namespace

std::string accountLogFolder(const std::string& windowsFolder, const std::string& serviceName) {
  return windowsFolder + kHostLogFolder + "\\" + serviceName;
}

platform::SecurityDescriptor hostLogFolderSecurity() {
  return {platform::sid::kAdministrators,
          {{platform::sid::kSystem, kFileAllAccess},
           {platform::sid::kAdministrators, kFileAllAccess},
           {platform::sid::kUsers, kFileReadAndExecute}}};
}

platform::SecurityDescriptor accountLogFolderSecurity(const std::string& serviceName) {
  platform::SecurityDescriptor security = hostLogFolderSecurity();
  security.entries.push_back({serviceSid(serviceName), kFileModify});
  return security;
}

platform::SecurityDescriptor accountWatchKeySecurity(const std::string& serviceName) {
  return {platform::sid::kAdministrators,
          {{platform::sid::kSystem, kKeyAllAccess},
           {platform::sid::kAdministrators, kKeyAllAccess},
           {serviceSid(serviceName), kKeyQueryAndSetValues}}};
}

}  // namespace tlv::tools
