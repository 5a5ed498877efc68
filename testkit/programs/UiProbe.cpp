// Win32 only: tlvuiprobe.exe, a small program of the tests that shows the platform's user
// interface on demand, so the robot can check it from outside:
//   tlvuiprobe log LEVEL MESSAGE DETAIL [BOXSTYLE]   one WriteLog entry (box style 64)
//   tlvuiprobe input PROMPT TITLE DEFAULT            the input prompt; the answer goes to
//                                                    answer.txt beside the program
//   tlvuiprobe window CAPTION MENUITEM               a window whose menu item counts its
//                                                    choices in the status label
// Exit code 0 when done, 2 for a command line it does not know.
#include <cstdlib>
#include <string>
#include <vector>

#include "logging/LoggingFunctions.h"
#include "platform/WindowsPath.h"
#include "platform/win32/Win32Platform.h"

namespace {

using tlv::platform::Platform;

int logEntry(Platform& platform, const std::vector<std::string>& args) {
  if (args.size() != 4 && args.size() != 5) return 2;
  const int level = std::atoi(args[1].c_str());
  const int boxStyle = args.size() == 5 ? std::atoi(args[4].c_str()) : 64;
  tlv::logging::LoggingFunctions log(platform);
  log.WriteLog(level, args[2], args[3], "", "", "", "", "", "", "", "", "", "", "", "", "", boxStyle);
  return 0;
}

int prompt(Platform& platform, const std::vector<std::string>& args) {
  if (args.size() != 4) return 2;
  const auto answer = platform.ui.inputBox(args[1], args[2], args[3]);
  const std::string path = tlv::platform::folderOfPath(platform.process.modulePath()) + "\\answer.txt";
  auto file = platform.files.openText(path, tlv::platform::OpenMode::Output);
  if (!file.ok()) return 1;
  using Kind = tlv::platform::PromptAnswer::Kind;
  const std::string outcome = answer.kind == Kind::Ok ? "OK:" + answer.text
                              : answer.kind == Kind::Cancelled ? "CANCEL"
                                                               : "NOTSHOWN";
  if (file.value->writeLine(outcome) != 0) return 1;
  return file.value->close() == 0 ? 0 : 1;
}

class CountingWindow final : public tlv::platform::WindowEvents {
 public:
  void onLoad(tlv::platform::WindowControls&) override {}
  void onTimer(tlv::platform::WindowControls&) override {}
  void onMenuItem(tlv::platform::WindowControls& window) override {
    window.setStatusText("Chosen " + std::to_string(++chosen_));
  }

 private:
  int chosen_ = 0;
};

int window(Platform& platform, const std::vector<std::string>& args) {
  if (args.size() != 3) return 2;
  tlv::platform::WindowDesign design;
  design.caption = args[1];
  design.clientWidth = 4500;
  design.clientHeight = 1500;
  design.labelText = "Chosen 0";
  design.labelLeft = design.labelTop = 300;
  design.labelWidth = 3000;
  design.labelHeight = 375;
  design.labelFont = "MS Sans Serif";
  design.labelPointSize = 10;
  design.menuCaption = args[2];
  CountingWindow events;
  return platform.ui.showModalWindow(design, events) ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  const std::vector<std::string> args(__argv + 1, __argv + __argc);
  tlv::platform::win32::Win32Platform machine(hInstance);
  Platform platform = machine.platform();
  if (args.empty()) return 2;
  if (args[0] == "log") return logEntry(platform, args);
  if (args[0] == "input") return prompt(platform, args);
  if (args[0] == "window") return window(platform, args);
  return 2;
}
