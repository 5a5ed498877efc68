// Sim only: the names and ports of the sim's calls.
#include "platform/sim/SimCalls.h"

#include <ostream>

namespace tlv::platform::sim {

namespace {

struct CallInfo {
  Port port;
  std::string_view name;
};

constexpr CallInfo kCalls[] = {
#define TLV_SIM_CALL_INFO(port, call, name) {Port::port, name},
    TLV_SIM_CALLS(TLV_SIM_CALL_INFO)
#undef TLV_SIM_CALL_INFO
};

}  // namespace

std::string_view nameOf(Call call) { return kCalls[static_cast<std::size_t>(call)].name; }
Port portOf(Call call) { return kCalls[static_cast<std::size_t>(call)].port; }
void PrintTo(Call call, std::ostream* out) { *out << nameOf(call); }

}  // namespace tlv::platform::sim
