// Portable: srvany's text log, one line per record ("2026-12-07 09:05:07 +01:00 SYSTEM 100
// text": local time, its offset from UTC, srvany's account), in a folder of its own. A full file
// is set aside whole under the UTC time it ended; set-aside files are kept by age (the months of
// LogKeepMonths), and the oldest go first only when all together would pass the size cap. And
// when that folder's security must be set anew.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/srvany/HostRecord.h"

namespace tlv::tools {

struct LogFile {
  std::string name;
  std::uint64_t size = 0;
  std::int64_t writtenUtcSeconds = 0;  ///< its last write, seconds since 1970-01-01 00:00 UTC
};

/// The files of the log's folder, by name.
class LogFolder {
 public:
  virtual ~LogFolder() = default;
  /// The file's size; 0 when it is missing.
  virtual std::uint64_t size(const std::string& name) = 0;
  /// Appends to the file, creating it; false when it could not be written.
  [[nodiscard]] virtual bool append(const std::string& name, std::string_view text) = 0;
  /// Renames `from` to `to`, which must not exist; false when it could not.
  [[nodiscard]] virtual bool rename(const std::string& from, const std::string& to) = 0;
  /// The plain files whose names begin with `prefix` and end with ".log".
  virtual std::vector<LogFile> files(const std::string& prefix) = 0;
  [[nodiscard]] virtual bool remove(const std::string& name) = 0;
};

/// How much the log keeps: LogKeepMonths and LogLimitMB under the service's Parameters.
struct LogLimits {
  static constexpr std::uint32_t kDefaultKeepMonths = 12;
  static constexpr std::uint32_t kDefaultLimitMB = 64;
  static constexpr std::uint32_t kLeastLimitMB = 4;
  std::uint32_t keepMonths = kDefaultKeepMonths;  ///< a set-aside file goes this many months after its last line
  std::uint32_t limitMB = kDefaultLimitMB;        ///< all files together stay below this
  std::uint64_t fileBytes = std::uint64_t{1024} * 1024;  ///< a file is set aside before it passes this
};

/// The clocks a log line and a set-aside file are named by.
struct LogClock {
  std::function<std::string()> localText;  ///< "YYYY-MM-DD HH:MM:SS +HH:MM"
  std::function<std::int64_t()> utcSeconds;
};

class TextLog final : public RecordSink {
 public:
  /// `baseName` names the files: <baseName>.log, then <baseName>.<UTC end>.log set aside.
  /// `account` is the one srvany runs as, written as one word (blanks as "_"; "-" when unknown).
  TextLog(LogFolder& folder, std::string baseName, LogClock clock, std::string account, LogLimits limits = {});

  std::string fileName() const { return baseName_ + ".log"; }
  void record(const HostRecord& entry) override;

 private:
  std::string lineFor(HostEvent event, std::string text) const;
  void setAside();
  /// Removes set-aside files past their age, then the oldest while all would pass the cap with
  /// `adding` bytes more; each removal before its age is written into the log.
  void keepWithinLimits(std::uint64_t adding);

  LogFolder& folder_;
  std::string baseName_;
  LogClock clock_;
  std::string account_;
  LogLimits limits_;
  bool checked_ = false;         ///< the limits were applied since srvany started
  bool setAsideFailed_ = false;  ///< said once until setting aside works again
};

// When the log's folder must be set anew. srvany runs as LocalSystem: a folder where other
// users can create files or links would let them turn its writes against any file on the
// machine, so only SYSTEM and Administrators may change it, and Users may read.

enum class Trustee { System, Administrators, Users, Service, Other };  ///< Service: the service's own SID

struct AccessEntry {
  Trustee who;
  bool allows;  ///< an allow entry; a deny entry takes rights away and is never a danger
  std::uint32_t mask;
};

struct FolderSecurity {
  bool ownerIsAdministrators = false;
  bool inheritanceBlocked = false;  ///< a protected list: nothing comes from the parent folder
  std::vector<AccessEntry> entries;
};

/// FILE_GENERIC_READ | FILE_GENERIC_EXECUTE: list the folder and read its files.
inline constexpr std::uint32_t kUsersMayRead = 0x1200A9;

/// The folder's security as it is made: owner Administrators, a protected list, SYSTEM and
/// Administrators full control, Users read; inherited by the files and folders below it.
inline constexpr char kLogFolderSddl[] = "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

/// True for a folder owned by someone else, one that takes rights from its parent, or one
/// that allows anyone but SYSTEM, Administrators and `mayChange` (the service's own folder
/// lets Trustee::Service change it) more than reading.
bool needsRepair(const FolderSecurity& security, Trustee mayChange = Trustee::System);

}  // namespace tlv::tools
