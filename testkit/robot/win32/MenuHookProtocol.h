// Win32 only: what tlvrobot and its hook library agree on to read a menu from inside the
// program that owns it (Wine lets no other process read a menu).
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::tools::robot::menuhook {

/// The library beside tlvrobot.exe and its exported WH_CALLWNDPROC procedure.
inline constexpr char kLibraryName[] = "tlvrobothook.dll";
inline constexpr char kProcedureName[] = "tlvRobotMenuHook";
/// Registered message sent to the window; wParam is the robot's process id.
inline constexpr char kReadMenuMessage[] = "TlvRobotReadMenu";
/// Size of the shared section that receives the menu as robot output lines, NUL-ended.
inline constexpr DWORD kSectionBytes = 64 * 1024;
/// The last line of a complete answer; a missing end line means the menu did not fit.
inline constexpr char kEndLine[] = "end";

/// The shared section's name for one robot process.
inline std::string sectionName(unsigned long robotPid) { return "Local\\TlvRobotMenu-" + std::to_string(robotPid); }

}  // namespace tlv::tools::robot::menuhook
