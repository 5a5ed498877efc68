// Portable: a key handle of the registry port, closed through the port when its owner goes.
#pragma once

#include "platform/Registry.h"

namespace tlv::registry {

class OpenedKey {
 public:
  OpenedKey(platform::Registry& registry, platform::Result<platform::RegKey> opened)
      : registry_(registry), key_(opened.value), error_(opened.error) {}
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  ~OpenedKey() { close(); }

  bool ok() const { return error_ == platform::err::kSuccess; }
  platform::RegKey get() const { return key_; }
  /// Closes the key now; later calls and the destructor do nothing.
  void close() {
    if (ok() && !closed_) registry_.closeKey(key_);
    closed_ = true;
  }

 private:
  platform::Registry& registry_;
  platform::RegKey key_;
  platform::Win32Error error_;
  bool closed_ = false;
};

}  // namespace tlv::registry
