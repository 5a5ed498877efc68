// Portable: how a service creation run ends: the status line's last text, the box that says
// it, and the exit code an unattended run gives for it. The window run, the unattended run
// and the tests read the one table.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/Ui.h"

namespace tlv::app {

struct Ending {
  std::string_view status;
  /// The box's text and title; the Missing endings' box is their log entry's, which names the
  /// missing file (boxText empty). An empty title is the program's own.
  std::string_view boxText;
  std::string_view boxTitle;
  std::uint32_t boxStyle = 0;
  int exitCode = 0;
};

namespace ending {
inline constexpr Ending kReady{"Service is Ready to Start", "Service is Ready to Start", "Services",
                               platform::mb::kIconInformation, 0};
inline constexpr Ending kNotComplete{"Orbit-Tender Service NOT Complete", "Orbit-Tender Service NOT Complete",
                                     "Registry", platform::mb::kIconCritical, 1};
inline constexpr Ending kInComplete{"Orbit-Tender Service InComplete", "Orbit-Tender Service InComplete", "find TLV",
                                    platform::mb::kIconCritical, 2};
inline constexpr Ending kInstsrvMissing{"instsrv.exe Missing", {}, "Missing", platform::mb::kIconInformation, 3};
inline constexpr Ending kSrvanyMissing{"srvany.exe Missing", {}, "Missing", platform::mb::kIconInformation, 4};
inline constexpr Ending kToolsNotPlaced{"No Win / Srvany or Instsrv", "Files Failed to be retrieved",
                                        "No Win\\ Srvany or instsrv", platform::mb::kIconCritical, 5};
inline constexpr Ending kBatchFileFailed{"Failed to Create Batch file", "Failed to Create Batch file", {},
                                         platform::mb::kOk, 6};

inline constexpr std::array kAll{kReady,          kNotComplete,    kInComplete,     kInstsrvMissing,
                                 kSrvanyMissing,  kToolsNotPlaced, kBatchFileFailed};
}  // namespace ending

}  // namespace tlv::app
