// Win32 only: the probe behind srvany's watch, and the key the watch is published in.
#include "tools/srvany/WatchProbeAndKey.h"

#include <sddl.h>  // after windows.h, which WatchProbeAndKey.h brings

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tools/common/ErrorText.h"
#include "tools/common/WatchValues.h"

namespace tlv::tools {

namespace {

constexpr UINT kTextAnswerMs = 1000;
// A box's text is read into a buffer of this size: a length the other process claims
// (WM_GETTEXTLENGTH) is never trusted, since a huge one would take srvany's memory.
constexpr std::size_t kTextBufferChars = 4096;

struct WindowList {
  const std::vector<DWORD>* processIds;
  std::vector<HWND> windows;
};

BOOL CALLBACK addWindowOfProgram(HWND window, LPARAM context) {
  auto& list = *reinterpret_cast<WindowList*>(context);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  const auto& ids = *list.processIds;
  if (std::find(ids.begin(), ids.end(), processId) != ids.end()) list.windows.push_back(window);
  return TRUE;
}

// The text a window's owner gives when asked, within a time limit, cut at the buffer's
// size; empty when it does not answer. The count it answers is not trusted either: the
// text ends at its first NUL within the buffer.
std::string askedText(HWND window) {
  std::vector<char> buffer(kTextBufferChars, '\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kTextAnswerMs, &copied)) {
    return {};
  }
  buffer.back() = '\0';
  return std::string(buffer.data());
}

// The caption the window manager keeps: read without asking the window's thread.
std::string keptTitle(HWND window) {
  wchar_t wide[256] = {};
  const int length = ::InternalGetWindowText(window, wide, 256);
  char narrow[512] = {};
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide, length, narrow, sizeof narrow, nullptr, nullptr);
  return std::string(narrow, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
}

bool inTime(DWORD probeBegan) { return ::GetTickCount() - probeBegan < kProbeBudgetMs; }

struct DialogTexts {
  DWORD probeBegan;
  std::vector<std::string> texts;
};

BOOL CALLBACK addStaticText(HWND child, LPARAM context) {
  auto& dialog = *reinterpret_cast<DialogTexts*>(context);
  char className[32] = {};
  ::GetClassNameA(child, className, sizeof className);
  if (::lstrcmpiA(className, "Static") == 0) {
    std::string text = askedText(child);
    if (!text.empty()) dialog.texts.push_back(std::move(text));
  }
  return inTime(dialog.probeBegan) ? TRUE : FALSE;
}

// Whether the dialog holds only what MessageBox puts in one: texts, an icon (a static too)
// and buttons. Class names are read from the window manager: nothing is asked.
BOOL CALLBACK checkMessageBoxChild(HWND child, LPARAM context) {
  auto& onlyTextsAndButtons = *reinterpret_cast<bool*>(context);
  char className[32] = {};
  ::GetClassNameA(child, className, sizeof className);
  onlyTextsAndButtons = ::lstrcmpiA(className, "Static") == 0 || ::lstrcmpiA(className, "Button") == 0;
  return onlyTextsAndButtons ? TRUE : FALSE;
}

bool isMessageBox(HWND dialog) {
  bool onlyTextsAndButtons = true;
  ::EnumChildWindows(dialog, checkMessageBoxChild, reinterpret_cast<LPARAM>(&onlyTextsAndButtons));
  return onlyTextsAndButtons && ::GetWindow(dialog, GW_CHILD) != nullptr;
}

// The input method's windows, which the system makes, hidden, for a thread that has windows.
bool isSystemMade(HWND window, const char* className) {
  return !::IsWindowVisible(window) && (std::string(className) == "IME" || std::string(className) == "MSCTFIME UI");
}

std::vector<HWND> windowsOf(const std::vector<DWORD>& processIds) {
  WindowList list{&processIds, {}};
  ::EnumWindows(addWindowOfProgram, reinterpret_cast<LPARAM>(&list));
  return list.windows;
}

}  // namespace

bool haveWindows(const std::vector<DWORD>& processIds) { return !windowsOf(processIds).empty(); }

std::vector<ProbedWindow> probeWindows(const std::vector<DWORD>& processIds,
                                       const std::function<void()>& afterEachAsk) {
  const DWORD began = ::GetTickCount();
  std::map<DWORD, bool> threadAnswers;
  std::vector<ProbedWindow> probed;
  for (HWND window : windowsOf(processIds)) {
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    auto answer = threadAnswers.find(thread);
    if (answer == threadAnswers.end()) {
      DWORD_PTR ignored = 0;
      const bool answered = inTime(began) && ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                                   kProbeAnswerMs, &ignored) != 0;
      answer = threadAnswers.emplace(thread, answered).first;
      afterEachAsk();
    }
    ProbedWindow seen;
    seen.id = reinterpret_cast<std::uintptr_t>(window);
    seen.answered = answer->second;
    seen.title = keptTitle(window);
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof className);
    seen.dialog = std::string(className) == "#32770";
    seen.messageBox = seen.dialog && isMessageBox(window);
    seen.systemMade = isSystemMade(window, className);
    if (seen.dialog && seen.answered && inTime(began)) {
      DialogTexts dialog{began, {}};
      ::EnumChildWindows(window, addStaticText, reinterpret_cast<LPARAM>(&dialog));
      seen.texts = std::move(dialog.texts);
      afterEachAsk();
    }
    probed.push_back(std::move(seen));
  }
  return probed;
}

// The key srvany publishes its watch in.

using platform::win32::UniqueLocalMemory;

WatchKey::WatchKey(const std::string& serviceName, bool asLocalSystem)
    : path_("HKEY_LOCAL_MACHINE\\" + watchKeyPath(serviceName)) {
  const std::string subKey = watchKeyPath(serviceName);
  if (!asLocalSystem) {
    const LONG opened = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_SET_VALUE, key_.put());
    if (opened != ERROR_SUCCESS) {
      problem_ = "the key " + path_ + " cannot be opened: " + errorText(opened) +
                 "; TlvAsService /quiet makes it for the account srvany runs as";
    }
    return;
  }
  // One left from an earlier start in this boot, or made by someone else (not volatile, with
  // another descriptor, with keys below it): it goes, with all below it.
  const LONG deleted = ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, subKey.c_str());
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
    problem_ = "the key " + path_ + " there cannot be deleted to be made anew: " + errorText(deleted);
    return;
  }
  UniqueLocalMemory descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kWatchKeySddl, SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr)) {
    problem_ = "the descriptor of " + path_ + " cannot be made: " + errorText(::GetLastError());
    return;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  DWORD disposition = 0;
  const LONG created =
      ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_SET_VALUE | WRITE_DAC | WRITE_OWNER, &attributes, key_.put(), &disposition);
  if (created != ERROR_SUCCESS) {
    problem_ = "the key " + path_ + " cannot be created: " + errorText(created);
    return;
  }
  if (disposition != REG_CREATED_NEW_KEY) {
    key_.reset();  // made again by someone else in between: its descriptor is not srvany's
    problem_ = "the key " + path_ + " was made again by someone else while srvany made it";
    return;
  }
  // Set once more on the key made: not every system applies the one given at its creation (Wine does not).
  const LONG secured = ::RegSetKeySecurity(
      key_.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      descriptor.get());
  if (secured != ERROR_SUCCESS) {
    key_.reset();
    problem_ = "the descriptor of " + path_ + " cannot be set: " + errorText(secured);
  }
}

std::string WatchKey::write(const WatchReport& report) {
  if (!key_) return problem_;
  LONG error = ERROR_SUCCESS;
  const char* failed = nullptr;
  // In order, up to the first that fails: a value left old is never beside a new heartbeat.
  const auto put = [&](const char* name, DWORD type, const void* data, std::size_t size) {
    if (error != ERROR_SUCCESS) return;
    error = ::RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    failed = name;
  };
  const auto text = [&](const char* name, const std::string& value) {
    put(name, REG_SZ, value.c_str(), value.size() + 1);
  };
  const auto number = [&](const char* name, DWORD value) { put(name, REG_DWORD, &value, sizeof value); };
  std::string boxes;  // each title with its NUL, and one more NUL at the end
  for (const std::string& title : report.openBoxes) boxes += title + '\0';
  boxes += '\0';
  text(watchvalue::kProgram, report.program);
  number(watchvalue::kProcessId, report.processId);
  text(watchvalue::kStarted, report.started);
  number(watchvalue::kAnswering, report.answering ? 1 : 0);
  text(watchvalue::kNotAnsweringSince, report.notAnsweringSince);
  put(watchvalue::kOpenBoxes, REG_MULTI_SZ, boxes.data(), boxes.size());
  text(watchvalue::kHeartbeat, report.heartbeat);  // last: when it is new, so is every value
  if (error == ERROR_SUCCESS) return {};
  return "the value " + std::string(failed) + " under " + path_ + " cannot be written: " + errorText(error);
}

}  // namespace tlv::tools
