// Portable: where a service keeps its settings and its event source, below HKEY_LOCAL_MACHINE.
#pragma once

#include <string>

namespace tlv::tools {

/// SYSTEM\CurrentControlSet\Services\<service>\Parameters: what srvany reads.
std::string parametersKeyPath(const std::string& serviceName);

/// The service's event source in the Application log, named after the service.
std::string eventSourceKeyPath(const std::string& serviceName);

}  // namespace tlv::tools
