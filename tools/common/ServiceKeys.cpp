// Portable: where a service keeps its settings and its event source, below HKEY_LOCAL_MACHINE.
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {

std::string parametersKeyPath(const std::string& serviceName) {
  return "SYSTEM\\CurrentControlSet\\Services\\" + serviceName + "\\Parameters";
}

std::string eventSourceKeyPath(const std::string& serviceName) {
  return "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\" + serviceName;
}

}  // namespace tlv::tools
