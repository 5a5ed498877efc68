// Win32 only: what tlvrobot and its hook library agree on to watch a window's control texts
// from inside the program: every text a control is given reaches the robot in order, even
// while the program is too busy to answer messages (Wine sends no name-change event for it).
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::tools::robot::textwatch {

/// The WH_CALLWNDPROCRET procedure of tlvrobothook.dll that watches WM_SETTEXT.
inline constexpr char kProcedureName[] = "tlvRobotTextWatchHook";
/// Registered message sent to the watched top-level window; wParam is the robot's process id.
inline constexpr char kStartMessage[] = "TlvRobotWatchTexts";
/// Size of the shared section, header included.
inline constexpr DWORD kSectionBytes = 64 * 1024;

/// The section's start. The hook appends output lines ("changed ticks=.. id=.. class=..
/// text=..", each ended by LF) after the header and then publishes the new length; a line
/// that does not fit sets `full` instead, and nothing more is written.
struct SectionHeader {
  volatile LONG used;  ///< bytes of lines after the header
  volatile LONG full;
};
inline constexpr DWORD kTextBytes = kSectionBytes - sizeof(SectionHeader);

/// The shared section's name for one robot process.
inline std::string sectionName(unsigned long robotPid) { return "Local\\TlvRobotTexts-" + std::to_string(robotPid); }

}  // namespace tlv::tools::robot::textwatch
