// Win32 only: following a program's window as it works: every text its controls are given,
// in order and with its time, until the program shows a dialog or message box.
#pragma once

#include <functional>

#include "testkit/robot/DumpFormat.h"
#include "testkit/robot/win32/RobotWindows.h"

namespace tlv::tools::robot {

using LinePrinter = std::function<void(const DumpLine&)>;

/// The performance counter now, the time base of a watch.
LONGLONG performanceTicks();

/// Prints the texts of the window's child controls as "changed" lines, then each new text
/// one of them is given, until a dialog of the window's process is visible; then prints
/// an "appeared" line and the dialog as `wait` would. Times are whole milliseconds since
/// `startTicks`. Throws RobotFailure when no dialog comes within `timeoutMs` or the program
/// ends first.
void watchUntilDialog(HWND window, LONGLONG startTicks, unsigned timeoutMs, const LinePrinter& print);

}  // namespace tlv::tools::robot
