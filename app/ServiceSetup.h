// Portable: what /quiet sets on the service beyond creating it: the account the administrator
// chose, its start and its dependencies, the privileges it keeps, and the record of that
// choice for /verify. What the command line does not give stays as the service has it: a run
// never resets an account an administrator chose.
#pragma once

#include <optional>

#include "app/CommandLine.h"
#include "app/Outcome.h"
#include "app/RunContext.h"

namespace tlv::app {

/// The exit codes of /quiet for the choices, beside the endings' (Endings.h).
namespace setupcode {
inline constexpr int kAccountRefused = 8;     ///< /account names an account that is not offered
inline constexpr int kDependencyRefused = 9;  ///< /depend names a service that does not exist
inline constexpr int kNotApplied = 10;        ///< the manager, the registry or the file system refused a choice
inline constexpr int kDataFolderRefused = 11; ///< /datafolder names no folder of its own
}  // namespace setupcode

/// The outcome that refuses a choice the run cannot set, found before anything is changed;
/// nullopt when all can be set.
std::optional<Outcome> refusedChoice(RunContext& run, const ServiceChoices& choices);

/// Sets the choices on the service, gives its account what it needs of the payment program's
/// folder (`installFolder`) and of the data folder, logs each, and records them; nullopt when
/// all is done, else the outcome that says what was refused.
std::optional<Outcome> applyChoices(RunContext& run, const ServiceChoices& choices, const std::string& installFolder);

}  // namespace tlv::app
