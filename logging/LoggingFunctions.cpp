// Portable: the program's log writer.
#include "logging/LoggingFunctions.h"

#include <array>
#include <cstdio>
#include <exception>

#include "platform/WindowsPath.h"

namespace tlv::logging {

namespace {

struct Marks {
  std::string open;
  std::string close;
  std::string separator = ":";
  std::string prefix;
};

Marks marksFor(const std::string& delimiter) {
  if (delimiter.empty()) return {" ", " ", ":", ""};
  if (delimiter == "<") return {"<", ">", ":", ""};
  if (delimiter == "[") return {"[", "]", ":", ""};
  if (delimiter.size() == 1) return {delimiter, delimiter, delimiter, ""};
  return {"", "", ":", delimiter};
}

std::string removeNoCase(const std::string& text, const std::string& what) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = platform::findNoCase(text, what, from)) != std::string::npos; from = at + what.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace

std::string formatLogTime(const platform::LocalTime& time) {
  const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d %s", hour12, time.minute, time.second, time.hour < 12 ? "AM" : "PM");
  return text;
}

std::string formatLogFileStamp(const platform::LocalTime& time) {
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* month = time.month >= 1 && time.month <= 12 ? kMonths[static_cast<std::size_t>(time.month - 1)] : "";
  char text[48];
  std::snprintf(text, sizeof text, "%s%02d-%04d_%d%02d%02d", month, time.day, time.year, time.hour, time.minute,
                time.second);
  return text;
}

void LoggingFunctions::WriteLog(std::int32_t level, std::string message, std::string detail, std::string item,
                                std::string delimiter, std::string extra1, std::string extra2, std::string extra3,
                                std::string extra4, std::string extra5, std::string extra6, std::string extra7,
                                std::string extra8, std::string extra9, std::string extra10, std::string stripText,
                                std::uint32_t boxStyle) {
  WriteLog(LogEntry{level,
                    std::move(message),
                    std::move(detail),
                    std::move(item),
                    std::move(delimiter),
                    {std::move(extra1), std::move(extra2), std::move(extra3), std::move(extra4), std::move(extra5),
                     std::move(extra6), std::move(extra7), std::move(extra8), std::move(extra9), std::move(extra10)},
                    std::move(stripText),
                    boxStyle});
}

void LoggingFunctions::WriteLog(const LogEntry& entry) {
  // Whatever fails in here is the writer's own business: the caller never learns of it.
  try {
    if (entry.level > logLevelLimit_ || logFileFull_) return;
    const Marks marks = marksFor(entry.delimiter);
    const std::string time = formatLogTime(platform_.clock.now());

    std::string body;
    if (!entry.item.empty() && platform::findNoCase(entry.item, ".log") == std::string::npos) {
      body = marks.open + entry.item + marks.close;
    }
    body = marks.close + body + marks.open + marks.prefix + marks.close;
    for (const std::string& extra : entry.extras) body += marks.open + extra + marks.close;
    if (const std::size_t cut = body.find("@@"); cut != std::string::npos) body.resize(cut);

    std::string message = entry.message;
    std::string detail = entry.detail;
    if (currentLogFile_.empty()) {
      currentLogFile_ = logFileName();
      if (maxLogFileSize_ == 0) maxLogFileSize_ = kMaxLogFileSize;
    } else if (const auto length = platform_.files.fileLength(currentLogFile_);
               length.ok() && length.value > maxLogFileSize_) {
      logFileFull_ = true;
      message = "*****";
      detail = "LOG_FILE_FULL";
      body = "*****";
    }

    // Without a file name this entry is lost; the next entry tries to name the file again.
    if (!currentLogFile_.empty()) writeLine(time + " " + message + marks.separator + detail + body, entry.stripText);

    if (entry.level == -3) {
      platform_.ui.messageBox(message + "\r\n" + body, detail, entry.boxStyle);
    }
  } catch (const std::exception&) {
  }
}

std::string LoggingFunctions::logFileName() {
  // A program whose own path the system cannot name has no folder to log in: a name built
  // from nothing would put this run's log at the current drive's root.
  const std::string program = platform_.process.modulePath();
  if (program.empty()) return {};
  return platform::folderOfPath(program) + "\\" + platform::baseNameWithoutExtension(program) +
         formatLogFileStamp(platform_.clock.now()) + ".log";
}

void LoggingFunctions::writeLine(const std::string& line, const std::string& stripText) {
  auto file = platform_.files.openText(currentLogFile_, platform::OpenMode::Append);
  if (!file.ok()) return;  // the entry is lost; a level -3 box is still shown
  bool written = false;
  if (!stripText.empty()) written = file.value->writeLine(removeNoCase(line, stripText)) == platform::err::kSuccess;
  // A line that cannot be written, or a file that does not close, loses this entry only: the
  // log never stops the run, and the next entry opens the file again.
  if (!written) static_cast<void>(file.value->writeLine(line));
  static_cast<void>(file.value->close());
}

}  // namespace tlv::logging
