// Portable: the accounts the service may run as.
#include "tools/common/ServiceAccount.h"

#include "platform/WindowsPath.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {
namespace {

// The one spelling of an account a name stands for, for comparing.
std::string canonical(const std::string& account) {
  std::string upper = platform::upperCase(account);
  if (upper == "LOCALSYSTEM" || upper == ".\\LOCALSYSTEM" || upper == "NT AUTHORITY\\SYSTEM") return "LOCALSYSTEM";
  // The manager reports "NT AUTHORITY\LocalService" also for an account set as "LocalService".
  if (upper == "LOCALSERVICE" || upper == "NETWORKSERVICE") return "NT AUTHORITY\\" + upper;
  return upper;
}

}  // namespace

std::string virtualAccount() { return std::string("NT SERVICE\\") + kServiceName; }

std::optional<std::string> offeredAccount(const std::string& typed) {
  for (const std::string& offered : {virtualAccount(), std::string(kLocalService), std::string(kNetworkService)}) {
    if (platform::equalsNoCase(typed, offered)) return offered;
  }
  return std::nullopt;
}

bool sameAccount(const std::string& a, const std::string& b) { return canonical(a) == canonical(b); }

std::string offeredAccountsText() {
  return "take " + virtualAccount() + ", " + kLocalService + " or " + kNetworkService;
}

}  // namespace tlv::tools
