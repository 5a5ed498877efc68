// Portable: the robot's command-line parser, usage text and argument quoting.
#include "testkit/robot/RobotCommand.h"

#include <charconv>
#include <map>

namespace tlv::tools::robot {

namespace {

struct VerbInfo {
  Verb verb;
  int positionals;  // -1: one or more (start: the program and its arguments)
  bool selectsWindow;
};

const std::map<std::string, VerbInfo>& verbs() {
  static const std::map<std::string, VerbInfo> table{
      {"start", {Verb::Start, -1, false}},    {"wait", {Verb::Wait, 0, true}},
      {"type", {Verb::Type, 1, true}},        {"press", {Verb::Press, 1, true}},
      {"menu", {Verb::Menu, 1, true}},        {"close", {Verb::Close, 0, true}},
      {"shot", {Verb::Shot, 1, true}},        {"waitexit", {Verb::WaitExit, 1, false}},
      {"kill", {Verb::Kill, 1, false}},       {"help", {Verb::Help, 0, false}},
  };
  return table;
}

template <class T>
std::optional<T> parseNumber(const std::string& text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool takesOption(const VerbInfo& info, const std::string& name) {
  if (name == "--timeout") return info.verb != Verb::Help;
  if (name == "--title" || name == "--class" || name == "--pid") return info.selectsWindow;
  if (name == "--dir") return info.verb == Verb::Start;
  if (name == "--edit" || name == "--edit-id") return info.verb == Verb::Type;
  return false;
}

// Applies one "--name value" option that the verb takes; returns the error text, empty
// when it was fine.
std::string applyOption(RobotCommand& c, const std::string& name, const std::string& value) {
  if (name == "--timeout") {
    const auto ms = parseNumber<unsigned>(value);
    if (!ms) return "--timeout needs a number of milliseconds, not \"" + value + "\"";
    c.timeoutMs = *ms;
  } else if (name == "--title") {
    c.window.title = value;
  } else if (name == "--class") {
    c.window.className = value;
  } else if (name == "--pid") {
    c.window.pid = parseNumber<unsigned long>(value);
    if (!c.window.pid) return "--pid needs a process id, not \"" + value + "\"";
  } else if (name == "--dir") {
    c.folder = value;
  } else {
    const auto number = parseNumber<int>(value);
    if (!number) return name + " needs a number, not \"" + value + "\"";
    (name == "--edit" ? c.editIndex : c.editId) = number;
  }
  return {};
}

std::string checkComplete(RobotCommand& c, const VerbInfo& info, std::vector<std::string>& positionals) {
  if (info.positionals < 0 ? positionals.empty() : static_cast<int>(positionals.size()) != info.positionals) {
    return "wrong number of arguments (see tlvrobot help)";
  }
  if (info.selectsWindow && !c.window.title && !c.window.className && !c.window.pid) {
    return "name the window with --title, --class or --pid";
  }
  switch (c.verb) {
    case Verb::Start:
      c.program = positionals.front();
      c.arguments.assign(positionals.begin() + 1, positionals.end());
      break;
    case Verb::WaitExit:
    case Verb::Kill: {
      const auto pid = parseNumber<unsigned long>(positionals.front());
      if (!pid) return "a process id is a number, not \"" + positionals.front() + "\"";
      c.pid = *pid;
      break;
    }
    case Verb::Type:
      if (c.editIndex.has_value() == c.editId.has_value()) return "type needs exactly one of --edit and --edit-id";
      c.operand = positionals.front();
      break;
    default:
      if (!positionals.empty()) c.operand = positionals.front();
  }
  return {};
}

}  // namespace

ParsedCommand parseRobotCommand(const std::vector<std::string>& args) {
  if (args.empty()) return {std::nullopt, "no command (see tlvrobot help)"};
  const auto found = verbs().find(args.front());
  if (found == verbs().end()) return {std::nullopt, "unknown command \"" + args.front() + "\""};
  const VerbInfo& info = found->second;

  RobotCommand command;
  command.verb = info.verb;
  std::vector<std::string> positionals;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // Once a program is named, everything after it is its own command line.
    if (info.verb == Verb::Start && !positionals.empty()) optionsEnded = true;
    if (optionsEnded || arg.rfind("--", 0) != 0) {
      positionals.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--dump" && info.verb == Verb::Start) {
      command.dump = true;
    } else if (arg == "--watch" && info.verb == Verb::Start) {
      command.watch = true;
    } else if (!takesOption(info, arg)) {
      return {std::nullopt, "unknown option " + arg + " for this command"};
    } else if (i + 1 >= args.size()) {
      return {std::nullopt, arg + " needs a value"};
    } else if (auto error = applyOption(command, arg, args[++i]); !error.empty()) {
      return {std::nullopt, error};
    }
  }
  if (auto error = checkComplete(command, info, positionals); !error.empty()) return {std::nullopt, error};
  return {command, {}};
}

std::string quoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  // Backslashes are literal except in front of a quote, where each one must be doubled.
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
    } else if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
      backslashes = 0;
    } else {
      out.append(backslashes, '\\');
      backslashes = 0;
    }
    if (c != '\\') out += c;
  }
  out.append(backslashes * 2, '\\');  // they precede the closing quote
  return out + "\"";
}

std::string buildCommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = quoteArgument(program);
  for (const auto& argument : arguments) line += " " + quoteArgument(argument);
  return line;
}

std::string plainCaption(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size() && caption[i] != '\t'; ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') out += caption[++i];
      continue;
    }
    out += caption[i];
  }
  return out;
}

const char* robotUsage() {
  return R"(tlvrobot: drives a Windows program like a person, for tests and scripts.

usage: tlvrobot COMMAND [OPTIONS] [ARGUMENTS]

Window selection (wait, type, press, menu, close, shot), at least one of:
  --title TEXT      the top-level window's or dialog's title, exactly
  --class NAME      its window class ("#32770" for dialogs and message boxes)
  --pid N           a window of that process
  --timeout MS      how long to wait for the window (default 10000)

Commands:
  start [--dir FOLDER] [--dump] [--watch] [--timeout MS] PROGRAM [ARGUMENTS...]
        start PROGRAM, wait until it is idle for input and print its process id; with
        --dump also wait for its first visible top-level window and print it at once.
        With --watch, follow that window: print the texts of its controls, then every
        text one of them is given, as it happens, until the program shows a dialog or
        message box, and print that (--timeout MS also bounds this wait). Another
        robot that reads the window's menu while the watch starts can end the watch
        under Wine: start other commands once the first "changed" line is out.
        The program starts as from Explorer: in its own folder unless --dir names one,
        without standard handles and without a console of the robot's
  wait SELECTION
        wait until the window is there and print it
  type SELECTION (--edit N | --edit-id ID) TEXT
        replace the text of an edit control, named by its position among the window's
        edit controls (from 0) or by its control id
  press SELECTION CAPTION
        press the button with that caption ("OK"; "&" marks are ignored)
  menu SELECTION CAPTION
        choose the menu item with that caption
  close SELECTION
        ask the window to close and wait until it is gone
  shot SELECTION PATH
        save what the screen shows of the window as PATH: PNG when it ends in .png,
        otherwise BMP
  waitexit [--timeout MS] PID
        wait for the process to end and print its exit code
  kill [--timeout MS] PID
        end the process at once
  help
        print this text

Output, one line per fact, each ended by LF; numbers bare, texts in double quotes with the escapes
\\ \" \r \n \t and \xHH for other control characters:
  process pid=1234
  window hwnd=0x00010064 pid=1234 class="..." title="..." x=.. y=.. width=.. height=..
         client-x=.. client-y=.. client-width=.. client-height=..   (one line)
  static index=0 id=200 x=40 y=40 width=241 height=25 text="Status"
  edit index=0 id=101 x=.. y=.. width=.. height=.. text="..."
  button index=0 id=1 x=.. y=.. width=.. height=.. text="OK"
  control index=0 id=.. class="..." x=.. y=.. width=.. height=.. text="..."
  menu index=0 depth=0 id=100 submenu=0 text="Create Tol Vane Service"
  menu-error text="..."   (the window has a menu that could not be read)
  changed ms=.. id=200 class="Static" text="..."   (start --watch: a control's text)
  appeared ms=..   (start --watch: a dialog came up; its window and controls follow)
  screenshot path="..." width=.. height=..
  exited pid=1234 code=0   (no code when the process had ended before the robot looked)
  killed pid=1234
Times (ms) are whole milliseconds since the robot started the program.
Window positions are in screen pixels, client-x and client-y from the window's corner,
control positions in pixels of the window's client area.

Exit codes: 0 done; 1 failed or timed out, with one line "tlvrobot: ..." on standard
error; 2 a command line that is not one of the above.
)";
}

}  // namespace tlv::tools::robot
