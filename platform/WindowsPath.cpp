// Portable: Windows path rules as plain string functions.
#include "platform/WindowsPath.h"

#include <algorithm>

namespace tlv::platform {

namespace {
char upperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string upperCase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), upperChar);
  return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upperChar(x) == upperChar(y); });
}

std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (equalsNoCase(haystack.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

std::string trimBlanksAndTabs(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string folderOfPath(std::string_view filePath) {
  const std::size_t slash = filePath.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  std::string folder(filePath.substr(0, slash));
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // a drive root keeps its backslash
  return folder;
}

std::string folderOfPathWithSeparator(std::string_view filePath) {
  const std::size_t slash = filePath.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  return std::string(filePath.substr(0, slash + 1));
}

std::string baseNameWithoutExtension(std::string_view filePath) {
  const std::size_t slash = filePath.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? filePath : filePath.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

}  // namespace tlv::platform
