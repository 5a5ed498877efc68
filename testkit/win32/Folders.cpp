// Win32 only: the folders and files of the Wine tests.
#include "testkit/win32/Folders.h"

#include <gtest/gtest.h>

#include "platform/win32/UniqueHandle.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueFile;
using platform::win32::UniqueFind;

constexpr char kProgramsRoot[] = "C:\\TlvTestPrograms\\";

bool fileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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

std::string testProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program(path, length);
  return program.substr(0, program.find_last_of('\\') + 1);
}

std::string buildRoot() {
  std::string folder = testProgramFolder();
  while (!folder.empty()) {
    if (fileExists(folder + "CMakeCache.txt")) return folder;
    folder.pop_back();  // the trailing backslash
    const auto up = folder.find_last_of('\\');
    if (up == std::string::npos) break;
    folder.erase(up + 1);
  }
  return {};
}

std::string windowsFolder() {
  char folder[MAX_PATH] = {};
  ::GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

std::string uniqueName(const std::string& prefix) {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = prefix + "_" + (test ? test->name() : "none") + "_" + std::to_string(::GetCurrentProcessId()) +
                     "_" + std::to_string(now.QuadPart);
  for (char& c : name) {
    if (c == '/') c = '_';  // parameterised test names
  }
  return name;
}

bool pathExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::optional<std::string> readWholeFile(const std::string& path) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  return content;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

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

ScratchFolder::ScratchFolder(const std::string& parent) {
  std::string base = parent;
  if (base.empty()) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    base = temp;
  }
  if (base.back() != '\\') base += '\\';
  path_ = base + uniqueName("tlv tools") + "\\";
  if (!::CreateDirectoryA(path_.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << path_;
}

ScratchFolder ScratchFolder::programs(const std::string& name) {
  const std::string path = std::string(kProgramsRoot) + name + "\\";
  removeFolderTree(path);
  ::CreateDirectoryA(kProgramsRoot, nullptr);
  ::CreateDirectoryA(path.c_str(), nullptr);
  return ScratchFolder(Made{}, path);
}

ScratchFolder::~ScratchFolder() {
  removeFolderTree(path_);
  ::RemoveDirectoryA(kProgramsRoot);  // only succeeds once the last test's folder is gone
}

std::string ScratchFolder::copyIn(const std::string& source) {
  const std::string target = path_ + source.substr(source.find_last_of('\\') + 1);
  return ::CopyFileA(source.c_str(), target.c_str(), FALSE) ? target : std::string();
}

std::vector<std::string> ScratchFolder::files(const std::string& pattern) const {
  std::vector<std::string> names;
  forEachEntry(path_, pattern, [&](const std::string& name, DWORD attributes) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(name);
  });
  return names;
}

}  // namespace tlv::testing
