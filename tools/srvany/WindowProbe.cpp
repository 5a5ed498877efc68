// Win32 only: the probe behind srvany's watch.
#include "tools/srvany/WindowProbe.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

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

}  // namespace tlv::tools
