// The registry class on the sim machine where only sim can arrange it: keys that refuse
// access and a failure injected into every single call.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"
#include "registry/clsRegistryAccess.h"
#include "tests/hardening/FaultSweep.h"

namespace tlv::registry {
namespace {

using namespace std::string_literals;
using platform::sim::SimMachine;
namespace err = platform::err;
namespace hkey = platform::hkey;
namespace keyaccess = platform::keyaccess;

constexpr char kKey[] = "HKCU\\Software\\Locked";

/// A fresh sim machine with the class on it.
struct SimRegistry {
  SimMachine machine;
  platform::Platform platform = machine.platform();
  clsRegistryAccess reg{platform};
};

class RegistrySim : public ::testing::Test, protected SimRegistry {};

TEST(RegistrySimAccess, RefusedRightsStopOnlyTheOperationsThatNeedThem) {
  struct Case {
    const char* name;
    std::uint32_t denied;
    bool reads, writes, killsValue;
    std::int32_t subkeys;
  };
  const Case cases[] = {
      {"all", keyaccess::kAllAccess, false, false, false, -1},
      {"set value", keyaccess::kSetValue, true, false, false, 1},
      // Writes open the key for writing, which asks for create-subkey as well.
      {"create subkey", keyaccess::kCreateSubKey, true, false, true, 1},
      {"delete", keyaccess::kDelete, true, true, true, 1},
      {"enumerate", keyaccess::kEnumerateSubKeys, false, true, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimRegistry sim;
    ASSERT_NE(sim.reg.WriteString(kKey, "v", "x"), 0);
    ASSERT_NE(sim.reg.CreateKey(kKey + "\\Child"s), 0);
    sim.machine.registry.denyAccess(hkey::kCurrentUser, "Software\\Locked", c.denied);
    std::vector<std::string> keys;
    EXPECT_FALSE(sim.reg.KeyExists(kKey)) << "full access is refused";
    EXPECT_EQ(sim.reg.ReadString(kKey, "v", "dflt"), c.reads ? "x" : "dflt");
    EXPECT_EQ(sim.reg.WriteString(kKey, "w", "y") != 0, c.writes);
    EXPECT_EQ(sim.reg.KillValue(kKey, "v") != 0, c.killsValue);
    EXPECT_EQ(sim.reg.EnumKeys(kKey, keys), c.subkeys) << "the plain open takes what is allowed";
    EXPECT_EQ(sim.reg.HaveSubkey(kKey), c.subkeys == 1);
    EXPECT_EQ(sim.reg.KillKey(kKey), 0);
    if (c.denied == keyaccess::kAllAccess) {
      EXPECT_EQ(sim.reg.CreateKey(kKey), 0);
    }
    EXPECT_NE(sim.reg.KillKey(kKey + "\\Child"s), 0) << "a key below opens without rights on its parent";
  }
}

// The conversions are HexText's; the class also hands the text back without its blanks.
TEST_F(RegistrySim, StrToBinHandsBackItsCleanedText) {
  std::string text = " 80 51 0a ";
  EXPECT_EQ(reg.StrToBin(text), "\x80\x51\x0A");
  EXPECT_EQ(text, "80510a");
}

TEST_F(RegistrySim, AListingEndsAtAnErrorOtherThanMoreData) {
  ASSERT_NE(reg.CreateKey(kKey), 0);
  // A key deleted while it is listed answers 1018 to every later call.
  machine.faults.failCalls(platform::sim::Call::RegistryEnumKey, err::kKeyDeleted);
  machine.faults.failCalls(platform::sim::Call::RegistryEnumValue, err::kKeyDeleted);
  std::vector<std::string> names;
  std::vector<RegistryVariant> values;
  EXPECT_EQ(reg.EnumKeys(kKey, names), 0);
  EXPECT_EQ(reg.EnumValues(kKey, names, values, -1), 0);
  EXPECT_FALSE(reg.HaveSubkey(kKey));
}

// Runs every operation of the class once; returns a summary of what it saw.
std::string everyOperation(clsRegistryAccess& reg, SimMachine& machine) {
  machine.files.addFolder("C:\\Reg");
  machine.files.addFile("C:\\Reg\\in.reg",
                        "REGEDIT4\r\n[HKCU\\Software\\T\\In]\r\n\"s\"=\"x\"\r\n\"b\"=hex:01\r\n\"d\"=dword:2\r\n"
                        "\"s\"=-\r\n[-HKCU\\Software\\T\\In]\r\n");
  const std::string k = "HKCU\\Software\\T";
  std::string seen;
  std::vector<std::string> names;
  std::vector<RegistryVariant> values;
  seen += std::to_string(reg.WriteString(k + "\\Sub", "s", "text") != 0);
  seen += std::to_string(reg.WriteDWORD(k, "d", 5) != 0) + std::to_string(reg.WriteBinary(k, "b", "01 02") != 0);
  seen += reg.ReadString(k + "\\Sub", "s", "-") + reg.ReadBinary(k, "b", "-");
  seen += std::to_string(reg.ReadDWORD(k, "d", -7)) + std::to_string(reg.ValueExists(k, "b"));
  seen += std::to_string(reg.EnumValues(k, names, values, -1)) + std::to_string(reg.EnumKeys(k, names));
  seen += std::to_string(reg.HaveSubkey(k)) + std::to_string(reg.KeyExists(k));
  seen += std::to_string(reg.ExportToReg(k, "C:\\Reg\\out.reg", true)) +
          std::to_string(reg.ImportFromReg("C:\\Reg\\in.reg"));
  seen += std::to_string(reg.KillValue(k, "b") != 0) + std::to_string(reg.KillKey(k + "\\Sub") != 0);
  return seen;
}

TEST(RegistrySimSweep, NoKeyStaysOpenWhicheverCallFails) {
  testing::sweepEveryCall([](const testing::InjectedFault& fault) {
    SimRegistry sim;
    fault.arm(sim.machine.faults);
    const std::string seen = everyOperation(sim.reg, sim.machine);
    EXPECT_TRUE(fault.n != 0 || seen == "111text01 025121111111") << seen;
    // A failed close leaves its handle behind, as on Windows.
    EXPECT_TRUE(fault.call == platform::sim::Call::RegistryCloseKey || sim.machine.registry.openHandleCount() == 0)
        << sim.machine.registry.openHandleCount() << " keys left open";
    return fault.callsSinceArmed(sim.machine.faults);
  });
}

TEST_F(RegistrySim, AFailedWriteStopsTheExportAndKeepsTheBlocksWritten) {
  for (const char* sub : {"\\A", "\\B"}) ASSERT_NE(reg.CreateKey(std::string(kKey) + sub), 0);
  machine.files.addFolder("C:\\Reg");
  int blocks = 0;
  machine.faults.failWhen([&](platform::sim::Call call) { return call == platform::sim::Call::FilesOpenText && ++blocks == 3; },
                          err::kSharingViolation);
  EXPECT_EQ(reg.ExportToReg(kKey, "C:\\Reg\\x.reg", true), 0);
  EXPECT_EQ(machine.files.contents("C:\\Reg\\x.reg"), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Locked]\r\n\r\n");
}

}  // namespace
}  // namespace tlv::registry
