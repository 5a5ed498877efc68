// Portable: clsRegistryAccess, the program's one way into the registry. Keys and values are
// named by one path string ("HKLM\SYSTEM\..."); binary data travels as hex text; keys can be
// saved to and applied from REGEDIT4 .reg files. Members stand in the class's published
// order, the two private helpers among them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Platform.h"

namespace tlv::registry {

/// A display whose text the export sets to each key's full path before writing its block.
class SettableText {
 public:
  virtual ~SettableText() = default;
  virtual void setText(const std::string& text) = 0;
};

/// One listed value: a string, a 32-bit number, or nothing for types the class does not read.
using RegistryVariant = std::variant<std::monostate, std::string, std::int32_t>;

/// Results: a handle result is 0 on failure and otherwise the numeric value of the key handle
/// used (already closed); a count is -1 when the key cannot be opened. Reads fall back to the
/// caller's default. Nothing is logged or shown; no handle outlives a call.
class clsRegistryAccess {
 public:
  explicit clsRegistryAccess(platform::Platform& platform);

  /// Let/Get. Should key will be created if no exists (when writting data to registry)
  void CreateKeyIfDoesntExists(bool offon);
  /// Let/Get. Should key will be created if no exists (when writting data to registry)
  bool CreateKeyIfDoesntExists() const;

 private:
  void SplitRegPath(const std::string& sPath);

 public:
  /// Creates key in registry...
  std::int32_t CreateKey(const std::string& sPath);
  /// Deletes key from registry...
  std::int32_t KillKey(const std::string& sPath);
  /// Checks if some key exists...
  bool KeyExists(const std::string& sPath);
  /// Enumerates subkeys of some key...
  std::int32_t EnumKeys(const std::string& sPath, std::vector<std::string>& Key);
  /// Checks for subkeys in some key...
  bool HaveSubkey(const std::string& sPath);
  /// Writes data of string type...
  std::int32_t WriteString(const std::string& sPath, const std::string& sName, const std::string& sValue);
  /// Reads data of string type...
  std::string ReadString(const std::string& sPath, const std::string& sName, const std::string& sDefault);
  /// Writes data of dword type...
  std::int32_t WriteDWORD(const std::string& sPath, const std::string& sName, std::int32_t lValue);
  /// Reads data of dword type...
  std::int32_t ReadDWORD(const std::string& sPath, const std::string& sName, std::int32_t lDefault);
  /// Writes data of binary type...
  std::int32_t WriteBinary(const std::string& sPath, const std::string& sName, const std::string& sValue);
  /// Reads data of binary type...
  std::string ReadBinary(const std::string& sPath, const std::string& sName, const std::string& sDefault);
  /// Deletes value from registry...
  std::int32_t KillValue(const std::string& sPath, const std::string& sName);
  /// Checks if some value exists in registry
  bool ValueExists(const std::string& sPath, const std::string& sName);
  /// Enumerates all values from specified key...
  std::int32_t EnumValues(const std::string& sPath, std::vector<std::string>& sName,
                          std::vector<RegistryVariant>& sValue, std::int32_t OnlyType);
  /// Exports contents of some key (and it's subkeys) to .reg file...
  std::int32_t ExportToReg(const std::string& sPath, const std::string& sRegFile, bool IncludeSubkeys,
                           SettableText* Output = nullptr);
  /// The same REGEDIT4 text as ExportToReg writes, in memory; nullopt when the key cannot be read.
  std::optional<std::string> ExportToRegText(const std::string& sPath, bool IncludeSubkeys);

 private:
  /// Takes one key block's lines; false stops the export.
  using BlockWriter = std::function<bool(const std::vector<std::string>& lines)>;
  bool ExportKeyToReg(const std::string& sPath, bool IncludeSubkeys, SettableText* Output, const BlockWriter& write);

 public:
  /// Imports .reg file into registry...
  std::int32_t ImportFromReg(const std::string& sRegFile);
  /// Converts hex (string) into it's binary value...
  std::string StrToBin(std::string& sBin);
  /// Converts binary data into string...
  std::string BinToStr(const std::string& sStr);
  /// Checks if given binary data is in valid hex format (used for writting binary)
  bool isBinValid(const std::string& sBin);

 private:
  /// Opens the key of the last split with this access (the plain open call when nullopt).
  /// A root name that was not recognised fails here, without a registry call: the plain open
  /// would hand the invalid root back as if it were open.
  platform::Result<platform::ScopedRegKey> openSplitKey(std::optional<std::uint32_t> access);
  /// Creates (or opens) the key of the last split; an unknown root fails without a call.
  platform::Result<platform::ScopedRegKey> createSplitKey();
  /// One value as the enumeration lists it, with its registry type.
  struct ListedValue {
    std::string name;
    std::uint32_t type = 0;
    RegistryVariant value;
  };
  /// The values of the key at sPath of one type (-1: every type) in the registry's order;
  /// nullopt when the key cannot be opened.
  std::optional<std::vector<ListedValue>> listValues(const std::string& sPath, std::int32_t OnlyType);
  /// One value of an enumeration, read in full when it does not fit the usual buffers.
  platform::Result<platform::RegValueEntry> enumValueAt(platform::RegKey key, std::uint32_t index);
  /// The three writes: the key is created first when it is missing and the switch allows it.
  std::int32_t writeValue(const std::string& sPath, const std::string& name, std::uint32_t type,
                          const std::string& bytes);
  std::int32_t storeValue(platform::RegKey key, const std::string& name, std::uint32_t type, const std::string& bytes);

  platform::Platform& platform_;
  std::int32_t lRootKey = 0;
  platform::RegKey lKeyHandle = platform::hkey::kNone;
  std::string sSubKey;
  bool bCreateKey = true;
};

}  // namespace tlv::registry
