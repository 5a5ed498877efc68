// Portable: the file and folder presence tests.
#include "files/FileHandling.h"

namespace tlv::files {

bool FileHandling::CheckForFile(const std::string& path, std::string& message, std::string& title, bool& quiet) {
  if (path.empty()) return false;
  const auto length = platform_.files.fileLength(path);
  if (length.ok() && length.value != -1) return true;
  if (!quiet) {
    if (message.empty()) message = "The File: " + path + " Does not Exist!";
    if (title.empty()) title = "Check for File";
    platform_.ui.messageBox(message, title, platform::mb::kIconInformation);
  }
  return false;
}

bool FileHandling::CheckForFile(const std::string& path) {
  std::string message, title;
  bool quiet = false;
  return CheckForFile(path, message, title, quiet);
}

bool FileHandling::CheckForFileQuietly(const std::string& path) {
  std::string message, title;
  bool quiet = true;
  return CheckForFile(path, message, title, quiet);
}

bool FileHandling::FolderExists(const std::string& path) {
  const auto attributes = platform_.files.fileAttributes(path);
  return attributes.ok() && (attributes.value & platform::attr::kDirectory) != 0;
}

}  // namespace tlv::files
