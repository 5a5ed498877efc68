// Fuzz target: the registry path split and the long root names of key lines, over any text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "registry/RegistryPath.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tlv::registry;
  const std::string path(reinterpret_cast<const char*>(data), size);
  const SplitPath split = splitRegPath(path);

  // The subkey path is the caller's own text after the first backslash, never rewritten.
  const std::size_t slash = path.find('\\');
  if (split.subKey != (slash == std::string::npos ? std::string() : path.substr(slash + 1))) __builtin_trap();
  bool known = split.rootKey == 0;
  for (const RootName& root : kRootNames) known = known || split.rootKey == static_cast<std::int32_t>(root.handle);
  if (!known) __builtin_trap();

  // A key line written with the long root name addresses the same key again.
  const SplitPath again = splitRegPath(withLongRootName(path));
  if (again.rootKey != split.rootKey || again.subKey != split.subKey) __builtin_trap();
  return 0;
}
