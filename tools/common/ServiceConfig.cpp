// Win32 only: settings of a service that instsrv and srvany give it.
#include "tools/common/ServiceConfig.h"

#include "tools/common/ErrorText.h"

namespace tlv::tools {

DWORD setPreshutdownTimeout(SC_HANDLE service, DWORD timeoutMs) {
  SERVICE_PRESHUTDOWN_INFO info{timeoutMs};
  if (::ChangeServiceConfig2A(service, SERVICE_CONFIG_PRESHUTDOWN_INFO, &info)) return ERROR_SUCCESS;
  return lastErrorOr(ERROR_INVALID_LEVEL);
}

}  // namespace tlv::tools
