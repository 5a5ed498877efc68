// Portable: the process environment port.
#pragma once

#include <string>

namespace tlv::platform {

class Environment {
 public:
  virtual ~Environment() = default;
  /// The value of a variable, its name matched without regard to case; empty when unset.
  virtual std::string variable(const std::string& name) = 0;
};

}  // namespace tlv::platform
