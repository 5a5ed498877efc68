// Portable: the outcome of an error no step foresaw.
#include "app/Outcome.h"

namespace tlv::app {

Outcome unexpectedFailure(logging::LoggingFunctions& log, const std::string& what) {
  // A window run's status line stays on the step that failed: it tells where the run stopped.
  log.WriteLog({.level = logging::level::kShowBox,
                .message = what,
                .detail = "Unexpected failure",
                .boxStyle = platform::mb::kIconInformation});
  return Outcome::of(kUnexpectedFailureCode, platform::eventtype::kError, "Unexpected failure: " + what);
}

}  // namespace tlv::app
