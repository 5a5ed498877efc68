// Portable: the user-interface port: the one window, message boxes and the input prompt.
#pragma once

#include <cstdint>
#include <string>

namespace tlv::platform {

/// Message-box style bits as Windows defines them.
namespace mb {
inline constexpr std::uint32_t kOk = 0x00;
inline constexpr std::uint32_t kIconCritical = 0x10;
inline constexpr std::uint32_t kIconInformation = 0x40;
}  // namespace mb

/// Button identifiers that a message box returns.
namespace button {
inline constexpr int kNone = 0;  ///< the box could not be shown
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
}  // namespace button

/// Design of the program's one window. Positions and sizes in twips (15 to a pixel at 96 dpi).
struct WindowDesign {
  std::string caption;
  int clientWidth = 0;
  int clientHeight = 0;
  std::string labelText;
  int labelLeft = 0;
  int labelTop = 0;
  int labelWidth = 0;
  int labelHeight = 0;
  std::string labelFont;
  double labelPointSize = 0;
  bool labelBold = false;
  std::string menuCaption;
  unsigned timerMilliseconds = 0;
};

/// The outcome of the input prompt.
struct PromptAnswer {
  enum class Kind {
    Ok,         ///< the user pressed OK; text holds the answer
    Cancelled,  ///< the user pressed Cancel or closed the prompt
    NotShown,   ///< the prompt could not be shown at all
  };
  Kind kind = Kind::NotShown;
  std::string text;
};

/// What the window lets its events do to it.
class WindowControls {
 public:
  virtual ~WindowControls() = default;
  /// Replaces the status label's text and repaints it at once, without processing input.
  virtual void setStatusText(const std::string& text) = 0;
  virtual void disableTimer() = 0;
};

/// The window's events, delivered on the user-interface thread.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void onLoad(WindowControls& window) = 0;
  virtual void onTimer(WindowControls& window) = 0;
  virtual void onMenuItem(WindowControls& window) = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;

  /// Creates the window, shows it modally and returns when the user has closed it.
  /// Returns false when the window could not be created.
  [[nodiscard]] virtual bool showModalWindow(const WindowDesign& design, WindowEvents& events) = 0;
  /// Shows a message box, modal to the window when there is one; returns the button pressed,
  /// or button::kNone when the box could not be shown.
  virtual int messageBox(const std::string& text, const std::string& title, std::uint32_t style) = 0;
  /// Asks for one line of text, modal to the window, its field holding the default.
  virtual PromptAnswer inputBox(const std::string& prompt, const std::string& title,
                                const std::string& defaultText) = 0;
  /// The program's own title, used for a message box given no title.
  virtual std::string programTitle() = 0;
  /// Whether the process's window station shows its windows to someone (WSF_VISIBLE): not
  /// so for a service's or a scheduled task's, where a box would wait unseen for ever.
  virtual bool windowStationVisible() = 0;
};

}  // namespace tlv::platform
