// Win32 only: reading another program's menu. Menus belong to the process that made them
// and Wine answers no other process about them, so the robot hooks the window's thread
// with tlvrobothook.dll and lets the program read its own menu into a shared section.
#include <cstring>

#include "platform/win32/UniqueHandle.h"
#include "testkit/robot/win32/HookLibrary.h"
#include "testkit/robot/win32/MenuHookProtocol.h"
#include "testkit/robot/win32/RobotWindows.h"

namespace tlv::tools::robot {

namespace {

namespace hook = menuhook;
using platform::win32::UniqueKernelHandle;

using UniqueView = platform::win32::UniqueMappedView;

std::vector<MenuEntry> parseAnswer(const char* text) {
  std::vector<MenuEntry> entries;
  const char* line = text;
  while (*line) {
    const char* end = std::strchr(line, '\n');
    if (!end) break;
    const std::string_view view(line, static_cast<std::size_t>(end - line));
    if (view == hook::kEndLine) return entries;
    auto parsed = DumpLine::parse(view);
    if (!parsed || parsed->kind() != "menu") throw RobotFailure("the hook library answered in a way not understood");
    MenuEntry entry;
    entry.id = static_cast<UINT>(parsed->numberField("id").value_or(0));
    entry.text = parsed->field("text").value_or("");
    entry.opensSubmenu = parsed->numberField("submenu").value_or(0) != 0;
    entry.line = std::move(*parsed);
    entries.push_back(std::move(entry));
    line = end + 1;
  }
  throw RobotFailure(*text ? "the menu is too large to read" : "the program did not answer for its menu (busy?)");
}

}  // namespace

std::vector<MenuEntry> listMenu(HWND window) {
  // GetMenu reads the window's own record, which any process may.
  if (!::GetMenu(window)) return {};

  const unsigned long robotPid = ::GetCurrentProcessId();
  UniqueKernelHandle section(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                  hook::kSectionBytes, hook::sectionName(robotPid).c_str()));
  if (!section) throw RobotFailure("no shared section for the menu: error " + std::to_string(::GetLastError()));
  UniqueView view(::MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, hook::kSectionBytes));
  if (!view) throw RobotFailure("cannot map the menu section: error " + std::to_string(::GetLastError()));

  const InstalledHook installed(window, WH_CALLWNDPROC, hook::kProcedureName);

  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(window, ::RegisterWindowMessageA(hook::kReadMenuMessage), robotPid, 0, SMTO_ABORTIFHUNG,
                        kReplyTimeoutMs, &ignored);
  // The section starts zeroed: no answer leaves it empty.
  return parseAnswer(static_cast<const char*>(view.get()));
}

}  // namespace tlv::tools::robot
