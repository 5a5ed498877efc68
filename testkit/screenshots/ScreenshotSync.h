// Portable: keeping a repository copy of a screenshot that changes only with the picture.
#pragma once

#include <filesystem>
#include <string>

namespace tlv::tools::screenshots {

enum class SyncOutcome { Unchanged, Updated, Failed };

struct SyncResult {
  SyncOutcome outcome = SyncOutcome::Failed;
  std::string message;  ///< one line for the person running it
};

/// Copies the screenshot `source` to `kept` (as a compressed PNG) when `kept` is missing,
/// is no PNG, or shows other pixels; leaves `kept` untouched when the pixels are the same,
/// whatever the bytes of the two files.
SyncResult syncScreenshot(const std::filesystem::path& source, const std::filesystem::path& kept);

}  // namespace tlv::tools::screenshots
