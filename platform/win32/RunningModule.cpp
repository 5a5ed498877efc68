// Win32 only: the running executable's full path.
#include "platform/win32/RunningModule.h"

#include <vector>

#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

std::string runningModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: a long path
  }
}

}  // namespace tlv::platform::win32
