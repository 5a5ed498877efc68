// Native: every text the program shows (statuses, boxes, the prompt), every kind of log line it
// writes, every exit code, srvany's event ids and instsrv's messages are explained in README.md.
// The texts and lines are collected by running the program to its endings on the sim machine,
// so a new one cannot slip past.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "app/Endings.h"
#include "app/QuietRun.h"
#include "app/ServiceSetup.h"
#include "app/ServiceHealth.h"
#include "app/ServiceVerify.h"
#include "tests/service/ServiceMachine.h"
#include "tools/srvany/HostRecord.h"

namespace tlv::testing {
namespace {

std::string source(const char* file) {
  std::ifstream in(std::string(TLV_SOURCE_DIR "/") + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The lines of a shown text without the blanks boxes are padded with; a path (a Missing box
// shows the tool's full path) stands for itself and is left out.
void addShown(std::set<std::string>& texts, const std::string& shown) {
  std::istringstream lines(shown);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line.find(":\\") == std::string::npos) texts.insert(line);
  }
}

// The part of a log line README must explain: after a path, what happened to that file
// (":Missing"); otherwise the step or run that wrote it ("Unattended run:", "Is Root Key?:").
std::string explainedPart(std::string line) {
  const std::size_t time = line.find("M ");  // "9:05:07 AM "
  if (time == std::string::npos || time > 10) return line;
  std::string text = line.substr(time + 2);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.starts_with("Verify ")) return ":FAILS (exit code";
  if (text.starts_with("copy ")) return text.substr(text.rfind(':'));
  const std::size_t split = text.find(':');
  if (split == std::string::npos) return text;
  if (text.compare(split, 2, ":\\") != 0) return text.substr(0, split + 1);
  const std::size_t detail = text.find(':', split + 1);  // the colon after the path
  if (detail == std::string::npos) return text;
  // What happened, its numbers (versions, error codes) being the example's own.
  std::string explained = text.substr(detail);
  return explained.substr(0, explained.find_first_of("0123456789"));
}

// The fixed pieces of the messages a source file prints with say(), fputs() or fprintf(): the
// text between placeholders and line breaks.
std::vector<std::string> printedPieces(const std::string& code) {
  std::vector<std::string> pieces;
  const auto keep = [&pieces](std::string piece) {
    piece.erase(0, piece.find_first_not_of(' '));
    piece.erase(piece.find_last_not_of(' ') + 1);
    if (piece.size() >= 4) pieces.push_back(piece);
  };
  for (const std::string call : {"say(\"", "fputs(\"", "fprintf(stderr, \""}) {
    for (std::size_t at = code.find(call); at != std::string::npos; at = code.find(call, at + 1)) {
      std::string piece;
      for (std::size_t i = at + call.size(); i < code.size() && code[i] != '"'; ++i) {
        const bool placeholder = code[i] == '%' || (code[i] == '\\' && i + 1 < code.size() && code[i + 1] == 'n');
        if (!placeholder) {
          piece += code[i];
          continue;
        }
        keep(piece);
        piece.clear();
        i += code[i] == '%' && code[i + 1] == 'l' ? 2 : 1;
      }
      keep(piece);
    }
  }
  return pieces;
}

TEST(ReadmeTextsTest, EveryShownTextLogLineExitCodeEventIdAndInstsrvMessageIsExplained) {
  std::set<std::string> shown;
  std::set<std::string> parts;
  const auto run = [&](const char* commandLine, const std::function<void(ServiceMachine&)>& arrange) {
    ServiceMachine m;
    arrange(m);
    if (*commandLine) {
      static_cast<void>(m.runWith(commandLine));
    } else {
      m.run();
    }
    for (const auto& status : m.sim.ui.statuses()) addShown(shown, status);
    for (const auto& box : m.sim.ui.boxes()) addShown(shown, box.text + "\n" + box.title);
    for (const auto& prompt : m.sim.ui.prompts()) addShown(shown, prompt.prompt + "\n" + prompt.title);
    std::istringstream lines(m.log());
    for (std::string line; std::getline(lines, line);) parts.insert(explainedPart(line.substr(0, line.find('\r'))));
  };
  run("", [](ServiceMachine& m) { m.sim.files.addFile("C:\\Tools\\srvany.exe", miniPe("foreign")); });
  run("", [](ServiceMachine& m) { m.sim.files.addFile(kBatchPath, "echo planted\r\n"); });
  run("", [](ServiceMachine& m) { m.sim.files.addFile(kBatchPath, "echo planted\r\n", platform::attr::kReadOnly); });
  run("", [](ServiceMachine& m) { m.sim.files.denyWritesIn("C:\\Windows"); });
  run("", [](ServiceMachine& m) { m.createsService = false; });
  run("", [](ServiceMachine& m) {
    m.moveProgramTo();
    m.sim.ui.queuePromptAnswer("STOP");
  });
  run("", [](ServiceMachine& m) {
    m.sim.files.addFile("C:\\Windows\\srvany.exe", "earlier");
    m.sim.files.setProductVersion("C:\\Windows\\srvany.exe", {"TlvAsService", "0.9.0"});
  });
  run("", [](ServiceMachine& m) {
    m.sim.faults.failCalls(platform::sim::Call::HashingSha256, 126);
  });
  run("", [](ServiceMachine& m) {
    m.sim.faults.failCalls(platform::sim::Call::UiShowModalWindow, 8);
  });
  run("/quiet /path D:\\Pay", [](ServiceMachine&) {});
  run("/quiet /path D:\\Pay", [](ServiceMachine& m) { m.moveProgramTo("D:\\Pay\\"); });
  run("/verify", [](ServiceMachine&) {});
  run("/report C:\\Tools\\till.txt", [](ServiceMachine&) {});
  run("/health", [](ServiceMachine&) {});
  ASSERT_GT(shown.size(), 25u) << "the endings did not run";
  ASSERT_GE(parts.size(), 12u) << "the runs wrote no log";
  parts.merge(shown);

  std::set<int> codes{app::kUnexpectedFailureCode, app::kUsageErrorCode};
  for (const app::Ending& ending : app::ending::kAll) codes.insert(ending.exitCode);
  for (int code = app::setupcode::kAccountRefused; code <= app::setupcode::kDataFolderRefused; ++code) codes.insert(code);
  for (int code = app::verifycode::kServiceMissing; code <= app::verifycode::kPrivilegesChanged; ++code) codes.insert(code);
  for (int code = app::healthcode::kServiceMissing; code <= app::healthcode::kUnreadable; ++code) codes.insert(code);
  for (const tools::HostEvent id : tools::kHostEvents) codes.insert(static_cast<int>(id));
  for (int code : codes) parts.insert("| " + std::to_string(code) + " |");
  for (const char* file : {"tools/instsrv/InstsrvCommands.cpp", "tools/instsrv/InstsrvMain.cpp"}) {
    for (const std::string& piece : printedPieces(source(file))) parts.insert(piece);
  }
  // The service settings' lines, whose step alone ("Service OrbitTender:") would say little.
  for (const char* text :
       {"Data folder refused:", "granted to NT SERVICE", "Not granted: this file system keeps no rights",
        "Event source OrbitTender:Registered for", "its event source could not be registered",
        ":Made for srvany's text log as ", "Watch key made for srvany as", "srvany's Watch key could not be made",
        "Account refused:", "Dependency refused:", "Service settings not made:", "Service OrbitTender:Account",
        "Starts after", "Delayed start set", "not set: the service manager does not know it", "SID type unrestricted",
        "Required privileges", "no record of a choice", "ChosenSetup"}) {
    parts.insert(text);
  }
  const std::string guide = source("README.md");
  ASSERT_FALSE(guide.empty()) << "README.md not found";
  for (const std::string& part : parts) EXPECT_NE(guide.find(part), std::string::npos) << "README lacks: " << part;
}

}  // namespace
}  // namespace tlv::testing
