// Portable: every row of the product-naming table, through intOS, Title, isServer and
// WinProductType of a fresh object on the sim machine.
#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using namespace platform::product;
using namespace platform::suite;

struct NamingCase {
  const char* what;
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
    {"1 Windows 95", 1, 4, 0, 950, "", kWorkstation, kNoSuite, 0, 0, 0, "Windows 95", false, ""},
    {"2 Windows 98, build as the whole 32-bit number", 1, 4, 10, 67766446, " A ", kWorkstation, kNoSuite, 0, 0, 2,
     "Windows 98 4.10.67766446 A", false, ""},
    {"3 Millennium", 1, 4, 90, 73010104, "", kWorkstation, kNoSuite, 0, 0, 4, "Windows Millennium", false, ""},
    {"4 9x with another minor", 1, 4, 5, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {"5 NT 3.51", 2, 3, 51, 1057, "Service Pack 5", kWorkstation, kNoSuite, 0, 0, 1, "Windows NT 3.51", false, ""},
    {"6 NT 4.0", 2, 4, 0, 1381, "Service Pack 6", kServer, kNoSuite, 0, 0, 3, "Windows NT 4.0 4.0.1381 Service Pack 6",
     false, ""},
    {"7 2000 Small Business", 2, 5, 0, 2195, "Service Pack 4", kServer, kSmallBusiness, 0, 0, 6,
     "Windows 2000 Small Business Server 5.0.2195 Service Pack 4", true, ""},
    {"8 2000 Professional", 2, 5, 0, 2195, "Service Pack 4", kWorkstation, kNoSuite, 0, 0, 5,
     "Windows 2000 Professional 5.0.2195 Service Pack 4", false, ""},
    {"8 2000 Advanced Server", 2, 5, 0, 2195, "", kServer, kEnterprise | kTerminal, 0, 0, 5,
     "Windows 2000 Server-Advanced-TS enabled 5.0.2195", true, ""},
    {"8 2000 domain controller: never -Advanced", 2, 5, 0, 2195, "Service Pack 4", kDomainController,
     kTerminal | kEnterprise, 0, 0, 5, "Windows 2000 Server-TS enabled-Domain 5.0.2195 Service Pack 4", true, ""},
    {"9 XP Professional", 2, 5, 1, 2600, "Service Pack 3", kWorkstation, kNoSuite, 0, 0, 7,
     "Windows XP Professional 5.1.2600 Service Pack 3", false, ""},
    {"10 XP Home", 2, 5, 1, 2600, "Service Pack 2", kWorkstation, kPersonal, 0, 0, 7,
     "Windows XP Home 5.1.2600 Service Pack 2", false, ""},
    {"11 SBS 2003", 2, 5, 2, 3790, "Service Pack 2", kServer, kSmallBusiness, 0, 0, 9,
     "Small Business Server 2003 5.2.3790 Service Pack 2", true, ""},
    {"12 Home Server 2003", 2, 5, 2, 3790, "", kServer, kHomeServer, 0, 0, 9, "Home Server 2003 5.2.3790", true, ""},
    {"13 Server 2003 R2 Enterprise with TS", 2, 5, 2, 3790, "Service Pack 2", kServer, kEnterprise | kTerminal, 0, 1,
     8, "Server 2003 R2-Enterprise-TS enabled 5.2.3790 Service Pack 2", true, ""},
    {"13 a 5.2 workstation is named a server", 2, 5, 2, 3790, "", kWorkstation, kNoSuite, 0, 0, 8,
     "Server 2003 5.2.3790", true, ""},
    {"14 Vista Pro", 2, 6, 0, 6002, "Service Pack 2", kWorkstation, kNoSuite, 0, 0, 10,
     "Vista Pro 6.0.6002 Service Pack 2", false, ""},
    {"15 Vista Home", 2, 6, 0, 6002, "Service Pack 2", kWorkstation, kPersonal, 0, 0, 10,
     "Vista Home 6.0.6002 Service Pack 2", false, ""},
    {"16 Windows 7 Pro", 2, 6, 1, 7601, "Service Pack 1", kWorkstation, kNoSuite, 0, 0, 13,
     "Windows7 Pro 6.1.7601 Service Pack 1", false, ""},
    {"17 Windows 7 Home", 2, 6, 1, 7601, "Service Pack 1", kWorkstation, kPersonal, 0, 0, 13,
     "Windows7 Home 6.1.7601 Service Pack 1", false, ""},
    {"18 Windows 8 Pro", 2, 6, 2, 9200, "", kWorkstation, kNoSuite, 0, 0, 16, "Windows8 Pro 6.2.9200", false, ""},
    {"19 Windows 8 without Pro", 2, 6, 2, 9200, "", kWorkstation, kPersonal, 0, 0, 16, "Windows8 Home 6.2.9200",
     false, ""},
    {"20 NT 6.3 Pro", 2, 6, 3, 9600, "", kWorkstation, kNoSuite, 0, 0, 19, "Unexpected Pro 6.3.9600", false, ""},
    {"21 NT 6.3 Home", 2, 6, 3, 9600, "", kWorkstation, kPersonal, 0, 0, 19, "Unexpected Home 6.3.9600", false, ""},
    {"22 SBS 2008, other product type in brackets", 2, 6, 0, 6001, "Service Pack 1", kServer, kSmallBusiness, 24, 0,
     11, "Small Business Server 2008 [24] 6.0.6001 Service Pack 1", true, " [24]"},
    {"23 Home Server 2008", 2, 6, 0, 6001, "", kServer, kHomeServer, 7, 0, 11, "Home Server 2008 6.0.6001", true, ""},
    {"24 Server 2008", 2, 6, 0, 6001, "Service Pack 1", kServer, kNoSuite, 7, 0, 12,
     "Server 2008 6.0.6001 Service Pack 1", true, ""},
    {"24 a domain controller, type 8", 2, 6, 0, 6001, "", kDomainController, kNoSuite, 8, 0, 12,
     "Server 2008 [8]-Domain 6.0.6001", true, " [8]"},
    {"25 SBS 2011", 2, 6, 1, 7601, "", kServer, kSmallBusiness, 0, 0, 11, "Small Business Server 2008 R2 6.1.7601",
     true, ""},
    {"26 Home Server 2011", 2, 6, 1, 7600, "", kServer, kHomeServer, 7, 0, 11, "Home Server 2008 R2 6.1.7600", true,
     ""},
    {"27 Server 2008 R2 Enterprise, type 10", 2, 6, 1, 7601, "Service Pack 1", kServer, kEnterprise, 10, 0, 12,
     "Server 2008 R2-Enterprise 6.1.7601 Service Pack 1", true, ""},
    {"27 Server 2008 R2 Foundation, type 33", 2, 6, 1, 7601, "Service Pack 1", kServer, kNoSuite, 33, 0, 12,
     "Server 2008 R2 Foundation 6.1.7601 Service Pack 1", true, " Foundation"},
    {"28 SBS on NT 6.2", 2, 6, 2, 9200, "", kServer, kSmallBusiness, 7, 0, 15, "Small Business Server 8 6.2.9200",
     true, ""},
    {"29 Home Server on NT 6.2", 2, 6, 2, 9200, "", kServer, kHomeServer, 7, 0, 15, "Home Server 8 6.2.9200", true,
     ""},
    {"30 Server 2012", 2, 6, 2, 9200, "", kServer, kNoSuite, 7, 0, 16, "Server 8 6.2.9200", true, ""},
    {"31 SBS on NT 6.3", 2, 6, 3, 9600, "", kServer, kSmallBusiness, 7, 0, 19, "Small Business Server ? 6.3.9600",
     true, ""},
    {"32 Home Server on NT 6.3", 2, 6, 3, 9600, "", kServer, kHomeServer, 7, 0, 19, "Home Server ? 6.3.9600", true,
     ""},
    {"33 Server 2012 R2 with TS", 2, 6, 3, 9600, "", kServer, kTerminal, 7, 0, 19, "Server ?-TS enabled 6.3.9600",
     true, ""},
    {"34 NT 10 workstation Pro: 10 x 4 + 21", 2, 10, 0, 19045, "", kWorkstation, kNoSuite, 0, 0, 61,
     "NEW WorkStation Pro 10.0.19045", false, ""},
    {"35 NT 10 workstation Home", 2, 10, 0, 19045, "", kWorkstation, kPersonal, 0, 0, 61,
     "NEW WorkStation Home 10.0.19045", false, ""},
    {"36 SBS on NT 10", 2, 10, 0, 20348, "", kServer, kSmallBusiness, 7, 0, 61,
     "NEW Small Business Server ? 10.0.20348", true, ""},
    {"37 Home Server on NT 10", 2, 10, 0, 20348, "", kServer, kHomeServer, 7, 0, 61,
     "NEW Home Server ? 10.0.20348", true, ""},
    {"38 Server on NT 10, type 8", 2, 10, 0, 20348, "", kServer, kEnterprise, 8, 0, 61,
     "NEW Server ? [8]-Enterprise 10.0.20348", true, " [8]"},
    {"34 NT 0.5: major 0 counts as another major", 2, 0, 5, 1, "", kWorkstation, kNoSuite, 0, 0, 26,
     "NEW WorkStation Pro 0.5.1", false, ""},
    {"34 three-digit code 112: two digits to intOS", 2, 13, 0, 1, "", kWorkstation, kNoSuite, 0, 0, 11,
     "2 NEW WorkStation Pro 13.0.1", false, ""},
    {"34 code overflow leaves the name empty", 2, 50000, 0, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
    {"20 16 + minor overflow leaves the name empty", 2, 6, 2147483647, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "",
     false, ""},
    {"39 unrecognised platform", 3, 5, 0, 1, "X", kWorkstation, kNoSuite, 0, 0, 8,
     "New Windows Platform 3 Major 5 minor 0 Build 1 X", false, ""},
    {"39 platform id + major overflow", 2147483647, 1, 0, 1, "", kWorkstation, kNoSuite, 0, 0, 0, "", false, ""},
};

class ProductNaming : public SimEnvironFixture {};

TEST_F(ProductNaming, EveryRowOfTheTableGivesItsCodeTitleRoleAndEdition) {
  for (const NamingCase& c : kNamingTable) {
    SCOPED_TRACE(c.what);
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

TEST_F(ProductNaming, PlatformQuestionsComeInTheirFamilysOrderAndEachPredicateAsksAgain) {
  struct Expected {
    const char* what;
    std::int32_t major, minor;
    std::uint8_t productType;
    std::size_t extendedQueries, metricQueries, productQueries;
  };
  // Naming questions plus the five of the role flags (terminal, domain, small business,
  // home, suite mask).
  const Expected cases[] = {
      {"XP asks IsProfessional", 5, 1, kWorkstation, 1 + 5, 0, 0},
      {"2000 workstation: IsWorkstation (two), three suffix, small business", 5, 0, kWorkstation, 2 + 3 + 1 + 5, 0, 0},
      {"Server 2003: R2 metric, three suffix, small business, home", 5, 2, kServer, 3 + 2 + 5, 1, 0},
      {"Windows 7: IsWorkstation (two), IsProfessional", 6, 1, kWorkstation, 2 + 1 + 5, 0, 0},
      {"Server 2008 R2: IsWorkstation (one), three suffix, product text, small business, home", 6, 1, kServer,
       1 + 3 + 1 + 2 + 5, 0, 1},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.what);
    SimEnviron sim;
    sim.setWindows(2, c.major, c.minor, 1, "", c.productType);
    sim.env.VersionNumberString();

    EXPECT_EQ(sim.callsTo("sysinfo.versionInfo"), 1u);
    EXPECT_EQ(sim.callsTo("sysinfo.versionInfoEx"), c.extendedQueries);
    EXPECT_EQ(sim.callsTo("sysinfo.systemMetric"), c.metricQueries);
    EXPECT_EQ(sim.callsTo("sysinfo.productInfo"), c.productQueries);
    if (c.metricQueries == 1) {
      // The R2 question comes before any predicate of the snapshot.
      EXPECT_EQ(sim.machine.faults.calls().at(1), "sysinfo.systemMetric");
    }
  }
}

}  // namespace
}  // namespace tlv::testing
