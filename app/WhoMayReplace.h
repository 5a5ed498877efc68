// Portable: who, besides administrators, may replace what the service runs, read from the
// owner and access list of each thing it depends on.
#pragma once

#include <string>

#include "platform/Security.h"

namespace tlv::app {

/// What a descriptor guards, each with the rights that would let someone replace what runs.
enum class Guarded {
  ProgramFile,    ///< the payment program: writing or appending to it, deleting or renaming it
  ProgramFolder,  ///< its folder, where it finds its DLLs: adding files, deleting or renaming any
  FolderAbove,    ///< a folder above it, up to the drive: deleting or renaming it or a folder in it
  Key,            ///< the service's key or its Parameters key: writing values, adding or deleting keys
  Service,        ///< the service itself: changing its configuration or deleting it
};

/// "Users (S-1-5-32-545): write, delete; owner S-1-5-21-...": everyone besides SYSTEM,
/// Administrators, TrustedInstaller, the creator owner and `runningAccount` (the administrator
/// or SYSTEM running the check) who may replace what runs, with the rights that let them; an
/// owner may always change the access list. Empty when only administrators may.
std::string whoMayReplace(const platform::SecurityDescriptor& descriptor, Guarded guarded,
                          const std::string& runningAccount);

}  // namespace tlv::app
