// Portable: srvany's text log, its files set aside whole and kept by age under a size cap, and
// when its folder must be set anew.
#include "tools/srvany/TextLog.h"

#include <algorithm>
#include <utility>

#include "tools/common/WatchValues.h"

namespace tlv::tools {

namespace {

constexpr std::int64_t kSecondsPerMonth = std::int64_t{31} * 24 * 60 * 60;  // the longest: never a day too few
constexpr std::uint64_t kBytesPerMB = std::uint64_t{1024} * 1024;

// One word, so that a reader finds the id as the fourth field whatever the account's name holds.
std::string oneWord(std::string account) {
  for (char& c : account) {
    if (static_cast<unsigned char>(c) <= ' ') c = '_';
  }
  return account.empty() ? "-" : account;
}

// "20261209T145000Z": the UTC time a set-aside file ends, so that the names sort by age.
std::string stampOf(std::int64_t utcSeconds) {
  std::string stamp = utcText(utcSeconds);
  std::erase_if(stamp, [](char c) { return c == '-' || c == ':'; });
  return stamp;
}

}  // namespace

TextLog::TextLog(LogFolder& folder, std::string baseName, LogClock clock, std::string account, LogLimits limits)
    : folder_(folder),
      baseName_(std::move(baseName)),
      clock_(std::move(clock)),
      account_(oneWord(std::move(account))),
      limits_(limits) {
  limits_.limitMB = std::max(limits_.limitMB, LogLimits::kLeastLimitMB);
}

std::string TextLog::lineFor(HostEvent event, std::string text) const {
  // One line each, whatever the text holds: a line break in it would forge a record.
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return clock_.localText() + " " + account_ + " " + std::to_string(static_cast<std::uint32_t>(event)) + " " + text +
         "\r\n";
}

void TextLog::record(const HostRecord& entry) {
  const std::string line = lineFor(entry.event, entry.text);
  const std::uint64_t size = folder_.size(fileName());
  if (size > 0 && size + line.size() > limits_.fileBytes) {
    setAside();
    keepWithinLimits(line.size());
  } else if (!checked_) {
    keepWithinLimits(line.size());  // limits lowered since the last start apply at once
  }
  checked_ = true;
  // A log that cannot be written loses the line: the event log still has it, and a log
  // must never stop the service.
  static_cast<void>(folder_.append(fileName(), line));
}

void TextLog::setAside() {
  const std::string stamp = stampOf(clock_.utcSeconds());
  const auto taken = folder_.files(baseName_ + "." + stamp);
  std::string name = baseName_ + "." + stamp + ".log";
  for (int n = 2; std::any_of(taken.begin(), taken.end(), [&](const LogFile& f) { return f.name == name; }); ++n) {
    name = baseName_ + "." + stamp + "-" + std::to_string(n) + ".log";
  }
  if (folder_.rename(fileName(), name)) {
    setAsideFailed_ = false;
  } else if (!setAsideFailed_) {
    // Nothing is lost: the file grows on, and the next line tries again.
    setAsideFailed_ = true;
    static_cast<void>(folder_.append(
        fileName(), lineFor(HostEvent::HostWarning, "The log file could not be set aside as " + name +
                                                        ": it grows on past its size until it can.")));
  }
}

void TextLog::keepWithinLimits(std::uint64_t adding) {
  std::vector<LogFile> files = folder_.files(baseName_ + ".");
  std::erase_if(files, [&](const LogFile& f) { return f.name == fileName(); });
  std::sort(files.begin(), files.end(), [](const LogFile& a, const LogFile& b) {
    return a.writtenUtcSeconds != b.writtenUtcSeconds ? a.writtenUtcSeconds < b.writtenUtcSeconds : a.name < b.name;
  });
  const std::int64_t oldestKept = clock_.utcSeconds() - std::int64_t{limits_.keepMonths} * kSecondsPerMonth;
  std::erase_if(files, [&](const LogFile& f) { return f.writtenUtcSeconds < oldestKept && folder_.remove(f.name); });

  std::uint64_t total = folder_.size(fileName()) + adding;
  for (const LogFile& f : files) total += f.size;
  const std::uint64_t cap = std::uint64_t{limits_.limitMB} * kBytesPerMB;
  std::string notes;
  for (const LogFile& f : files) {
    if (total <= cap) break;
    if (!folder_.remove(f.name)) continue;
    total -= f.size;
    notes += lineFor(HostEvent::HostWarning, "The log file " + f.name + " was removed before it was " +
                                                 std::to_string(limits_.keepMonths) +
                                                 " months old: all log files together would pass LogLimitMB (" +
                                                 std::to_string(limits_.limitMB) + " MB).");
  }
  // As any line: one that cannot be written is lost, and never stops the service.
  if (!notes.empty()) static_cast<void>(folder_.append(fileName(), notes));
}

// When the log's folder must be set anew.

bool needsRepair(const FolderSecurity& security, Trustee mayChange) {
  if (!security.ownerIsAdministrators || !security.inheritanceBlocked) return true;
  return std::any_of(security.entries.begin(), security.entries.end(), [mayChange](const AccessEntry& entry) {
    if (!entry.allows || entry.who == Trustee::System || entry.who == Trustee::Administrators) return false;
    if (entry.who == mayChange) return false;
    return entry.who == Trustee::Other || (entry.mask & ~kUsersMayRead) != 0;
  });
}

}  // namespace tlv::tools
