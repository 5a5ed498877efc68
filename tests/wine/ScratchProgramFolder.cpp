// Win32 only: the tests' scratch program folders.
#include "tests/wine/ScratchProgramFolder.h"

#include "platform/win32/UniqueHandle.h"

namespace tlv::testing {

namespace {

using platform::win32::UniqueFile;
using platform::win32::UniqueFind;

constexpr char kRoot[] = "C:\\TlvTestPrograms\\";

template <class Visit>
void forEachEntry(const std::string& folder, const std::string& pattern, Visit visit) {
  WIN32_FIND_DATAA data{};
  UniqueFind find(::FindFirstFileA((folder + pattern).c_str(), &data));
  if (!find) return;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") visit(name, data.dwFileAttributes);
  } while (::FindNextFileA(find.get(), &data));
}

}  // namespace

void removeFolderTree(const std::string& folder) {
  forEachEntry(folder, "*", [&](const std::string& name, DWORD attributes) {
    const std::string path = folder + name;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      removeFolderTree(path + "\\");
    } else {
      ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA(path.c_str());
    }
  });
  ::RemoveDirectoryA(folder.c_str());
}

ScratchProgramFolder::ScratchProgramFolder(const std::string& name) : path_(std::string(kRoot) + name + "\\") {
  removeFolderTree(path_);
  ::CreateDirectoryA(kRoot, nullptr);
  ::CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchProgramFolder::~ScratchProgramFolder() {
  removeFolderTree(path_);
  ::RemoveDirectoryA(kRoot);  // only succeeds once the last test's folder is gone
}

std::string ScratchProgramFolder::copyIn(const std::string& source) {
  const std::string target = path_ + source.substr(source.find_last_of('\\') + 1);
  return ::CopyFileA(source.c_str(), target.c_str(), FALSE) ? target : std::string();
}

std::vector<std::string> ScratchProgramFolder::files(const std::string& pattern) const {
  std::vector<std::string> names;
  forEachEntry(path_, pattern, [&](const std::string& name, DWORD attributes) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(name);
  });
  return names;
}

std::optional<std::string> ScratchProgramFolder::read(const std::string& name) const {
  UniqueFile file(::CreateFileA((path_ + name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  return content;
}

}  // namespace tlv::testing
