// Sim backend of the contract suites: a fresh simulated machine per test.
#include "platform/sim/SimMachine.h"
#include "tests/contract/TestMachine.h"

namespace tlv::testing {

namespace {

class SimTestMachine final : public TestMachine {
 public:
  SimTestMachine() : platform_(machine_.platform()) { machine_.files.addFolder(kScratch); }
  platform::Platform& platform() override { return platform_; }
  std::string scratchFolder() override { return kScratch; }
  void makeFolder(const std::string& path) override { machine_.files.addFolder(path); }
  void setCurrentFolder(const std::string& folder) override { machine_.files.setCurrentFolder(folder); }

 private:
  static constexpr char kScratch[] = "C:\\Scratch\\";
  platform::sim::SimMachine machine_;
  platform::Platform platform_;
};

}  // namespace

std::unique_ptr<TestMachine> makeTestMachine() { return std::make_unique<SimTestMachine>(); }

}  // namespace tlv::testing
