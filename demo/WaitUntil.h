// Win32 only: a bounded wait for a condition that no handle signals.
#pragma once

#include <windows.h>

namespace tlv::drive {

/// Waits until `condition()` holds, asking every `intervalMs`; false when `timeoutMs` passed first.
template <class Condition>
bool waitUntil(Condition condition, DWORD timeoutMs, DWORD intervalMs = 50) {
  const ULONGLONG start = ::GetTickCount64();
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() - start >= timeoutMs) return false;
    ::Sleep(intervalMs);
  }
}

}  // namespace tlv::drive
