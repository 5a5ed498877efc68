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

// Appends the lines and closes the file; false at the first thing that fails.
bool appendLines(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines) {
  auto file = files.openText(path, OpenMode::Append);
  if (!file.ok()) return false;
  for (const std::string& line : lines) {
    if (file.value->writeLine(line) != err::kSuccess) return false;
  }
  return file.value->close() == err::kSuccess;
}

}  // namespace

std::int32_t clsRegistryAccess::ExportToReg(const std::string& sPath, const std::string& sRegFile,
                                            bool IncludeSubkeys, SettableText* Output) {
  if (platform_.files.fileLength(sRegFile).ok()) return 0;  // an existing file is left untouched
  auto file = platform_.files.openText(sRegFile, OpenMode::Output);
  if (!file.ok()) return 0;
  if (file.value->writeLine(regfile::kHeader) != err::kSuccess || file.value->writeLine("") != err::kSuccess ||
      file.value->close() != err::kSuccess) {
    return 0;
  }
  return ExportKeyToReg(sPath, sRegFile, IncludeSubkeys, Output) ? 1 : 0;
}

bool clsRegistryAccess::ExportKeyToReg(const std::string& sPath, const std::string& sRegFile, bool IncludeSubkeys,
                                       SettableText* Output) {
  const std::string keyPath = withLongRootName(sPath);
  if (Output) Output->setText(keyPath);

  std::vector<std::string> block{"[" + keyPath + "]"};
  const std::string noDefault(1, '\0');
  if (ReadString(sPath, "", noDefault) != noDefault) block.push_back("@=" + quoted(ReadString(sPath, "", "")));

  std::vector<std::string> names;
  std::vector<RegistryVariant> values;
  const std::int32_t strings = EnumValues(sPath, names, values, regtype::kString);
  for (std::int32_t i = 0; i < strings; ++i) {
    // The default value has its own line above.
    if (!names[i].empty()) block.push_back(quoted(names[i]) + "=" + quoted(std::get<std::string>(values[i])));
  }
  const std::int32_t binaries = EnumValues(sPath, names, values, regtype::kBinary);
  for (std::int32_t i = 0; i < binaries; ++i) {
    block.push_back(quoted(names[i]) + "=hex:" + commaSeparated(std::get<std::string>(values[i])));
  }
  const std::int32_t numbers = EnumValues(sPath, names, values, regtype::kDword);
  for (std::int32_t i = 0; i < numbers; ++i) {
    block.push_back(quoted(names[i]) + "=dword:" + eightHexDigits(std::get<std::int32_t>(values[i])));
  }
  block.emplace_back();
  if (!appendLines(platform_.files, sRegFile, block)) return false;

  if (IncludeSubkeys) {
    std::vector<std::string> subkeys;
    EnumKeys(sPath, subkeys);  // -1 leaves the list empty
    for (const std::string& subkey : subkeys) {
      if (!ExportKeyToReg(sPath + "\\" + subkey, sRegFile, IncludeSubkeys, Output)) return false;
    }
  }
  return true;
}

}  // namespace tlv::registry
