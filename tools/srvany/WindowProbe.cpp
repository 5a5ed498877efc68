// Win32 only: the probe behind srvany's watch.
#include "tools/srvany/WindowProbe.h"

#include <algorithm>
#include <map>
#include <string>

namespace tlv::tools {
namespace {

constexpr UINT kTextAnswerMs = 1000;

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

// The text a window's owner gives when asked, within a time limit; empty when it does not.
std::string askedText(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextAnswerMs, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kTextAnswerMs, &copied)) {
    return {};
  }
  text.resize(std::min<std::size_t>(copied, length));
  return text;
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
