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

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool hasDrive(std::string_view path) { return path.size() >= 2 && path[1] == ':'; }

// "C:\\" of "C:\\a\\b", "\\\\server\\share\\" of a UNC path: the part ".." never leaves.
std::size_t rootLength(std::string_view path) {
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    std::size_t end = 2;
    for (int part = 0; part < 2 && end < path.size(); ++part) {
      while (end < path.size() && !isSeparator(path[end])) ++end;
      if (end < path.size()) ++end;
    }
    return end;
  }
  return hasDrive(path) ? std::min<std::size_t>(3, path.size()) : 0;
}

}  // namespace

std::string fullPathIn(std::string_view path, std::string_view currentFolder) {
  std::string joined;
  const bool unc = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
  const std::string_view currentDrive = currentFolder.substr(0, rootLength(currentFolder));
  if (unc || (hasDrive(path) && path.size() >= 3 && isSeparator(path[2]))) {
    joined = path;
  } else if (hasDrive(path) && !equalsNoCase(path.substr(0, 2), currentFolder.substr(0, 2))) {
    joined = std::string(path.substr(0, 2)) + "\\" + std::string(path.substr(2));  // another drive: its root
  } else if (hasDrive(path)) {
    joined = std::string(currentFolder) + "\\" + std::string(path.substr(2));
  } else if (!path.empty() && isSeparator(path[0])) {
    joined = std::string(currentDrive) + std::string(path);
  } else {
    joined = std::string(currentFolder) + "\\" + std::string(path);
  }
  for (char& c : joined) {
    if (c == '/') c = '\\';
  }
  const std::size_t root = rootLength(joined);
  std::string full = joined.substr(0, root);
  if (!full.empty() && full.back() != '\\') full += '\\';
  const bool trailing = joined.size() > root && joined.back() == '\\';
  const std::size_t segmentsStart = full.size();
  std::size_t start = root;
  while (start <= joined.size()) {
    std::size_t end = joined.find('\\', start);
    if (end == std::string::npos) end = joined.size();
    const std::string_view segment = std::string_view(joined).substr(start, end - start);
    if (segment == "..") {
      if (full.size() > segmentsStart) {
        full.pop_back();
        full.erase(full.rfind('\\') + 1);
      }
    } else if (!segment.empty() && segment != ".") {
      full.append(segment);
      full += '\\';
    }
    start = end + 1;
  }
  if (!trailing && full.size() > segmentsStart) full.pop_back();
  return full;
}

std::string baseNameWithoutExtension(std::string_view filePath) {
  const std::size_t slash = filePath.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? filePath : filePath.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

}  // namespace tlv::platform
