// Portable: an object's owner and access list as the system keeps them, each trustee as a SID
// string ("S-1-5-18"), for the rules that judge who may change a file, a key or a service.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tlv::platform {

/// One entry of an access list (DACL).
struct AccessEntry {
  std::string sid;
  std::uint32_t mask = 0;
  bool allows = true;        ///< an allow entry; deny entries take nothing away from the rules
  bool inheritOnly = false;  ///< it applies only to what is created inside, not to the object
  friend bool operator==(const AccessEntry&, const AccessEntry&) = default;
};

struct SecurityDescriptor {
  std::string owner;  ///< empty when the descriptor names none
  /// A descriptor without a list lets everybody do everything: it reads as one entry
  /// allowing Everyone (S-1-1-0) all rights. An entry of a kind the rules do not know reads
  /// as allowing its trustee all rights.
  std::vector<AccessEntry> entries;
  friend bool operator==(const SecurityDescriptor&, const SecurityDescriptor&) = default;
};

/// Well-known SIDs, written out: Wine's LookupAccountName knows neither TrustedInstaller nor
/// the service accounts.
namespace sid {
inline constexpr char kSystem[] = "S-1-5-18";
inline constexpr char kAdministrators[] = "S-1-5-32-544";
inline constexpr char kUsers[] = "S-1-5-32-545";
inline constexpr char kTrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
inline constexpr char kCreatorOwner[] = "S-1-3-0";
inline constexpr char kEveryone[] = "S-1-1-0";
}  // namespace sid

}  // namespace tlv::platform
