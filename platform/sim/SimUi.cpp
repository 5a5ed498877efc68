// Sim only: the scripted user.
#include "platform/sim/SimUi.h"

namespace tlv::platform::sim {

bool SimUi::showModalWindow(const WindowDesign& design, WindowEvents& events) {
  if (faults_.enter(Call::UiShowModalWindow)) return false;
  statuses_.push_back(design.labelText);
  timerEnabled_ = design.timerMilliseconds > 0;
  events.onLoad(*this);
  for (WindowAction action : actions_) {
    if (action == WindowAction::Timer) {
      if (timerEnabled_) events.onTimer(*this);
    } else {
      events.onMenuItem(*this);
    }
  }
  return true;
}

int SimUi::messageBox(const std::string& text, const std::string& title, std::uint32_t style) {
  if (faults_.enter(Call::UiMessageBox)) return button::kNone;
  boxes_.push_back({text, title, style});
  return button::kOk;
}

PromptAnswer SimUi::inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
  if (faults_.enter(Call::UiInputBox)) return {PromptAnswer::Kind::NotShown, {}};
  prompts_.push_back({prompt, title, defaultText});
  if (answers_.empty()) {
    ++unexpectedPrompts_;
    return {PromptAnswer::Kind::Ok, "STOP"};
  }
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  if (!answer) return {PromptAnswer::Kind::Cancelled, {}};
  return {PromptAnswer::Kind::Ok, std::move(*answer)};
}

void SimUi::setStatusText(const std::string& text) {
  faults_.enter(Call::UiSetStatusText);
  statuses_.push_back(text);
}

void SimUi::disableTimer() {
  faults_.enter(Call::UiDisableTimer);
  timerEnabled_ = false;
}

}  // namespace tlv::platform::sim
