// Fuzz target: WriteLog with any texts for its seventeen arguments, on a fresh sim machine,
// twice (the second entry also passes the size test). One field per line: level, message,
// detail, item, delimiter, extra 1 to extra 10, strip text, box style.
#include <cstddef>
#include <cstdint>
#include <string>

#include "logging/LoggingFunctions.h"
#include "platform/WindowsPath.h"
#include "platform/sim/SimMachine.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr char kLogFile[] = "C:\\Tools\\TlvAsServiceDec06-2026_90507.log";
constexpr char kTime[] = "9:05:07 AM ";

bool hasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tlv;
  const auto f = fuzz::fieldsOf(data, size, 17);
  logging::LogEntry entry{fuzz::numberOf(f[0]), f[1], f[2], f[3], f[4], {}, f[15],
                          static_cast<std::uint32_t>(fuzz::numberOf(f[16]))};
  bool anyLineBreak = false;
  for (std::size_t i = 0; i < 10; ++i) entry.extras[i] = f[5 + i];
  for (const std::string& field : f) anyLineBreak = anyLineBreak || hasLineBreak(field);

  platform::sim::SimMachine machine;
  machine.files.addFolder("C:\\Tools");
  platform::Platform platform = machine.platform();
  logging::LoggingFunctions log(platform);
  log.WriteLog(entry);
  log.WriteLog(entry);

  const std::string text = machine.files.contents(kLogFile);
  const std::size_t boxes = machine.ui.boxes().size();
  if (entry.level > 0) {
    if (!text.empty() || boxes != 0) __builtin_trap();  // above the limit: nothing at all
    return 0;
  }
  if (boxes != (entry.level == -3 ? 2u : 0u)) __builtin_trap();
  if (boxes != 0 && machine.ui.boxes()[0].title != entry.detail) __builtin_trap();
  if (!text.ends_with("\r\n")) __builtin_trap();
  // The strip text is taken out of the whole line, the time of day included.
  if (anyLineBreak || !entry.stripText.empty()) return 0;

  // Two identical lines: the time, the message, the separator, the detail, then a body that
  // the "@@" marker has cut.
  const std::size_t half = text.size() / 2;
  if (text.size() % 2 != 0 || text.substr(0, half) != text.substr(half)) __builtin_trap();
  const std::string line = text.substr(0, half - 2);
  const bool ownSeparator = entry.delimiter.size() == 1 && entry.delimiter != "<" && entry.delimiter != "[";
  const std::string head = kTime + entry.message + (ownSeparator ? entry.delimiter : ":") + entry.detail;
  if (!line.starts_with(head)) __builtin_trap();
  if (line.find("@@", head.size()) != std::string::npos) __builtin_trap();
  return 0;
}
