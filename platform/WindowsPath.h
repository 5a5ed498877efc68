// Portable: Windows path rules as plain string functions, the same on every host.
#pragma once

#include <string>
#include <string_view>

namespace tlv::platform {

/// ASCII upper case, the way the program compares names without regard to case.
std::string upperCase(std::string_view text);
/// True when the two texts are equal without regard to ASCII letter case.
bool equalsNoCase(std::string_view a, std::string_view b);
/// Position of needle in haystack without regard to case, or npos.
std::size_t findNoCase(std::string_view haystack, std::string_view needle, std::size_t from = 0);
/// The text without the blanks and tabs at either end.
std::string trimBlanksAndTabs(std::string_view text);

/// The folder part of a file path as the system reports a program's folder: no trailing
/// backslash, except at a drive root ("C:\").
std::string folderOfPath(std::string_view filePath);
/// The folder part of a path with the separator that ends it ("C:\a\" for "C:\a\b.exe"), as
/// a program's start folder; empty when the path names no folder.
std::string folderOfPathWithSeparator(std::string_view filePath);
/// The path made full as GetFullPathName makes it, against `currentFolder` (a full path): a
/// relative path, one from the current drive's root ("\\a") or one on the current drive
/// ("C:a") is joined to it; "/" reads as "\\", doubled separators, "." and ".." are resolved.
/// A trailing separator stays. UNC paths ("\\\\server\\share\\...") are only resolved.
std::string fullPathIn(std::string_view path, std::string_view currentFolder);
/// The file name of a path without its extension ("TlvAsService" for "C:\T\TlvAsService.exe").
std::string baseNameWithoutExtension(std::string_view filePath);

}  // namespace tlv::platform
