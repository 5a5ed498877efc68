// Portable: where /report writes, and how: a file of its own under the name given, which
// nothing a user put there (a link at that name, a linked folder) can turn into a write of
// the elevated program elsewhere.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace tlv::app {

/// The exit codes of /report.
namespace reportcode {
inline constexpr int kWritten = 0;
inline constexpr int kNotWritten = 1;
inline constexpr int kLinkedFolder = 2;  ///< a folder on the way to the file is a link: refused
}  // namespace reportcode

struct ReportWritten {
  int code = reportcode::kWritten;
  std::string outcome;  ///< "Written to ...", or why not
};

/// Writes the text to `path` (a full path): in a new file beside it, never one that existed,
/// readable and writable by SYSTEM and Administrators only, then renamed onto the name given,
/// so that a link standing there is replaced, never written through. Refused when a folder
/// on the way is a link or another reparse point.
ReportWritten writeReportFile(platform::Platform& machine, const std::string& path, const std::string& text);

}  // namespace tlv::app
