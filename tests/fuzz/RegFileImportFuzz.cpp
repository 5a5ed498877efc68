// Fuzz target: any bytes as a .reg file for ImportFromReg on a fresh sim machine, then the
// registry it leaves exported again. Neither may crash, leave a key open or fail untold. Key
// lines carry any text to the path split, hex lines to hexToBytes, the export to bytesToHex.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/SimMachine.h"
#include "registry/clsRegistryAccess.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tlv::platform::sim::SimMachine machine;
  machine.files.addFile("C:\\Fuzz\\in.reg", std::string(reinterpret_cast<const char*>(data), size));
  tlv::platform::Platform platform = machine.platform();
  tlv::registry::clsRegistryAccess reg(platform);

  const std::int32_t imported = reg.ImportFromReg("C:\\Fuzz\\in.reg");
  if (imported != 0 && imported != 1) __builtin_trap();
  if (machine.registry.openHandleCount() != 0) __builtin_trap();
  // Whatever names and data the file left behind, the writer takes them.
  if (reg.ExportToReg("HKEY_CURRENT_USER", "C:\\Fuzz\\out.reg", true) != 1) __builtin_trap();
  if (machine.registry.openHandleCount() != 0) __builtin_trap();
  return 0;
}
