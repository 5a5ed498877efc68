// Portable: every row of the product-naming table, through intOS, Title, isServer and
// WinProductType of a fresh object on the sim machine.
#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using namespace platform::product;
using namespace platform::suite;

struct NamingCase {
  int row;  // of the naming table
  std::int32_t platformId, major, minor, build;
  const char* servicePack;
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
    {1, 1, 4, 0, 950, "", kWorkstation, kNoSuite, 0, 0, 0, "Windows 95", false, ""},
    {2, 1, 4, 10, 67766446, " A ", kWorkstation, kNoSuite, 0, 0, 2, "Windows 98 4.10.67766446 A", false, ""},
    {3, 1, 4, 90, 73010104, "", kWorkstation, kNoSuite, 0, 0, 4, "Windows Millennium", false, ""},
    {4, 1, 4, 5, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {5, 2, 3, 51, 1057, "Service Pack 5", kWorkstation, kNoSuite, 0, 0, 1, "Windows NT 3.51", false, ""},
    {6, 2, 4, 0, 1381, "Service Pack 6", kServer, kNoSuite, 0, 0, 3, "Windows NT 4.0 4.0.1381 Service Pack 6", false,
     ""},
    {7, 2, 5, 0, 2195, "Service Pack 4", kServer, kSmallBusiness, 0, 0, 6,
     "Windows 2000 Small Business Server 5.0.2195 Service Pack 4", true, ""},
    {8, 2, 5, 0, 2195, "Service Pack 4", kWorkstation, kNoSuite, 0, 0, 5,
     "Windows 2000 Professional 5.0.2195 Service Pack 4", false, ""},
    {8, 2, 5, 0, 2195, "", kServer, kEnterprise | kTerminal, 0, 0, 5,
     "Windows 2000 Server-Advanced-TS enabled 5.0.2195", true, ""},
    {8, 2, 5, 0, 2195, "Service Pack 4", kDomainController, kTerminal | kEnterprise, 0, 0, 5,
     "Windows 2000 Server-TS enabled-Domain 5.0.2195 Service Pack 4", true, ""},
    {9, 2, 5, 1, 2600, "Service Pack 3", kWorkstation, kNoSuite, 0, 0, 7,
     "Windows XP Professional 5.1.2600 Service Pack 3", false, ""},
    {10, 2, 5, 1, 2600, "Service Pack 2", kWorkstation, kPersonal, 0, 0, 7, "Windows XP Home 5.1.2600 Service Pack 2",
     false, ""},
    {11, 2, 5, 2, 3790, "Service Pack 2", kServer, kSmallBusiness, 0, 0, 9,
     "Small Business Server 2003 5.2.3790 Service Pack 2", true, ""},
    {12, 2, 5, 2, 3790, "", kServer, kHomeServer, 0, 0, 9, "Home Server 2003 5.2.3790", true, ""},
    {13, 2, 5, 2, 3790, "Service Pack 2", kServer, kEnterprise | kTerminal, 0, 1, 8,
     "Server 2003 R2-Enterprise-TS enabled 5.2.3790 Service Pack 2", true, ""},
    {13, 2, 5, 2, 3790, "", kWorkstation, kNoSuite, 0, 0, 8, "Server 2003 5.2.3790", true, ""},
    {14, 2, 6, 0, 6002, "Service Pack 2", kWorkstation, kNoSuite, 0, 0, 10, "Vista Pro 6.0.6002 Service Pack 2", false,
     ""},
    {15, 2, 6, 0, 6002, "Service Pack 2", kWorkstation, kPersonal, 0, 0, 10, "Vista Home 6.0.6002 Service Pack 2",
     false, ""},
    {16, 2, 6, 1, 7601, "Service Pack 1", kWorkstation, kNoSuite, 0, 0, 13, "Windows7 Pro 6.1.7601 Service Pack 1",
     false, ""},
    {17, 2, 6, 1, 7601, "Service Pack 1", kWorkstation, kPersonal, 0, 0, 13, "Windows7 Home 6.1.7601 Service Pack 1",
     false, ""},
    {18, 2, 6, 2, 9200, "", kWorkstation, kNoSuite, 0, 0, 16, "Windows8 Pro 6.2.9200", false, ""},
    {19, 2, 6, 2, 9200, "", kWorkstation, kPersonal, 0, 0, 16, "Windows8 Home 6.2.9200", false, ""},
    {20, 2, 6, 3, 9600, "", kWorkstation, kNoSuite, 0, 0, 19, "Unexpected Pro 6.3.9600", false, ""},
    {21, 2, 6, 3, 9600, "", kWorkstation, kPersonal, 0, 0, 19, "Unexpected Home 6.3.9600", false, ""},
    {22, 2, 6, 0, 6001, "Service Pack 1", kServer, kSmallBusiness, 24, 0, 11,
     "Small Business Server 2008 [24] 6.0.6001 Service Pack 1", true, " [24]"},
    {23, 2, 6, 0, 6001, "", kServer, kHomeServer, 7, 0, 11, "Home Server 2008 6.0.6001", true, ""},
    {24, 2, 6, 0, 6001, "Service Pack 1", kServer, kNoSuite, 7, 0, 12, "Server 2008 6.0.6001 Service Pack 1", true, ""},
    {24, 2, 6, 0, 6001, "", kDomainController, kNoSuite, 8, 0, 12, "Server 2008 [8]-Domain 6.0.6001", true, " [8]"},
    {25, 2, 6, 1, 7601, "", kServer, kSmallBusiness, 0, 0, 11, "Small Business Server 2008 R2 6.1.7601", true, ""},
    {26, 2, 6, 1, 7600, "", kServer, kHomeServer, 7, 0, 11, "Home Server 2008 R2 6.1.7600", true, ""},
    {27, 2, 6, 1, 7601, "Service Pack 1", kServer, kEnterprise, 10, 0, 12,
     "Server 2008 R2-Enterprise 6.1.7601 Service Pack 1", true, ""},
    {27, 2, 6, 1, 7601, "Service Pack 1", kServer, kNoSuite, 33, 0, 12,
     "Server 2008 R2 Foundation 6.1.7601 Service Pack 1", true, " Foundation"},
    {28, 2, 6, 2, 9200, "", kServer, kSmallBusiness, 7, 0, 15, "Small Business Server 8 6.2.9200", true, ""},
    {29, 2, 6, 2, 9200, "", kServer, kHomeServer, 7, 0, 15, "Home Server 8 6.2.9200", true, ""},
    {30, 2, 6, 2, 9200, "", kServer, kNoSuite, 7, 0, 16, "Server 8 6.2.9200", true, ""},
    {31, 2, 6, 3, 9600, "", kServer, kSmallBusiness, 7, 0, 19, "Small Business Server ? 6.3.9600", true, ""},
    {32, 2, 6, 3, 9600, "", kServer, kHomeServer, 7, 0, 19, "Home Server ? 6.3.9600", true, ""},
    {33, 2, 6, 3, 9600, "", kServer, kTerminal, 7, 0, 19, "Server ?-TS enabled 6.3.9600", true, ""},
    {34, 2, 10, 0, 19045, "", kWorkstation, kNoSuite, 0, 0, 61, "NEW WorkStation Pro 10.0.19045", false, ""},
    {35, 2, 10, 0, 19045, "", kWorkstation, kPersonal, 0, 0, 61, "NEW WorkStation Home 10.0.19045", false, ""},
    {36, 2, 10, 0, 20348, "", kServer, kSmallBusiness, 7, 0, 61, "NEW Small Business Server ? 10.0.20348", true, ""},
    {37, 2, 10, 0, 20348, "", kServer, kHomeServer, 7, 0, 61, "NEW Home Server ? 10.0.20348", true, ""},
    {38, 2, 10, 0, 20348, "", kServer, kEnterprise, 8, 0, 61, "NEW Server ? [8]-Enterprise 10.0.20348", true, " [8]"},
    // Major 0 counts as another major; a three-digit code gives intOS two digits; a code or a
    // platform id that overflows leaves the name empty.
    {34, 2, 0, 5, 1, "", kWorkstation, kNoSuite, 0, 0, 26, "NEW WorkStation Pro 0.5.1", false, ""},
    {34, 2, 13, 0, 1, "", kWorkstation, kNoSuite, 0, 0, 11, "2 NEW WorkStation Pro 13.0.1", false, ""},
    {34, 2, 50000, 0, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {20, 2, 6, 2147483647, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {39, 3, 5, 0, 1, "X", kWorkstation, kNoSuite, 0, 0, 8, "New Windows Platform 3 Major 5 minor 0 Build 1 X", false,
     ""},
    {39, 2147483647, 1, 0, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
};

TEST(ProductNaming, EveryRowOfTheTableGivesItsCodeTitleRoleAndEdition) {
  for (const NamingCase& c : kNamingTable) {
    SCOPED_TRACE("row " + std::to_string(c.row) + ": " + c.title);
    SimEnviron sim;
    sim.setWindows(c.platformId, c.major, c.minor, c.build, c.servicePack, c.productType, c.suiteMask);
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
