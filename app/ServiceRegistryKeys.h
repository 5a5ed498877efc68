// Portable: where the program keeps the service OrbitTender's values in the registry; srvany
// reads Application from the same Parameters key.
#pragma once

namespace tlv::app {

inline constexpr char kServiceKey[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\OrbitTender";
inline constexpr char kParametersKey[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\OrbitTender\\Parameters";

}  // namespace tlv::app
