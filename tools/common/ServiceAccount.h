// Portable: the accounts the service may run as. Only accounts that need no password are
// offered: a password would have to be taken on a command line or stored, and neither is.
#pragma once

#include <optional>
#include <string>

namespace tlv::tools {

/// The service's own virtual account, NT SERVICE\OrbitTender.
std::string virtualAccount();
inline constexpr char kLocalService[] = "NT AUTHORITY\\LocalService";
inline constexpr char kNetworkService[] = "NT AUTHORITY\\NetworkService";
inline constexpr char kLocalSystem[] = "LocalSystem";

/// The account /account names, spelled as the run sets it; nullopt for any other.
std::optional<std::string> offeredAccount(const std::string& typed);

/// Whether two names are one account as the service manager reports it ("LocalSystem",
/// ".\LocalSystem" and "NT AUTHORITY\SYSTEM" are one; "NT Service\..." in any case).
bool sameAccount(const std::string& a, const std::string& b);

/// The text that says which accounts /account takes.
std::string offeredAccountsText();

}  // namespace tlv::tools
