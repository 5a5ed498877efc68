// Sim only: an in-memory registry that answers like Wine's: names without regard to case,
// the predefined roots, keys and values listed in name order, the real calls' codes.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

class SimRegistry final : public Registry {
 public:
  explicit SimRegistry(SimFaults& faults);
  ~SimRegistry() override;
  SimRegistry(const SimRegistry&) = delete;
  SimRegistry& operator=(const SimRegistry&) = delete;

  // Arranging the machine (no faults are injected into these).
  /// Creates the key and its missing parents.
  void addKey(RegKey root, const std::string& subKey);
  /// Opening the key for any of these rights is refused with 5, and so is creating a
  /// subkey below it when kCreateSubKey is among them. The key must exist.
  void denyAccess(RegKey root, const std::string& subKey, std::uint32_t rights = keyaccess::kAllAccess);
  /// The key's descriptor; without one, keySecurity answers kNotSupported. The key must exist.
  void setSecurity(RegKey root, const std::string& subKey, SecurityDescriptor descriptor);
  /// Handles handed out and not closed yet.
  std::size_t openHandleCount() const { return handles_.size(); }

  // Registry
  Result<std::string> enumKey(RegKey key, std::uint32_t index, std::uint32_t capacity) override;
  Result<RegValueEntry> enumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                  std::uint32_t dataCapacity) override;
  Result<RegValue> queryValue(RegKey key, const std::string& name, std::optional<std::uint32_t> dataCapacity) override;
  Win32Error setValue(RegKey key, const std::string& name, std::uint32_t type, std::string_view data) override;
  Win32Error deleteKey(RegKey key, const std::string& subKey) override;
  Win32Error deleteValue(RegKey key, const std::string& name) override;
  Win32Error closeKey(RegKey key) override;
  Result<SecurityDescriptor> keySecurity(RegKey key) override;
  Win32Error setKeySecurity(RegKey key, const SecurityDescriptor& security) override;

 protected:
  Result<RegKey> doOpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) override;
  Result<RegKey> doOpenKey(RegKey parent, const std::string& subKey) override;
  Result<RegKey> doCreateKey(RegKey parent, const std::string& subKey) override;

 private:
  struct Node;
  using NodePtr = std::shared_ptr<Node>;
  struct Handle {
    NodePtr node;
    std::uint32_t granted = 0;
  };

  /// The open handle or root behind a key value, or nullptr for an unknown one.
  const Handle* resolve(RegKey key) const;
  RegKey hand(NodePtr node, std::uint32_t granted);
  /// The key named by the path below from, or nullptr. The path's names are already checked.
  static NodePtr walk(const NodePtr& from, const std::vector<std::string>& names);
  /// Finds or creates each name in turn below from.
  static Result<NodePtr> walkCreating(const NodePtr& from, const std::vector<std::string>& names);
  /// The handle behind key when it may be used for the rights asked, else the call's error.
  Result<const Handle*> usable(RegKey key, std::uint32_t rights) const;

  SimFaults& faults_;
  std::map<RegKey, Handle> roots_;
  std::map<RegKey, Handle> handles_;
  std::uintptr_t nextHandle_ = 0x40;  // Wine hands out small multiples of four too
};

}  // namespace tlv::platform::sim
