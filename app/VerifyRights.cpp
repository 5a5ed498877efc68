// Portable: who may change what the service runs.
#include "app/VerifyRights.h"

#include <vector>

#include "app/ServiceRegistryKeys.h"
#include "app/WhoMayReplace.h"
#include "platform/WindowsPath.h"

namespace tlv::app {
namespace {

struct Judged {
  std::string what;
  Guarded guarded;
  platform::Result<platform::SecurityDescriptor> security;
};

// One outcome for all: anyone who may replace what runs fails the check; then a descriptor
// that could not be read; then one the system keeps none of, which is not reported.
CheckResult judge(platform::Platform& machine, const std::vector<Judged>& judged) {
  const std::string account = machine.systemInfo.runningAccount();
  std::string others, unread, unkept;
  const auto note = [](std::string& list, const std::string& text) { list += (list.empty() ? "" : " | ") + text; };
  for (const Judged& each : judged) {
    if (each.security.ok()) {
      const std::string who = whoMayReplace(each.security.value, each.guarded, account);
      if (!who.empty()) note(others, each.what + ": " + who);
    } else if (each.security.error == platform::err::kNotSupported) {
      note(unkept, each.what);
    } else {
      note(unread, each.what + ": " + machine.systemInfo.errorText(each.security.error));
    }
  }
  if (!others.empty()) return {{}, CheckOutcome::Fails, others, verifycode::kOthersMayChange};
  if (!unread.empty()) return {{}, CheckOutcome::Fails, "could not be read: " + unread, verifycode::kNotChecked};
  if (!unkept.empty()) return {{}, CheckOutcome::NotReported, "this system keeps no security for " + unkept, 0};
  return {};
}

// A drive's root ("C:\") or a share's ("\\server\share"): nothing above it is judged.
bool isRoot(const std::string& folder) {
  if (folder.starts_with("\\\\")) return folder.find('\\', folder.find('\\', 2) + 1) == std::string::npos;
  return folder.size() <= 3;
}

bool missing(platform::Win32Error error) {
  return error == platform::err::kFileNotFound || error == platform::err::kPathNotFound;
}

}  // namespace

CheckResult checkProgramRights(platform::Platform& machine, const std::string& program, const std::string& startFolder) {
  std::vector<Judged> judged;
  judged.push_back({program, Guarded::ProgramFile, machine.files.security(program)});
  Guarded guarded = Guarded::ProgramFolder;
  for (std::string folder = platform::folderOfPath(program); !folder.empty(); folder = platform::folderOfPath(folder)) {
    judged.push_back({folder, guarded, machine.files.security(folder)});
    guarded = Guarded::FolderAbove;
    if (isRoot(folder)) break;
  }
  if (!startFolder.empty()) {
    // A start folder that is gone is srvany's to report when it starts the program.
    auto security = machine.files.security(startFolder);
    if (security.ok() || !missing(security.error)) judged.push_back({startFolder, Guarded::ProgramFolder, security});
  }
  return judge(machine, judged);
}

CheckResult checkServiceRights(platform::Platform& machine) {
  constexpr std::string_view kRoot = "HKEY_LOCAL_MACHINE\\";
  std::vector<Judged> judged;
  judged.push_back({std::string("the service ") + kServiceName, Guarded::Service, machine.services.security(kServiceName)});
  for (const std::string_view key : {std::string_view(kServiceKey), std::string_view(kParametersKey)}) {
    auto opened = machine.registry.openKeyEx(platform::hkey::kLocalMachine, std::string(key.substr(kRoot.size())),
                                             platform::keyaccess::kReadControl);
    judged.push_back({std::string(key), Guarded::Key,
                      opened.ok() ? machine.registry.keySecurity(opened.value.get())
                                  : platform::Result<platform::SecurityDescriptor>::failure(opened.error)});
  }
  return judge(machine, judged);
}

}  // namespace tlv::app
