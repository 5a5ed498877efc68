// Portable: what /health reads.
#include "app/HealthState.h"

#include <algorithm>

#include "app/ServiceRegistryKeys.h"
#include "tools/common/WatchValues.h"

namespace tlv::app {
namespace {

// Far beyond anything srvany writes: a bigger value is refused rather than read at any size.
constexpr std::uint32_t kValueCapacity = 64 * 1024;

// Reads one value after another until one is refused; the first refusal is kept.
class WatchReader {
 public:
  WatchReader(platform::Registry& registry, platform::RegKey key, platform::Win32Error& error)
      : registry_(registry), key_(key), error_(error) {}

  std::optional<std::string> text(const char* name) {
    const auto read = value(name);
    if (!read || (read->type != platform::regtype::kString && read->type != platform::regtype::kExpandString)) {
      return std::nullopt;
    }
    return read->data.substr(0, read->data.find('\0'));
  }
  std::optional<std::uint32_t> dword(const char* name) {
    const auto read = value(name);
    if (!read || read->type != platform::regtype::kDword || read->data.size() != 4) return std::nullopt;
    std::uint32_t number = 0;
    for (std::size_t i = 4; i-- > 0;) number = (number << 8) | static_cast<unsigned char>(read->data[i]);
    return number;
  }
  std::vector<std::string> texts(const char* name) {
    const auto read = value(name);
    std::vector<std::string> list;
    if (!read || read->type != platform::regtype::kMultiString) return list;
    for (std::size_t at = 0; at < read->data.size();) {
      const std::size_t end = std::min(read->data.find('\0', at), read->data.size());
      if (end > at) list.push_back(read->data.substr(at, end - at));
      at = end + 1;
    }
    return list;
  }

 private:
  std::optional<platform::RegValue> value(const char* name) {
    if (error_ != platform::err::kSuccess) return std::nullopt;
    auto read = registry_.queryValue(key_, name, kValueCapacity);
    if (read.error == platform::err::kFileNotFound) return std::nullopt;
    if (!read.ok()) {
      error_ = read.error;
      return std::nullopt;
    }
    return std::move(read.value);
  }

  platform::Registry& registry_;
  platform::RegKey key_;
  platform::Win32Error& error_;
};

WatchSnapshot readWatch(platform::Registry& registry) {
  WatchSnapshot watch;
  auto key = registry.openKeyEx(platform::hkey::kLocalMachine, tools::watchKeyPath(kServiceName),
                                platform::keyaccess::kQueryValue);
  if (!key.ok()) {
    watch.error = key.error;
    return watch;
  }
  namespace value = tools::watchvalue;
  WatchReader reader(registry, key.value.get(), watch.error);
  watch.program = reader.text(value::kProgram);
  watch.processId = reader.dword(value::kProcessId);
  watch.started = reader.text(value::kStarted);
  watch.answering = reader.dword(value::kAnswering);
  watch.notAnsweringSince = reader.text(value::kNotAnsweringSince);
  watch.openBoxes = reader.texts(value::kOpenBoxes);
  watch.heartbeat = reader.text(value::kHeartbeat);
  return watch;
}

}  // namespace

HealthState readHealthState(platform::Platform& machine) {
  HealthState state{machine.services.status(kServiceName), {}, machine.clock.utcSeconds()};
  if (state.service.ok() && state.service.value.state == platform::servicestate::kRunning) {
    state.watch = readWatch(machine.registry);
  }
  return state;
}

}  // namespace tlv::app
