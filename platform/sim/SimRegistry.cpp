// Sim only: the in-memory registry. Its answers are those Wine gives through the ANSI calls,
// limits included: a subkey path over 260 characters does not pass the ANSI conversion
// (234), a single key name over 256 characters is invalid (87).
#include "platform/sim/SimRegistry.h"

#include <algorithm>

namespace tlv::platform::sim {

namespace {

constexpr std::size_t kMaxAnsiSubKey = 260;
constexpr std::size_t kMaxKeyName = 256;
constexpr std::size_t kMaxValueName = 16383;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Wine keeps names in this order: lower-cased, then compared byte by byte.
bool nameLess(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
  });
}

bool sameName(std::string_view a, std::string_view b) { return !nameLess(a, b) && !nameLess(b, a); }

bool isStringType(std::uint32_t type) {
  return type == regtype::kString || type == regtype::kExpandString || type == regtype::kMultiString;
}

// An ANSI call sees a name up to its first NUL.
std::string cString(const std::string& text) { return text.substr(0, text.find('\0')); }

/// The key names of a subkey path, or the error the system gives for it.
Result<std::vector<std::string>> parseSubKey(const std::string& path) {
  using R = Result<std::vector<std::string>>;
  const std::string subKey = cString(path);
  if (subKey.size() > kMaxAnsiSubKey) return R::failure(err::kMoreData);
  if (!subKey.empty() && subKey.front() == '\\') return R::failure(err::kBadPathname);
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= subKey.size()) {
    std::size_t end = subKey.find('\\', start);
    if (end == std::string::npos) end = subKey.size();
    if (end > start) {
      if (end - start > kMaxKeyName) return R::failure(err::kInvalidParameter);
      names.push_back(subKey.substr(start, end - start));
    }
    start = end + 1;
  }
  return R::success(std::move(names));
}

}  // namespace

struct SimRegistry::Node {
  struct Value {
    std::string name;
    std::uint32_t type = regtype::kNone;
    std::string data;
  };

  std::string name;
  Node* parent = nullptr;  // the owner; nullptr for a root or a deleted key
  bool deleted = false;
  std::uint32_t denied = 0;
  std::optional<SecurityDescriptor> security;
  std::vector<NodePtr> children;  // in name order
  std::vector<Value> values;      // in name order

  template <class List>
  static auto position(List& list, std::string_view name) {
    return std::lower_bound(list.begin(), list.end(), name,
                            [](const auto& item, std::string_view n) { return nameLess(nameOf(item), n); });
  }
  static std::string_view nameOf(const NodePtr& child) { return child->name; }
  static std::string_view nameOf(const Value& value) { return value.name; }

  NodePtr child(std::string_view childName) const {
    auto it = position(children, childName);
    return it != children.end() && sameName((*it)->name, childName) ? *it : nullptr;
  }
  const Value* value(std::string_view valueName) const {
    auto it = position(values, valueName);
    return it != values.end() && sameName(it->name, valueName) ? &*it : nullptr;
  }
  // A string read through the ANSI calls gains the NUL it was stored without.
  static std::string readable(const Value& v) {
    if (isStringType(v.type) && !v.data.empty() && v.data.back() != '\0') return v.data + '\0';
    return v.data;
  }
};

SimRegistry::SimRegistry(SimFaults& faults) : faults_(faults) {
  for (RegKey root : {hkey::kClassesRoot, hkey::kCurrentUser, hkey::kLocalMachine, hkey::kUsers, hkey::kPerformanceData,
                      hkey::kCurrentConfig, hkey::kDynData}) {
    roots_[root] = Handle{std::make_shared<Node>(), keyaccess::kAllAccess};
  }
  addKey(hkey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  addKey(hkey::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services");
}

SimRegistry::~SimRegistry() = default;

void SimRegistry::addKey(RegKey root, const std::string& subKey) {
  auto names = parseSubKey(subKey);
  // Arranging the machine: a refused create leaves the key out, which the test then shows.
  if (names.ok() && roots_.count(root)) static_cast<void>(walkCreating(roots_.at(root).node, names.value));
}

void SimRegistry::denyAccess(RegKey root, const std::string& subKey, std::uint32_t rights) {
  auto names = parseSubKey(subKey);
  if (!names.ok() || !roots_.count(root)) return;
  if (NodePtr node = walk(roots_.at(root).node, names.value)) node->denied |= rights;
}

void SimRegistry::setSecurity(RegKey root, const std::string& subKey, SecurityDescriptor descriptor) {
  auto names = parseSubKey(subKey);
  if (!names.ok() || !roots_.count(root)) return;
  if (NodePtr node = walk(roots_.at(root).node, names.value)) node->security = std::move(descriptor);
}

const SimRegistry::Handle* SimRegistry::resolve(RegKey key) const {
  if (auto root = roots_.find(key); root != roots_.end()) return &root->second;
  auto open = handles_.find(key);
  return open == handles_.end() ? nullptr : &open->second;
}

RegKey SimRegistry::hand(NodePtr node, std::uint32_t granted) {
  const auto key = static_cast<RegKey>(nextHandle_);
  nextHandle_ += 4;
  handles_[key] = Handle{std::move(node), granted};
  return key;
}

SimRegistry::NodePtr SimRegistry::walk(const NodePtr& from, const std::vector<std::string>& names) {
  NodePtr node = from;
  for (const std::string& name : names) {
    node = node->child(name);
    if (!node) return nullptr;
  }
  return node;
}

Result<SimRegistry::NodePtr> SimRegistry::walkCreating(const NodePtr& from, const std::vector<std::string>& names) {
  NodePtr node = from;
  for (const std::string& name : names) {
    NodePtr next = node->child(name);
    if (!next) {
      if (node->denied & keyaccess::kCreateSubKey) return Result<NodePtr>::failure(err::kAccessDenied);
      next = std::make_shared<Node>();
      next->name = name;
      next->parent = node.get();
      node->children.insert(Node::position(node->children, name), next);
    }
    node = std::move(next);
  }
  return Result<NodePtr>::success(std::move(node));
}

Result<const SimRegistry::Handle*> SimRegistry::usable(RegKey key, std::uint32_t rights) const {
  using R = Result<const Handle*>;
  const Handle* handle = resolve(key);
  if (!handle) return R::failure(err::kInvalidHandle);
  if (handle->node->deleted) return R::failure(err::kKeyDeleted);
  if ((handle->granted & rights) != rights) return R::failure(err::kAccessDenied);
  return R::success(handle);
}

Result<RegKey> SimRegistry::doOpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) {
  using R = Result<RegKey>;
  if (Win32Error e = faults_.enter(Call::RegistryOpenKeyEx)) return R::failure(e);
  auto from = usable(parent, 0);
  if (!from.ok()) return R::failure(from.error);
  auto names = parseSubKey(subKey);
  if (!names.ok()) return R::failure(names.error);
  if (names.value.empty() && roots_.count(parent)) return R::success(parent);
  NodePtr node = walk(from.value->node, names.value);
  if (!node) return R::failure(err::kFileNotFound);
  if (node->denied & access) return R::failure(err::kAccessDenied);
  return R::success(hand(std::move(node), access));
}

Result<RegKey> SimRegistry::doOpenKey(RegKey parent, const std::string& subKey) {
  using R = Result<RegKey>;
  if (Win32Error e = faults_.enter(Call::RegistryOpenKey)) return R::failure(e);
  // The system hands back the handle it was given, without looking at it.
  if (cString(subKey).empty()) return R::success(parent);
  auto from = usable(parent, 0);
  if (!from.ok()) return R::failure(from.error);
  auto names = parseSubKey(subKey);
  if (!names.ok()) return R::failure(names.error);
  NodePtr node = walk(from.value->node, names.value);
  if (!node) return R::failure(err::kFileNotFound);
  const std::uint32_t granted = keyaccess::kAllAccess & ~node->denied;
  if (granted == 0) return R::failure(err::kAccessDenied);
  return R::success(hand(std::move(node), granted));
}

Result<RegKey> SimRegistry::doCreateKey(RegKey parent, const std::string& subKey) {
  using R = Result<RegKey>;
  if (Win32Error e = faults_.enter(Call::RegistryCreateKey)) return R::failure(e);
  auto from = usable(parent, 0);
  if (!from.ok()) return R::failure(from.error);
  auto names = parseSubKey(subKey);
  if (!names.ok()) return R::failure(names.error);
  auto node = walkCreating(from.value->node, names.value);
  if (!node.ok()) return R::failure(node.error);
  const std::uint32_t granted = keyaccess::kAllAccess & ~node.value->denied;
  if (granted == 0) return R::failure(err::kAccessDenied);
  return R::success(hand(std::move(node.value), granted));
}

Result<std::string> SimRegistry::enumKey(RegKey key, std::uint32_t index, std::uint32_t capacity) {
  using R = Result<std::string>;
  if (Win32Error e = faults_.enter(Call::RegistryEnumKey)) return R::failure(e);
  auto handle = usable(key, keyaccess::kEnumerateSubKeys);
  if (!handle.ok()) return R::failure(handle.error);
  const auto& children = handle.value->node->children;
  if (index >= children.size()) return R::failure(err::kNoMoreItems);
  const std::string& name = children[index]->name;
  if (name.size() + 1 > capacity) return R::failure(err::kMoreData);
  return R::success(name);
}

Result<RegValueEntry> SimRegistry::enumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                             std::uint32_t dataCapacity) {
  using R = Result<RegValueEntry>;
  if (Win32Error e = faults_.enter(Call::RegistryEnumValue)) return R::failure(e);
  auto handle = usable(key, keyaccess::kQueryValue);
  if (!handle.ok()) return R::failure(handle.error);
  const auto& values = handle.value->node->values;
  if (index >= values.size()) return R::failure(err::kNoMoreItems);
  const Node::Value& stored = values[index];
  std::string bytes = Node::readable(stored);
  R result;
  result.value.value.type = stored.type;
  result.value.value.size = static_cast<std::uint32_t>(bytes.size());
  if (stored.name.size() + 1 > nameCapacity) {
    result.value.name = stored.name.substr(0, nameCapacity == 0 ? 0 : nameCapacity - 1);
    result.error = err::kMoreData;
    return result;
  }
  if (bytes.size() > dataCapacity) {
    result.error = err::kMoreData;  // the name is not given either
    return result;
  }
  result.value.name = stored.name;
  result.value.value.data = std::move(bytes);
  return result;
}

Result<RegValue> SimRegistry::queryValue(RegKey key, const std::string& name,
                                         std::optional<std::uint32_t> dataCapacity) {
  using R = Result<RegValue>;
  if (Win32Error e = faults_.enter(Call::RegistryQueryValue)) return R::failure(e);
  auto handle = usable(key, keyaccess::kQueryValue);
  if (!handle.ok()) return R::failure(handle.error);
  const Node::Value* stored = handle.value->node->value(cString(name));
  if (!stored) return R::failure(err::kFileNotFound);
  std::string bytes = Node::readable(*stored);
  R result;
  result.value.type = stored->type;
  result.value.size = static_cast<std::uint32_t>(bytes.size());
  if (dataCapacity && bytes.size() > *dataCapacity) {
    result.error = err::kMoreData;
  } else if (dataCapacity) {
    result.value.data = std::move(bytes);
  }
  return result;
}

Win32Error SimRegistry::setValue(RegKey key, const std::string& fullName, std::uint32_t type, std::string_view data) {
  if (Win32Error e = faults_.enter(Call::RegistrySetValue)) return e;
  const std::string name = cString(fullName);
  auto handle = usable(key, keyaccess::kSetValue);
  if (!handle.ok()) return handle.error;
  if (name.size() > kMaxValueName) return err::kInvalidParameter;
  auto& values = handle.value->node->values;
  auto it = Node::position(values, name);
  if (it != values.end() && sameName(it->name, name)) {
    it->type = type;
    it->data.assign(data);
  } else {
    values.insert(it, Node::Value{name, type, std::string(data)});
  }
  return err::kSuccess;
}

Win32Error SimRegistry::deleteKey(RegKey key, const std::string& subKey) {
  if (Win32Error e = faults_.enter(Call::RegistryDeleteKey)) return e;
  auto handle = usable(key, 0);
  if (!handle.ok()) return handle.error;
  auto names = parseSubKey(subKey);
  if (!names.ok()) return names.error;
  NodePtr target;
  if (names.value.empty()) {
    if (!(handle.value->granted & keyaccess::kDelete)) return err::kAccessDenied;
    target = handle.value->node;
  } else {
    target = walk(handle.value->node, names.value);
    if (!target) return err::kFileNotFound;
    if (target->denied & keyaccess::kDelete) return err::kAccessDenied;
  }
  // A root cannot go, nor a key that still has subkeys.
  if (!target->parent || !target->children.empty()) return err::kAccessDenied;
  auto& siblings = target->parent->children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), target));
  target->parent = nullptr;
  target->deleted = true;
  return err::kSuccess;
}

Win32Error SimRegistry::deleteValue(RegKey key, const std::string& fullName) {
  if (Win32Error e = faults_.enter(Call::RegistryDeleteValue)) return e;
  const std::string name = cString(fullName);
  auto handle = usable(key, keyaccess::kSetValue);
  if (!handle.ok()) return handle.error;
  auto& values = handle.value->node->values;
  auto it = Node::position(values, name);
  if (it == values.end() || !sameName(it->name, name)) return err::kFileNotFound;
  values.erase(it);
  return err::kSuccess;
}

Win32Error SimRegistry::closeKey(RegKey key) {
  if (Win32Error e = faults_.enter(Call::RegistryCloseKey)) return e;
  if (roots_.count(key)) return err::kSuccess;
  return handles_.erase(key) ? err::kSuccess : err::kInvalidHandle;
}

Result<SecurityDescriptor> SimRegistry::keySecurity(RegKey key) {
  using R = Result<SecurityDescriptor>;
  if (Win32Error e = faults_.enter(Call::RegistryKeySecurity)) return R::failure(e);
  auto handle = usable(key, keyaccess::kReadControl);
  if (!handle.ok()) return R::failure(handle.error);
  const auto& security = handle.value->node->security;
  return security ? R::success(*security) : R::failure(err::kNotSupported);
}

Win32Error SimRegistry::setKeySecurity(RegKey key, const SecurityDescriptor& security) {
  if (Win32Error e = faults_.enter(Call::RegistrySetKeySecurity)) return e;
  auto handle = usable(key, keyaccess::kWriteDac | keyaccess::kWriteOwner);
  if (!handle.ok()) return handle.error;
  handle.value->node->security = security;
  return err::kSuccess;
}

}  // namespace tlv::platform::sim
