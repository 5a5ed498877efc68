// Portable: ExportToReg, one key (and its subkeys) written to a new REGEDIT4 .reg file. The
// file is open only while one key block is written.
#include <cstdio>

#include "registry/RegFileFormat.h"
#include "registry/RegistryPath.h"
#include "registry/clsRegistryAccess.h"

namespace tlv::registry {

namespace {

using platform::OpenMode;
namespace err = platform::err;
namespace regtype = platform::regtype;

std::string quoted(const std::string& text) { return '"' + text + '"'; }

std::string eightHexDigits(std::int32_t value) {
  char digits[9] = {};
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
  return digits;
}

std::string commaSeparated(std::string hexText) {
  for (char& c : hexText) {
    if (c == ' ') c = ',';
  }
  return hexText;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

// Appends the lines and closes the file; false at the first thing that fails. The lines go
// out in one write.
bool appendLines(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines) {
  const std::string text = joined(lines);
  auto file = files.openText(path, OpenMode::Append);
  if (!file.ok()) return false;
  if (file.value->writeLine(text) != err::kSuccess) return false;
  return file.value->close() == err::kSuccess;
}

}  // namespace

std::int32_t clsRegistryAccess::ExportToReg(const std::string& sPath, const std::string& sRegFile, bool IncludeSubkeys,
                                            SettableText* Output) {
  if (platform_.files.fileLength(sRegFile).ok()) return 0;  // an existing file is left untouched
  auto file = platform_.files.openText(sRegFile, OpenMode::Output);
  if (!file.ok()) return 0;
  if (file.value->writeLine(regfile::kHeader) != err::kSuccess || file.value->writeLine("") != err::kSuccess ||
      file.value->close() != err::kSuccess) {
    return 0;
  }
  const BlockWriter append = [&](const std::vector<std::string>& lines) {
    return appendLines(platform_.files, sRegFile, lines);
  };
  return ExportKeyToReg(sPath, IncludeSubkeys, Output, append) ? 1 : 0;
}

std::optional<std::string> clsRegistryAccess::ExportToRegText(const std::string& sPath, bool IncludeSubkeys) {
  if (!KeyExists(sPath)) return std::nullopt;
  std::string text = std::string(regfile::kHeader) + "\r\n\r\n";
  const BlockWriter append = [&text](const std::vector<std::string>& lines) {
    text += joined(lines) + "\r\n";
    return true;
  };
  if (!ExportKeyToReg(sPath, IncludeSubkeys, nullptr, append)) return std::nullopt;
  return text;
}

bool clsRegistryAccess::ExportKeyToReg(const std::string& sPath, bool IncludeSubkeys, SettableText* Output,
                                       const BlockWriter& write) {
  const std::string keyPath = withLongRootName(sPath);
  if (Output) Output->setText(keyPath);

  std::vector<std::string> block{"[" + keyPath + "]"};
  const std::string noDefault(1, '\0');
  // A read that falls back to a lone NUL finds no default value; a read that succeeds gives
  // the same text whatever the fallback, so one read serves both.
  const std::string defaultText = ReadString(sPath, "", noDefault);
  if (defaultText != noDefault) block.push_back("@=" + quoted(defaultText));

  // Strings (the default value has its own line above), then binaries, then numbers, each
  // group in the registry's order; one listing serves all three.
  const std::vector<ListedValue> values = listValues(sPath, -1).value_or(std::vector<ListedValue>{});
  for (const ListedValue& item : values) {
    if (item.type == regtype::kString && !item.name.empty()) {
      block.push_back(quoted(item.name) + "=" + quoted(std::get<std::string>(item.value)));
    }
  }
  for (const ListedValue& item : values) {
    if (item.type == regtype::kBinary) {
      block.push_back(quoted(item.name) + "=hex:" + commaSeparated(std::get<std::string>(item.value)));
    }
  }
  for (const ListedValue& item : values) {
    if (item.type == regtype::kDword) {
      block.push_back(quoted(item.name) + "=dword:" + eightHexDigits(std::get<std::int32_t>(item.value)));
    }
  }
  block.emplace_back();
  if (!write(block)) return false;

  if (IncludeSubkeys) {
    std::vector<std::string> subkeys;
    EnumKeys(sPath, subkeys);  // -1 leaves the list empty
    for (const std::string& subkey : subkeys) {
      if (!ExportKeyToReg(sPath + "\\" + subkey, IncludeSubkeys, Output, write)) return false;
    }
  }
  return true;
}

}  // namespace tlv::registry
