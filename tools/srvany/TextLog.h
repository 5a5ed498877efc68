// Portable: srvany's text log, one line per record ("2026-12-07 09:05:07 +01:00 SYSTEM 100
// text": local time, its offset from UTC, srvany's account), in a folder of its own, rotated by
// size with the newest files kept.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "tools/srvany/HostRecord.h"

namespace tlv::tools {

/// The files of the log's folder, by name.
class LogFolder {
 public:
  virtual ~LogFolder() = default;
  /// The file's size; 0 when it is missing.
  virtual std::uint64_t size(const std::string& name) = 0;
  /// Appends to the file, creating it; false when it could not be written.
  virtual bool append(const std::string& name, std::string_view text) = 0;
  /// Renames `from` to `to`, replacing `to`; nothing when `from` is missing.
  virtual void replace(const std::string& from, const std::string& to) = 0;
};

class TextLog final : public RecordSink {
 public:
  static constexpr std::uint64_t kDefaultLimitBytes = std::uint64_t{1024} * 1024;
  static constexpr int kFilesKept = 3;

  /// `baseName` names the files: <baseName>.log, then <baseName>.1.log and .2.log, older.
  /// `now` gives the local time as "YYYY-MM-DD HH:MM:SS +HH:MM"; `account` is the one srvany
  /// runs as, written as one word (blanks as "_"; "-" when unknown).
  TextLog(LogFolder& folder, std::string baseName, std::function<std::string()> now, std::string account,
          std::uint64_t limitBytes = kDefaultLimitBytes);

  /// <baseName>.log, or the n-th older one.
  std::string fileName(int age = 0) const;
  void record(const HostRecord& entry) override;

 private:
  LogFolder& folder_;
  std::string baseName_;
  std::function<std::string()> now_;
  std::string account_;
  std::uint64_t limitBytes_;
};

}  // namespace tlv::tools
