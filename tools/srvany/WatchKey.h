// Win32 only: the key srvany publishes its watch in, HKEY_LOCAL_MACHINE\<watchKeyPath>, made
// anew at each start of the service: volatile, with kWatchKeySddl as its descriptor.
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/ProgramWatch.h"

namespace tlv::tools {

class WatchKey final : public WatchStore {
 public:
  /// Deletes any key of that name, whoever made it and however, and creates it: its
  /// volatility and descriptor are then srvany's own. When that fails, every write says why.
  explicit WatchKey(const std::string& serviceName);

  [[nodiscard]] std::string write(const WatchReport& report) override;

 private:
  std::string path_;  ///< with HKEY_LOCAL_MACHINE\, for the records
  platform::win32::UniqueRegKey key_;
  std::string problem_;
};

}  // namespace tlv::tools
