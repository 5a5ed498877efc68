// Native: every text the program shows (statuses, box texts and titles, the prompt), every
// kind of log line it writes, every exit code, srvany's event ids and instsrv's messages are
// explained in README.md. The texts and lines are collected by running the program to each
// of its endings on the sim machine, so a new one cannot slip past.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "app/ServiceHealth.h"
#include "app/ServiceVerify.h"
#include "app/Endings.h"
#include "app/QuietRun.h"
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
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::UiShowModalWindow; }, 8);
  });
  ASSERT_GT(texts.size(), 25u) << "the endings did not run";

  const std::string guide = source("README.md");
  ASSERT_FALSE(guide.empty()) << "README.md not found";
  for (const std::string& text : texts) EXPECT_NE(guide.find(text), std::string::npos) << "README lacks: " << text;
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
  const std::size_t number = explained.find_first_of("0123456789");
  return number == std::string::npos ? explained : explained.substr(0, number);
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

TEST(ReadmeTextsTest, EveryLogLineExitCodeEventIdAndInstsrvMessageIsExplained) {
  std::set<std::string> parts;
  const auto run = [&](const char* commandLine, const std::function<void(ServiceMachine&)>& arrange) {
    ServiceMachine m;
    arrange(m);
    if (*commandLine) {
      app::mainMod(m.platform, m.tools).Main(commandLine);
    } else {
      m.run();
    }
    std::istringstream lines(m.log());
    for (std::string line; std::getline(lines, line);) parts.insert(explainedPart(line.substr(0, line.find('\r'))));
  };
  const auto noTool = [](const char* tool) { return [=](ServiceMachine& m) { m.sim.files.remove(std::string("C:\\Tools\\") + tool); }; };
  run("", noTool("srvany.exe"));
  run("", [](ServiceMachine& m) { m.sim.files.addFile("C:\\Tools\\srvany.exe", miniPe("foreign")); });
  run("", [](ServiceMachine& m) { m.sim.files.addFile(kBatchPath, "echo planted\r\n"); });
  run("", [](ServiceMachine& m) { m.sim.files.addFile(kBatchPath, "echo planted\r\n", platform::attr::kReadOnly); });
  run("", [](ServiceMachine& m) { m.sim.files.addFolder(kBatchPath); });
  run("", [](ServiceMachine& m) { m.sim.files.denyWritesIn("C:\\Windows"); });
  run("", [](ServiceMachine& m) { m.createsService = false; });
  run("", [](ServiceMachine& m) {
    m.sim.files.addFile("C:\\Windows\\srvany.exe", "earlier");
    m.sim.files.setProductVersion("C:\\Windows\\srvany.exe", {"TlvAsService", "0.9.0"});
  });
  run("", [](ServiceMachine& m) {
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::HashingSha256; }, 126);
  });
  run("/quiet /path D:\\Pay", [](ServiceMachine&) {});
  run("/quiet /path D:\\Pay", [](ServiceMachine& m) {
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.files.addFile("D:\\Pay\\Orbit-Tender.exe", "payment program");
  });
  run("/quiet /frobnicate", [](ServiceMachine&) {});
  run("/verify", [](ServiceMachine&) {});
  run("/report C:\\Tools\\till.txt", [](ServiceMachine&) {});
  run("/health", [](ServiceMachine&) {});
  ASSERT_GE(parts.size(), 12u) << "the runs wrote no log";

  std::set<int> codes{app::kUnexpectedFailureCode, app::kUsageErrorCode};
  for (const app::Ending& ending : app::ending::kAll) codes.insert(ending.exitCode);
  for (int code = app::verifycode::kServiceMissing; code <= app::verifycode::kOlderRelease; ++code) codes.insert(code);
  for (int code = app::healthcode::kServiceMissing; code <= app::healthcode::kUnreadable; ++code) codes.insert(code);
  for (int code : codes) parts.insert("| " + std::to_string(code) + " |");
  for (const tools::HostEvent id : tools::kHostEvents) {
    parts.insert("| " + std::to_string(static_cast<std::uint32_t>(id)) + " |");
  }
  // instsrv's messages: the fixed text between the placeholders of each one it prints.
  for (const char* file : {"tools/instsrv/InstsrvCommands.cpp", "tools/instsrv/InstsrvMain.cpp"}) {
    for (const std::string& piece : printedPieces(source(file))) parts.insert(piece);
  }
  parts.insert("usage: instsrv <service name> <full path of the service program>");
  const std::string guide = source("README.md");
  for (const std::string& part : parts) EXPECT_NE(guide.find(part), std::string::npos) << "README lacks: " << part;
}

}  // namespace
}  // namespace tlv::testing
