// Win32 only: what the robot does to a window: type, press, choose, close, photograph;
// and to a program: start it, wait for its end, end it.
#pragma once

#include <string>

#include "testkit/robot/DumpFormat.h"
#include "testkit/robot/RobotCommand.h"
#include "testkit/robot/win32/RobotWindows.h"

namespace tlv::tools::robot {

/// Replaces the text of the edit control that `command` names (--edit or --edit-id).
void typeText(HWND window, const RobotCommand& command);
/// Presses the button with the caption, as a click on it would.
void pressButton(HWND window, const std::string& caption);
/// Chooses the menu item with the caption, as clicking it would.
void chooseMenuItem(HWND window, const std::string& caption);
/// Asks the window to close and waits until it is gone.
void closeWindow(HWND window, unsigned timeoutMs);
/// Saves what the screen shows of the window; returns the "screenshot" line.
DumpLine saveScreenshot(HWND window, const std::string& path);

/// Starts the program and waits until it is idle for input; returns its process id.
unsigned long startProgram(const RobotCommand& command);
/// Waits for the process to end; returns the "exited" line.
DumpLine waitForExit(unsigned long pid, unsigned timeoutMs);
/// Ends the process and waits until it has ended; returns the "killed" line.
DumpLine killProcess(unsigned long pid, unsigned timeoutMs);

}  // namespace tlv::tools::robot
