// Portable: the unattended run ("/quiet"): the form's own steps, with no window, box or
// prompt, its ending an outcome; a service it created and could not complete is removed.
#pragma once

#include "app/CommandLine.h"
#include "app/Outcome.h"
#include "app/QuietRun.h"
#include "app/RunContext.h"

namespace tlv::app {

/// Runs the service creation on the run's quiet machine; `ui` tells whether /path was asked for.
Outcome runUnattended(RunContext& run, const QuietUi& ui, const RunOptions& options);

}  // namespace tlv::app
