// Native: every text the program shows (statuses, box texts and titles, the prompt) is
// explained in README.md's troubleshooting table. The texts are collected by running the
// program to each of its endings on the sim machine, so a new text cannot slip past.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

std::string readme() {
  std::ifstream in(TLV_SOURCE_DIR "/README.md", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of a shown text, without the blanks a log body pads boxes with; a path (the
// Missing boxes show the missing file's full path) stands for itself and is left out.
void addShown(std::set<std::string>& texts, const std::string& shown) {
  std::istringstream lines(shown);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line.find(":\\") == std::string::npos) texts.insert(line);
  }
}

void collect(std::set<std::string>& texts, ServiceMachine& m) {
  for (const auto& status : m.sim.ui.statuses()) addShown(texts, status);
  for (const auto& box : m.sim.ui.boxes()) {
    addShown(texts, box.text);
    addShown(texts, box.title);
  }
  for (const auto& prompt : m.sim.ui.prompts()) {
    addShown(texts, prompt.prompt);
    addShown(texts, prompt.title);
  }
}

TEST(ReadmeTextsTest, TheTroubleshootingTableExplainsEveryTextOfEveryEnding) {
  std::set<std::string> texts;
  auto ending = [&](const std::function<void(ServiceMachine&)>& arrange) {
    ServiceMachine m;
    arrange(m);
    m.run();
    collect(texts, m);
  };
  ending([](ServiceMachine&) {});
  ending([](ServiceMachine& m) { m.sim.files.remove("C:\\Tools\\instsrv.exe"); });
  ending([](ServiceMachine& m) { m.sim.files.remove("C:\\Tools\\srvany.exe"); });
  ending([](ServiceMachine& m) { m.sim.files.denyWritesIn("C:\\Windows"); });
  ending([](ServiceMachine& m) { m.sim.files.addFolder(kBatchPath); });
  ending([](ServiceMachine& m) { m.createsService = false; });
  ending([](ServiceMachine& m) {
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.ui.queuePromptAnswer("STOP");
  });
  ending([](ServiceMachine& m) {
    m.sim.faults.failWhen([](std::string_view call) { return call == "ui.showModalWindow"; }, 8);
  });
  ASSERT_GT(texts.size(), 25u) << "the endings did not run";

  const std::string guide = readme();
  ASSERT_FALSE(guide.empty()) << "README.md not found";
  for (const std::string& text : texts) EXPECT_NE(guide.find(text), std::string::npos) << "README lacks: " << text;
}

}  // namespace
}  // namespace tlv::testing
