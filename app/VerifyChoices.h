// Portable: the checks of /verify against the record of what the administrator chose: the
// account, the start, the dependencies, the service's own SID and its privileges. Without a
// record (a service an earlier release made) the account is named and nothing fails.
#pragma once

#include <vector>

#include "app/ServiceVerify.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The checks in order; skipped when the service is missing.
std::vector<CheckResult> checkChoices(platform::Platform& machine,
                                      const platform::Result<platform::ServiceConfiguration>& service);

}  // namespace tlv::app
