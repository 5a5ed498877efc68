// Portable: what srvany publishes of its watch over the payment program, and where: a
// volatile key below the service's key (gone at each start of Windows, so nothing stale
// outlives a boot), which only SYSTEM and Administrators may write. srvany writes it; the
// program's /health reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/common/ServiceKeys.h"  // watchKeyPath

namespace tlv::tools {

/// The key's descriptor: owner Administrators, SYSTEM and Administrators full control, nobody
/// else anything (the open boxes' titles are the shop's business).
inline constexpr char kWatchKeySddl[] = "O:BAD:P(A;;KA;;;SY)(A;;KA;;;BA)";

/// The values, each rewritten at every probe. Times are UTC texts as utcText writes them.
namespace watchvalue {
inline constexpr char kProgram[] = "Program";            ///< REG_SZ: one of the watchstate texts
inline constexpr char kProcessId[] = "ProcessId";        ///< REG_DWORD: the program's process id, 0 when none
inline constexpr char kStarted[] = "Started";            ///< REG_SZ: when the program was started, "" when not
inline constexpr char kAnswering[] = "Answering";        ///< REG_DWORD: 1 when its windows answered the last probe
inline constexpr char kNotAnsweringSince[] = "NotAnsweringSince";  ///< REG_SZ: "" while it answers
inline constexpr char kOpenBoxes[] = "OpenBoxes";        ///< REG_MULTI_SZ: the titles of the boxes it shows
inline constexpr char kHeartbeat[] = "Heartbeat";        ///< REG_SZ: when srvany last wrote the values
}  // namespace watchvalue

/// The Program value's texts.
namespace watchstate {
inline constexpr char kRunning[] = "running";
inline constexpr char kStartFailed[] = "start failed";
inline constexpr char kEnded[] = "ended";  ///< ended by itself, or by srvany (hung, a box left open)
}  // namespace watchstate

/// srvany rewrites the heartbeat at least this often; a reader takes one older than
/// kHeartbeatStaleSeconds as srvany not watching.
inline constexpr std::uint32_t kHeartbeatSeconds = 5;
inline constexpr std::int64_t kHeartbeatStaleSeconds = 60;

/// A UTC time as "2026-12-09T14:50:00Z" from seconds since 1970-01-01 00:00 UTC.
std::string utcText(std::int64_t secondsSince1970);
/// The seconds of a text utcText writes; nullopt for anything else.
std::optional<std::int64_t> parseUtcText(std::string_view text);

}  // namespace tlv::tools
