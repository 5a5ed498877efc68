// Portable: the version snapshot: what a refused query leaves, the service-pack cleaning,
// and the role flags all from one snapshot.
#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using namespace platform::product;
using namespace platform::suite;

class VersionSnapshot : public SimEnvironFixture {};

TEST_F(VersionSnapshot, RefusedQueriesReadAsZeros) {
  machine.faults.failCalls(platform::sim::Call::SysinfoVersionInfoEx, 5);
  setWindows(2, 5, 1, 2600, "Service Pack 3", kServer, kTerminal | kSmallBusiness | kHomeServer);
  EXPECT_EQ(env.Title(), "Windows XP Home 5.1.2600 Service Pack 3") << "IsProfessional is false";
  EXPECT_TRUE(env.isHomeVersion()) << "a non-server without the Professional indication";

  // On NT 6, not a workstation means the server rows.
  SimEnviron nt6;
  nt6.machine.faults.failCalls(platform::sim::Call::SysinfoVersionInfoEx, 5);
  EXPECT_EQ(nt6.env.Title(), "Server 2008 R2 6.1.7601 Service Pack 1");
  EXPECT_EQ(nt6.callsTo(platform::sim::Call::SysinfoProductInfo), 0u) << "the product text needs the extended record first";

  SimEnviron noMetric;  // an R2 machine whose metric cannot be asked: the mark is left out
  noMetric.setWindows(2, 5, 2, 3790, "", kServer);
  noMetric.machine.systemInfo.setSystemMetric(platform::metric::kServerR2, 1);
  noMetric.machine.faults.failCalls(platform::sim::Call::SysinfoSystemMetric, 5);
  EXPECT_EQ(noMetric.env.Title(), "Server 2003 5.2.3790");
  EXPECT_TRUE(noMetric.logLines().empty());

  SimEnviron noPlain;  // a refused plain record names platform 0
  noPlain.machine.faults.failCalls(platform::sim::Call::SysinfoVersionInfo, 5);
  EXPECT_EQ(noPlain.env.Title(), "New Windows Platform 0 Major 0 minor 0 Build 0");
  EXPECT_EQ(noPlain.env.VersionNumberString(), "0.0.0");
}

TEST_F(VersionSnapshot, OnlyTheTailOfTheServicePackTextIsCleaned) {
  using namespace std::string_literals;
  const struct {
    std::string field;
    std::string titleEnd;
  } cases[] = {
      {"", "5.1.2600"},
      {"  SP2 \t\x7F\xA0 ", "5.1.2600 SP2"},
      {"SP1\0xyz"s, "5.1.2600 SP1\0xyz"s},
      {"\x01SP3\x02", "5.1.2600 \x01SP3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    SimEnviron sim;
    sim.setWindows(2, 5, 1, 2600, c.field);
    EXPECT_EQ(sim.env.Title(), "Windows XP Professional " + c.titleEnd);
  }
}

TEST_F(VersionSnapshot, IsTakenOnceAndEachRoleFlagComesFromItsOwnPredicate) {
  const struct {
    const char* what;
    std::int32_t major, minor;
    std::uint8_t productType;
    std::uint16_t suiteMask;
    bool server, home, domain, smallBusiness, terminal;
    std::int16_t suite;
  } cases[] = {
      {"XP Professional with TS and SBS", 5, 1, kWorkstation, kTerminal | kSmallBusiness, false, false, false, true,
       true, kTerminal | kSmallBusiness},
      {"2000 domain controller with TS", 5, 0, kDomainController, kTerminal, true, false, true, false, true, kTerminal},
      {"Home Server 2008: the mask reads negative", 6, 0, kServer, kHomeServer, true, true, false, false, false,
       -32768},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SimEnviron sim;
    sim.setWindows(2, c.major, c.minor, 1, "", c.productType, c.suiteMask);
    EXPECT_EQ(sim.machine.faults.callCount(), 0u) << "creating the object asks nothing";
    EXPECT_EQ(sim.env.VersionNumberString(), std::to_string(c.major) + "." + std::to_string(c.minor) + ".1");
    EXPECT_EQ(sim.env.isServer(), c.server);
    EXPECT_EQ(sim.env.isHomeVersion(), c.home);
    EXPECT_EQ(sim.env.isDomainController(), c.domain);
    EXPECT_EQ(sim.env.isSmallBusiness(), c.smallBusiness);
    EXPECT_EQ(sim.env.isTerminalServer(), c.terminal);
    EXPECT_EQ(sim.env.SuiteMask(), c.suite);
    EXPECT_EQ(sim.callsTo(platform::sim::Call::SysinfoVersionInfo), 1u) << "every property from the one snapshot";
  }
}

}  // namespace
}  // namespace tlv::testing
