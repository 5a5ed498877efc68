// Contract suites of the registry class: the machine, a class instance and the scratch key.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "registry/RegistryPath.h"
#include "registry/clsRegistryAccess.h"
#include "tests/contract/TestMachine.h"

namespace tlv::testing {

class RegistryContract : public ::testing::Test {
 protected:
  RegistryContract()
      : machine(makeTestMachine()),
        reg(machine->platform()),
        key(machine->scratchKey()),
        dir(machine->scratchFolder()) {}

  platform::Registry& port() { return machine->platform().registry; }

  /// Stores a value through the port, for the types and sizes the class does not write.
  void putRaw(const std::string& path, const std::string& name, std::uint32_t type, const std::string& bytes) {
    const registry::SplitPath split = registry::splitRegPath(path);
    auto opened = port().createKey(platform::predefinedKey(split.rootKey), split.subKey);
    ASSERT_TRUE(opened.ok()) << path << " error " << opened.error;
    EXPECT_EQ(port().setValue(opened.value.get(), name, type, bytes), platform::err::kSuccess);
  }

  /// The whole file as bytes; empty when it cannot be read.
  std::string fileText(const std::string& path) { return machine->platform().files.readWholeFile(path).value; }

  void writeFile(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(machine->platform().files.writeNewFile(path, bytes), platform::err::kSuccess) << path;
  }

  std::unique_ptr<TestMachine> machine;
  registry::clsRegistryAccess reg;
  const std::string key;
  const std::string dir;
};

}  // namespace tlv::testing
