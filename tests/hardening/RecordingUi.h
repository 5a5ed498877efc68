// Native: a user-interface port that passes everything to the sim's scripted user and keeps
// one timeline of what the user saw: status texts and the message boxes that were shown.
#pragma once

#include <string>
#include <vector>

#include "platform/Ui.h"

namespace tlv::testing {

struct SeenEvent {
  enum class Kind { Status, Box };
  Kind kind = Kind::Status;
  std::string text;
  std::string title;  ///< boxes only
};

class RecordingUi final : public platform::Ui {
 public:
  explicit RecordingUi(platform::Ui& inner) : inner_(inner) {}

  const std::vector<SeenEvent>& timeline() const { return timeline_; }

  bool showModalWindow(const platform::WindowDesign& design, platform::WindowEvents& events) override {
    Events recording(events, timeline_);
    return inner_.showModalWindow(design, recording);
  }
  int messageBox(const std::string& text, const std::string& title, std::uint32_t style) override {
    const int button = inner_.messageBox(text, title, style);
    if (button != platform::button::kNone) timeline_.push_back({SeenEvent::Kind::Box, text, title});
    return button;
  }
  platform::PromptAnswer inputBox(const std::string& prompt, const std::string& title,
                                  const std::string& defaultText) override {
    return inner_.inputBox(prompt, title, defaultText);
  }
  std::string programTitle() override { return inner_.programTitle(); }

 private:
  class Controls final : public platform::WindowControls {
   public:
    Controls(platform::WindowControls& inner, std::vector<SeenEvent>& timeline) : inner_(inner), timeline_(timeline) {}
    void setStatusText(const std::string& text) override {
      inner_.setStatusText(text);
      timeline_.push_back({SeenEvent::Kind::Status, text, {}});
    }
    void disableTimer() override { inner_.disableTimer(); }

   private:
    platform::WindowControls& inner_;
    std::vector<SeenEvent>& timeline_;
  };

  class Events final : public platform::WindowEvents {
   public:
    Events(platform::WindowEvents& inner, std::vector<SeenEvent>& timeline) : inner_(inner), timeline_(timeline) {}
    void onLoad(platform::WindowControls& window) override {
      Controls controls(window, timeline_);
      inner_.onLoad(controls);
    }
    void onTimer(platform::WindowControls& window) override {
      Controls controls(window, timeline_);
      inner_.onTimer(controls);
    }
    void onMenuItem(platform::WindowControls& window) override {
      Controls controls(window, timeline_);
      inner_.onMenuItem(controls);
    }

   private:
    platform::WindowEvents& inner_;
    std::vector<SeenEvent>& timeline_;
  };

  platform::Ui& inner_;
  std::vector<SeenEvent> timeline_;
};

}  // namespace tlv::testing
