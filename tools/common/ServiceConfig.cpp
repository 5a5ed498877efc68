// Win32 only: settings of a service that instsrv and srvany give it.
#include "tools/common/ServiceConfig.h"

#include "tools/common/ErrorText.h"

namespace tlv::tools {

DWORD setPreshutdownTimeout(SC_HANDLE service, DWORD timeoutMs) {
  // Set only when it differs: Wine's service manager, when it saves a changed configuration,
  // drops the values it does not keep itself (the description the program wrote).
  SERVICE_PRESHUTDOWN_INFO current{};
  DWORD needed = 0;
  if (::QueryServiceConfig2A(service, SERVICE_CONFIG_PRESHUTDOWN_INFO, reinterpret_cast<BYTE*>(&current),
                             sizeof current, &needed) &&
      current.dwPreshutdownTimeout == timeoutMs) {
    return ERROR_SUCCESS;
  }
  SERVICE_PRESHUTDOWN_INFO info{timeoutMs};
  if (::ChangeServiceConfig2A(service, SERVICE_CONFIG_PRESHUTDOWN_INFO, &info)) return ERROR_SUCCESS;
  return lastErrorOr(ERROR_INVALID_LEVEL);
}

}  // namespace tlv::tools
