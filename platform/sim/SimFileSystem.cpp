// Sim only: the in-memory file system.
#include "platform/sim/SimFileSystem.h"

#include "platform/WindowsPath.h"

namespace tlv::platform::sim {

namespace {

// "c:/Tools\\x\" -> "C:\TOOLS\X": one backslash between names, none at the end but at a root.
std::string keyOf(const std::string& path) {
  std::string key;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !key.empty() && key.back() == '\\') continue;
    key += c;
  }
  if (key.size() > 3 && key.back() == '\\') key.pop_back();
  if (key.size() == 2 && key[1] == ':') key += '\\';
  return upperCase(key);
}

bool endsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string parentKey(const std::string& key) {
  const std::size_t slash = key.rfind('\\');
  if (slash == std::string::npos || key.size() <= 3) return {};
  return slash == 2 ? key.substr(0, 3) : key.substr(0, slash);
}

std::string lastName(const std::string& path) {
  std::string trimmed = path;
  while (endsWithSeparator(trimmed)) trimmed.pop_back();
  const std::size_t slash = trimmed.find_last_of("\\/");
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

}  // namespace

class SimTextFile final : public TextFile {
 public:
  SimTextFile(SimFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {}
  Win32Error writeLine(std::string_view text) override {
    if (Win32Error e = fs_.faults_.enter(Call::FilesWriteLine)) return e;
    if (closed_) return err::kInvalidHandle;
    SimFileSystem::Node* node = fs_.find(key_);
    if (!node) return err::kInvalidHandle;
    node->data.append(text).append("\r\n");
    node->lastWrite = ++fs_.writes_;
    return err::kSuccess;
  }
  Win32Error close() override {
    if (closed_) return err::kSuccess;
    closed_ = true;
    return fs_.faults_.enter(Call::FilesClose);
  }

 private:
  SimFileSystem& fs_;
  std::string key_;
  bool closed_ = false;
};

class SimHeldFile final : public HeldFile {
 public:
  SimHeldFile(SimFileSystem& fs, std::string key) : fs_(fs), key_(std::move(key)) {
    if (SimFileSystem::Node* node = fs_.find(key_)) ++node->holders;
  }
  ~SimHeldFile() override {
    // A test may have put another file under the name meanwhile: it holds nothing.
    if (SimFileSystem::Node* node = fs_.find(key_); node && node->holders > 0) --node->holders;
  }
  SimHeldFile(const SimHeldFile&) = delete;
  SimHeldFile& operator=(const SimHeldFile&) = delete;
  Result<std::string> readAll() override {
    using R = Result<std::string>;
    if (Win32Error e = fs_.faults_.enter(Call::FilesReadAll)) return R::failure(e);
    const SimFileSystem::Node* node = fs_.find(key_);
    return node ? R::success(node->data) : R::failure(err::kInvalidHandle);
  }
  Result<FileLinks> links() override {
    using R = Result<FileLinks>;
    if (Win32Error e = fs_.faults_.enter(Call::FilesLinks)) return R::failure(e);
    const SimFileSystem::Node* node = fs_.find(key_);
    if (!node) return R::failure(err::kInvalidHandle);
    return R::success({node->names, (node->attributes & attr::kReparsePoint) != 0});
  }
  Result<std::int64_t> length() override {
    using R = Result<std::int64_t>;
    if (Win32Error e = fs_.faults_.enter(Call::FilesHeldLength)) return R::failure(e);
    const SimFileSystem::Node* node = fs_.find(key_);
    return node ? R::success(static_cast<std::int64_t>(node->data.size())) : R::failure(err::kInvalidHandle);
  }

 private:
  SimFileSystem& fs_;
  std::string key_;
};

SimFileSystem::SimFileSystem(SimFaults& faults) : faults_(faults) { addFolder("C:\\"); }

bool SimFileSystem::validKey(const std::string& key) {
  return key.size() >= 3 && key[1] == ':' && key[2] == '\\' && key[0] >= 'A' && key[0] <= 'Z';
}

SimFileSystem::Node* SimFileSystem::find(const std::string& key) {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

const SimFileSystem::Node* SimFileSystem::find(const std::string& key) const {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : &it->second;
}

Win32Error SimFileSystem::missing(const std::string& key) const {
  return find(parentKey(key)) ? err::kFileNotFound : err::kPathNotFound;
}

SimFileSystem::Node& SimFileSystem::putFile(const std::string& key, const std::string& path, std::string_view bytes,
                                            std::uint32_t attributes) {
  Node& node = nodes_[key] = Node{lastName(path), false, std::string(bytes), attributes, std::nullopt};
  node.lastWrite = ++writes_;
  return node;
}

void SimFileSystem::addFolder(const std::string& path, std::uint32_t attributes) {
  const std::string key = keyOf(path);
  if (!validKey(key)) return;
  const std::string parent = parentKey(key);
  if (!parent.empty() && !find(parent)) addFolder(parent);
  nodes_[key] = Node{lastName(path), true, {}, attributes | attr::kDirectory, std::nullopt};
}

void SimFileSystem::addFile(const std::string& path, const std::string& bytes, std::uint32_t attributes) {
  const std::string key = keyOf(path);
  if (!validKey(key)) return;
  const std::string parent = parentKey(key);
  if (!parent.empty() && !find(parent)) addFolder(parent);
  putFile(key, path, bytes, attributes);
}

void SimFileSystem::remove(const std::string& path) {
  const std::string key = keyOf(path);
  const std::string prefix = key.back() == '\\' ? key : key + '\\';
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    it = (it->first == key || it->first.starts_with(prefix)) ? nodes_.erase(it) : std::next(it);
  }
}

void SimFileSystem::setAttributes(const std::string& path, std::uint32_t attributes) {
  if (Node* node = find(keyOf(path))) node->attributes = attributes | (node->folder ? attr::kDirectory : 0);
}

void SimFileSystem::setNameCount(const std::string& path, std::uint32_t names) {
  if (Node* node = find(keyOf(path)); node && !node->folder) node->names = names;
}

void SimFileSystem::setProductVersion(const std::string& path, const ProductVersion& product) {
  if (Node* node = find(keyOf(path)); node && !node->folder) node->product = product;
}

void SimFileSystem::denyWritesIn(const std::string& folder) { deniedFolders_.insert(keyOf(folder)); }

void SimFileSystem::markRunning(const std::string& path, bool renamable) {
  if (Node* node = find(keyOf(path)); node && !node->folder) {
    node->image = renamable ? Node::Image::Running : Node::Image::RunningFixed;
  }
}

bool SimFileSystem::exists(const std::string& path) const { return find(keyOf(path)) != nullptr; }

std::string SimFileSystem::contents(const std::string& path) const {
  const Node* node = find(keyOf(path));
  return node && !node->folder ? node->data : std::string{};
}

std::map<std::string, std::string> SimFileSystem::allFiles() const {
  std::map<std::string, std::string> files;
  for (const auto& [key, node] : nodes_) {
    if (!node.folder) files.emplace(key, node.data);
  }
  return files;
}

Win32Error SimFileSystem::checkWritable(const std::string& key) const {
  if (!validKey(key)) return err::kInvalidName;
  const Node* parent = find(parentKey(key));
  if (!parent || !parent->folder) return err::kPathNotFound;
  if (deniedFolders_.count(parentKey(key))) return err::kAccessDenied;
  if (const Node* node = find(key)) {
    if (node->folder || (node->attributes & attr::kReadOnly)) return err::kAccessDenied;
    if (node->holders > 0) return err::kSharingViolation;
    if (node->image != Node::Image::None) return err::kAccessDenied;
  }
  return err::kSuccess;
}

Result<std::int64_t> SimFileSystem::fileLength(const std::string& path) {
  using R = Result<std::int64_t>;
  if (Win32Error e = faults_.enter(Call::FilesFileLength)) return R::failure(e);
  const std::string key = keyOf(path);
  const Node* node = find(key);
  if (!node) return R::failure(missing(key));
  if (node->folder || endsWithSeparator(path)) return R::failure(err::kFileNotFound);
  return R::success(static_cast<std::int64_t>(node->data.size()));
}

Result<std::uint32_t> SimFileSystem::fileAttributes(const std::string& path) {
  using R = Result<std::uint32_t>;
  if (Win32Error e = faults_.enter(Call::FilesFileAttributes)) return R::failure(e);
  const std::string key = keyOf(path);
  const Node* node = find(key);
  if (!node) return R::failure(missing(key));
  if (!node->folder && endsWithSeparator(path)) return R::failure(err::kInvalidName);
  return R::success(node->attributes);
}

Result<std::unique_ptr<TextFile>> SimFileSystem::openText(const std::string& path, OpenMode mode) {
  using R = Result<std::unique_ptr<TextFile>>;
  if (Win32Error e = faults_.enter(Call::FilesOpenText)) return R::failure(e);
  const std::string key = keyOf(path);
  if (Win32Error e = checkWritable(key)) return R::failure(e);
  Node* node = find(key);
  if (!node) {
    nodes_[key] = Node{lastName(path), false, {}, attr::kArchive, std::nullopt};
  } else if (mode == OpenMode::Output) {
    node->data.clear();
    node->product.reset();  // a text file written over a program is no program any more
  }
  return R::success(std::make_unique<SimTextFile>(*this, key));
}

Result<std::string> SimFileSystem::readWholeFile(const std::string& path) {
  using R = Result<std::string>;
  if (Win32Error e = faults_.enter(Call::FilesReadWholeFile)) return R::failure(e);
  const std::string key = keyOf(path);
  const Node* node = find(key);
  if (!node) return R::failure(err::kFileNotFound);
  if (node->folder) return R::failure(err::kAccessDenied);
  return R::success(node->data);
}

Result<ProductVersion> SimFileSystem::productVersion(const std::string& path) {
  using R = Result<ProductVersion>;
  if (Win32Error e = faults_.enter(Call::FilesProductVersion)) return R::failure(e);
  const std::string key = keyOf(path);
  const Node* node = find(key);
  if (!node) return R::failure(err::kFileNotFound);
  if (node->folder) return R::failure(err::kAccessDenied);
  if (!node->product) return R::failure(err::kResourceTypeNotFound);
  return R::success(*node->product);
}

Win32Error SimFileSystem::deleteFile(const std::string& path) {
  if (Win32Error e = faults_.enter(Call::FilesDeleteFile)) return e;
  const std::string key = keyOf(path);
  if (!find(key)) return missing(key);
  if (Win32Error e = checkWritable(key)) return e;
  nodes_.erase(key);
  return err::kSuccess;
}

Result<std::unique_ptr<HeldFile>> SimFileSystem::holdForReading(const std::string& path) {
  using R = Result<std::unique_ptr<HeldFile>>;
  if (Win32Error e = faults_.enter(Call::FilesHoldForReading)) return R::failure(e);
  const std::string key = keyOf(path);
  const Node* node = find(key);
  if (!node) return R::failure(missing(key));
  if (node->folder) return R::failure(err::kAccessDenied);
  return R::success(std::make_unique<SimHeldFile>(*this, key));
}

Win32Error SimFileSystem::writeNewFile(const std::string& path, std::string_view bytes) {
  const Win32Error fault = faults_.enter(Call::FilesWriteNewFile);
  const std::string key = keyOf(path);
  if (Win32Error e = checkWritable(key)) return e;
  putFile(key, path, fault ? bytes.substr(0, bytes.size() / 2) : bytes);
  return fault;
}

Win32Error SimFileSystem::createNewFile(const std::string& path, std::string_view bytes, FileProtection protection) {
  if (Win32Error e = faults_.enter(Call::FilesCreateNewFile)) return e;
  const std::string key = keyOf(path);
  if (find(key)) return err::kFileExists;
  if (Win32Error e = checkWritable(key)) return e;
  putFile(key, path, bytes).protection = protection;
  return err::kSuccess;
}

FileProtection SimFileSystem::protectionOf(const std::string& path) const {
  const Node* node = find(keyOf(path));
  return node ? node->protection : FileProtection::Inherited;
}

Win32Error SimFileSystem::moveFile(const std::string& source, const std::string& target) {
  if (Win32Error e = faults_.enter(Call::FilesMoveFile)) return e;
  const std::string sourceKey = keyOf(source);
  const Node* from = find(sourceKey);
  if (!from) return missing(sourceKey);
  if (from->folder || from->image == Node::Image::RunningFixed) return err::kAccessDenied;
  if (from->holders > 0) return err::kSharingViolation;
  if (deniedFolders_.count(parentKey(sourceKey))) return err::kAccessDenied;
  const std::string targetKey = keyOf(target);
  // Replacing a held file is refused as access denied, not as a sharing violation.
  if (Win32Error e = checkWritable(targetKey)) return e == err::kSharingViolation ? err::kAccessDenied : e;
  if (targetKey == sourceKey) return err::kSuccess;
  Node moved = *from;
  moved.name = lastName(target);
  nodes_.erase(sourceKey);
  nodes_[targetKey] = std::move(moved);
  return err::kSuccess;
}

Win32Error SimFileSystem::moveFileAtRestart(const std::string& source, const std::string& target) {
  if (Win32Error e = faults_.enter(Call::FilesMoveFileAtRestart)) return e;
  if (!find(keyOf(source))) return err::kFileNotFound;
  movesAtRestart_.emplace_back(source, target);
  return err::kSuccess;
}

Result<std::vector<std::pair<std::string, std::string>>> SimFileSystem::movesAtRestart() {
  using R = Result<std::vector<std::pair<std::string, std::string>>>;
  if (Win32Error e = faults_.enter(Call::FilesMovesAtRestart)) return R::failure(e);
  return R::success(movesAtRestart_);
}

void SimFileSystem::setSecurity(const std::string& path, SecurityDescriptor descriptor) {
  if (Node* node = find(keyOf(path))) node->security = std::move(descriptor);
}

Win32Error SimFileSystem::grantToFolder(const std::string& folder, const std::string& sid, std::uint32_t rights) {
  if (Win32Error e = faults_.enter(Call::FilesGrantToFolder)) return e;
  Node* node = find(keyOf(folder));
  if (!node) return err::kFileNotFound;
  if (!node->folder || (node->attributes & attr::kReparsePoint)) return err::kDirectory;
  if (!node->security) return err::kNotSupported;
  node->security->entries.push_back({sid, rights, true, false});
  return err::kSuccess;
}

Win32Error SimFileSystem::makeSecuredFolder(const std::string& folder, const SecurityDescriptor& security) {
  if (Win32Error e = faults_.enter(Call::FilesMakeSecuredFolder)) return e;
  const std::string key = keyOf(folder);
  Node* node = find(key);
  if (!node) {
    if (Win32Error e = checkWritable(key)) return e;
    const bool keepsRights = find(parentKey(key))->security.has_value();  // as the parent's file system
    node = &(nodes_[key] = Node{lastName(folder), true, {}, attr::kDirectory, std::nullopt});
    if (keepsRights) node->security = SecurityDescriptor{};
  }
  if (!node->folder || (node->attributes & attr::kReparsePoint)) return err::kDirectory;
  if (!node->security) return err::kNotSupported;
  node->security = security;
  return err::kSuccess;
}

Result<SecurityDescriptor> SimFileSystem::security(const std::string& path) {
  using R = Result<SecurityDescriptor>;
  if (Win32Error e = faults_.enter(Call::FilesSecurity)) return R::failure(e);
  const std::string key = keyOf(path);
  const Node* node = find(key);
  if (!node) return R::failure(err::kFileNotFound);
  return node->security ? R::success(*node->security) : R::failure(err::kNotSupported);
}

Result<std::string> SimFileSystem::fullPath(const std::string& path) {
  using R = Result<std::string>;
  if (Win32Error e = faults_.enter(Call::FilesFullPath)) return R::failure(e);
  if (path.empty()) return R::failure(err::kInvalidName);
  return R::success(fullPathIn(path, currentFolder_));
}

Result<std::vector<FolderEntry>> SimFileSystem::listFolder(const std::string& folder) {
  using R = Result<std::vector<FolderEntry>>;
  if (Win32Error e = faults_.enter(Call::FilesListFolder)) return R::failure(e);
  const std::string key = keyOf(folder);
  const Node* node = find(key);
  if (!node || !node->folder) return R::failure(err::kPathNotFound);
  std::vector<FolderEntry> entries;
  if (key.size() > 3) {
    entries.push_back({".", attr::kDirectory});
    entries.push_back({"..", attr::kDirectory});
  }
  for (const auto& [childKey, child] : nodes_) {
    if (childKey != key && parentKey(childKey) == key) entries.push_back({child.name, child.attributes, child.lastWrite});
  }
  return R::success(std::move(entries));
}

}  // namespace tlv::platform::sim
