// Win32 backend of the contract suites: the real machine, with a scratch folder under the
// temporary folder that is emptied before and removed after each test.
#include "app/win32/WindowUi.h"
#include "platform/win32/Win32Platform.h"
#include "tests/contract/TestMachine.h"
#include "testkit/win32/Folders.h"

namespace tlv::testing {

namespace {

void removeScratchKey() { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TlvAsServiceTests"); }

class Win32TestMachine final : public TestMachine {
 public:
  Win32TestMachine() : platform_(machine_.platform()) {
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    startFolder_ = current;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    scratch_ = std::string(temp) + "TlvAsServiceTests\\";
    removeFolderTree(scratch_);
    ::CreateDirectoryA(scratch_.c_str(), nullptr);
    removeScratchKey();
  }
  ~Win32TestMachine() override {
    ::SetCurrentDirectoryA(startFolder_.c_str());  // the scratch folder cannot go while current
    removeFolderTree(scratch_);
    removeScratchKey();
  }

  platform::Platform& platform() override { return platform_; }
  std::string scratchFolder() override { return scratch_; }
  void makeFolder(const std::string& path) override { ::CreateDirectoryA(path.c_str(), nullptr); }
  void setCurrentFolder(const std::string& folder) override { ::SetCurrentDirectoryA(folder.c_str()); }

 private:
  app::win32::WindowUi ui_{::GetModuleHandleA(nullptr)};
  platform::win32::Win32Platform machine_{ui_};
  platform::Platform platform_;
  std::string scratch_;
  std::string startFolder_;
};

}  // namespace

std::unique_ptr<TestMachine> makeTestMachine() { return std::make_unique<Win32TestMachine>(); }

}  // namespace tlv::testing
