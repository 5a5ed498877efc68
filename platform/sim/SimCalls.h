// Sim only: the calls the simulated Windows answers, each one a test can count and fail.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace tlv::platform::sim {

/// The port a call belongs to.
enum class Port : std::uint8_t { Clock, Environment, Eventlog, Files, Hashing, Process, Registry, Services, Sysinfo, Ui };

// Each call: its port, its name in code and its name in a test's message.
#define TLV_SIM_CALLS(X) \
  X(Clock, ClockNow, "clock.now") \
  X(Clock, ClockTickMilliseconds, "clock.tickMilliseconds") \
  X(Clock, ClockUtcSeconds, "clock.utcSeconds") \
  X(Environment, EnvironmentVariable, "environment.variable") \
  X(Eventlog, EventlogReport, "eventlog.report") \
  X(Files, FilesClose, "files.close") \
  X(Files, FilesCreateNewFile, "files.createNewFile") \
  X(Files, FilesDeleteFile, "files.deleteFile") \
  X(Files, FilesFileAttributes, "files.fileAttributes") \
  X(Files, FilesFileLength, "files.fileLength") \
  X(Files, FilesFullPath, "files.fullPath") \
  X(Files, FilesGrantToFolder, "files.grantToFolder") \
  X(Files, FilesMakeSecuredFolder, "files.makeSecuredFolder") \
  X(Files, FilesHeldLength, "files.heldLength") \
  X(Files, FilesHoldForReading, "files.holdForReading") \
  X(Files, FilesLinks, "files.links") \
  X(Files, FilesListFolder, "files.listFolder") \
  X(Files, FilesMoveFile, "files.moveFile") \
  X(Files, FilesMoveFileAtRestart, "files.moveFileAtRestart") \
  X(Files, FilesMovesAtRestart, "files.movesAtRestart") \
  X(Files, FilesOpenText, "files.openText") \
  X(Files, FilesProductVersion, "files.productVersion") \
  X(Files, FilesReadAll, "files.readAll") \
  X(Files, FilesReadWholeFile, "files.readWholeFile") \
  X(Files, FilesSecurity, "files.security") \
  X(Files, FilesWriteLine, "files.writeLine") \
  X(Files, FilesWriteNewFile, "files.writeNewFile") \
  X(Hashing, HashingSha256, "hashing.sha256") \
  X(Process, ProcessEnd, "process.end") \
  X(Process, ProcessModulePath, "process.modulePath") \
  X(Process, ProcessSleep, "process.sleep") \
  X(Process, ProcessStartBatchFile, "process.startBatchFile") \
  X(Process, ProcessWaitForEnd, "process.waitForEnd") \
  X(Registry, RegistryCloseKey, "registry.closeKey") \
  X(Registry, RegistryCreateKey, "registry.createKey") \
  X(Registry, RegistryDeleteKey, "registry.deleteKey") \
  X(Registry, RegistryDeleteValue, "registry.deleteValue") \
  X(Registry, RegistryEnumKey, "registry.enumKey") \
  X(Registry, RegistryEnumValue, "registry.enumValue") \
  X(Registry, RegistryKeySecurity, "registry.keySecurity") \
  X(Registry, RegistrySetKeySecurity, "registry.setKeySecurity") \
  X(Registry, RegistryOpenKey, "registry.openKey") \
  X(Registry, RegistryOpenKeyEx, "registry.openKeyEx") \
  X(Registry, RegistryQueryValue, "registry.queryValue") \
  X(Registry, RegistrySetValue, "registry.setValue") \
  X(Services, ServicesChange, "services.change") \
  X(Services, ServicesChangeConfig2, "services.changeConfig2") \
  X(Services, ServicesConfiguration, "services.configuration") \
  X(Services, ServicesDelete, "services.delete") \
  X(Services, ServicesFailureActionsFlag, "services.failureActionsFlag") \
  X(Services, ServicesQueryConfig2, "services.queryConfig2") \
  X(Services, ServicesSecurity, "services.security") \
  X(Services, ServicesStatus, "services.status") \
  X(Sysinfo, SysinfoComputerName, "sysinfo.computerName") \
  X(Sysinfo, SysinfoIsWow64Process, "sysinfo.isWow64Process") \
  X(Sysinfo, SysinfoMemoryStatus, "sysinfo.memoryStatus") \
  X(Sysinfo, SysinfoMemoryStatusEx, "sysinfo.memoryStatusEx") \
  X(Sysinfo, SysinfoModuleHandle, "sysinfo.moduleHandle") \
  X(Sysinfo, SysinfoNetworkUserName, "sysinfo.networkUserName") \
  X(Sysinfo, SysinfoProcAddress, "sysinfo.procAddress") \
  X(Sysinfo, SysinfoProcessorArchitecture, "sysinfo.processorArchitecture") \
  X(Sysinfo, SysinfoProductInfo, "sysinfo.productInfo") \
  X(Sysinfo, SysinfoSystemFolder, "sysinfo.systemFolder") \
  X(Sysinfo, SysinfoSystemMetric, "sysinfo.systemMetric") \
  X(Sysinfo, SysinfoVersionInfo, "sysinfo.versionInfo") \
  X(Sysinfo, SysinfoVersionInfoEx, "sysinfo.versionInfoEx") \
  X(Sysinfo, SysinfoWindowsFolder, "sysinfo.windowsFolder") \
  X(Ui, UiDisableTimer, "ui.disableTimer") \
  X(Ui, UiInputBox, "ui.inputBox") \
  X(Ui, UiMessageBox, "ui.messageBox") \
  X(Ui, UiSetStatusText, "ui.setStatusText") \
  X(Ui, UiShowModalWindow, "ui.showModalWindow")

enum class Call : std::uint8_t {
#define TLV_SIM_CALL_ENUMERATOR(port, call, name) call,
  TLV_SIM_CALLS(TLV_SIM_CALL_ENUMERATOR)
#undef TLV_SIM_CALL_ENUMERATOR
};

/// "files.openText".
std::string_view nameOf(Call call);
Port portOf(Call call);
/// How a test's message shows a call: by its name.
void PrintTo(Call call, std::ostream* out);

}  // namespace tlv::platform::sim
