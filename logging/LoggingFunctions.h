// Portable: the program's log writer. One plain-text log file per run beside the program;
// each entry opens, appends one CR LF line and closes the file again.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace tlv::logging {

/// Entry levels: above the limit (0) nothing is written; -3 also shows a message box.
namespace level {
inline constexpr std::int32_t kShowBox = -3;
inline constexpr std::int32_t kError = -1;
inline constexpr std::int32_t kNote = 0;
}  // namespace level


/// The arguments of one WriteLog call, named; fields left out stay empty or zero.
struct LogEntry {
  std::int32_t level = level::kNote;
  std::string message;
  std::string detail;
  std::string item;
  std::string delimiter;
  std::string extras[10];
  std::string stripText;
  std::uint32_t boxStyle = 0;  ///< the box a level -3 entry shows: platform::mb styles
};

class LoggingFunctions {
 public:
  /// Size after which the file is full: 512 KiB and 1000 bytes.
  static constexpr std::int32_t kMaxLogFileSize = 525288;

  explicit LoggingFunctions(platform::Platform& platform) : platform_(platform) {}

  /// Appends one entry. Level -3 also shows it in a message box titled by the detail;
  /// levels above 0 are not written. Never fails towards the caller.
  void WriteLog(std::int32_t level, std::string message, std::string detail, std::string item,
                std::string delimiter, std::string extra1, std::string extra2, std::string extra3,
                std::string extra4, std::string extra5, std::string extra6, std::string extra7,
                std::string extra8, std::string extra9, std::string extra10, std::string stripText,
                std::uint32_t boxStyle);
  void WriteLog(const LogEntry& entry);

  const std::string& CurrentLogFile() const { return currentLogFile_; }
  bool LogFileFull() const { return logFileFull_; }

 private:
  std::string logFileName();
  void writeLine(const std::string& line, const std::string& stripText);

  platform::Platform& platform_;
  std::string currentLogFile_;
  std::int32_t maxLogFileSize_ = 0;
  std::int32_t logLevelLimit_ = 0;
  bool logFileFull_ = false;
};

/// "9:05:07 AM": the time of day in 12-hour form, as the log lines carry it.
std::string formatLogTime(const platform::LocalTime& time);
/// "Dec06-2026_90507": the date and time part of a log file name.
std::string formatLogFileStamp(const platform::LocalTime& time);

}  // namespace tlv::logging
