// Win32 only: srvany's logs on Windows: its entries in the Application event log under the
// service's name, and the folder of its text logs, %SystemRoot%\Logs\TlvAsService\ (outside
// System32: both editions write the same place under WOW64), made or repaired so that only
// SYSTEM and Administrators can change it, with the times and account the lines carry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/HostRecord.h"
#include "tools/srvany/TextLog.h"

namespace tlv::tools {

class EventLog final : public RecordSink {
 public:
  /// Registers srvany's message table for the source (so the viewer shows the texts) and
  /// opens the source. Logging goes on without the registration; it is only prettier with it.
  /// Why the registration failed is left in registrationError() for the caller to record.
  explicit EventLog(const std::string& serviceName);

  void record(const HostRecord& entry) override;
  /// Empty when the source is registered.
  const std::string& registrationError() const { return registrationError_; }

 private:
  platform::win32::UniqueEventSource source_;
  std::string registrationError_;
};

// The folder of the text logs.

class HostLogFolder final : public LogFolder {
 public:
  /// As LocalSystem, makes the folder, or repairs its security when it allows more. As
  /// another account, which may do neither, takes the service's own folder below it that
  /// TlvAsService's run made, when nobody else may change it.
  HostLogFolder(const std::string& serviceName, bool asLocalSystem);

  /// False when the folder could not be made safe: nothing is written then.
  bool ready() const { return problem_.empty(); }
  /// Why it is not ready.
  const std::string& problem() const { return problem_; }
  /// What an administrator should know about the folder: that its security was set anew, or
  /// that it does not read back as set (Wine keeps none); empty when neither.
  const std::string& note() const { return note_; }
  const std::string& path() const { return path_; }

  std::uint64_t size(const std::string& name) override;
  /// Refuses a file that is a link of any kind: it could stand for a file elsewhere.
  bool append(const std::string& name, std::string_view text) override;
  [[nodiscard]] bool rename(const std::string& from, const std::string& to) override;
  std::vector<LogFile> files(const std::string& prefix) override;
  [[nodiscard]] bool remove(const std::string& name) override;

 private:
  std::string path_;
  void takeAccountFolder(std::string folder, const std::string& serviceName);

  std::string problem_;
  std::string note_;
};

// What the text log's lines and files carry on Windows: times and srvany's account.

/// The local time as the text log writes it, with its offset from UTC: "2026-12-07 09:05:07 +01:00".
std::string localTimeText();
/// Seconds since 1970-01-01 00:00 UTC of a file time, and of now.
std::int64_t utcSecondsOf(const FILETIME& time);
std::int64_t utcSecondsNow();
/// The account srvany runs as ("SYSTEM"); empty when it cannot be read.
std::string accountName();

}  // namespace tlv::tools
