// Portable: srvany's text log, rotated by size.
#include "tools/srvany/TextLog.h"

#include <utility>

namespace tlv::tools {

namespace {

// One word, so that a reader finds the id as the fourth field whatever the account's name holds.
std::string oneWord(std::string account) {
  for (char& c : account) {
    if (static_cast<unsigned char>(c) <= ' ') c = '_';
  }
  return account.empty() ? "-" : account;
}

}  // namespace

TextLog::TextLog(LogFolder& folder, std::string baseName, std::function<std::string()> now, std::string account,
                 std::uint64_t limitBytes)
    : folder_(folder),
      baseName_(std::move(baseName)),
      now_(std::move(now)),
      account_(oneWord(std::move(account))),
      limitBytes_(limitBytes) {}

std::string TextLog::fileName(int age) const {
  return baseName_ + (age == 0 ? "" : "." + std::to_string(age)) + ".log";
}

void TextLog::record(const HostRecord& entry) {
  // One line each, whatever the text holds: a line break in it would forge a record.
  std::string text = entry.text;
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const std::string line = now_() + " " + account_ + " " + std::to_string(static_cast<std::uint32_t>(entry.event)) + " " + text + "\r\n";
  const std::uint64_t size = folder_.size(fileName());
  if (size > 0 && size + line.size() > limitBytes_) {
    for (int age = kFilesKept - 1; age > 0; --age) folder_.replace(fileName(age - 1), fileName(age));
  }
  // A log that cannot be written loses the line: the event log still has it, and a log
  // must never stop the service.
  static_cast<void>(folder_.append(fileName(), line));
}

}  // namespace tlv::tools
