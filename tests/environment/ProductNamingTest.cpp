// Portable: one row per path through the product-naming table, through intOS, Title,
// isServer and WinProductType of a fresh object on the sim machine.
#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using namespace platform::product;
using namespace platform::suite;

struct NamingCase {
  std::int32_t platformId, major, minor;  // build 1, service pack "SP1"
  std::uint8_t productType;
  std::uint16_t suiteMask;
  std::uint32_t productInfo;  // what GetProductInfo reports; 0 makes it fail
  std::int32_t serverR2;      // system metric 89
  std::int16_t intOS;
  const char* title;
  bool isServer;
  const char* winProductType;
};

constexpr std::uint16_t kNoSuite = 0;

const NamingCase kNamingTable[] = {
    {1, 4, 0, kWorkstation, kNoSuite, 0, 0, 0, "Windows 95", false, ""},
    {1, 4, 10, kWorkstation, kNoSuite, 0, 0, 2, "Windows 98 4.10.1 SP1", false, ""},
    {1, 4, 5, kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {2, 4, 0, kServer, kNoSuite, 0, 0, 3, "Windows NT 4.0 4.0.1 SP1", false, ""},
    {2, 5, 0, kWorkstation, kNoSuite, 0, 0, 5, "Windows 2000 Professional 5.0.1 SP1", false, ""},
    {2, 5, 0, kServer, kEnterprise, 0, 0, 5, "Windows 2000 Server-Advanced 5.0.1 SP1", true, ""},
    {2, 5, 0, kDomainController, kSmallBusiness | kTerminal | kEnterprise, 0, 0, 6,
     "Windows 2000 Small Business Server-TS enabled-Domain 5.0.1 SP1", true, ""},
    {2, 5, 1, kWorkstation, kNoSuite, 0, 0, 7, "Windows XP Professional 5.1.1 SP1", false, ""},
    {2, 5, 1, kWorkstation, kPersonal, 0, 0, 7, "Windows XP Home 5.1.1 SP1", false, ""},
    {2, 5, 2, kServer, kSmallBusiness, 0, 0, 9, "Small Business Server 2003 5.2.1 SP1", true, ""},
    {2, 5, 2, kServer, kHomeServer, 0, 0, 9, "Home Server 2003 5.2.1 SP1", true, ""},
    {2, 5, 2, kServer, kEnterprise | kTerminal, 0, 1, 8, "Server 2003 R2-Enterprise-TS enabled 5.2.1 SP1", true, ""},
    {2, 5, 2, kWorkstation, kNoSuite, 0, 0, 8, "Server 2003 5.2.1 SP1", true, ""},
    {2, 6, 0, kWorkstation, kNoSuite, 0, 0, 10, "Vista Pro 6.0.1 SP1", false, ""},
    {2, 6, 1, kWorkstation, kPersonal, 0, 0, 13, "Windows7 Home 6.1.1 SP1", false, ""},
    {2, 6, 3, kWorkstation, kPersonal, 0, 0, 19, "Unexpected Home 6.3.1 SP1", false, ""},
    {2, 6, 0, kServer, kSmallBusiness, 24, 0, 11, "Small Business Server 2008 [24] 6.0.1 SP1", true, " [24]"},
    {2, 6, 0, kDomainController, kNoSuite, 8, 0, 12, "Server 2008 [8]-Domain 6.0.1 SP1", true, " [8]"},
    {2, 6, 1, kServer, kHomeServer, 0, 0, 11, "Home Server 2008 R2 6.1.1 SP1", true, ""},
    {2, 6, 1, kServer, kEnterprise, 10, 0, 12, "Server 2008 R2-Enterprise 6.1.1 SP1", true, ""},
    {2, 6, 2, kServer, kNoSuite, 33, 0, 16, "Server 8 Foundation 6.2.1 SP1", true, " Foundation"},
    {2, 6, 3, kServer, kTerminal, 7, 0, 19, "Server ?-TS enabled 6.3.1 SP1", true, ""},
    {2, 10, 0, kWorkstation, kPersonal, 0, 0, 61, "NEW WorkStation Home 10.0.1 SP1", false, ""},
    {2, 10, 0, kServer, kEnterprise, 8, 0, 61, "NEW Server ? [8]-Enterprise 10.0.1 SP1", true, " [8]"},
    {3, 5, 0, kWorkstation, kNoSuite, 0, 0, 8, "New Windows Platform 3 Major 5 minor 0 Build 1 SP1", false, ""},
    // A three-digit code gives intOS two digits; a code that overflows leaves the name empty.
    {2, 13, 0, kWorkstation, kNoSuite, 0, 0, 11, "2 NEW WorkStation Pro 13.0.1 SP1", false, ""},
    {2, 50000, 0, kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {2, 6, 2147483647, kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {2147483647, 1, 0, kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
};

TEST(ProductNaming, EachPathThroughTheTableGivesItsCodeTitleRoleAndEdition) {
  for (const NamingCase& c : kNamingTable) {
    SCOPED_TRACE("row " + std::to_string(&c - kNamingTable) + ": " + c.title);
    SimEnviron sim;
    sim.setWindows(c.platformId, c.major, c.minor, 1, "SP1", c.productType, c.suiteMask);
    sim.machine.systemInfo.setProductType(c.productInfo);
    sim.machine.systemInfo.setSystemMetric(platform::metric::kServerR2, c.serverR2);

    EXPECT_EQ(sim.env.Title(), c.title);
    EXPECT_EQ(sim.env.intOS(), c.intOS);
    EXPECT_EQ(sim.env.isServer(), c.isServer);
    EXPECT_EQ(sim.env.WinProductType(), c.winProductType);
  }
}

}  // namespace
}  // namespace tlv::testing
