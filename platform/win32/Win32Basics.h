// Win32 only: the clock, environment and process ports over kernel32.
#pragma once

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Process.h"

namespace tlv::platform::win32 {

class Win32Clock final : public Clock {
 public:
  LocalTime now() override;
  std::int64_t utcSeconds() override;
  std::uint64_t tickMilliseconds() override;
};

class Win32Environment final : public Environment {
 public:
  std::string variable(const std::string& name) override;
};

class Win32Process final : public Process {
 public:
  std::string modulePath() override;
  Result<std::unique_ptr<StartedProcess>> startBatchFile(const BatchLaunch& launch) override;
  void sleep(unsigned milliseconds) override;
};

}  // namespace tlv::platform::win32
