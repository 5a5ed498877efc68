// Win32 only: the user-interface port: the program's window, message boxes and the
// one-line input prompt, over user32 and gdi32.
#pragma once

#include "platform/Ui.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

/// The status label's font as the window creates it: the design's face, point size and weight
/// at the screen's dpi.
UniqueGdiObject createLabelFont(const WindowDesign& design, int dpi);

class Win32Ui final : public Ui {
 public:
  explicit Win32Ui(HINSTANCE instance) : instance_(instance) {}

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

}  // namespace tlv::platform::win32
