// Portable: the file-system port. Paths are Windows paths ("C:\Tools\x.exe"), ANSI text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Result.h"
#include "platform/Security.h"

namespace tlv::platform {

/// File attribute bits as Windows defines them.
namespace attr {
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
inline constexpr std::uint32_t kReparsePoint = 0x400;
}  // namespace attr

/// Rights on a folder, for its files and folders too.
namespace folderright {
inline constexpr std::uint32_t kReadAndExecute = 0x1200A9;  ///< FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
inline constexpr std::uint32_t kModify = 0x1301BF;          ///< read, run, write and delete
}  // namespace folderright

/// What an open handle tells of the names a file has.
struct FileLinks {
  std::uint32_t names = 1;    ///< hard links: other names of the same file may lie anywhere on the volume
  bool reparsePoint = false;  ///< the name is a link or another reparse point, not a file of its own
  /// A file of its own under this one name: nobody can change it through another.
  bool plain() const { return names == 1 && !reparsePoint; }
};

/// One name of a folder listing with its attributes.
struct FolderEntry {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint64_t lastWrite = 0;  ///< later writes compare greater (a FILETIME on Windows)
};

/// What a program file's version resource says of the product it belongs to.
struct ProductVersion {
  std::string name;     ///< StringFileInfo "ProductName"
  std::string version;  ///< StringFileInfo "ProductVersion"
  bool operator==(const ProductVersion&) const = default;
};

/// Who may change a file the program creates.
enum class FileProtection {
  Inherited,           ///< as its folder lets
  AdministratorsOnly,  ///< a protected descriptor of its own: SYSTEM and Administrators only
};

/// How a text file is opened.
enum class OpenMode {
  Output,  ///< create the file, or empty an existing one
  Append,  ///< create the file when missing, write at its end
};

/// A file kept open for reading: others may read it too, but nobody can write, rename or
/// delete it until this object is destroyed. A name that is a link is held as the link
/// itself, not followed.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
  /// The whole file, read through the held handle from its first byte.
  [[nodiscard]] virtual Result<std::string> readAll() = 0;
  /// Its names, read through the held handle.
  [[nodiscard]] virtual Result<FileLinks> links() = 0;
  /// Its length in bytes, read through the held handle: the file whose bytes readAll gives.
  [[nodiscard]] virtual Result<std::int64_t> length() = 0;
};

/// An open text file. Destroying it closes the file if close() was not called.
class TextFile {
 public:
  virtual ~TextFile() = default;
  /// Writes the text followed by CR LF.
  [[nodiscard]] virtual Win32Error writeLine(std::string_view text) = 0;
  /// Flushes and closes; later calls do nothing and return success.
  [[nodiscard]] virtual Win32Error close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Length in bytes of a file. A folder or a missing path is an error.
  [[nodiscard]] virtual Result<std::int64_t> fileLength(const std::string& path) = 0;
  /// GetFullPathNameA: the path made full against the process's current folder and drive,
  /// "." and ".." resolved, a trailing backslash kept. Nothing on disk is looked at.
  [[nodiscard]] virtual Result<std::string> fullPath(const std::string& path) = 0;
  /// Attribute bits of a file or folder; a trailing backslash on a folder is allowed.
  [[nodiscard]] virtual Result<std::uint32_t> fileAttributes(const std::string& path) = 0;
  /// Opens a text file for writing line by line.
  [[nodiscard]] virtual Result<std::unique_ptr<TextFile>> openText(const std::string& path, OpenMode mode) = 0;
  /// Reads the whole file as bytes.
  [[nodiscard]] virtual Result<std::string> readWholeFile(const std::string& path) = 0;
  /// Deletes a file.
  [[nodiscard]] virtual Win32Error deleteFile(const std::string& path) = 0;
  /// Opens a file for reading and keeps it from being written, renamed or deleted (read
  /// sharing only) for as long as the returned object lives.
  [[nodiscard]] virtual Result<std::unique_ptr<HeldFile>> holdForReading(const std::string& path) = 0;
  /// Creates the file, or empties an existing one, and writes exactly these bytes. A write
  /// that fails part way may leave part of them behind.
  [[nodiscard]] virtual Win32Error writeNewFile(const std::string& path, std::string_view bytes) = 0;
  /// Creates a file that did not exist (err::kFileExists for any name that does, a link
  /// included: nothing is ever written through one) and writes exactly these bytes.
  [[nodiscard]] virtual Win32Error createNewFile(const std::string& path, std::string_view bytes,
                                                 FileProtection protection) = 0;
  /// Renames a file within its volume, replacing an existing target in one step. A program
  /// that is running can be renamed, but not replaced.
  [[nodiscard]] virtual Win32Error moveFile(const std::string& source, const std::string& target) = 0;
  /// Has Windows rename the file in place of the target when it next starts, before any
  /// program runs (for a target in use now; administrators only).
  [[nodiscard]] virtual Win32Error moveFileAtRestart(const std::string& source, const std::string& target) = 0;
  /// The renames Windows will make at its next start, as source and target (full paths,
  /// without the "\\??\\" prefix); a deletion has an empty target.
  [[nodiscard]] virtual Result<std::vector<std::pair<std::string, std::string>>> movesAtRestart() = 0;
  /// The owner and access list of a file or folder, not following a link in its place;
  /// err::kNotSupported where the file system keeps none (Wine's).
  [[nodiscard]] virtual Result<SecurityDescriptor> security(const std::string& path) = 0;
  /// Allows the SID the rights on the folder, its files and its folders, beside every entry
  /// it has, which stay as they are. A link in the folder's place is refused (err::kDirectory,
  /// as a file is); err::kNotSupported where the file system keeps no rights (Wine's).
  [[nodiscard]] virtual Win32Error grantToFolder(const std::string& folder, const std::string& sid,
                                                 std::uint32_t rights) = 0;
  /// Makes the folder (its parent must exist), or takes the one there, and gives it the
  /// owner and the allowing entries, protected from its parent's list and inherited by all
  /// inside. A link or a file in its place is refused (err::kDirectory); err::kNotSupported,
  /// once the folder is made, where the file system keeps no rights (Wine's).
  [[nodiscard]] virtual Win32Error makeSecuredFolder(const std::string& folder, const SecurityDescriptor& security) = 0;
  /// Lists a folder's entries, "." and ".." included, in the file system's order.
  [[nodiscard]] virtual Result<std::vector<FolderEntry>> listFolder(const std::string& folder) = 0;
  /// The product named by a program file's version resource (GetFileVersionInfoA, the
  /// strings of its first translation). An error when the file is missing or unreadable, or
  /// carries no version resource.
  [[nodiscard]] virtual Result<ProductVersion> productVersion(const std::string& path) = 0;
};

}  // namespace tlv::platform
