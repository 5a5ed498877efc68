// Portable: the file and folder presence tests. Neither ever fails towards its caller.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace tlv::files {

class FileHandling {
 public:
  explicit FileHandling(platform::Platform& platform) : platform_(platform) {}

  /// True when the file is present (an empty file counts). When it is missing and quiet is
  /// false, tells the user in a message box, filling in an empty message or title first.
  /// The texts and the flag are taken by reference on purpose: the filled-in message and
  /// title go back to the caller, as callers of this check have always seen them.
  bool CheckForFile(const std::string& path, std::string& message, std::string& title, bool& quiet);
  /// CheckForFile with the optional arguments omitted: empty texts, quiet false.
  bool CheckForFile(const std::string& path);
  /// CheckForFile as the program's own callers use it: empty texts, quiet true.
  bool CheckForFileQuietly(const std::string& path);

  /// True only if the path names an existing folder; a trailing backslash is allowed.
  bool FolderExists(const std::string& path);

 private:
  platform::Platform& platform_;
};

}  // namespace tlv::files
