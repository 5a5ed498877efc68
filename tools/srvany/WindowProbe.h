// Win32 only: the probe behind srvany's watch: the top-level windows of the program's
// processes, whether their threads answer, and the texts of the dialogs among them.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

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

}  // namespace tlv::tools
