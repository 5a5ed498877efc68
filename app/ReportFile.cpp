// Portable: the /report file.
#include "app/ReportFile.h"

#include <cstdio>

#include "platform/WindowsPath.h"

namespace tlv::app {
namespace {

namespace err = platform::err;

// The first folder on the way to `path` that is a link or another reparse point; empty when
// none is.
std::string linkedFolderOn(platform::FileSystem& files, const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
    std::string folder = path.substr(0, at);
    const auto attributes = files.fileAttributes(folder);
    if (attributes.ok() && (attributes.value & platform::attr::kReparsePoint)) return folder;
  }
  return {};
}

// A name beside the report that is hard to tell beforehand (a digest of the text and the
// time). What protects the report is that the file is made new: a name someone took, or
// a link put there, makes the creation fail, and the next name is tried.
std::string partialName(platform::Platform& machine, const std::string& path, const std::string& text, int attempt) {
  const platform::LocalTime t = machine.clock.now();
  const std::string salt = std::to_string(t.hour * 3600 + t.minute * 60 + t.second) + "." + std::to_string(attempt);
  const auto digest = machine.hashing.sha256({text, salt, path});
  std::string name = path + ".";
  char pair[3];
  for (std::size_t i = 0; i < 8 && digest.ok(); ++i) {
    std::snprintf(pair, sizeof pair, "%02x", digest.value[i]);
    name += pair;
  }
  return name + "-" + std::to_string(attempt) + ".new";
}

}  // namespace

ReportWritten writeReportFile(platform::Platform& machine, const std::string& path, const std::string& text) {
  if (const std::string linked = linkedFolderOn(machine.files, path); !linked.empty()) {
    return {reportcode::kLinkedFolder, "Not written to " + path + ": the folder " + linked + " is a link"};
  }
  platform::Win32Error error = err::kFileExists;
  for (int attempt = 1; attempt <= 5 && error == err::kFileExists; ++attempt) {
    const std::string partial = partialName(machine, path, text, attempt);
    error = machine.files.createNewFile(partial, text, platform::FileProtection::AdministratorsOnly);
    if (error != err::kSuccess) continue;  // another name when this one is taken, else done
    error = machine.files.moveFile(partial, path);
    // What this run made goes again; should that fail too, it keeps a name nobody reads.
    if (error != err::kSuccess) static_cast<void>(machine.files.deleteFile(partial));
  }
  if (error != err::kSuccess) {
    return {reportcode::kNotWritten, "Not written to " + path + ", system error " + std::to_string(error)};
  }
  return {reportcode::kWritten, "Written to " + path};
}

}  // namespace tlv::app
