// Win32 only: the file-system port over kernel32's ANSI file calls.
#pragma once

#include "platform/Files.h"

namespace tlv::platform::win32 {

class Win32FileSystem final : public FileSystem {
 public:
  Result<std::int64_t> fileLength(const std::string& path) override;
  Result<std::uint32_t> fileAttributes(const std::string& path) override;
  Result<std::unique_ptr<TextFile>> openText(const std::string& path, OpenMode mode) override;
  Result<std::string> readWholeFile(const std::string& path) override;
  Win32Error deleteFile(const std::string& path) override;
  Result<std::unique_ptr<HeldFile>> holdForReading(const std::string& path) override;
  Win32Error writeNewFile(const std::string& path, std::string_view bytes) override;
  Win32Error createNewFile(const std::string& path, std::string_view bytes, FileProtection protection) override;
  Win32Error moveFile(const std::string& source, const std::string& target) override;
  Win32Error moveFileAtRestart(const std::string& source, const std::string& target) override;
  Result<std::vector<std::pair<std::string, std::string>>> movesAtRestart() override;
  Result<SecurityDescriptor> security(const std::string& path) override;
  Win32Error grantToFolder(const std::string& folder, const std::string& sid, std::uint32_t rights) override;
  Win32Error makeSecuredFolder(const std::string& folder, const SecurityDescriptor& security) override;
  Result<std::vector<FolderEntry>> listFolder(const std::string& folder) override;
  Result<std::string> fullPath(const std::string& path) override;
  Result<ProductVersion> productVersion(const std::string& path) override;
};

}  // namespace tlv::platform::win32
