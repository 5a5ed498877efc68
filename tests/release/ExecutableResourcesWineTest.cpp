// Win32 only: what the shipped executables say about themselves, read from their resources
// as Windows reads them: the application manifest and the version; and that the program
// runs under Wine with the common controls its manifest asks for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32EventLog.h"
#include "testkit/win32/Edition.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Gui.h"
#include "tools/srvany/HostRecord.h"
// After <windows.h>, which UniqueHandle.h brings.
#include <psapi.h>

namespace tlv::testing {
namespace {

using ::testing::HasSubstr;
using platform::win32::HandleTraits;
using platform::win32::NullInvalid;
using platform::win32::UniqueHandle;
using UniqueModule = UniqueHandle<HandleTraits<HMODULE, ::FreeLibrary, NullInvalid>>;

std::optional<std::string> manifestOf(const std::string& path) {
  UniqueModule module(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return std::nullopt;
  HRSRC found = ::FindResourceA(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return std::nullopt;
  return std::string(static_cast<const char*>(bytes), ::SizeofResource(module.get(), found));
}

struct Version {
  std::string fileNumbers;  ///< from the fixed part: "major.minor.patch.build"
  std::string fileVersion, productVersion, productName, originalFilename;
};

std::string versionText(std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "<none>";
  return std::string(value, length > 0 ? length - 1 : 0);  // the length counts the NUL
}

std::optional<Version> versionOf(const std::string& path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> block(size);
  if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return std::nullopt;
  Version v;
  v.fileNumbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
                  "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                  std::to_string(LOWORD(fixed->dwFileVersionLS));
  v.fileVersion = versionText(block, "FileVersion");
  v.productVersion = versionText(block, "ProductVersion");
  v.productName = versionText(block, "ProductName");
  v.originalFilename = versionText(block, "OriginalFilename");
  return v;
}

TEST(ExecutableResources, EachShippedProgramAsksForItsRightsAndCarriesTheProjectVersion) {
  struct Case {
    const char* path;  // in the build tree
    const char* name;
    const char* level;
  };
  // The rights each asks for; the common controls the window's manifest binds are checked by
  // what the running program loads (below).
  for (const Case& c : {Case{"app\\TlvAsService.exe", "TlvAsService.exe", "requireAdministrator"},
                        Case{"tools\\instsrv\\instsrv.exe", "instsrv.exe", "requireAdministrator"},
                        Case{"tools\\srvany\\srvany.exe", "srvany.exe", "asInvoker"}}) {
    SCOPED_TRACE(c.name);
    const std::string path = buildRoot() + c.path;
    const auto manifest = manifestOf(path);
    ASSERT_TRUE(manifest.has_value()) << "no manifest resource in " << path;
    EXPECT_THAT(*manifest, HasSubstr(std::string(R"(<requestedExecutionLevel level=")") + c.level + "\""));

    const auto version = versionOf(path);
    ASSERT_TRUE(version.has_value()) << "no version resource in " << path;
    EXPECT_EQ(version->fileNumbers, TLV_PROJECT_VERSION ".0");
    EXPECT_EQ(version->fileVersion, TLV_PROJECT_VERSION);
    EXPECT_EQ(version->productVersion, TLV_PROJECT_VERSION);
    EXPECT_EQ(version->productName, "TlvAsService");
    EXPECT_EQ(version->originalFilename, c.name);
  }
}

// The text the module's message table has for the id, as the event viewer formats it; empty
// when it has none.
std::string messageText(HMODULE module, DWORD id) {
  char text[2048] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module, id, 0,
                                        text, sizeof text, nullptr);
  return std::string(text, length);
}

TEST(ExecutableResources, EveryEventIdOfEachProgramHasItsTextInThatProgramsMessageTable) {
  std::vector<DWORD> srvanyIds, programIds;
  for (const tools::HostEvent event : tools::kHostEvents) srvanyIds.push_back(static_cast<DWORD>(event));
  for (const std::uint32_t id : platform::win32::kProgramEventIds) programIds.push_back(id);
  struct Case {
    const char* path;  // in the build tree
    std::vector<DWORD> ids;
  };
  for (const Case& c : {Case{"tools\\srvany\\srvany.exe", srvanyIds}, Case{"app\\TlvAsService.exe", programIds}}) {
    SCOPED_TRACE(c.path);
    UniqueModule module(::LoadLibraryExA((buildRoot() + c.path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module) << "error " << ::GetLastError();
    ASSERT_FALSE(c.ids.empty());
    for (const DWORD id : c.ids) EXPECT_FALSE(messageText(module.get(), id).empty()) << "no text for event " << id;
    EXPECT_TRUE(messageText(module.get(), 999).empty()) << "a table that answers every id proves nothing";
  }
}

// The path of the comctl32.dll the process has loaded; empty when it has none.
std::string loadedCommonControls(unsigned long pid) {
  platform::win32::UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) return {};
  HMODULE modules[512] = {};
  DWORD needed = 0;
  if (!::EnumProcessModules(process.get(), modules, sizeof modules, &needed)) return {};
  for (DWORD i = 0; i < std::min<DWORD>(needed / sizeof(HMODULE), 512); ++i) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameExA(process.get(), modules[i], path, MAX_PATH);
    std::string file(path, length);
    const auto slash = file.find_last_of('\\');
    if (_stricmp(file.substr(slash + 1).c_str(), "comctl32.dll") == 0) return file;
  }
  return {};
}

TEST(ExecutableResources, TheProgramRunsWithVersion6OfTheCommonControls) {
  ScratchProgramFolder folder{"ExecutableResources"};
  const std::string program = folder.copyIn(buildRoot() + "app\\TlvAsService.exe");
  ASSERT_FALSE(program.empty());
  Gui gui;
  const auto started = gui.start(program);
  ASSERT_NE(started.pid, 0u) << started.failure;

  // Without the tools beside it, the run ends at once with a box. The modules are listed
  // only then: walking a process's module list while it loads a library can loop for good.
  const Window box = Window::dialog("Missing").of(started.pid);
  ASSERT_TRUE(gui.wait(box).found);
  // The side-by-side copy that the manifest's dependency binds, not the system folder's
  // version 5 (whose file Wine also marks 5.x in the side-by-side folder).
  std::string library = loadedCommonControls(started.pid);
  std::transform(library.begin(), library.end(), library.begin(), [](unsigned char c) { return std::tolower(c); });
  const std::string architecture = k64BitEdition ? "amd64" : "x86";
  EXPECT_THAT(library, HasSubstr("\\winsxs\\" + architecture + "_microsoft.windows.common-controls_6595b64144ccf1df_6."));
  EXPECT_TRUE(gui.press(box, "OK"));
  EXPECT_TRUE(gui.close(Window::titled("Make Service for Tolvane").of(started.pid)));
  EXPECT_EQ(gui.waitForExit(started.pid, 20000), 0ul);
}

}  // namespace
}  // namespace tlv::testing
