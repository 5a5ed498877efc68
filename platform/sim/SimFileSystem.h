// Sim only: an in-memory Windows file system with drive-letter paths, names without regard
// to case, the real calls' error codes, and folders that refuse writes.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Files.h"
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

class SimFileSystem final : public FileSystem {
 public:
  explicit SimFileSystem(SimFaults& faults);

  // Arranging the machine (no faults are injected into these).
  void addFolder(const std::string& path, std::uint32_t attributes = attr::kDirectory);
  void addFile(const std::string& path, const std::string& bytes = {}, std::uint32_t attributes = attr::kArchive);
  void remove(const std::string& path);
  void setAttributes(const std::string& path, std::uint32_t attributes);
  /// Gives an existing file other names elsewhere (hard links): `names` in all.
  void setNameCount(const std::string& path, std::uint32_t names);
  /// Gives an existing file a version resource naming this product; a copy carries it along.
  void setProductVersion(const std::string& path, const ProductVersion& product);
  /// Files in this folder can no longer be created, written, replaced or copied over.
  void denyWritesIn(const std::string& folder);
  /// The file is the image of a running program: it can be renamed, but not written,
  /// replaced or deleted. `renamable` false: not even renamed.
  void markRunning(const std::string& path, bool renamable = true);
  /// The file's descriptor; without one the file system keeps none, as Wine's.
  void setSecurity(const std::string& path, SecurityDescriptor descriptor);
  /// The process's current folder, a full path; "C:\\" at first.
  void setCurrentFolder(std::string folder) { currentFolder_ = std::move(folder); }
  bool exists(const std::string& path) const;
  /// Contents of a file; empty when there is none.
  std::string contents(const std::string& path) const;
  /// Every file's bytes by its upper-case full path: a machine's files before and after a run.
  std::map<std::string, std::string> allFiles() const;

  // FileSystem
  Result<std::int64_t> fileLength(const std::string& path) override;
  Result<std::uint32_t> fileAttributes(const std::string& path) override;
  Result<std::unique_ptr<TextFile>> openText(const std::string& path, OpenMode mode) override;
  Result<std::string> readWholeFile(const std::string& path) override;
  Win32Error deleteFile(const std::string& path) override;
  Result<std::unique_ptr<HeldFile>> holdForReading(const std::string& path) override;
  /// An injected fault leaves the first half of the bytes behind, as a write cut short does.
  Win32Error writeNewFile(const std::string& path, std::string_view bytes) override;
  Win32Error createNewFile(const std::string& path, std::string_view bytes, FileProtection protection) override;
  /// The protection a file was created with (Inherited for any not made by createNewFile).
  FileProtection protectionOf(const std::string& path) const;
  Win32Error moveFile(const std::string& source, const std::string& target) override;
  Win32Error moveFileAtRestart(const std::string& source, const std::string& target) override;
  Result<std::vector<std::pair<std::string, std::string>>> movesAtRestart() override;
  Result<SecurityDescriptor> security(const std::string& path) override;
  Win32Error grantToFolder(const std::string& folder, const std::string& sid, std::uint32_t rights) override;
  Win32Error makeSecuredFolder(const std::string& folder, const SecurityDescriptor& security) override;
  Result<std::vector<FolderEntry>> listFolder(const std::string& folder) override;
  Result<std::string> fullPath(const std::string& path) override;
  Result<ProductVersion> productVersion(const std::string& path) override;

 private:
  friend class SimTextFile;
  friend class SimHeldFile;
  struct Node {
    std::string name;  // as created, for listings
    bool folder = false;
    std::string data;
    std::uint32_t attributes = 0;
    std::optional<ProductVersion> product;  // the version resource of a program file
    int holders = 0;                        // open HeldFile objects: no writes, renames or deletes
    enum class Image { None, Running, RunningFixed } image = Image::None;  // a running program's file
    std::uint64_t lastWrite = 0;  // the order of the last write among all writes
    std::uint32_t names = 1;      // hard links: this one and others elsewhere
    FileProtection protection = FileProtection::Inherited;
    std::optional<SecurityDescriptor> security;  // none: kept by no file system, as Wine's
  };
  static bool validKey(const std::string& key);
  /// The node at a normalised key; nullptr for none, and for a key no node can have.
  Node* find(const std::string& key);
  const Node* find(const std::string& key) const;
  /// The error for a missing file at key: kPathNotFound when its folder is missing too.
  Win32Error missing(const std::string& key) const;
  /// Puts a file at key, as its last write.
  Node& putFile(const std::string& key, const std::string& path, std::string_view bytes,
                std::uint32_t attributes = attr::kArchive);
  /// Error for creating, replacing or deleting the file at key, or success.
  Win32Error checkWritable(const std::string& key) const;

  SimFaults& faults_;
  std::map<std::string, Node> nodes_;  // key: normalised upper-case path
  std::uint64_t writes_ = 0;
  std::string currentFolder_ = "C:\\";
  std::set<std::string> deniedFolders_;
  std::vector<std::pair<std::string, std::string>> movesAtRestart_;
};

}  // namespace tlv::platform::sim
