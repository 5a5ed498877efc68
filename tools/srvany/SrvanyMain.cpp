// Win32 only: srvany.exe, the entry point: hands the process to the service control manager.
#include <cstdio>
#include <string>

#include "platform/win32/SystemLibrary.h"
#include "tools/common/ErrorText.h"
#include "tools/srvany/ServiceHost.h"

namespace {

// Created before the dispatcher starts and kept until the process ends, since the dispatcher
// may call the control handler until then.
tlv::tools::ServiceControl& serviceControl() {
  static tlv::tools::ServiceControl control;
  return control;
}

void WINAPI serviceMain(DWORD argc, LPSTR* argv) {
  try {
    // The manager passes the service's name first: it finds the Parameters key and the event source.
    tlv::tools::ServiceHost host(argc > 0 && argv[0] ? argv[0] : "", serviceControl());
    host.run();
  } catch (const std::exception& failure) {
    serviceControl().fault().report(std::string("its service thread: ") + failure.what());
  } catch (...) {
    serviceControl().fault().report("its service thread: an unknown exception");
  }
}

// A fault no `catch` sees (MinGW's code catches C++ exceptions only): recorded, the service
// stopped as failed, then the process ends and its job with it.
LONG WINAPI hostFaulted(EXCEPTION_POINTERS* fault) {
  serviceControl().fault().report(fault && fault->ExceptionRecord ? tlv::tools::faultText(*fault->ExceptionRecord)
                                                                  : "an unknown fault");
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

int main() {
  // Before anything can load a DLL: a file beside the program never stands in for one of Windows.
  tlv::platform::win32::restrictDllSearchToSystemFolder();
  static_cast<void>(serviceControl());  // ready before the dispatcher can call its handler
  ::SetUnhandledExceptionFilter(hostFaulted);
  // An own-process service: the manager ignores the name in the table and runs its one entry.
  char anyName[] = "";
  const SERVICE_TABLE_ENTRYA services[] = {{anyName, serviceMain}, {nullptr, nullptr}};
  if (::StartServiceCtrlDispatcherA(services)) return 0;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FAILED_SERVICE_CONTROLLER_CONNECT) {
    std::fputs(
        "srvany: runs only as the program of a service (see instsrv); it starts the program named by the\n"
        "        value Application under the service's Parameters key.\n",
        stderr);
  } else {
    std::fprintf(stderr, "srvany: %s\n", tlv::tools::errorText(error).c_str());
  }
  return static_cast<int>(error);
}
