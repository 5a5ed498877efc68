// Win32 only: one move-only RAII owner for every kind of handle, one traits line per kind.
#pragma once

#include <utility>

#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

/// Traits: `type`, `invalid()` and `close(type)`.
template <class Traits>
class UniqueHandle {
 public:
  using type = typename Traits::type;

  UniqueHandle() = default;
  explicit UniqueHandle(type value) : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  type get() const { return value_; }
  /// For out-parameters: closes the current handle and hands out the slot.
  type* put() {
    reset();
    return &value_;
  }
  type release() { return std::exchange(value_, Traits::invalid()); }
  void reset(type value = Traits::invalid()) {
    if (value_ != Traits::invalid()) Traits::close(value_);
    value_ = value;
  }
  explicit operator bool() const { return value_ != Traits::invalid(); }

 private:
  type value_ = Traits::invalid();
};

template <class T, auto Close, class Invalid>
struct HandleTraits {
  using type = T;
  static type invalid() { return Invalid::value(); }
  static void close(type h) { Close(h); }
};
struct NullInvalid {
  static std::nullptr_t value() { return nullptr; }
};
struct MinusOneInvalid {
  static HANDLE value() { return INVALID_HANDLE_VALUE; }
};

using UniqueFile = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle, MinusOneInvalid>>;
using UniqueFind = UniqueHandle<HandleTraits<HANDLE, ::FindClose, MinusOneInvalid>>;
using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle, NullInvalid>>;  // process, thread, job
using UniqueRegKey = UniqueHandle<HandleTraits<HKEY, ::RegCloseKey, NullInvalid>>;
using UniqueServiceHandle = UniqueHandle<HandleTraits<SC_HANDLE, ::CloseServiceHandle, NullInvalid>>;
using UniqueWindow = UniqueHandle<HandleTraits<HWND, ::DestroyWindow, NullInvalid>>;
using UniqueGdiObject = UniqueHandle<HandleTraits<HGDIOBJ, ::DeleteObject, NullInvalid>>;
using UniqueMemoryDc = UniqueHandle<HandleTraits<HDC, ::DeleteDC, NullInvalid>>;  // CreateCompatibleDC
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, ::DestroyMenu, NullInvalid>>;
using UniqueMappedView = UniqueHandle<HandleTraits<void*, ::UnmapViewOfFile, NullInvalid>>;  // MapViewOfFile
using UniqueSnapshot = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle, MinusOneInvalid>>;  // CreateToolhelp32Snapshot
using UniqueLibrary = UniqueHandle<HandleTraits<HMODULE, ::FreeLibrary, NullInvalid>>;
using UniqueEventSource = UniqueHandle<HandleTraits<HANDLE, ::DeregisterEventSource, NullInvalid>>;
using UniqueLocalMemory = UniqueHandle<HandleTraits<HLOCAL, ::LocalFree, NullInvalid>>;  // security descriptors

}  // namespace tlv::platform::win32
