// Native: /health on the sim machine: each state of the service and of srvany's watch gives
// its own exit code, log line and event entry, the first that applies winning; nothing changes.
#include <gtest/gtest.h>

#include <functional>

#include "platform/WindowsPath.h"
#include "tests/service/ServiceMachine.h"
#include "tools/common/WatchValues.h"

namespace tlv::testing {
namespace {

namespace state = platform::servicestate;
const std::string kWatchKey = tools::watchKeyPath(tools::kServiceName);
const std::string kWatch = "HKEY_LOCAL_MACHINE\\" + kWatchKey;

/// A till whose service runs and whose srvany has just published a program that answers.
struct HealthyTill : ServiceMachine {
  HealthyTill() {
    sim.services.add(tools::kServiceName, {"C:\\Windows\\srvany.exe", platform::servicestart::kAutomatic});
    sim.services.setStatus(tools::kServiceName, {state::kRunning, 0, 0, 640});
    sim.registry.addKey(platform::hkey::kLocalMachine, kWatchKey);
    text("Program", "running");
    dword("ProcessId", 1234);
    text("Started", "2026-12-06T08:00:00Z");
    dword("Answering", 1);
    text("NotAnsweringSince", "");
    boxes({});
    text("Heartbeat", "2026-12-06T09:05:02Z");  // the clock reads 09:05:07Z
  }
  void text(const std::string& name, const std::string& value) { ASSERT_NE(registry.WriteString(kWatch, name, value), 0); }
  void dword(const std::string& name, std::int32_t value) { ASSERT_NE(registry.WriteDWORD(kWatch, name, value), 0); }
  void boxes(const std::vector<std::string>& titles) {
    std::string data;
    for (const std::string& title : titles) data += title + '\0';
    auto key = sim.registry.openKeyEx(platform::hkey::kLocalMachine, kWatchKey, platform::keyaccess::kSetValue);
    ASSERT_TRUE(key.ok());
    ASSERT_EQ(sim.registry.setValue(key.value.get(), "OpenBoxes", platform::regtype::kMultiString, data + '\0'), 0u);
  }
};

TEST(Health, EachStateHasItsCodeAndLineAndTheFirstThatAppliesWins) {
  struct Case {
    const char* state;
    std::function<void(HealthyTill&)> arrange;
    int code;
    std::string found;  ///< the log line after "Health:"
  };
  const auto hangingSince = [](const char* since) {
    return [=](HealthyTill& m) {
      m.dword("Answering", 0);
      m.text("NotAnsweringSince", since);
    };
  };
  const std::string healthy =
      "The payment program runs and answers (exit code 0): process 1234, started \"2026-12-06T08:00:00Z\"";
  const Case cases[] = {
      {"healthy", [](auto&) {}, 0, healthy},
      {"not answering for 30 s: srvany's rule lets it be", hangingSince("2026-12-06T09:04:37Z"), 0, healthy},
      {"no service", [](auto& m) { m.sim.services.remove(tools::kServiceName); }, 40,
       "The service OrbitTender does not exist (exit code 40)"},
      {"stopped, never started since Windows started",
       [](auto& m) { m.sim.services.setStatus(tools::kServiceName, {state::kStopped, 1077, 0, 0}); }, 41,
       "The service OrbitTender is not running (exit code 41): stopped"},
      {"srvany ended a hung program",
       [](auto& m) { m.sim.services.setStatus(tools::kServiceName, {state::kStopped, 1066, 0x20000001, 0}); }, 42,
       "The service OrbitTender stopped as failed (exit code 42): exit code 1066, service-specific exit code 536870913"},
      {"program ended", [](auto& m) { m.text("Program", "ended"); }, 43,
       "The payment program is not running (exit code 43): Program \"ended\""},
      {"not answering for 31 s", hangingSince("2026-12-06T09:04:36Z"), 44,
       "The payment program does not answer (exit code 44): not answering since 2026-12-06T09:04:36Z"},
      {"not answering, since unreadable", hangingSince("soon"), 44,
       "The payment program does not answer (exit code 44): not answering, since an unknown time"},
      {"boxes open, one title over two lines", [](auto& m) { m.boxes({"Cannot open COM3", "Error\r\nnow"}); }, 45,
       "A box of the payment program is open (exit code 45): \"Cannot open COM3\", \"Error  now\""},
      {"no Watch key", [](auto& m) { ASSERT_EQ(m.sim.registry.deleteKey(platform::hkey::kLocalMachine, kWatchKey), 0u); }, 46,
       "srvany is not watching the payment program (exit code 46): no Watch key"},
      {"heartbeat 61 s old", [](auto& m) { m.text("Heartbeat", "2026-12-06T09:04:06Z"); }, 46,
       "srvany is not watching the payment program (exit code 46): last Heartbeat 2026-12-06T09:04:06Z, now "
       "2026-12-06T09:05:07Z"},
      {"heartbeat no time", [](auto& m) { m.text("Heartbeat", "2026-13-06T09:05:02Z"); }, 46,
       "srvany is not watching the payment program (exit code 46): Heartbeat \"2026-13-06T09:05:02Z\" is no time"},
      {"heartbeat of another type", [](auto& m) { m.dword("Heartbeat", 1796547902); }, 46,
       "srvany is not watching the payment program (exit code 46): no Heartbeat value"},
      {"service manager refused",
       [](auto& m) { m.sim.faults.failCalls(platform::sim::Call::ServicesStatus, 5); },
       47, "The state could not be read (exit code 47): the service manager: Access is denied (error 5)"},
      {"Watch key refused", [](auto& m) { m.sim.registry.denyAccess(platform::hkey::kLocalMachine, kWatchKey); }, 47,
       "The state could not be read (exit code 47): the Watch key: Access is denied (error 5)"},
      {"hung with a box open: the hang first", [&](auto& m) { hangingSince("2026-12-06T09:00:00Z")(m); m.boxes({"Cannot open COM3"}); },
       44, "The payment program does not answer (exit code 44): not answering since 2026-12-06T09:00:00Z"},
      {"hung and stale: srvany's last word is old",
       [&](auto& m) { hangingSince("2026-12-06T08:00:00Z")(m); m.text("Heartbeat", "2026-12-06T08:00:00Z"); }, 46,
       "srvany is not watching the payment program (exit code 46): last Heartbeat 2026-12-06T08:00:00Z, now "
       "2026-12-06T09:05:07Z"},
      {"ended and stale: the program first", [](auto& m) { m.text("Program", "start failed"); m.text("Heartbeat", "2026-12-06T08:00:00Z"); },
       43, "The payment program is not running (exit code 43): Program \"start failed\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    HealthyTill m;
    c.arrange(m);
    const auto filesBefore = m.sim.files.allFiles();
    EXPECT_EQ(app::mainMod(m.platform, m.tools).Main("-Health"), c.code);
    EXPECT_EQ(m.log(), logLine("Health:" + c.found));
    using Entry = platform::sim::SimEventLog::Entry;
    const std::uint16_t type = c.code == 0 ? platform::eventtype::kInformation : platform::eventtype::kError;
    EXPECT_EQ(m.sim.eventLog.entries(), std::vector<Entry>({{type, "TlvAsService health: " + c.found}}));
    auto filesAfter = m.sim.files.allFiles();
    filesAfter.erase(platform::upperCase(kLogPath));
    EXPECT_EQ(filesAfter, filesBefore) << "health changes nothing";
    EXPECT_TRUE(m.sim.ui.boxes().empty());
  }
}

}  // namespace
}  // namespace tlv::testing
