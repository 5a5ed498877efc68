// Win32 only: the one-line input prompt, a modal dialog built from an in-memory template:
// prompt text, one edit field holding the default, OK and Cancel.
#include <cstddef>
#include <string>
#include <vector>

#include "app/win32/WindowUi.h"

namespace tlv::app::win32 {

namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;

// Builds a DLGTEMPLATE and its items in a WORD buffer, aligned as the dialog manager needs.
class DialogTemplate {
 public:
  DialogTemplate(const std::string& title, short width, short height) {
    align(2);
    DLGTEMPLATE header{};
    header.style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header.cx = width;
    header.cy = height;
    append(&header, sizeof header);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // standard dialog class
    text(title);
    words_.push_back(8);  // point size of the font that follows
    text("MS Shell Dlg");
    countAt_ = offsetof(DLGTEMPLATE, cdit) / sizeof(WORD);
  }

  void item(WORD id, WORD systemClass, DWORD style, short x, short y, short cx, short cy, const std::string& caption) {
    align(4);
    DLGITEMTEMPLATE entry{};
    entry.style = style | WS_CHILD | WS_VISIBLE;
    entry.x = x;
    entry.y = y;
    entry.cx = cx;
    entry.cy = cy;
    entry.id = id;
    append(&entry, sizeof entry);
    words_.push_back(0xFFFF);
    words_.push_back(systemClass);
    text(caption);
    words_.push_back(0);  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void append(const void* data, std::size_t bytes) {
    const auto* w = static_cast<const WORD*>(data);
    words_.insert(words_.end(), w, w + bytes / sizeof(WORD));
  }
  // Captions go in as UTF-16; the program's texts are ANSI, converted by the system code page.
  void text(const std::string& s) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, wide.data(), n);
    for (wchar_t c : wide) words_.push_back(static_cast<WORD>(c));
  }
  void align(std::size_t bytes) {
    while ((words_.size() * sizeof(WORD)) % bytes != 0) words_.push_back(0);
  }

  std::vector<WORD> words_;
  std::size_t countAt_ = 0;
};

struct PromptState {
  const std::string* defaultText;
  std::string answer;
};

INT_PTR CALLBACK promptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<PromptState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<PromptState*>(lParam);
      ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      HWND edit = ::GetDlgItem(dialog, kEditId);
      ::SetWindowTextA(edit, state->defaultText->c_str());
      ::SendMessageA(edit, EM_SETSEL, 0, -1);
      ::SetFocus(edit);
      return FALSE;  // focus set by us
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        HWND edit = ::GetDlgItem(dialog, kEditId);
        std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(edit)) + 1, '\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
        state->answer = std::move(text);
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

PromptAnswer WindowUi::inputBox(const std::string& prompt, const std::string& title,
                               const std::string& defaultText) {
  // Dialog units: a prompt on the left, OK and Cancel on the right, the edit field below.
  DialogTemplate dialog(title, 245, 90);
  dialog.item(kPromptId, 0x0082 /* STATIC */, SS_LEFT, 7, 7, 170, 50, prompt);
  dialog.item(IDOK, 0x0080 /* BUTTON */, BS_DEFPUSHBUTTON | WS_TABSTOP, 186, 7, 52, 14, "OK");
  dialog.item(IDCANCEL, 0x0080 /* BUTTON */, BS_PUSHBUTTON | WS_TABSTOP, 186, 25, 52, 14, "Cancel");
  dialog.item(kEditId, 0x0081 /* EDIT */, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 68, 231, 13, "");

  PromptState state{&defaultText, {}};
  const INT_PTR pressed = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), dialog.get(), window_, promptProc,
                                                    reinterpret_cast<LPARAM>(&state));
  if (pressed == IDOK) return {PromptAnswer::Kind::Ok, std::move(state.answer)};
  if (pressed == IDCANCEL) return {PromptAnswer::Kind::Cancelled, {}};
  return {PromptAnswer::Kind::NotShown, {}};  // -1 or 0: the dialog could not be created
}

}  // namespace tlv::app::win32
