// Portable: registry path text and the root-name table.
#include "registry/RegistryPath.h"

#include "platform/WindowsPath.h"
#include "registry/TextRules.h"

namespace tlv::registry {

SplitPath splitRegPath(std::string_view path) {
  // Only the leading root is rewritten: a root name further on is part of a key's name.
  std::string text(path);
  for (const RootName& root : kRootNames) {
    if (startsWithNoCase(text, root.longName)) {
      text.replace(0, root.longName.size(), root.shortName);
      break;
    }
  }
  SplitPath split;
  const std::size_t slash = text.find('\\');
  const std::string rootName = platform::upperCase(slash == std::string::npos ? text : text.substr(0, 4));
  if (slash != std::string::npos) split.subKey = text.substr(slash + 1);
  for (const RootName& root : kRootNames) {
    if (rootName == root.shortName) split.rootKey = platform::keyNumber(root.handle);
  }
  return split;
}

std::string withLongRootName(std::string_view path) {
  for (const RootName& root : kRootNames) {
    if (startsWithNoCase(path, root.shortName)) return std::string(root.longName).append(path.substr(4));
  }
  return std::string(path);
}

}  // namespace tlv::registry
