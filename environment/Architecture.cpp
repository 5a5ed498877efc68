// Portable: processor architecture and 64-bit detection of jclass_WinEnviron.
#include <exception>

#include "environment/jclass_WinEnviron.h"
#include "logging/ErrorForms.h"

namespace tlv::environment {

namespace {

constexpr char kModule[] = "jclass_WinEnvir";

struct ArchitectureName {
  const char* text;
  bool is64Bit;
};

// The processor-architecture field read as a signed 16-bit number.
ArchitectureName nameOfArchitecture(std::int16_t architecture) {
  switch (architecture) {
    case -1:
      return {"64 BIT", true};
    case 0:
      return {"32 BIT x86", false};
    case 1:
      return {"32 BIT MIPS", false};
    case 2:
      return {"32 BIT ALPHA", false};
    case 3:
      return {"32 BIT PPC", false};
    case 6:
      return {"64 BIT INTEL", true};
    case 9:
      return {"64 BIT AMD", true};
    default:
      return {"Arch Unkn", true};
  }
}

}  // namespace

std::string jclass_WinEnviron::ProcessorArchitecture() {
  if (ProcessorArchitecture_.empty()) DetectArchitecture();
  return ProcessorArchitecture_;
}

bool jclass_WinEnviron::Is64Bit() {
  if (ProcessorArchitecture_.empty()) DetectArchitecture();
  return Is64Bit_;
}

void jclass_WinEnviron::DetectArchitecture() {
  // A 32-bit program under WOW64 is shown an x86 processor, so the processor alone cannot
  // tell 64-bit Windows; the WOW64 question and the 64-bit folders can.
  const auto failed = [this] {
    Is64Bit_ = true;
    ProcessorArchitecture_ = "Arch Fail";
  };
  try {
    const auto architecture = platform_.systemInfo.processorArchitecture();
    if (!architecture.ok()) return failed();
    const ArchitectureName name = nameOfArchitecture(static_cast<std::int16_t>(architecture.value));
    ProcessorArchitecture_ = name.text;
    Is64Bit_ = name.is64Bit;

    if (IsWin64OS() != 0) {
      Is64Bit_ = true;
    } else if (!PathSys64Root().empty()) {
      Is64Bit_ = true;
      ProcessorArchitecture_ = "64 BIT SF";
    } else if (!PathProgramFilesX64().empty()) {
      Is64Bit_ = true;
      ProcessorArchitecture_ = "64 BIT PF";
    }
  } catch (const std::exception&) {
    failed();
  }
}

std::int32_t jclass_WinEnviron::IsWin64OS() {
  logging::CountAndStop guard(log_, kModule, "IsWin64OS");
  std::int32_t result = 0;
  // Looked up by name at run time: systems before XP SP2 have no such entry. Any address
  // but 0 is the entry; read as a signed number, one above 2 GB would pass for missing.
  const std::uintptr_t kernel = platform_.systemInfo.moduleHandle("kernel32");
  const std::uintptr_t entry = platform_.systemInfo.procAddress(kernel, "IsWow64Process");
  if (entry != 0) {
    // The call's answer is the result: a call that fails answers no, which is no error of
    // this procedure, so nothing is logged and the 64-bit folders decide.
    const auto wow64 = platform_.systemInfo.isWow64Process(entry);
    result = wow64.ok() && wow64.value ? 1 : 0;
  }
  return result;
}

}  // namespace tlv::environment
