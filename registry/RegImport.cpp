// Portable: ImportFromReg, a REGEDIT4 .reg file applied to the registry through the class's
// own key and value operations.
#include <optional>

#include "registry/RegFileFormat.h"
#include "registry/clsRegistryAccess.h"

namespace tlv::registry {

std::int32_t clsRegistryAccess::ImportFromReg(const std::string& sRegFile) {
  using regfile::LineKind;
  // Keys come into being through the writes of their values.
  bCreateKey = true;
  if (!platform_.files.fileLength(sRegFile).ok()) return 0;
  const auto text = platform_.files.readWholeFile(sRegFile);
  if (!text.ok()) return 0;
  const std::vector<std::string_view> lines = regfile::splitLines(text.value);
  if (!regfile::isHeader(lines.front())) return 0;

  std::optional<std::string> block;  // the key whose value lines follow, if any
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string cleaned = regfile::cleanLine(lines[i]);
    const bool keyLine = !cleaned.empty() && cleaned.front() == '[';
    if (!keyLine && !block) continue;  // outside a key block, or after a key deletion
    const regfile::RegLine line = regfile::parseLine(cleaned);
    // The results of single writes and deletions are not examined: a refused one does not stop
    // the import.
    switch (line.kind) {
      case LineKind::Malformed:
        return 0;  // what was applied so far stays
      case LineKind::Other:
        break;
      case LineKind::KeyDeletion:
        KillKey(line.path);
        block.reset();
        break;
      case LineKind::KeyBlock:
        block = line.path;
        break;
      case LineKind::ValueDeletion:
        KillValue(*block, line.name);
        break;
      case LineKind::Binary:
        WriteBinary(*block, line.name, line.data);
        break;
      case LineKind::Dword:
        WriteDWORD(*block, line.name, line.number);
        break;
      case LineKind::String:
        WriteString(*block, line.name, line.data);
        // "@" with empty text removes the default value rather than leaving it empty.
        if (line.name == "@" && line.data.empty()) KillValue(*block, "");
        break;
    }
  }
  return 1;
}

}  // namespace tlv::registry
