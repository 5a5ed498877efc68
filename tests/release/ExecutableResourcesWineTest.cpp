// Win32 only: the shipped executables' message tables read as the event viewer reads them:
// every event id each program records has its text. (The manifest's common controls 6 are seen
// at work in tests/wine, the version resource where the program reads srvany's in tests/service;
// the rest of both is cmake/Resources.cmake's own text.)
#include <gtest/gtest.h>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32EventLog.h"
#include "testkit/win32/Folders.h"
#include "tools/srvany/HostRecord.h"

namespace tlv::testing {
namespace {

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
    platform::win32::UniqueLibrary module(::LoadLibraryExA((buildRoot() + c.path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module) << "error " << ::GetLastError();
    ASSERT_FALSE(c.ids.empty());
    for (const DWORD id : c.ids) EXPECT_FALSE(messageText(module.get(), id).empty()) << "no text for event " << id;
    EXPECT_TRUE(messageText(module.get(), 999).empty()) << "a table that answers every id proves nothing";
  }
}

}  // namespace
}  // namespace tlv::testing
