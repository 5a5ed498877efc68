// Win32 only: the file-system port over kernel32's ANSI file calls.
#include "platform/win32/Win32Files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Security.h"

#include <sddl.h>  // after windows.h, which UniqueHandle.h brings

namespace tlv::platform::win32 {

namespace {

class Win32TextFile final : public TextFile {
 public:
  explicit Win32TextFile(UniqueFile file) : file_(std::move(file)) {}

  Win32Error writeLine(std::string_view text) override {
    if (!file_) return ERROR_INVALID_HANDLE;
    std::string line(text);
    line += "\r\n";
    DWORD written = 0;
    if (!::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
      return ::GetLastError();
    }
    return written == line.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
  }

  Win32Error close() override {
    if (!file_) return ERROR_SUCCESS;
    return ::CloseHandle(file_.release()) ? ERROR_SUCCESS : ::GetLastError();
  }

 private:
  UniqueFile file_;
};

// The rest of an open file from its current position up to the length it had when asked.
Result<std::string> readToEnd(HANDLE file) {
  using R = Result<std::string>;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) return R::failure(::GetLastError());
  if (size.QuadPart > 0x7FFFFFFF) return R::failure(ERROR_NOT_ENOUGH_MEMORY);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!::ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) {
      return R::failure(::GetLastError());
    }
    if (got == 0) break;  // the file shrank while we read it
    done += got;
  }
  bytes.resize(done);
  return R::success(std::move(bytes));
}

class Win32HeldFile final : public HeldFile {
 public:
  explicit Win32HeldFile(UniqueFile file) : file_(std::move(file)) {}
  Result<std::string> readAll() override {
    if (::SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
      return Result<std::string>::failure(::GetLastError());
    }
    return readToEnd(file_.get());
  }
  Result<FileLinks> links() override {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file_.get(), &information)) return Result<FileLinks>::failure(::GetLastError());
    return Result<FileLinks>::success(
        {information.nNumberOfLinks, (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  }
  Result<std::int64_t> length() override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.get(), &size)) return Result<std::int64_t>::failure(::GetLastError());
    return Result<std::int64_t>::success(size.QuadPart);
  }

 private:
  UniqueFile file_;
};

}  // namespace

Result<std::int64_t> Win32FileSystem::fileLength(const std::string& path) {
  using R = Result<std::int64_t>;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return R::failure(::GetLastError());
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return R::failure(ERROR_FILE_NOT_FOUND);
  return R::success((static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

Result<std::uint32_t> Win32FileSystem::fileAttributes(const std::string& path) {
  using R = Result<std::uint32_t>;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return R::failure(::GetLastError());
  return R::success(attributes);
}

Result<std::unique_ptr<TextFile>> Win32FileSystem::openText(const std::string& path, OpenMode mode) {
  using R = Result<std::unique_ptr<TextFile>>;
  const DWORD disposition = mode == OpenMode::Output ? CREATE_ALWAYS : OPEN_ALWAYS;
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return R::failure(::GetLastError());
  if (mode == OpenMode::Append && ::SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER) {
    if (const DWORD error = ::GetLastError(); error != NO_ERROR) return R::failure(error);
  }
  return R::success(std::make_unique<Win32TextFile>(std::move(file)));
}

Result<std::string> Win32FileSystem::readWholeFile(const std::string& path) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return Result<std::string>::failure(::GetLastError());
  return readToEnd(file.get());
}

Result<std::unique_ptr<HeldFile>> Win32FileSystem::holdForReading(const std::string& path) {
  using R = Result<std::unique_ptr<HeldFile>>;
  // Read sharing only: while this handle is open, an open for writing or deleting (and so a
  // rename) fails with a sharing violation; readers such as cmd.exe still get in.
  // A link is opened as itself, so that links() sees it and nothing is read through it.
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return R::failure(::GetLastError());
  return R::success(std::make_unique<Win32HeldFile>(std::move(file)));
}

namespace {

// Writes the bytes to the new file and closes it.
Win32Error writeAllAndClose(UniqueFile file, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) return ::GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  // On disk before it is renamed into place, so that the name never stands for lost bytes.
  if (!::FlushFileBuffers(file.get())) return ::GetLastError();
  return ::CloseHandle(file.release()) ? ERROR_SUCCESS : ::GetLastError();
}

// A descriptor of its own, protected from the folder's: SYSTEM and Administrators, full access.
constexpr char kAdministratorsOnly[] = "D:P(A;;FA;;;SY)(A;;FA;;;BA)";

}  // namespace

Win32Error Win32FileSystem::writeNewFile(const std::string& path, std::string_view bytes) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ::GetLastError();
  return writeAllAndClose(std::move(file), bytes);
}

Win32Error Win32FileSystem::createNewFile(const std::string& path, std::string_view bytes, FileProtection protection) {
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  UniqueLocalMemory descriptor;
  if (protection == FileProtection::AdministratorsOnly) {
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1, &made, nullptr)) {
      return ::GetLastError();
    }
    descriptor.reset(made);
    security.lpSecurityDescriptor = made;
  }
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, &security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ::GetLastError();
  return writeAllAndClose(std::move(file), bytes);
}

Win32Error Win32FileSystem::moveFile(const std::string& source, const std::string& target) {
  return ::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? ERROR_SUCCESS
             : ::GetLastError();
}

Win32Error Win32FileSystem::deleteFile(const std::string& path) {
  return ::DeleteFileA(path.c_str()) ? ERROR_SUCCESS : ::GetLastError();
}

Win32Error Win32FileSystem::moveFileAtRestart(const std::string& source, const std::string& target) {
  return ::MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)
             ? ERROR_SUCCESS
             : ::GetLastError();
}

Result<std::vector<std::pair<std::string, std::string>>> Win32FileSystem::movesAtRestart() {
  using Moves = std::vector<std::pair<std::string, std::string>>;
  UniqueRegKey key;
  LONG error = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                               KEY_QUERY_VALUE, key.put());
  if (error != ERROR_SUCCESS) return Result<Moves>::failure(static_cast<Win32Error>(error));
  constexpr char kValue[] = "PendingFileRenameOperations";
  DWORD type = 0, size = 0;
  error = ::RegQueryValueExA(key.get(), kValue, nullptr, &type, nullptr, &size);
  if (error == ERROR_FILE_NOT_FOUND) return Result<Moves>::success({});
  std::vector<char> text(size);
  if (error == ERROR_SUCCESS && size > 0) {
    error = ::RegQueryValueExA(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  }
  if (error != ERROR_SUCCESS) return Result<Moves>::failure(static_cast<Win32Error>(error));
  if (type != REG_MULTI_SZ) return Result<Moves>::failure(err::kInvalidData);
  // Pairs of NT paths ("\\??\\C:\\..."), a target that replaces a file marked with "!", a
  // deletion with an empty target: empty names are kept, so the text is split by its size.
  std::vector<std::string> names;
  std::string name;
  for (DWORD i = 0; i < size && i < text.size(); ++i) {
    if (text[i] != '\0') {
      name += text[i];
    } else {
      names.push_back(std::exchange(name, {}));
    }
  }
  const auto plain = [](std::string path) {
    if (path.starts_with('!')) path.erase(0, 1);
    if (path.starts_with("\\??\\")) path.erase(0, 4);
    return path;
  };
  Moves moves;
  for (std::size_t i = 0; i + 1 < names.size(); i += 2) moves.emplace_back(plain(names[i]), plain(names[i + 1]));
  return Result<Moves>::success(std::move(moves));
}

Result<SecurityDescriptor> Win32FileSystem::security(const std::string& path) {
  if (!fileSystemKeepsSecurity()) return Result<SecurityDescriptor>::failure(err::kNotSupported);
  return fileSecurity(path);
}

Result<std::string> Win32FileSystem::fullPath(const std::string& path) {
  using R = Result<std::string>;
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return R::failure(::GetLastError());
    if (length < buffer.size()) return R::success(std::string(buffer.data(), length));
    buffer.resize(length);  // the length asked for counts the terminating NUL
  }
}

Result<std::vector<FolderEntry>> Win32FileSystem::listFolder(const std::string& folder) {
  using R = Result<std::vector<FolderEntry>>;
  std::string pattern = folder;
  if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA data{};
  UniqueFind find(::FindFirstFileA(pattern.c_str(), &data));
  std::vector<FolderEntry> entries;
  if (!find) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? R::success(std::move(entries)) : R::failure(error);
  }
  do {
    const std::uint64_t lastWrite =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    entries.push_back({data.cFileName, data.dwFileAttributes, lastWrite});
  } while (::FindNextFileA(find.get(), &data));
  if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) return R::failure(error);
  return R::success(std::move(entries));
}

Result<ProductVersion> Win32FileSystem::productVersion(const std::string& path) {
  using R = Result<ProductVersion>;
  const auto version = SystemLibrary::load("version.dll");
  if (!version.ok()) return R::failure(version.error);
  const auto infoSize = version.value.function<decltype(::GetFileVersionInfoSizeA)>("GetFileVersionInfoSizeA");
  const auto info = version.value.function<decltype(::GetFileVersionInfoA)>("GetFileVersionInfoA");
  const auto query = version.value.function<decltype(::VerQueryValueA)>("VerQueryValueA");
  if (!infoSize || !info || !query) return R::failure(ERROR_PROC_NOT_FOUND);
  DWORD ignored = 0;
  const DWORD size = infoSize(path.c_str(), &ignored);
  if (size == 0) return R::failure(::GetLastError());
  std::vector<char> block(size);
  if (!info(path.c_str(), 0, size, block.data())) return R::failure(::GetLastError());
  // The strings live under their language and code page: the first translation names them.
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!query(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
      translation == nullptr || length < sizeof(Translation)) {
    return R::failure(ERROR_RESOURCE_TYPE_NOT_FOUND);
  }
  char prefix[40];
  std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04x%04x\\", translation->language, translation->codePage);
  const auto text = [&](const char* name) {
    char* value = nullptr;
    UINT chars = 0;
    const std::string key = std::string(prefix) + name;
    if (!query(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars) || !value) return std::string();
    return std::string(value, ::strnlen(value, chars));
  };
  return R::success(ProductVersion{text("ProductName"), text("ProductVersion")});
}

}  // namespace tlv::platform::win32
