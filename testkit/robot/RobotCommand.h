// Portable: the robot's command line: parsing it into one command, its usage text, and
// quoting arguments into a Windows command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tlv::tools::robot {

/// Which top-level window or dialog a command acts on; unset parts match any window.
struct WindowSelection {
  std::optional<std::string> title;      ///< the window's title, exactly
  std::optional<std::string> className;  ///< "#32770" for dialogs and message boxes
  std::optional<unsigned long> pid;      ///< a window of this process
};

enum class Verb { Start, Wait, Type, Press, Menu, Close, Shot, WaitExit, Kill, Help };

struct RobotCommand {
  Verb verb = Verb::Help;
  WindowSelection window;
  unsigned timeoutMs = 10000;
  // start
  std::string program;
  std::vector<std::string> arguments;
  std::string folder;  ///< working folder; empty: the program's own
  bool dump = false;
  bool watch = false;  ///< follow the first window's texts until a dialog appears
  // type: which edit control, by position among the edit controls or by control id
  std::optional<int> editIndex;
  std::optional<int> editId;
  /// type: the text; press and menu: the caption; shot: the image path
  std::string operand;
  // waitexit, kill
  unsigned long pid = 0;
};

/// A command, or the one-line reason why the arguments are not one.
struct ParsedCommand {
  std::optional<RobotCommand> command;
  std::string error;
};

/// Parses the arguments that follow the program name.
ParsedCommand parseRobotCommand(const std::vector<std::string>& args);

/// The usage text that `tlvrobot help` prints.
const char* robotUsage();

/// One argument quoted so that the C runtime's argument parser gives it back unchanged.
std::string quoteArgument(const std::string& argument);
/// The program and its arguments as one command line for CreateProcess.
std::string buildCommandLine(const std::string& program, const std::vector<std::string>& arguments);

/// A caption as a person reads it: "&" accelerator marks removed ("&&" stays one "&") and
/// anything from a tab on (a menu item's shortcut text) cut off.
std::string plainCaption(const std::string& caption);

}  // namespace tlv::tools::robot
