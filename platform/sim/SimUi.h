// Sim only: a scripted user. Records the window's statuses, every message box and prompt,
// and answers them from a script.
#pragma once

#include <deque>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

struct ShownBox {
  std::string text;
  std::string title;
  std::uint32_t style = 0;
  bool operator==(const ShownBox&) const = default;
  /// How a test's message shows a box.
  friend void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << '"' << box.text << "\" titled \"" << box.title << "\", style " << box.style;
  }
};

struct ShownPrompt {
  std::string prompt;
  std::string title;
  std::string defaultText;
};

/// What the scripted user does while the window is open, in order, before closing it.
enum class WindowAction { Timer, Menu };

class SimUi final : public Ui, private WindowControls {
 public:
  explicit SimUi(SimFaults& faults) : faults_(faults) {}

  // Script.
  void setWindowActions(std::vector<WindowAction> actions) { actions_ = std::move(actions); }
  /// Answers for the input prompt in order; nullopt presses Cancel.
  void queuePromptAnswer(std::optional<std::string> answer) { answers_.push_back(std::move(answer)); }
  /// The process runs on a window station nobody sees (a service's).
  void hideWindowStation() { stationVisible_ = false; }

  // What was seen.
  const std::vector<std::string>& statuses() const { return statuses_; }
  std::string currentStatus() const { return statuses_.empty() ? std::string{} : statuses_.back(); }
  const std::vector<ShownBox>& boxes() const { return boxes_; }
  const std::vector<ShownPrompt>& prompts() const { return prompts_; }
  /// Prompts that came after the script ran out of answers (each was answered "STOP").
  int unexpectedPrompts() const { return unexpectedPrompts_; }
  bool timerEnabled() const { return timerEnabled_; }

  // Ui
  bool showModalWindow(const WindowDesign& design, WindowEvents& events) override;
  int messageBox(const std::string& text, const std::string& title, std::uint32_t style) override;
  PromptAnswer inputBox(const std::string& prompt, const std::string& title,
                        const std::string& defaultText) override;
  std::string programTitle() override { return "TlvAsService"; }
  bool windowStationVisible() override { return stationVisible_; }

 private:
  // WindowControls
  void setStatusText(const std::string& text) override;
  void disableTimer() override;

  SimFaults& faults_;
  std::vector<WindowAction> actions_{WindowAction::Timer};
  std::deque<std::optional<std::string>> answers_;
  std::vector<std::string> statuses_;
  std::vector<ShownBox> boxes_;
  std::vector<ShownPrompt> prompts_;
  int unexpectedPrompts_ = 0;
  bool timerEnabled_ = false;
  bool stationVisible_ = true;
};

}  // namespace tlv::platform::sim
