// Win32 only: the handle kinds of the service tools that the platform layer does not need.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <tlhelp32.h>  // after windows.h, which it needs

namespace tlv::tools {

using platform::win32::HandleTraits;
using platform::win32::MinusOneInvalid;
using platform::win32::NullInvalid;
using platform::win32::UniqueHandle;

using UniqueSnapshot = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle, MinusOneInvalid>>;
using UniqueEventSource = UniqueHandle<HandleTraits<HANDLE, ::DeregisterEventSource, NullInvalid>>;

}  // namespace tlv::tools
