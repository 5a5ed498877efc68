// Win32 only: the real machine's ports, handed out as a Platform; the user interface is the
// caller's (the program's window, in app/win32/).
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32Basics.h"
#include "platform/win32/Win32EventLog.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Hashing.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ServiceManager.h"

namespace tlv::platform::win32 {

class Win32Platform {
 public:
  explicit Win32Platform(Ui& ui) : ui_(ui) {}
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform platform() {
    return Platform{files_, clock_, environment_, ui_, process_, systemInfo_, registry_, eventLog_, hashing_,
                    services_};
  }

 private:
  Win32FileSystem files_;
  Win32Clock clock_;
  Win32Environment environment_;
  Ui& ui_;
  Win32Process process_;
  Win32SystemInfo systemInfo_;
  Win32Registry registry_;
  Win32EventLog eventLog_;
  Win32Hashing hashing_;
  Win32ServiceManager services_;
};

}  // namespace tlv::platform::win32
