// Portable: ValidateTolvaneReg, which completes and verifies the service's registry values.
#include <exception>

#include "app/ServiceRegistryKeys.h"
#include "app/frmTlvAsService.h"
#include "logging/RunError.h"
#include "platform/WindowsPath.h"
#include "registry/clsRegistryAccess.h"
#include "tools/srvany/LaunchPlan.h"

namespace tlv::app {

namespace {

// Makes Application under Parameters name the program; Task tells the step under way.
bool ensureApplication(registry::clsRegistryAccess& registry, platform::FileSystem& files, logging::LoggingFunctions& log,
                       const std::string& program, std::string& Task) {
  Task = "Is Params?";
  if (!registry.KeyExists(kParametersKey)) {
    Task = "Create Params";
    if (registry.CreateKey(kParametersKey) == 0) return false;
  }
  Task = "Is Application?";
  if (registry.ValueExists(kParametersKey, value::kApplication)) {
    Task = "Read Application?";
    const std::string current = registry.ReadString(kParametersKey, value::kApplication, kNoStoredValue);
    Task = "Compare Application?";
    // The program as srvany starts it, arguments after it the administrator's: anything else
    // glued to the path (".old", a stray quote) names another file.
    const tools::ApplicationParts parts = tools::applicationParts(current, [&files](const std::string& path) {
      const auto attributes = files.fileAttributes(path);
      return attributes.ok() && !(attributes.value & platform::attr::kDirectory);
    });
    if (platform::equalsNoCase(parts.program, program)) return true;
    log.WriteLog({.level = logging::level::kNote,
                  .message = "Parameters\\Application " + tools::applicationShown(current),
                  .detail = "Not the payment program, written anew",
                  .boxStyle = platform::mb::kIconInformation});
  }
  Task = "Write Application?";
  return registry.WriteString(kParametersKey, value::kApplication, program) != 0;
}

// Gives the service its description unless one starting with it is there already.
void ensureDescription(registry::clsRegistryAccess& registry, std::string& Task) {
  Task = "Is Description?";
  if (registry.ValueExists(kServiceKey, value::kDescription)) {
    Task = "Read Description?";
    const std::string current = registry.ReadString(kServiceKey, value::kDescription, kNoStoredValue);
    // Deliberately the Application check's step text: an error here is logged under the
    // name the program has always given this step.
    Task = "Compare Application?";
    if (isOwnDescription(current)) return;
  }
  Task = "Write Description?";
  registry.WriteString(kServiceKey, value::kDescription, kDescription);
}

}  // namespace

bool frmTlvAsService::ServiceKeyExists() { return registry::clsRegistryAccess(platform_).KeyExists(kServiceKey); }

bool frmTlvAsService::ValidateTolvaneReg(const std::string& lvTLVPath) {
  registry::clsRegistryAccess registry(platform_);
  const std::string program = lvTLVPath + "Orbit-Tender.exe";
  std::string Task = "Start Function";
  bool serviceKeyFound = false;
  bool verified = false;

  // A step that reports false is logged at level 0 with its step text; one that fails
  // unexpectedly at level -1. Either way the other values are still brought in order.
  try {
    Task = "Is Root Key?";
    serviceKeyFound = registry.KeyExists(kServiceKey);
    if (serviceKeyFound) verified = ensureApplication(registry, platform_.files, log_, program, Task);
    if (!verified) {
      log_.WriteLog({.level = logging::level::kNote,
                     .message = Task,
                     .detail = "Failed",
                     .boxStyle = platform::mb::kIconInformation});
    }
  } catch (const std::exception&) {
    const logging::RunError e = logging::runError(logging::errnum::kOutOfMemory);
    log_.WriteLog({.level = logging::level::kError,
                   .message = "VTLVR: " + Task + "E# " + std::to_string(e.number),
                   .detail = e.description,
                   .boxStyle = platform::mb::kIconInformation});
  }

  // Without the service key the service control manager never created the service: the
  // other values would make a stray, half service key that a later run takes for a service.
  if (serviceKeyFound) {
    ensureDescription(registry, Task);
    registry.WriteBinary(kServiceKey, value::kFailureActions, kFailureActions);
  }
  return verified;
}

}  // namespace tlv::app
