// Native: a file-system port that passes everything to the sim's file system and keeps the
// paths the program tried to create, write, replace or delete, whether or not it could.
#pragma once

#include <string>
#include <vector>

#include "platform/Files.h"

namespace tlv::testing {

class RecordingFiles final : public platform::FileSystem {
 public:
  explicit RecordingFiles(platform::FileSystem& inner) : inner_(inner) {}

  const std::vector<std::string>& writeTargets() const { return writeTargets_; }

  platform::Result<std::int64_t> fileLength(const std::string& path) override { return inner_.fileLength(path); }
  platform::Result<std::uint32_t> fileAttributes(const std::string& path) override {
    return inner_.fileAttributes(path);
  }
  platform::Result<std::unique_ptr<platform::TextFile>> openText(const std::string& path,
                                                                 platform::OpenMode mode) override {
    writeTargets_.push_back(path);
    return inner_.openText(path, mode);
  }
  platform::Result<std::string> readWholeFile(const std::string& path) override { return inner_.readWholeFile(path); }
  platform::Win32Error deleteFile(const std::string& path) override {
    writeTargets_.push_back(path);
    return inner_.deleteFile(path);
  }
  platform::Win32Error copyFile(const std::string& source, const std::string& target) override {
    writeTargets_.push_back(target);
    return inner_.copyFile(source, target);
  }
  platform::Result<std::vector<platform::FolderEntry>> listFolder(const std::string& folder) override {
    return inner_.listFolder(folder);
  }

 private:
  platform::FileSystem& inner_;
  std::vector<std::string> writeTargets_;
};

}  // namespace tlv::testing
