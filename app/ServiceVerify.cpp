// Portable: "/verify".
#include "app/ServiceVerify.h"

#include <cstdint>

#include "app/ServiceRegistryKeys.h"
#include "app/SystemFolders.h"
#include "app/VerifyChoices.h"
#include "app/VerifyRights.h"
#include "environment/jclass_WinEnviron.h"
#include "files/PeDigest.h"
#include "logging/LoggingFunctions.h"
#include "platform/WindowsPath.h"
#include "registry/HexText.h"
#include "registry/clsRegistryAccess.h"
#include "tools/srvany/LaunchPlan.h"

namespace tlv::app {
namespace {


std::uint32_t littleEndian32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

// The recovery actions by their meaning: reset after a day, then restart after one minute,
// three times. The stored layout: reset period, two unused offsets, the count, an offset, then
// a type and a delay per action.
bool recoveryAsWritten(const std::string& bytes) {
  constexpr std::uint32_t kRestart = 1, kOneMinuteMs = 60000, kOneDaySeconds = 86400;
  if (bytes.size() < 20 || littleEndian32(bytes, 0) != kOneDaySeconds || littleEndian32(bytes, 12) != 3) return false;
  if (bytes.size() < 20 + 3 * 8) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if (littleEndian32(bytes, 20 + 8 * i) != kRestart || littleEndian32(bytes, 24 + 8 * i) != kOneMinuteMs)
      return false;
  }
  return true;
}

bool isFile(platform::FileSystem& files, const std::string& path) {
  const auto attributes = files.fileAttributes(path);
  return attributes.ok() && !(attributes.value & platform::attr::kDirectory);
}

class Checks {
 public:
  Checks(platform::Platform& machine, const ToolDigests& tools, const std::string& windowsFolder)
      : machine_(machine), tools_(tools), windowsFolder_(windowsFolder), registry_(machine) {}

  std::vector<CheckResult> run() {
    const auto service = machine_.services.configuration(kServiceName);
    const bool exists = service.ok();
    const bool unread = !exists && service.error != platform::err::kServiceDoesNotExist;
    add("The service OrbitTender exists", exists,
        unread ? "could not be read: " + machine_.systemInfo.errorText(service.error) : "no such service",
        unread ? verifycode::kNotChecked : verifycode::kServiceMissing);
    const std::string srvany = windowsFolder_ + "srvany.exe";
    needingService(exists, "Its program is " + srvany, [&] {
      std::string path = service.value.binaryPath;
      if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
      return result(platform::equalsNoCase(path, srvany), service.value.binaryPath, verifycode::kNotSrvany);
    });
    needingService(exists, "It starts automatically", [&] {
      return result(service.value.startType == platform::servicestart::kAutomatic,
                    "start type " + std::to_string(service.value.startType), verifycode::kNotAutomatic);
    });
    checkTools();
    std::string program;
    needingService(exists, "Parameters\\Application names an existing Orbit-Tender.exe", [&] {
      const std::string application = registry_.ReadString(kParametersKey, value::kApplication, kNoStoredValue);
      program = paymentProgramOf(application, machine_.files);
      if (!isFile(machine_.files, program)) program.clear();
      return result(!program.empty(), application == kNoStoredValue ? "no value" : tools::applicationShown(application),
                    verifycode::kNoPaymentProgram);
    });
    needingService(exists, "Only administrators can change the payment program, its folders and AppDirectory", [&] {
      if (program.empty()) return CheckResult{{}, CheckOutcome::Skipped, "no payment program to check", 0};
      return checkProgramRights(machine_, program, registry_.ReadString(kParametersKey, value::kAppDirectory, ""));
    });
    needingService(exists, "Only administrators can change the service and its keys",
                   [&] { return checkServiceRights(machine_); });
    needingService(exists, std::string("The description is \"") + kDescription + "\"", [&] {
      const std::string description = registry_.ReadString(kServiceKey, value::kDescription, kNoStoredValue);
      return result(isOwnDescription(description), description == kNoStoredValue ? "no value" : description,
                    verifycode::kDescriptionChanged);
    });
    needingService(exists, "The recovery actions restart it after one minute, three times, reset after a day", [&] {
      const std::string hex = registry_.ReadBinary(kServiceKey, value::kFailureActions, "");
      return result(recoveryAsWritten(registry::hexToBytes(hex)), hex.empty() ? "no value" : hex,
                    verifycode::kRecoveryChanged);
    });
    needingService(exists, "The recovery actions also follow the program ending by itself", [&] {
      const auto flag = machine_.services.failureActionsOnNonCrashFailures(kServiceName);
      if (flag.error == platform::err::kInvalidLevel) {
        return CheckResult{{}, CheckOutcome::NotReported, "the service manager does not report it", 0};
      }
      if (!flag.ok()) return result(false, "could not be read: " + machine_.systemInfo.errorText(flag.error),
                                    verifycode::kNotChecked);
      return result(flag.value, "off", verifycode::kRecoveryNotOnExit);
    });
    for (CheckResult& checked : checkChoices(machine_, service)) results_.push_back(std::move(checked));
    return std::move(results_);
  }

 private:
  static CheckResult result(bool holds, const std::string& found, int code) {
    return holds ? CheckResult{} : CheckResult{{}, CheckOutcome::Fails, found, code};
  }
  void add(const std::string& name, bool holds, const std::string& found, int code) {
    CheckResult checked = result(holds, found, code);
    checked.name = name;
    results_.push_back(std::move(checked));
  }
  template <class Check>
  void needingService(bool exists, const std::string& name, Check check) {
    CheckResult checked = exists ? check() : CheckResult{{}, CheckOutcome::Skipped, "the service is missing", 0};
    checked.name = name;
    results_.push_back(std::move(checked));
  }
  // A tool is this release's when its bytes have this release's digest and it is a file of
  // its own: through a second name (a hard link in a folder users can write) or a link, users
  // could change what the service runs. One that Windows replaces by this release's at its
  // next start (a run found it in use) needs a restart, not a repair.
  void checkTools() {
    std::string foreign, linked, pending;
    const auto note = [](std::string& list, const std::string& path) { list += (list.empty() ? "" : ", ") + path; };
    const auto moves = machine_.files.movesAtRestart();
    for (const char* tool : {"instsrv.exe", "srvany.exe"}) {
      const std::string path = windowsFolder_ + tool;
      const Tool found = read(path, tool);
      if (found.links && !found.links->plain()) {
        note(linked, path + (found.links->reparsePoint ? " (a link)" : " (" + std::to_string(found.links->names) + " names)"));
      } else if (!found.ours) {
        note(replacedAtRestart(path, tool, moves.value) ? pending : foreign, path);
      }
    }
    std::string found = foreign.empty() ? "" : foreign + " missing or not this release's";
    if (!foreign.empty() && !moves.ok()) {
      found += " (the renames due at the next start of Windows could not be read: " +
               machine_.systemInfo.errorText(moves.error) + ")";
    }
    if (!linked.empty()) found += (found.empty() ? "" : "; ") + linked + " not a file of its own";
    if (found.empty() && !pending.empty()) {
      add("instsrv.exe and srvany.exe in the Windows folder are this release's", false,
          pending + " replaced by this release's at the next start of Windows: restart Windows",
          verifycode::kRestartPending);
      return;
    }
    add("instsrv.exe and srvany.exe in the Windows folder are this release's", found.empty(), found,
        verifycode::kForeignTools);
  }

  struct Tool {
    bool ours = false;
    std::optional<platform::FileLinks> links;
  };
  Tool read(const std::string& path, const char* tool) {
    auto held = machine_.files.holdForReading(path);
    if (!held.ok()) return {};
    const auto links = held.value->links();
    Tool found{false, links.ok() ? std::optional(links.value) : std::nullopt};
    const auto bytes = held.value->readAll();
    const auto digest = bytes.ok() ? files::authenticodeDigest(machine_.hashing, bytes.value)
                                   : platform::Result<platform::Sha256Digest>::failure(bytes.error);
    found.ours = digest.ok() && digest.value == *tools_.of(tool);
    return found;
  }
  bool replacedAtRestart(const std::string& path, const char* tool,
                         const std::vector<std::pair<std::string, std::string>>& moves) {
    for (const auto& [source, target] : moves) {
      const Tool replacement = platform::equalsNoCase(target, path) ? read(source, tool) : Tool{};
      if (replacement.ours && replacement.links && replacement.links->plain()) return true;
    }
    return false;
  }

  platform::Platform& machine_;
  const ToolDigests& tools_;
  std::string windowsFolder_;
  registry::clsRegistryAccess registry_;
  std::vector<CheckResult> results_;
};

}  // namespace

std::string paymentProgramOf(const std::string& application, platform::FileSystem& files) {
  const tools::ApplicationParts parts =
      tools::applicationParts(application, [&files](const std::string& path) { return isFile(files, path); });
  const std::string name = parts.program.substr(platform::folderOfPathWithSeparator(parts.program).size());
  return platform::equalsNoCase(name, "Orbit-Tender.exe") ? parts.program : std::string();
}

std::vector<CheckResult> verifyService(RunContext& run, const std::optional<ReleaseVersion>& minimum) {
  platform::Platform& machine = run.machine;
  std::vector<CheckResult> results;
  if (minimum) {
    // A deployment tool's detection: an older release counts as not installed, so that the
    // newer package reaches the till.
    const ReleaseVersion installed = installedRelease(machine);
    const bool recent = installed >= *minimum;
    results.push_back({"The installed release is " + minimum->text() + " or later",
                       recent ? CheckOutcome::Holds : CheckOutcome::Fails, recent ? "" : "release " + installed.text(),
                       recent ? 0 : verifycode::kOlderRelease});
  }
  // The tools the service runs lie in the system's Windows folder, whatever WinDir says.
  std::vector<CheckResult> service =
      Checks(machine, run.tools, checkedWindowsFolder(machine, run.log, run.environment.PathWindowsRoot())).run();
  results.insert(results.end(), service.begin(), service.end());
  return results;
}

int verifyExitCode(const std::vector<CheckResult>& results) {
  for (const CheckResult& result : results) {
    if (result.outcome == CheckOutcome::Fails) return result.exitCode;
  }
  return verifycode::kAllHold;
}

std::string describe(const CheckResult& result) {
  switch (result.outcome) {
    case CheckOutcome::Holds:
      return "holds";
    case CheckOutcome::Fails:
      return "FAILS (exit code " + std::to_string(result.exitCode) + "): " + result.detail;
    case CheckOutcome::Skipped:
      return "skipped: " + result.detail;
    case CheckOutcome::NotReported:
      return "not reported: " + result.detail;
  }
  return {};
}

Outcome verifyOutcome(RunContext& run, const std::optional<ReleaseVersion>& minimum) {
  const std::vector<CheckResult> results = verifyService(run, minimum);
  for (const CheckResult& result : results) {
    if (result.outcome != CheckOutcome::Fails && !result.logged) continue;
    run.log.WriteLog({.level = logging::level::kNote,
                      .message = "Verify " + result.name,
                      .detail = describe(result),
                      .boxStyle = platform::mb::kIconInformation});
  }
  const int code = verifyExitCode(results);
  return code == verifycode::kAllHold ? Outcome::of(code, platform::eventtype::kInformation, "All checks hold")
                                      : Outcome::of(code, platform::eventtype::kWarning, "A check fails");
}

}  // namespace tlv::app
