// Portable: "/verify": whether the service OrbitTender is still as the run left it, each check
// reading where the truth is (the service control manager, the tools' bytes, the registry).
// It changes nothing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/Outcome.h"
#include "app/RunContext.h"
#include "app/ReleaseVersion.h"

#include "app/ToolDigests.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The exit codes of /verify, apart from those of /quiet: the first check that fails.
namespace verifycode {
inline constexpr int kAllHold = 0;
inline constexpr int kServiceMissing = 20;
inline constexpr int kNotSrvany = 21;
inline constexpr int kNotAutomatic = 22;
inline constexpr int kForeignTools = 23;
inline constexpr int kNoPaymentProgram = 24;
inline constexpr int kDescriptionChanged = 25;
inline constexpr int kRecoveryChanged = 26;
inline constexpr int kRecoveryNotOnExit = 27;
inline constexpr int kOlderRelease = 28;  ///< an earlier release than /minversion names is installed
inline constexpr int kOthersMayChange = 29;  ///< others than administrators may change what the service runs
inline constexpr int kNotChecked = 30;       ///< a check could not be made: the system refused to answer
inline constexpr int kRestartPending = 31;   ///< this release's tools take their place at the next start of Windows
// Against the record of what the administrator chose (Parameters\ChosenSetup):
inline constexpr int kAccountChanged = 32;
inline constexpr int kStartChanged = 33;         ///< delayed or not, other than recorded
inline constexpr int kDependenciesChanged = 34;
inline constexpr int kSidTypeChanged = 35;       ///< another account than LocalSystem without its own SID
inline constexpr int kPrivilegesChanged = 36;
}  // namespace verifycode

enum class CheckOutcome { Holds, Fails, Skipped, NotReported };

struct CheckResult {
  std::string name;
  CheckOutcome outcome = CheckOutcome::Holds;
  std::string detail;  ///< what was found, when it does not hold
  int exitCode = 0;    ///< the code when it fails
  bool logged = false;  ///< logged also when it does not fail: it names what an administrator should know
};

/// Every check in order, first the installed release when a lowest one is given. Those that
/// need the service are skipped when it is missing.
std::vector<CheckResult> verifyService(RunContext& run, const std::optional<ReleaseVersion>& minimum = std::nullopt);

/// The payment program an Application value names as srvany starts it (arguments may follow
/// it): its path when the file it names is an Orbit-Tender.exe, else empty.
std::string paymentProgramOf(const std::string& application, platform::FileSystem& files);

/// The first failing check's code; kAllHold when none fails.
int verifyExitCode(const std::vector<CheckResult>& results);

/// "holds", "FAILS: ...", "skipped: ...", "not reported: ...".
std::string describe(const CheckResult& result);

/// /verify: the checks, one log line per failing check, and their outcome.
Outcome verifyOutcome(RunContext& run, const std::optional<ReleaseVersion>& minimum = std::nullopt);

}  // namespace tlv::app
