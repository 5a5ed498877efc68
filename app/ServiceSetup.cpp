// Portable: what /quiet sets on the service beyond creating it.
#include "app/ServiceSetup.h"

#include "app/ServiceRecord.h"
#include "app/SystemFolders.h"
#include "platform/WindowsPath.h"
#include "tools/common/HostLogPlaces.h"
#include "tools/common/ServiceAccount.h"
#include "tools/common/ServiceKeys.h"
#include "tools/common/ServiceSid.h"

namespace tlv::app {
namespace {

using tools::kLocalSystem;
using tools::kServiceName;
using tools::offeredAccount;
using tools::offeredAccountsText;
using tools::sameAccount;
using tools::serviceSid;
using tools::virtualAccount;

void note(logging::LoggingFunctions& log, const std::string& detail) {
  log.WriteLog({.level = logging::level::kNote,
                .message = std::string("Service ") + kServiceName,
                .detail = detail,
                .boxStyle = platform::mb::kIconInformation});
}

Outcome notApplied(RunContext& run, const std::string& what, platform::Win32Error error) {
  return Outcome::of(setupcode::kNotApplied, platform::eventtype::kError,
                     "Service settings not made: " + what + ": " + run.machine.systemInfo.errorText(error));
}

// A setting Windows has and the manager may not know (Wine's): its absence is noted, not a failure.
std::optional<Outcome> setNoted(RunContext& run, platform::Win32Error error, const std::string& what,
                           const std::string& done) {
  if (error == platform::err::kInvalidLevel) {
    note(run.log, what + " not set: the service manager does not know it");
    return std::nullopt;
  }
  if (error != platform::err::kSuccess) return notApplied(run, what, error);
  note(run.log, done);
  return std::nullopt;
}

class Setup {
 public:
  Setup(RunContext& run, const ServiceChoices& choices, std::string installFolder)
      : run_(run),
        services_(run.machine.services),
        choices_(choices),
        installFolder_(std::move(installFolder)),
        earlier_(readRecord(run.machine.registry)) {}

  std::optional<Outcome> apply() {
    const auto service = services_.configuration(kServiceName);
    if (!service.ok() && !choices_.any()) {
      // Nothing was asked of it: the run ends as before, and /verify names the account.
      note(run_.log, "Not recorded: the service manager could not be read: " +
                         run_.machine.systemInfo.errorText(service.error));
      return std::nullopt;
    }
    if (!service.ok()) return notApplied(run_, "the service could not be read", service.error);
    if (auto refused = setAccountAndDependencies(service.value)) return refused;
    if (auto refused = setStart()) return refused;
    if (auto refused = setSidType()) return refused;
    if (auto refused = setPrivileges()) return refused;
    if (auto refused = grant()) return refused;
    if (const auto error = writeRecord(run_.machine.registry, record_); error != platform::err::kSuccess) {
      return notApplied(run_, std::string("Parameters\\") + tools::value::kChosenSetup + " could not be written",
                        error);
    }
    return std::nullopt;
  }

 private:
  std::optional<Outcome> setAccountAndDependencies(const platform::ServiceConfiguration& service) {
    const std::optional<std::string> chosen = choices_.account ? offeredAccount(*choices_.account) : std::nullopt;
    platform::ServiceChange change;
    if (chosen && !sameAccount(*chosen, service.account)) change.account = *chosen;
    if (!choices_.dependencies.empty() && !sameNames(choices_.dependencies, service.dependencies)) {
      change.dependencies = choices_.dependencies;
    }
    if (change.account || change.dependencies) {
      // Wine's manager clears the dependencies a change does not name: they are always named.
      if (!change.dependencies) change.dependencies = service.dependencies;
      if (const auto error = services_.change(kServiceName, change); error != platform::err::kSuccess) {
        return notApplied(run_, "its account or dependencies could not be set", error);
      }
    }
    record_.account = chosen.value_or(service.account);
    note(run_.log, "Account " + record_.account + (change.account ? " set" : " kept"));
    record_.dependencies = choices_.dependencies.empty() ? service.dependencies : choices_.dependencies;
    if (!choices_.dependencies.empty()) note(run_.log, "Starts after " + namesText(record_.dependencies));
    return std::nullopt;
  }

  std::optional<Outcome> setStart() {
    if (choices_.delayed) {
      record_.delayed = true;
      return setNoted(run_, services_.setDelayedAutoStart(kServiceName, true), "Delayed start", "Delayed start set");
    }
    // Kept as the service has it; where the manager does not tell, as the last run recorded it.
    const auto delayed = services_.delayedAutoStart(kServiceName);
    record_.delayed = delayed.ok() ? delayed.value : earlier_.record && earlier_.record->delayed;
    return std::nullopt;
  }

  // So that grants can name the service's own SID also when it runs as LocalService or
  // NetworkService, whose tokens would otherwise not carry it.
  std::optional<Outcome> setSidType() {
    if (sameAccount(record_.account, kLocalSystem)) return std::nullopt;
    return setNoted(run_, services_.setSidType(kServiceName, platform::servicesid::kUnrestricted), "SID type",
               "SID type unrestricted");
  }

  // They bind the payment program too: set only when named.
  std::optional<Outcome> setPrivileges() {
    if (!choices_.privileges.empty()) {
      record_.privileges = choices_.privileges;
      return setNoted(run_, services_.setRequiredPrivileges(kServiceName, choices_.privileges), "Required privileges",
                 "Required privileges " + namesText(choices_.privileges));
    }
    const auto current = services_.requiredPrivileges(kServiceName);
    if (current.ok()) {
      record_.privileges = current.value;
    } else if (earlier_.record) {
      record_.privileges = earlier_.record->privileges;
    }
    return std::nullopt;
  }

  // The service's own SID gets what the payment program needs, nobody else anything: read and
  // run its folder, change the data folder. LocalSystem has both already.
  std::optional<Outcome> grant() {
    if (sameAccount(record_.account, kLocalSystem)) return std::nullopt;
    if (auto refused = registerEventSource()) return refused;
    if (auto refused = makeHostPlaces()) return refused;
    std::string programFolder = installFolder_;
    if (programFolder.size() > 3 && programFolder.back() == '\\') programFolder.pop_back();
    if (auto refused = grantTo(programFolder, platform::folderright::kReadAndExecute, "Read and execute")) {
      return refused;
    }
    if (!choices_.dataFolder) return std::nullopt;
    return grantTo(*choices_.dataFolder, platform::folderright::kModify, "Modify");
  }
  // srvany registers its event source as LocalSystem; another account may not write the key.
  std::optional<Outcome> registerEventSource() {
    const std::string srvany =
        checkedWindowsFolder(run_.machine, run_.log, run_.environment.PathWindowsRoot()) + "srvany.exe";
    const std::string path = tools::eventSourceKeyPath(kServiceName);
    auto key = run_.machine.registry.createKey(platform::hkey::kLocalMachine, path);
    platform::Win32Error error = key.error;
    if (key.ok()) {
      error = run_.machine.registry.setValue(key.value.get(), "EventMessageFile", platform::regtype::kExpandString,
                                             std::string_view(srvany.c_str(), srvany.size() + 1));
    }
    if (error == platform::err::kSuccess) {
      constexpr char kAllTypes[] = {7, 0, 0, 0};  // errors, warnings and information, little-endian
      error = run_.machine.registry.setValue(key.value.get(), "TypesSupported", platform::regtype::kDword,
                                             std::string_view(kAllTypes, 4));
    }
    if (error != platform::err::kSuccess) return notApplied(run_, "its event source could not be registered", error);
    run_.log.WriteLog({.level = logging::level::kNote,
                       .message = std::string("Event source ") + kServiceName,
                       .detail = "Registered for " + srvany + ", which may not register it as " + record_.account,
                       .boxStyle = platform::mb::kIconInformation});
    return std::nullopt;
  }

  // srvany makes its text log folder and its Watch key as LocalSystem; as another account it
  // may make neither, nor create a key below its service's (a Security key would change the
  // service): they are made here, for it alone.
  std::optional<Outcome> makeHostPlaces() {
    const std::string windows = checkedWindowsFolder(run_.machine, run_.log, run_.environment.PathWindowsRoot());
    const std::string folder = tools::accountLogFolder(windows, kServiceName);
    auto& files = run_.machine.files;
    platform::Win32Error error = platform::err::kSuccess;
    const auto make = [&](const std::string& path, const platform::SecurityDescriptor& security) {
      if (error == platform::err::kSuccess || error == platform::err::kNotSupported) {
        error = files.makeSecuredFolder(path, security);
      }
    };
    // Windows has Logs; a system without it (a new Wine prefix) gets it as srvany would make it.
    if (!files.fileAttributes(windows + "Logs").ok()) make(windows + "Logs", tools::hostLogFolderSecurity());
    make(windows + tools::kHostLogFolder, tools::hostLogFolderSecurity());
    make(folder, tools::accountLogFolderSecurity(kServiceName));
    if (error != platform::err::kSuccess && error != platform::err::kNotSupported) {
      return notApplied(run_, "srvany's log folder " + folder + " could not be made", error);
    }
    run_.log.WriteLog({.level = logging::level::kNote,
                       .message = folder,
                       .detail = error == platform::err::kSuccess
                                     ? "Made for srvany's text log as " + record_.account
                                     : "Made for srvany's text log; not secured: this file system keeps no rights",
                       .boxStyle = platform::mb::kIconInformation});
    return makeWatchKey();
  }

  // Made anew and not volatile: a key srvany made as LocalSystem is gone at the next start of
  // Windows, and the account could not make it again.
  std::optional<Outcome> makeWatchKey() {
    auto& registry = run_.machine.registry;
    const std::string path = tools::watchKeyPath(kServiceName);
    platform::Win32Error error = registry.deleteKey(platform::hkey::kLocalMachine, path);
    if (error == platform::err::kSuccess || error == platform::err::kFileNotFound) {
      auto key = registry.createKey(platform::hkey::kLocalMachine, path);
      error = key.ok() ? registry.setKeySecurity(key.value.get(), tools::accountWatchKeySecurity(kServiceName)) : key.error;
    }
    if (error != platform::err::kSuccess) return notApplied(run_, "srvany's Watch key could not be made", error);
    note(run_.log, "Watch key made for srvany as " + record_.account);
    return std::nullopt;
  }

  std::optional<Outcome> grantTo(const std::string& folder, std::uint32_t rights, const std::string& what) {
    const auto error = run_.machine.files.grantToFolder(folder, serviceSid(kServiceName), rights);
    if (error != platform::err::kSuccess && error != platform::err::kNotSupported) {
      return notApplied(run_, what + " on " + folder, error);
    }
    run_.log.WriteLog({.level = logging::level::kNote,
                       .message = folder,
                       .detail = error == platform::err::kSuccess ? what + " granted to " + virtualAccount()
                                                                  : "Not granted: this file system keeps no rights",
                       .boxStyle = platform::mb::kIconInformation});
    return std::nullopt;
  }

  RunContext& run_;
  platform::ServiceManager& services_;
  const ServiceChoices& choices_;
  const std::string installFolder_;
  const ReadRecord earlier_;
  ServiceRecord record_;
};

// Why the service cannot start after this one; empty when it can.
std::string whyNoDependency(RunContext& run, const std::string& dependency) {
  if (platform::equalsNoCase(dependency, kServiceName)) return "the service itself";
  const auto found = run.machine.services.configuration(dependency);
  if (found.ok()) return {};
  return found.error == platform::err::kServiceDoesNotExist
             ? "no such service"
             : "could not be read: " + run.machine.systemInfo.errorText(found.error);
}

// Why the folder is no data folder the account may be given; empty when it is one.
std::string whyNoDataFolder(RunContext& run, const std::string& folder) {
  // A relative folder would be one below whatever folder the run was started in.
  const bool full = (folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') || folder.starts_with("\\\\");
  if (!full) return "it is not a full path";
  const auto attributes = run.machine.files.fileAttributes(folder);
  if (!attributes.ok()) return "it is missing";
  if (attributes.value & platform::attr::kReparsePoint) return "it is a link";
  if (!(attributes.value & platform::attr::kDirectory)) return "it is a file";
  return {};
}

}  // namespace

std::optional<Outcome> refusedChoice(RunContext& run, const ServiceChoices& choices) {
  const auto refuse = [](int code, const std::string& why) {
    return Outcome::of(code, platform::eventtype::kError, why);
  };
  if (choices.account && !offeredAccount(*choices.account)) {
    return refuse(setupcode::kAccountRefused, "Account refused: " + *choices.account +
                                                  " (only accounts without a password: " + offeredAccountsText() + ")");
  }
  for (const std::string& dependency : choices.dependencies) {
    if (const std::string why = whyNoDependency(run, dependency); !why.empty()) {
      return refuse(setupcode::kDependencyRefused, "Dependency refused: " + dependency + ": " + why);
    }
  }
  if (choices.dataFolder) {
    if (const std::string why = whyNoDataFolder(run, *choices.dataFolder); !why.empty()) {
      return refuse(setupcode::kDataFolderRefused, "Data folder refused: " + *choices.dataFolder + ": " + why);
    }
  }
  return std::nullopt;
}

std::optional<Outcome> applyChoices(RunContext& run, const ServiceChoices& choices, const std::string& installFolder) {
  return Setup(run, choices, installFolder).apply();
}

}  // namespace tlv::app
