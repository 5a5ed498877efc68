// Win32 only: what srvany's watch asks of Windows and where it publishes: the probe of the
// top-level windows of the program's processes, whether their threads answer, and the texts
// of the dialogs among them; and the key it publishes in, HKEY_LOCAL_MACHINE\<watchKeyPath>,
// made anew at each start of the service: volatile, with kWatchKeySddl as its descriptor.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/ProgramWatch.h"

namespace tlv::tools {

/// Every top-level window of those processes, visible or hidden, top first. Each window
/// thread is asked once (WM_NULL, kProbeAnswerMs); texts are asked with a time limit too,
/// so a hung program never holds srvany up for long. `afterEachAsk` runs after each ask that
/// may have taken its time. Once the probe has taken kProbeBudgetMs it asks no more: the
/// windows not asked count as not answering, and a box not asked shows no texts.
std::vector<ProbedWindow> probeWindows(const std::vector<DWORD>& processIds,
                                       const std::function<void()>& afterEachAsk);

/// Whether those processes have a top-level window yet, visible or hidden; nothing is asked.
bool haveWindows(const std::vector<DWORD>& processIds);

// The key srvany publishes its watch in.

class WatchKey final : public WatchStore {
 public:
  /// As LocalSystem, deletes any key of that name, whoever made it and however, and creates
  /// it: its volatility and descriptor are then srvany's own. As another account, which may
  /// do neither, opens the one TlvAsService's run made for it. When that fails, every write
  /// says why.
  WatchKey(const std::string& serviceName, bool asLocalSystem);

  [[nodiscard]] std::string write(const WatchReport& report) override;

 private:
  std::string path_;  ///< with HKEY_LOCAL_MACHINE\, for the records
  platform::win32::UniqueRegKey key_;
  std::string problem_;
};

}  // namespace tlv::tools
