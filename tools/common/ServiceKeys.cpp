// Portable: the keys of a service srvany runs as.
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {

std::string serviceKeyPath(const std::string& serviceName) { return "SYSTEM\\CurrentControlSet\\Services\\" + serviceName; }

std::string parametersKeyPath(const std::string& serviceName) { return serviceKeyPath(serviceName) + "\\Parameters"; }

std::string watchKeyPath(const std::string& serviceName) { return serviceKeyPath(serviceName) + "\\Watch"; }

std::string eventSourceKeyPath(const std::string& serviceName) {
  return "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\" + serviceName;
}

}  // namespace tlv::tools
