// Win32 only: the running executable's full path, which the program and srvany both need.
#pragma once

#include <string>

namespace tlv::platform::win32 {

/// The running executable's full path; empty when the system cannot name it.
std::string runningModulePath();

}  // namespace tlv::platform::win32
