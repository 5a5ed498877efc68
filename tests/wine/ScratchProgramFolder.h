// Win32 only: a program folder of a test on the Wine prefix's C: drive, where copies of
// the programs under test run and leave their logs; emptied at the start, removed at the end.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tlv::testing {

class ScratchProgramFolder {
 public:
  /// C:\TlvTestPrograms\<name>\ , emptied first.
  explicit ScratchProgramFolder(const std::string& name);
  ~ScratchProgramFolder();
  ScratchProgramFolder(const ScratchProgramFolder&) = delete;
  ScratchProgramFolder& operator=(const ScratchProgramFolder&) = delete;

  /// The folder, ending in a backslash.
  const std::string& path() const { return path_; }
  /// Copies a file in under its own name; returns the copy's path, or empty on failure.
  std::string copyIn(const std::string& source);
  /// Names of the files directly in the folder that match a wildcard pattern ("*.log").
  std::vector<std::string> files(const std::string& pattern) const;
  /// A file's whole content; nullopt when it cannot be read.
  std::optional<std::string> read(const std::string& name) const;

 private:
  std::string path_;
};

/// Deletes a folder and everything below it; `folder` ends in a backslash.
void removeFolderTree(const std::string& folder);

}  // namespace tlv::testing
