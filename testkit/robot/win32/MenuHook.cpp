// Win32 only: tlvrobothook.dll. The robot hooks a window's thread with it; on the robot's
// message it walks the window's menu in the owner's own process and writes the items into
// the robot's shared section as output lines.
#include <algorithm>
#include <cstring>

#include "platform/win32/UniqueHandle.h"
#include "testkit/robot/DumpFormat.h"
#include "testkit/robot/win32/MenuHookProtocol.h"

namespace tlv::tools::robot::menuhook {

namespace {

using UniqueView = platform::win32::UniqueMappedView;

void walkMenu(HMENU menu, int depth, int& index, std::string& out) {
  const int count = ::GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    char caption[512] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = caption;
    info.cch = sizeof caption - 1;
    if (!::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) || (info.fType & MFT_SEPARATOR)) continue;
    out += DumpLine("menu")
               .number("index", index++)
               .number("depth", depth)
               .number("id", info.wID)
               .number("submenu", info.hSubMenu ? 1 : 0)
               .text("text", caption)
               .format();
    out += '\n';
    if (info.hSubMenu) walkMenu(info.hSubMenu, depth + 1, index, out);
  }
}

void answer(HWND window, unsigned long robotPid) {
  platform::win32::UniqueKernelHandle section(
      ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, sectionName(robotPid).c_str()));
  if (!section) return;  // not our robot's request
  UniqueView view(::MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, kSectionBytes));
  if (!view) return;

  std::string lines;
  int index = 0;
  if (HMENU menu = ::GetMenu(window)) walkMenu(menu, 0, index, lines);
  lines += kEndLine;
  lines += '\n';
  // Too long: leave the end line off, so the robot reports it instead of a partial menu.
  const std::size_t length = std::min<std::size_t>(lines.size(), kSectionBytes - 1);
  std::memcpy(view.get(), lines.data(), length);
  static_cast<char*>(view.get())[length] = '\0';
}

}  // namespace

}  // namespace tlv::tools::robot::menuhook

extern "C" __declspec(dllexport) LRESULT CALLBACK tlvRobotMenuHook(int code, WPARAM wParam, LPARAM lParam) {
  using namespace tlv::tools::robot::menuhook;
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (sent->message == ::RegisterWindowMessageA(kReadMenuMessage)) {
      try {
        answer(sent->hwnd, sent->wParam);
      } catch (...) {
        // Nothing may unwind into the host program; the robot sees no answer and says so.
      }
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
