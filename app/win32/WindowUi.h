// Win32 only: the program's user interface behind the Ui port: its window, message boxes and
// the one-line input prompt, over user32 and gdi32.
#pragma once

#include "platform/Ui.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Support.h"

namespace tlv::app::win32 {

using platform::PromptAnswer;
using platform::WindowDesign;
using platform::WindowControls;
using platform::WindowEvents;
using platform::win32::UniqueGdiObject;

/// The status label's font as the window creates it: the design's face, point size and weight
/// at the screen's dpi.
UniqueGdiObject createLabelFont(const WindowDesign& design, int dpi);

class WindowUi final : public platform::Ui {
 public:
  explicit WindowUi(HINSTANCE instance) : instance_(instance) {}

  bool showModalWindow(const WindowDesign& design, WindowEvents& events) override;
  int messageBox(const std::string& text, const std::string& title, std::uint32_t style) override;
  PromptAnswer inputBox(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
  std::string programTitle() override { return "TlvAsService"; }
  bool windowStationVisible() override;

 private:
  HINSTANCE instance_;
  HWND window_ = nullptr;  // the open window, owner of boxes and prompts
};

}  // namespace tlv::app::win32
