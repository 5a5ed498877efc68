// Win32 only: the folders and files of the Wine tests: where the programs under test lie,
// scratch folders that clean up after themselves, whole files read and written.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tlv::testing {

/// The build tree the running test belongs to (the folder with CMakeCache.txt), ending in
/// a backslash; empty when the test does not run from a build tree.
std::string buildRoot();
/// The folder of the test executable, where the tools and test programs lie; ends in "\".
std::string testProgramFolder();
/// The prefix's Windows folder, ending in a backslash.
std::string windowsFolder();
/// A name no earlier run has used: prefix, the test's name, this process id and a counter.
std::string uniqueName(const std::string& prefix);

/// True when a file or folder of that name exists.
bool pathExists(const std::string& path);
/// The whole file; nullopt when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);
/// The whole file; empty when missing.
inline std::string readFile(const std::string& path) { return readWholeFile(path).value_or(std::string()); }
/// Creates or replaces the file with exactly these bytes.
bool writeFile(const std::string& path, const std::string& bytes);
/// Deletes a folder and everything below it; `folder` ends in a backslash.
void removeFolderTree(const std::string& folder);

/// A folder of its own, removed with its files at the end: below %TEMP% (or below `parent`)
/// under a name no earlier run has used, with a blank in it as users' folders may have; or
/// made by programs().
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& parent = {});
  /// C:\TlvTestPrograms\<name>\ on the prefix's C: drive, emptied first, where copies of the
  /// programs under test run and leave their logs.
  static ScratchFolder programs(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }  ///< ends in "\"
  /// Copies a file in under its own name; returns the copy's path, or empty on failure.
  std::string copyIn(const std::string& source);
  /// Names of the files directly in the folder that match a wildcard pattern ("*.log").
  std::vector<std::string> files(const std::string& pattern) const;
  /// A file's whole content; nullopt when it cannot be read.
  std::optional<std::string> read(const std::string& name) const { return readWholeFile(path_ + name); }

 private:
  struct Made {};  // by programs()
  ScratchFolder(Made, std::string path) : path_(std::move(path)) {}
  std::string path_;
};

}  // namespace tlv::testing
